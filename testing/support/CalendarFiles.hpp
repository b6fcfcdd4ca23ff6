#pragma once

// Calendar databases made by the development tool, plain SQL to read them back, and the year
// as a complete update leaves it in one; for the suites that have SQLite, which the Windows
// build lacks.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "errors/ErrorNumbers.hpp"
#include "testing/support/TestSupport.hpp"

struct sqlite3;

namespace almanoria::testing {

// A connection of another program to the file, with plain SQLite, that can hold a lock.
class PlainConnection {
  public:
    explicit PlainConnection(const std::filesystem::path& database);
    ~PlainConnection();
    PlainConnection(const PlainConnection&) = delete;
    PlainConnection& operator=(const PlainConnection&) = delete;

    // Runs statements; a failure throws with SQLite's message.
    void Exec(std::string_view sql);
    sqlite3* Handle() const { return mDatabase; }

  private:
    sqlite3* mDatabase = nullptr;
};

// An empty calendar database made by the development tool inside dir.
std::filesystem::path MakeCalendar(const TempDir& dir, std::string_view name = "dbcalndr.mdb");

// Every row of a query run with plain SQLite on the file; Null reads as "<null>".
std::vector<std::vector<std::string>> QueryRows(const std::filesystem::path& database,
                                                std::string_view sql);
// The first column of the first row, or "<none>".
std::string QueryValue(const std::filesystem::path& database, std::string_view sql);
// Runs statements with plain SQLite on the file, waiting for another program's lock a while.
void ExecSql(const std::filesystem::path& database, std::string_view sql);

// The embedded engine's failure number for an SQLite result code.
constexpr long EngineFailure(int resultCode) {
    return ErrorNumber::ObjectError + resultCode;
}

// Whether SQLite left a journal or write-ahead log beside the file.
bool HasCompanionFiles(const std::filesystem::path& file);

// The first page of a Microsoft Access database with that signature ("Standard Jet DB" for
// an .mdb file, "Standard ACE DB" for .accdb).
std::string AccessFileHeader(std::string_view signature = "Standard Jet DB");

// The year as a complete run leaves it, from the tests' own record of the year.
struct ExpectedYear {
    // Date, colour and the note's length as the year carries it (apostrophes doubled), in date
    // order: what StoredDays reads.
    std::vector<std::vector<std::string>> Days;
    // Date, name, "1", sorted: what StoredLinks reads.
    std::vector<std::vector<std::string>> Links;
};
const ExpectedYear& TheYear();

// Every day's date, colour and note length, as ExpectedYear::Days has them.
std::vector<std::vector<std::string>> StoredDays(const std::filesystem::path& file);
// Each name linked to its date as an all-day event, with how often.
std::vector<std::vector<std::string>> StoredLinks(const std::filesystem::path& file);
// Days whose EventCount is not their number of links: date, count, links.
std::vector<std::vector<std::string>> MiscountedDays(const std::filesystem::path& file);
// Every day with its colour and notes, the shared notes one text, every name of the year on
// its date once.
void ExpectWholeYear(const std::filesystem::path& file);
// The year's links before the name on its date (ISO), as a run that stopped there leaves them.
std::vector<std::vector<std::string>> LinksBefore(const std::string& date, const std::string& name);
// No name half written: every day's EventCount is its number of links, every event is linked.
void ExpectNamesWhole(const std::filesystem::path& file);

// A write refused between a link and its count: the count that would give 2/22 its second
// event, for Washington's Birthday after Ash Wednesday, until kDropCountRefusal.
inline constexpr const char* kRefuseTheSecondCountOfFebruary22 =
    "CREATE TRIGGER RefuseCount BEFORE UPDATE OF EventCount ON Dates "
    "WHEN NEW.DateKey = '2012-02-22' AND NEW.EventCount = 2 "
    "BEGIN SELECT RAISE(ABORT, 'the day''s count is locked'); END;";
inline constexpr const char* kDropCountRefusal = "DROP TRIGGER RefuseCount;";
// After a run under that refusal: reported once, at the count's line, and nothing of
// Washington's Birthday stays while the names before it do. Also that the box came after the
// name was taken back: set up before the run, it looks whether another program could write
// the file while the box was up.
class RefusedNameCheck {
  public:
    RefusedNameCheck(std::filesystem::path file, RecordingMessageBox& box);
    void ExpectTheNameTakenBack() const;

  private:
    std::filesystem::path mFile;
    RecordingMessageBox& mBox;
    std::vector<bool> mFileFreeWhileShown;
};

// A name's transaction refused on the engines of engines: at its begin, by a file another
// program takes between the two passes (reported at place, "module line"), or at its commit,
// which runs while no file may grow (RLIMIT_FSIZE), as on a full disk. Either way the run
// finishes with every day written and nothing of the name, and the next run completes the year.
void ExpectANameRefusedAtItsBegin(const EngineFactory& engines, const std::string& place);
void ExpectANameRefusedAtItsCommit(const EngineFactory& engines);

}  // namespace almanoria::testing
