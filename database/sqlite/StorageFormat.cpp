#include "database/sqlite/StorageFormat.hpp"

#include <charconv>
#include <chrono>
#include <cmath>

#include "database/Names.hpp"
#include "database/sqlite/SqliteHandles.hpp"
#include "platform/Unicode.hpp"

namespace almanoria::sqlite {

namespace {

// What a text column keeps of a text; counted in characters, as Access counts.
std::string TextFor(std::string text, std::size_t textSize) {
    return textSize == 0 ? text : FirstCharacters(std::move(text), textSize);
}

StoredValue NumberOf(const Parameter& parameter) {
    auto number = ParseNumberText(parameter.Text);
    if (!number) RaiseDataTypeMismatch();
    return *number;
}

double AsDouble(const StoredValue& number) {
    return std::holds_alternative<std::int64_t>(number)
               ? static_cast<double>(std::get<std::int64_t>(number))
               : std::get<double>(number);
}

}  // namespace

std::optional<StoredValue> ParseNumberText(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    const char* const first = text.data();
    const char* const last = text.data() + text.size();
    const bool isWhole = text.find_first_of(".eE") == std::string_view::npos;
    if (isWhole) {
        std::int64_t whole = 0;
        const auto [end, error] = std::from_chars(first, last, whole);
        if (error == std::errc() && end == last) return StoredValue(whole);
        if (error != std::errc::result_out_of_range) return std::nullopt;
    }
    double real = 0;
    const auto [end, error] = std::from_chars(first, last, real, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(real)) return std::nullopt;
    return StoredValue(real);
}

std::optional<bool> ParseYesNoText(std::string_view text) {
    text = Trimmed(text);
    if (IsOneOf(text, {"True", "Yes", "On"})) return true;
    if (IsOneOf(text, {"False", "No", "Off"})) return false;
    const auto number = ParseNumberText(text);
    if (!number) return std::nullopt;
    return AsDouble(*number) != 0.0;
}

std::optional<DateTime> DateFromSerial(double days) {
    // Access's dates run from the year 100 to 9999.
    if (!std::isfinite(days) || days < -657434.0 || days >= 2958466.0) return std::nullopt;
    // Before 12/30/1899 the fraction still counts forward from midnight, as in Access.
    const double wholeDays = std::trunc(days);
    const auto seconds =
        static_cast<std::int64_t>(std::llround(std::fabs(days - wholeDays) * 86400.0));
    const std::chrono::sys_days zeroDay =
        std::chrono::year(1899) / std::chrono::December / std::chrono::day(30);
    const std::chrono::year_month_day civil(
        zeroDay + std::chrono::days(static_cast<std::int64_t>(wholeDays) + seconds / 86400));
    DateTime date{static_cast<int>(civil.year()),
                  static_cast<int>(static_cast<unsigned>(civil.month())),
                  static_cast<int>(static_cast<unsigned>(civil.day()))};
    const std::int64_t secondOfDay = seconds % 86400;
    date.Hour = static_cast<int>(secondOfDay / 3600);
    date.Minute = static_cast<int>(secondOfDay / 60 % 60);
    date.Second = static_cast<int>(secondOfDay % 60);
    return date;
}

std::string FirstCharacters(std::string text, std::size_t count) {
    text.resize(FirstCodePoints(text, count).size());
    return text;
}

StoredValue StoreParameter(const Parameter& parameter, std::optional<dialect::ColumnKind> kind,
                           std::int64_t identity, dialect::DateSettings quotedDates,
                           std::size_t textSize) {
    if (parameter.Kind == dialect::TokenKind::Identity) return identity;
    switch (kind.value_or(dialect::ColumnKind::Text)) {
        case dialect::ColumnKind::Text:
            if (parameter.Kind == dialect::TokenKind::Date)
                return dialect::IsoDateText(parameter.Date);
            if (parameter.Kind == dialect::TokenKind::Number) return NumberOf(parameter);
            return TextFor(parameter.Text, textSize);
        case dialect::ColumnKind::DateTime: {
            if (parameter.Kind == dialect::TokenKind::Date)
                return dialect::IsoDateText(parameter.Date);
            const auto date = parameter.Kind == dialect::TokenKind::Number
                                  ? DateFromSerial(AsDouble(NumberOf(parameter)))
                                  : dialect::ParseAccessDate(parameter.Text, quotedDates);
            if (!date) RaiseDataTypeMismatch();
            return dialect::IsoDateText(*date);
        }
        case dialect::ColumnKind::YesNo: {
            if (parameter.Kind == dialect::TokenKind::Date) RaiseDataTypeMismatch();
            const auto yes = ParseYesNoText(parameter.Text);
            if (!yes) RaiseDataTypeMismatch();
            return std::int64_t{*yes ? 1 : 0};
        }
        case dialect::ColumnKind::Number:
            if (parameter.Kind == dialect::TokenKind::Date) RaiseDataTypeMismatch();
            return NumberOf(parameter);
    }
    return parameter.Text;
}

}  // namespace almanoria::sqlite
