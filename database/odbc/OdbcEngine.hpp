#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "database/Engine.hpp"

namespace almanoria {

namespace odbc {
class DriverManager;
}

// Opens a database through the ODBC driver that the connection string names, passed to
// SQLDriverConnect exactly as built. Statements reach the driver unchanged, but for quoted
// m/d/yyyy dates and times of day written into Date/Time columns, which go as ODBC escapes so
// that the driver reads them alike whatever the regional settings.
// Through the program's own driver manager (odbc::DriverManager::System), or the one given.
std::unique_ptr<Engine> OpenOdbcEngine(std::string_view connectionString);
std::unique_ptr<Engine> OpenOdbcEngine(std::string_view connectionString,
                                       std::shared_ptr<const odbc::DriverManager> manager);

// A driver's failure is numbered ObjectErrorNumber(native error of its first diagnostic
// record): the Access driver's own codes, the result code of SQLite for the SQLite driver. The
// driver manager's own failures (no such driver, no connection) carry native error 0 and so
// read ErrorNumber::ObjectError itself; so does a native error that would not fit.

}  // namespace almanoria
