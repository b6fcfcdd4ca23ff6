// The ODBC entry points of the test driver that stands in for the "Microsoft Access Driver
// (*.mdb)": the plain functions the driver manager looks up, and the wide ones, so that text
// arrives whole. Whatever is not exported here the driver manager refuses itself (IM001).

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "database/odbc/OdbcText.hpp"
#include "errors/Failure.hpp"
#include "tools/odbcdriver/DriverObjects.hpp"

using almanoria::Failure;
using namespace almanoria::odbcdriver;
namespace odbc = almanoria::odbc;

namespace {

template <typename Object>
Object* Cast(SQLHANDLE handle, SQLSMALLINT type) {
    auto* handled = static_cast<Handled*>(handle);
    if (!handled || handled->Tag != Handled::kTag || handled->Type != type) return nullptr;
    return static_cast<Object*>(handled);
}

SQLHANDLE HandleOf(Handled& object) {
    return static_cast<Handled*>(&object);
}

// Runs one call on a handle: its diagnostics start empty, and whatever goes wrong becomes a
// record and SQL_ERROR, never an exception across the C boundary.
template <typename Object, typename Action>
SQLRETURN Guarded(SQLHANDLE handle, SQLSMALLINT type, Action action) {
    Object* object = Cast<Object>(handle, type);
    if (!object) return SQL_INVALID_HANDLE;
    object->Diag.Clear();
    try {
        const SQLRETURN result = action(*object);
        if (result == SQL_SUCCESS && !object->Diag.Records.empty()) return SQL_SUCCESS_WITH_INFO;
        return result;
    } catch (const DriverError& error) {
        object->Diag.Add(error.Record);
    } catch (const Failure& failure) {
        object->Diag.Add(RecordOfFailure(failure.Number(), failure.Description()));
    } catch (const std::bad_alloc&) {
        object->Diag.Add({"HY001", 0, "Memory allocation error"});
    } catch (const std::exception& error) {
        object->Diag.Add({"HY000", 0, error.what()});
    } catch (...) {
        object->Diag.Add({"HY000", 0, "General error"});
    }
    return SQL_ERROR;
}

std::string Utf8Of(const SQLWCHAR* text, SQLLEN length) {
    if (!text) return {};
    if (length == SQL_NTS) {
        length = 0;
        while (text[length] != 0)
            ++length;
    }
    if (length < 0) Refuse("HY090", "Invalid string or buffer length");
    return odbc::ToUtf8(text, static_cast<std::size_t>(length));
}

// Text into a buffer of capacity characters, zero-terminated; the whole length, in units of
// unitBytes, goes to length. True when all of it fitted, or only the length was asked for.
template <typename Length>
bool PutText(const std::string& utf8, SQLWCHAR* out, SQLLEN capacity, Length* length,
             std::size_t unitBytes = 1) {
    odbc::WideText wide(utf8);
    if (length) *length = static_cast<Length>(wide.Size() * unitBytes);
    if (!out) return true;
    if (capacity <= 0) return false;
    const std::size_t count = std::min(wide.Size(), static_cast<std::size_t>(capacity) - 1);
    std::copy_n(wide.Data(), count, out);
    out[count] = 0;
    return count == wide.Size();
}

SQLRETURN Truncated(Handled& object) {
    object.Diag.Add({"01004", 0, "String data, right truncated"});
    return SQL_SUCCESS_WITH_INFO;
}

// A text answer of a W call whose buffer length counts bytes.
template <typename Length>
SQLRETURN PutBytesText(Handled& object, const std::string& utf8, SQLPOINTER out, SQLLEN bytes,
                       Length* length) {
    const bool whole =
        PutText(utf8, static_cast<SQLWCHAR*>(out), bytes / static_cast<SQLLEN>(sizeof(SQLWCHAR)),
                length, sizeof(SQLWCHAR));
    return whole ? SQL_SUCCESS : Truncated(object);
}

template <typename Number>
SQLRETURN PutNumber(Number value, SQLPOINTER out) {
    if (out) std::memcpy(out, &value, sizeof value);
    return SQL_SUCCESS;
}

SQLULEN NumberAttribute(SQLPOINTER value) {
    return static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
}

Handled* HandleOfType(SQLSMALLINT type, SQLHANDLE handle) {
    switch (type) {
        case SQL_HANDLE_ENV:
            return Cast<Environment>(handle, type);
        case SQL_HANDLE_DBC:
            return Cast<DriverConnection>(handle, type);
        case SQL_HANDLE_STMT:
            return Cast<DriverStatement>(handle, type);
        default:
            return nullptr;
    }
}

// Connection attributes are numbers only, so the plain and the wide call are one.
SQLRETURN SetConnectAttr(SQLHDBC handle, SQLINTEGER attribute, SQLPOINTER value) {
    return Guarded<DriverConnection>(handle, SQL_HANDLE_DBC, [&](DriverConnection&) -> SQLRETURN {
        switch (attribute) {
            case SQL_ATTR_AUTOCOMMIT:
                // Each statement takes effect on its own; the program uses no transactions.
                if (NumberAttribute(value) != SQL_AUTOCOMMIT_ON) {
                    RefuseUnimplemented("transactions (SQL_ATTR_AUTOCOMMIT off)");
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

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    if (!output) return SQL_ERROR;
    switch (type) {
        case SQL_HANDLE_ENV:
            // The driver manager owns the environment from here and frees it with
            // SQLFreeHandle; connections and statements belong to their parents.
            try {
                *output = HandleOf(*new Environment);
                return SQL_SUCCESS;
            } catch (const std::bad_alloc&) {
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
            if (Handled* parent = HandleOfType(SQL_HANDLE_DBC, input)) {
                parent->Diag.Clear();
                parent->Diag.Add({"HYC00", 0, "Optional feature not implemented: descriptors"});
                return SQL_ERROR;
            }
            return SQL_INVALID_HANDLE;
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
                    return PutNumber(SQLUINTEGER{SQL_AUTOCOMMIT_ON}, value);
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
                    return small(SQL_TC_NONE);
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

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT) {
    // Every statement has already taken effect: there is nothing to commit or roll back.
    if (type == SQL_HANDLE_ENV) {
        return Guarded<Environment>(handle, type,
                                    [](Environment&) -> SQLRETURN { return SQL_SUCCESS; });
    }
    return Guarded<DriverConnection>(handle, SQL_HANDLE_DBC,
                                     [](DriverConnection&) -> SQLRETURN { return SQL_SUCCESS; });
}

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER length) {
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [&](DriverStatement& statement) -> SQLRETURN {
                                        if (!text) Refuse("HY009", "Invalid use of null pointer");
                                        statement.ExecDirect(Utf8Of(text, length));
                                        return SQL_SUCCESS;
                                    });
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT handle, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                              SQLWCHAR* table, SQLSMALLINT tableLength, SQLWCHAR* column,
                              SQLSMALLINT columnLength) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            statement.Columns(Utf8Of(table, tableLength), Utf8Of(column, columnLength));
            return SQL_SUCCESS;
        });
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT handle, SQLSMALLINT* count) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            const ResultSet* result = statement.Result();
            if (count) *count = result ? static_cast<SQLSMALLINT>(result->Columns().size()) : 0;
            return SQL_SUCCESS;
        });
}

SQLRETURN SQL_API SQLDescribeColW(SQLHSTMT handle, SQLUSMALLINT number, SQLWCHAR* name,
                                  SQLSMALLINT capacity, SQLSMALLINT* nameLength, SQLSMALLINT* type,
                                  SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            const ColumnDescription& column = statement.OpenResult().Column(number);
            if (type) *type = column.Type;
            if (size) *size = column.Size;
            if (digits) *digits = column.Digits;
            if (nullable) *nullable = column.Nullable;
            const bool whole = PutText(column.Name, name, capacity, nameLength);
            return whole ? SQL_SUCCESS : Truncated(statement);
        });
}

SQLRETURN SQL_API SQLColAttributeW(SQLHSTMT handle, SQLUSMALLINT number, SQLUSMALLINT field,
                                   SQLPOINTER text, SQLSMALLINT capacity, SQLSMALLINT* length,
                                   SQLLEN* numeric) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            ResultSet& result = statement.OpenResult();
            const auto put = [&](SQLLEN answer) -> SQLRETURN {
                if (numeric) *numeric = answer;
                return SQL_SUCCESS;
            };
            if (field == SQL_DESC_COUNT) return put(static_cast<SQLLEN>(result.Columns().size()));
            const ColumnDescription& column = result.Column(number);
            switch (field) {
                case SQL_DESC_NAME:
                case SQL_DESC_LABEL:
                case SQL_DESC_BASE_COLUMN_NAME:
                    return PutBytesText(statement, column.Name, text, capacity, length);
                case SQL_DESC_TYPE_NAME:
                    return PutBytesText(statement, column.TypeName, text, capacity, length);
                case SQL_DESC_TABLE_NAME:
                case SQL_DESC_BASE_TABLE_NAME:
                case SQL_DESC_CATALOG_NAME:
                case SQL_DESC_SCHEMA_NAME:
                    return PutBytesText(statement, "", text, capacity, length);
                case SQL_DESC_TYPE:
                    return put(column.Type == SQL_TYPE_TIMESTAMP ? SQL_DATETIME : column.Type);
                case SQL_DESC_CONCISE_TYPE:
                    return put(column.Type);
                case SQL_DESC_LENGTH:
                case SQL_DESC_DISPLAY_SIZE:
                case SQL_DESC_PRECISION:
                    return put(static_cast<SQLLEN>(column.Size));
                case SQL_DESC_OCTET_LENGTH:
                    return put(static_cast<SQLLEN>(column.Type == SQL_WVARCHAR ? column.Size * 2
                                                                               : column.Size));
                case SQL_DESC_SCALE:
                    return put(column.Digits);
                case SQL_DESC_NULLABLE:
                    return put(column.Nullable);
                case SQL_DESC_UNSIGNED:
                    return put(column.Type == SQL_WVARCHAR || column.Type == SQL_TYPE_TIMESTAMP
                                   ? SQL_TRUE
                                   : SQL_FALSE);
                case SQL_DESC_UPDATABLE:
                    return put(SQL_ATTR_READONLY);
                case SQL_DESC_AUTO_UNIQUE_VALUE:
                case SQL_DESC_CASE_SENSITIVE:
                case SQL_DESC_FIXED_PREC_SCALE:
                    return put(SQL_FALSE);
                case SQL_DESC_SEARCHABLE:
                    return put(SQL_PRED_SEARCHABLE);
                default:
                    RefuseUnimplemented("column attribute " + std::to_string(field));
            }
        });
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT handle) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [](DriverStatement& statement) -> SQLRETURN {
            return statement.OpenResult().Fetch() ? SQL_SUCCESS : SQL_NO_DATA;
        });
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT handle, SQLUSMALLINT column, SQLSMALLINT type,
                             SQLPOINTER value, SQLLEN capacity, SQLLEN* indicator) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            return statement.OpenResult().GetData(column, type, value, capacity, indicator,
                                                  statement.Diag);
        });
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT handle, SQLLEN* count) {
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [&](DriverStatement& statement) -> SQLRETURN {
                                        if (count) *count = statement.RowCount();
                                        return SQL_SUCCESS;
                                    });
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT handle) {
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [](DriverStatement&) -> SQLRETURN { return SQL_NO_DATA; });
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT handle) {
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [](DriverStatement& statement) -> SQLRETURN {
                                        statement.OpenResult();
                                        statement.CloseCursor();
                                        return SQL_SUCCESS;
                                    });
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT handle, SQLUSMALLINT option) {
    if (option == SQL_DROP) return SQLFreeHandle(SQL_HANDLE_STMT, handle);
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            switch (option) {
                case SQL_CLOSE:
                    statement.CloseCursor();
                    return SQL_SUCCESS;
                case SQL_UNBIND:
                case SQL_RESET_PARAMS:
                    return SQL_SUCCESS;  // nothing is ever bound
                default:
                    Refuse("HY092", "Invalid attribute/option identifier");
            }
        });
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT handle) {
    // Each call runs to its end before it returns: there is never anything to cancel.
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [](DriverStatement&) -> SQLRETURN { return SQL_SUCCESS; });
}

SQLRETURN SQL_API SQLSetStmtAttrW(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value,
                                  SQLINTEGER) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            const SQLULEN number = NumberAttribute(value);
            switch (attribute) {
                case SQL_ATTR_CURSOR_TYPE:
                case SQL_ATTR_CONCURRENCY:
                case SQL_ATTR_CURSOR_SCROLLABLE:
                case SQL_ATTR_CURSOR_SENSITIVITY:
                    // Rows are read forward and only read.
                    if (number != 0 &&
                        !(attribute == SQL_ATTR_CONCURRENCY && number == SQL_CONCUR_READ_ONLY)) {
                        statement.Diag.Add({"01S02", 0, "Option value changed"});
                    }
                    return SQL_SUCCESS;
                case SQL_ATTR_ROW_ARRAY_SIZE:
                case SQL_ROWSET_SIZE:
                    if (number != 1) RefuseUnimplemented("more than one row per fetch");
                    return SQL_SUCCESS;
                case SQL_ATTR_QUERY_TIMEOUT:
                case SQL_ATTR_MAX_ROWS:
                case SQL_ATTR_MAX_LENGTH:
                case SQL_ATTR_NOSCAN:
                case SQL_ATTR_RETRIEVE_DATA:
                case SQL_ATTR_METADATA_ID:
                    if (number != 0 && attribute != SQL_ATTR_RETRIEVE_DATA &&
                        attribute != SQL_ATTR_NOSCAN) {
                        statement.Diag.Add({"01S02", 0, "Option value changed"});
                    }
                    return SQL_SUCCESS;
                default:
                    RefuseUnimplemented("statement attribute " + std::to_string(attribute));
            }
        });
}

SQLRETURN SQL_API SQLGetStmtAttrW(SQLHSTMT handle, SQLINTEGER attribute, SQLPOINTER value,
                                  SQLINTEGER, SQLINTEGER* length) {
    return Guarded<DriverStatement>(
        handle, SQL_HANDLE_STMT, [&](DriverStatement& statement) -> SQLRETURN {
            if (length) *length = sizeof(SQLULEN);
            switch (attribute) {
                case SQL_ATTR_APP_ROW_DESC:
                case SQL_ATTR_APP_PARAM_DESC:
                case SQL_ATTR_IMP_ROW_DESC:
                case SQL_ATTR_IMP_PARAM_DESC:
                    if (length) *length = sizeof(SQLPOINTER);
                    return PutNumber(statement.Descriptor(attribute - SQL_ATTR_APP_ROW_DESC),
                                     value);
                case SQL_ATTR_CURSOR_TYPE:
                    return PutNumber(SQLULEN{SQL_CURSOR_FORWARD_ONLY}, value);
                case SQL_ATTR_CONCURRENCY:
                    return PutNumber(SQLULEN{SQL_CONCUR_READ_ONLY}, value);
                case SQL_ATTR_CURSOR_SCROLLABLE:
                    return PutNumber(SQLULEN{SQL_NONSCROLLABLE}, value);
                case SQL_ATTR_CURSOR_SENSITIVITY:
                    return PutNumber(SQLULEN{SQL_UNSPECIFIED}, value);
                case SQL_ATTR_ROW_ARRAY_SIZE:
                case SQL_ROWSET_SIZE:
                    return PutNumber(SQLULEN{1}, value);
                case SQL_ATTR_QUERY_TIMEOUT:
                case SQL_ATTR_MAX_ROWS:
                case SQL_ATTR_MAX_LENGTH:
                case SQL_ATTR_NOSCAN:
                case SQL_ATTR_METADATA_ID:
                    return PutNumber(SQLULEN{0}, value);
                case SQL_ATTR_RETRIEVE_DATA:
                    return PutNumber(SQLULEN{SQL_RD_ON}, value);
                default:
                    RefuseUnimplemented("statement attribute " + std::to_string(attribute));
            }
        });
}

SQLRETURN SQL_API SQLGetDiagRecW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number,
                                 SQLWCHAR* state, SQLINTEGER* native, SQLWCHAR* message,
                                 SQLSMALLINT capacity, SQLSMALLINT* length) {
    // Reading a record leaves it there: the driver manager may read it twice.
    Handled* object = HandleOfType(type, handle);
    if (!object) return SQL_INVALID_HANDLE;
    if (number < 1 || capacity < 0) return SQL_ERROR;
    if (static_cast<std::size_t>(number) > object->Diag.Records.size()) return SQL_NO_DATA;
    const DiagnosticRecord& record = object->Diag.Records[static_cast<std::size_t>(number) - 1];
    try {
        PutText(record.State, state, 6, static_cast<SQLSMALLINT*>(nullptr));
        if (native) *native = record.Native;
        const bool whole = PutText(record.Message, message, capacity, length);
        return whole ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
    } catch (...) {
        return SQL_ERROR;
    }
}

SQLRETURN SQL_API SQLGetDiagFieldW(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT number,
                                   SQLSMALLINT field, SQLPOINTER value, SQLSMALLINT capacity,
                                   SQLSMALLINT* length) {
    Handled* object = HandleOfType(type, handle);
    if (!object) return SQL_INVALID_HANDLE;
    const auto& records = object->Diag.Records;
    try {
        const auto text = [&](const std::string& answer) {
            const bool whole = PutText(answer, static_cast<SQLWCHAR*>(value),
                                       capacity / static_cast<SQLSMALLINT>(sizeof(SQLWCHAR)),
                                       length, sizeof(SQLWCHAR));
            return whole ? SQL_SUCCESS : SQL_SUCCESS_WITH_INFO;
        };
        // The header's fields, then the records'.
        switch (field) {
            case SQL_DIAG_NUMBER:
                return PutNumber(static_cast<SQLINTEGER>(records.size()), value);
            case SQL_DIAG_RETURNCODE:
                return PutNumber(static_cast<SQLRETURN>(records.empty() ? SQL_SUCCESS : SQL_ERROR),
                                 value);
            case SQL_DIAG_ROW_COUNT:
            case SQL_DIAG_CURSOR_ROW_COUNT:
                return PutNumber(SQLLEN{-1}, value);
            case SQL_DIAG_DYNAMIC_FUNCTION:
                return text("");
            case SQL_DIAG_DYNAMIC_FUNCTION_CODE:
                return PutNumber(SQLINTEGER{SQL_DIAG_UNKNOWN_STATEMENT}, value);
            default:
                break;
        }
        if (number < 1) return SQL_ERROR;
        if (static_cast<std::size_t>(number) > records.size()) return SQL_NO_DATA;
        const DiagnosticRecord& record = records[static_cast<std::size_t>(number) - 1];
        switch (field) {
            case SQL_DIAG_SQLSTATE:
                return text(record.State);
            case SQL_DIAG_NATIVE:
                return PutNumber(record.Native, value);
            case SQL_DIAG_MESSAGE_TEXT:
                return text(record.Message);
            case SQL_DIAG_CLASS_ORIGIN:
            case SQL_DIAG_SUBCLASS_ORIGIN:
                return text(record.State.compare(0, 2, "IM") == 0 ? "ODBC 3.0" : "ISO 9075");
            case SQL_DIAG_CONNECTION_NAME:
            case SQL_DIAG_SERVER_NAME:
                return text("");
            case SQL_DIAG_COLUMN_NUMBER:
                return PutNumber(SQLINTEGER{SQL_COLUMN_NUMBER_UNKNOWN}, value);
            case SQL_DIAG_ROW_NUMBER:
                return PutNumber(SQLLEN{SQL_ROW_NUMBER_UNKNOWN}, value);
            default:
                return SQL_ERROR;
        }
    } catch (...) {
        return SQL_ERROR;
    }
}

}  // extern "C"
