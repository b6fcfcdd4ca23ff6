#include "database/dialect/StatementShape.hpp"

#include <algorithm>
#include <initializer_list>

#include "database/Names.hpp"

namespace almanoria::dialect {

namespace {

// Words that follow a table name and so are not its alias.
bool IsClauseKeyword(const Token& token) {
    return IsAnyKeyword(
        token, {"WHERE",  "SET",     "VALUES",    "SELECT",  "INNER", "LEFT",   "RIGHT",
                "FULL",   "OUTER",   "CROSS",     "NATURAL", "JOIN",  "ON",     "USING",
                "ORDER",  "GROUP",   "HAVING",    "LIMIT",   "UNION", "EXCEPT", "INTERSECT",
                "WINDOW", "DEFAULT", "RETURNING", "INDEXED", "NOT"});
}

// A name that may be a column's: not a keyword of a value, not an empty [] or ``.
bool IsColumnWord(const Token& token) {
    return token.Kind == TokenKind::Word && !token.Text.empty() &&
           !IsAnyKeyword(token, {"NULL", "TRUE", "FALSE", "END"});
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

}  // namespace

StatementShape::StatementShape(const std::vector<Token>& tokens)
    : mTokens(tokens),
      mVerb(VerbOf(tokens)),
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

std::optional<ValuePlace> StatementShape::PlaceOf(std::size_t first, std::size_t last) const {
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
        if (operand >= mTokens.size() || !IsColumnWord(mTokens[operand])) return ValuePlace{};
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
    const bool startsElement = (IsSymbol(previous, "(") && mDepth[first - 1] + 1 == mDepth[last]) ||
                               (IsSymbol(previous, ",") && mDepth[first - 1] == mDepth[last]);
    const bool endsElement = (IsSymbol(next, ")") && mDepth[last + 1] + 1 == mDepth[last]) ||
                             (IsSymbol(next, ",") && mDepth[last + 1] == mDepth[last]);
    if (!startsElement || !endsElement) return std::nullopt;
    ColumnTarget target;
    target.Table = mTargetTable;
    if (mHasColumnList && mInsertColumns.empty()) {
        return ValuePlace{};  // a column list the engine will refuse
    } else if (mInsertColumns.empty()) {
        target.Position = position;
    } else if (static_cast<std::size_t>(position) < mInsertColumns.size()) {
        target.Column = mInsertColumns[static_cast<std::size_t>(position)];
    } else {
        return ValuePlace{};
    }
    return ValuePlace{target};
}

std::vector<Assignment> StatementShape::Assignments() const {
    std::vector<Assignment> assignments;
    if (mVerb == StatementVerb::Insert) AddInsertAssignments(assignments);
    if (mVerb == StatementVerb::Update) AddUpdateAssignments(assignments);
    return assignments;
}

// Each tuple of VALUES as long as the column list, element by element.
void StatementShape::AddInsertAssignments(std::vector<Assignment>& assignments) const {
    if (mInsertColumns.empty()) return;
    for (const ValuesTuple& tuple : ValuesTuples()) {
        const auto& elements = tuple.Elements;
        const bool isWhole = std::all_of(elements.begin(), elements.end(),
                                         [](const ValuesElement& e) { return e.End > e.First; });
        if (!isWhole || elements.size() != mInsertColumns.size()) continue;
        for (std::size_t k = 0; k < elements.size(); ++k) {
            assignments.push_back({mInsertColumns[k], elements[k].First, elements[k].End - 1});
        }
    }
}

// SET name = value, ... up to WHERE or the end, names qualified or not.
void StatementShape::AddUpdateAssignments(std::vector<Assignment>& assignments) const {
    std::size_t i = 0;
    while (i < mTokens.size() && !IsKeyword(mTokens[i], "SET"))
        ++i;
    const int depth = 0;
    while (++i < mTokens.size()) {
        std::size_t name = i;
        while (name + 2 < mTokens.size() && mTokens[name].Kind == TokenKind::Word &&
               IsSymbol(mTokens[name + 1], ".")) {
            name += 2;
        }
        if (name + 1 >= mTokens.size() || !IsColumnWord(mTokens[name]) ||
            !IsSymbol(mTokens[name + 1], "=")) {
            return;
        }
        const std::size_t start = name + 2;
        std::size_t end = start;
        // A ")" at the value's own depth closes a parenthesis the value opened.
        while (
            end < mTokens.size() && mDepth[end] >= depth &&
            !(mDepth[end] == depth && (IsSymbol(mTokens[end], ",") || IsSymbol(mTokens[end], ";") ||
                                       IsKeyword(mTokens[end], "WHERE")))) {
            ++end;
        }
        if (end == start) return;
        assignments.push_back({mTokens[name].Text, start, end - 1});
        if (end >= mTokens.size() || !IsSymbol(mTokens[end], ",")) return;
        i = end;
    }
}

ColumnTarget StatementShape::Target(const std::string& qualifier, const std::string& column) const {
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

void StatementShape::AddTable(const std::string& name) {
    const auto known = std::find_if(mTables.begin(), mTables.end(), [&](const std::string& table) {
        return SameName(table, name);
    });
    if (known == mTables.end()) mTables.push_back(name);
}

// Reads "name [[AS] alias] [, ...]" from position; returns where it stopped.
std::size_t StatementShape::ReadTableList(std::size_t position, bool allowsList) {
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
        if (mTargetTable.empty() && mVerb != StatementVerb::Select &&
            mVerb != StatementVerb::Other) {
            mTargetTable = name;
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

void StatementShape::ReadTables() {
    for (std::size_t i = 0; i < mTokens.size(); ++i) {
        if (i == 0 && mVerb == StatementVerb::Update) {
            // UPDATE [OR action] table
            std::size_t start = 1;
            if (start + 1 < mTokens.size() && IsKeyword(mTokens[start], "OR")) start += 2;
            ReadTableList(start, false);
        } else if (IsKeyword(mTokens[i], "INTO") && mVerb == StatementVerb::Insert &&
                   mTargetTable.empty()) {
            const std::size_t after = ReadTableList(i + 1, false);
            if (after < mTokens.size() && IsSymbol(mTokens[after], "(")) ReadColumnList(after);
        } else if (IsAnyKeyword(mTokens[i], {"FROM", "JOIN"})) {
            ReadTableList(i + 1, IsKeyword(mTokens[i], "FROM"));
        }
    }
}

// The last part of each element is the column's name: "Dates.DateKey" names DateKey. A list
// with an empty element names no column at all.
void StatementShape::ReadColumnList(std::size_t open) {
    mHasColumnList = true;
    std::string column;
    for (std::size_t i = open + 1; i < mTokens.size() && mDepth[i] > mDepth[open]; ++i) {
        if (mTokens[i].Kind == TokenKind::Word) {
            column = mTokens[i].Text;
        } else if (IsSymbol(mTokens[i], ",") && mDepth[i] == mDepth[open] + 1) {
            if (column.empty()) break;
            mInsertColumns.push_back(column);
            column.clear();
        }
    }
    if (column.empty()) {
        mInsertColumns.clear();
        return;
    }
    mInsertColumns.push_back(column);
}

// One tuple after another: (a, b), (c, d). A tuple without its closing ")" is none, and ends
// the walk, since everything after it lies inside it: the engine refuses the statement.
std::vector<StatementShape::ValuesTuple> StatementShape::ValuesTuples() const {
    std::vector<ValuesTuple> tuples;
    for (std::size_t i = 0; i < mTokens.size(); ++i) {
        if (!IsKeyword(mTokens[i], "VALUES")) continue;
        const int depth = mDepth[i];
        std::size_t j = i + 1;
        while (j < mTokens.size() && IsSymbol(mTokens[j], "(") && mDepth[j] == depth) {
            ValuesTuple tuple{depth + 1, {}};
            std::size_t start = ++j;
            for (; j < mTokens.size() && mDepth[j] > depth; ++j) {
                if (IsSymbol(mTokens[j], ",") && mDepth[j] == tuple.Depth) {
                    tuple.Elements.push_back({start, j});
                    start = j + 1;
                }
            }
            if (j >= mTokens.size()) return tuples;
            tuple.Elements.push_back({start, j});
            tuples.push_back(std::move(tuple));
            ++j;
            if (j < mTokens.size() && IsSymbol(mTokens[j], ",")) ++j;
        }
    }
    return tuples;
}

void StatementShape::ReadValuesLists() {
    for (const ValuesTuple& tuple : ValuesTuples()) {
        for (std::size_t column = 0; column < tuple.Elements.size(); ++column) {
            const ValuesElement& element = tuple.Elements[column];
            for (std::size_t j = element.First; j < element.End; ++j) {
                if (mDepth[j] == tuple.Depth) mValuesColumn[j] = static_cast<int>(column);
            }
        }
    }
}

}  // namespace almanoria::dialect
