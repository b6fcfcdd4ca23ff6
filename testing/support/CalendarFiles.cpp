#include "testing/support/CalendarFiles.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "tools/calendardb/CalendarDatabase.hpp"
#include "yeardata/tests/YearFacts.hpp"

namespace almanoria::testing {

namespace {

using DatabaseHandle = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

DatabaseHandle OpenPlain(const std::filesystem::path& database) {
    sqlite3* raw = nullptr;
    const int opened =
        sqlite3_open_v2(database.string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    DatabaseHandle db(raw, &sqlite3_close);
    if (opened != SQLITE_OK) throw std::runtime_error("cannot open " + database.string());
    sqlite3_busy_timeout(db.get(), 5000);
    return db;
}

}  // namespace

std::filesystem::path MakeCalendar(const TempDir& dir, std::string_view name) {
    const std::filesystem::path path = dir / name;
    CreateCalendarDatabase(path);
    return path;
}

std::vector<std::vector<std::string>> QueryRows(const std::filesystem::path& database,
                                                std::string_view sql) {
    const DatabaseHandle db = OpenPlain(database);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db.get(), std::string(sql).c_str(), -1, &raw, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("bad query: ") + sqlite3_errmsg(db.get()));
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
        throw std::runtime_error(std::string("query failed: ") + sqlite3_errmsg(db.get()));
    }
    return rows;
}

std::string QueryValue(const std::filesystem::path& database, std::string_view sql) {
    const auto rows = QueryRows(database, sql);
    return rows.empty() || rows.front().empty() ? "<none>" : rows.front().front();
}

void ExecSql(const std::filesystem::path& database, std::string_view sql) {
    const DatabaseHandle db = OpenPlain(database);
    char* message = nullptr;
    if (sqlite3_exec(db.get(), std::string(sql).c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string why = message ? message : "?";
        sqlite3_free(message);
        throw std::runtime_error("statement failed: " + why);
    }
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

// Every date of 2012 in order, as the database keeps them.
std::vector<std::string> DaysOf2012() {
    static constexpr int kMonthLengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    std::vector<std::string> days;
    for (int month = 1; month <= 12; ++month) {
        for (int day = 1; day <= kMonthLengths[month - 1]; ++day) {
            days.push_back(IsoDate(std::to_string(month) + "/" + std::to_string(day) + "/2012"));
        }
    }
    return days;
}

ExpectedYear MakeExpectedYear() {
    ExpectedYear year;
    for (const std::string& date : DaysOf2012()) {
        const auto run = std::find_if(
            kColourRunDays.begin(), kColourRunDays.end(), [&](const ColourRun& candidate) {
                return IsoDate(candidate.From) <= date && date <= IsoDate(candidate.To);
            });
        year.Days.push_back({date, run == kColourRunDays.end() ? "<no run>" : run->Colour, "0"});
    }
    for (auto& day : year.Days) {
        for (const auto& [date, length] : kNoteLengths) {
            if (IsoDate(date) == day[0]) day[2] = std::to_string(length);
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

}  // namespace almanoria::testing
