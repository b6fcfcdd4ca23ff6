#pragma once

// The environment, connection and statement objects behind the driver's handles, over the
// program's own embedded engine.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Engine.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "database/sqlite/AccessDialect.hpp"
#include "tools/odbcdriver/DriverError.hpp"

namespace almanoria::odbcdriver {

// How a result column is described to the program.
struct ColumnDescription {
    std::string Name;
    SQLSMALLINT Type = SQL_WVARCHAR;
    SQLULEN Size = 255;
    SQLSMALLINT Digits = 0;
    SQLSMALLINT Nullable = SQL_NULLABLE_UNKNOWN;
    std::string TypeName = "VARCHAR";
};

// A column of a table, with the SQL type its declared type reads as.
struct TableColumn {
    std::string Name;
    ColumnDescription Description;
};

// The description a declared type (DATETIME, YESNO, INTEGER, TEXT, ...) gives a column.
ColumnDescription DescribeDeclaredType(std::string_view name, std::string_view declaredType);

// The rows of a result and where the program is in them, read whole as the engine returns them.
class ResultSet {
  public:
    ResultSet(std::vector<ColumnDescription> columns, std::vector<std::vector<Value>> rows)
        : mColumns(std::move(columns)), mRows(std::move(rows)) {}

    const std::vector<ColumnDescription>& Columns() const { return mColumns; }
    const ColumnDescription& Column(SQLUSMALLINT number) const;  // 1-based; 07009 otherwise

    // The next row; false past the last.
    bool Fetch();
    // The value of a column in the current row, into the program's buffer as type. Text comes
    // in pieces when the buffer is short (SQL_SUCCESS_WITH_INFO, 01004) and SQL_NO_DATA follows
    // the last piece; a fixed-size value comes once.
    SQLRETURN GetData(SQLUSMALLINT column, SQLSMALLINT type, SQLPOINTER buffer, SQLLEN bufferLength,
                      SQLLEN* indicator, Diagnostics& diagnostics);

  private:
    std::vector<ColumnDescription> mColumns;
    std::vector<std::vector<Value>> mRows;
    std::size_t mNext = 0;  // the current row is mNext - 1
    // How much of which column GetData has handed out already.
    SQLUSMALLINT mPieceColumn = 0;
    std::size_t mPieceOffset = 0;
    bool mPieceDone = false;
};

// What every handle is: its kind, checked on each call, and its diagnostics.
struct Handled {
    explicit Handled(SQLSMALLINT type) : Type(type) {}
    static constexpr std::uint32_t kTag = 0x416C6D4F;
    std::uint32_t Tag = kTag;
    SQLSMALLINT Type;
    Diagnostics Diag;
};

class DriverConnection;
class Environment;

class DriverStatement : public Handled {
  public:
    explicit DriverStatement(DriverConnection& connection)
        : Handled(SQL_HANDLE_STMT), mConnection(connection) {}

    void ExecDirect(std::string_view statement);
    void Columns(std::string_view tablePattern, std::string_view columnPattern);
    void CloseCursor() { mResult.reset(); }

    ResultSet* Result() { return mResult ? &*mResult : nullptr; }
    ResultSet& OpenResult();  // 24000 when there is none
    SQLLEN RowCount() const { return mRowCount; }
    DriverConnection& Connection() { return mConnection; }

    // The implicit descriptors, which the driver manager asks for and the program never uses.
    SQLPOINTER Descriptor(int which) { return &mDescriptors[which]; }

  private:
    DriverConnection& mConnection;
    std::optional<ResultSet> mResult;
    SQLLEN mRowCount = -1;
    char mDescriptors[4] = {};
};

class DriverConnection : public Handled {
  public:
    explicit DriverConnection(Environment& environment)
        : Handled(SQL_HANDLE_DBC), mEnvironment(environment) {}

    Environment& Owner() { return mEnvironment; }

    // Opens the file named by Dbq, existing files only; the date order of quoted text comes
    // from the regional settings now.
    void Connect(std::string_view connectionString);
    void Disconnect();
    bool IsConnected() const { return mEngine != nullptr; }
    Engine& Database();  // 08003 when not connected

    DriverStatement& NewStatement();
    bool FreeStatement(const DriverStatement* statement);

    // The columns of a table as the file declares them, looked up once per connection; empty
    // for no such table.
    const std::vector<TableColumn>& ColumnsOf(const std::string& table);
    std::vector<std::string> TableNames();
    void ForgetSchema() { mTables.clear(); }

  private:
    Environment& mEnvironment;
    std::unique_ptr<Engine> mEngine;
    std::vector<std::unique_ptr<DriverStatement>> mStatements;
    std::map<std::string, std::vector<TableColumn>> mTables;  // by lower-case name
};

class Environment : public Handled {
  public:
    Environment() : Handled(SQL_HANDLE_ENV) {}
    SQLINTEGER OdbcVersion = SQL_OV_ODBC3;

    DriverConnection& NewConnection();
    bool FreeConnection(const DriverConnection* connection);

  private:
    std::vector<std::unique_ptr<DriverConnection>> mConnections;
};

// A failure of the engine as the driver reports it: its SQLSTATE by kind, the native error the
// engine's number carries, the engine's own message.
DiagnosticRecord RecordOfFailure(std::int32_t number, const std::string& message);

// Whether name matches an ODBC search pattern ("%" any run, "_" one character, "\" escapes),
// without regard to case.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace almanoria::odbcdriver
