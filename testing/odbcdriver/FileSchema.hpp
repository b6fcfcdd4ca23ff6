#pragma once

// What the driver knows of the open file's tables, read from SQLite on a read-only connection
// of its own: the program's engine keeps its schema to itself.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace almanoria::odbcdriver {

// A column of a table and the type the file declares for it.
struct DeclaredColumn {
    std::string Name;
    std::string DeclaredType;
};

class FileSchema {
  public:
    // Opened on the first question; a file it cannot read has no tables.
    explicit FileSchema(std::string path) : mPath(std::move(path)) {}

    // The tables of the file, by name, without SQLite's own.
    std::vector<std::string> TableNames();
    // In the table's order; empty for no such table.
    std::vector<DeclaredColumn> ColumnsOf(std::string_view table);

  private:
    struct Close {
        void operator()(sqlite3* database) const noexcept;
    };
    sqlite3* Database();

    std::string mPath;
    std::unique_ptr<sqlite3, Close> mDatabase;
};

}  // namespace almanoria::odbcdriver
