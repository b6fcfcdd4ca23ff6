#include "testing/odbcdriver/DriverObjects.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <optional>

#include <sqlite3.h>

#include "database/ConnectionString.hpp"
#include "database/Names.hpp"
#include "database/dialect/AccessDialect.hpp"
#include "database/dialect/StatementShape.hpp"
#include "database/sqlite/SqliteEngine.hpp"
#include "errors/Failure.hpp"
#include "testing/odbcdriver/AccessRules.hpp"
#include "testing/odbcdriver/OdbcEscapes.hpp"
#include "testing/odbcdriver/RegionalSettings.hpp"

namespace almanoria::odbcdriver {

std::size_t TextSizeOf(std::string_view declaredType) {
    const std::string_view word = dialect::FirstWord(declaredType);
    if (!IsOneOf(word, {"TEXT", "VARCHAR", "CHAR", "CHARACTER", "NVARCHAR", "NCHAR", "STRING",
                        "ALPHANUMERIC"})) {
        return 0;
    }
    const std::string_view rest = Trimmed(Trimmed(declaredType).substr(word.size()));
    const std::size_t close = rest.find(')');
    if (rest.size() < 3 || rest.front() != '(' || close == std::string_view::npos) return 255;
    const std::string_view digits = Trimmed(rest.substr(1, close - 1));
    std::size_t size = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), size);
    const bool isSize = error == std::errc() && end == digits.data() + digits.size() && size > 0;
    return isSize ? size : 255;
}

ColumnDescription DescribeDeclaredType(std::string_view name, std::string_view declaredType) {
    const std::string column(name);
    const std::string_view word = dialect::FirstWord(declaredType);
    switch (dialect::ReadColumnKind(declaredType)) {
        case dialect::ColumnKind::DateTime:
            return Described(column, SQL_TYPE_TIMESTAMP, 19, "DATETIME");
        case dialect::ColumnKind::YesNo:
            return Described(column, SQL_BIT, 1, "BIT", SQL_NO_NULLS);
        case dialect::ColumnKind::Number:
            if (IsOneOf(word, {"DOUBLE", "NUMERIC", "CURRENCY"})) {
                return Described(column, SQL_DOUBLE, 15, "DOUBLE");
            }
            if (SameName(word, "SINGLE")) return Described(column, SQL_REAL, 7, "REAL");
            if (SameName(word, "SHORT")) return Described(column, SQL_SMALLINT, 5, "SMALLINT");
            if (SameName(word, "BYTE")) return Described(column, SQL_TINYINT, 3, "BYTE");
            return Described(column, SQL_INTEGER, 10, "INTEGER");
        case dialect::ColumnKind::Text:
            break;
    }
    if (const std::size_t size = TextSizeOf(declaredType)) {
        return Described(column, SQL_WVARCHAR, size, "VARCHAR");
    }
    // A Memo, as the Access driver describes it.
    return Described(column, SQL_WLONGVARCHAR, kMemoSize, "LONGCHAR");
}

namespace {

const DeclaredColumn* Find(const std::vector<DeclaredColumn>& columns, std::string_view name) {
    const auto found = std::find_if(columns.begin(), columns.end(), [&](const DeclaredColumn& c) {
        return SameName(c.Name, name);
    });
    return found == columns.end() ? nullptr : &*found;
}

// What the Access driver makes of a quoted value by the column it goes into: date text read
// by the regional settings, text cut on the right to its TEXT(n) column's n characters. The
// engine then takes the date as a #date# literal and the text as it stands.
std::string ApplyColumnRules(const std::string& statement, FileSchema& schema,
                             DateSettings quotedDates) {
    const dialect::StatementReading read(statement);
    // The engine reports what the dialect cannot read.
    if (!read.IsRead() || read.Shape().Verb() == dialect::StatementVerb::Other) return statement;
    const std::vector<dialect::Token>& tokens = read.Tokens();
    const dialect::StatementShape& shape = read.Shape();
    const std::vector<DeclaredColumn> columns = schema.ColumnsOf(shape.Table());
    std::string ruled;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const dialect::Token& token = tokens[i];
        const auto place =
            token.Kind == dialect::TokenKind::Text ? shape.PlaceOf(i, i) : std::nullopt;
        if (!place || !place->Target) continue;
        // A column of another table than the statement's is none: SQLite says so.
        const DeclaredColumn* column = Find(columns, place->Target->Column);
        if (!column ||
            (!place->Target->Table.empty() && !SameName(place->Target->Table, shape.Table()))) {
            continue;
        }
        const std::size_t textSize = TextSizeOf(column->DeclaredType);
        std::string value;
        if (dialect::ReadColumnKind(column->DeclaredType) == dialect::ColumnKind::DateTime) {
            const auto date = ParseRegionalDate(token.Text, quotedDates);
            if (!date) {
                throw Failure(ErrorNumber::ObjectError + SQLITE_MISMATCH,
                              "Data type mismatch in criteria expression.");
            }
            value = "#" + dialect::IsoDateText(*date) + "#";
        } else if (textSize > 0 && CodePointCount(token.Text) > textSize) {
            value = dialect::QuotedText(FirstCodePoints(token.Text, textSize));
        } else {
            continue;
        }
        ruled.append(statement, copied, token.Begin - copied);
        ruled += value;
        copied = token.End;
    }
    return ruled.append(statement, copied);
}

}  // namespace

ResultSet& DriverStatement::OpenResult() {
    if (!mResult) Refuse("24000", "Invalid cursor state");
    return *mResult;
}

SQLRETURN DriverStatement::ExecDirect(std::string_view statement) {
    mResult.reset();
    mRowCount = -1;
    const std::vector<dialect::Token> tokens = ReadStatement(statement);
    CheckAccessRules(statement, tokens);
    FileSchema schema = mConnection.Schema();
    const std::string text =
        ApplyColumnRules(RewriteOdbcEscapes(statement, tokens), schema, mConnection.QuotedDates());
    Engine& engine = mConnection.DatabaseForStatement();
    ResultRows rows = engine.Query(text);
    const bool changes =
        !tokens.empty() && dialect::IsAnyKeyword(tokens.front(), {"INSERT", "UPDATE", "DELETE"});
    if (changes) mRowCount = engine.Query("SELECT changes()").Rows.at(0).at(0).AsWhole();
    if (rows.ColumnNames.empty()) {
        // An UPDATE or DELETE that changes no row is answered with SQL_NO_DATA.
        return changes && mRowCount == 0 && !dialect::IsKeyword(tokens.front(), "INSERT")
                   ? SQL_NO_DATA
                   : SQL_SUCCESS;
    }

    // A column of the statement's table is described by its declared type, an expression
    // (@@IDENTITY) by its values.
    std::string table;
    try {
        table = dialect::StatementShape(tokens).Table();
    } catch (const dialect::SyntaxError&) {
    }
    const std::vector<DeclaredColumn> declared = schema.ColumnsOf(table);
    std::vector<ColumnDescription> columns;
    for (std::size_t i = 0; i < rows.ColumnNames.size(); ++i) {
        const std::string& name = rows.ColumnNames[i];
        const DeclaredColumn* column = Find(declared, name);
        columns.push_back(column ? DescribeDeclaredType(name, column->DeclaredType)
                                 : DescribeByValues(name, rows.Rows, i));
        if (column) columns.back().Table = table;
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
    FileSchema schema = mConnection.Schema();
    for (const std::string& table : schema.TableNames()) {
        if (!matches(table, tablePattern)) continue;
        std::int64_t position = 0;
        for (const DeclaredColumn& column : schema.ColumnsOf(table)) {
            ++position;
            if (!matches(column.Name, columnPattern)) continue;
            const ColumnDescription type = DescribeDeclaredType(column.Name, column.DeclaredType);
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
        mEngine = OpenSqliteEngine(BuildConnectionString(path));
        mPath = path;
        mQuotedDates = RegionalDateSettings();
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

Engine& DriverConnection::Database() {
    if (!mEngine) Refuse("08003", "Connection not open");
    return *mEngine;
}

Engine& DriverConnection::DatabaseForStatement() {
    Engine& engine = Database();
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

FileSchema DriverConnection::Schema() {
    Database();
    return FileSchema(mPath);
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
