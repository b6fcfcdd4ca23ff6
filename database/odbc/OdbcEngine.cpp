#include "database/odbc/OdbcEngine.hpp"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "database/Names.hpp"
#include "database/odbc/DateEscapes.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "database/odbc/OdbcHandles.hpp"
#include "database/odbc/OdbcText.hpp"
#include "errors/Failure.hpp"

namespace almanoria {

namespace {

using odbc::Handle;
using odbc::ToUtf8;
using odbc::WideText;

// How a column's values are fetched and what they become.
enum class FetchKind { YesNo, Whole, BigWhole, Floating, Decimal, Date, Time, Timestamp, Text };

FetchKind KindOf(SQLSMALLINT type) {
    switch (type) {
        case SQL_BIT:
            return FetchKind::YesNo;
        case SQL_TINYINT:
        case SQL_SMALLINT:
        case SQL_INTEGER:
            return FetchKind::Whole;
        case SQL_BIGINT:
            return FetchKind::BigWhole;
        case SQL_REAL:
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return FetchKind::Floating;
        case SQL_DECIMAL:
        case SQL_NUMERIC:
            return FetchKind::Decimal;
        case SQL_TYPE_DATE:
        case SQL_DATE:
            return FetchKind::Date;
        case SQL_TYPE_TIME:
        case SQL_TIME:
            return FetchKind::Time;
        case SQL_TYPE_TIMESTAMP:
        case SQL_TIMESTAMP:
            return FetchKind::Timestamp;
        default:
            return FetchKind::Text;
    }
}

// Date/Time columns, whose quoted values the driver reads by the regional settings.
bool HoldsDates(SQLSMALLINT type) {
    const FetchKind kind = KindOf(type);
    return kind == FetchKind::Date || kind == FetchKind::Time || kind == FetchKind::Timestamp;
}

SQLINTEGER Length(const WideText& text) {
    return static_cast<SQLINTEGER>(text.Size());
}

// One fixed-size value of the current row; nothing for Null.
template <typename Target>
std::optional<Target> FetchFixed(const Handle& command, SQLUSMALLINT column, SQLSMALLINT type) {
    Target value{};
    SQLLEN indicator = 0;
    command.Check(
        command.Manager().GetData(command.Get(), column, type, &value, sizeof value, &indicator));
    if (indicator == SQL_NULL_DATA) return std::nullopt;
    return value;
}

// A text of the current row, fetched piece by piece however long it is; nothing for Null.
std::optional<std::string> FetchText(const Handle& command, SQLUSMALLINT column) {
    std::vector<SQLWCHAR> units;
    SQLWCHAR piece[1024];
    constexpr std::size_t kPieceUnits = sizeof piece / sizeof piece[0];
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN result = command.Check(command.Manager().GetData(
            command.Get(), column, SQL_C_WCHAR, piece, sizeof piece, &indicator));
        if (result == SQL_NO_DATA) break;
        if (indicator == SQL_NULL_DATA) return std::nullopt;
        const bool truncated =
            indicator == SQL_NO_TOTAL ||
            static_cast<std::size_t>(indicator) > (kPieceUnits - 1) * sizeof(SQLWCHAR);
        const std::size_t count =
            truncated ? kPieceUnits - 1 : static_cast<std::size_t>(indicator) / sizeof(SQLWCHAR);
        units.insert(units.end(), piece, piece + count);
        if (!truncated) break;
    }
    return ToUtf8(units.data(), units.size());
}

DateTime FromTimestamp(const SQL_TIMESTAMP_STRUCT& stamp) {
    return {stamp.year, stamp.month, stamp.day, stamp.hour, stamp.minute, stamp.second};
}

Value FetchValue(const Handle& command, SQLUSMALLINT column, FetchKind kind, SQLSMALLINT digits) {
    switch (kind) {
        case FetchKind::YesNo: {
            // Yes/No comes as a bit, 1 or 0; the lookup reads it as "True" or "False".
            const auto bit = FetchFixed<unsigned char>(command, column, SQL_C_BIT);
            return bit ? Value::YesNo(*bit != 0) : Value();
        }
        case FetchKind::Whole: {
            const auto whole = FetchFixed<SQLINTEGER>(command, column, SQL_C_SLONG);
            return whole ? Value::Number(std::int64_t{*whole}) : Value();
        }
        case FetchKind::BigWhole: {
            const auto whole = FetchFixed<SQLBIGINT>(command, column, SQL_C_SBIGINT);
            return whole ? Value::Number(std::int64_t{*whole}) : Value();
        }
        case FetchKind::Floating: {
            const auto floating = FetchFixed<double>(command, column, SQL_C_DOUBLE);
            return floating ? Value::Number(*floating) : Value();
        }
        case FetchKind::Decimal: {
            const auto number = FetchFixed<double>(command, column, SQL_C_DOUBLE);
            if (!number) return Value();
            if (digits == 0 && std::abs(*number) < 9.2e18) {
                return Value::Number(static_cast<std::int64_t>(std::llround(*number)));
            }
            return Value::Number(*number);
        }
        case FetchKind::Date: {
            const auto date = FetchFixed<SQL_DATE_STRUCT>(command, column, SQL_C_TYPE_DATE);
            return date ? Value::Date({date->year, date->month, date->day}) : Value();
        }
        case FetchKind::Time: {
            // A time alone lies on the zero day of Date/Time values, 12/30/1899.
            const auto time = FetchFixed<SQL_TIME_STRUCT>(command, column, SQL_C_TYPE_TIME);
            if (!time) return Value();
            DateTime value;
            value.Hour = time->hour;
            value.Minute = time->minute;
            value.Second = time->second;
            return Value::Date(value);
        }
        case FetchKind::Timestamp: {
            const auto stamp =
                FetchFixed<SQL_TIMESTAMP_STRUCT>(command, column, SQL_C_TYPE_TIMESTAMP);
            return stamp ? Value::Date(FromTimestamp(*stamp)) : Value();
        }
        case FetchKind::Text:
            break;
    }
    const auto text = FetchText(command, column);
    return text ? Value::Text(*text) : Value();
}

Handle NewEnvironment(const odbc::DriverManager& manager) {
    Handle environment(manager, SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    environment.Check(manager.SetEnvAttr(environment.Get(), SQL_ATTR_ODBC_VERSION,
                                         reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0));
    return environment;
}

class OdbcEngine final : public Engine {
  public:
    // Connects, or raises the driver's failure; the handles taken so far are freed either way.
    OdbcEngine(std::shared_ptr<const odbc::DriverManager> manager,
               std::string_view connectionString)
        : mManager(std::move(manager)),
          mEnvironment(NewEnvironment(*mManager)),
          mConnection(*mManager, SQL_HANDLE_DBC, mEnvironment.Get()) {
        WideText text(connectionString);
        SQLSMALLINT completedLength = 0;
        mConnection.Check(mManager->DriverConnectW(mConnection.Get(), nullptr, text.Data(),
                                                   static_cast<SQLSMALLINT>(text.Size()), nullptr,
                                                   0, &completedLength, SQL_DRIVER_NOPROMPT));
    }

    ~OdbcEngine() override { mManager->Disconnect(mConnection.Get()); }

    OdbcEngine(const OdbcEngine&) = delete;
    OdbcEngine& operator=(const OdbcEngine&) = delete;

    // The statement's handle, and with it any result, goes unread at once.
    void Execute(std::string_view statement) override { Run(statement); }

    ResultRows Query(std::string_view statement) override {
        const Handle command = Run(statement);
        return ReadRows(command);
    }

    // Manual commit for the transaction's length: the driver begins it with the next
    // statement and ends it at SQLEndTran. Autocommit goes back on only once the transaction
    // has ended, since turning it on commits whatever is open.
    void BeginTransaction() override { SetAutocommit(SQL_AUTOCOMMIT_OFF); }
    void CommitTransaction() override { EndTransaction(SQL_COMMIT); }
    void RollbackTransaction() override { EndTransaction(SQL_ROLLBACK); }

  private:
    void SetAutocommit(SQLUINTEGER mode) {
        mConnection.Check(mManager->SetConnectAttrW(
            mConnection.Get(), SQL_ATTR_AUTOCOMMIT,
            reinterpret_cast<SQLPOINTER>(static_cast<std::uintptr_t>(mode)), SQL_IS_UINTEGER));
    }

    void EndTransaction(SQLSMALLINT completion) {
        mConnection.Check(mManager->EndTran(SQL_HANDLE_DBC, mConnection.Get(), completion));
        SetAutocommit(SQL_AUTOCOMMIT_ON);
    }

    Handle Run(std::string_view statement) {
        WideText text(
            EscapeDateValues(statement, [this](std::string_view table, std::string_view column) {
                return DateColumnsOf(table).count(LowerName(column)) > 0;
            }));
        Handle command(*mManager, SQL_HANDLE_STMT, mConnection.Get());
        command.Check(mManager->ExecDirectW(command.Get(), text.Data(), Length(text)));
        return command;
    }

    static ResultRows ReadRows(const Handle& command) {
        ResultRows rows;
        SQLSMALLINT count = 0;
        command.Check(command.Manager().NumResultCols(command.Get(), &count));
        std::vector<FetchKind> kinds;
        std::vector<SQLSMALLINT> digits;
        for (SQLUSMALLINT column = 1; column <= count; ++column) {
            std::vector<SQLWCHAR> name(256);
            SQLSMALLINT nameLength = 0;
            SQLSMALLINT type = 0;
            SQLULEN size = 0;
            SQLSMALLINT decimals = 0;
            SQLSMALLINT nullable = 0;
            command.Check(command.Manager().DescribeColW(
                command.Get(), column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                &nameLength, &type, &size, &decimals, &nullable));
            if (nameLength >= static_cast<SQLSMALLINT>(name.size())) {
                name.resize(static_cast<std::size_t>(nameLength) + 1);
                command.Check(command.Manager().DescribeColW(
                    command.Get(), column, name.data(), static_cast<SQLSMALLINT>(name.size()),
                    &nameLength, &type, &size, &decimals, &nullable));
            }
            rows.ColumnNames.push_back(ToUtf8(name.data(), static_cast<std::size_t>(nameLength)));
            kinds.push_back(KindOf(type));
            digits.push_back(decimals);
        }
        if (count == 0) return rows;
        while (command.Check(command.Manager().Fetch(command.Get())) != SQL_NO_DATA) {
            std::vector<Value> row;
            row.reserve(kinds.size());
            for (SQLUSMALLINT column = 1; column <= count; ++column) {
                row.push_back(FetchValue(command, column, kinds[column - 1], digits[column - 1]));
            }
            rows.Rows.push_back(std::move(row));
        }
        return rows;
    }

    // The Date/Time columns of a table, from the driver's metadata, asked once per connection.
    const std::set<std::string>& DateColumnsOf(std::string_view table) {
        const std::string key = LowerName(table);
        if (const auto known = mDateColumns.find(key); known != mDateColumns.end()) {
            return known->second;
        }
        std::set<std::string> columns;
        Handle command(*mManager, SQL_HANDLE_STMT, mConnection.Get());
        WideText name(table);
        command.Check(mManager->ColumnsW(command.Get(), nullptr, 0, nullptr, 0, name.Data(),
                                         static_cast<SQLSMALLINT>(name.Size()), nullptr, 0));
        // TABLE_NAME, COLUMN_NAME and DATA_TYPE; the name is a pattern, so "_" may match more.
        while (command.Check(mManager->Fetch(command.Get())) != SQL_NO_DATA) {
            const auto tableName = FetchText(command, 3);
            const auto columnName = FetchText(command, 4);
            const auto type = FetchFixed<SQLSMALLINT>(command, 5, SQL_C_SSHORT);
            if (tableName && columnName && type && LowerName(*tableName) == key &&
                HoldsDates(*type)) {
                columns.insert(LowerName(*columnName));
            }
        }
        return mDateColumns.emplace(key, std::move(columns)).first->second;
    }

    // Declared first, so that the library stays loaded until every handle is freed.
    std::shared_ptr<const odbc::DriverManager> mManager;
    Handle mEnvironment;
    Handle mConnection;
    std::map<std::string, std::set<std::string>> mDateColumns;
};

}  // namespace

std::unique_ptr<Engine> OpenOdbcEngine(std::string_view connectionString) {
    return OpenOdbcEngine(connectionString, odbc::DriverManager::System());
}

std::unique_ptr<Engine> OpenOdbcEngine(std::string_view connectionString,
                                       std::shared_ptr<const odbc::DriverManager> manager) {
    return std::make_unique<OdbcEngine>(std::move(manager), connectionString);
}

}  // namespace almanoria
