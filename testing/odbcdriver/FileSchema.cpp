#include "testing/odbcdriver/FileSchema.hpp"

#include <sqlite3.h>

#include <algorithm>

namespace almanoria::odbcdriver {

namespace {

// Each row's text columns of a query with at most one text parameter.
std::vector<std::vector<std::string>> Rows(sqlite3* database, const char* query,
                                           std::string_view parameter, int columns) {
    std::vector<std::vector<std::string>> rows;
    sqlite3_stmt* raw = nullptr;
    if (!database || sqlite3_prepare_v2(database, query, -1, &raw, nullptr) != SQLITE_OK) {
        return rows;
    }
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw,
                                                                               &sqlite3_finalize);
    if (sqlite3_bind_parameter_count(raw) > 0) {
        sqlite3_bind_text64(raw, 1, parameter.data(), parameter.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8);
    }
    while (sqlite3_step(raw) == SQLITE_ROW) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int column = 0; column < columns; ++column) {
            const auto* text = sqlite3_column_text(raw, column);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
    }
    return rows;
}

}  // namespace

void FileSchema::Close::operator()(sqlite3* database) const noexcept {
    sqlite3_close(database);
}

sqlite3* FileSchema::Database() {
    if (!mDatabase) {
        sqlite3* raw = nullptr;
        // No URI: a path that starts with "file:" is a file's name, as the engine opens it.
        const std::string name = mPath.rfind("file:", 0) == 0 ? "./" + mPath : mPath;
        sqlite3_open_v2(name.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
        mDatabase.reset(raw);
    }
    return mDatabase.get();
}

std::vector<std::string> FileSchema::TableNames() {
    std::vector<std::string> names;
    for (const auto& row : Rows(Database(),
                                "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                                "LIKE 'sqlite!_%' ESCAPE '!'",
                                {}, 1)) {
        names.push_back(row[0]);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<DeclaredColumn> FileSchema::ColumnsOf(std::string_view table) {
    std::vector<DeclaredColumn> columns;
    for (const auto& row :
         Rows(Database(), "SELECT name, type FROM pragma_table_info(?1)", table, 2)) {
        columns.push_back({row[0], row[1]});
    }
    return columns;
}

}  // namespace almanoria::odbcdriver
