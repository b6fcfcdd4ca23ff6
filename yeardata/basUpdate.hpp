#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace almanoria {

// A year's day records, "date|colour|names|notes", entry 0 for January 1. Text in the core is
// UTF-8; where characters are counted, they are UTF-16 code units (platform/Unicode.hpp).
using YearTable = std::vector<std::string>;

// The year whose table the program carries as it was first published, and the years its rules
// build.
inline constexpr int kStoredYear = 2012;
inline constexpr int kFirstYear = 2007;
inline constexpr int kLastYear = 2099;

constexpr bool IsWrittenYear(int year) {
    return year >= kFirstYear && year <= kLastYear;
}

// Discards what the table held and leaves the year's records, one for each day: 2012's as
// stored, any other year's by the calendar's rules (YearByRule).
void BuildYearTable(YearTable& table, int year);

// A year of four digits from kFirstYear to kLastYear, or nothing.
std::optional<int> ParseYear(std::string_view text);

// m/d/yyyy without leading zeros, as the records write their dates.
std::string RecordDate(std::chrono::year_month_day date);

}  // namespace almanoria
