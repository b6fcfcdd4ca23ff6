// The shape of a statement: which value goes into which column, and which table it names.

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
    EXPECT_EQ(AssignmentsOf("INSERT INTO t (Dates.a, b) VALUES ('1', f(2, 3));"),
              (Pairs{{"a", "'1'"}, {"b", "f(2, 3)"}}));
}

TEST(StatementShape, NothingWhereColumnsAndValuesDoNotPairUp) {
    for (const char* statement :
         {"INSERT INTO t (a, b) VALUES ('1')", "INSERT INTO t (a) VALUES ('1', '2')",
          "INSERT INTO t (a, b) VALUES (, '2')",
          "SELECT * FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));", "DELETE FROM t WHERE a='1'",
          "UPDATE t SET = '1'"}) {
        EXPECT_TRUE(AssignmentsOf(statement).empty()) << statement;
    }
    // The shape refers to its tokens, so it cannot be made from a temporary list.
    static_assert(!std::is_constructible_v<StatementShape, std::vector<Token>>);
}

// What the program never writes is refused, not guessed at, as the Access driver refuses
// what it lacks.
TEST(StatementShape, RefusesMoreThanTheProgramWrites) {
    for (const char* statement :
         {"SELECT * FROM Events e",
          "SELECT * FROM Events AS e",
          "SELECT * FROM Events, Dates",
          "SELECT * FROM main.Dates",
          "SELECT * FROM Events INNER JOIN EventDates ON 1 = 1",
          "SELECT * FROM Dates WHERE EventCount IN (SELECT EventId FROM EventDates)",
          "SELECT * FROM Dates ORDER BY DateKey",
          "SELECT count(*) FROM Dates GROUP BY DateColor",
          "SELECT * FROM Dates LIMIT 1",
          "SELECT 1 UNION SELECT 2",
          "WITH d AS (SELECT 1) SELECT 1",
          "INSERT INTO t VALUES ('1', '2')",
          "INSERT INTO t (a) VALUES ('1'), ('2')",
          "INSERT INTO t (a) SELECT b FROM u",
          "INSERT INTO t (a) VALUES ('1'",
          "INSERT INTO t (a,, b) VALUES ('1', '2')",
          "INSERT INTO t () VALUES ()",
          "INSERT INTO t ([]) VALUES (1)",
          "REPLACE INTO t (a) VALUES ('1')",
          "UPDATE OR IGNORE t SET a = '1'",
          "DELETE FROM t AS x WHERE a = '1'"}) {
        const std::vector<Token> tokens = TokenizeAccessSql(statement);
        EXPECT_THROW(StatementShape{tokens}, SyntaxError) << statement;
    }
}

TEST(StatementShape, VerbTablesAndTheColumnEachLiteralIsComparedWith) {
    const std::vector<Token> tokens =
        TokenizeAccessSql("SELECT * FROM Events WHERE (Events.EventID)=5 AND 'x' = [EventName]");
    const StatementShape shape(tokens);
    EXPECT_EQ(shape.Verb(), StatementVerb::Select);
    EXPECT_EQ(shape.Table(), "Events");
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
    EXPECT_EQ(targets[1].Table, "");
    EXPECT_EQ(targets[1].Column, "EventName");
}

}  // namespace
}  // namespace almanoria::dialect
