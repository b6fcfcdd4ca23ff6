#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <optional>
#include <string>

#include "update/tests/HardeningSupport.hpp"

namespace almanoria::testing {
namespace {

namespace fs = std::filesystem;

// error.log beside the program, made unwritable in one way or another. Whatever the log does,
// every report still gets its box and the run goes on as it would with a log.
enum class LogFault { FolderReadOnly, LogReadOnly, LogIsAFolder, DiskFull };

std::string Name(LogFault fault) {
    switch (fault) {
        case LogFault::FolderReadOnly:
            return "FolderReadOnly";
        case LogFault::LogReadOnly:
            return "LogReadOnly";
        case LogFault::LogIsAFolder:
            return "LogIsAFolder";
        case LogFault::DiskFull:
            return "DiskFull";
    }
    return "?";
}

// A log of earlier entries that ends at a page boundary, so that on a full disk not a byte
// more fits.
const std::string kEarlierLog = std::string(4094, 'e') + "\r\n";

class UnwritableLog : public ::testing::TestWithParam<LogFault> {
  protected:
    std::optional<std::string> MakeFault() {
        fs::create_directory(mProgram);
        switch (GetParam()) {
            case LogFault::FolderReadOnly:
                WriteFile(mProgram / "error.log", kEarlierLog);
                return mMount.ReadOnlyBind(mProgram);
            case LogFault::LogReadOnly:
                WriteFile(mProgram / "error.log", kEarlierLog);
                return mMount.ReadOnlyBind(mProgram / "error.log");
            case LogFault::LogIsAFolder:
                fs::create_directory(mProgram / "error.log");
                return std::nullopt;
            case LogFault::DiskFull:
                if (auto whyNot = mMount.SmallTmpfs(mProgram, 64 * 1024)) return whyNot;
                WriteFile(mProgram / "error.log", kEarlierLog);
                if (!FillFileSystem(mProgram) || !WritingAFileFails(mProgram)) {
                    return "the small file system does not run full";
                }
                return std::nullopt;
        }
        return "no such fault";
    }

    // The log is as it was before the runs: nothing lost, nothing half-written over it.
    void ExpectLogAsBefore() {
        if (GetParam() == LogFault::LogIsAFolder) {
            EXPECT_TRUE(fs::is_directory(mProgram / "error.log"));
            EXPECT_TRUE(fs::is_empty(mProgram / "error.log"));
        } else {
            EXPECT_EQ(ReadFile(mProgram / "error.log"), kEarlierLog);
        }
    }

    TempDir dir;
    fs::path mProgram = dir / "program";
    Mount mMount;
};

TEST_P(UnwritableLog, EveryReportIsShownAndTheRunGoesOn) {
    if (const auto whyNot = MakeFault()) GTEST_SKIP() << *whyNot;

    // A link to an event that is gone: reported for each of the day's two names, and the pass
    // goes on to the end of the year.
    const fs::path file = MakeCalendar(dir);
    ExecSql(file, "INSERT INTO EventDates VALUES (999, '2012-02-22')");
    {
        HeadlessUpdate update(mProgram, file);
        update.PressNext();
        const auto reports = update.box.Reports();
        ASSERT_EQ(reports.size(), 2u);
        for (const Report& report : reports) {
            EXPECT_EQ(report.Module, "basDatabase.GetEventData");
            EXPECT_EQ(report.Line, 80);
            EXPECT_EQ(report.Number, ErrorNumber::NoCurrentRecord);
        }
        EXPECT_EQ(update.box.Shown[0].Title, "Application Error");
        EXPECT_TRUE(update.Finished());
        ExpectWholeYear(file);
    }
    // A file that is not there: reported at the open, and the run ends there.
    {
        HeadlessUpdate update(mProgram, dir / "missing.mdb");
        update.PressNext();
        EXPECT_EQ(update.box.Places(), std::vector<std::string>{"frmMain.OpenDatabase 40"});
        EXPECT_TRUE(update.Failed());
    }
    ExpectLogAsBefore();
}

INSTANTIATE_TEST_SUITE_P(Faults, UnwritableLog,
                         ::testing::Values(LogFault::FolderReadOnly, LogFault::LogReadOnly,
                                           LogFault::LogIsAFolder, LogFault::DiskFull),
                         [](const auto& test) { return Name(test.param); });

}  // namespace
}  // namespace almanoria::testing
