#include "database/sqlite/SqliteHandles.hpp"

#include <sqlite3.h>

#include "errors/Failure.hpp"

namespace almanoria::sqlite {

void DatabaseCloser::operator()(sqlite3* database) const noexcept {
    // close_v2 also copes with a statement that somebody forgot to finalize.
    sqlite3_close_v2(database);
}

void StatementFinalizer::operator()(sqlite3_stmt* statement) const noexcept {
    sqlite3_finalize(statement);
}

void RaiseFailure(int resultCode, const std::string& description) {
    throw Failure(ObjectErrorNumber(resultCode), description);
}

void RaiseDataTypeMismatch() {
    RaiseFailure(SQLITE_MISMATCH, "Data type mismatch in criteria expression.");
}

void CheckResult(sqlite3* database, int resultCode) {
    if (resultCode == SQLITE_OK || resultCode == SQLITE_ROW || resultCode == SQLITE_DONE) return;
    const int extended = database ? sqlite3_extended_errcode(database) : resultCode;
    const char* message = database ? sqlite3_errmsg(database) : sqlite3_errstr(resultCode);
    RaiseFailure(extended != SQLITE_OK ? extended : resultCode, message ? message : "");
}

StatementHandle Prepare(sqlite3* database, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    const int prepared = sqlite3_prepare_v2(database, sql, -1, &raw, nullptr);
    StatementHandle statement(raw);
    CheckResult(database, prepared);
    return statement;
}

std::string ColumnText(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    if (!text) return {};
    return std::string(reinterpret_cast<const char*>(text),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

}  // namespace almanoria::sqlite
