#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "errors/basErrorHandler.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

using testing::FixedClock;
using testing::ReadFile;
using testing::RecordingMessageBox;
using testing::TempDir;

class HandleErrorTest : public ::testing::Test {
  protected:
    void Fail(Long number, std::string description, Long line) {
        handler.Err.Number = number;
        handler.Err.Description = std::move(description);
        handler.Err.Line = line;
    }

    TempDir dir;
    RecordingMessageBox box;
    FixedClock clock{{2012, 1, 5, 9, 3, 7}};
    basErrorHandler handler{box, clock, {"Almanoria Desktop Calendar", dir.Path(), "AlmUpdate"}};
};

constexpr const char* kExpectedText =
    "An error has occurred.\r\n\r\n"
    "Product Name: \tAlmanoria Desktop Calendar\r\n"
    "Application File:  \tAlmUpdate\r\n"
    "Module: \t\tfrmMain.InitDates\r\n"
    "Line Number: \t140\r\n\r\n"
    "Error Number: \t-2147221503\r\n"
    "Error Description: \tno such table: Dates\r\n\r\n\r\n"
    "\r\n";

constexpr const char* kExpectedEntry =
    "05-Jan-2012  09:03:07\r\n"
    "Error logged by application: AlmUpdate\r\n"
    "In module: frmMain.InitDates\r\n"
    "At line: 140\r\n"
    "Error Number: -2147221503\r\n"
    "Error Description: no such table: Dates\r\n"
    "--------------------------------------------------\r\n"
    "\r\n";

TEST_F(HandleErrorTest, ShowsTheMessageAndLogsTheEntryByteForByte) {
    Fail(-2147221503, "no such table: Dates", 140);
    handler.HandleError("frmMain.InitDates", vbTrue, "", vbFalse);

    ASSERT_EQ(box.Shown.size(), 1u);
    EXPECT_EQ(box.Shown[0].Text, kExpectedText);
    EXPECT_EQ(box.Shown[0].Title, "Application Error");
    EXPECT_EQ(ReadFile(dir / "error.log"), kExpectedEntry);
}

// A user who ends the program while the box is up must still find the entry in the log.
TEST(HandleErrorOrder, TheEntryIsOnDiskBeforeTheBoxIsShown) {
    struct LogReadingBox final : MessageBoxService {
        explicit LogReadingBox(std::filesystem::path log) : Log(std::move(log)) {}
        void ShowInformation(std::string_view, std::string_view) override {
            LogWhenShown = std::filesystem::exists(Log) ? ReadFile(Log) : "<no log>";
        }
        std::filesystem::path Log;
        std::string LogWhenShown;
    };
    TempDir dir;
    LogReadingBox box(dir / "error.log");
    FixedClock clock{{2012, 1, 5, 9, 3, 7}};
    basErrorHandler handler{box, clock, {"Almanoria Desktop Calendar", dir.Path(), "AlmUpdate"}};
    handler.Err.Number = -2147221503;
    handler.Err.Description = "no such table: Dates";
    handler.Err.Line = 140;
    handler.HandleError("frmMain.InitDates", vbTrue, "", vbFalse);
    EXPECT_EQ(box.LogWhenShown, kExpectedEntry);
}

// The month's name and the time separator come from the user's locale, through the clock.
TEST(HandleErrorLocale, TheLogTakesTheMonthAndTheSeparatorTheClockGives) {
    class LocaleClock final : public ClockService {
      public:
        LocalDateTime Now() const override { return {2012, 12, 24, 23, 5, 9}; }
        std::string MonthAbbreviation(int month) const override {
            return month == 12 ? "déc." : "?";
        }
        std::string TimeSeparator() const override { return "."; }
    } clock;
    TempDir dir;
    RecordingMessageBox box;
    basErrorHandler handler{box, clock, {"P", dir.Path(), "F"}};
    handler.Err.Number = 6;
    handler.HandleError("a.B", vbTrue, "", vbTrue);
    const std::string log = ReadFile(dir / "error.log");
    // In the system's code page, which Windows gives as its ANSI one.
    EXPECT_TRUE(log.starts_with(ToSystemCodePage("24-déc.-2012  23.05.09\r\n"))) << log;
}

TEST_F(HandleErrorTest, ExtraTextFollowsTheDescriptionAfterThreeLineBreaks) {
    Fail(6, "Overflow", 200);
    handler.HandleError("basDatabase.GetEventsByDate", vbTrue, "see the log", vbFalse);
    const std::string& text = box.Shown.at(0).Text;
    EXPECT_TRUE(text.ends_with("Error Description: \tOverflow\r\n\r\n\r\nsee the log\r\n")) << text;
    std::size_t pairs = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos;
         at = text.find("\r\n", at + 2)) {
        ++pairs;
    }
    EXPECT_EQ(pairs, 12u);
}

TEST_F(HandleErrorTest, CreatesTheLogThenAppendsToIt) {
    testing::WriteFile(dir / "error.log", "earlier entry\r\n");
    Fail(6, "Overflow", 170);
    handler.HandleError("basDatabase.GetEventsByDate", vbTrue, "", vbFalse);
    Fail(9, "Subscript out of range", 80);
    handler.HandleError("frmMain.AddAllDayEvents", vbTrue, "", vbFalse);

    const std::string log = ReadFile(dir / "error.log");
    EXPECT_TRUE(log.starts_with("earlier entry\r\n05-Jan-2012  09:03:07\r\n")) << log;
    const std::size_t first =
        log.find("In module: basDatabase.GetEventsByDate\r\nAt line: 170\r\n");
    const std::size_t second = log.find("In module: frmMain.AddAllDayEvents\r\nAt line: 80\r\n");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
    EXPECT_TRUE(log.ends_with("Error Description: Subscript out of range\r\n" +
                              std::string(50, '-') + "\r\n\r\n"));
}

TEST_F(HandleErrorTest, FlagsCountOnlyAtTheirExactValues) {
    Fail(5, "x", 10);
    handler.HandleError("a.B", 1, "", 1);  // neither logged nor shown
    EXPECT_FALSE(std::filesystem::exists(dir / "error.log"));
    EXPECT_TRUE(box.Shown.empty());

    Fail(5, "x", 10);
    handler.HandleError("a.B", 0, "", vbFalse);  // shown only
    EXPECT_FALSE(std::filesystem::exists(dir / "error.log"));
    EXPECT_EQ(box.Shown.size(), 1u);

    Fail(5, "x", 10);
    handler.HandleError("a.B", vbTrue, "", vbTrue);  // logged only
    EXPECT_TRUE(std::filesystem::exists(dir / "error.log"));
    EXPECT_EQ(box.Shown.size(), 1u);
}

TEST_F(HandleErrorTest, NegativeNumbersAndEmptyNamesAreWrittenPlainly) {
    Fail(-2147467259, "Unspecified error", 40);
    handler.HandleError("", vbTrue, "", vbFalse);
    const std::string& text = box.Shown.at(0).Text;
    EXPECT_NE(text.find("\r\nModule: \t\t\r\n"), std::string::npos);
    EXPECT_NE(text.find("Error Number: \t-2147467259\r\n"), std::string::npos);
    const std::string log = ReadFile(dir / "error.log");
    EXPECT_NE(log.find("\r\nIn module: \r\n"), std::string::npos);
    EXPECT_NE(log.find("\r\nError Number: -2147467259\r\n"), std::string::npos);
}

TEST_F(HandleErrorTest, ClearsTheCurrentError) {
    Fail(6, "Overflow", 200);
    handler.HandleError("a.B", vbTrue, "", vbTrue);
    EXPECT_EQ(handler.Err.Number, 0);
    EXPECT_EQ(handler.Err.Description, "");
    EXPECT_EQ(handler.Err.Line, 0);
}

TEST_F(HandleErrorTest, AnUnwritableLogStillShowsTheBoxAndReturns) {
    std::filesystem::create_directory(dir / "error.log");  // a folder where the log should be
    Fail(6, "Overflow", 200);
    handler.HandleError("a.B", vbTrue, "", vbFalse);
    EXPECT_EQ(box.Shown.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "error.log"));
}

// An installed program's folder is not the user's to write: the entry goes to the user's state
// folder instead, made when missing, and only then.
TEST(HandleErrorStateFolder, TheLogMovesToTheStateFolderOnlyWhenTheProgramsFolderRefusesIt) {
    TempDir dir;
    RecordingMessageBox box;
    FixedClock clock{{2012, 1, 5, 9, 3, 7}};
    const std::filesystem::path state = dir / "state" / "Almanoria Desktop Calendar";
    std::filesystem::create_directory(dir / "bin");
    basErrorHandler writable{
        box, clock, {"Almanoria Desktop Calendar", dir / "bin", "AlmUpdate", state}};
    writable.Err.Number = -2147221503;
    writable.Err.Description = "no such table: Dates";
    writable.Err.Line = 140;
    writable.HandleError("frmMain.InitDates", vbTrue, "", vbFalse);
    EXPECT_EQ(ReadFile(dir / "bin" / "error.log"), kExpectedEntry);
    EXPECT_FALSE(std::filesystem::exists(dir / "state"));

    // A folder where the log should be stands for a folder the user may not write to.
    std::filesystem::create_directory(dir / "usr-bin");
    std::filesystem::create_directory(dir / "usr-bin" / "error.log");
    basErrorHandler installed{
        box, clock, {"Almanoria Desktop Calendar", dir / "usr-bin", "AlmUpdate", state}};
    for (int entry = 0; entry < 2; ++entry) {
        installed.Err.Number = -2147221503;
        installed.Err.Description = "no such table: Dates";
        installed.Err.Line = 140;
        installed.HandleError("frmMain.InitDates", vbTrue, "", vbFalse);
    }
    EXPECT_EQ(ReadFile(state / "error.log"), std::string(kExpectedEntry) + kExpectedEntry);
    EXPECT_EQ(box.Shown.size(), 3u);
}

TEST(HandleErrorMissingFolder, AProgramFolderThatIsGoneStillShowsTheBox) {
    RecordingMessageBox box;
    FixedClock clock;
    basErrorHandler handler{box, clock, {"P", "/nonexistent/almanoria/folder", "F"}};
    handler.Err.Number = 6;
    handler.HandleError("a.B", vbTrue, "", vbFalse);
    EXPECT_EQ(box.Shown.size(), 1u);
}

TEST(HandleErrorBox, AFailingMessageBoxDoesNotEscape) {
    struct BrokenBox final : MessageBoxService {
        void ShowInformation(std::string_view, std::string_view) override {
            throw std::runtime_error("no display");
        }
    } box;
    TempDir dir;
    FixedClock clock;
    basErrorHandler handler{box, clock, {"P", dir.Path(), "F"}};
    handler.Err.Number = 6;
    handler.HandleError("a.B", vbTrue, "", vbFalse);
    EXPECT_TRUE(std::filesystem::exists(dir / "error.log"));
    EXPECT_EQ(handler.Err.Number, 0);
}

}  // namespace
}  // namespace almanoria
