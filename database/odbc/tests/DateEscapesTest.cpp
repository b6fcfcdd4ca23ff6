#include "database/odbc/DateEscapes.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace almanoria {
namespace {

// Answers as the calendar's schema would and remembers what it was asked.
struct Schema {
    std::vector<std::pair<std::string, std::string>> Asked;
    DateColumnTest Test() {
        return [this](std::string_view table, std::string_view column) {
            Asked.emplace_back(table, column);
            return column == "DateKey" || column == "EventDate" || column == "Stamp";
        };
    }
};

TEST(EscapeDateValues, InsertValuesIntoDateColumnsBecomeDateEscapes) {
    Schema schema;
    EXPECT_EQ(EscapeDateValues("INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, "
                               "DateText) VALUES ('5/6/2012','White','0','','Ascension');",
                               schema.Test()),
              "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES "
              "({d '2012-05-06'},'White','0','','Ascension');");
    EXPECT_EQ(EscapeDateValues("INSERT INTO EventDates (EventId, EventDate) VALUES "
                               "('17','12/31/2012');",
                               schema.Test()),
              "INSERT INTO EventDates (EventId, EventDate) VALUES ('17',{d '2012-12-31'});");
    // Only the values that look like dates make it ask about their columns.
    const std::vector<std::pair<std::string, std::string>> asked = {{"Dates", "DateKey"},
                                                                    {"EventDates", "EventDate"}};
    EXPECT_EQ(schema.Asked, asked);
}

TEST(EscapeDateValues, EverythingElseStaysCharacterForCharacter) {
    Schema schema;
    const std::string notes =
        "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES "
        "('1/1/2012','White','0','','Mary''s day {d ''x''}, (see 1/2/2012)');";
    EXPECT_EQ(EscapeDateValues(notes, schema.Test()),
              "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES "
              "({d '2012-01-01'},'White','0','','Mary''s day {d ''x''}, (see 1/2/2012)');");
    // A date-like text into a column that holds no dates is left as it is.
    EXPECT_EQ(EscapeDateValues("INSERT INTO Dates (DateColor) VALUES ('5/6/2012');", schema.Test()),
              "INSERT INTO Dates (DateColor) VALUES ('5/6/2012');");
}

TEST(EscapeDateValues, UpdateMendsTheSetListAndLeavesTheWhereClause) {
    Schema schema;
    EXPECT_EQ(EscapeDateValues("UPDATE Dates SET DateKey = '5/6/2012', DateColor = 'Red' WHERE "
                               "(((Dates.DateKey)=#5/6/2012#));",
                               schema.Test()),
              "UPDATE Dates SET DateKey = {d '2012-05-06'}, DateColor = 'Red' WHERE "
              "(((Dates.DateKey)=#5/6/2012#));");
    // The program's own updates write no dates and pass unchanged.
    const std::string colours =
        "UPDATE Dates SET DateColor = 'Green', DateText = '' WHERE "
        "(((Dates.DateKey)=#1/8/2012#));";
    EXPECT_EQ(EscapeDateValues(colours, schema.Test()), colours);
    const std::string count =
        "UPDATE Dates SET EventCount = 2 WHERE (((Dates.DateKey)=#1/8/2012#));";
    EXPECT_EQ(EscapeDateValues(count, schema.Test()), count);
    // A quoted date compared in the WHERE clause is no value being written.
    const std::string compared = "UPDATE Dates SET DateColor = 'Red' WHERE DateKey = '5/6/2012';";
    EXPECT_EQ(EscapeDateValues(compared, schema.Test()), compared);
}

TEST(EscapeDateValues, QueriesPassUnchangedWithoutAsking) {
    Schema schema;
    for (const std::string query : {
             "SELECT * FROM Dates WHERE (((Dates.DateKey)=#1/1/2012#));",
             "SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#12/31/2012#));",
             "SELECT @@IDENTITY",
             "DELETE FROM Dates WHERE DateKey = '5/6/2012';",
         }) {
        EXPECT_EQ(EscapeDateValues(query, schema.Test()), query);
    }
    EXPECT_TRUE(schema.Asked.empty());
}

TEST(EscapeDateValues, OnlyRealMonthFirstDatesAndTimesOfDayAreMended) {
    Schema schema;
    const auto mended = [&](const std::string& value) {
        return EscapeDateValues("INSERT INTO T (Stamp) VALUES ('" + value + "')", schema.Test());
    };
    EXPECT_EQ(mended("2/29/2012"), "INSERT INTO T (Stamp) VALUES ({d '2012-02-29'})");
    EXPECT_EQ(mended("05/06/2012"), "INSERT INTO T (Stamp) VALUES ({d '2012-05-06'})");
    EXPECT_EQ(mended("12/1/1999"), "INSERT INTO T (Stamp) VALUES ({d '1999-12-01'})");
    // Times, which the regional settings may spell without AM and PM.
    EXPECT_EQ(mended("0:00 AM"), "INSERT INTO T (Stamp) VALUES ({t '00:00:00'})");
    EXPECT_EQ(mended("11:59 PM"), "INSERT INTO T (Stamp) VALUES ({t '23:59:00'})");
    EXPECT_EQ(mended("7:05:09"), "INSERT INTO T (Stamp) VALUES ({t '07:05:09'})");
    for (const std::string notADate :
         {"13/1/2012", "0/5/2012", "2/30/2012", "2/29/2011", "4/31/2012", "5/6/12", " 5/6/2012",
          "5/6/2012 0:00", "5-6-2012", "0:00 XM", "24:00", "", "123/4/2012", "5/6/20120"}) {
        EXPECT_EQ(mended(notADate), "INSERT INTO T (Stamp) VALUES ('" + notADate + "')")
            << notADate;
    }
}

TEST(EscapeDateValues, NamesAreFoundQualifiedOrBracketed) {
    Schema schema;
    EXPECT_EQ(
        EscapeDateValues("insert into [Dates] ([DateKey], DateColor) values ('1/2/2012', 'x')",
                         schema.Test()),
        "insert into [Dates] ([DateKey], DateColor) values ({d '2012-01-02'}, 'x')");
    EXPECT_EQ(EscapeDateValues("UPDATE [Dates] SET [Dates].[DateKey]='1/3/2012'", schema.Test()),
              "UPDATE [Dates] SET [Dates].[DateKey]={d '2012-01-03'}");
    EXPECT_EQ(EscapeDateValues("UPDATE Dates SET Dates.DateKey='1/4/2012';", schema.Test()),
              "UPDATE Dates SET Dates.DateKey={d '2012-01-04'};");
    const std::vector<std::pair<std::string, std::string>> asked = {
        {"Dates", "DateKey"}, {"Dates", "DateKey"}, {"Dates", "DateKey"}};
    EXPECT_EQ(schema.Asked, asked);
}

TEST(EscapeDateValues, StatementsItCannotFollowPassUnchanged) {
    Schema schema;
    for (const std::string statement : {
             "INSERT INTO Dates (DateKey, DateColor) VALUES ('5/6/2012');",
             "INSERT INTO Dates (DateKey) VALUES ('5/6/2012', 'White');",
             "INSERT INTO Dates (DateKey) VALUES ('5/6/2012",
             "INSERT INTO Dates (DateKey) SELECT '5/6/2012';",
             "INSERT INTO Dates VALUES ('5/6/2012');",
             "INSERT INTO Dates (DateKey) VALUES ('5/6/2012' & '');",
             "UPDATE Dates SET DateKey = ('5/6/2012') WHERE 1=1;",
             "UPDATE Dates DateKey = '5/6/2012';",
             "UPDATE [Dates SET DateKey = '5/6/2012';",
         }) {
        EXPECT_EQ(EscapeDateValues(statement, schema.Test()), statement);
    }
}

}  // namespace
}  // namespace almanoria
