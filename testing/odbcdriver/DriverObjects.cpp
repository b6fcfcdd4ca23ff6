#include "testing/odbcdriver/DriverObjects.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "database/ConnectionString.hpp"
#include "database/Names.hpp"
#include "database/dialect/AccessDialect.hpp"
#include "database/sqlite/SqliteEngine.hpp"
#include "errors/Failure.hpp"
#include "testing/odbcdriver/AccessRules.hpp"
#include "testing/odbcdriver/OdbcEscapes.hpp"
#include "testing/odbcdriver/RegionalSettings.hpp"

namespace almanoria::odbcdriver {

ColumnDescription DescribeDeclaredType(std::string_view name, std::string_view declaredType) {
    const std::string column(name);
    const dialect::DeclaredType declared = dialect::ReadDeclaredType(declaredType);
    switch (declared.Type) {
        case dialect::AccessType::DateTime:
            return Described(column, SQL_TYPE_TIMESTAMP, 19, "DATETIME");
        case dialect::AccessType::YesNo:
            return Described(column, SQL_BIT, 1, "BIT", SQL_NO_NULLS);
        case dialect::AccessType::Double:
            return Described(column, SQL_DOUBLE, 15, "DOUBLE");
        case dialect::AccessType::Single:
            return Described(column, SQL_REAL, 7, "REAL");
        case dialect::AccessType::Short:
            return Described(column, SQL_SMALLINT, 5, "SMALLINT");
        case dialect::AccessType::Byte:
            return Described(column, SQL_TINYINT, 3, "BYTE");
        case dialect::AccessType::Long:
            return Described(column, SQL_INTEGER, 10, "INTEGER");
        case dialect::AccessType::Text:
            return Described(column, SQL_WVARCHAR, declared.TextSize, "VARCHAR");
        case dialect::AccessType::Memo:
            break;
    }
    // A Memo, as the Access driver describes it.
    return Described(column, SQL_WLONGVARCHAR, kMemoSize, "LONGCHAR");
}

ResultSet& DriverStatement::OpenResult() {
    if (!mResult) Refuse("24000", "Invalid cursor state");
    return *mResult;
}

SQLRETURN DriverStatement::ExecDirect(std::string_view statement) {
    mResult.reset();
    mRowCount = -1;
    const std::vector<dialect::Token> tokens = ReadStatement(statement);
    CheckAccessRules(statement, tokens);
    const std::string text = RewriteOdbcEscapes(statement, tokens);
    ResultRows rows = mConnection.DatabaseForStatement().Query(text);
    mRowCount = rows.RowsChanged;
    if (rows.ColumnNames.empty()) {
        // An UPDATE or DELETE that changes no row is answered with SQL_NO_DATA.
        const bool changes = !tokens.empty() && (dialect::IsKeyword(tokens.front(), "UPDATE") ||
                                                 dialect::IsKeyword(tokens.front(), "DELETE"));
        return changes && mRowCount == 0 ? SQL_NO_DATA : SQL_SUCCESS;
    }

    // A column of a table is described by its declared type, an expression (@@IDENTITY) by
    // its values.
    std::vector<ColumnDescription> columns;
    for (std::size_t i = 0; i < rows.ColumnNames.size(); ++i) {
        const std::string& name = rows.ColumnNames[i];
        const bool isDeclared = i < rows.DeclaredTypes.size() && !rows.DeclaredTypes[i].empty();
        columns.push_back(isDeclared ? DescribeDeclaredType(name, rows.DeclaredTypes[i])
                                     : DescribeByValues(name, rows.Rows, i));
        if (i < rows.Tables.size()) columns.back().Table = rows.Tables[i];
    }
    mResult.emplace(std::move(columns), std::move(rows.Rows));
    return SQL_SUCCESS;
}

void DriverStatement::Columns(std::optional<std::string_view> tablePattern,
                              std::optional<std::string_view> columnPattern) {
    const auto matches = [](std::string_view name, std::optional<std::string_view> pattern) {
        return !pattern || MatchesPattern(name, *pattern);
    };
    mResult.reset();
    const auto text = [](const char* name, SQLSMALLINT nullable = SQL_NULLABLE) {
        return Described(name, SQL_WVARCHAR, 128, "VARCHAR", nullable);
    };
    const auto small = [](const char* name, SQLSMALLINT nullable = SQL_NULLABLE) {
        return Described(name, SQL_SMALLINT, 5, "SMALLINT", nullable);
    };
    const auto whole = [](const char* name, SQLSMALLINT nullable = SQL_NULLABLE) {
        return Described(name, SQL_INTEGER, 10, "INTEGER", nullable);
    };
    std::vector<ColumnDescription> columns = {text("TABLE_CAT"),
                                              text("TABLE_SCHEM"),
                                              text("TABLE_NAME", SQL_NO_NULLS),
                                              text("COLUMN_NAME", SQL_NO_NULLS),
                                              small("DATA_TYPE", SQL_NO_NULLS),
                                              text("TYPE_NAME", SQL_NO_NULLS),
                                              whole("COLUMN_SIZE"),
                                              whole("BUFFER_LENGTH"),
                                              small("DECIMAL_DIGITS"),
                                              small("NUM_PREC_RADIX"),
                                              small("NULLABLE", SQL_NO_NULLS),
                                              text("REMARKS"),
                                              text("COLUMN_DEF"),
                                              small("SQL_DATA_TYPE", SQL_NO_NULLS),
                                              small("SQL_DATETIME_SUB"),
                                              whole("CHAR_OCTET_LENGTH"),
                                              whole("ORDINAL_POSITION", SQL_NO_NULLS),
                                              text("IS_NULLABLE")};

    std::vector<std::vector<Value>> rows;
    for (const std::string& table : mConnection.TableNames()) {
        if (!matches(table, tablePattern)) continue;
        std::int64_t position = 0;
        for (const TableColumn& column : mConnection.ColumnsOf(table)) {
            ++position;
            if (!matches(column.Name, columnPattern)) continue;
            const ColumnDescription& type = column.Description;
            const bool isText = type.Type == SQL_WVARCHAR || type.Type == SQL_WLONGVARCHAR;
            const bool isDate = type.Type == SQL_TYPE_TIMESTAMP;
            const bool isNumber = !isText && !isDate && type.Type != SQL_BIT;
            const std::int64_t octets = isText   ? static_cast<std::int64_t>(type.Size) * 2
                                        : isDate ? 16
                                        : type.Type == SQL_DOUBLE ? 8
                                        : type.Type == SQL_BIT    ? 1
                                                                  : 4;
            rows.push_back({Value(), Value(), Value::Text(table), Value::Text(column.Name),
                            Value::Number(std::int64_t{type.Type}), Value::Text(type.TypeName),
                            Value::Number(static_cast<std::int64_t>(type.Size)),
                            Value::Number(octets),
                            isDate ? Value::Number(std::int64_t{0}) : Value(),
                            isNumber ? Value::Number(std::int64_t{10}) : Value(),
                            Value::Number(std::int64_t{type.Nullable}), Value(), Value(),
                            Value::Number(std::int64_t{isDate ? SQL_DATETIME : type.Type}),
                            isDate ? Value::Number(std::int64_t{SQL_CODE_TIMESTAMP}) : Value(),
                            isText ? Value::Number(octets) : Value(), Value::Number(position),
                            Value::Text(type.Nullable == SQL_NO_NULLS ? "NO" : "YES")});
        }
    }
    mResult.emplace(std::move(columns), std::move(rows));
}

void DriverConnection::Connect(std::string_view connectionString) {
    if (mEngine) Refuse("08002", "Connection name in use");
    const auto dbq = ConnectionString(connectionString).Find("Dbq");
    const char* prefix = std::getenv("WINEPREFIX");
    const char* home = std::getenv("HOME");
    const std::string path = dbq ? HostPath(*dbq, prefix ? prefix : "", home ? home : "") : "";
    try {
        EmbeddedSettings settings;
        settings.QuotedDates = RegionalDateSettings();
        settings.CutsText = true;
        mEngine = OpenEmbeddedEngine(BuildConnectionString(path), settings);
    } catch (const Failure& failure) {
        DiagnosticRecord record = RecordOfFailure(failure.Number(), failure.Description());
        record.State = "08001";
        throw DriverError(record);
    }
}

// A transaction still open goes with the engine, without its writes.
void DriverConnection::Disconnect() {
    if (!mEngine) Refuse("08003", "Connection not open");
    mStatements.clear();
    mEngine.reset();
    mInTransaction = false;
}

EmbeddedEngine& DriverConnection::Database() {
    if (!mEngine) Refuse("08003", "Connection not open");
    return *mEngine;
}

EmbeddedEngine& DriverConnection::DatabaseForStatement() {
    EmbeddedEngine& engine = Database();
    if (!mAutocommit && !mInTransaction) {
        engine.BeginTransaction();
        mInTransaction = true;
    }
    return engine;
}

void DriverConnection::SetAutocommit(bool on) {
    if (on && mInTransaction) EndTransaction(SQL_COMMIT);
    mAutocommit = on;
}

void DriverConnection::EndTransaction(SQLSMALLINT completion) {
    if (completion != SQL_COMMIT && completion != SQL_ROLLBACK) {
        Refuse("HY012", "Invalid transaction operation code");
    }
    if (!mInTransaction) return;
    if (completion == SQL_COMMIT) {
        // A commit that fails leaves the transaction open, for a rollback to end.
        Database().CommitTransaction();
    } else {
        Database().RollbackTransaction();
    }
    mInTransaction = false;
}

DriverStatement& DriverConnection::NewStatement() {
    if (!mEngine) Refuse("08003", "Connection not open");
    return *mStatements.emplace_back(std::make_unique<DriverStatement>(*this));
}

bool DriverConnection::FreeStatement(const DriverStatement* statement) {
    const auto found = std::find_if(mStatements.begin(), mStatements.end(),
                                    [&](const auto& owned) { return owned.get() == statement; });
    if (found == mStatements.end()) return false;
    mStatements.erase(found);
    return true;
}

std::vector<TableColumn> DriverConnection::ColumnsOf(const std::string& table) {
    std::vector<TableColumn> columns;
    for (const DeclaredColumn& column : Database().ColumnsOf(table)) {
        columns.push_back({column.Name, DescribeDeclaredType(column.Name, column.DeclaredType)});
    }
    return columns;
}

std::vector<std::string> DriverConnection::TableNames() {
    return Database().TableNames();
}

DriverConnection& Environment::NewConnection() {
    return *mConnections.emplace_back(std::make_unique<DriverConnection>(*this));
}

void Environment::EndTransactions(SQLSMALLINT completion) {
    for (const auto& connection : mConnections)
        connection->EndTransaction(completion);
}

bool Environment::FreeConnection(const DriverConnection* connection) {
    const auto found = std::find_if(mConnections.begin(), mConnections.end(),
                                    [&](const auto& owned) { return owned.get() == connection; });
    if (found == mConnections.end()) return false;
    mConnections.erase(found);
    return true;
}

DiagnosticRecord RecordOfFailure(std::int32_t number, const std::string& message) {
    const std::int64_t code = std::int64_t{number} - ErrorNumber::ObjectError;
    if (code <= 0 || code >= 0x10000) return {"HY000", number, message};
    const auto native = static_cast<std::int32_t>(code);
    const auto startsWith = [&](std::string_view prefix) {
        return message.compare(0, prefix.size(), prefix) == 0;
    };
    switch (native & 0xFF) {
        case 1:  // SQLITE_ERROR
            if (startsWith("no such table")) return {"42S02", native, message};
            if (startsWith("no such column")) return {"42S22", native, message};
            return {"42000", native, message};
        case 19:  // SQLITE_CONSTRAINT
            return {"23000", native, message};
        case 20:  // SQLITE_MISMATCH
            return {"22018", native, message};
        default:
            return {"HY000", native, message};
    }
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    // Classic wildcard matching with one backtrack point for "%".
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    const auto lower = [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    };
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = p++;
            starN = n;
            continue;
        }
        if (p < pattern.size()) {
            const bool escaped = pattern[p] == '\\' && p + 1 < pattern.size();
            const char want = escaped ? pattern[p + 1] : pattern[p];
            if ((!escaped && want == '_') || lower(want) == lower(name[n])) {
                p += escaped ? 2 : 1;
                ++n;
                continue;
            }
        }
        if (starP == std::string_view::npos) return false;
        p = starP + 1;
        n = ++starN;
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

}  // namespace almanoria::odbcdriver
