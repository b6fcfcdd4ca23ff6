// The test driver's diagnostics, as SQLGetDiagRecW and SQLGetDiagFieldW hand them out.

#include "testing/odbcdriver/EntryPoints.hpp"

using namespace almanoria::odbcdriver;
using namespace almanoria::odbcdriver::entry;
namespace odbc = almanoria::odbc;

extern "C" {

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
                return PutNumber(object->LastReturn, value);
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
