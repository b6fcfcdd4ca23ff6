#pragma once

// What the test suites share on every platform: temporary folders, files read and written
// whole, the process's environment and the C library's clock functions, a recording message
// box, a fixed clock and a recording statement observer. Calendar files and plain SQL on them
// are in CalendarFiles.hpp, the recording file dialog in RecordingDialog.hpp.

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Connection.hpp"
#include "errors/Failure.hpp"
#include "platform/PlatformServices.hpp"

namespace almanoria {

// Sees the text of every statement and query an engine is given, before it runs.
class StatementObserver {
  public:
    virtual ~StatementObserver() = default;
    virtual void OnStatement(std::string_view statement) = 0;
};

}  // namespace almanoria

namespace almanoria::testing {

// The engines of engines, each showing observer every statement text before it runs it, as the
// program's connection hands it over; transactions pass no text.
EngineFactory ObservedEngines(EngineFactory engines, StatementObserver* observer);

// The failure an action raises; the test fails when it raises none.
template <typename Action>
Failure FailureOf(Action action) {
    try {
        action();
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "expected a Failure";
    return Failure(0, "");
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return mPath; }
    std::filesystem::path operator/(std::string_view name) const { return mPath / name; }

  private:
    std::filesystem::path mPath;
};

// The process's environment as the C library and the platform read it: given no value the
// variable is removed.
void SetEnvironment(const std::string& name, const char* value);

// One environment variable set (or, given no value, removed) for a scope, then restored.
class EnvironmentScope {
  public:
    EnvironmentScope(std::string name, const char* value);
    ~EnvironmentScope();
    EnvironmentScope(const EnvironmentScope&) = delete;
    EnvironmentScope& operator=(const EnvironmentScope&) = delete;

  private:
    std::string mName;
    std::optional<std::string> mSaved;
};

// TZ set for a scope and read by the C library, then restored.
class TimeZoneScope {
  public:
    explicit TimeZoneScope(const char* zone);
    ~TimeZoneScope();
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

  private:
    std::optional<EnvironmentScope> mZone;
};

// The seconds since 1970 of a date and time read as UTC.
std::time_t UtcSeconds(const LocalDateTime& time);
// Makes the C library read TZ again.
void ReadTimeZone();

// "2/22/2012" as the database keeps it, "2012-02-22".
std::string IsoDate(std::string_view date);

// Whether a path box's text shows path: whole, or with a part of it left out for "...".
::testing::AssertionResult ShowsPath(std::string_view shown, std::string_view path);

// Bytes of no file format, the same on every run.
std::string RandomBytes();

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

struct ShownBox {
    std::string Text;
    std::string Title;
};

// What an error box says, taken apart.
struct Report {
    std::string Module;
    long Line = 0;
    long Number = 0;
    std::string Description;
};
Report ParseReport(const std::string& boxText);

class RecordingMessageBox final : public MessageBoxService {
  public:
    void ShowInformation(std::string_view text, std::string_view title) override {
        Shown.push_back({std::string(text), std::string(title)});
        if (WhileShown) WhileShown();
    }
    std::vector<Report> Reports() const;
    // Where each report was made: "module line".
    std::vector<std::string> Places() const;
    std::vector<ShownBox> Shown;
    // Runs as each box is shown, while the program waits for it to be dismissed.
    std::function<void()> WhileShown;
};

// Registers an ODBC driver library under a name of its own, in an odbcinst.ini of a temporary
// folder where unixODBC looks through ODBCSYSINI and ODBCINSTINI. Both are read at the first
// ODBC call of the process, so the registration stands for the whole test program.
class OdbcDriverRegistration final : public ::testing::Environment {
  public:
    OdbcDriverRegistration(std::string name, std::string library)
        : mName(std::move(name)), mLibrary(std::move(library)) {}
    void SetUp() override;
    void TearDown() override;

  private:
    std::string mName;
    std::string mLibrary;
    std::unique_ptr<TempDir> mFolder;
};

class FixedClock final : public ClockService {
  public:
    explicit FixedClock(LocalDateTime now = {2012, 1, 5, 9, 3, 7}) : mNow(now) {}
    LocalDateTime Now() const override { return mNow; }
    std::string MonthAbbreviation(int month) const override;

  private:
    LocalDateTime mNow;
};

// Every statement text a connection runs, in order.
class RecordingObserver final : public StatementObserver {
  public:
    void OnStatement(std::string_view statement) override { Seen.emplace_back(statement); }
    std::vector<std::string> Seen;
};

}  // namespace almanoria::testing
