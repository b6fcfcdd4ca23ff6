// Times the whole update against the floor of issuing its statements to SQLite directly, and
// shows how the cost grows with a calendar that already holds years of other days and events.
//
// Prints one line per case and a summary; the last lines are "ratio first-run/floor: R" for 2012
// and the same for 2027, a year built by rule. The update is the tests' headless one, which the
// benchmark checks only after each timed run.

#include <sqlite3.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "database/dialect/AccessDialect.hpp"
#include "testing/support/CalendarFiles.hpp"
#include "testing/support/UpdateFixture.hpp"
#include "yeardata/basStringFunctions.hpp"

namespace almanoria {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// One whole update as the wizard runs it, headless; only the run itself is timed.
double TimeUpdate(const fs::path& database, int year = kStoredYear) {
    testing::HeadlessUpdate update(database.parent_path(), database, nullptr,
                                   DefaultEngineFactory(), year);
    const auto start = Clock::now();
    update.PressNext();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (!update.box.Shown.empty() || !update.Finished()) {
        throw std::runtime_error("the update failed on " + database.string() + ": " +
                                 update.FirstBox());
    }
    return seconds;
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// Counts the rows of a query as a recordset would read them.
int RowCount(sqlite3* db, const std::string& sql) {
    int rows = 0;
    char* message = nullptr;
    const int result = sqlite3_exec(
        db, sql.c_str(),
        [](void* count, int, char**, char**) { return ++*static_cast<int*>(count), 0; }, &rows,
        &message);
    sqlite3_free(message);
    if (result != SQLITE_OK) throw std::runtime_error("floor query failed: " + sql);
    return rows;
}

// The first run's statements with the same values, as plain SQLite issues them: no
// translation, and the commits the update makes, one for each statement of the Dates pass and
// one for each name's event, link and count, in the journal mode the update uses. The floor
// proper also
// times what the update must do around them: open the file, switch to write-ahead logging,
// and put the file back into its own journal mode when it closes.
double TimeFloor(const fs::path& database, bool withOpenAndClose, int year = kStoredYear) {
    YearTable table;
    BuildYearTable(table, year);
    auto start = Clock::now();
    std::optional<testing::PlainConnection> plain(std::in_place, database);
    sqlite3* db = plain->Handle();
    plain->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    if (!withOpenAndClose) start = Clock::now();
    for (const std::string& record : table) {
        const std::string date = testing::IsoDate(GetFields(record, "|", 1, 0));
        const std::string colour = GetFields(record, "|", 2, 0);
        const std::string notes = GetFields(record, "|", 4, 0);
        if (RowCount(db, "SELECT * FROM Dates WHERE DateKey=" + Quoted(date) + ";") > 0) {
            plain->Exec("UPDATE Dates SET DateColor=" + Quoted(colour) +
                        ", DateText=" + Quoted(notes) + " WHERE DateKey=" + Quoted(date) + ";");
        } else {
            plain->Exec(
                "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES (" +
                Quoted(date) + "," + Quoted(colour) + ",0,''," + Quoted(notes) + ");");
        }
    }
    for (const std::string& record : table) {
        const std::string names = GetFields(record, "|", 3, 0);
        if (names.empty()) continue;
        const std::string date = testing::IsoDate(GetFields(record, "|", 1, 0));
        RowCount(db, "SELECT * FROM EventDates WHERE EventDate=" + Quoted(date) + ";");
        for (Integer position = 1;; ++position) {
            const std::string name =
                dialect::DoubledApostrophes(GetFields(names, "^", position, 0));
            if (name.empty()) break;
            plain->Exec("BEGIN IMMEDIATE;");
            plain->Exec(
                "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, "
                "EventIcon, Notes, Recurring) VALUES (" +
                Quoted(name) + ",1,'0:00 AM','11:59 PM','','','',0);");
            RowCount(db, "SELECT last_insert_rowid();");
            const std::string id = std::to_string(sqlite3_last_insert_rowid(db));
            plain->Exec("INSERT INTO EventDates (EventId, EventDate) VALUES (" + id + "," +
                        Quoted(date) + ");");
            RowCount(db, "SELECT * FROM Dates WHERE DateKey=" + Quoted(date) + ";");
            plain->Exec(
                "UPDATE Dates SET EventCount = EventCount + 1 WHERE DateKey=" + Quoted(date) + ";");
            plain->Exec("COMMIT;");
        }
    }
    const auto statementsDone = Clock::now();
    plain->Exec("PRAGMA journal_mode=DELETE;");
    plain.reset();
    return std::chrono::duration<double>((withOpenAndClose ? Clock::now() : statementsDone) - start)
        .count();
}

// A calendar that already holds `years` years before 2012 of days with three events each.
void FillHistory(const fs::path& database, int years) {
    testing::PlainConnection history(database);
    history.Exec("BEGIN;");
    history.Exec("WITH RECURSIVE day(d) AS (SELECT date('2012-01-01', '-" + std::to_string(years) +
                 " years') UNION ALL SELECT date(d, '+1 day') FROM day WHERE d < '2011-12-31') "
                 "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
                 "SELECT d, 'Green', 3, '', 'An ordinary day of the church year.' FROM day;");
    history.Exec(
        "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, "
        "Notes, Recurring) SELECT 'Meeting ' || n || ' on ' || DateKey, n = 1, '9:00 AM', "
        "'10:00 AM', '', '', 'Bring the minutes.', 0 FROM Dates, "
        "(SELECT 1 AS n UNION ALL SELECT 2 UNION ALL SELECT 3) ORDER BY DateKey, n;");
    history.Exec(
        "INSERT INTO EventDates (EventId, EventDate) SELECT EventID, "
        "substr(EventName, instr(EventName, ' on ') + 4) FROM Events;");
    history.Exec("COMMIT;");
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

struct Case {
    std::string Name;
    double Seconds;
};

// Runs `repeat` on a fresh copy of the template for each repetition; `prepare` runs untimed.
double MedianOver(int repetitions, const fs::path& work, const fs::path& templateFile,
                  const std::function<void(const fs::path&)>& prepare,
                  const std::function<double(const fs::path&)>& timed) {
    std::vector<double> samples;
    for (int repetition = 0; repetition < repetitions; ++repetition) {
        const fs::path file = work / ("run-" + std::to_string(repetition) + ".mdb");
        fs::remove(file);
        fs::copy_file(templateFile, file);
        if (prepare) prepare(file);
        samples.push_back(timed(file));
        fs::remove(file);
        fs::remove(fs::path(file.string() + "-wal"));
        fs::remove(fs::path(file.string() + "-shm"));
    }
    return Median(samples);
}

int Run(int repetitions) {
    const testing::TempDir folder;
    const fs::path& work = folder.Path();
    const fs::path empty = testing::MakeCalendar(folder, "empty.mdb");
    const fs::path tenYears = work / "ten-years.mdb";
    const fs::path fiftyYears = work / "fifty-years.mdb";
    fs::copy_file(empty, tenYears);
    fs::copy_file(empty, fiftyYears);
    FillHistory(tenYears, 10);
    FillHistory(fiftyYears, 50);

    const auto firstRun = [](const fs::path& file) { return TimeUpdate(file); };
    const auto updatedOnce = [](const fs::path& file) { TimeUpdate(file); };

    std::vector<Case> cases;
    const auto measure = [&](std::string name, const fs::path& file,
                             const std::function<void(const fs::path&)>& prepare,
                             const std::function<double(const fs::path&)>& timed) {
        const double seconds = MedianOver(repetitions, work, file, prepare, timed);
        std::printf("%-28s median of %d: %8.2f ms\n", name.c_str(), repetitions, seconds * 1000);
        std::fflush(stdout);
        cases.push_back({std::move(name), seconds});
        return seconds;
    };

    measure("floor, statements only", empty, nullptr,
            [](const fs::path& file) { return TimeFloor(file, false); });
    const double floor = measure("floor (plain sqlite3_exec)", empty, nullptr,
                                 [](const fs::path& file) { return TimeFloor(file, true); });
    const double first = measure("first run, empty", empty, nullptr, firstRun);
    measure("second run, empty", empty, updatedOnce, firstRun);
    measure("first run, 10 years", tenYears, nullptr, firstRun);
    measure("second run, 10 years", tenYears, updatedOnce, firstRun);
    const double firstFifty = measure("first run, 50 years", fiftyYears, nullptr, firstRun);
    measure("second run, 50 years", fiftyYears, updatedOnce, firstRun);
    const double floor2027 = measure("floor for 2027", empty, nullptr, [](const fs::path& file) {
        return TimeFloor(file, true, 2027);
    });
    const double first2027 = measure("first run for 2027, empty", empty, nullptr,
                                     [](const fs::path& file) { return TimeUpdate(file, 2027); });

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    std::printf("summary:\n");
    std::printf("peak memory: %.1f MiB\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::printf("ratio 50-years/empty (first run): %.2f\n", firstFifty / first);
    std::printf("ratio first-run/floor: %.2f\n", first / floor);
    std::printf("ratio first-run/floor for 2027: %.2f\n", first2027 / floor2027);
    return 0;
}

}  // namespace
}  // namespace almanoria

int main(int argc, char** argv) {
    // --repetitions N takes fewer samples, for profiling.
    const int repetitions =
        argc == 3 && std::string(argv[1]) == "--repetitions" ? std::max(1, std::atoi(argv[2])) : 15;
    try {
        return almanoria::Run(repetitions);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "benchmark: %s\n", failure.what());
        return 1;
    }
}
