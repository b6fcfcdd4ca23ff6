#include "database/odbc/DateEscapes.hpp"

#include <cctype>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <utility>
#include <vector>

namespace almanoria {

namespace {

enum class TokenKind { Word, BracketedName, Quoted, Symbol, Other };

struct Token {
    TokenKind Kind;
    std::size_t Begin;
    std::size_t End;
    std::string Text;  // a quoted value without its quotes, a bracketed name without brackets
};

bool IsWordChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || c == '_' || c == '.' || c == '@' || c == '$' || byte >= 0x80;
}

// Up to the closing character; nothing when the statement ends first.
std::optional<std::size_t> Closing(std::string_view text, std::size_t from, char closing) {
    const std::size_t at = text.find(closing, from);
    if (at == std::string_view::npos) return std::nullopt;
    return at;
}

std::optional<std::vector<Token>> Tokenize(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        const std::size_t begin = at;
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
        } else if (c == '\'') {
            std::string value;
            ++at;
            for (;;) {
                if (at >= text.size()) return std::nullopt;
                if (text[at] == '\'') {
                    if (at + 1 < text.size() && text[at + 1] == '\'') {
                        value += '\'';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                value += text[at++];
            }
            tokens.push_back({TokenKind::Quoted, begin, at, std::move(value)});
        } else if (c == '[') {
            const auto close = Closing(text, at + 1, ']');
            if (!close) return std::nullopt;
            at = *close + 1;
            tokens.push_back({TokenKind::BracketedName, begin, at,
                              std::string(text.substr(begin + 1, *close - begin - 1))});
        } else if (c == '#' || c == '"') {
            // A date literal or a double-quoted text: nothing inside it is a separate token.
            const auto close = Closing(text, at + 1, c);
            if (!close) return std::nullopt;
            at = *close + 1;
            tokens.push_back(
                {TokenKind::Other, begin, at, std::string(text.substr(begin, at - begin))});
        } else if (IsWordChar(c)) {
            while (at < text.size() && IsWordChar(text[at]))
                ++at;
            tokens.push_back(
                {TokenKind::Word, begin, at, std::string(text.substr(begin, at - begin))});
        } else {
            ++at;
            const bool symbol = c == '(' || c == ')' || c == ',' || c == '=' || c == ';';
            tokens.push_back(
                {symbol ? TokenKind::Symbol : TokenKind::Other, begin, at, std::string(1, c)});
        }
    }
    return tokens;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

struct DateParts {
    int Year;
    int Month;
    int Day;
};

// m/d/yyyy with one or two digits for month and day: the only form the program writes.
std::optional<DateParts> ParseMonthFirst(std::string_view text) {
    int fields[3] = {};
    std::size_t at = 0;
    for (int field = 0; field < 3; ++field) {
        const std::size_t start = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            fields[field] = fields[field] * 10 + (text[at] - '0');
            if (at - start >= 4) return std::nullopt;
            ++at;
        }
        const std::size_t digits = at - start;
        if (field < 2 ? (digits < 1 || digits > 2) : digits != 4) return std::nullopt;
        if (field < 2) {
            if (at >= text.size() || text[at] != '/') return std::nullopt;
            ++at;
        }
    }
    if (at != text.size()) return std::nullopt;
    const DateParts date{fields[2], fields[0], fields[1]};
    static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.Month < 1 || date.Month > 12 || date.Day < 1) return std::nullopt;
    const bool leap = (date.Year % 4 == 0 && date.Year % 100 != 0) || date.Year % 400 == 0;
    const int days = kDaysInMonth[date.Month - 1] + (date.Month == 2 && leap ? 1 : 0);
    if (date.Day > days) return std::nullopt;
    return date;
}

std::string DateEscape(const DateParts& date) {
    const auto padded = [](int value, std::size_t width) {
        std::string digits = std::to_string(value);
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    };
    return "{d '" + padded(date.Year, 4) + "-" + padded(date.Month, 2) + "-" + padded(date.Day, 2) +
           "'}";
}

struct Replacement {
    std::size_t Begin;
    std::size_t End;
    std::string Text;
};

// Walks the tokens of an INSERT or UPDATE; any surprise ends the walk without a change.
class Statement {
  public:
    explicit Statement(std::vector<Token> tokens) : mTokens(std::move(tokens)) {}

    // Each value of the statement with the column it goes into; false when unrecognised.
    bool Assignments(std::string& table,
                     std::vector<std::pair<std::string, std::vector<Token>>>& assignments) {
        if (Keyword("INSERT")) return Insert(table, assignments);
        mAt = 0;
        if (Keyword("UPDATE")) return Update(table, assignments);
        return false;
    }

  private:
    bool Insert(std::string& table,
                std::vector<std::pair<std::string, std::vector<Token>>>& assignments) {
        if (!Keyword("INTO") || !Name(table) || !Symbol("(")) return false;
        std::vector<std::string> columns;
        do {
            std::string column;
            if (!Name(column)) return false;
            columns.push_back(std::move(column));
        } while (Symbol(","));
        if (!Symbol(")") || !Keyword("VALUES") || !Symbol("(")) return false;
        std::vector<std::vector<Token>> values;
        do {
            values.push_back(Value({")", ","}, false));
        } while (Symbol(","));
        if (!Symbol(")") || values.size() != columns.size()) return false;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            assignments.emplace_back(std::move(columns[i]), std::move(values[i]));
        }
        return true;
    }

    bool Update(std::string& table,
                std::vector<std::pair<std::string, std::vector<Token>>>& assignments) {
        if (!Name(table) || !Keyword("SET")) return false;
        do {
            std::string column;
            if (!Name(column) || !Symbol("=")) return false;
            assignments.emplace_back(std::move(column), Value({",", ";"}, true));
        } while (Symbol(","));
        return true;
    }

    const Token* Peek() const { return mAt < mTokens.size() ? &mTokens[mAt] : nullptr; }

    bool Keyword(std::string_view word) {
        const Token* token = Peek();
        if (!token || token->Kind != TokenKind::Word || !SameWord(token->Text, word)) return false;
        ++mAt;
        return true;
    }

    bool Symbol(std::string_view symbol) {
        const Token* token = Peek();
        if (!token || token->Kind != TokenKind::Symbol || token->Text != symbol) return false;
        ++mAt;
        return true;
    }

    // A table or column name, qualified or not ("Dates.DateKey", "[Dates].[DateKey]"); the
    // last part is the name.
    bool Name(std::string& name) {
        bool found = false;
        for (bool more = true; more;) {
            const Token* token = Peek();
            if (!token) break;
            bool trailingDot = false;
            if (token->Kind == TokenKind::BracketedName) {
                name = token->Text;
            } else if (token->Kind == TokenKind::Word && (!found || token->Text.front() == '.')) {
                const std::size_t dot = token->Text.rfind('.');
                name = dot == std::string::npos ? token->Text : token->Text.substr(dot + 1);
                trailingDot = token->Text.back() == '.';
            } else {
                break;
            }
            found = true;
            ++mAt;
            const Token* next = Peek();
            more =
                trailingDot || (next && next->Kind == TokenKind::Word && next->Text.front() == '.');
        }
        return found && !name.empty();
    }

    // The tokens of one value, up to a separator outside parentheses (or WHERE in an UPDATE).
    std::vector<Token> Value(std::initializer_list<std::string_view> separators, bool untilWhere) {
        std::vector<Token> value;
        int depth = 0;
        for (const Token* token = Peek(); token; token = Peek()) {
            if (depth == 0 && token->Kind == TokenKind::Symbol) {
                bool separator = false;
                for (const std::string_view s : separators)
                    separator = separator || token->Text == s;
                if (separator) break;
            }
            if (depth == 0 && untilWhere && token->Kind == TokenKind::Word &&
                SameWord(token->Text, "WHERE")) {
                break;
            }
            if (token->Kind == TokenKind::Symbol && token->Text == "(") ++depth;
            if (token->Kind == TokenKind::Symbol && token->Text == ")") {
                if (depth == 0) break;
                --depth;
            }
            value.push_back(*token);
            ++mAt;
        }
        return value;
    }

    std::vector<Token> mTokens;
    std::size_t mAt = 0;
};

}  // namespace

std::string EscapeDateValues(std::string_view statement, const DateColumnTest& isDateColumn) {
    auto tokens = Tokenize(statement);
    if (!tokens) return std::string(statement);
    std::string table;
    std::vector<std::pair<std::string, std::vector<Token>>> assignments;
    if (!Statement(std::move(*tokens)).Assignments(table, assignments)) {
        return std::string(statement);
    }

    std::vector<Replacement> replacements;
    for (const auto& [column, value] : assignments) {
        if (value.size() != 1 || value.front().Kind != TokenKind::Quoted) continue;
        const auto date = ParseMonthFirst(value.front().Text);
        if (!date || !isDateColumn(table, column)) continue;
        replacements.push_back({value.front().Begin, value.front().End, DateEscape(*date)});
    }

    std::string mended;
    std::size_t copied = 0;
    for (const Replacement& replacement : replacements) {
        mended.append(statement.substr(copied, replacement.Begin - copied));
        mended += replacement.Text;
        copied = replacement.End;
    }
    mended.append(statement.substr(copied));
    return mended;
}

}  // namespace almanoria
