#include "database/odbc/OdbcEngine.hpp"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "database/odbc/DriverManager.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "errors/Failure.hpp"
#include "testing/support/CalendarFiles.hpp"
#include "testing/support/TestSupport.hpp"
#include "testing/support/UpdateFixture.hpp"

namespace almanoria {
namespace {

using testing::FailureOf;
using testing::QueryValue;
using testing::TempDir;

constexpr const char* kDriverName = "Almanoria Test SQLite3";

// Debian's SQLite ODBC driver, under a name of its own.
class SqliteOdbcDriver {
  public:
    static std::optional<std::string> Missing() {
        if (!std::filesystem::exists(ALMANORIA_SQLITE_ODBC_DRIVER)) {
            return std::string("the SQLite ODBC driver is not installed at ") +
                   ALMANORIA_SQLITE_ODBC_DRIVER + " (Debian package libsqliteodbc)";
        }
        return std::nullopt;
    }
};

[[maybe_unused]] const auto* const gDriver = ::testing::AddGlobalTestEnvironment(
    new testing::OdbcDriverRegistration(kDriverName, ALMANORIA_SQLITE_ODBC_DRIVER));

class OdbcEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const auto missing = SqliteOdbcDriver::Missing()) GTEST_SKIP() << *missing;
    }

    std::string ConnectionString() const {
        return std::string("Driver={") + kDriverName + "};Database=" + mDatabase.string();
    }
    std::unique_ptr<Engine> Open() const { return OpenOdbcEngine(ConnectionString()); }

    TempDir mDir;
    std::filesystem::path mDatabase = mDir / "calendar.db";
};

std::size_t OpenFileCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++count;
    }
    return count;
}

using OdbcEngineOpen = OdbcEngineTest;

TEST_F(OdbcEngineOpen, ConnectsToTheFileTheConnectionStringNames) {
    Open()->Execute("CREATE TABLE Dates (DateKey DATETIME, DateColor TEXT)");
    Open()->Execute("INSERT INTO Dates (DateColor) VALUES ('White')");
    // A third connection sees what the others wrote: the same file.
    const ResultRows rows = Open()->Query("SELECT DateColor FROM Dates");
    ASSERT_EQ(rows.Rows.size(), 1u);
    EXPECT_EQ(rows.Rows[0][0], Value::Text("White"));
    EXPECT_EQ(QueryValue(mDatabase, "SELECT DateColor FROM Dates"), "White");
}

TEST_F(OdbcEngineOpen, UnknownDriverRaisesTheDriverManagersFailure) {
    const Failure failure =
        FailureOf([] { OpenOdbcEngine("Driver={No Such Driver};Database=/tmp/nothing.db"); });
    EXPECT_EQ(failure.Number(), ErrorNumber::ObjectError);
    EXPECT_NE(failure.Description().find("Driver Manager"), std::string::npos)
        << failure.Description();
    EXPECT_NE(failure.Description().find("not found"), std::string::npos) << failure.Description();
}

TEST_F(OdbcEngineOpen, UnopenableFileRaisesTheDriversFailure) {
    const std::string missingFolder = (mDir / "no such folder" / "calendar.db").string();
    const Failure failure = FailureOf([&] {
        OpenOdbcEngine(std::string("Driver={") + kDriverName + "};Database=" + missingFolder);
    });
    // The SQLite driver's native error is SQLite's result code: SQLITE_CANTOPEN.
    EXPECT_EQ(failure.Number(), ErrorNumber::ObjectError + 14);
    EXPECT_FALSE(failure.Description().empty());
}

TEST_F(OdbcEngineOpen, HandlesAreReleasedOnEveryPath) {
    const auto everyPath = [&] {
        {
            const auto engine = Open();
            engine->Execute("CREATE TABLE IF NOT EXISTS Dates (DateKey DATETIME, DateColor TEXT)");
            engine->Execute("INSERT INTO Dates (DateKey, DateColor) VALUES ('1/1/2012','White')");
            EXPECT_FALSE(engine->Query("SELECT * FROM Dates").Rows.empty());
            FailureOf([&] { engine->Execute("INSERT INTO Nowhere (A) VALUES ('1')"); });
            FailureOf([&] { engine->Query("SELECT * FROM Nowhere"); });
        }
        FailureOf([] { OpenOdbcEngine("Driver={No Such Driver};Database=x"); });
        FailureOf([&] {
            OpenOdbcEngine(std::string("Driver={") + kDriverName +
                           "};Database=" + (mDir / "missing" / "x.db").string());
        });
    };
    everyPath();  // loads the driver, which stays loaded
    const std::size_t before = OpenFileCount();
    for (int round = 0; round < 20; ++round)
        everyPath();
    // A connection left open would keep its database file open.
    EXPECT_EQ(OpenFileCount(), before);
    EXPECT_EQ(QueryValue(mDatabase, "SELECT COUNT(*) FROM Dates"), "21");
}

// The file of the loaded library that holds the function.
template <typename Function>
std::filesystem::path LibraryOf(Function* function) {
    Dl_info info{};
    EXPECT_NE(dladdr(reinterpret_cast<void*>(function), &info), 0);
    return info.dli_fname ? info.dli_fname : "";
}

// The driver manager taken from a library by its path, as Windows takes odbc32.dll from the
// system folder: each entry point by name, the library held as long as the engine lives.
TEST_F(OdbcEngineOpen, ThroughADriverManagerLoadedByItsPath) {
    const std::filesystem::path unixOdbc = LibraryOf(&::SQLAllocHandle);
    ASSERT_TRUE(std::filesystem::exists(unixOdbc)) << unixOdbc;
    auto manager = odbc::DriverManager::Load(unixOdbc);
    ASSERT_NE(manager->AllocHandle, nullptr);
    const std::weak_ptr<const odbc::DriverManager> held = manager;
    {
        const auto engine = OpenOdbcEngine(ConnectionString(), std::move(manager));
        engine->Execute("CREATE TABLE Dates (DateKey DATETIME, DateColor TEXT)");
        engine->Execute("INSERT INTO Dates (DateKey, DateColor) VALUES ('5/6/2012', 'Red')");
        EXPECT_EQ(engine->Query("SELECT DateColor FROM Dates").Rows.at(0).at(0),
                  Value::Text("Red"));
        EXPECT_FALSE(held.expired());
    }
    EXPECT_TRUE(held.expired());
    EXPECT_EQ(QueryValue(mDatabase, "SELECT DateColor FROM Dates"), "Red");
}

TEST(OdbcDriverManager, ALibraryThatDoesNotLoadOrLacksAnEntryPointIsNamed) {
    const TempDir dir;
    const std::filesystem::path missing = dir / "System32" / "odbc32.dll";
    const Failure absent = FailureOf([&] { odbc::DriverManager::Load(missing); });
    EXPECT_EQ(absent.Number(), ErrorNumber::ErrorInLoadingDll);
    EXPECT_EQ(absent.Description().rfind("Error in loading DLL " + missing.string() + " (", 0), 0u)
        << absent.Description();

    testing::WriteFile(dir / "odbc32.dll", "MZ, but no library");
    const Failure broken = FailureOf([&] { odbc::DriverManager::Load(dir / "odbc32.dll"); });
    EXPECT_EQ(broken.Number(), ErrorNumber::ErrorInLoadingDll);
    EXPECT_NE(broken.Description().find((dir / "odbc32.dll").string()), std::string::npos);

    // The C library loads, but is no driver manager.
    const std::filesystem::path libc = LibraryOf(&::dladdr);
    const Failure other = FailureOf([&] { odbc::DriverManager::Load(libc); });
    EXPECT_EQ(other.Number(), ErrorNumber::DllEntryPointNotFound);
    EXPECT_EQ(other.Description(), "Can't find DLL entry point SQLAllocHandle in " + libc.string());
}

EngineFactory MissingDriverManager() {
    return [](std::string_view connectionString) {
        return OpenOdbcEngine(connectionString,
                              odbc::DriverManager::Load("/nonexistent/System32/odbc32.dll"));
    };
}

// A driver manager that cannot load is the open's failure: one report at line 40 that names
// the file, the calendar not touched.
using MissingDriverManagerRun = testing::BasicUpdateFixture<MissingDriverManager>;

TEST_F(MissingDriverManagerRun, IsReportedAtTheOpenAndWritesNothing) {
    mDatabasePath = testing::MakeCalendar(dir).string();
    const std::string before = testing::ReadFile(mDatabasePath);
    PressNext();
    ASSERT_EQ(box.Reports().size(), 1u);
    const testing::Report report = box.Reports()[0];
    EXPECT_EQ(report.Module, "frmMain.OpenDatabase");
    EXPECT_EQ(report.Line, 40);
    EXPECT_EQ(report.Number, ErrorNumber::ErrorInLoadingDll);
    EXPECT_NE(report.Description.find("/nonexistent/System32/odbc32.dll"), std::string::npos)
        << report.Description;
    EXPECT_NE(testing::ReadFile(dir / "error.log")
                  .find("At line: 40\r\nError Number: 48\r\nError Description: Error in loading "
                        "DLL /nonexistent/System32/odbc32.dll"),
              std::string::npos);
    EXPECT_EQ(testing::ReadFile(mDatabasePath), before);
    EXPECT_FALSE(cmdButton1.Enabled());
    EXPECT_EQ(lblUpdate.Caption(), "Updating the database...please wait.");
}

using OdbcEngineRows = OdbcEngineTest;

TEST_F(OdbcEngineRows, EachColumnTypeBecomesItsValue) {
    const auto engine = Open();
    engine->Execute(
        "CREATE TABLE Kinds (Flag BIT, Whole INTEGER, Big BIGINT, Real DOUBLE, Stamp DATETIME, "
        "Day DATE, Name VARCHAR(50), Notes TEXT)");
    engine->Execute(
        "INSERT INTO Kinds VALUES (1, 42, 9000000000, 2.5, '2012-05-06 13:45:30', '2012-12-31', "
        "'Ash Wednesday', 'Lent begins')");
    const ResultRows rows = engine->Query("SELECT * FROM Kinds");
    const std::vector<std::string> names = {"Flag",  "Whole", "Big",  "Real",
                                            "Stamp", "Day",   "Name", "Notes"};
    EXPECT_EQ(rows.ColumnNames, names);
    ASSERT_EQ(rows.Rows.size(), 1u);
    const std::vector<Value>& row = rows.Rows[0];
    ASSERT_EQ(row.size(), 8u);
    EXPECT_EQ(row[0], Value::YesNo(true));
    EXPECT_EQ(row[1], Value::Number(std::int64_t{42}));
    EXPECT_EQ(row[2], Value::Number(std::int64_t{9000000000}));
    EXPECT_EQ(row[3], Value::Number(2.5));
    EXPECT_EQ(row[4], Value::Date({2012, 5, 6, 13, 45, 30}));
    EXPECT_EQ(row[5], Value::Date({2012, 12, 31}));
    EXPECT_EQ(row[6], Value::Text("Ash Wednesday"));
    EXPECT_EQ(row[7], Value::Text("Lent begins"));
}

TEST_F(OdbcEngineRows, EmptyColumnsAreNull) {
    const auto engine = Open();
    engine->Execute(
        "CREATE TABLE Kinds (Id INTEGER, Flag BIT, Whole INTEGER, Real DOUBLE, Stamp DATETIME, "
        "Name TEXT)");
    engine->Execute("INSERT INTO Kinds (Id) VALUES (1)");
    const ResultRows rows = engine->Query("SELECT Flag, Whole, Real, Stamp, Name FROM Kinds");
    ASSERT_EQ(rows.Rows.size(), 1u);
    for (const Value& value : rows.Rows[0])
        EXPECT_TRUE(value.IsNull());
}

TEST_F(OdbcEngineRows, QuotedYesNoBitsReadAsTrueAndFalse) {
    const auto engine = Open();
    engine->Execute("CREATE TABLE Events (EventID INTEGER PRIMARY KEY, AllDayEvent BIT)");
    // The program writes its flags as quoted text, as every value of an INSERT.
    engine->Execute("INSERT INTO Events (AllDayEvent) VALUES ('1');");
    engine->Execute("INSERT INTO Events (AllDayEvent) VALUES ('0');");
    const ResultRows rows = engine->Query("SELECT AllDayEvent FROM Events ORDER BY EventID");
    ASSERT_EQ(rows.Rows.size(), 2u);
    EXPECT_EQ(CStr(rows.Rows[0][0]), "True");
    EXPECT_EQ(CStr(rows.Rows[1][0]), "False");
}

TEST_F(OdbcEngineRows, LongAndAccentedTextArrivesWhole) {
    const auto engine = Open();
    engine->Execute("CREATE TABLE Dates (DateText TEXT)");
    // Both drivers take narrow text, into which the driver manager turns the engine's UTF-16:
    // Latin-1 on unixODBC, the ANSI code page on Windows. Western accents come through both.
    std::string notes =
        "F\xC3\xAAte de No\xC3\xABl, Mari\xC3\xA4 Himmelfahrt, S\xC3\xA3o Jo\xC3\xA3o; ";
    while (notes.size() < 5000)
        notes += notes;
    engine->Execute("INSERT INTO Dates (DateText) VALUES ('" + notes + "')");
    const ResultRows rows = engine->Query("SELECT DateText FROM Dates");
    ASSERT_EQ(rows.Rows.size(), 1u);
    ASSERT_TRUE(rows.Rows[0][0].IsText());
    // Compared whole, without printing five thousand characters when they differ.
    const std::string& read = rows.Rows[0][0].AsText();
    EXPECT_TRUE(read == notes) << "read " << read.size() << " bytes: " << read.substr(0, 40);
}

TEST_F(OdbcEngineRows, StatementsTakeEffectAtOnceAndAnEmptyQueryHasNoRows) {
    const auto engine = Open();
    engine->Execute("CREATE TABLE Dates (DateKey DATETIME, EventCount INTEGER)");
    const ResultRows none = engine->Query("SELECT * FROM Dates");
    EXPECT_EQ(none.ColumnNames.size(), 2u);
    EXPECT_TRUE(none.Rows.empty());
    // An update that finds no row is no failure.
    engine->Execute("UPDATE Dates SET EventCount = 2 WHERE EventCount = 1;");
    engine->Execute("INSERT INTO Dates (EventCount) VALUES ('1');");
    EXPECT_EQ(QueryValue(mDatabase, "SELECT EventCount FROM Dates"), "1");
    engine->Execute("UPDATE Dates SET EventCount = 2 WHERE EventCount = 1;");
    EXPECT_EQ(QueryValue(mDatabase, "SELECT EventCount FROM Dates"), "2");
}

using OdbcEngineFailures = OdbcEngineTest;

TEST_F(OdbcEngineFailures, AFailedStatementCarriesTheDriversNumberAndMessage) {
    const auto engine = Open();
    const Failure missing = FailureOf([&] { engine->Query("SELECT * FROM Nowhere"); });
    // The SQLite driver gives SQLite's result code as the native error: 1, SQLITE_ERROR.
    EXPECT_EQ(missing.Number(), ObjectErrorNumber(1));
    EXPECT_NE(missing.Description().find("no such table: Nowhere"), std::string::npos)
        << missing.Description();

    const Failure syntax = FailureOf([&] { engine->Execute("SELEC * FROM Dates"); });
    EXPECT_EQ(syntax.Number(), ObjectErrorNumber(1));
    EXPECT_NE(syntax.Description().find("syntax error"), std::string::npos) << syntax.Description();

    // The connection stays usable after a failure.
    engine->Execute("CREATE TABLE Dates (DateKey DATETIME)");
    EXPECT_TRUE(engine->Query("SELECT * FROM Dates").Rows.empty());
}

using OdbcEngineDates = OdbcEngineTest;

TEST_F(OdbcEngineDates, QuotedDatesIntoDateTimeColumnsArriveMonthFirst) {
    const auto engine = Open();
    engine->Execute(
        "CREATE TABLE Dates (DateKey DATETIME, DateColor TEXT, EventCount INTEGER, DateNotes "
        "TEXT, DateText TEXT)");
    engine->Execute(
        "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES "
        "('5/6/2012','White','0','','6/5/2012');");
    // Stored as the date escape gives it, and read back as May 6.
    EXPECT_EQ(QueryValue(mDatabase, "SELECT DateKey FROM Dates"), "2012-05-06");
    const ResultRows rows = engine->Query("SELECT DateKey, DateText FROM Dates");
    ASSERT_EQ(rows.Rows.size(), 1u);
    EXPECT_EQ(rows.Rows[0][0], Value::Date({2012, 5, 6}));
    // The same text into a text column stays text.
    EXPECT_EQ(rows.Rows[0][1], Value::Text("6/5/2012"));
}

TEST_F(OdbcEngineDates, UpdatesAndOtherSpellingsOfTheNamesAreMendedToo) {
    const auto engine = Open();
    engine->Execute("CREATE TABLE eventdates (EVENTID INTEGER, EVENTDATE DATETIME)");
    engine->Execute("INSERT INTO EventDates (EventId, EventDate) VALUES ('7','12/31/2012');");
    EXPECT_EQ(QueryValue(mDatabase, "SELECT EVENTDATE FROM eventdates"), "2012-12-31");
    engine->Execute("UPDATE EventDates SET EventDate = '1/2/2012' WHERE EventId = 7;");
    EXPECT_EQ(QueryValue(mDatabase, "SELECT EVENTDATE FROM eventdates"), "2012-01-02");
    EXPECT_EQ(engine->Query("SELECT EventDate FROM EventDates").Rows.at(0).at(0),
              Value::Date({2012, 1, 2}));
}

}  // namespace
}  // namespace almanoria
