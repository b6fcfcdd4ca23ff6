#pragma once

// What the engine checks about a calendar file before SQLite is let near it: SQLite would take
// an empty file for an empty database and might write to a file it does not recognise.

#include <string>

namespace almanoria::sqlite {

// Raises a Failure naming the file when it is missing, a folder, not a plain file, unreadable,
// empty, an Access database or anything else but an SQLite database, or when its path is
// longer than SQLite can open. Only reads the file.
void CheckDatabaseFile(const std::string& path);

// False where a write-ahead log cannot work: a folder the log and its index cannot be made in,
// or a network file system, whose locks and shared memory the log cannot rely on.
bool CanUseWriteAheadLog(const std::string& path);

// The name to hand SQLite: a relative name that starts with "file:" would be read as a URI.
std::string SqliteFileName(const std::string& path);

}  // namespace almanoria::sqlite
