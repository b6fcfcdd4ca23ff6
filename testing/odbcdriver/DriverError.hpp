#pragma once

// What the driver reports through SQLGetDiagRec and SQLGetDiagField: an SQLSTATE, a native
// error and the message, as the Access driver reports its failures.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace almanoria::odbcdriver {

struct DiagnosticRecord {
    std::string State;  // five characters, "42S02"
    std::int32_t Native = 0;
    std::string Message;
};

// Thrown inside the driver and turned into a record by the entry point that caught it. A
// std::exception, so that code that knows only those still reports the driver's message.
class DriverError : public std::runtime_error {
  public:
    explicit DriverError(DiagnosticRecord record)
        : std::runtime_error(record.Message), Record(std::move(record)) {}

    DiagnosticRecord Record;
};

[[noreturn]] inline void Refuse(std::string state, std::string message, std::int32_t native = 0) {
    throw DriverError({std::move(state), native, std::move(message)});
}

// A feature the calendar's program never uses: "Optional feature not implemented".
[[noreturn]] inline void RefuseUnimplemented(const std::string& what) {
    Refuse("HYC00", "Optional feature not implemented: " + what);
}

// The records of one handle, kept until the next call on the handle: the driver manager may
// read a record twice.
struct Diagnostics {
    std::vector<DiagnosticRecord> Records;
    void Clear() { Records.clear(); }
    void Add(DiagnosticRecord record) { Records.push_back(std::move(record)); }
};

}  // namespace almanoria::odbcdriver
