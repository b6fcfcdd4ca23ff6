#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "tools/calendardb/CalendarDatabase.hpp"
#include "update/tests/HardeningSupport.hpp"

namespace almanoria::testing {
namespace {

namespace fs = std::filesystem;

// What a calendar's own schema tries when the update writes to it. The file is the user's
// choice, so its triggers and views may run plain SQL on its own tables, but no function or
// table that reaches outside them (extensions, the schema itself, pragmas, the pages). ATTACH
// cannot stand in a trigger at all; SQLite refuses to create one that holds it.
struct HostileSchema {
    std::string Name;
    std::string Sql;  // run on an empty calendar with plain SQLite
    // Empty when the update must complete; else the one report it must give.
    std::string Module;
    long Line = 0;
    std::string Description;
    bool KeepsEveryByte = false;  // refused before anything was written
    bool RunFinishes = false;     // the failure is in the event pass
    int ResultCode = SQLITE_ERROR;
};

void PrintTo(const HostileSchema& schema, std::ostream* out) {
    *out << schema.Name;
}

class HostileSchemas : public ::testing::TestWithParam<HostileSchema> {
  protected:
    TempDir dir;
    fs::path file = MakeCalendar(dir);
};

TEST_P(HostileSchemas, RunNothingThatReachesOutsideAndAreReportedClearly) {
    const HostileSchema& schema = GetParam();
    ExecSql(file, schema.Sql);
    const std::string before = ReadFile(file);

    HeadlessUpdate update(dir.Path(), file);
    update.PressNext();
    if (schema.Module.empty()) {
        EXPECT_TRUE(update.box.Shown.empty()) << update.FirstBox();
        EXPECT_TRUE(update.Finished());
        ExpectWholeYear(file);
        return;
    }
    const auto reports = update.box.Reports();
    ASSERT_EQ(reports.size(), 1u) << update.FirstBox();
    EXPECT_EQ(reports[0].Module, schema.Module);
    EXPECT_EQ(reports[0].Line, schema.Line);
    EXPECT_EQ(reports[0].Number, EngineFailure(schema.ResultCode));
    EXPECT_EQ(reports[0].Description, schema.Description);
    EXPECT_EQ(update.Finished(), schema.RunFinishes);
    EXPECT_EQ(update.Failed(), !schema.RunFinishes);
    update.ReleaseConnection();
    if (schema.KeepsEveryByte) {
        EXPECT_EQ(ReadFile(file), before);
    }
    if (schema.RunFinishes) {
        EXPECT_EQ(StoredDays(file), TheYear().Days);
    }
    EXPECT_EQ(QueryValue(file, "PRAGMA integrity_check"), "ok");
    EXPECT_EQ(QueryValue(file, "PRAGMA journal_mode"), "delete");
    EXPECT_FALSE(HasCompanionFiles(file));
}

INSTANTIATE_TEST_SUITE_P(
    Calendars, HostileSchemas,
    ::testing::Values(
        HostileSchema{"TriggerLoadsAnExtension",
                      "CREATE TRIGGER Spy AFTER INSERT ON Dates BEGIN "
                      "SELECT load_extension('/tmp/almanoria-payload.so'); END;",
                      "frmMain.InitDates", 260, "unsafe use of load_extension()", true},
        HostileSchema{"TriggerRewritesTheSchema",
                      "CREATE TRIGGER Spy AFTER INSERT ON Dates BEGIN UPDATE sqlite_master SET "
                      "sql = 'CREATE TABLE Dates (Nothing)' WHERE name = 'Dates'; END;",
                      "frmMain.InitDates", 260, "table sqlite_master may not be modified", true},
        HostileSchema{"TriggerReadsThroughAPragma",
                      "CREATE TABLE Loot (Name TEXT);"
                      "CREATE TRIGGER Spy AFTER INSERT ON Dates BEGIN "
                      "INSERT INTO Loot SELECT name FROM pragma_database_list; END;",
                      "frmMain.InitDates", 260,
                      "unsafe use of virtual table \"pragma_database_list\"", true},
        HostileSchema{"TriggerReadsThePages",
                      "CREATE TABLE Loot (Size INTEGER);"
                      "CREATE TRIGGER Spy AFTER INSERT ON Dates BEGIN "
                      "INSERT INTO Loot SELECT sum(pgsize) FROM dbstat; END;",
                      "frmMain.InitDates", 260, "unsafe use of virtual table \"dbstat\"", true},
        HostileSchema{"ViewInPlaceOfDatesLoadsAnExtension",
                      "DROP TABLE Dates; CREATE VIEW Dates AS SELECT "
                      "load_extension('/tmp/almanoria-payload.so') AS DateKey, '' AS DateColor, "
                      "0 AS EventCount, '' AS DateNotes, '' AS DateText;",
                      "frmMain.InitDates", 140, "unsafe use of load_extension()", true},
        HostileSchema{"EventTriggerSwapsTheTokenizer",
                      "CREATE TRIGGER Spy AFTER INSERT ON Events BEGIN "
                      "SELECT fts3_tokenizer('simple', x'0102030405060708'); END;",
                      "basDatabase.AddEventToDatabase", 100, "unsafe use of fts3_tokenizer()",
                      false, true},
        HostileSchema{"LinkViewLoadsAnExtension",
                      "DROP TABLE EventDates; CREATE VIEW EventDates AS SELECT 1 AS EventId, "
                      "load_extension('/tmp/almanoria-payload.so') AS EventDate;",
                      "basDatabase.GetEventsByDate", 70, "unsafe use of load_extension()", false,
                      true},
        HostileSchema{"TriggerRefusesTheWrite",
                      "CREATE TRIGGER Keep BEFORE INSERT ON Events BEGIN "
                      "SELECT RAISE(ABORT, 'This calendar takes no new events.'); END;",
                      "basDatabase.AddEventToDatabase", 100, "This calendar takes no new events.",
                      false, true, SQLITE_CONSTRAINT_TRIGGER}),
    [](const auto& test) { return test.param.Name; });

TEST(HostileSchema, AnInnocentTriggerRunsForEveryDay) {
    TempDir dir;
    const fs::path file = MakeCalendar(dir);
    ExecSql(file,
            "CREATE TABLE Watch (DateKey DATETIME);"
            "CREATE TRIGGER Watcher AFTER INSERT ON Dates BEGIN "
            "INSERT INTO Watch VALUES (new.DateKey); END;");
    HeadlessUpdate update(dir.Path(), file);
    update.PressNext();
    EXPECT_TRUE(update.box.Shown.empty()) << update.FirstBox();
    EXPECT_EQ(QueryValue(file, "SELECT count(DISTINCT DateKey) FROM Watch"), "366");
}

// Paths as users have them; each must reach the engine whole, through the connection string.
struct CalendarPath {
    std::string Name;
    std::vector<std::string> Parts;  // folders, then the file, below a temporary folder
};

void PrintTo(const CalendarPath& path, std::ostream* out) {
    *out << path.Name;
}

std::vector<std::string> DeepFolders(std::size_t count) {
    std::vector<std::string> parts;
    for (std::size_t i = 1; i <= count; ++i) {
        parts.push_back("Almanoria Calendar Folder " + std::to_string(i) + " of " +
                        std::to_string(count));
    }
    parts.push_back("dbcalndr.mdb");
    return parts;
}

class CalendarPaths : public ::testing::TestWithParam<CalendarPath> {};

TEST_P(CalendarPaths, TheWholeUpdateWorksOnEach) {
    TempDir dir;
    fs::path file = dir.Path();
    for (const std::string& part : GetParam().Parts)
        file /= part;
    fs::create_directories(file.parent_path());
    CreateCalendarDatabase(file);

    ExpectACompleteRun(dir.Path(), file);
    EXPECT_EQ(QueryValue(file, "PRAGMA journal_mode"), "delete");
    EXPECT_FALSE(HasCompanionFiles(file));
    // Nothing was made beside it under a name cut short at a ";" or a brace.
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path())) {
        entries += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(entries, 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, CalendarPaths,
    ::testing::Values(
        CalendarPath{"Blanks",
                     {"Program Files", "Almanoria Desktop Calendar", "dbcalndr 2012.mdb"}},
        CalendarPath{"BlanksAtTheEnds", {" both ends ", " dbcalndr.mdb "}},
        CalendarPath{"NonAscii", {"Kalender für Jürgen", "日本語のカレンダー", "dbcalndr-é.mdb"}},
        CalendarPath{"Deep", DeepFolders(13)},
        CalendarPath{"Semicolons", {"Calendars;Uid=intruder", "dbcalndr;Pwd=x;.mdb"}},
        CalendarPath{"Braces", {"{Calendars}", "db}}calndr{2012}.mdb"}},
        CalendarPath{"EverythingAtOnce", {"a; {b} =c", "}{ ;é; } .mdb"}}),
    [](const auto& test) { return test.param.Name; });

TEST(CalendarPaths, DeepPathIsSeveralHundredCharactersLong) {
    TempDir dir;
    fs::path file = dir.Path();
    for (const std::string& part : DeepFolders(13))
        file /= part;
    EXPECT_GT(file.string().size(), 400u);
    EXPECT_LE(file.string().size(), 512u);  // SQLite's limit, see the next case
}

TEST(CalendarPaths, APathLongerThanTheEngineTakesIsReportedAtTheOpen) {
    TempDir dir;
    fs::path file = dir.Path();
    for (const std::string& part : DeepFolders(20))
        file /= part;
    fs::create_directories(file.parent_path());
    fs::rename(MakeCalendar(dir), file);
    const std::string before = ReadFile(file);

    HeadlessUpdate update(dir.Path(), file);
    update.PressNext();
    const auto reports = update.box.Reports();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Module, "frmMain.OpenDatabase");
    EXPECT_EQ(reports[0].Line, 40);
    EXPECT_EQ(reports[0].Number, EngineFailure(SQLITE_CANTOPEN));
    EXPECT_NE(reports[0].Description.find("'" + file.string() + "'"), std::string::npos);
    EXPECT_NE(reports[0].Description.find("Move the file to a shorter path."), std::string::npos)
        << reports[0].Description;
    EXPECT_TRUE(update.Failed());
    EXPECT_EQ(ReadFile(file), before);
}

}  // namespace
}  // namespace almanoria::testing
