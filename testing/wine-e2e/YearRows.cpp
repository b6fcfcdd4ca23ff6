// year_rows: what the year 2012 must leave in a calendar, from the tests' own record of the year
// (not from the program's year table), for the Wine end-to-end test to judge a database by:
//   link|yyyy-mm-dd|name     one line per name of a named day, as its all-day event
//   note|yyyy-mm-dd|length   one line per noted day: the note's length with its apostrophes
//                            doubled, as the year carries them
//   colour|name|days         how many days have that colour
//   runs|n                   the number of runs of one colour through the year

#include <cstdio>
#include <string>

#include "yeardata/tests/YearFacts.hpp"

namespace {

// "5/6/2012" as the database keeps it: "2012-05-06".
std::string Key(const std::string& date) {
    const std::size_t first = date.find('/');
    const std::size_t second = date.find('/', first + 1);
    char key[16];
    std::snprintf(key, sizeof key, "%s-%02d-%02d", date.substr(second + 1).c_str(),
                  std::stoi(date.substr(0, first)),
                  std::stoi(date.substr(first + 1, second - first - 1)));
    return key;
}

}  // namespace

int main() {
    using namespace almanoria;
    for (const auto& [date, names] : kNamedDays) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = names.find('^', start);
            std::printf("link|%s|%s\n", Key(date).c_str(),
                        names.substr(start, end - start).c_str());
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    for (const auto& [date, length] : kNoteLengths)
        std::printf("note|%s|%zu\n", Key(date).c_str(), length);
    for (const auto& [colour, days] : kColourCounts)
        std::printf("colour|%s|%d\n", colour.c_str(), days);
    std::printf("runs|%d\n", kColourRuns);
    return 0;
}
