// The ODBC engine as built for Windows, through odbc32 and the test driver registered under the
// Access driver's name: the open, a whole update, and the driver's failures with their native
// error and a message longer than the first diagnostic buffer. Run under Wine, whose odbc32
// hands the calls to the host's unixODBC; ctest registers the driver (ODBCSYSINI) and names
// its library in ALMANORIA_ACCESS_ODBC_DRIVER.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "database/ConnectionString.hpp"
#include "database/odbc/OdbcEngine.hpp"
#include "errors/Failure.hpp"
#include "tools/calendardb/CalendarDatabase.hpp"
#include "testing/support/UpdateFixture.hpp"

namespace almanoria {
namespace {

using testing::FailureOf;

// Why the driver cannot be used, or empty text when it can.
std::string DriverMissing() {
    const char* library = std::getenv("ALMANORIA_ACCESS_ODBC_DRIVER");
    if (!library) return "ctest names the test driver in ALMANORIA_ACCESS_ODBC_DRIVER";
    if (!std::filesystem::exists(library)) {
        return std::string("no test driver at ") + library +
               ": build the odbc-driver-i686 preset first";
    }
    return "";
}

// An SQLite database without tables, which the driver opens: one page of 4096 bytes with the
// file header and an empty table b-tree, laid out by SQLite's file format.
std::string EmptySqliteDatabase() {
    std::string page(4096, '\0');
    const auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
        for (int byte = 0; byte < bytes; ++byte)
            page[at + static_cast<std::size_t>(byte)] =
                static_cast<char>((value >> (8 * (bytes - 1 - byte))) & 0xFF);
    };
    page.replace(0, 16, std::string("SQLite format 3\0", 16));
    put(16, 4096, 2);        // page size
    put(18, 0x0101, 2);      // file formats 1 and 1
    put(20, 0x00402020, 4);  // no reserve; payload fractions 64, 32 and 32
    put(24, 1, 4);           // change counter
    put(28, 1, 4);           // pages in the file
    put(44, 4, 4);           // schema format
    put(56, 1, 4);           // UTF-8
    put(92, 1, 4);           // the change counter the version number is valid for
    put(96, 3040001, 4);     // SQLite version
    page[100] = 0x0D;        // a leaf table b-tree page with no cells
    put(105, 4096, 2);       // cell content starts at the page's end
    return page;
}

// An empty calendar made through the driver itself: a database without tables, then the
// schema in the dialect.
void MakeCalendarThroughTheDriver(const std::filesystem::path& path) {
    testing::WriteFile(path, EmptySqliteDatabase());
    const auto engine = OpenOdbcEngine(BuildConnectionString(path.string()));
    const std::string_view schema = kCalendarSchema;
    for (std::size_t from = 0; from < schema.size();) {
        const std::size_t end = schema.find(";\n", from);
        engine->Execute(schema.substr(from, end - from));
        from = end + 2;
    }
}

Value Count(Engine& engine, const std::string& table) {
    return engine.Query("SELECT COUNT(*) FROM " + table).Rows.at(0).at(0);
}

Value Whole(std::int64_t number) {
    return Value::Number(number);
}

class WineOdbcEngine : public testing::UpdateFixture {
  protected:
    void SetUp() override {
        if (const std::string missing = DriverMissing(); !missing.empty()) GTEST_SKIP() << missing;
        MakeCalendarThroughTheDriver(mCalendar);
    }
    std::unique_ptr<Engine> Open() const {
        return OpenOdbcEngine(BuildConnectionString(mCalendar.string()));
    }

    std::filesystem::path mCalendar = dir / "dbcalndr.mdb";
};

TEST_F(WineOdbcEngine, OpensTheCalendarTheConnectionStringNamesAndRefusesAMissingOne) {
    Open()->Execute("INSERT INTO Dates (DateColor) VALUES ('White')");
    // Another connection sees what the first wrote: the same file, through the C: drive.
    EXPECT_EQ(Count(*Open(), "Dates"), Whole(1));
    ASSERT_TRUE(mCalendar.string().starts_with("C:\\")) << mCalendar;

    const Failure absent =
        FailureOf([&] { OpenOdbcEngine(BuildConnectionString((dir / "gone.mdb").string())); });
    // The driver's native error is the embedded engine's: SQLITE_CANTOPEN.
    EXPECT_EQ(absent.Number(), ObjectErrorNumber(14));
    EXPECT_FALSE(absent.Description().empty());

    const Failure noDriver =
        FailureOf([] { OpenOdbcEngine("Driver={No Such Driver};Dbq=C:\\x.mdb;Uid=admin;Pwd="); });
    EXPECT_EQ(noDriver.Number(), ErrorNumber::ObjectError);
}

TEST_F(WineOdbcEngine, TheWholeUpdateRunsThroughOdbc32) {
    mDatabasePath = mCalendar.string();
    PressNext();
    EXPECT_TRUE(box.Shown.empty()) << box.Shown.at(0).Text;
    EXPECT_EQ(lblUpdate.Caption(), "Update completed!  Please click Finish to end the update.");
    const auto engine = Open();
    EXPECT_EQ(Count(*engine, "Dates"), Whole(366));
    EXPECT_EQ(Count(*engine, "Events"), Whole(72));
    EXPECT_EQ(Count(*engine, "EventDates"), Whole(72));
    // Month first: 6 January is Epiphany's day.
    const ResultRows links =
        engine->Query("SELECT EventId FROM EventDates WHERE EventDate = #1/6/2012#");
    ASSERT_EQ(links.Rows.size(), 1u);
    ASSERT_TRUE(links.Rows[0][0].IsWhole());
    const ResultRows name = engine->Query("SELECT EventName FROM Events WHERE EventID = " +
                                          std::to_string(links.Rows[0][0].AsWhole()));
    ASSERT_EQ(name.Rows.size(), 1u);
    EXPECT_EQ(name.Rows[0][0], Value::Text("Epiphany of the Lord"));
}

TEST_F(WineOdbcEngine, ADriverFailureCarriesItsNativeErrorAndItsWholeMessage) {
    const auto engine = Open();
    const Failure missing = FailureOf([&] { engine->Query("SELECT * FROM Nowhere"); });
    // The test driver gives the embedded engine's result code as native error: SQLITE_ERROR.
    EXPECT_EQ(missing.Number(), ObjectErrorNumber(1));
    EXPECT_NE(missing.Description().find("Nowhere"), std::string::npos) << missing.Description();

    // A message longer than the first buffer of 512 characters arrives whole.
    const std::string longName = "Table" + std::string(700, 'x');
    const Failure long_ = FailureOf([&] { engine->Query("SELECT * FROM " + longName); });
    EXPECT_NE(long_.Number(), 0);
    EXPECT_NE(long_.Description().find(longName), std::string::npos)
        << long_.Description().size() << " characters: " << long_.Description().substr(0, 80);

    // The connection stays usable after a failure.
    EXPECT_EQ(Count(*engine, "Dates"), Whole(0));
}

}  // namespace
}  // namespace almanoria
