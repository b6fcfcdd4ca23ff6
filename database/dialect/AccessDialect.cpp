#include "database/dialect/AccessDialect.hpp"

#include <algorithm>
#include <array>
#include <cctype>
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

bool ReadTime(std::string_view text, std::size_t& position, DateTime& date) {
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
        if (!isAm && !SameName(marker, "PM")) return false;
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

}  // namespace

bool IsSymbol(const Token& token, std::string_view symbol) {
    return token.Kind == TokenKind::Symbol && token.Text == symbol;
}

bool IsKeyword(const Token& token, std::string_view keyword) {
    return IsAnyKeyword(token, {keyword});
}

bool IsAnyKeyword(const Token& token, std::initializer_list<std::string_view> keywords) {
    return token.Kind == TokenKind::Word && !token.IsBracketed && IsOneOf(token.Text, keywords);
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

std::optional<DateTime> ParseAccessDate(std::string_view text) {
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
    if (!ReadTime(text, position, date) || position != text.size()) {
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

std::string DoubledApostrophes(std::string_view text) {
    std::string doubled;
    doubled.reserve(text.size());
    for (const char c : text) {
        doubled += c;
        if (c == '\'') doubled += '\'';
    }
    return doubled;
}

std::string QuotedText(std::string_view text) {
    return "'" + DoubledApostrophes(text) + "'";
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

std::string_view FirstWord(std::string_view declaredType) {
    declaredType = Trimmed(declaredType);
    std::size_t length = 0;
    while (length < declaredType.size() &&
           std::isalpha(static_cast<unsigned char>(declaredType[length]))) {
        ++length;
    }
    return declaredType.substr(0, length);
}

ColumnKind ReadColumnKind(std::string_view declaredType) {
    const std::string_view word = FirstWord(declaredType);
    if (IsOneOf(word, {"DATETIME", "DATE", "TIME"})) return ColumnKind::DateTime;
    if (IsOneOf(word, {"YESNO", "BIT", "BOOLEAN", "LOGICAL"})) return ColumnKind::YesNo;
    if (IsOneOf(word, {"BYTE", "SHORT", "INTEGER", "INT", "LONG", "COUNTER", "AUTOINCREMENT",
                       "SINGLE", "DOUBLE", "NUMERIC", "CURRENCY"})) {
        return ColumnKind::Number;
    }
    return ColumnKind::Text;
}

namespace {

// Each reader takes the token that starts at begin, of the kind its first character shows, and
// returns it with End one past it.

// 'text' or "text", a doubled quote standing for one.
Token ReadQuotedText(std::string_view statement, std::size_t begin) {
    Token token;
    token.Kind = TokenKind::Text;
    token.Begin = begin;
    token.Quote = statement[begin];
    std::size_t i = begin + 1;
    for (;;) {
        if (i >= statement.size()) RaiseUnrecognizedToken(statement.substr(begin));
        if (statement[i] == token.Quote) {
            if (i + 1 < statement.size() && statement[i + 1] == token.Quote) {
                token.Text += token.Quote;
                i += 2;
                continue;
            }
            token.End = i + 1;
            return token;
        }
        token.Text += statement[i++];
    }
}

// #date#, read month first.
Token ReadDateLiteral(std::string_view statement, std::size_t begin) {
    const std::size_t close = statement.find('#', begin + 1);
    if (close == std::string_view::npos) RaiseUnrecognizedToken(statement.substr(begin));
    const auto date = ParseAccessDate(statement.substr(begin + 1, close - begin - 1));
    if (!date) {
        throw SyntaxError("Syntax error in date in query expression '" +
                          std::string(statement.substr(begin, close + 1 - begin)) + "'.");
    }
    Token token;
    token.Kind = TokenKind::Date;
    token.Begin = begin;
    token.End = close + 1;
    token.Date = *date;
    return token;
}

// [name] or `name`.
Token ReadBracketedName(std::string_view statement, std::size_t begin) {
    const char open = statement[begin];
    const std::size_t close = statement.find(open == '[' ? ']' : '`', begin + 1);
    if (close == std::string_view::npos) RaiseUnrecognizedToken(statement.substr(begin));
    Token token;
    token.Kind = TokenKind::Word;
    token.Begin = begin;
    token.End = close + 1;
    token.IsBracketed = true;
    token.Quote = open;
    token.Text = std::string(statement.substr(begin + 1, close - begin - 1));
    return token;
}

bool StartsNumber(std::string_view statement, std::size_t at) {
    return IsDigit(statement[at]) ||
           (statement[at] == '.' && at + 1 < statement.size() && IsDigit(statement[at + 1]));
}

std::size_t SkipDigits(std::string_view statement, std::size_t i) {
    while (i < statement.size() && IsDigit(statement[i]))
        ++i;
    return i;
}

std::size_t SkipWordChars(std::string_view statement, std::size_t i) {
    while (i < statement.size() && IsWordChar(statement[i]))
        ++i;
    return i;
}

// A token whose text is the statement's from begin to end.
Token Spelled(TokenKind kind, std::string_view statement, std::size_t begin, std::size_t end) {
    Token token;
    token.Kind = kind;
    token.Begin = begin;
    token.End = end;
    token.Text = std::string(statement.substr(begin, end - begin));
    return token;
}

// Digits, a fraction and an exponent, as written.
Token ReadNumber(std::string_view statement, std::size_t begin) {
    const std::size_t size = statement.size();
    std::size_t i = SkipDigits(statement, begin);
    if (i < size && statement[i] == '.') i = SkipDigits(statement, i + 1);
    if (i < size && (statement[i] == 'e' || statement[i] == 'E')) {
        std::size_t exponent = i + 1;
        if (exponent < size && (statement[exponent] == '+' || statement[exponent] == '-'))
            ++exponent;
        if (exponent < size && IsDigit(statement[exponent])) i = SkipDigits(statement, exponent);
    }
    // 5abc is no number and no name.
    if (i < size && IsWordChar(statement[i])) {
        RaiseUnrecognizedToken(statement.substr(begin, SkipWordChars(statement, i) - begin));
    }
    return Spelled(TokenKind::Number, statement, begin, i);
}

Token ReadWord(std::string_view statement, std::size_t begin) {
    return Spelled(TokenKind::Word, statement, begin, SkipWordChars(statement, begin));
}

bool IsParameterMark(char c) {
    return c == '?' || c == ':' || c == '@' || c == '$';
}

// @@IDENTITY; any other mark is a parameter, and the program never binds parameters.
Token ReadMark(std::string_view statement, std::size_t begin) {
    constexpr std::string_view kIdentity = "@@IDENTITY";
    const std::size_t after = begin + kIdentity.size();
    if (SameName(statement.substr(begin, kIdentity.size()), kIdentity) &&
        (after == statement.size() || !IsWordChar(statement[after]))) {
        Token token;
        token.Kind = TokenKind::Identity;
        token.Begin = begin;
        token.End = after;
        token.Text = std::string(kIdentity);
        return token;
    }
    RaiseUnrecognizedToken(statement.substr(begin, SkipWordChars(statement, begin + 1) - begin));
}

// One character, or one of the pairs that read as one symbol.
Token ReadSymbol(std::string_view statement, std::size_t begin) {
    static constexpr std::array<std::string_view, 8> kPairs = {
        "<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
    const std::string_view pair = statement.substr(begin, 2);
    const bool isPair = std::find(kPairs.begin(), kPairs.end(), pair) != kPairs.end();
    return Spelled(TokenKind::Symbol, statement, begin, begin + (isPair ? 2 : 1));
}

Token ReadToken(std::string_view statement, std::size_t begin) {
    const char c = statement[begin];
    if (c == '\'' || c == '"') return ReadQuotedText(statement, begin);
    if (c == '#') return ReadDateLiteral(statement, begin);
    if (c == '[' || c == '`') return ReadBracketedName(statement, begin);
    if (StartsNumber(statement, begin)) return ReadNumber(statement, begin);
    if (IsWordStart(c)) return ReadWord(statement, begin);
    if (IsParameterMark(c)) return ReadMark(statement, begin);
    return ReadSymbol(statement, begin);
}

}  // namespace

std::vector<Token> TokenizeAccessSql(std::string_view statement) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < statement.size()) {
        if (IsSpace(statement[i])) {
            ++i;
            continue;
        }
        tokens.push_back(ReadToken(statement, i));
        i = tokens.back().End;
    }
    return tokens;
}

}  // namespace almanoria::dialect
