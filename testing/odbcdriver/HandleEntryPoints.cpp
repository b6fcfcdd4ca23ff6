// The test driver's entry points for allocating and freeing handles, and its environment's:
// the plain functions the driver manager looks up. Whatever is not exported the driver manager
// refuses itself (IM001).

#include "testing/odbcdriver/EntryPoints.hpp"

using namespace almanoria::odbcdriver;
using namespace almanoria::odbcdriver::entry;
namespace odbc = almanoria::odbc;

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    if (!output) return SQL_ERROR;
    switch (type) {
        case SQL_HANDLE_ENV:
            // The driver manager owns the environment from here and frees it with
            // SQLFreeHandle; connections and statements belong to their parents.
            try {
                *output = HandleOf(*new Environment);
                return SQL_SUCCESS;
            } catch (...) {
                *output = SQL_NULL_HENV;
                return SQL_ERROR;
            }
        case SQL_HANDLE_DBC:
            return Guarded<Environment>(input, SQL_HANDLE_ENV,
                                        [&](Environment& environment) -> SQLRETURN {
                                            *output = HandleOf(environment.NewConnection());
                                            return SQL_SUCCESS;
                                        });
        case SQL_HANDLE_STMT:
            return Guarded<DriverConnection>(input, SQL_HANDLE_DBC,
                                             [&](DriverConnection& connection) -> SQLRETURN {
                                                 *output = HandleOf(connection.NewStatement());
                                                 return SQL_SUCCESS;
                                             });
        default:
            return Guarded<DriverConnection>(
                input, SQL_HANDLE_DBC,
                [](DriverConnection&) -> SQLRETURN { RefuseUnimplemented("descriptors"); });
    }
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
    switch (type) {
        case SQL_HANDLE_ENV: {
            auto* environment = Cast<Environment>(handle, type);
            if (!environment) return SQL_INVALID_HANDLE;
            delete environment;
            return SQL_SUCCESS;
        }
        case SQL_HANDLE_DBC: {
            // May come without SQLDisconnect: the engine goes with the connection.
            auto* connection = Cast<DriverConnection>(handle, type);
            if (!connection) return SQL_INVALID_HANDLE;
            return connection->Owner().FreeConnection(connection) ? SQL_SUCCESS
                                                                  : SQL_INVALID_HANDLE;
        }
        case SQL_HANDLE_STMT: {
            auto* statement = Cast<DriverStatement>(handle, type);
            if (!statement) return SQL_INVALID_HANDLE;
            return statement->Connection().FreeStatement(statement) ? SQL_SUCCESS
                                                                    : SQL_INVALID_HANDLE;
        }
        default:
            return SQL_INVALID_HANDLE;
    }
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value,
                                SQLINTEGER) {
    return Guarded<Environment>(handle, SQL_HANDLE_ENV, [&](Environment& environment) -> SQLRETURN {
        switch (attribute) {
            case SQL_ATTR_ODBC_VERSION:
                environment.OdbcVersion = static_cast<SQLINTEGER>(NumberAttribute(value));
                return SQL_SUCCESS;
            case SQL_ATTR_OUTPUT_NTS:
                if (NumberAttribute(value) != SQL_TRUE) RefuseUnimplemented("SQL_ATTR_OUTPUT_NTS");
                return SQL_SUCCESS;
            case SQL_ATTR_CONNECTION_POOLING:
            case SQL_ATTR_CP_MATCH:
                return SQL_SUCCESS;  // the driver manager pools, if anyone
            default:
                RefuseUnimplemented("environment attribute " + std::to_string(attribute));
        }
    });
}

SQLRETURN SQL_API SQLGetEnvAttr(SQLHENV handle, SQLINTEGER attribute, SQLPOINTER value, SQLINTEGER,
                                SQLINTEGER* length) {
    return Guarded<Environment>(handle, SQL_HANDLE_ENV, [&](Environment& environment) -> SQLRETURN {
        if (length) *length = sizeof(SQLINTEGER);
        switch (attribute) {
            case SQL_ATTR_ODBC_VERSION:
                return PutNumber(environment.OdbcVersion, value);
            case SQL_ATTR_OUTPUT_NTS:
                return PutNumber(SQLINTEGER{SQL_TRUE}, value);
            case SQL_ATTR_CONNECTION_POOLING:
                return PutNumber(SQLUINTEGER{SQL_CP_OFF}, value);
            case SQL_ATTR_CP_MATCH:
                return PutNumber(SQLUINTEGER{SQL_CP_STRICT_MATCH}, value);
            default:
                RefuseUnimplemented("environment attribute " + std::to_string(attribute));
        }
    });
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
    if (type == SQL_HANDLE_ENV) {
        return Guarded<Environment>(handle, type, [&](Environment& environment) -> SQLRETURN {
            environment.EndTransactions(completion);
            return SQL_SUCCESS;
        });
    }
    return Guarded<DriverConnection>(handle, SQL_HANDLE_DBC,
                                     [&](DriverConnection& connection) -> SQLRETURN {
                                         connection.EndTransaction(completion);
                                         return SQL_SUCCESS;
                                     });
}

}  // extern "C"
