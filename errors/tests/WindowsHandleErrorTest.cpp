// The error log as Windows keeps it: written in the ANSI code page.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "errors/basErrorHandler.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

// The log's eight lines, its accented month in the ANSI code page as Notepad reads it.
TEST(HandleErrorWindows, TheLogIsWrittenInTheAnsiCodePage) {
    if (GetACP() != 1252) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 1252";
    class FrenchClock final : public ClockService {
      public:
        LocalDateTime Now() const override { return {2012, 2, 29, 18, 4, 5}; }
        std::string MonthAbbreviation(int month) const override {
            return month == 2 ? "févr." : "?";
        }
    } clock;
    testing::TempDir dir;
    testing::RecordingMessageBox box;
    basErrorHandler handler{box, clock, {"Almanoria Desktop Calendar", dir.Path(), "AlmUpdate"}};
    handler.Err.Number = -2147217900;
    handler.Err.Description = "Syntax error in INSERT INTO statement.";
    handler.Err.Line = 90;
    handler.HandleError("basDatabase.AddEventToDatabase", vbTrue, "", vbFalse);
    EXPECT_EQ(testing::ReadFile(dir / "error.log"),
              "29-f\xE9vr.-2012  18:04:05\r\n"
              "Error logged by application: AlmUpdate\r\n"
              "In module: basDatabase.AddEventToDatabase\r\n"
              "At line: 90\r\n"
              "Error Number: -2147217900\r\n"
              "Error Description: Syntax error in INSERT INTO statement.\r\n"
              "--------------------------------------------------\r\n"
              "\r\n");
    // The box shows the program's own text, not the log's bytes.
    EXPECT_NE(box.Shown.at(0).Text.find("Error Number: \t-2147217900\r\n"), std::string::npos);
}

}  // namespace
}  // namespace almanoria
