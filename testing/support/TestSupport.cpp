#include "testing/support/TestSupport.hpp"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>

namespace almanoria::testing {

namespace {

class ObservedEngine final : public Engine {
  public:
    ObservedEngine(std::unique_ptr<Engine> engine, StatementObserver& observer)
        : mEngine(std::move(engine)), mObserver(observer) {}
    void Execute(std::string_view statement) override {
        mObserver.OnStatement(statement);
        mEngine->Execute(statement);
    }
    ResultRows Query(std::string_view statement) override {
        mObserver.OnStatement(statement);
        return mEngine->Query(statement);
    }
    void BeginTransaction() override { mEngine->BeginTransaction(); }
    void CommitTransaction() override { mEngine->CommitTransaction(); }
    void RollbackTransaction() override { mEngine->RollbackTransaction(); }

  private:
    std::unique_ptr<Engine> mEngine;
    StatementObserver& mObserver;
};

}  // namespace

EngineFactory ObservedEngines(EngineFactory engines, StatementObserver* observer) {
    if (!observer) return engines;
    return [engines = std::move(engines), observer](std::string_view connectionString) {
        return std::unique_ptr<Engine>(
            std::make_unique<ObservedEngine>(engines(connectionString), *observer));
    };
}

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

std::string IsoDate(std::string_view date) {
    const std::size_t first = date.find('/');
    const std::size_t second = date.find('/', first + 1);
    const std::string month(date.substr(0, first));
    const std::string day(date.substr(first + 1, second - first - 1));
    return std::string(date.substr(second + 1)) + (month.size() == 1 ? "-0" : "-") + month +
           (day.size() == 1 ? "-0" : "-") + day;
}

::testing::AssertionResult ShowsPath(std::string_view shown, std::string_view path) {
    const std::size_t dots = shown.find("...");
    const bool shows = dots == std::string_view::npos
                           ? shown == path
                           : !path.empty() && path.starts_with(shown.substr(0, dots)) &&
                                 path.ends_with(shown.substr(dots + 3));
    if (shows) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << shown << "\" does not show \"" << path << "\"";
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

void SetEnvironment(const std::string& name, const char* value) {
#ifdef _WIN32
    // msvcrt's own copy and the process's, which the platform reads, both change; "NAME="
    // removes the variable.
    _putenv((name + "=" + (value ? value : "")).c_str());
#else
    if (value) {
        setenv(name.c_str(), value, 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

EnvironmentScope::EnvironmentScope(std::string name, const char* value) : mName(std::move(name)) {
    if (const char* saved = std::getenv(mName.c_str())) mSaved = saved;
    SetEnvironment(mName, value);
}

EnvironmentScope::~EnvironmentScope() {
    SetEnvironment(mName, mSaved ? mSaved->c_str() : nullptr);
}

TimeZoneScope::TimeZoneScope(const char* zone) {
    mZone.emplace("TZ", zone);
    ReadTimeZone();
}

TimeZoneScope::~TimeZoneScope() {
    mZone.reset();
    ReadTimeZone();
}

std::time_t UtcSeconds(const LocalDateTime& local) {
    std::tm time{};
    time.tm_year = local.Year - 1900;
    time.tm_mon = local.Month - 1;
    time.tm_mday = local.Day;
    time.tm_hour = local.Hour;
    time.tm_min = local.Minute;
    time.tm_sec = local.Second;
#ifdef _WIN32
    return _mkgmtime(&time);
#else
    return timegm(&time);
#endif
}

void ReadTimeZone() {
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
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

std::vector<std::string> RecordingMessageBox::Places() const {
    std::vector<std::string> places;
    for (const Report& report : Reports())
        places.push_back(report.Module + " " + std::to_string(report.Line));
    return places;
}

std::string RandomBytes() {
    std::mt19937 random(2012);
    std::string noise(8192, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(random() & 0xFF);
    return noise;
}

std::string FixedClock::MonthAbbreviation(int month) const {
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return kMonths[(month - 1) % 12];
}

void OdbcDriverRegistration::SetUp() {
    mFolder = std::make_unique<TempDir>();
    WriteFile(*mFolder / "odbcinst.ini", "[" + mName + "]\nDriver=" + mLibrary + "\n");
    SetEnvironment("ODBCSYSINI", mFolder->Path().string().c_str());
    SetEnvironment("ODBCINSTINI", "odbcinst.ini");
}

void OdbcDriverRegistration::TearDown() {
    mFolder.reset();
}

}  // namespace almanoria::testing
