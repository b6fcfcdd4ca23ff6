#include "database/sqlite/StorageFormat.hpp"

#include <charconv>
#include <cmath>

#include "database/Names.hpp"
#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

namespace {

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

StoredValue StoreParameter(const Parameter& parameter, std::optional<dialect::ColumnKind> kind,
                           std::int64_t identity) {
    if (parameter.Kind == dialect::TokenKind::Identity) return identity;
    switch (kind.value_or(dialect::ColumnKind::Text)) {
        case dialect::ColumnKind::Text:
            if (parameter.Kind == dialect::TokenKind::Date)
                return dialect::IsoDateText(parameter.Date);
            if (parameter.Kind == dialect::TokenKind::Number) return NumberOf(parameter);
            return parameter.Text;
        case dialect::ColumnKind::DateTime: {
            if (parameter.Kind == dialect::TokenKind::Date)
                return dialect::IsoDateText(parameter.Date);
            const auto date = parameter.Kind == dialect::TokenKind::Number
                                  ? std::nullopt
                                  : dialect::ParseAccessDate(parameter.Text);
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
