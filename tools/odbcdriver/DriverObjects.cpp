#include "tools/odbcdriver/DriverObjects.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "database/ConnectionString.hpp"
#include "database/Names.hpp"
#include "database/odbc/OdbcText.hpp"
#include "database/sqlite/SqliteEngine.hpp"
#include "database/sqlite/StorageFormat.hpp"
#include "errors/Failure.hpp"
#include "tools/odbcdriver/OdbcEscapes.hpp"
#include "tools/odbcdriver/RegionalSettings.hpp"

namespace almanoria::odbcdriver {

namespace {

ColumnDescription Described(std::string name, SQLSMALLINT type, SQLULEN size, std::string typeName,
                            SQLSMALLINT nullable = SQL_NULLABLE) {
    ColumnDescription description;
    description.Name = std::move(name);
    description.Type = type;
    description.Size = size;
    description.TypeName = std::move(typeName);
    description.Nullable = nullable;
    return description;
}

std::string_view FirstWord(std::string_view text) {
    text = Trimmed(text);
    std::size_t length = 0;
    while (length < text.size() && std::isalpha(static_cast<unsigned char>(text[length]))) {
        ++length;
    }
    return text.substr(0, length);
}

// A column of an expression, described by the first value it holds.
ColumnDescription DescribeByValues(const std::string& name,
                                   const std::vector<std::vector<Value>>& rows,
                                   std::size_t column) {
    for (const auto& row : rows) {
        const Value& value = row[column];
        if (value.IsNull()) continue;
        if (value.IsYesNo()) return Described(name, SQL_BIT, 1, "BIT");
        if (value.IsWhole()) return Described(name, SQL_INTEGER, 10, "INTEGER");
        if (value.IsFloating()) return Described(name, SQL_DOUBLE, 15, "DOUBLE");
        if (value.IsDate()) return Described(name, SQL_TYPE_TIMESTAMP, 19, "DATETIME");
        break;
    }
    return Described(name, SQL_WVARCHAR, 255, "VARCHAR", SQL_NULLABLE_UNKNOWN);
}

// What a stored value reads as when the program asks for text.
std::string TextOf(const Value& value) {
    if (value.IsText()) return value.AsText();
    if (value.IsYesNo()) return value.AsYesNo() ? "1" : "0";
    if (value.IsWhole()) return std::to_string(value.AsWhole());
    char buffer[64];
    if (value.IsFloating()) {
        std::snprintf(buffer, sizeof buffer, "%.15g", value.AsFloating());
        return buffer;
    }
    const DateTime& date = value.AsDate();
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", date.Year, date.Month,
                  date.Day, date.Hour, date.Minute, date.Second);
    return buffer;
}

double NumberOf(const Value& value) {
    if (value.IsWhole()) return static_cast<double>(value.AsWhole());
    if (value.IsFloating()) return value.AsFloating();
    if (value.IsYesNo()) return value.AsYesNo() ? 1.0 : 0.0;
    if (value.IsText()) {
        if (const auto number = sqlite::ParseNumberText(value.AsText())) {
            if (const auto* whole = std::get_if<std::int64_t>(&*number)) {
                return static_cast<double>(*whole);
            }
            return std::get<double>(*number);
        }
        Refuse("22018", "Invalid character value for cast");
    }
    Refuse("07006", "Restricted data type attribute violation");
}

DateTime DateOf(const Value& value) {
    if (value.IsDate()) return value.AsDate();
    if (value.IsText()) {
        if (const auto date = sqlite::ParseAccessDate(value.AsText())) return *date;
        Refuse("22018", "Invalid character value for cast");
    }
    Refuse("07006", "Restricted data type attribute violation");
}

// A whole number of type Target, refused when out of its range.
template <typename Target>
Target WholeOf(double number) {
    const double whole = std::trunc(number);
    if (whole < static_cast<double>(std::numeric_limits<Target>::lowest()) ||
        whole > static_cast<double>(std::numeric_limits<Target>::max())) {
        Refuse("22003", "Numeric value out of range");
    }
    return static_cast<Target>(whole);
}

template <typename Target>
SQLRETURN PutFixed(const Target& value, SQLPOINTER buffer, SQLLEN* indicator) {
    if (buffer) std::memcpy(buffer, &value, sizeof value);
    if (indicator) *indicator = static_cast<SQLLEN>(sizeof value);
    return SQL_SUCCESS;
}

SQLSMALLINT DefaultCType(SQLSMALLINT sqlType) {
    switch (sqlType) {
        case SQL_BIT:
            return SQL_C_BIT;
        case SQL_TINYINT:
        case SQL_SMALLINT:
            return SQL_C_SSHORT;
        case SQL_INTEGER:
            return SQL_C_SLONG;
        case SQL_REAL:
        case SQL_DOUBLE:
            return SQL_C_DOUBLE;
        case SQL_TYPE_TIMESTAMP:
            return SQL_C_TYPE_TIMESTAMP;
        default:
            return SQL_C_WCHAR;
    }
}

std::vector<SQLWCHAR> UnitsOf(const std::string& text) {
    odbc::WideText wide(text);
    return std::vector<SQLWCHAR>(wide.Data(), wide.Data() + wide.Size());
}

// A value of fixed size into the program's buffer as type, converted as ODBC converts.
SQLRETURN PutFixedValue(const Value& value, SQLSMALLINT type, SQLPOINTER buffer,
                        SQLLEN* indicator) {
    switch (type) {
        case SQL_C_BIT: {
            const double number = NumberOf(value);
            if (number != 0.0 && number != 1.0) Refuse("22003", "Numeric value out of range");
            return PutFixed<unsigned char>(number != 0.0 ? 1 : 0, buffer, indicator);
        }
        case SQL_C_STINYINT:
        case SQL_C_TINYINT:
            return PutFixed(WholeOf<signed char>(NumberOf(value)), buffer, indicator);
        case SQL_C_UTINYINT:
            return PutFixed(WholeOf<unsigned char>(NumberOf(value)), buffer, indicator);
        case SQL_C_SSHORT:
        case SQL_C_SHORT:
            return PutFixed(WholeOf<SQLSMALLINT>(NumberOf(value)), buffer, indicator);
        case SQL_C_USHORT:
            return PutFixed(WholeOf<SQLUSMALLINT>(NumberOf(value)), buffer, indicator);
        case SQL_C_SLONG:
        case SQL_C_LONG:
            return PutFixed(WholeOf<SQLINTEGER>(NumberOf(value)), buffer, indicator);
        case SQL_C_ULONG:
            return PutFixed(WholeOf<SQLUINTEGER>(NumberOf(value)), buffer, indicator);
        case SQL_C_SBIGINT:
            if (value.IsWhole()) return PutFixed(SQLBIGINT{value.AsWhole()}, buffer, indicator);
            return PutFixed(WholeOf<SQLBIGINT>(NumberOf(value)), buffer, indicator);
        case SQL_C_DOUBLE:
            return PutFixed(NumberOf(value), buffer, indicator);
        case SQL_C_FLOAT:
            return PutFixed(static_cast<float>(NumberOf(value)), buffer, indicator);
        case SQL_C_TYPE_TIMESTAMP:
        case SQL_C_TIMESTAMP: {
            const DateTime date = DateOf(value);
            SQL_TIMESTAMP_STRUCT stamp{};
            stamp.year = static_cast<SQLSMALLINT>(date.Year);
            stamp.month = static_cast<SQLUSMALLINT>(date.Month);
            stamp.day = static_cast<SQLUSMALLINT>(date.Day);
            stamp.hour = static_cast<SQLUSMALLINT>(date.Hour);
            stamp.minute = static_cast<SQLUSMALLINT>(date.Minute);
            stamp.second = static_cast<SQLUSMALLINT>(date.Second);
            return PutFixed(stamp, buffer, indicator);
        }
        case SQL_C_TYPE_DATE:
        case SQL_C_DATE: {
            const DateTime date = DateOf(value);
            SQL_DATE_STRUCT day{};
            day.year = static_cast<SQLSMALLINT>(date.Year);
            day.month = static_cast<SQLUSMALLINT>(date.Month);
            day.day = static_cast<SQLUSMALLINT>(date.Day);
            return PutFixed(day, buffer, indicator);
        }
        case SQL_C_TYPE_TIME:
        case SQL_C_TIME: {
            const DateTime date = DateOf(value);
            SQL_TIME_STRUCT time{};
            time.hour = static_cast<SQLUSMALLINT>(date.Hour);
            time.minute = static_cast<SQLUSMALLINT>(date.Minute);
            time.second = static_cast<SQLUSMALLINT>(date.Second);
            return PutFixed(time, buffer, indicator);
        }
        default:
            Refuse("HY003", "Invalid application buffer type");
    }
}

}  // namespace

ColumnDescription DescribeDeclaredType(std::string_view name, std::string_view declaredType) {
    const std::string column(name);
    switch (sqlite::KindOfDeclaredType(declaredType)) {
        case sqlite::ColumnKind::DateTime:
            return Described(column, SQL_TYPE_TIMESTAMP, 19, "DATETIME");
        case sqlite::ColumnKind::YesNo:
            return Described(column, SQL_BIT, 1, "BIT", SQL_NO_NULLS);
        case sqlite::ColumnKind::Number: {
            // Access's number sizes, by the declared type's first word.
            const std::string word = LowerName(FirstWord(declaredType));
            if (word == "double" || word == "numeric" || word == "currency") {
                return Described(column, SQL_DOUBLE, 15, "DOUBLE");
            }
            if (word == "single") return Described(column, SQL_REAL, 7, "REAL");
            if (word == "short") return Described(column, SQL_SMALLINT, 5, "SMALLINT");
            if (word == "byte") return Described(column, SQL_TINYINT, 3, "BYTE");
            return Described(column, SQL_INTEGER, 10, "INTEGER");
        }
        case sqlite::ColumnKind::Text:
            break;
    }
    return Described(column, SQL_WVARCHAR, 255, "VARCHAR");
}

const ColumnDescription& ResultSet::Column(SQLUSMALLINT number) const {
    if (number < 1 || number > mColumns.size()) Refuse("07009", "Invalid descriptor index");
    return mColumns[number - 1u];
}

bool ResultSet::Fetch() {
    mPieceColumn = 0;
    if (mNext >= mRows.size()) {
        mNext = mRows.size() + 1;
        return false;
    }
    ++mNext;
    return true;
}

SQLRETURN ResultSet::GetData(SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER buffer,
                             SQLLEN bufferLength, SQLLEN* indicator, Diagnostics& diagnostics) {
    if (mNext == 0 || mNext > mRows.size()) Refuse("24000", "Invalid cursor state");
    const ColumnDescription& description = Column(column);
    const Value& value = mRows[mNext - 1][column - 1u];
    if (column != mPieceColumn) {
        mPieceColumn = column;
        mPieceOffset = 0;
        mPieceDone = false;
    }
    if (mPieceDone) return SQL_NO_DATA;
    if (value.IsNull()) {
        if (!indicator) Refuse("22002", "Indicator variable required but not supplied");
        *indicator = SQL_NULL_DATA;
        mPieceDone = true;
        return SQL_SUCCESS;
    }
    if (type == SQL_C_DEFAULT) type = DefaultCType(description.Type);

    if (type == SQL_C_WCHAR || type == SQL_C_CHAR) {
        // Text in pieces: each zero-terminated, the indicator giving what is left in bytes.
        const std::string text = TextOf(value);
        const std::vector<SQLWCHAR> wide =
            type == SQL_C_WCHAR ? UnitsOf(text) : std::vector<SQLWCHAR>();
        const std::size_t unitSize = type == SQL_C_WCHAR ? sizeof(SQLWCHAR) : 1;
        const std::size_t total = type == SQL_C_WCHAR ? wide.size() : text.size();
        const std::size_t left = total - mPieceOffset;
        if (indicator) *indicator = static_cast<SQLLEN>(left * unitSize);
        const std::size_t room =
            buffer && bufferLength > 0 ? static_cast<std::size_t>(bufferLength) / unitSize : 0;
        if (room == 0) {
            // Only the length was asked for: nothing is handed out.
            if (left == 0) return SQL_SUCCESS;
            diagnostics.Add({"01004", 0, "String data, right truncated"});
            return SQL_SUCCESS_WITH_INFO;
        }
        // A piece fills the buffer, even between the halves of a surrogate pair: the program
        // joins the units before it reads them.
        const std::size_t count = std::min(left, room - 1);
        if (type == SQL_C_WCHAR) {
            auto* out = static_cast<SQLWCHAR*>(buffer);
            std::copy_n(wide.begin() + static_cast<std::ptrdiff_t>(mPieceOffset), count, out);
            out[count] = 0;
        } else {
            auto* out = static_cast<char*>(buffer);
            std::memcpy(out, text.data() + mPieceOffset, count);
            out[count] = '\0';
        }
        mPieceOffset += count;
        if (mPieceOffset < total) {
            diagnostics.Add({"01004", 0, "String data, right truncated"});
            return SQL_SUCCESS_WITH_INFO;
        }
        mPieceDone = true;
        return SQL_SUCCESS;
    }

    const SQLRETURN result = PutFixedValue(value, type, buffer, indicator);
    mPieceDone = true;
    return result;
}

ResultSet& DriverStatement::OpenResult() {
    if (!mResult) Refuse("24000", "Invalid cursor state");
    return *mResult;
}

void DriverStatement::ExecDirect(std::string_view statement) {
    mResult.reset();
    mRowCount = -1;
    const std::string text = RewriteOdbcEscapes(statement);
    ResultRows rows = mConnection.Database().Query(text);
    const sqlite::TranslatedStatement translated = sqlite::TranslateAccessSql(text);
    if (translated.Verb == sqlite::StatementVerb::Other) mConnection.ForgetSchema();
    if (rows.ColumnNames.empty()) return;

    // A column of one of the statement's tables is described by its declared type, an
    // expression (@@IDENTITY) by its values.
    std::vector<ColumnDescription> columns;
    for (std::size_t i = 0; i < rows.ColumnNames.size(); ++i) {
        const std::string& name = rows.ColumnNames[i];
        std::optional<ColumnDescription> found;
        for (const std::string& table : translated.Tables) {
            for (const TableColumn& column : mConnection.ColumnsOf(table)) {
                if (SameName(column.Name, name)) found = column.Description;
            }
            if (found) break;
        }
        if (found) {
            found->Name = name;
            columns.push_back(std::move(*found));
        } else {
            columns.push_back(DescribeByValues(name, rows.Rows, i));
        }
    }
    mResult.emplace(std::move(columns), std::move(rows.Rows));
}

void DriverStatement::Columns(std::string_view tablePattern, std::string_view columnPattern) {
    mResult.reset();
    const auto text = [](const char* name) {
        return Described(name, SQL_WVARCHAR, 128, "VARCHAR", SQL_NULLABLE);
    };
    const auto small = [](const char* name, SQLSMALLINT nullable = SQL_NULLABLE) {
        return Described(name, SQL_SMALLINT, 5, "SMALLINT", nullable);
    };
    const auto whole = [](const char* name, SQLSMALLINT nullable = SQL_NULLABLE) {
        return Described(name, SQL_INTEGER, 10, "INTEGER", nullable);
    };
    std::vector<ColumnDescription> columns = {text("TABLE_CAT"),
                                              text("TABLE_SCHEM"),
                                              text("TABLE_NAME"),
                                              text("COLUMN_NAME"),
                                              small("DATA_TYPE", SQL_NO_NULLS),
                                              text("TYPE_NAME"),
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
    columns[2].Nullable = columns[3].Nullable = columns[5].Nullable = SQL_NO_NULLS;

    std::vector<std::vector<Value>> rows;
    for (const std::string& table : mConnection.TableNames()) {
        if (!MatchesPattern(table, tablePattern)) continue;
        std::int64_t position = 0;
        for (const TableColumn& column : mConnection.ColumnsOf(table)) {
            ++position;
            if (!MatchesPattern(column.Name, columnPattern)) continue;
            const ColumnDescription& type = column.Description;
            const bool isText = type.Type == SQL_WVARCHAR;
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
        mEngine = OpenSqliteEngine(BuildConnectionString(path), RegionalDateOrder());
    } catch (const Failure& failure) {
        DiagnosticRecord record = RecordOfFailure(failure.Number(), failure.Description());
        record.State = "08001";
        throw DriverError{record};
    }
}

void DriverConnection::Disconnect() {
    if (!mEngine) Refuse("08003", "Connection not open");
    mStatements.clear();
    mTables.clear();
    mEngine.reset();
}

Engine& DriverConnection::Database() {
    if (!mEngine) Refuse("08003", "Connection not open");
    return *mEngine;
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

const std::vector<TableColumn>& DriverConnection::ColumnsOf(const std::string& table) {
    const std::string key = LowerName(table);
    if (const auto known = mTables.find(key); known != mTables.end()) return known->second;
    std::string quoted;
    for (const char c : table) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    const ResultRows info =
        Database().Query("SELECT name, type FROM pragma_table_info('" + quoted + "')");
    std::vector<TableColumn> columns;
    for (const auto& row : info.Rows) {
        const std::string name = AppendEmpty(row[0]);
        columns.push_back({name, DescribeDeclaredType(name, AppendEmpty(row[1]))});
    }
    return mTables.emplace(key, std::move(columns)).first->second;
}

std::vector<std::string> DriverConnection::TableNames() {
    const ResultRows tables = Database().Query(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite!_%' "
        "ESCAPE '!' ORDER BY name");
    std::vector<std::string> names;
    for (const auto& row : tables.Rows)
        names.push_back(AppendEmpty(row[0]));
    return names;
}

DriverConnection& Environment::NewConnection() {
    return *mConnections.emplace_back(std::make_unique<DriverConnection>(*this));
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
    if (pattern.empty()) return true;  // no pattern given: every name
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
