#pragma once

// The shape of an Access SQL statement: what it does, the table it names, and which column each
// literal is compared with or written into. It reads the statements the program writes: one
// table, no alias, one row of VALUES under a column list; SELECT, INSERT, UPDATE or DELETE
// with more is a SyntaxError, as the Access driver refuses what it does not read.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/dialect/AccessDialect.hpp"

namespace almanoria::dialect {

enum class StatementVerb { Select, Insert, Update, Delete, Other };

// The column that a literal is compared with or assigned to.
struct ColumnTarget {
    std::string Table;  // empty when the statement does not say: its own table
    std::string Column;
};

// Where a literal stands as a value; Target when the statement says which column.
struct ValuePlace {
    std::optional<ColumnTarget> Target;
};

// A value that an INSERT ... VALUES or an UPDATE ... SET writes: tokens First..Last.
struct Assignment {
    std::string Column;
    std::size_t First = 0;
    std::size_t Last = 0;
};

class StatementShape {
  public:
    // The shape refers to tokens, which must outlive it: a temporary list is refused.
    explicit StatementShape(const std::vector<Token>& tokens);
    explicit StatementShape(const std::vector<Token>&& tokens) = delete;

    StatementVerb Verb() const { return mVerb; }
    const std::string& Table() const { return mTable; }  // empty for none, and for Other

    // The place of a literal (tokens first..last, first being its sign) when it stands as a
    // value: compared with a column, assigned, or an element of the VALUES list.
    std::optional<ValuePlace> PlaceOf(std::size_t first, std::size_t last) const;

    // The values of an INSERT and of an UPDATE's SET list, each with the column it goes into
    // (the name as written, without its table); none for anything else.
    std::vector<Assignment> Assignments() const;

  private:
    void ReadTable(std::size_t position);
    void ReadInsert(std::size_t into);

    const std::vector<Token>& mTokens;
    StatementVerb mVerb = StatementVerb::Other;
    std::string mTable;
    std::vector<int> mDepth;
    std::vector<int> mValuesColumn;
    std::vector<std::string> mInsertColumns;
    std::vector<Assignment> mValues;  // of the INSERT
};

// A statement as a mending reader takes it: its tokens and its shape when the dialect reads
// it, none when it cannot, so that the statement goes on as it stands for the engine or the
// driver beneath to report.
class StatementReading {
  public:
    explicit StatementReading(std::string_view statement);
    StatementReading(const StatementReading&) = delete;  // the shape refers to the tokens
    StatementReading& operator=(const StatementReading&) = delete;

    bool IsRead() const { return mShape.has_value(); }
    const std::vector<Token>& Tokens() const { return mTokens; }
    const StatementShape& Shape() const { return *mShape; }  // only when IsRead

  private:
    std::vector<Token> mTokens;
    std::optional<StatementShape> mShape;
};

}  // namespace almanoria::dialect
