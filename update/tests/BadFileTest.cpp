#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "update/tests/HardeningSupport.hpp"

namespace almanoria::testing {
namespace {

namespace fs = std::filesystem;

struct ExpectedReport {
    std::string Module;
    long Line = 0;
    long Number = 0;
    std::string Description;  // the whole description, or a part of it when it names the file
    bool NamesTheFile = false;
};

class BadFile : public ::testing::Test {
  protected:
    // Runs the update on the file as the user would, once.
    HeadlessUpdate& Run() {
        mUpdate = std::make_unique<HeadlessUpdate>(dir.Path(), mFile);
        mUpdate->PressNext();
        return *mUpdate;
    }

    // One box, saying where and what; the log has the same entry.
    void ExpectReported(const ExpectedReport& expected) {
        const auto reports = mUpdate->box.Reports();
        ASSERT_EQ(reports.size(), 1u) << mUpdate->FirstBox();
        EXPECT_EQ(reports[0].Module, expected.Module);
        EXPECT_EQ(reports[0].Line, expected.Line);
        EXPECT_EQ(reports[0].Number, expected.Number);
        if (expected.NamesTheFile) {
            EXPECT_NE(reports[0].Description.find("'" + mFile.string() + "'"), std::string::npos)
                << reports[0].Description;
            EXPECT_NE(reports[0].Description.find(expected.Description), std::string::npos)
                << reports[0].Description;
        } else {
            EXPECT_EQ(reports[0].Description, expected.Description);
        }
        EXPECT_NE(ReadFile(dir / "error.log")
                      .find("In module: " + expected.Module +
                            "\r\nAt line: " + std::to_string(expected.Line) + "\r\n"),
                  std::string::npos);
    }

    // Where nothing could be written the file keeps every byte and gains no companions.
    void KeepBytes() {
        mExisted = fs::exists(mFile);
        if (mExisted && fs::is_regular_file(mFile)) mBytes = ReadFile(mFile);
    }
    void ExpectUnchanged() {
        mUpdate->ReleaseConnection();
        EXPECT_EQ(fs::exists(mFile), mExisted);
        if (mBytes) {
            EXPECT_EQ(ReadFile(mFile), *mBytes);
        }
        EXPECT_FALSE(HasCompanionFiles(mFile));
    }

    fs::path Calendar(const std::string& name = "dbcalndr.mdb") {
        mFile = MakeCalendar(dir, name);
        return mFile;
    }

    TempDir dir;
    fs::path mFile = dir / "dbcalndr.mdb";
    std::unique_ptr<HeadlessUpdate> mUpdate;
    bool mExisted = false;
    std::optional<std::string> mBytes;
};

// Files the update cannot open or cannot write to at all.
struct UnusableFile {
    std::string Name;
    std::function<void(const fs::path&)> Make;
    ExpectedReport Expected;
};

void PrintTo(const UnusableFile& file, std::ostream* out) {
    *out << file.Name;
}

class UnusableFiles : public BadFile, public ::testing::WithParamInterface<UnusableFile> {};

TEST_P(UnusableFiles, AreReportedAndKeepEveryByte) {
    GetParam().Make(mFile);
    KeepBytes();
    Run();
    ExpectReported(GetParam().Expected);
    EXPECT_TRUE(mUpdate->Failed());
    ExpectUnchanged();
}

const ExpectedReport kAtOpen{"frmMain.OpenDatabase", 40, 0, "", true};

ExpectedReport AtOpen(int resultCode, std::string what) {
    ExpectedReport report = kAtOpen;
    report.Number = EngineFailure(resultCode);
    report.Description = std::move(what);
    return report;
}

void WithSchema(const fs::path& file, const std::string& sql) {
    TempDir scratch;
    const fs::path made = MakeCalendar(scratch);
    ExecSql(made, sql);
    fs::copy_file(made, file);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, UnusableFiles,
    ::testing::Values(
        UnusableFile{"Missing", [](const fs::path&) {},
                     AtOpen(SQLITE_CANTOPEN, "Could not find file")},
        UnusableFile{"Folder", [](const fs::path& file) { fs::create_directory(file); },
                     AtOpen(SQLITE_CANTOPEN, "is a folder, not a database file")},
        UnusableFile{"Empty", [](const fs::path& file) { WriteFile(file, ""); },
                     AtOpen(SQLITE_NOTADB, "is empty: it holds no database")},
        UnusableFile{"PlainText",
                     [](const fs::path& file) {
                         WriteFile(file, "Dates and colours of 2012\r\nAsh Wednesday, Purple\r\n");
                     },
                     AtOpen(SQLITE_NOTADB, "is no SQLite database")},
        UnusableFile{"RandomBytes", [](const fs::path& file) { WriteFile(file, RandomBytes()); },
                     AtOpen(SQLITE_NOTADB, "is no SQLite database")},
        UnusableFile{"AccessFile",
                     [](const fs::path& file) { WriteFile(file, AccessFileHeader()); },
                     AtOpen(SQLITE_NOTADB, "is a Microsoft Access database")},
        UnusableFile{
            "NoCalendarTables",
            [](const fs::path& file) {
                WithSchema(file,
                           "DROP TABLE Dates; DROP TABLE Events; DROP TABLE EventDates; "
                           "CREATE TABLE Notes (Body TEXT); "
                           "INSERT INTO Notes VALUES ('shopping list');");
            },
            {"frmMain.InitDates", 140, EngineFailure(SQLITE_ERROR), "no such table: Dates"}},
        UnusableFile{"DatesWithoutDateText",
                     [](const fs::path& file) {
                         WithSchema(file, "ALTER TABLE Dates DROP COLUMN DateText");
                     },
                     {"frmMain.InitDates", 260, EngineFailure(SQLITE_ERROR),
                      "table Dates has no column named DateText"}},
        UnusableFile{"DatesWithoutDateKey",
                     [](const fs::path& file) {
                         WithSchema(file,
                                    "DROP INDEX DatesByKey; ALTER TABLE Dates DROP COLUMN DateKey");
                     },
                     {"frmMain.InitDates", 140, EngineFailure(SQLITE_ERROR),
                      "no such column: Dates.DateKey"}}),
    [](const auto& test) { return test.param.Name; });

// Values of the wrong kind in the file: the update writes what it can and reports the rest.
TEST_F(BadFile, AnEventCountHoldingTextStopsTheEventPassAtThatDay) {
    Calendar();
    ExecSql(mFile, "INSERT INTO Dates VALUES ('2012-01-01', 'White', 'many', 'mine', 'old')");
    Run();
    ExpectReported(
        {"basDatabase.IncrementEventCount", 120, ErrorNumber::TypeMismatch, "Type mismatch"});
    EXPECT_TRUE(mUpdate->Finished());
    // The Dates pass was done; the day keeps its own count and notes.
    EXPECT_EQ(StoredDays(mFile), TheYear().Days);
    EXPECT_EQ(
        QueryRows(mFile, "SELECT EventCount, DateNotes FROM Dates WHERE DateKey = '2012-01-01'"),
        (std::vector<std::vector<std::string>>{{"many", "mine"}}));
    // The day's first name goes with its count: neither its event nor its link stays, and
    // nothing after it was added.
    EXPECT_TRUE(StoredLinks(mFile).empty());
    EXPECT_EQ(QueryValue(mFile, "SELECT count(*) FROM Events"), "0");
    EXPECT_EQ(QueryValue(mFile, "SELECT count(*) FROM EventDates"), "0");
    EXPECT_EQ(QueryValue(mFile, "PRAGMA integrity_check"), "ok");
}

TEST_F(BadFile, AnAllDayFlagHoldingNullIsNoMatchAndThePassGoesOn) {
    Calendar();
    ExecSql(mFile,
            "INSERT INTO Events (EventID, EventName, AllDayEvent, Recurring) "
            "VALUES (500, 'Ash Wednesday', NULL, 0);"
            "INSERT INTO EventDates VALUES (500, '2012-02-22');");
    Run();
    // Once for each of the day's two names.
    const auto reports = mUpdate->box.Reports();
    ASSERT_EQ(reports.size(), 2u);
    for (const Report& report : reports) {
        EXPECT_EQ(report.Module, "basDatabase.GetEventData");
        EXPECT_EQ(report.Line, 100);
        EXPECT_EQ(report.Number, ErrorNumber::InvalidUseOfNull);
        EXPECT_EQ(report.Description, "Invalid use of Null");
    }
    EXPECT_TRUE(mUpdate->Finished());
    ExpectWholeYear(mFile);
    EXPECT_EQ(QueryRows(mFile, "SELECT EventName, AllDayEvent FROM Events WHERE EventID = 500"),
              (std::vector<std::vector<std::string>>{{"Ash Wednesday", "<null>"}}));
}

TEST_F(BadFile, AReadOnlyFileFailsAtTheFirstWriteAndKeepsEveryByte) {
    Calendar();
    ExecSql(mFile, "INSERT INTO Dates VALUES ('2012-01-01', 'White', 0, '', '')");
    Mount readOnly;
    if (const auto whyNot = readOnly.ReadOnlyBind(mFile)) GTEST_SKIP() << *whyNot;
    if (const int probe = ::open(mFile.c_str(), O_WRONLY | O_CLOEXEC); probe >= 0) {
        ::close(probe);
        GTEST_SKIP() << "the file stays writable";
    }
    KeepBytes();
    Run();
    ExpectReported({"frmMain.InitDates", 260, EngineFailure(SQLITE_READONLY),
                    "attempt to write a readonly database"});
    EXPECT_TRUE(mUpdate->Failed());
    ExpectUnchanged();
}

// Another program holds a write transaction on the file for as long as the update runs.
TEST_F(BadFile, AFileLockedByAnotherProgramFailsAfterABoundedWait) {
    Calendar();
    KeepBytes();
    Pipe holding;
    Pipe release;
    ChildProcess other([&] {
        holding.CloseReading();
        release.CloseWriting();
        PlainConnection db(mFile);  // a failure ends the child with 121
        db.Exec("BEGIN IMMEDIATE; INSERT INTO Dates (DateColor) VALUES ('held');");
        if (!holding.Send()) return 12;
        release.Receive();
        db.Exec("ROLLBACK");
        return 0;
    });
    ASSERT_TRUE(other.Started());
    holding.CloseWriting();
    release.CloseReading();
    ASSERT_TRUE(holding.Receive()) << "the other program did not take its lock";

    Run();
    ExpectReported({"frmMain.InitDates", 260, EngineFailure(SQLITE_BUSY), "database is locked"});
    EXPECT_TRUE(mUpdate->Failed());

    release.Send();
    const int status = other.Wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ExpectUnchanged();
    // With the lock gone the same file updates completely.
    ExpectACompleteRun(dir.Path(), mFile);
}

// A name's transaction refused at its begin, the file held by another program since the Dates
// pass, and at its commit, by the disk.
TEST(NameTransaction, ABeginRefusedEndsTheEventPassBeforeTheNamesFirstWrite) {
    ExpectANameRefusedAtItsBegin(DefaultEngineFactory(), "frmMain.AddAllDayEvents 490");
}

TEST(NameTransaction, ACommitRefusedTakesTheNameBackWhole) {
    ExpectANameRefusedAtItsCommit(DefaultEngineFactory());
}

class FullDisk : public BadFile {
  protected:
    // The calendar on a file system of its own, of the given size.
    std::optional<std::string> CalendarOnSmallDisk(std::size_t bytes) {
        const fs::path folder = dir / "small disk";
        fs::create_directory(folder);
        if (auto whyNot = mDisk.SmallTmpfs(folder, bytes)) return whyNot;
        mFolder = folder;
        mFile = folder / "dbcalndr.mdb";
        fs::copy_file(MakeCalendar(dir, "template.mdb"), mFile);
        return std::nullopt;
    }

    Mount mDisk;
    fs::path mFolder;
};

TEST_F(FullDisk, AFileOnAFullDiskFailsAtTheFirstWriteAndKeepsEveryByte) {
    if (const auto whyNot = CalendarOnSmallDisk(512 * 1024)) GTEST_SKIP() << *whyNot;
    if (!FillFileSystem(mFolder) || !WritingAFileFails(mFolder)) {
        GTEST_SKIP() << "the small file system does not run full";
    }
    KeepBytes();
    Run();
    ExpectReported(
        {"frmMain.InitDates", 260, EngineFailure(SQLITE_FULL), "database or disk is full"});
    EXPECT_TRUE(mUpdate->Failed());
    ExpectUnchanged();
}

TEST_F(FullDisk, ADiskThatRunsFullDuringTheRunKeepsWhatWasWrittenAndANextRunCompletes) {
    if (const auto whyNot = CalendarOnSmallDisk(192 * 1024)) GTEST_SKIP() << *whyNot;
    Run();
    ExpectReported(
        {"frmMain.InitDates", 260, EngineFailure(SQLITE_FULL), "database or disk is full"});
    EXPECT_TRUE(mUpdate->Failed());
    mUpdate->ReleaseConnection();

    EXPECT_EQ(QueryValue(mFile, "PRAGMA integrity_check"), "ok");
    // The days before the one that did not fit are there, each whole.
    const auto days = StoredDays(mFile);
    ASSERT_LT(days.size(), TheYear().Days.size());
    EXPECT_EQ(days, (std::vector<std::vector<std::string>>(
                        TheYear().Days.begin(),
                        TheYear().Days.begin() + static_cast<long>(days.size()))));

    // Room again, and the next run finishes the year.
    if (::mount(nullptr, mFolder.c_str(), nullptr, MS_REMOUNT, "size=16m") != 0) {
        GTEST_SKIP() << "the small file system cannot be made larger: " << std::strerror(errno);
    }
    ExpectACompleteRun(dir.Path(), mFile);
}

}  // namespace
}  // namespace almanoria::testing
