#include "testing/odbcdriver/ResultSet.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "database/dialect/AccessDialect.hpp"
#include "database/odbc/OdbcText.hpp"
#include "database/sqlite/StorageFormat.hpp"

namespace almanoria::odbcdriver {

namespace {

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
        if (const auto date = dialect::ParseAccessDate(value.AsText())) return *date;
        Refuse("22018", "Invalid character value for cast");
    }
    Refuse("07006", "Restricted data type attribute violation");
}

// A date as ODBC's timestamp; its date and its time of day are parts of it.
SQL_TIMESTAMP_STRUCT StampOf(const Value& value) {
    const DateTime date = DateOf(value);
    return {static_cast<SQLSMALLINT>(date.Year),
            static_cast<SQLUSMALLINT>(date.Month),
            static_cast<SQLUSMALLINT>(date.Day),
            static_cast<SQLUSMALLINT>(date.Hour),
            static_cast<SQLUSMALLINT>(date.Minute),
            static_cast<SQLUSMALLINT>(date.Second),
            0};
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
    std::memcpy(buffer, &value, sizeof value);
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
        case SQL_C_TIMESTAMP:
            return PutFixed(StampOf(value), buffer, indicator);
        case SQL_C_TYPE_DATE:
        case SQL_C_DATE: {
            const SQL_TIMESTAMP_STRUCT stamp = StampOf(value);
            return PutFixed(SQL_DATE_STRUCT{stamp.year, stamp.month, stamp.day}, buffer, indicator);
        }
        case SQL_C_TYPE_TIME:
        case SQL_C_TIME: {
            const SQL_TIMESTAMP_STRUCT stamp = StampOf(value);
            return PutFixed(SQL_TIME_STRUCT{stamp.hour, stamp.minute, stamp.second}, buffer,
                            indicator);
        }
        default:
            Refuse("HY003", "Invalid application buffer type");
    }
}

}  // namespace

ColumnDescription Described(std::string name, SQLSMALLINT type, SQLULEN size, std::string typeName,
                            SQLSMALLINT nullable) {
    ColumnDescription description;
    description.Name = std::move(name);
    description.Type = type;
    description.Size = size;
    description.TypeName = std::move(typeName);
    description.Nullable = nullable;
    return description;
}

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
    if (bufferLength < 0) Refuse("HY090", "Invalid string or buffer length");
    const SQLSMALLINT target = type == SQL_C_DEFAULT ? DefaultCType(description.Type) : type;
    // Only text may be asked for its length alone.
    if (!buffer && target != SQL_C_WCHAR && target != SQL_C_CHAR) {
        Refuse("HY009", "Invalid use of null pointer");
    }
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
    type = target;

    if (type == SQL_C_WCHAR || type == SQL_C_CHAR) {
        // Text in pieces: each zero-terminated, the indicator giving what is left in bytes.
        const std::string text = TextOf(value);
        odbc::WideText wide(type == SQL_C_WCHAR ? std::string_view(text) : std::string_view());
        const std::size_t unitSize = type == SQL_C_WCHAR ? sizeof(SQLWCHAR) : 1;
        const std::size_t total = type == SQL_C_WCHAR ? wide.Size() : text.size();
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
            std::copy_n(wide.Data() + mPieceOffset, count, out);
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

}  // namespace almanoria::odbcdriver
