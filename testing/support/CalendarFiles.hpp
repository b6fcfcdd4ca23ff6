#pragma once

// Calendar databases made by the development tool, and plain SQL to read them back; for the
// suites that have SQLite, which the Windows build lacks.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "testing/support/TestSupport.hpp"

namespace almanoria::testing {

// An empty calendar database made by the development tool inside dir.
std::filesystem::path MakeCalendar(const TempDir& dir, std::string_view name = "dbcalndr.mdb");

// Every row of a query run with plain SQLite on the file; Null reads as "<null>".
std::vector<std::vector<std::string>> QueryRows(const std::filesystem::path& database,
                                                std::string_view sql);
// The first column of the first row, or "<none>".
std::string QueryValue(const std::filesystem::path& database, std::string_view sql);
// Runs statements with plain SQLite on the file.
void ExecSql(const std::filesystem::path& database, std::string_view sql);

}  // namespace almanoria::testing
