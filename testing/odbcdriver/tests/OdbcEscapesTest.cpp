#include "testing/odbcdriver/OdbcEscapes.hpp"

#include <gtest/gtest.h>

#include "testing/odbcdriver/DriverError.hpp"

namespace almanoria::odbcdriver {
namespace {

std::string StateOf(std::string_view statement) {
    try {
        RewriteOdbcEscapes(statement);
    } catch (const DriverError& error) {
        return error.Record.State;
    }
    return "none";
}

TEST(RewriteOdbcEscapes, DateAndTimeEscapesBecomeAccessLiterals) {
    EXPECT_EQ(RewriteOdbcEscapes(
                  "INSERT INTO Dates (DateKey, DateColor) VALUES ({d '2012-05-06'},'Red');"),
              "INSERT INTO Dates (DateKey, DateColor) VALUES (#2012-05-06#,'Red');");
    EXPECT_EQ(
        RewriteOdbcEscapes("UPDATE T SET A = { ts '2012-12-31 23:59:58.5' }, B = {t '07:30:00'}"),
        "UPDATE T SET A = #2012-12-31 23:59:58.5#, B = #07:30:00#");
    EXPECT_EQ(RewriteOdbcEscapes("SELECT {D '2012-02-29'}"), "SELECT #2012-02-29#");
}

TEST(RewriteOdbcEscapes, QuotedTextNamesAndLiteralsStayAsTheyAre) {
    const std::string statement =
        "INSERT INTO [odd {d name}] (A, B, C) VALUES ('it''s {d ''2012-01-01''}', \"{fn x}\", "
        "#1/1/2012#);";
    EXPECT_EQ(RewriteOdbcEscapes(statement), statement);
    EXPECT_EQ(RewriteOdbcEscapes("SELECT * FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));"),
              "SELECT * FROM Dates WHERE (((Dates.DateKey)=#5/6/2012#));");
}

TEST(RewriteOdbcEscapes, MalformedDatesAndOtherEscapesAreRefused) {
    // Only the canonical forms are dates: anything else would be read by the regional settings.
    EXPECT_EQ(StateOf("VALUES ({d '5/6/2012'})"), "22007");
    EXPECT_EQ(StateOf("VALUES ({d '2012-5-6'})"), "22007");
    EXPECT_EQ(StateOf("VALUES ({ts '2012-05-06'})"), "22007");
    EXPECT_EQ(StateOf("VALUES ({ts '2012-05-06 00:00:00.'})"), "22007");
    EXPECT_EQ(StateOf("VALUES ({d 2012-05-06})"), "22007");
    EXPECT_EQ(StateOf("SELECT {fn NOW()}"), "HYC00");
    EXPECT_EQ(StateOf("SELECT * FROM {oj A LEFT OUTER JOIN B ON A.x = B.x}"), "HYC00");
    EXPECT_EQ(StateOf("{call Update2012}"), "HYC00");
    EXPECT_EQ(StateOf("SELECT {d '2012-05-06'"), "42000");
}

}  // namespace
}  // namespace almanoria::odbcdriver
