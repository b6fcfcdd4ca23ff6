#pragma once

// The shape of an Access SQL statement: what it does, the tables it names, and which column each
// literal is compared with or written into.

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "database/dialect/AccessDialect.hpp"

namespace almanoria::dialect {

enum class StatementVerb { Select, Insert, Update, Delete, Other };

// The column that a literal is compared with or assigned to.
struct ColumnTarget {
    std::string Table;   // empty when the statement does not say: any of its tables
    std::string Column;  // empty for an INSERT without a column list: see Position
    int Position = -1;
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
    const std::string& TargetTable() const { return mTargetTable; }     // INSERT, UPDATE, DELETE
    const std::vector<std::string>& Tables() const { return mTables; }  // in order, once each

    // The place of a literal (tokens first..last, first being its sign) when it stands as a
    // value: compared with a column, assigned, or alone in a VALUES list.
    std::optional<ValuePlace> PlaceOf(std::size_t first, std::size_t last) const;

    // The values of an INSERT with a column list and of an UPDATE's SET list, each with the
    // column it goes into (the name as written, without its table); none for anything else.
    std::vector<Assignment> Assignments() const;

  private:
    // One element of a VALUES tuple: tokens First up to End, one past it.
    struct ValuesElement {
        std::size_t First = 0;
        std::size_t End = 0;
    };
    struct ValuesTuple {
        int Depth = 0;  // of the elements' own tokens
        std::vector<ValuesElement> Elements;
    };

    ColumnTarget Target(const std::string& qualifier, const std::string& column) const;
    void AddTable(const std::string& name);
    std::size_t ReadTableList(std::size_t position, bool allowsList);
    void ReadTables();
    void ReadColumnList(std::size_t open);
    std::vector<ValuesTuple> ValuesTuples() const;
    void ReadValuesLists();
    void AddInsertAssignments(std::vector<Assignment>& assignments) const;
    void AddUpdateAssignments(std::vector<Assignment>& assignments) const;

    const std::vector<Token>& mTokens;
    StatementVerb mVerb = StatementVerb::Other;
    std::string mTargetTable;
    std::vector<std::string> mTables;
    std::vector<int> mDepth;
    std::vector<int> mValuesColumn;
    bool mHasColumnList = false;
    std::vector<std::string> mInsertColumns;
    std::vector<std::pair<std::string, std::string>> mAliases;  // alias, table
};

}  // namespace almanoria::dialect
