#pragma once

// Every failure number the program raises itself, named once.

#include <cstdint>
#include <limits>

namespace almanoria {

namespace ErrorNumber {
// The old language's own run-time errors.
// An argument the program cannot take: a year outside the years it writes.
inline constexpr std::int32_t InvalidProcedureCall = 5;
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t DivisionByZero = 11;
inline constexpr std::int32_t TypeMismatch = 13;
// A library the program loads at run time: missing or refused, or without a function it needs.
inline constexpr std::int32_t ErrorInLoadingDll = 48;
// A fault of the program itself, not of the data: any exception that is no Failure.
inline constexpr std::int32_t InternalError = 51;
inline constexpr std::int32_t ObjectNotSet = 91;
inline constexpr std::int32_t InvalidUseOfNull = 94;
inline constexpr std::int32_t DllEntryPointNotFound = 453;

// The data objects' own, numbered as they number them.
inline constexpr std::int32_t ArgumentsInConflict = 3001;
inline constexpr std::int32_t NoCurrentRecord = 3021;
inline constexpr std::int32_t ItemNotFound = 3265;
inline constexpr std::int32_t ObjectClosed = 3704;
inline constexpr std::int32_t ObjectOpen = 3705;
inline constexpr std::int32_t ConnectionUnusable = 3709;

// Failures of components start here; a component adds its own code to it.
inline constexpr std::int32_t ObjectError = -2147221504;
}  // namespace ErrorNumber

// ObjectError plus a component's code (an SQLite result code, an ODBC native error, a common
// dialog error). A sum that a Long cannot hold is ObjectError itself: the failure still reads
// as a component's, only without its code.
constexpr std::int32_t ObjectErrorNumber(std::int64_t code) noexcept {
    constexpr std::int64_t kBase = ErrorNumber::ObjectError;
    if (code < std::numeric_limits<std::int32_t>::min() - kBase ||
        code > std::numeric_limits<std::int32_t>::max() - kBase) {
        return ErrorNumber::ObjectError;
    }
    return static_cast<std::int32_t>(kBase + code);
}

}  // namespace almanoria
