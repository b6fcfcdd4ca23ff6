#pragma once

#include <string>
#include <vector>

namespace almanoria {

// The 366 day records of 2012, "date|colour|names|notes", entry 0 for 1/1/2012. Text in the
// core is UTF-8; where characters are counted, they are UTF-16 code units (platform/Unicode.hpp).
using YearTable = std::vector<std::string>;

// Discards what the table held and leaves exactly the 366 records of 2012, indices 0 to 365.
void BuildYearTable(YearTable& table);

}  // namespace almanoria
