#include "testing/support/CalendarFiles.hpp"

#include <sqlite3.h>

#include <memory>
#include <stdexcept>

#include "tools/calendardb/CalendarDatabase.hpp"

namespace almanoria::testing {

namespace {

using DatabaseHandle = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

DatabaseHandle OpenPlain(const std::filesystem::path& database) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(database.string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    DatabaseHandle db(raw, &sqlite3_close);
    if (opened != SQLITE_OK) throw std::runtime_error("cannot open " + database.string());
    sqlite3_busy_timeout(db.get(), 5000);
    return db;
}

}  // namespace

std::filesystem::path MakeCalendar(const TempDir& dir, std::string_view name) {
    const std::filesystem::path path = dir / name;
    CreateCalendarDatabase(path);
    return path;
}

std::vector<std::vector<std::string>> QueryRows(const std::filesystem::path& database,
                                                std::string_view sql) {
    const DatabaseHandle db = OpenPlain(database);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), std::string(sql).c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("bad query: ") + sqlite3_errmsg(db.get()));
    }
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw,
                                                                               &sqlite3_finalize);
    std::vector<std::vector<std::string>> rows;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement.get()); ++column) {
            const unsigned char* text = sqlite3_column_text(statement.get(), column);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
    }
    if (step != SQLITE_DONE) {
        throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db.get()));
    }
    return rows;
}

std::string QueryValue(const std::filesystem::path& database, std::string_view sql) {
    const auto rows = QueryRows(database, sql);
    return rows.empty() || rows.front().empty() ? "<none>" : rows.front().front();
}

void ExecSql(const std::filesystem::path& database, std::string_view sql) {
    const DatabaseHandle db = OpenPlain(database);
    char* message = nullptr;
    if (sqlite3_exec(db.get(), std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string why = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error("statement failed: " + why);
    }
}

}  // namespace almanoria::testing
