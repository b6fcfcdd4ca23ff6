#pragma once

// The environment, connection and statement objects behind the driver's handles, over the
// program's own embedded engine.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Engine.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "testing/odbcdriver/DriverError.hpp"
#include "testing/odbcdriver/FileSchema.hpp"
#include "testing/odbcdriver/RegionalSettings.hpp"
#include "testing/odbcdriver/ResultSet.hpp"

namespace almanoria::odbcdriver {

// What the Access driver gives as a Memo column's size.
inline constexpr SQLULEN kMemoSize = 1073741823;

// The characters a Text column of a declared type holds: the size in TEXT(50), 255 without
// one; 0 for a Memo (MEMO, LONGTEXT, none), which keeps all its text.
std::size_t TextSizeOf(std::string_view declaredType);

// The description a declared type (DATETIME, YESNO, INTEGER, TEXT(50), LONGTEXT, ...) gives a
// column.
ColumnDescription DescribeDeclaredType(std::string_view name, std::string_view declaredType);

// What every handle is: its kind, checked on each call, and its diagnostics.
struct Handled {
    explicit Handled(SQLSMALLINT type) : Type(type) {}
    // A handle freed already no longer passes as one. Volatile, so that the compiler keeps a
    // store into an object at the end of its life.
    ~Handled() { *static_cast<volatile std::uint32_t*>(&Tag) = 0; }
    Handled(const Handled&) = delete;
    Handled& operator=(const Handled&) = delete;
    static constexpr std::uint32_t kTag = 0x416C6D4F;
    std::uint32_t Tag = kTag;
    SQLSMALLINT Type;
    Diagnostics Diag;
    SQLRETURN LastReturn = SQL_SUCCESS;  // of the last call on the handle, for SQL_DIAG_RETURNCODE
};

class DriverConnection;
class Environment;

class DriverStatement : public Handled {
  public:
    explicit DriverStatement(DriverConnection& connection)
        : Handled(SQL_HANDLE_STMT), mConnection(connection) {}

    // SQL_NO_DATA for an UPDATE or DELETE that changed no row, as the Access driver answers.
    SQLRETURN ExecDirect(std::string_view statement);
    // A pattern left out (null) matches every name; an empty one only an empty name.
    void Columns(std::optional<std::string_view> tablePattern,
                 std::optional<std::string_view> columnPattern);
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
    // The engine for a statement to run on: in manual-commit mode a transaction is begun first
    // when none is open, as the Access driver begins one with the first statement.
    Engine& DatabaseForStatement();

    // Turning autocommit back on commits the open transaction, as ODBC has it.
    void SetAutocommit(bool on);
    bool Autocommit() const { return mAutocommit; }
    // SQL_COMMIT or SQL_ROLLBACK of the open transaction, if any (HY012 for another).
    void EndTransaction(SQLSMALLINT completion);

    DriverStatement& NewStatement();
    bool FreeStatement(const DriverStatement* statement);

    // The open file's tables and columns (08003 when not connected), and how quoted dates
    // read on this connection.
    FileSchema Schema();
    DateSettings QuotedDates() const { return mQuotedDates; }

  private:
    Environment& mEnvironment;
    std::unique_ptr<Engine> mEngine;
    std::string mPath;
    DateSettings mQuotedDates;
    std::vector<std::unique_ptr<DriverStatement>> mStatements;
    bool mAutocommit = true;
    bool mInTransaction = false;
};

class Environment : public Handled {
  public:
    Environment() : Handled(SQL_HANDLE_ENV) {}
    SQLINTEGER OdbcVersion = SQL_OV_ODBC3;

    DriverConnection& NewConnection();
    bool FreeConnection(const DriverConnection* connection);
    // SQLEndTran on the environment: each of its connections in turn.
    void EndTransactions(SQLSMALLINT completion);

  private:
    std::vector<std::unique_ptr<DriverConnection>> mConnections;
};

// A failure of the engine as the driver reports it: its SQLSTATE by kind, the native error the
// engine's number carries, the engine's own message.
DiagnosticRecord RecordOfFailure(std::int32_t number, const std::string& message);

// Whether name matches an ODBC search pattern ("%" any run, "_" one character, "\" escapes),
// without regard to case. "" matches only an empty name.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace almanoria::odbcdriver
