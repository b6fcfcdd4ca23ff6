#pragma once

// The embedded engine, the default on Linux: SQLite, reading the statements in the Access SQL
// dialect the program writes them in.
//
// Storage format, so that other tools read the calendar sensibly. A column's kind comes from
// the first word of its declared type, without regard to case:
//   DATETIME, DATE, TIME                      Date/Time: ISO 8601 text, '2012-05-06', with
//                                             ' 14:30:00' only when there is a time
//   YESNO, BIT, BOOLEAN, LOGICAL              Yes/No: 1 or 0; any non-zero reads as yes
//   INTEGER, INT, LONG, SHORT, BYTE, COUNTER,
//   AUTOINCREMENT, NUMERIC, DOUBLE, SINGLE,
//   CURRENCY                                  Number: integers, reals when there is a fraction
//   anything else                             text
// Quoted text written to a Date/Time, Number or Yes/No column is converted to its kind;
// m/d/yyyy dates read month first. Values read back as Value::Date, Value::YesNo and
// Value::Number by their column's kind; Null stays Null. "SELECT @@IDENTITY" gives the id of
// this connection's last insert into a table with an autonumber (INTEGER PRIMARY KEY), 0
// before any.
// Transactions are SQLite's: BEGIN IMMEDIATE, COMMIT and ROLLBACK; the identity inside one is
// that of its own last insert.
//
// Failure numbers: ErrorNumber::ObjectError (-2147221504) plus the SQLite extended result code,
// with SQLite's own message, for everything the engine reports, among them:
//   +1   SQLITE_ERROR     "no such table: Dates", "near "s": syntax error",
//                         "unrecognized token: "'..."" (an unterminated text),
//                         "Syntax error in date in query expression '#2/30/2012#'.",
//                         "Characters found after end of SQL statement."
//   +5   SQLITE_BUSY      "database is locked", after a wait of about three seconds
//   +8   SQLITE_READONLY  "attempt to write a readonly database"
//   +14  SQLITE_CANTOPEN  at open: the file is missing, a folder, not a plain file, unreadable,
//                         its path longer than SQLite's limit (512 bytes on Unix), or the
//                         connection string names no file (Dbq)
//   +20  SQLITE_MISMATCH  "Data type mismatch in criteria expression." (a value that does not
//                         convert to its column's kind)
//   +26  SQLITE_NOTADB    at open: the file is empty, an Access database, or not an SQLite
//                         database
//   +2067 SQLITE_CONSTRAINT_UNIQUE and the other constraint codes, as SQLite gives them
// The messages of a failed open name the file.

#include <memory>
#include <string_view>

#include "database/Engine.hpp"

namespace almanoria {

// Opens the database file named by the connection string's Dbq (keys without regard to case;
// the path unchanged). Only an existing SQLite file is opened, read-write when it can be and
// read-only when it is write-protected; nothing else is ever written to. From its first write
// on the file uses a write-ahead log where it can, and gets its own journal mode back when the
// engine is released. Raises a Failure saying what is wrong.
std::unique_ptr<Engine> OpenSqliteEngine(std::string_view connectionString);

}  // namespace almanoria
