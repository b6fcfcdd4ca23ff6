#pragma once

#include <memory>

#include "database/odbc/DriverManager.hpp"
#include "database/odbc/OdbcApi.hpp"

namespace almanoria::odbc {

// One ODBC handle (environment, connection or statement), freed when its owner goes. The
// driver manager must outlive it.
class Handle {
  public:
    // Allocates a handle of the type under parent, SQL_NULL_HANDLE for an environment; raises
    // the parent's diagnostics when the driver manager refuses.
    Handle(const DriverManager& manager, SQLSMALLINT type, SQLHANDLE parent);

    SQLHANDLE Get() const noexcept { return mHandle.get(); }
    SQLSMALLINT Type() const noexcept { return mHandle.get_deleter().Type; }
    const DriverManager& Manager() const noexcept { return *mHandle.get_deleter().Manager; }

    // Every return code of a call on this handle goes through here: success, success with
    // information and no data pass and are returned; anything else raises the diagnostics.
    SQLRETURN Check(SQLRETURN result) const;

  private:
    struct Release {
        const DriverManager* Manager;
        SQLSMALLINT Type;
        void operator()(SQLHANDLE handle) const noexcept;
    };
    std::unique_ptr<void, Release> mHandle;
};

// The first diagnostic record of the handle as a Failure: its number from the native error,
// the driver's own message as its description.
[[noreturn]] void RaiseDiagnostics(const DriverManager& manager, SQLSMALLINT type, SQLHANDLE handle,
                                   SQLRETURN result);

}  // namespace almanoria::odbc
