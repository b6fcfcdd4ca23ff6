#include "testing/odbcdriver/OdbcEscapes.hpp"

#include <cctype>

#include "database/Names.hpp"
#include "testing/odbcdriver/AccessRules.hpp"
#include "testing/odbcdriver/DriverError.hpp"

namespace almanoria::odbcdriver {

namespace {

using dialect::IsSymbol;
using dialect::Token;
using dialect::TokenKind;

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Whether text has the shape of pattern, where each '9' stands for one digit.
bool HasShape(std::string_view text, std::string_view pattern) {
    if (text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] == '9' ? !IsDigit(text[i]) : text[i] != pattern[i]) return false;
    }
    return true;
}

bool IsCanonical(std::string_view kind, std::string_view value) {
    if (SameName(kind, "d")) return HasShape(value, "9999-99-99");
    if (SameName(kind, "t")) return HasShape(value, "99:99:99");
    if (!SameName(kind, "ts")) return false;
    // Fractions of a second may follow.
    const std::string_view whole = value.substr(0, 19);
    const std::string_view fraction = value.size() > 19 ? value.substr(19) : std::string_view();
    if (!HasShape(whole, "9999-99-99 99:99:99")) return false;
    if (fraction.empty()) return true;
    if (fraction.front() != '.' || fraction.size() < 2) return false;
    for (const char c : fraction.substr(1)) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

}  // namespace

std::string RewriteOdbcEscapes(std::string_view statement, const std::vector<Token>& tokens) {
    std::string out;
    out.reserve(statement.size());
    std::size_t copied = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (!IsSymbol(tokens[i], "{")) continue;
        std::size_t close = i + 1;
        while (close < tokens.size() && !IsSymbol(tokens[close], "}"))
            ++close;
        if (close == tokens.size()) Refuse("42000", "Syntax error: an escape that is not closed.");
        const bool hasKind = i + 1 < close && tokens[i + 1].Kind == TokenKind::Word;
        const std::string kind = hasKind ? tokens[i + 1].Text : "";
        if (!SameName(kind, "d") && !SameName(kind, "t") && !SameName(kind, "ts")) {
            RefuseUnimplemented("the escape {" + kind + " ...}");
        }
        const Token& literal = tokens[i + 2 < close ? i + 2 : i];
        if (close != i + 3 || literal.Kind != TokenKind::Text || literal.Quote != '\'' ||
            !IsCanonical(kind, literal.Text)) {
            const std::size_t begin = tokens[i].Begin;
            Refuse("22007", "Invalid datetime format: " +
                                std::string(statement.substr(begin, tokens[close].End - begin)));
        }
        out.append(statement.substr(copied, tokens[i].Begin - copied));
        out += '#';
        out += literal.Text;
        out += '#';
        copied = tokens[close].End;
        i = close;
    }
    out.append(statement.substr(copied));
    return out;
}

std::string RewriteOdbcEscapes(std::string_view statement) {
    return RewriteOdbcEscapes(statement, ReadStatement(statement));
}

}  // namespace almanoria::odbcdriver
