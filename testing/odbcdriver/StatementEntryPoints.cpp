// The test driver's entry points on a statement handle: running a statement, the columns of a
// table, and reading a result; wide where text passes, so that it arrives whole.

#include "testing/odbcdriver/EntryPoints.hpp"

using namespace almanoria::odbcdriver;
using namespace almanoria::odbcdriver::entry;
namespace odbc = almanoria::odbc;

extern "C" {

SQLRETURN SQL_API SQLExecDirectW(SQLHSTMT handle, SQLWCHAR* text, SQLINTEGER length) {
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [&](DriverStatement& statement) -> SQLRETURN {
                                        if (!text) Refuse("HY009", "Invalid use of null pointer");
                                        return statement.ExecDirect(Utf8Of(text, length));
                                    });
}

SQLRETURN SQL_API SQLColumnsW(SQLHSTMT handle, SQLWCHAR*, SQLSMALLINT, SQLWCHAR*, SQLSMALLINT,
                              SQLWCHAR* table, SQLSMALLINT tableLength, SQLWCHAR* column,
                              SQLSMALLINT columnLength) {
    return Guarded<DriverStatement>(handle, SQL_HANDLE_STMT,
                                    [&](DriverStatement& statement) -> SQLRETURN {
                                        // A pattern left out is no pattern; "" is one that only ""
                                        // matches.
                                        std::optional<std::string> tables;
                                        std::optional<std::string> columns;
                                        if (table) tables = Utf8Of(table, tableLength);
                                        if (column) columns = Utf8Of(column, columnLength);
                                        statement.Columns(tables, columns);
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
                    return PutBytesText(statement, column.Table, text, capacity, length);
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
                case SQL_ATTR_QUERY_TIMEOUT:
                case SQL_ATTR_MAX_ROWS:
                case SQL_ATTR_MAX_LENGTH:
                case SQL_ATTR_METADATA_ID:
                    // Rows are read forward, only read and whole, with no time limit; catalog
                    // arguments are patterns.
                    if (number != 0 &&
                        !(attribute == SQL_ATTR_CONCURRENCY && number == SQL_CONCUR_READ_ONLY)) {
                        statement.Diag.Add({"01S02", 0, "Option value changed"});
                    }
                    return SQL_SUCCESS;
                case SQL_ATTR_NOSCAN:
                case SQL_ATTR_RETRIEVE_DATA:
                    return SQL_SUCCESS;  // taken without a warning, whatever the value
                case SQL_ATTR_ROW_ARRAY_SIZE:
                case SQL_ROWSET_SIZE:
                    if (number != 1) RefuseUnimplemented("more than one row per fetch");
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

}  // extern "C"
