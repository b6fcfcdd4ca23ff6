#include "database/sqlite/AccessDialect.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

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
bool IsWordChar(char c) {
    return IsWordStart(c) || IsDigit(c) || c == '$';
}

[[noreturn]] void RaiseUnrecognizedToken(std::string_view token) {
    RaiseFailure(SQLITE_ERROR, "unrecognized token: \"" + std::string(token) + "\"");
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

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[static_cast<std::size_t>(month - 1)];
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

bool IsComparison(const Token& token) {
    static constexpr std::array<std::string_view, 8> kOperators = {
        "=", "==", "<>", "!=", "<", ">", "<=", ">="};
    return token.Kind == TokenKind::Symbol &&
           std::find(kOperators.begin(), kOperators.end(), token.Text) != kOperators.end();
}

bool IsSymbol(const Token& token, std::string_view symbol) {
    return token.Kind == TokenKind::Symbol && token.Text == symbol;
}

bool IsKeyword(const Token& token, std::string_view keyword) {
    return token.Kind == TokenKind::Word && !token.IsBracketed && SameName(token.Text, keyword);
}

bool IsAnyKeyword(const Token& token, std::initializer_list<std::string_view> keywords) {
    return std::any_of(keywords.begin(), keywords.end(),
                       [&](std::string_view keyword) { return IsKeyword(token, keyword); });
}

// Words that follow a table name and so are not its alias.
bool IsClauseKeyword(const Token& token) {
    return IsAnyKeyword(
        token, {"WHERE",  "SET",     "VALUES",    "SELECT",  "INNER", "LEFT",   "RIGHT",
                "FULL",   "OUTER",   "CROSS",     "NATURAL", "JOIN",  "ON",     "USING",
                "ORDER",  "GROUP",   "HAVING",    "LIMIT",   "UNION", "EXCEPT", "INTERSECT",
                "WINDOW", "DEFAULT", "RETURNING", "INDEXED", "NOT"});
}

bool IsColumnWord(const Token& token) {
    return token.Kind == TokenKind::Word && !IsAnyKeyword(token, {"NULL", "TRUE", "FALSE", "END"});
}

StatementVerb VerbOf(const std::vector<Token>& tokens) {
    if (tokens.empty()) return StatementVerb::Other;
    const Token& first = tokens.front();
    if (IsAnyKeyword(first, {"SELECT", "WITH"})) return StatementVerb::Select;
    if (IsAnyKeyword(first, {"INSERT", "REPLACE"})) return StatementVerb::Insert;
    if (IsKeyword(first, "UPDATE")) return StatementVerb::Update;
    if (IsKeyword(first, "DELETE")) return StatementVerb::Delete;
    return StatementVerb::Other;
}

// Where a literal stands as a value, and the column it goes to when the statement says.
struct ValuePlace {
    std::optional<ColumnTarget> Target;
};

// Reads a statement's structure: its tables with their aliases, the column list of an INSERT,
// and the place of each token in a VALUES list, then says where each literal stands.
class StatementReader {
  public:
    StatementReader(const std::vector<Token>& tokens, TranslatedStatement& statement)
        : mTokens(tokens),
          mStatement(statement),
          mDepth(tokens.size(), 0),
          mValuesColumn(tokens.size(), -1) {
        int depth = 0;
        for (std::size_t i = 0; i < mTokens.size(); ++i) {
            if (IsSymbol(mTokens[i], ")")) --depth;
            mDepth[i] = depth;
            if (IsSymbol(mTokens[i], "(")) ++depth;
        }
        ReadTables();
        ReadValuesLists();
    }

    // The column a literal (tokens first..last, first being its sign) stands for, when it
    // stands as a value: compared with a column, assigned, or alone in a VALUES list.
    std::optional<ValuePlace> PlaceOf(std::size_t first, std::size_t last) const {
        std::size_t before = first;
        while (before > 0 && IsSymbol(mTokens[before - 1], "("))
            --before;
        if (before > 0 && IsComparison(mTokens[before - 1])) {
            std::size_t operand = before - 1;
            while (operand > 0 && IsSymbol(mTokens[operand - 1], ")"))
                --operand;
            if (operand == 0 || !IsColumnWord(mTokens[operand - 1])) return ValuePlace{};
            const std::size_t column = operand - 1;
            const bool isQualified = column >= 2 && IsSymbol(mTokens[column - 1], ".") &&
                                     mTokens[column - 2].Kind == TokenKind::Word;
            return ValuePlace{
                Target(isQualified ? mTokens[column - 2].Text : "", mTokens[column].Text)};
        }
        std::size_t after = last;
        while (after + 1 < mTokens.size() && IsSymbol(mTokens[after + 1], ")"))
            ++after;
        if (after + 1 < mTokens.size() && IsComparison(mTokens[after + 1])) {
            std::size_t operand = after + 2;
            while (operand < mTokens.size() && IsSymbol(mTokens[operand], "("))
                ++operand;
            if (operand >= mTokens.size() || !IsColumnWord(mTokens[operand])) {
                return ValuePlace{};
            }
            const bool isQualified = operand + 2 < mTokens.size() &&
                                     IsSymbol(mTokens[operand + 1], ".") &&
                                     mTokens[operand + 2].Kind == TokenKind::Word;
            return ValuePlace{isQualified ? Target(mTokens[operand].Text, mTokens[operand + 2].Text)
                                          : Target("", mTokens[operand].Text)};
        }
        const int position = mValuesColumn[last];
        if (position < 0 || first == 0 || last + 1 >= mTokens.size()) return std::nullopt;
        const Token& previous = mTokens[first - 1];
        const Token& next = mTokens[last + 1];
        const bool startsElement =
            (IsSymbol(previous, "(") && mDepth[first - 1] + 1 == mDepth[last]) ||
            (IsSymbol(previous, ",") && mDepth[first - 1] == mDepth[last]);
        const bool endsElement = (IsSymbol(next, ")") && mDepth[last + 1] + 1 == mDepth[last]) ||
                                 (IsSymbol(next, ",") && mDepth[last + 1] == mDepth[last]);
        if (!startsElement || !endsElement) return std::nullopt;
        ColumnTarget target;
        target.Table = mStatement.TargetTable;
        if (mInsertColumns.empty()) {
            target.Position = position;
        } else if (static_cast<std::size_t>(position) < mInsertColumns.size()) {
            target.Column = mInsertColumns[static_cast<std::size_t>(position)];
        } else {
            return ValuePlace{};
        }
        return ValuePlace{target};
    }

  private:
    ColumnTarget Target(const std::string& qualifier, const std::string& column) const {
        ColumnTarget target;
        target.Column = column;
        if (!qualifier.empty()) {
            const auto alias = std::find_if(mAliases.begin(), mAliases.end(), [&](const auto& a) {
                return SameName(a.first, qualifier);
            });
            target.Table = alias != mAliases.end() ? alias->second : qualifier;
        }
        return target;
    }

    void AddTable(const std::string& name) {
        const auto known =
            std::find_if(mStatement.Tables.begin(), mStatement.Tables.end(),
                         [&](const std::string& table) { return SameName(table, name); });
        if (known == mStatement.Tables.end()) mStatement.Tables.push_back(name);
    }

    // Reads "name [[AS] alias] [, ...]" from position; returns where it stopped.
    std::size_t ReadTableList(std::size_t position, bool allowsList) {
        while (position < mTokens.size() && mTokens[position].Kind == TokenKind::Word &&
               !IsClauseKeyword(mTokens[position])) {
            std::string name = mTokens[position].Text;
            ++position;
            if (position + 1 < mTokens.size() && IsSymbol(mTokens[position], ".") &&
                mTokens[position + 1].Kind == TokenKind::Word) {
                name = mTokens[position + 1].Text;  // schema.table
                position += 2;
            }
            AddTable(name);
            if (mStatement.TargetTable.empty() && mStatement.Verb != StatementVerb::Select &&
                mStatement.Verb != StatementVerb::Other) {
                mStatement.TargetTable = name;
            }
            if (position + 1 < mTokens.size() && IsKeyword(mTokens[position], "AS") &&
                mTokens[position + 1].Kind == TokenKind::Word) {
                mAliases.emplace_back(mTokens[position + 1].Text, name);
                position += 2;
            } else if (position < mTokens.size() && mTokens[position].Kind == TokenKind::Word &&
                       !IsClauseKeyword(mTokens[position])) {
                mAliases.emplace_back(mTokens[position].Text, name);
                ++position;
            }
            if (!allowsList || position >= mTokens.size() || !IsSymbol(mTokens[position], ",")) {
                break;
            }
            ++position;
        }
        return position;
    }

    void ReadTables() {
        for (std::size_t i = 0; i < mTokens.size(); ++i) {
            if (i == 0 && mStatement.Verb == StatementVerb::Update) {
                // UPDATE [OR action] table
                std::size_t start = 1;
                if (start + 1 < mTokens.size() && IsKeyword(mTokens[start], "OR")) start += 2;
                ReadTableList(start, false);
            } else if (IsKeyword(mTokens[i], "INTO") && mStatement.Verb == StatementVerb::Insert &&
                       mStatement.TargetTable.empty()) {
                const std::size_t after = ReadTableList(i + 1, false);
                if (after < mTokens.size() && IsSymbol(mTokens[after], "(")) ReadColumnList(after);
            } else if (IsAnyKeyword(mTokens[i], {"FROM", "JOIN"})) {
                ReadTableList(i + 1, IsKeyword(mTokens[i], "FROM"));
            }
        }
    }

    void ReadColumnList(std::size_t open) {
        for (std::size_t i = open + 1; i < mTokens.size() && mDepth[i] > mDepth[open]; ++i) {
            if (mTokens[i].Kind == TokenKind::Word) mInsertColumns.push_back(mTokens[i].Text);
        }
    }

    void ReadValuesLists() {
        for (std::size_t i = 0; i < mTokens.size(); ++i) {
            if (!IsKeyword(mTokens[i], "VALUES")) continue;
            const int depth = mDepth[i];
            std::size_t j = i + 1;
            // One tuple after another: (a, b), (c, d)
            while (j < mTokens.size() && IsSymbol(mTokens[j], "(") && mDepth[j] == depth) {
                int column = 0;
                ++j;
                for (; j < mTokens.size() && mDepth[j] > depth; ++j) {
                    if (IsSymbol(mTokens[j], ",") && mDepth[j] == depth + 1) {
                        ++column;
                    } else if (mDepth[j] == depth + 1) {
                        mValuesColumn[j] = column;
                    }
                }
                if (j >= mTokens.size()) break;  // the closing ")" is missing: SQLite says so
                ++j;
                if (j < mTokens.size() && IsSymbol(mTokens[j], ",")) ++j;
            }
        }
    }

    const std::vector<Token>& mTokens;
    TranslatedStatement& mStatement;
    std::vector<int> mDepth;
    std::vector<int> mValuesColumn;
    std::vector<std::string> mInsertColumns;
    std::vector<std::pair<std::string, std::string>> mAliases;  // alias, table
};

std::string QuotedText(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

}  // namespace

std::optional<DateTime> ParseAccessDate(std::string_view text, DateOrder order) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
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
        const auto isValid = [](const DateTime& day) {
            return day.Year >= 100 && day.Month >= 1 && day.Month <= 12 && day.Day >= 1 &&
                   day.Day <= DaysInMonth(day.Year, day.Month);
        };
        date.Year = isYearFirst ? *first : *third;
        date.Month = isYearFirst ? *second : *first;
        date.Day = isYearFirst ? *third : *second;
        if (!isYearFirst && order == DateOrder::DayFirst) {
            DateTime dayFirst = date;
            std::swap(dayFirst.Month, dayFirst.Day);
            if (isValid(dayFirst)) date = dayFirst;
        }
        if (!isValid(date)) return std::nullopt;
        if (position == text.size()) return date;
        if (isYearFirst && text[position] == 'T') {
            ++position;
        } else {
            if (!IsSpace(text[position])) return std::nullopt;
            while (position < text.size() && IsSpace(text[position]))
                ++position;
        }
    }
    if (!ReadTime(text, position, date) || position != text.size()) return std::nullopt;
    return date;
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
            // Access reads "..." as text too.
            token.Kind = TokenKind::Text;
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
                RaiseFailure(SQLITE_ERROR, "Syntax error in date in query expression '" +
                                               std::string(statement.substr(i, close + 1 - i)) +
                                               "'.");
            }
            token.Kind = TokenKind::Date;
            token.Date = *date;
            i = close + 1;
        } else if (c == '[' || c == '`') {
            const std::size_t close = statement.find(c == '[' ? ']' : '`', i + 1);
            if (close == std::string_view::npos) RaiseUnrecognizedToken(statement.substr(i));
            token.Kind = TokenKind::Word;
            token.IsBracketed = true;
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
            // 5abc is no number and no name; SQLite would read "?1 abc" as an alias.
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
            // SQLite would take these for parameters and bind them to Null.
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

TranslatedStatement TranslateAccessSql(std::string_view statement) {
    const std::vector<Token> tokens = TokenizeAccessSql(statement);
    const auto end = std::find_if(tokens.begin(), tokens.end(),
                                  [](const Token& token) { return IsSymbol(token, ";"); });
    if (std::any_of(end, tokens.end(), [](const Token& token) { return !IsSymbol(token, ";"); })) {
        RaiseFailure(SQLITE_ERROR, "Characters found after end of SQL statement.");
    }

    TranslatedStatement translated;
    translated.Verb = VerbOf(tokens);
    const StatementReader reader(tokens, translated);
    const bool usesParameters = translated.Verb != StatementVerb::Other;

    std::string& sql = translated.Sql;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        sql.append(statement.substr(copied, token.Begin - copied));
        copied = token.End;

        std::optional<Parameter> parameter;
        if (usesParameters && token.Kind != TokenKind::Word && token.Kind != TokenKind::Symbol) {
            std::size_t first = i;
            auto place = reader.PlaceOf(i, i);
            if (token.Kind == TokenKind::Number) {
                // A sign in front of a value belongs to it: "= -5".
                const bool isSigned =
                    i >= 2 && (IsSymbol(tokens[i - 1], "-") || IsSymbol(tokens[i - 1], "+"));
                if (isSigned) {
                    const Token& beforeSign = tokens[i - 2];
                    if (IsComparison(beforeSign) || IsSymbol(beforeSign, "(") ||
                        IsSymbol(beforeSign, ",")) {
                        if (auto signedPlace = reader.PlaceOf(i - 1, i)) {
                            first = i - 1;
                            place = std::move(signedPlace);
                        }
                    }
                }
            }
            if (token.Kind != TokenKind::Number || place) {
                parameter.emplace();
                parameter->Kind = token.Kind;
                parameter->Text = token.Text;
                parameter->Date = token.Date;
                if (place) parameter->Target = place->Target;
                if (first != i) {
                    parameter->Text = tokens[first].Text + token.Text;
                    // Drop the sign already written, with the blanks after it.
                    sql.resize(sql.size() - (token.Begin - tokens[first].Begin));
                }
            }
        }

        if (parameter) {
            translated.Parameters.push_back(std::move(*parameter));
            sql += "?" + std::to_string(translated.Parameters.size());
            if (token.End < statement.size() && IsWordChar(statement[token.End])) sql += ' ';
        } else if (token.Kind == TokenKind::Text) {
            sql += QuotedText(token.Text);
        } else if (token.Kind == TokenKind::Date) {
            sql += QuotedText(IsoDateText(token.Date));
        } else if (IsSymbol(token, "&")) {
            sql += "||";  // Access joins text with &
        } else {
            sql.append(statement.substr(token.Begin, token.End - token.Begin));
        }
    }
    sql.append(statement.substr(copied));
    return translated;
}

}  // namespace almanoria::sqlite
