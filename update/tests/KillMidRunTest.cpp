#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "testing/support/CalendarFiles.hpp"
#include "testing/support/UpdateFixture.hpp"
#include "tools/calendardb/CalendarDatabase.hpp"
#include "update/tests/HardeningSupport.hpp"

namespace almanoria::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kReportedBeforeTheKill = 3;
constexpr int kRanToTheEnd = 4;

// Kills its own process as statement after + 1 is about to run, so that exactly the first
// `after` statements took effect. A report before that point is a failure of its own.
class KillBeforeStatement final : public StatementObserver {
  public:
    explicit KillBeforeStatement(std::size_t after) : mAfter(after) {}
    void OnStatement(std::string_view) override {
        if (mSeen++ != mAfter) return;
        if (Box && !Box->Shown.empty()) ::_exit(kReportedBeforeTheKill);
        ::kill(::getpid(), SIGKILL);
    }
    const RecordingMessageBox* Box = nullptr;

  private:
    std::size_t mAfter;
    std::size_t mSeen = 0;
};

std::size_t CountStarting(const std::vector<std::string>& statements, std::size_t first,
                          std::string_view prefix) {
    return static_cast<std::size_t>(
        std::count_if(statements.begin(), statements.begin() + static_cast<long>(first),
                      [&](const std::string& s) { return s.starts_with(prefix); }));
}

// How many of the first `ran` statements have taken effect: a name's event, link and count
// commit together, so a name that the kill cut in two is gone from its event on.
std::size_t Committed(const std::vector<std::string>& statements, std::size_t ran) {
    for (std::size_t i = ran; i-- > 0;) {
        if (statements[i].starts_with("UPDATE Dates SET EventCount")) return ran;
        if (statements[i].starts_with("INSERT INTO Events")) return i;
    }
    return ran;
}

class KillMidRun : public ::testing::Test {
  protected:
    // The statements of a first run on an empty calendar, in order; every kill replays a
    // prefix of them.
    std::vector<std::string> FirstRunStatements() {
        const fs::path file = folder / "reference.mdb";
        fs::copy_file(empty, file);
        RecordingObserver observer;
        HeadlessUpdate update(dir.Path(), file, &observer);
        update.PressNext();
        EXPECT_TRUE(update.box.Shown.empty()) << update.FirstBox();
        return observer.Seen;
    }

    // Spread over the whole run, and a few on purpose where a kill cuts one name's work in
    // two: after its event, after its link, after the day's query before the count.
    static std::vector<std::size_t> KillPoints(const std::vector<std::string>& statements) {
        std::set<std::size_t> points;
        const std::size_t last = statements.size() - 1;
        for (std::size_t i = 0; i <= 36; ++i)
            points.insert(i * last / 36);
        std::size_t links = 0;
        for (std::size_t i = 0; i < statements.size(); ++i) {
            if (!statements[i].starts_with("INSERT INTO EventDates")) continue;
            if (links++ % 30 != 0) continue;
            points.insert(i - 1);  // after the event and its identity
            points.insert(i + 1);  // after the link
            points.insert(i + 2);  // after the day's query, before the count
        }
        return {points.begin(), points.end()};
    }

    void SetUp() override {
        // The files live in memory where they can: a killed process leaves in the page cache
        // exactly what it leaves on a disk, and fifty runs need not wait for the disk.
        fs::create_directory(folder);
        static_cast<void>(mInMemory.SmallTmpfs(folder, 64 << 20));  // else on the disk
        empty = folder / "empty.mdb";
        CreateCalendarDatabase(empty);
    }

    TempDir dir;
    fs::path folder = dir / "calendars";
    fs::path empty;

  private:
    Mount mInMemory;
};

TEST_F(KillMidRun, EveryKillPointKeepsTheFileWholeAndASecondRunCompletesIt) {
    const std::vector<std::string> statements = FirstRunStatements();
    ASSERT_EQ(statements.size(), 1156u);
    const std::vector<std::size_t> points = KillPoints(statements);
    ASSERT_GE(points.size(), 40u);

    int survived = 0;
    for (const std::size_t k : points) {
        SCOPED_TRACE("killed after statement " + std::to_string(k) + " of " +
                     std::to_string(statements.size()));
        const int failuresBefore =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        const fs::path file = folder / ("killed-" + std::to_string(k) + ".mdb");
        fs::copy_file(empty, file);

        ChildProcess child([&] {
            KillBeforeStatement observer(k);
            HeadlessUpdate update(dir.Path(), file, &observer);
            observer.Box = &update.box;
            update.PressNext();
            return kRanToTheEnd;
        });
        ASSERT_TRUE(child.Started());
        const int status = child.Wait();
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the child ended with status " << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);

        EXPECT_EQ(QueryValue(file, "PRAGMA integrity_check"), "ok");
        // Everything committed before the kill is there, and nothing of the name it cut.
        const std::size_t kept = Committed(statements, k);
        const std::size_t days = CountStarting(statements, kept, "INSERT INTO Dates");
        const auto& year = TheYear().Days;
        EXPECT_EQ(StoredDays(file), (std::vector<std::vector<std::string>>(
                                        year.begin(), year.begin() + static_cast<long>(days))));
        EXPECT_EQ(QueryValue(file, "SELECT count(*) FROM Events"),
                  std::to_string(CountStarting(statements, kept, "INSERT INTO Events")));
        EXPECT_EQ(QueryValue(file, "SELECT count(*) FROM EventDates"),
                  std::to_string(CountStarting(statements, kept, "INSERT INTO EventDates")));
        EXPECT_EQ(QueryValue(file, "SELECT ifnull(sum(EventCount), 0) FROM Dates"),
                  std::to_string(CountStarting(statements, kept, "UPDATE Dates SET EventCount")));
        ExpectNamesWhole(file);

        // The second run completes the year: every day counts its links, every event is linked.
        ExpectACompleteRun(dir.Path(), file);
        ExpectNamesWhole(file);

        const int failuresAfter =
            ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
        if (failuresAfter == failuresBefore) ++survived;
        fs::remove(file);
    }

    RecordProperty("KillPointsTried", static_cast<int>(points.size()));
    RecordProperty("KillPointsSurvived", survived);
    std::printf("kill points tried: %zu, survived: %d\n", points.size(), survived);
    EXPECT_EQ(survived, static_cast<int>(points.size()));
}

}  // namespace
}  // namespace almanoria::testing
