#include "database/sqlite/TableSchema.hpp"

#include <sqlite3.h>

#include <algorithm>

#include "database/Names.hpp"
#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

const SchemaColumn* TableSchema::Find(std::string_view column) const {
    const auto found = std::find_if(Columns.begin(), Columns.end(), [&](const SchemaColumn& entry) {
        return SameName(entry.Name, column);
    });
    return found == Columns.end() ? nullptr : &*found;
}

const TableSchema* SchemaCache::Find(sqlite3* database, std::string_view name) {
    if (name.empty()) return nullptr;
    const std::string key = LowerName(name);
    if (const auto known = mTables.find(key); known != mTables.end()) return &known->second;

    const StatementHandle statement =
        Prepare(database, "SELECT name, type, pk FROM pragma_table_info(?1)");
    CheckResult(database, sqlite3_bind_text64(statement.get(), 1, name.data(), name.size(),
                                              SQLITE_TRANSIENT, SQLITE_UTF8));
    TableSchema table;
    int keyColumns = 0;
    bool isIntegerKey = false;
    int stepped;
    while ((stepped = sqlite3_step(statement.get())) == SQLITE_ROW) {
        const std::string declared = ColumnText(statement.get(), 1);
        const dialect::ColumnKind kind = dialect::ReadColumnKind(declared);
        if (sqlite3_column_int(statement.get(), 2) > 0) {
            ++keyColumns;
            isIntegerKey = SameName(declared, "INTEGER");
        }
        table.Columns.push_back({ColumnText(statement.get(), 0), kind});
    }
    CheckResult(database, stepped);
    if (table.Columns.empty()) return nullptr;  // SQLite will say what is missing
    table.HasAutonumber = keyColumns == 1 && isIntegerKey;
    return &mTables.emplace(key, std::move(table)).first->second;
}

}  // namespace almanoria::sqlite
