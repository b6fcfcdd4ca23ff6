#include "database/dialect/StatementShape.hpp"

namespace almanoria::dialect {

namespace {

[[noreturn]] void RefuseShape(const std::string& what) {
    throw SyntaxError("Syntax error: " + what + " is not supported.");
}

// A name that may be a column's: not a keyword of a value, not an empty [] or ``.
bool IsColumnWord(const Token& token) {
    return token.Kind == TokenKind::Word && !token.Text.empty() &&
           !IsAnyKeyword(token, {"NULL", "TRUE", "FALSE", "END"});
}

StatementVerb VerbOf(const std::vector<Token>& tokens) {
    if (tokens.empty()) return StatementVerb::Other;
    const Token& first = tokens.front();
    if (IsAnyKeyword(first, {"WITH", "REPLACE"})) RefuseShape(first.Text);
    if (IsKeyword(first, "SELECT")) return StatementVerb::Select;
    if (IsKeyword(first, "INSERT")) return StatementVerb::Insert;
    if (IsKeyword(first, "UPDATE")) return StatementVerb::Update;
    if (IsKeyword(first, "DELETE")) return StatementVerb::Delete;
    return StatementVerb::Other;
}

// Column and table, "Dates.DateKey" or "DateKey", of the name whose last part is at column.
ColumnTarget TargetAt(const std::vector<Token>& tokens, std::size_t column) {
    const bool isQualified = column >= 2 && IsSymbol(tokens[column - 1], ".") &&
                             tokens[column - 2].Kind == TokenKind::Word;
    return {isQualified ? tokens[column - 2].Text : "", tokens[column].Text};
}

}  // namespace

StatementShape::StatementShape(const std::vector<Token>& tokens)
    : mTokens(tokens),
      mVerb(VerbOf(tokens)),
      mDepth(tokens.size(), 0),
      mValuesColumn(tokens.size(), -1) {
    if (mVerb == StatementVerb::Other) return;
    int depth = 0;
    for (std::size_t i = 0; i < mTokens.size(); ++i) {
        const Token& token = mTokens[i];
        if (IsAnyKeyword(token, {"JOIN", "ORDER", "GROUP", "HAVING", "LIMIT", "OFFSET", "UNION",
                                 "EXCEPT", "INTERSECT", "WINDOW", "RETURNING"})) {
            RefuseShape(token.Text);
        }
        if (IsSymbol(token, ")")) --depth;
        mDepth[i] = depth;
        if (IsSymbol(token, "(")) ++depth;
    }
    if (mVerb == StatementVerb::Update) ReadTable(1);
    for (std::size_t i = 0; i < mTokens.size(); ++i) {
        if (IsKeyword(mTokens[i], "FROM")) ReadTable(i + 1);
        if (IsKeyword(mTokens[i], "INTO") && mVerb == StatementVerb::Insert) ReadInsert(i);
    }
}

// One table by its own name: no list, no alias, no schema.
void StatementShape::ReadTable(std::size_t position) {
    if (position >= mTokens.size() || mTokens[position].Kind != TokenKind::Word) {
        RefuseShape("a statement without its table");
    }
    if (!mTable.empty()) RefuseShape("more than one table");
    mTable = mTokens[position].Text;
    const std::size_t next = position + 1;
    if (next < mTokens.size() && !IsSymbol(mTokens[next], ";") && !IsSymbol(mTokens[next], ")") &&
        !IsSymbol(mTokens[next], "(") && !IsAnyKeyword(mTokens[next], {"WHERE", "SET"})) {
        RefuseShape("\"" + mTokens[next].Text + "\" after the table's name");
    }
}

// INTO table (column, ...) VALUES (value, ...), one row.
void StatementShape::ReadInsert(std::size_t into) {
    ReadTable(into + 1);
    std::size_t i = into + 2;
    if (i >= mTokens.size() || !IsSymbol(mTokens[i], "(")) RefuseShape("INSERT without columns");
    // The last part of each element is the column's name: "Dates.DateKey" names DateKey.
    for (++i;; ++i) {
        if (i >= mTokens.size() || mTokens[i].Kind != TokenKind::Word) {
            RefuseShape("INSERT without a whole list of columns");
        }
        while (i + 2 < mTokens.size() && IsSymbol(mTokens[i + 1], ".") &&
               mTokens[i + 2].Kind == TokenKind::Word) {
            i += 2;
        }
        if (mTokens[i].Text.empty()) RefuseShape("a column without a name");
        mInsertColumns.push_back(mTokens[i].Text);
        if (++i < mTokens.size() && IsSymbol(mTokens[i], ")")) break;
        if (i >= mTokens.size() || !IsSymbol(mTokens[i], ",")) {
            RefuseShape("INSERT without a whole list of columns");
        }
    }
    if (i + 2 >= mTokens.size() || !IsKeyword(mTokens[i + 1], "VALUES") ||
        !IsSymbol(mTokens[i + 2], "(")) {
        RefuseShape("INSERT without VALUES");
    }
    const int depth = mDepth[i + 2] + 1;  // of the values' own tokens
    std::size_t column = 0;
    std::size_t start = i + 3;
    for (std::size_t j = start;; ++j) {
        if (j >= mTokens.size()) RefuseShape("VALUES without its closing parenthesis");
        const bool closes = mDepth[j] < depth;
        if (!closes && !(mDepth[j] == depth && IsSymbol(mTokens[j], ","))) {
            if (mDepth[j] == depth) mValuesColumn[j] = static_cast<int>(column);
            continue;
        }
        if (j > start && column < mInsertColumns.size()) {
            mValues.push_back({mInsertColumns[column], start, j - 1});
        }
        ++column;
        start = j + 1;
        if (closes) {
            if (start < mTokens.size() && !IsSymbol(mTokens[start], ";")) {
                RefuseShape("more than one row of VALUES");
            }
            break;
        }
    }
    if (mValues.size() != mInsertColumns.size() || column != mInsertColumns.size()) mValues.clear();
}

std::optional<ValuePlace> StatementShape::PlaceOf(std::size_t first, std::size_t last) const {
    std::size_t before = first;
    while (before > 0 && IsSymbol(mTokens[before - 1], "("))
        --before;
    if (before > 0 && IsComparison(mTokens[before - 1])) {
        std::size_t operand = before - 1;
        while (operand > 0 && IsSymbol(mTokens[operand - 1], ")"))
            --operand;
        if (operand == 0 || !IsColumnWord(mTokens[operand - 1])) return ValuePlace{};
        return ValuePlace{TargetAt(mTokens, operand - 1)};
    }
    std::size_t after = last;
    while (after + 1 < mTokens.size() && IsSymbol(mTokens[after + 1], ")"))
        ++after;
    if (after + 1 < mTokens.size() && IsComparison(mTokens[after + 1])) {
        std::size_t operand = after + 2;
        while (operand < mTokens.size() && IsSymbol(mTokens[operand], "("))
            ++operand;
        if (operand >= mTokens.size() || !IsColumnWord(mTokens[operand])) return ValuePlace{};
        const bool isQualified = operand + 2 < mTokens.size() &&
                                 IsSymbol(mTokens[operand + 1], ".") &&
                                 IsColumnWord(mTokens[operand + 2]);
        return ValuePlace{TargetAt(mTokens, isQualified ? operand + 2 : operand)};
    }
    const int position = mValuesColumn[last];
    if (position < 0 || first == 0 || last + 1 >= mTokens.size()) return std::nullopt;
    const Token& previous = mTokens[first - 1];
    const Token& next = mTokens[last + 1];
    const bool startsElement = (IsSymbol(previous, "(") && mDepth[first - 1] + 1 == mDepth[last]) ||
                               (IsSymbol(previous, ",") && mDepth[first - 1] == mDepth[last]);
    const bool endsElement = (IsSymbol(next, ")") && mDepth[last + 1] + 1 == mDepth[last]) ||
                             (IsSymbol(next, ",") && mDepth[last + 1] == mDepth[last]);
    if (!startsElement || !endsElement) return std::nullopt;
    if (static_cast<std::size_t>(position) >= mInsertColumns.size()) return ValuePlace{};
    return ValuePlace{ColumnTarget{mTable, mInsertColumns[static_cast<std::size_t>(position)]}};
}

std::vector<Assignment> StatementShape::Assignments() const {
    if (mVerb == StatementVerb::Insert) return mValues;
    std::vector<Assignment> assignments;
    if (mVerb != StatementVerb::Update) return assignments;
    // SET name = value, ... up to WHERE or the end, names qualified or not.
    std::size_t i = 0;
    while (i < mTokens.size() && !IsKeyword(mTokens[i], "SET"))
        ++i;
    while (++i < mTokens.size()) {
        std::size_t name = i;
        while (name + 2 < mTokens.size() && mTokens[name].Kind == TokenKind::Word &&
               IsSymbol(mTokens[name + 1], ".")) {
            name += 2;
        }
        if (name + 1 >= mTokens.size() || !IsColumnWord(mTokens[name]) ||
            !IsSymbol(mTokens[name + 1], "=")) {
            break;
        }
        const std::size_t start = name + 2;
        std::size_t end = start;
        // A ")" at the value's own depth closes a parenthesis the value opened.
        while (end < mTokens.size() && mDepth[end] >= 0 &&
               !(mDepth[end] == 0 && (IsSymbol(mTokens[end], ",") || IsSymbol(mTokens[end], ";") ||
                                      IsKeyword(mTokens[end], "WHERE")))) {
            ++end;
        }
        if (end == start) break;
        assignments.push_back({mTokens[name].Text, start, end - 1});
        if (end >= mTokens.size() || !IsSymbol(mTokens[end], ",")) break;
        i = end;
    }
    return assignments;
}

StatementReading::StatementReading(std::string_view statement) {
    try {
        mTokens = TokenizeAccessSql(statement);
        mShape.emplace(mTokens);
    } catch (const SyntaxError&) {
        mTokens.clear();
    }
}

}  // namespace almanoria::dialect
