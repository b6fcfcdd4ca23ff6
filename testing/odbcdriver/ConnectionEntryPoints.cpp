// The test driver's entry points on a connection handle: connecting by the program's
// connection string, its attributes and what it tells of itself.

#include "testing/odbcdriver/EntryPoints.hpp"

using namespace almanoria::odbcdriver;
using namespace almanoria::odbcdriver::entry;
namespace odbc = almanoria::odbc;

namespace {

// Connection attributes are numbers only, so the plain and the wide call are one.
SQLRETURN SetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value) {
    return Guarded<DriverConnection>(
        handle, SQL_HANDLE_DBC, [&](DriverConnection& connection) -> SQLRETURN {
            switch (attribute) {
                case SQL_ATTR_AUTOCOMMIT:
                    switch (NumberAttribute(value)) {
                        case SQL_AUTOCOMMIT_ON:
                            connection.SetAutocommit(true);
                            return SQL_SUCCESS;
                        case SQL_AUTOCOMMIT_OFF:
                            connection.SetAutocommit(false);
                            return SQL_SUCCESS;
                        default:
                            Refuse("HY024", "Invalid attribute value");
                    }
                case SQL_ATTR_TXN_ISOLATION:
                    // The Access driver's isolation is always read committed.
                    if (NumberAttribute(value) != SQL_TXN_READ_COMMITTED) {
                        RefuseUnimplemented("transaction isolation " +
                                            std::to_string(NumberAttribute(value)));
                    }
                    return SQL_SUCCESS;
                case SQL_ATTR_ANSI_APP:
                case SQL_ATTR_LOGIN_TIMEOUT:
                case SQL_ATTR_CONNECTION_TIMEOUT:
                case SQL_ATTR_ACCESS_MODE:
                case SQL_ATTR_QUIET_MODE:
                    return SQL_SUCCESS;
                default:
                    RefuseUnimplemented("connection attribute " + std::to_string(attribute));
            }
        });
}

}  // namespace

extern "C" {

SQLRETURN SQL_API SQLDriverConnectW(SQLHDBC handle, SQLHWND, SQLWCHAR* in, SQLSMALLINT inLength,
                                    SQLWCHAR* out, SQLSMALLINT outCapacity, SQLSMALLINT* outLength,
                                    SQLUSMALLINT) {
    return Guarded<DriverConnection>(
        handle, SQL_HANDLE_DBC, [&](DriverConnection& connection) -> SQLRETURN {
            // No dialog to prompt with: what the string names is what is opened.
            const std::string text = Utf8Of(in, inLength);
            connection.Connect(text);
            const bool whole = PutText(text, out, outCapacity, outLength);
            return whole ? SQL_SUCCESS : Truncated(connection);
        });
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC handle) {
    return Guarded<DriverConnection>(handle, SQL_HANDLE_DBC,
                                     [](DriverConnection& connection) -> SQLRETURN {
                                         connection.Disconnect();
                                         return SQL_SUCCESS;
                                     });
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER) {
    return SetConnectAttr(handle, attribute, value);
}

SQLRETURN SQL_API SQLSetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value,
                                     SQLINTEGER) {
    return SetConnectAttr(handle, attribute, value);
}

SQLRETURN SQL_API SQLGetConnectAttrW(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value,
                                     SQLINTEGER, SQLINTEGER* length) {
    return Guarded<DriverConnection>(
        handle, SQL_HANDLE_DBC, [&](DriverConnection& connection) -> SQLRETURN {
            if (length) *length = sizeof(SQLUINTEGER);
            switch (attribute) {
                case SQL_ATTR_AUTOCOMMIT:
                    return PutNumber(
                        static_cast<SQLUINTEGER>(connection.Autocommit() ? SQL_AUTOCOMMIT_ON
                                                                         : SQL_AUTOCOMMIT_OFF),
                        value);
                case SQL_ATTR_TXN_ISOLATION:
                    return PutNumber(SQLUINTEGER{SQL_TXN_READ_COMMITTED}, value);
                case SQL_ATTR_CONNECTION_DEAD:
                    return PutNumber(static_cast<SQLUINTEGER>(
                                         connection.IsConnected() ? SQL_CD_FALSE : SQL_CD_TRUE),
                                     value);
                case SQL_ATTR_ACCESS_MODE:
                    return PutNumber(SQLUINTEGER{SQL_MODE_READ_WRITE}, value);
                case SQL_ATTR_LOGIN_TIMEOUT:
                case SQL_ATTR_CONNECTION_TIMEOUT:
                    return PutNumber(SQLUINTEGER{0}, value);
                default:
                    RefuseUnimplemented("connection attribute " + std::to_string(attribute));
            }
        });
}

SQLRETURN SQL_API SQLGetInfoW(SQLHDBC handle, SQLUSMALLINT info, SQLPOINTER value,
                              SQLSMALLINT capacity, SQLSMALLINT* length) {
    return Guarded<DriverConnection>(
        handle, SQL_HANDLE_DBC, [&](DriverConnection& connection) -> SQLRETURN {
            const auto text = [&](const std::string& answer) {
                return PutBytesText(connection, answer, value, capacity, length);
            };
            const auto small = [&](SQLUSMALLINT answer) {
                if (length) *length = sizeof answer;
                return PutNumber(answer, value);
            };
            const auto whole = [&](SQLUINTEGER answer) {
                if (length) *length = sizeof answer;
                return PutNumber(answer, value);
            };
            switch (info) {
                case SQL_DRIVER_ODBC_VER:
                    return text("03.00");
                case SQL_DRIVER_NAME:
                    return text("libalmanoria_access_odbc.so");
                case SQL_DRIVER_VER:
                    return text("01.00.0000");
                case SQL_DBMS_NAME:
                    return text("ACCESS");
                case SQL_DBMS_VER:
                    return text("04.00.0000");
                case SQL_SERVER_NAME:
                    return text("ACCESS");
                case SQL_DATA_SOURCE_NAME:
                case SQL_USER_NAME:
                    return text("");
                case SQL_IDENTIFIER_QUOTE_CHAR:
                    return text("`");
                case SQL_SEARCH_PATTERN_ESCAPE:
                    return text("\\");
                case SQL_DATA_SOURCE_READ_ONLY:
                    return text("N");
                case SQL_TXN_CAPABLE:
                    return small(SQL_TC_ALL);
                case SQL_DEFAULT_TXN_ISOLATION:
                case SQL_TXN_ISOLATION_OPTION:
                    return whole(SQL_TXN_READ_COMMITTED);
                case SQL_CURSOR_COMMIT_BEHAVIOR:
                case SQL_CURSOR_ROLLBACK_BEHAVIOR:
                    return small(SQL_CB_PRESERVE);
                case SQL_MAX_CONCURRENT_ACTIVITIES:
                case SQL_MAX_DRIVER_CONNECTIONS:
                    return small(0);
                case SQL_GETDATA_EXTENSIONS:
                    return whole(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER);
                case SQL_SCROLL_OPTIONS:
                    return whole(SQL_SO_FORWARD_ONLY);
                default:
                    RefuseUnimplemented("information type " + std::to_string(info));
            }
        });
}

}  // extern "C"
