#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace almanoria {

// A Date/Time value as the calendar database holds it; no time zone.
struct DateTime {
    int Year = 1899;
    int Month = 12;
    int Day = 30;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;

    bool HasTime() const { return Hour != 0 || Minute != 0 || Second != 0; }
    friend bool operator==(const DateTime&, const DateTime&) = default;
};

// The value of one column of one row: Null, Yes/No, a whole or floating number, text or a date.
class Value {
  public:
    struct Null {
        friend bool operator==(Null, Null) = default;
    };

    Value() = default;
    static Value YesNo(bool yes) { return Value(Storage(yes)); }
    static Value Number(std::int64_t whole) { return Value(Storage(whole)); }
    static Value Number(double floating) { return Value(Storage(floating)); }
    static Value Text(std::string text) { return Value(Storage(std::move(text))); }
    static Value Date(DateTime date) { return Value(Storage(date)); }

    bool IsNull() const { return std::holds_alternative<Null>(mStorage); }
    bool IsYesNo() const { return std::holds_alternative<bool>(mStorage); }
    bool IsWhole() const { return std::holds_alternative<std::int64_t>(mStorage); }
    bool IsFloating() const { return std::holds_alternative<double>(mStorage); }
    bool IsText() const { return std::holds_alternative<std::string>(mStorage); }
    bool IsDate() const { return std::holds_alternative<DateTime>(mStorage); }

    bool AsYesNo() const { return std::get<bool>(mStorage); }
    std::int64_t AsWhole() const { return std::get<std::int64_t>(mStorage); }
    double AsFloating() const { return std::get<double>(mStorage); }
    const std::string& AsText() const { return std::get<std::string>(mStorage); }
    const DateTime& AsDate() const { return std::get<DateTime>(mStorage); }

    friend bool operator==(const Value&, const Value&) = default;

  private:
    using Storage = std::variant<Null, bool, std::int64_t, double, std::string, DateTime>;
    explicit Value(Storage storage) : mStorage(std::move(storage)) {}
    Storage mStorage;
};

// The old language's conversions of a value, as the program's statements use them.

// value & "": Null gives "", otherwise as CStr.
std::string AppendEmpty(const Value& value);
// CStr(value): Yes/No as "True"/"False", whole numbers in plain decimal, dates m/d/yyyy
// (with h:mm:ss AM/PM when there is a time); Null is "Invalid use of Null".
std::string CStr(const Value& value);
// CLng(value): whole numbers and numeric text, floating numbers rounded half to even;
// Null is "Invalid use of Null", other text "Type mismatch", out of range "Overflow".
std::int32_t CLng(const Value& value);

// m/d/yyyy, month and day without leading zeros.
std::string DateText(const DateTime& date);

}  // namespace almanoria
