#include "testing/support/CalendarFiles.hpp"

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "testing/support/UpdateFixture.hpp"
#include "tools/calendardb/CalendarDatabase.hpp"
#include "yeardata/tests/YearFacts.hpp"

namespace almanoria::testing {

PlainConnection::PlainConnection(const std::filesystem::path& database) {
    const int opened =
        sqlite3_open_v2(database.string().c_str(), &mDatabase, SQLITE_OPEN_READWRITE, nullptr);
    if (opened != SQLITE_OK) {
        sqlite3_close(mDatabase);
        throw std::runtime_error("cannot open " + database.string());
    }
}

PlainConnection::~PlainConnection() {
    sqlite3_close(mDatabase);
}

void PlainConnection::Exec(std::string_view sql) {
    char* message = nullptr;
    if (sqlite3_exec(mDatabase, std::string(sql).c_str(), nullptr, nullptr, &message) !=
        SQLITE_OK) {
        const std::string why = message ? message : sqlite3_errmsg(mDatabase);
        sqlite3_free(message);
        throw std::runtime_error("statement failed: " + why + " in: " + std::string(sql));
    }
}

namespace {

// Waits for another program's lock up to five seconds, as a user would.
void WaitForLocks(const PlainConnection& db) {
    sqlite3_busy_timeout(db.Handle(), 5000);
}

}  // namespace

std::filesystem::path MakeCalendar(const TempDir& dir, std::string_view name) {
    const std::filesystem::path path = dir / name;
    CreateCalendarDatabase(path);
    return path;
}

std::vector<std::vector<std::string>> QueryRows(const std::filesystem::path& database,
                                                std::string_view sql) {
    const PlainConnection db(database);
    WaitForLocks(db);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.Handle(), std::string(sql).c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("bad query: ") + sqlite3_errmsg(db.Handle()));
    }
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw,
                                                                               &sqlite3_finalize);
    std::vector<std::vector<std::string>> rows;
    int step;
    while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
        std::vector<std::string>& row = rows.emplace_back();
        for (int column = 0; column < sqlite3_column_count(statement.get()); ++column) {
            const unsigned char* text = sqlite3_column_text(statement.get(), column);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
        }
    }
    if (step != SQLITE_DONE) {
        throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db.Handle()));
    }
    return rows;
}

std::string QueryValue(const std::filesystem::path& database, std::string_view sql) {
    const auto rows = QueryRows(database, sql);
    return rows.empty() || rows.front().empty() ? "<none>" : rows.front().front();
}

void ExecSql(const std::filesystem::path& database, std::string_view sql) {
    PlainConnection db(database);
    WaitForLocks(db);
    db.Exec(sql);
}

bool HasCompanionFiles(const std::filesystem::path& file) {
    for (const char* suffix : {"-wal", "-shm", "-journal"}) {
        if (std::filesystem::exists(file.string() + suffix)) return true;
    }
    return false;
}

std::string AccessFileHeader(std::string_view signature) {
    std::string bytes(4096, '\x5a');
    bytes.replace(0, 4, std::string("\0\1\0\0", 4));
    bytes.replace(4, signature.size() + 1, std::string(signature) + '\0');
    return bytes;
}

namespace {

// Every day of 2012 in order, its colour by the runs, its note's length by the noted days.
ExpectedYear MakeExpectedYear() {
    static constexpr int kMonthLengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    ExpectedYear year;
    auto run = kColourRunDays.begin();
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= kMonthLengths[month - 1]; ++day) {
            const std::string date = std::to_string(month) + "/" + std::to_string(day) + "/2012";
            const auto note = kNoteLengths.find(date);
            year.Days.push_back({IsoDate(date), run->Colour,
                                 std::to_string(note == kNoteLengths.end() ? 0 : note->second)});
            if (date == run->To && run + 1 != kColourRunDays.end()) ++run;
        }
    }
    for (const auto& [date, names] : kNamedDays) {
        for (std::size_t start = 0;;) {
            const std::size_t end = names.find('^', start);
            year.Links.push_back({IsoDate(date), names.substr(start, end - start), "1"});
            if (end == std::string::npos) break;
            start = end + 1;
        }
    }
    std::sort(year.Links.begin(), year.Links.end());
    return year;
}

}  // namespace

const ExpectedYear& TheYear() {
    static const ExpectedYear year = MakeExpectedYear();
    return year;
}

std::vector<std::vector<std::string>> StoredDays(const std::filesystem::path& file) {
    // Each apostrophe counted twice, as the year carries it.
    return QueryRows(file,
                     "SELECT DateKey, DateColor, 2 * length(DateText) - "
                     "length(replace(DateText, char(39), '')) FROM Dates ORDER BY DateKey");
}

std::vector<std::vector<std::string>> StoredLinks(const std::filesystem::path& file) {
    return QueryRows(file,
                     "SELECT l.EventDate, e.EventName, count(*) FROM Events e "
                     "JOIN EventDates l ON l.EventId = e.EventID WHERE e.AllDayEvent = 1 "
                     "GROUP BY 1, 2 ORDER BY 1, 2");
}

std::vector<std::vector<std::string>> MiscountedDays(const std::filesystem::path& file) {
    return QueryRows(file,
                     "SELECT d.DateKey, d.EventCount, (SELECT count(*) FROM EventDates l "
                     "WHERE l.EventDate = d.DateKey) AS links FROM Dates d "
                     "WHERE d.EventCount IS NOT links ORDER BY 1");
}

void ExpectWholeYear(const std::filesystem::path& file) {
    EXPECT_EQ(StoredDays(file), TheYear().Days);
    for (const std::vector<std::string>& days : kSharedNotes) {
        std::string keys;
        for (const std::string& date : days)
            keys += (keys.empty() ? "'" : ", '") + IsoDate(date) + "'";
        EXPECT_EQ(QueryValue(file, "SELECT count(DISTINCT DateText) FROM Dates WHERE DateKey IN (" +
                                       keys + ")"),
                  "1")
            << keys;
    }
    EXPECT_EQ(StoredLinks(file), TheYear().Links);
}

std::vector<std::vector<std::string>> LinksBefore(const std::string& date,
                                                  const std::string& name) {
    const auto& links = TheYear().Links;
    const auto at =
        std::find(links.begin(), links.end(), std::vector<std::string>{date, name, "1"});
    EXPECT_NE(at, links.end()) << name << " is no name of " << date;
    return {links.begin(), at};
}

void ExpectNamesWhole(const std::filesystem::path& file) {
    const auto miscounted = MiscountedDays(file);
    EXPECT_TRUE(miscounted.empty())
        << miscounted.at(0).at(0) << ": EventCount " << miscounted.at(0).at(1) << " but "
        << miscounted.at(0).at(2) << " links";
    EXPECT_EQ(QueryValue(file,
                         "SELECT count(*) FROM Events e WHERE NOT EXISTS "
                         "(SELECT 1 FROM EventDates l WHERE l.EventId = e.EventID)"),
              "0")
        << "events without their link";
}

RefusedNameCheck::RefusedNameCheck(std::filesystem::path file, RecordingMessageBox& box)
    : mFile(std::move(file)), mBox(box) {
    mBox.WhileShown = [this] {
        PlainConnection other(mFile);
        mFileFreeWhileShown.push_back(sqlite3_exec(other.Handle(), "BEGIN IMMEDIATE; ROLLBACK;",
                                                   nullptr, nullptr, nullptr) == SQLITE_OK);
    };
}

void RefusedNameCheck::ExpectTheNameTakenBack() const {
    ASSERT_EQ(mBox.Places(), std::vector<std::string>{"basDatabase.IncrementEventCount 240"});
    EXPECT_EQ(mBox.Reports()[0].Description, "the day's count is locked");
    EXPECT_EQ(mFileFreeWhileShown, std::vector<bool>{true}) << "the file was held under the box";
    EXPECT_EQ(StoredLinks(mFile), LinksBefore("2012-02-22", "Washington's Birthday"));
    EXPECT_EQ(QueryValue(mFile, "SELECT COUNT(*) FROM Events WHERE EventName LIKE 'Washington%'"),
              "0");
    ExpectNamesWhole(mFile);
}

namespace {

// Another program takes the file's write lock as the event pass asks its first query.
class LockBeforeTheEventPass final : public StatementObserver {
  public:
    explicit LockBeforeTheEventPass(std::filesystem::path file) : mFile(std::move(file)) {}
    void OnStatement(std::string_view statement) override {
        if (mHolder || !statement.starts_with("SELECT * FROM EventDates")) return;
        mHolder = std::make_unique<PlainConnection>(mFile);
        mHolder->Exec("BEGIN IMMEDIATE");
    }
    bool Held() const { return mHolder != nullptr; }
    void Release() { mHolder.reset(); }

  private:
    std::filesystem::path mFile;
    std::unique_ptr<PlainConnection> mHolder;
};

// No file may grow while it lives; SIGXFSZ is ignored, so a write past the limit fails.
class NoFileGrows {
  public:
    NoFileGrows() {
        ::getrlimit(RLIMIT_FSIZE, &mLimit);
        mSignal = ::signal(SIGXFSZ, SIG_IGN);
        rlimit none = mLimit;
        none.rlim_cur = 1;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileGrows() {
        ::setrlimit(RLIMIT_FSIZE, &mLimit);
        ::signal(SIGXFSZ, mSignal);
    }
    NoFileGrows(const NoFileGrows&) = delete;
    NoFileGrows& operator=(const NoFileGrows&) = delete;

  private:
    rlimit mLimit{};
    sighandler_t mSignal = SIG_DFL;
};

// An engine whose first commit runs while no file may grow.
class CommitRefusingEngine final : public Engine {
  public:
    CommitRefusingEngine(std::unique_ptr<Engine> engine, int& commits)
        : mEngine(std::move(engine)), mCommits(commits) {}
    void Execute(std::string_view statement) override { mEngine->Execute(statement); }
    ResultRows Query(std::string_view statement) override { return mEngine->Query(statement); }
    void BeginTransaction() override { mEngine->BeginTransaction(); }
    void CommitTransaction() override {
        if (mCommits++ > 0) return mEngine->CommitTransaction();
        const NoFileGrows full;
        mEngine->CommitTransaction();
    }
    void RollbackTransaction() override { mEngine->RollbackTransaction(); }

  private:
    std::unique_ptr<Engine> mEngine;
    int& mCommits;
};

void ExpectEveryDayNoNameAndASecondRun(const TempDir& dir, const std::filesystem::path& file,
                                       const EngineFactory& engines) {
    EXPECT_EQ(StoredDays(file), TheYear().Days);
    EXPECT_EQ(QueryValue(file, "SELECT COUNT(*) FROM Events"), "0");
    EXPECT_EQ(QueryValue(file, "SELECT COUNT(*) FROM EventDates"), "0");
    EXPECT_EQ(QueryValue(file, "SELECT COUNT(*) FROM Dates WHERE EventCount <> 0"), "0");
    HeadlessUpdate again(dir.Path(), file, nullptr, engines);
    again.PressNext();
    EXPECT_TRUE(again.box.Shown.empty()) << again.FirstBox();
    ExpectWholeYear(file);
    ExpectNamesWhole(file);
}

}  // namespace

void ExpectANameRefusedAtItsBegin(const EngineFactory& engines, const std::string& place) {
    const TempDir dir;
    const std::filesystem::path file = MakeCalendar(dir);
    LockBeforeTheEventPass other(file);
    HeadlessUpdate update(dir.Path(), file, &other, engines);
    update.PressNext();
    ASSERT_TRUE(other.Held());
    EXPECT_TRUE(update.Finished());
    ASSERT_EQ(update.box.Places(), std::vector<std::string>{place});
    EXPECT_EQ(update.box.Reports()[0].Description, "database is locked");
    other.Release();
    ExpectEveryDayNoNameAndASecondRun(dir, file, engines);
}

void ExpectANameRefusedAtItsCommit(const EngineFactory& engines) {
    const TempDir dir;
    const std::filesystem::path file = MakeCalendar(dir);
    int commits = 0;
    HeadlessUpdate update(dir.Path(), file, nullptr, [&](std::string_view connectionString) {
        return std::unique_ptr<Engine>(
            std::make_unique<CommitRefusingEngine>(engines(connectionString), commits));
    });
    update.PressNext();
    EXPECT_EQ(commits, 1);
    EXPECT_TRUE(update.Finished());
    ASSERT_EQ(update.box.Places(), std::vector<std::string>{"frmMain.AddAllDayEvents 500"});
    EXPECT_EQ(update.box.Reports()[0].Description, "disk I/O error");
    ExpectEveryDayNoNameAndASecondRun(dir, file, engines);
}

}  // namespace almanoria::testing
