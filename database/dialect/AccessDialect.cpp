#include "database/dialect/AccessDialect.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <utility>

#include "database/Names.hpp"

namespace almanoria::dialect {

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}
bool IsSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}
bool IsWordStart(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalpha(byte) != 0 || c == '_' || byte >= 0x80;
}
[[noreturn]] void RaiseUnrecognizedToken(std::string_view token) {
    throw SyntaxError("unrecognized token: \"" + std::string(token) + "\"");
}

// Reads between minimum and maximum digits; more digits than maximum is no number.
std::optional<int> ReadDigits(std::string_view text, std::size_t& position, int minimum,
                              int maximum) {
    int value = 0;
    int count = 0;
    while (position < text.size() && IsDigit(text[position])) {
        if (++count > maximum) return std::nullopt;
        value = value * 10 + (text[position] - '0');
        ++position;
    }
    if (count < minimum) return std::nullopt;
    return value;
}

// A day of the calendar Access knows, from the year 100 on.
bool IsValidDay(int year, int month, int day) {
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    return std::chrono::year_month_day(std::chrono::year(year),
                                       std::chrono::month(static_cast<unsigned>(month)),
                                       std::chrono::day(static_cast<unsigned>(day)))
        .ok();
}

bool ReadTime(std::string_view text, std::size_t& position, DateTime& date, bool namesAmPm) {
    const auto hour = ReadDigits(text, position, 1, 2);
    if (!hour || position >= text.size() || text[position] != ':') return false;
    ++position;
    const auto minute = ReadDigits(text, position, 2, 2);
    if (!minute) return false;
    int second = 0;
    if (position < text.size() && text[position] == ':') {
        ++position;
        const auto read = ReadDigits(text, position, 2, 2);
        if (!read) return false;
        second = *read;
        // Fractions of a second, as other tools write them, are dropped.
        if (position < text.size() && text[position] == '.') {
            ++position;
            if (!ReadDigits(text, position, 1, 9)) return false;
        }
    }
    int hours = *hour;
    while (position < text.size() && IsSpace(text[position]))
        ++position;
    if (position < text.size()) {
        const std::string_view marker = text.substr(position);
        const bool isAm = SameName(marker, "AM");
        if (!namesAmPm || (!isAm && !SameName(marker, "PM"))) return false;
        if (hours > 12) return false;
        if (hours == 12) hours = 0;
        if (!isAm) hours += 12;
        position = text.size();
    }
    if (hours > 23 || *minute > 59 || second > 59) return false;
    date.Hour = hours;
    date.Minute = *minute;
    date.Second = second;
    return true;
}

std::string_view FirstWord(std::string_view text) {
    text = Trimmed(text);
    std::size_t length = 0;
    while (length < text.size() && std::isalpha(static_cast<unsigned char>(text[length]))) {
        ++length;
    }
    return text.substr(0, length);
}

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> names) {
    return std::any_of(names.begin(), names.end(),
                       [&](std::string_view name) { return SameName(word, name); });
}

// The size in "TEXT(50)"; nothing when there is none.
std::optional<std::size_t> SizeInParentheses(std::string_view rest) {
    rest = Trimmed(rest);
    if (rest.size() < 3 || rest.front() != '(') return std::nullopt;
    const std::size_t close = rest.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view digits = Trimmed(rest.substr(1, close - 1));
    std::size_t size = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), size);
    if (error != std::errc() || end != digits.data() + digits.size() || size == 0) {
        return std::nullopt;
    }
    return size;
}

}  // namespace

bool IsSymbol(const Token& token, std::string_view symbol) {
    return token.Kind == TokenKind::Symbol && token.Text == symbol;
}

bool IsKeyword(const Token& token, std::string_view keyword) {
    return token.Kind == TokenKind::Word && !token.IsBracketed && SameName(token.Text, keyword);
}

bool IsComparison(const Token& token) {
    static constexpr std::array<std::string_view, 8> kOperators = {
        "=", "==", "<>", "!=", "<", ">", "<=", ">="};
    return token.Kind == TokenKind::Symbol &&
           std::find(kOperators.begin(), kOperators.end(), token.Text) != kOperators.end();
}

bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c) || c == '$';
}

std::optional<DateTime> ParseAccessDate(std::string_view text, DateSettings settings) {
    text = Trimmed(text);
    DateTime date;  // a time alone lies on 12/30/1899
    std::size_t position = 0;
    std::size_t digitsEnd = 0;
    while (digitsEnd < text.size() && IsDigit(text[digitsEnd]))
        ++digitsEnd;
    const bool isTimeAlone = digitsEnd < text.size() && text[digitsEnd] == ':';
    if (!isTimeAlone) {
        const bool isYearFirst = digitsEnd == 4;
        const auto first = ReadDigits(text, position, 1, 4);
        if (!first || position >= text.size() || (text[position] != '/' && text[position] != '-'))
            return std::nullopt;
        const char separator = text[position++];
        const auto second = ReadDigits(text, position, 1, 2);
        if (!second || position >= text.size() || text[position] != separator) return std::nullopt;
        ++position;
        const auto third =
            isYearFirst ? ReadDigits(text, position, 1, 2) : ReadDigits(text, position, 4, 4);
        if (!third || (!isYearFirst && digitsEnd > 2)) return std::nullopt;
        date.Year = isYearFirst ? *first : *third;
        date.Month = isYearFirst ? *second : *first;
        date.Day = isYearFirst ? *third : *second;
        if (!isYearFirst && settings.Order == DateOrder::DayFirst &&
            IsValidDay(date.Year, date.Day, date.Month)) {
            std::swap(date.Month, date.Day);
        }
        if (!IsValidDay(date.Year, date.Month, date.Day)) return std::nullopt;
        if (position == text.size()) return date;
        if (isYearFirst && text[position] == 'T') {
            ++position;
        } else {
            if (!IsSpace(text[position])) return std::nullopt;
            while (position < text.size() && IsSpace(text[position]))
                ++position;
        }
    }
    if (!ReadTime(text, position, date, settings.NamesAmPm) || position != text.size()) {
        return std::nullopt;
    }
    return date;
}

std::optional<DateTime> ParseProgramDate(std::string_view text) {
    std::size_t position = 0;
    const auto month = ReadDigits(text, position, 1, 2);
    if (!month || position >= text.size() || text[position++] != '/') return std::nullopt;
    const auto day = ReadDigits(text, position, 1, 2);
    if (!day || position >= text.size() || text[position++] != '/') return std::nullopt;
    const auto year = ReadDigits(text, position, 4, 4);
    if (!year || position != text.size() || !IsValidDay(*year, *month, *day)) return std::nullopt;
    return DateTime{*year, *month, *day};
}

std::optional<DateTime> ParseTimeAlone(std::string_view text) {
    text = Trimmed(text);
    std::size_t digitsEnd = 0;
    while (digitsEnd < text.size() && IsDigit(text[digitsEnd]))
        ++digitsEnd;
    if (digitsEnd == 0 || digitsEnd >= text.size() || text[digitsEnd] != ':') return std::nullopt;
    return ParseAccessDate(text);
}

std::string IsoDateText(const DateTime& date) {
    char buffer[48];
    if (date.HasTime()) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", date.Year, date.Month,
                      date.Day, date.Hour, date.Minute, date.Second);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.Year, date.Month, date.Day);
    }
    return buffer;
}

DeclaredType ReadDeclaredType(std::string_view declaredType) {
    const std::string_view word = FirstWord(declaredType);
    const auto number = [](AccessType type) { return DeclaredType{ColumnKind::Number, type, 0}; };
    if (IsOneOf(word, {"DATETIME", "DATE", "TIME"})) {
        return {ColumnKind::DateTime, AccessType::DateTime, 0};
    }
    if (IsOneOf(word, {"YESNO", "BIT", "BOOLEAN", "LOGICAL"})) {
        return {ColumnKind::YesNo, AccessType::YesNo, 0};
    }
    if (IsOneOf(word, {"DOUBLE", "NUMERIC", "CURRENCY"})) return number(AccessType::Double);
    if (IsOneOf(word, {"SINGLE"})) return number(AccessType::Single);
    if (IsOneOf(word, {"SHORT"})) return number(AccessType::Short);
    if (IsOneOf(word, {"BYTE"})) return number(AccessType::Byte);
    if (IsOneOf(word, {"INTEGER", "INT", "LONG", "COUNTER", "AUTOINCREMENT"})) {
        return number(AccessType::Long);
    }
    if (IsOneOf(word, {"TEXT", "VARCHAR", "CHAR", "CHARACTER", "NVARCHAR", "NCHAR", "STRING",
                       "ALPHANUMERIC"})) {
        const std::string_view rest = Trimmed(declaredType).substr(word.size());
        return {ColumnKind::Text, AccessType::Text, SizeInParentheses(rest).value_or(255)};
    }
    return {};
}

std::vector<Token> TokenizeAccessSql(std::string_view statement) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    const std::size_t size = statement.size();
    while (i < size) {
        const char c = statement[i];
        if (IsSpace(c)) {
            ++i;
            continue;
        }
        Token token;
        token.Begin = i;
        if (c == '\'' || c == '"') {
            token.Kind = TokenKind::Text;
            token.Quote = c;
            ++i;
            for (;;) {
                if (i >= size) RaiseUnrecognizedToken(statement.substr(token.Begin));
                if (statement[i] == c) {
                    if (i + 1 < size && statement[i + 1] == c) {
                        token.Text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                token.Text += statement[i++];
            }
        } else if (c == '#') {
            const std::size_t close = statement.find('#', i + 1);
            if (close == std::string_view::npos) RaiseUnrecognizedToken(statement.substr(i));
            const auto date = ParseAccessDate(statement.substr(i + 1, close - i - 1));
            if (!date) {
                throw SyntaxError("Syntax error in date in query expression '" +
                                  std::string(statement.substr(i, close + 1 - i)) + "'.");
            }
            token.Kind = TokenKind::Date;
            token.Date = *date;
            i = close + 1;
        } else if (c == '[' || c == '`') {
            const std::size_t close = statement.find(c == '[' ? ']' : '`', i + 1);
            if (close == std::string_view::npos) RaiseUnrecognizedToken(statement.substr(i));
            token.Kind = TokenKind::Word;
            token.IsBracketed = true;
            token.Quote = c;
            token.Text = std::string(statement.substr(i + 1, close - i - 1));
            i = close + 1;
        } else if (IsDigit(c) || (c == '.' && i + 1 < size && IsDigit(statement[i + 1]))) {
            token.Kind = TokenKind::Number;
            while (i < size && IsDigit(statement[i]))
                ++i;
            if (i < size && statement[i] == '.') {
                ++i;
                while (i < size && IsDigit(statement[i]))
                    ++i;
            }
            if (i < size && (statement[i] == 'e' || statement[i] == 'E')) {
                std::size_t exponent = i + 1;
                if (exponent < size && (statement[exponent] == '+' || statement[exponent] == '-'))
                    ++exponent;
                if (exponent < size && IsDigit(statement[exponent])) {
                    i = exponent;
                    while (i < size && IsDigit(statement[i]))
                        ++i;
                }
            }
            // 5abc is no number and no name.
            if (i < size && IsWordChar(statement[i])) {
                std::size_t end = i;
                while (end < size && IsWordChar(statement[end]))
                    ++end;
                RaiseUnrecognizedToken(statement.substr(token.Begin, end - token.Begin));
            }
            token.Text = std::string(statement.substr(token.Begin, i - token.Begin));
        } else if (IsWordStart(c)) {
            token.Kind = TokenKind::Word;
            while (i < size && IsWordChar(statement[i]))
                ++i;
            token.Text = std::string(statement.substr(token.Begin, i - token.Begin));
        } else if (c == '@' && SameName(statement.substr(i, 10), "@@IDENTITY") &&
                   (i + 10 == size || !IsWordChar(statement[i + 10]))) {
            token.Kind = TokenKind::Identity;
            token.Text = "@@IDENTITY";
            i += 10;
        } else if (c == '?' || c == ':' || c == '@' || c == '$') {
            // Parameter marks: the program never binds parameters.
            std::size_t end = i + 1;
            while (end < size && IsWordChar(statement[end]))
                ++end;
            RaiseUnrecognizedToken(statement.substr(i, end - i));
        } else {
            token.Kind = TokenKind::Symbol;
            static constexpr std::array<std::string_view, 8> kPairs = {
                "<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
            const std::string_view pair = statement.substr(i, 2);
            const bool isPair = std::find(kPairs.begin(), kPairs.end(), pair) != kPairs.end();
            token.Text = std::string(isPair ? pair : statement.substr(i, 1));
            i += token.Text.size();
        }
        token.End = i;
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace almanoria::dialect
