#include "database/Value.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "errors/Failure.hpp"

namespace almanoria {

namespace {

std::string FloatingText(double number) {
    // Fifteen significant digits, as the old language prints a Double.
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15G", number);
    return buffer;
}

std::string TimeText(const DateTime& date) {
    const int hour12 = date.Hour % 12 == 0 ? 12 : date.Hour % 12;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d %s", hour12, date.Minute, date.Second,
                  date.Hour < 12 ? "AM" : "PM");
    return buffer;
}

std::int32_t RoundToLong(double number) {
    if (!std::isfinite(number)) RaiseOverflow();
    const double rounded = std::nearbyint(number);  // the default rounding is half to even
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        RaiseOverflow();
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace

std::string DateText(const DateTime& date) {
    return std::to_string(date.Month) + "/" + std::to_string(date.Day) + "/" +
           std::to_string(date.Year);
}

std::string CStr(const Value& value) {
    if (value.IsNull()) RaiseInvalidUseOfNull();
    if (value.IsYesNo()) return value.AsYesNo() ? "True" : "False";
    if (value.IsWhole()) return std::to_string(value.AsWhole());
    if (value.IsFloating()) return FloatingText(value.AsFloating());
    if (value.IsDate()) {
        const DateTime& date = value.AsDate();
        const bool isTimeOnly = date.Year == 1899 && date.Month == 12 && date.Day == 30;
        if (isTimeOnly && date.HasTime()) return TimeText(date);
        return date.HasTime() ? DateText(date) + " " + TimeText(date) : DateText(date);
    }
    return value.AsText();
}

std::string AppendEmpty(const Value& value) {
    return value.IsNull() ? std::string() : CStr(value);
}

std::int32_t CLng(const Value& value) {
    if (value.IsNull()) RaiseInvalidUseOfNull();
    if (value.IsYesNo()) return value.AsYesNo() ? -1 : 0;
    if (value.IsWhole()) {
        const std::int64_t whole = value.AsWhole();
        if (whole < std::numeric_limits<std::int32_t>::min() ||
            whole > std::numeric_limits<std::int32_t>::max()) {
            RaiseOverflow();
        }
        return static_cast<std::int32_t>(whole);
    }
    if (value.IsFloating()) return RoundToLong(value.AsFloating());
    if (value.IsText()) {
        std::string_view text = value.AsText();
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        if (!text.empty() && text.front() == '+') text.remove_prefix(1);
        double number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        if (text.empty() || error == std::errc::invalid_argument ||
            end != text.data() + text.size()) {
            RaiseTypeMismatch();
        }
        if (error == std::errc::result_out_of_range) RaiseOverflow();
        return RoundToLong(number);
    }
    RaiseTypeMismatch();
}

}  // namespace almanoria
