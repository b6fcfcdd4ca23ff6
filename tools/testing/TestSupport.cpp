#include "tools/testing/TestSupport.hpp"

#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

#include "tools/calendardb/CalendarDatabase.hpp"

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

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    mPath = std::filesystem::temp_directory_path() /
            ("almanoria-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(mPath);
}

TempDir::~TempDir() {
    std::error_code ignored;
    // A test may have taken write permission away; give it back so everything goes.
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(mPath, ignored)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(mPath, ignored);
}

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

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Report ParseReport(const std::string& boxText) {
    const auto after = [&](std::string_view label) {
        const std::size_t start = boxText.find(label);
        if (start == std::string::npos) return std::string("<missing>");
        const std::size_t from = start + label.size();
        return boxText.substr(from, boxText.find("\r\n", from) - from);
    };
    Report report;
    report.Module = after("Module: \t\t");
    report.Line = std::stol("0" + after("Line Number: \t"));
    const std::string number = after("Error Number: \t");
    report.Number =
        number.starts_with("-") ? -std::stol(number.substr(1)) : std::stol("0" + number);
    report.Description = after("Error Description: \t");
    return report;
}

std::vector<Report> RecordingMessageBox::Reports() const {
    std::vector<Report> reports;
    for (const ShownBox& box : Shown)
        reports.push_back(ParseReport(box.Text));
    return reports;
}

std::string FixedClock::MonthAbbreviation(int month) const {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return kMonths[(month - 1) % 12];
}

void OdbcDriverRegistration::SetUp() {
    mFolder = std::make_unique<TempDir>();
    WriteFile(*mFolder / "odbcinst.ini", "[" + mName + "]\nDriver=" + mLibrary + "\n");
    setenv("ODBCSYSINI", mFolder->Path().c_str(), 1);
    setenv("ODBCINSTINI", "odbcinst.ini", 1);
}

void OdbcDriverRegistration::TearDown() {
    mFolder.reset();
}

}  // namespace almanoria::testing
