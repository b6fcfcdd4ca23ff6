#pragma once

#include <optional>
#include <string>
#include <vector>

namespace almanoria {

// The year the window writes when the command line names none, the build's ALMANORIA_YEAR.
extern const int kBuildYear;

// What the program's command line asks for.
struct CommandLine {
    int Year = 0;                  // the year the window writes
    std::optional<int> PrintYear;  // the year whose records to print instead of a window
    std::string Error;             // why the arguments were refused; empty when they were not
};

// Reads "--year YYYY", "--year=YYYY", Windows' "/year:YYYY" and "--print-year YYYY" from the
// arguments after the program's name; a year is one from kFirstYear to kLastYear. Arguments of
// other kinds are the window toolkit's and left to it.
CommandLine ReadCommandLine(const std::vector<std::string>& arguments, int defaultYear);

}  // namespace almanoria
