#include "database/sqlite/SqliteEngine.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "database/ConnectionString.hpp"
#include "database/Names.hpp"
#include "database/sqlite/AccessTranslation.hpp"
#include "database/sqlite/DatabaseFile.hpp"
#include "database/sqlite/SqliteHandles.hpp"
#include "database/sqlite/StatementCache.hpp"
#include "database/sqlite/StorageFormat.hpp"
#include "database/sqlite/TableSchema.hpp"

namespace almanoria {

namespace {

using sqlite::StatementHandle;
using sqlite::StoredValue;
using sqlite::TranslatedStatement;

// Long enough for another program's commit, short enough that a held lock is reported.
constexpr int kBusyTimeoutMilliseconds = 3000;
constexpr int kCloseTimeoutMilliseconds = 250;
constexpr std::size_t kCachedStatements = 16;

// Leaves a statement reset and unbound on every way out, so that it holds no lock and no
// snapshot between the program's statements.
class StatementReset {
  public:
    explicit StatementReset(sqlite3_stmt* statement) : mStatement(statement) {}
    ~StatementReset() {
        sqlite3_reset(mStatement);
        sqlite3_clear_bindings(mStatement);
    }
    StatementReset(const StatementReset&) = delete;
    StatementReset& operator=(const StatementReset&) = delete;

  private:
    sqlite3_stmt* mStatement;
};

Value ReadValue(sqlite3_stmt* statement, int column, std::optional<dialect::ColumnKind> kind) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_NULL:
            return Value();
        case SQLITE_INTEGER: {
            const std::int64_t whole = sqlite3_column_int64(statement, column);
            if (kind == dialect::ColumnKind::YesNo) return Value::YesNo(whole != 0);
            return Value::Number(whole);
        }
        case SQLITE_FLOAT: {
            const double floating = sqlite3_column_double(statement, column);
            if (kind == dialect::ColumnKind::YesNo) return Value::YesNo(floating != 0.0);
            return Value::Number(floating);
        }
        default: {
            std::string text = sqlite::ColumnText(statement, column);
            if (kind == dialect::ColumnKind::DateTime) {
                if (const auto date = dialect::ParseAccessDate(text)) return Value::Date(*date);
            } else if (kind == dialect::ColumnKind::YesNo) {
                if (const auto yes = sqlite::ParseYesNoText(text)) return Value::YesNo(*yes);
            }
            // What does not read as its kind (another tool's data) is still shown.
            return Value::Text(std::move(text));
        }
    }
}

bool IsBlankTail(std::string_view tail) {
    return std::all_of(tail.begin(), tail.end(), [](char c) {
        return c == ';' || std::isspace(static_cast<unsigned char>(c)) != 0;
    });
}

class SqliteEngine final : public Engine {
  public:
    explicit SqliteEngine(std::string path);
    ~SqliteEngine() override;
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    void Execute(std::string_view statement) override { RunStatement(statement, nullptr); }
    ResultRows Query(std::string_view statement) override {
        ResultRows rows;
        RunStatement(statement, &rows);
        return rows;
    }

    // IMMEDIATE: the write lock is taken at the start, so a file another program holds fails
    // here, before anything of the transaction is written.
    void BeginTransaction() override {
        UseWriteAheadLog();  // the journal mode cannot change inside a transaction
        RunControl("BEGIN IMMEDIATE");
    }
    void CommitTransaction() override { RunControl("COMMIT"); }
    void RollbackTransaction() override {
        // A full disk or an I/O failure may have rolled it back already.
        if (sqlite3_get_autocommit(Database()) != 0) return;
        RunControl("ROLLBACK");
    }

  private:
    [[noreturn]] void RaiseOpenFailure(int resultCode) const;
    void UseWriteAheadLog() noexcept;
    void RestoreJournalMode() noexcept;
    std::string ReadPragma(const std::string& pragma);
    void RunControl(const char* statement);

    void RunStatement(std::string_view text, ResultRows* rows);
    sqlite3_stmt* PrepareStatement(const TranslatedStatement& statement, StatementHandle& uncached);
    std::vector<StoredValue> BindParameters(sqlite3_stmt* prepared,
                                            const TranslatedStatement& statement);
    const sqlite::SchemaColumn* ColumnOfTarget(const TranslatedStatement& statement,
                                               const dialect::ColumnTarget& target);
    sqlite3* Database() const { return mDatabase.get(); }

    std::string mPath;
    sqlite::DatabaseHandle mDatabase;
    sqlite::StatementCache mStatements{kCachedStatements};
    sqlite::SchemaCache mTables;
    std::int64_t mIdentity = 0;
    std::string mOpeningJournalMode;
    bool mCheckedJournal = false;
    bool mSwitchedJournal = false;
};

SqliteEngine::SqliteEngine(std::string path) : mPath(std::move(path)) {
    sqlite::CheckDatabaseFile(mPath);

    // No SQLITE_OPEN_CREATE: a file that vanished since the check is not made anew. A
    // write-protected file opens read-only and its first write fails.
    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(sqlite::SqliteFileName(mPath).c_str(), &raw,
                                       SQLITE_OPEN_READWRITE, nullptr);
    mDatabase.reset(raw);
    if (opened != SQLITE_OK) RaiseOpenFailure(opened);
    sqlite3_extended_result_codes(Database(), 1);

    // The file is the user's choice: its schema may not run code or change itself.
    const int settings[] = {
        sqlite3_db_config(Database(), SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr),
        sqlite3_db_config(Database(), SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr),
        sqlite3_db_config(Database(), SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr),
        sqlite3_busy_timeout(Database(), kBusyTimeoutMilliseconds),
    };
    for (const int result : settings) {
        if (result != SQLITE_OK) RaiseOpenFailure(result);
    }

    // SQLite reads nothing before the first statement; read the schema now, so that a file
    // that is no database fails here, as the Access driver fails at its open.
    const int read =
        sqlite3_exec(Database(), "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (read != SQLITE_OK) RaiseOpenFailure(read);
}

SqliteEngine::~SqliteEngine() {
    mStatements.Clear();
    RestoreJournalMode();
}

void SqliteEngine::RaiseOpenFailure(int resultCode) const {
    const int extended = Database() ? sqlite3_extended_errcode(Database()) : resultCode;
    const char* message = Database() ? sqlite3_errmsg(Database()) : sqlite3_errstr(resultCode);
    sqlite::RaiseFailure(extended != SQLITE_OK ? extended : resultCode,
                         "Cannot open '" + mPath + "': " + (message ? message : "unknown error"));
}

// Each transaction, and each statement outside one, commits on its own; with a write-ahead log
// such a commit is cheap and, at synchronous=NORMAL, still survives a crash of the program.
// Switching writes the file's header, so it waits for the first statement or transaction that
// writes: a file the update cannot write to (no calendar tables, a column missing) keeps every
// byte.
void SqliteEngine::UseWriteAheadLog() noexcept {
    if (mCheckedJournal) return;
    mCheckedJournal = true;
    try {
        mOpeningJournalMode = LowerName(ReadPragma("PRAGMA journal_mode"));
        if (mOpeningJournalMode != "wal") {
            if (sqlite3_db_readonly(Database(), "main") != 0) return;
            if (!sqlite::CanUseWriteAheadLog(mPath)) return;
            if (LowerName(ReadPragma("PRAGMA journal_mode=WAL")) != "wal") return;
            mSwitchedJournal = true;
        }
        ReadPragma("PRAGMA synchronous=NORMAL");
    } catch (...) {
        // The file keeps its own mode; it is no less usable for it.
    }
}

void SqliteEngine::RestoreJournalMode() noexcept {
    if (!mSwitchedJournal) return;
    const bool isPlainWord =
        !mOpeningJournalMode.empty() &&
        std::all_of(mOpeningJournalMode.begin(), mOpeningJournalMode.end(),
                    [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; });
    try {
        // Fails while another program has the file open; the file then stays in WAL mode,
        // which SQLite reads as well. Closing need not wait long for that.
        sqlite3_busy_timeout(Database(), kCloseTimeoutMilliseconds);
        ReadPragma("PRAGMA journal_mode=" + (isPlainWord ? mOpeningJournalMode : "delete"));
    } catch (...) {
    }
}

std::string SqliteEngine::ReadPragma(const std::string& pragma) {
    const StatementHandle statement = sqlite::Prepare(Database(), pragma.c_str());
    const int stepped = sqlite3_step(statement.get());
    if (stepped == SQLITE_ROW) return sqlite::ColumnText(statement.get(), 0);
    sqlite::CheckResult(Database(), stepped);
    return {};
}

void SqliteEngine::RunControl(const char* statement) {
    const StatementHandle prepared = sqlite::Prepare(Database(), statement);
    sqlite::CheckResult(Database(), sqlite3_step(prepared.get()));
}

void SqliteEngine::RunStatement(std::string_view text, ResultRows* rows) {
    const TranslatedStatement statement = sqlite::TranslateAccessSql(text);
    StatementHandle uncached;
    sqlite3_stmt* prepared = PrepareStatement(statement, uncached);
    const std::vector<StoredValue> bound = BindParameters(prepared, statement);
    const StatementReset reset(prepared);
    if (sqlite3_stmt_readonly(prepared) == 0) UseWriteAheadLog();

    std::vector<std::optional<dialect::ColumnKind>> kinds;
    if (rows) {
        const int count = sqlite3_column_count(prepared);
        int expression = 1000;
        for (int column = 0; column < count; ++column) {
            const char* name = sqlite3_column_name(prepared, column);
            const char* origin = sqlite3_column_origin_name(prepared, column);
            const std::string given = name ? name : "";
            if (origin && SameName(origin, given)) {
                rows->ColumnNames.emplace_back(origin);  // as the table declares it
            } else if (!origin && given.find('?') != std::string::npos) {
                // An unnamed expression of literals, named as Access names it.
                rows->ColumnNames.push_back("Expr" + std::to_string(expression++));
            } else {
                rows->ColumnNames.push_back(given);
            }
            const char* declared = sqlite3_column_decltype(prepared, column);
            kinds.push_back(declared ? std::optional(dialect::ReadColumnKind(declared))
                                     : std::nullopt);
        }
    }

    for (;;) {
        const int stepped = sqlite3_step(prepared);
        if (stepped == SQLITE_DONE) break;
        if (stepped != SQLITE_ROW) sqlite::CheckResult(Database(), stepped);
        if (!rows) continue;
        std::vector<Value>& row = rows->Rows.emplace_back();
        row.reserve(kinds.size());
        for (std::size_t column = 0; column < kinds.size(); ++column) {
            row.push_back(ReadValue(prepared, static_cast<int>(column), kinds[column]));
        }
    }

    // SQLite's own last rowid moves with every insert, EventDates' too; the identity only
    // with an insert into a table with an autonumber.
    if (statement.Verb == dialect::StatementVerb::Insert && sqlite3_changes(Database()) > 0) {
        const sqlite::TableSchema* table = mTables.Find(Database(), statement.Table);
        if (table && table->HasAutonumber) mIdentity = sqlite3_last_insert_rowid(Database());
    }
    if (statement.Verb == dialect::StatementVerb::Other) mTables.Clear();  // the schema may differ
}

sqlite3_stmt* SqliteEngine::PrepareStatement(const TranslatedStatement& statement,
                                             StatementHandle& uncached) {
    const bool isCached = statement.Verb != dialect::StatementVerb::Other;
    if (isCached) {
        if (sqlite3_stmt* found = mStatements.Find(statement.Sql)) return found;
    }
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    const int prepared = sqlite3_prepare_v2(
        Database(), statement.Sql.c_str(), static_cast<int>(statement.Sql.size() + 1), &raw, &tail);
    StatementHandle handle(raw);
    sqlite::CheckResult(Database(), prepared);
    if (!handle) {
        sqlite::RaiseFailure(SQLITE_ERROR,
                             "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', "
                             "'SELECT', or 'UPDATE'.");
    }
    // A NUL in the text would end the statement early for SQLite.
    const char* const end = statement.Sql.data() + statement.Sql.size();
    if (tail && !IsBlankTail(std::string_view(tail, static_cast<std::size_t>(end - tail)))) {
        sqlite::RaiseFailure(SQLITE_ERROR, "Characters found after end of SQL statement.");
    }
    if (isCached) return mStatements.Add(statement.Sql, std::move(handle));
    uncached = std::move(handle);
    return uncached.get();
}

std::vector<StoredValue> SqliteEngine::BindParameters(sqlite3_stmt* prepared,
                                                      const TranslatedStatement& statement) {
    std::vector<StoredValue> values;
    values.reserve(statement.Parameters.size());
    for (const sqlite::Parameter& parameter : statement.Parameters) {
        const sqlite::SchemaColumn* column =
            parameter.Target ? ColumnOfTarget(statement, *parameter.Target) : nullptr;
        const auto kind = column ? std::optional(column->Kind) : std::nullopt;
        values.push_back(sqlite::StoreParameter(parameter, kind, mIdentity));
    }
    // The texts stay in values until the statement is reset, so SQLite need not copy them.
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i + 1);
        const StoredValue& value = values[i];
        int result = SQLITE_OK;
        if (const auto* whole = std::get_if<std::int64_t>(&value)) {
            result = sqlite3_bind_int64(prepared, index, *whole);
        } else if (const auto* floating = std::get_if<double>(&value)) {
            result = sqlite3_bind_double(prepared, index, *floating);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            result = sqlite3_bind_text64(prepared, index, text->data(), text->size(), nullptr,
                                         SQLITE_UTF8);
        } else {
            result = sqlite3_bind_null(prepared, index);
        }
        if (result != SQLITE_OK) {
            sqlite3_clear_bindings(prepared);
            sqlite::CheckResult(Database(), result);
        }
    }
    return values;
}

const sqlite::SchemaColumn* SqliteEngine::ColumnOfTarget(const TranslatedStatement& statement,
                                                         const dialect::ColumnTarget& target) {
    const sqlite::TableSchema* table =
        mTables.Find(Database(), target.Table.empty() ? statement.Table : target.Table);
    return table ? table->Find(target.Column) : nullptr;
}

}  // namespace

std::unique_ptr<Engine> OpenSqliteEngine(std::string_view connectionString) {
    const auto path = ConnectionString(connectionString).Find("Dbq");
    if (!path || path->empty()) {
        sqlite::RaiseFailure(SQLITE_CANTOPEN,
                             "The connection string names no database file (Dbq).");
    }
    return std::make_unique<SqliteEngine>(*path);
}

}  // namespace almanoria
