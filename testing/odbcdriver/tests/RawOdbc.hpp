#pragma once

// Raw calls through the driver manager to the test driver, where the ODBC engine would hide what
// the driver does: no date escapes in between.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "database/ConnectionString.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "database/odbc/OdbcText.hpp"

namespace almanoria::odbcdriver {

// One handle of the driver manager, freed with its owner.
struct RawHandle {
    RawHandle(SQLSMALLINT type, SQLHANDLE parent) : Type(type) {
        EXPECT_TRUE(SQL_SUCCEEDED(SQLAllocHandle(type, parent, &Handle)));
    }
    ~RawHandle() { SQLFreeHandle(Type, Handle); }
    RawHandle(const RawHandle&) = delete;
    RawHandle& operator=(const RawHandle&) = delete;
    SQLSMALLINT Type;
    SQLHANDLE Handle = SQL_NULL_HANDLE;
};

struct Diagnostic {
    std::string State;
    SQLINTEGER Native = 0;
    std::string Message;
};

inline Diagnostic FirstDiagnostic(SQLSMALLINT type, SQLHANDLE handle) {
    SQLWCHAR state[6] = {};
    SQLWCHAR message[512] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, 1, state, &native, message, 512, &length))) {
        return {"none", 0, ""};
    }
    return {odbc::ToUtf8(state, 5), native,
            odbc::ToUtf8(message, static_cast<std::size_t>(length))};
}

// A raw connection to a calendar file, with no date escapes in between.
class RawConnection {
  public:
    explicit RawConnection(const std::string& path) {
        SQLSetEnvAttr(mEnvironment.Handle, SQL_ATTR_ODBC_VERSION,
                      reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        mConnection = std::make_unique<RawHandle>(SQL_HANDLE_DBC, mEnvironment.Handle);
        odbc::WideText text(BuildConnectionString(path));
        Connected = SQLDriverConnectW(mConnection->Handle, nullptr, text.Data(),
                                      static_cast<SQLSMALLINT>(text.Size()), nullptr, 0, nullptr,
                                      SQL_DRIVER_NOPROMPT);
    }
    ~RawConnection() {
        if (SQL_SUCCEEDED(Connected)) SQLDisconnect(mConnection->Handle);
    }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    SQLHANDLE Handle() const { return mConnection->Handle; }
    std::unique_ptr<RawHandle> Statement() const {
        return std::make_unique<RawHandle>(SQL_HANDLE_STMT, Handle());
    }
    SQLRETURN Execute(RawHandle& statement, const std::string& sql) const {
        odbc::WideText text(sql);
        return SQLExecDirectW(statement.Handle, text.Data(), static_cast<SQLINTEGER>(text.Size()));
    }
    SQLRETURN Connected = SQL_ERROR;

  private:
    RawHandle mEnvironment{SQL_HANDLE_ENV, SQL_NULL_HANDLE};
    std::unique_ptr<RawHandle> mConnection;
};

}  // namespace almanoria::odbcdriver
