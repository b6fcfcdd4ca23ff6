#pragma once

// Owners for the SQLite handles, the one helper that turns SQLite result codes into the
// program's failures, and the few steps every reader of the file takes. Only the engine's own
// sources include this header.

#include <cstdint>
#include <memory>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace almanoria::sqlite {

struct DatabaseCloser {
    void operator()(sqlite3* database) const noexcept;
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept;
};

using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// A Failure numbered ObjectError plus the SQLite (extended) result code.
[[noreturn]] void RaiseFailure(int resultCode, const std::string& description);

// What Access reports for a value that does not fit its column.
[[noreturn]] void RaiseDataTypeMismatch();

// Raises the connection's last error, with SQLite's own message, unless resultCode is OK.
void CheckResult(sqlite3* database, int resultCode);

// The one statement of sql, prepared; a Failure with SQLite's message when it does not prepare.
StatementHandle Prepare(sqlite3* database, const char* sql);

// A column of the current row as text; empty for Null.
std::string ColumnText(sqlite3_stmt* statement, int column);

}  // namespace almanoria::sqlite
