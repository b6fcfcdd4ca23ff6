#pragma once

// What the embedded engine knows of a file's tables: each column's declared type, read once
// per table. Only the engine's own sources include this header.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "database/dialect/AccessDialect.hpp"

struct sqlite3;

namespace almanoria::sqlite {

struct SchemaColumn {
    std::string Name;
    dialect::ColumnKind Kind;
};

struct TableSchema {
    std::vector<SchemaColumn> Columns;  // in the table's order
    bool HasAutonumber = false;         // a single INTEGER PRIMARY KEY, SQLite's rowid

    const SchemaColumn* Find(std::string_view column) const;  // without regard to case
};

class SchemaCache {
  public:
    // Read from the file the first time; nothing for no such table (yet).
    const TableSchema* Find(sqlite3* database, std::string_view table);
    void Clear() { mTables.clear(); }

  private:
    std::unordered_map<std::string, TableSchema> mTables;  // by lower-case name
};

}  // namespace almanoria::sqlite
