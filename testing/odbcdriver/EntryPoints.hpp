#pragma once

// What every entry point of the test driver shares: the handle checks, the guard that turns
// every failure into a diagnostic record, and the ways answers go into the program's buffers.
// Only the entry points' sources include this header.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>

#include "database/odbc/OdbcText.hpp"
#include "errors/Failure.hpp"
#include "testing/odbcdriver/DriverObjects.hpp"

namespace almanoria::odbcdriver::entry {

template <typename Object>
Object* Cast(SQLHANDLE handle, SQLSMALLINT type) {
    auto* handled = static_cast<Handled*>(handle);
    if (!handled || handled->Tag != Handled::kTag || handled->Type != type) return nullptr;
    return static_cast<Object*>(handled);
}

inline SQLHANDLE HandleOf(Handled& object) {
    return static_cast<Handled*>(&object);
}

// The record of the exception being handled.
inline DiagnosticRecord RecordOfCurrentException() {
    try {
        throw;
    } catch (const DriverError& error) {
        return error.Record;
    } catch (const Failure& failure) {
        return RecordOfFailure(failure.Number(), failure.Description());
    } catch (const std::bad_alloc&) {
        return {"HY001", 0, "Memory allocation error"};
    } catch (const std::exception& error) {
        return {"HY000", 0, error.what()};
    } catch (...) {
        return {"HY000", 0, "General error"};
    }
}

// Runs one call on a handle: its diagnostics start empty, and whatever goes wrong becomes a
// record and SQL_ERROR, never an exception across the C boundary.
template <typename Object, typename Action>
SQLRETURN Guarded(SQLHANDLE handle, SQLSMALLINT type, Action action) {
    Object* object = Cast<Object>(handle, type);
    if (!object) return SQL_INVALID_HANDLE;
    object->Diag.Clear();
    try {
        SQLRETURN result = action(*object);
        if (result == SQL_SUCCESS && !object->Diag.Records.empty()) result = SQL_SUCCESS_WITH_INFO;
        object->LastReturn = result;
        return result;
    } catch (...) {
        try {
            object->Diag.Add(RecordOfCurrentException());
        } catch (...) {
            // No memory left even for the record: SQL_ERROR alone says it.
        }
    }
    object->LastReturn = SQL_ERROR;
    return SQL_ERROR;
}

inline std::string Utf8Of(const SQLWCHAR* text, SQLLEN length) {
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

inline SQLRETURN Truncated(Handled& object) {
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

inline SQLULEN NumberAttribute(SQLPOINTER value) {
    return static_cast<SQLULEN>(reinterpret_cast<std::uintptr_t>(value));
}

inline Handled* HandleOfType(SQLSMALLINT type, SQLHANDLE handle) {
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

}  // namespace almanoria::odbcdriver::entry
