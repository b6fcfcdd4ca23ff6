#include "database/odbc/OdbcHandles.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "database/odbc/OdbcEngine.hpp"
#include "database/odbc/OdbcText.hpp"
#include "errors/Failure.hpp"

namespace almanoria::odbc {

namespace {

SQLSMALLINT ParentType(SQLSMALLINT type) {
    return type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV;
}

}  // namespace

void Handle::Release::operator()(SQLHANDLE handle) const noexcept {
    Manager->FreeHandle(Type, handle);
}

Handle::Handle(const DriverManager& manager, SQLSMALLINT type, SQLHANDLE parent)
    : mHandle(nullptr, Release{&manager, type}) {
    SQLHANDLE handle = SQL_NULL_HANDLE;
    const SQLRETURN result = manager.AllocHandle(type, parent, &handle);
    if (result != SQL_SUCCESS && result != SQL_SUCCESS_WITH_INFO) {
        if (parent == SQL_NULL_HANDLE) {
            throw Failure(ErrorNumber::ObjectError,
                          "The ODBC driver manager could not allocate an environment.");
        }
        RaiseDiagnostics(manager, ParentType(type), parent, result);
    }
    mHandle.reset(handle);
}

SQLRETURN Handle::Check(SQLRETURN result) const {
    if (result == SQL_SUCCESS || result == SQL_SUCCESS_WITH_INFO || result == SQL_NO_DATA) {
        return result;
    }
    RaiseDiagnostics(Manager(), Type(), Get(), result);
}

void RaiseDiagnostics(const DriverManager& manager, SQLSMALLINT type, SQLHANDLE handle,
                      SQLRETURN result) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    std::vector<SQLWCHAR> message(512);
    SQLSMALLINT length = 0;
    SQLRETURN read = manager.GetDiagRecW(type, handle, 1, state, &native, message.data(),
                                         static_cast<SQLSMALLINT>(message.size()), &length);
    if (read == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
        message.resize(static_cast<std::size_t>(length) + 1);
        read = manager.GetDiagRecW(type, handle, 1, state, &native, message.data(),
                                   static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (read != SQL_SUCCESS && read != SQL_SUCCESS_WITH_INFO) {
        throw Failure(ErrorNumber::ObjectError,
                      "The ODBC driver failed without saying why (return code " +
                          std::to_string(result) + ").");
    }
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(length), message.size() - 1);
    throw Failure(ObjectErrorNumber(native), ToUtf8(message.data(), count));
}

}  // namespace almanoria::odbc
