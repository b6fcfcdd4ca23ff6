#include "tools/odbcdriver/OdbcEscapes.hpp"

#include <cctype>

#include "database/Names.hpp"
#include "tools/odbcdriver/DriverError.hpp"

namespace almanoria::odbcdriver {

namespace {

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

// The end of a quoted text, name or literal that opens at start with the character open.
std::size_t EndOfQuoted(std::string_view text, std::size_t start) {
    const char open = text[start];
    const char close = open == '[' ? ']' : open;
    std::size_t at = start + 1;
    for (;;) {
        at = text.find(close, at);
        if (at == std::string_view::npos) return text.size();  // the engine says what is wrong
        // Doubled quotes stand for one inside a text.
        if ((close == '\'' || close == '"') && at + 1 < text.size() && text[at + 1] == close) {
            at += 2;
            continue;
        }
        return at + 1;
    }
}

}  // namespace

std::string RewriteOdbcEscapes(std::string_view statement) {
    std::string out;
    out.reserve(statement.size());
    std::size_t at = 0;
    while (at < statement.size()) {
        const char c = statement[at];
        if (c == '\'' || c == '"' || c == '[' || c == '#' || c == '`') {
            const std::size_t end = EndOfQuoted(statement, at);
            out.append(statement.substr(at, end - at));
            at = end;
            continue;
        }
        if (c != '{') {
            out += c;
            ++at;
            continue;
        }
        const std::size_t close = statement.find('}', at);
        if (close == std::string_view::npos) {
            Refuse("42000", "Syntax error: an escape that is not closed.");
        }
        const std::string_view body = Trimmed(statement.substr(at + 1, close - at - 1));
        std::size_t kindEnd = 0;
        while (kindEnd < body.size() && std::isalpha(static_cast<unsigned char>(body[kindEnd]))) {
            ++kindEnd;
        }
        const std::string_view kind = body.substr(0, kindEnd);
        if (!SameName(kind, "d") && !SameName(kind, "t") && !SameName(kind, "ts")) {
            RefuseUnimplemented("the escape {" + std::string(kind) + " ...}");
        }
        const std::string_view literal = Trimmed(body.substr(kindEnd));
        if (literal.size() < 2 || literal.front() != '\'' || literal.back() != '\'' ||
            !IsCanonical(kind, literal.substr(1, literal.size() - 2))) {
            Refuse("22007",
                   "Invalid datetime format: " + std::string(statement.substr(at, close + 1 - at)));
        }
        out += '#';
        out.append(literal.substr(1, literal.size() - 2));
        out += '#';
        at = close + 1;
    }
    return out;
}

}  // namespace almanoria::odbcdriver
