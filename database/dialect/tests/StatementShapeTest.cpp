// The shape of a statement: which value goes into which column, and which tables it names.

#include "database/dialect/StatementShape.hpp"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace almanoria::dialect {
namespace {

// Each assignment as column and the statement's text of its value.
std::vector<std::pair<std::string, std::string>> AssignmentsOf(const std::string& statement) {
    const std::vector<Token> tokens = TokenizeAccessSql(statement);
    const StatementShape shape(tokens);
    std::vector<std::pair<std::string, std::string>> found;
    for (const Assignment& assignment : shape.Assignments()) {
        const std::size_t begin = tokens[assignment.First].Begin;
        found.emplace_back(assignment.Column,
                           statement.substr(begin, tokens[assignment.Last].End - begin));
    }
    return found;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(StatementShape, TheProgramsInsertsAndUpdatesPairEachValueWithItsColumn) {
    EXPECT_EQ(AssignmentsOf("INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, "
                            "DateText) VALUES ('5/6/2012','White','0','','it''s');"),
              (Pairs{{"DateKey", "'5/6/2012'"},
                     {"DateColor", "'White'"},
                     {"EventCount", "'0'"},
                     {"DateNotes", "''"},
                     {"DateText", "'it''s'"}}));
    EXPECT_EQ(AssignmentsOf("UPDATE Dates SET DateColor = 'Red', DateText = '' WHERE "
                            "(((Dates.DateKey)=#5/6/2012#));"),
              (Pairs{{"DateColor", "'Red'"}, {"DateText", "''"}}));
    EXPECT_EQ(
        AssignmentsOf("UPDATE Dates SET EventCount = 3 WHERE (((Dates.DateKey)=#5/6/2012#));"),
        (Pairs{{"EventCount", "3"}}));
}

TEST(StatementShape, QualifiedBracketedAndWholeExpressionValues) {
    EXPECT_EQ(AssignmentsOf("update [Dates] set [Dates].[DateKey]='1/2/2012', n = (1 + 2), "
                            "t = 'a' & 'b'"),
              (Pairs{{"DateKey", "'1/2/2012'"}, {"n", "(1 + 2)"}, {"t", "'a' & 'b'"}}));
    EXPECT_EQ(AssignmentsOf("INSERT INTO t (Dates.a, b) VALUES ('1', f(2, 3)), ('4', '5')"),
              (Pairs{{"a", "'1'"}, {"b", "f(2, 3)"}, {"a", "'4'"}, {"b", "'5'"}}));
}

TEST(StatementShape, NothingWhereColumnsAndValuesDoNotPairUp) {
    for (const char* statement :
         {"INSERT INTO t (a, b) VALUES ('1')", "INSERT INTO t VALUES ('1', '2')",
          "INSERT INTO t (a) SELECT b FROM u", "INSERT INTO t (a) VALUES ('1'",
          "INSERT INTO t (a,, b) VALUES ('1', '2', '3')", "INSERT INTO t () VALUES ()",
          "SELECT * FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));", "DELETE FROM t WHERE a='1'",
          "UPDATE t SET = '1'"}) {
        EXPECT_TRUE(AssignmentsOf(statement).empty()) << statement;
    }
}

// A tuple that never closes holds no values, though the tuples before it do.
TEST(StatementShape, ATupleWithoutItsClosingParenthesisHoldsNoValues) {
    const std::vector<Token> tokens =
        TokenizeAccessSql("INSERT INTO t (a, b) VALUES (1, 2), (3, 4");
    const StatementShape shape(tokens);
    std::vector<std::string> placed;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].Kind != TokenKind::Number) continue;
        const auto place = shape.PlaceOf(i, i);
        if (place) placed.push_back(tokens[i].Text + (place->Target ? place->Target->Column : "?"));
    }
    EXPECT_EQ(placed, (std::vector<std::string>{"1a", "2b"}));
    EXPECT_EQ(AssignmentsOf("INSERT INTO t (a, b) VALUES (1, 2), (3, 4"),
              (Pairs{{"a", "1"}, {"b", "2"}}));
    // The shape refers to its tokens, so it cannot be made from a temporary list.
    static_assert(!std::is_constructible_v<StatementShape, std::vector<Token>>);
}

TEST(StatementShape, VerbTablesAndTheColumnEachLiteralIsComparedWith) {
    const std::vector<Token> tokens = TokenizeAccessSql(
        "SELECT * FROM Events AS e, EventDates d WHERE (e.EventID)=5 AND "
        "'x' = d.EventDate");
    const StatementShape shape(tokens);
    EXPECT_EQ(shape.Verb(), StatementVerb::Select);
    EXPECT_EQ(shape.Tables(), (std::vector<std::string>{"Events", "EventDates"}));
    EXPECT_TRUE(shape.TargetTable().empty());
    std::vector<ColumnTarget> targets;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].Kind != TokenKind::Number && tokens[i].Kind != TokenKind::Text) continue;
        const auto place = shape.PlaceOf(i, i);
        ASSERT_TRUE(place && place->Target) << tokens[i].Text;
        targets.push_back(*place->Target);
    }
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0].Table, "Events");
    EXPECT_EQ(targets[0].Column, "EventID");
    EXPECT_EQ(targets[1].Table, "EventDates");
    EXPECT_EQ(targets[1].Column, "EventDate");
}

}  // namespace
}  // namespace almanoria::dialect
