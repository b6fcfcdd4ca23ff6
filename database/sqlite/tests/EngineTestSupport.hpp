#pragma once

// What the engine's suites share: the program's statements as it writes them, a plain SQLite
// connection that can hold a lock, and catching a Failure to look at it.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <array>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "database/ConnectionString.hpp"
#include "database/Engine.hpp"
#include "database/sqlite/SqliteEngine.hpp"
#include "errors/Failure.hpp"
#include "testing/support/CalendarFiles.hpp"

namespace almanoria::testing {

inline std::unique_ptr<Engine> OpenCalendar(const std::filesystem::path& path) {
    return OpenSqliteEngine(BuildConnectionString(path.string()));
}

// The SQLite result code a failure carries.
inline int ResultCodeOf(const Failure& failure) {
    return failure.Number() - ErrorNumber::ObjectError;
}

inline std::string SelectDay(const std::string& date) {
    return "SELECT * FROM Dates WHERE (((Dates.DateKey)=#" + date + "#));";
}
inline std::string UpdateDay(const std::string& colour, const std::string& notes,
                             const std::string& date) {
    return "UPDATE Dates SET DateColor = '" + colour + "', DateText = '" + notes +
           "' WHERE (((Dates.DateKey)=#" + date + "#));";
}
inline std::string InsertDay(const std::string& date, const std::string& colour,
                             const std::string& count, const std::string& notes) {
    return "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
           "VALUES ('" +
           date + "','" + colour + "','" + count + "','" + "" + "','" + notes + "');";
}
inline std::string UpdateCount(const std::string& count, const std::string& date) {
    return "UPDATE Dates SET EventCount = " + count + " WHERE (((Dates.DateKey)=#" + date + "#));";
}
inline std::string InsertEvent(const std::array<std::string, 8>& fields) {
    std::string statement =
        "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, "
        "Notes, Recurring) VALUES ('";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        statement += fields[i] + (i + 1 < fields.size() ? "','" : "');");
    }
    return statement;
}
inline std::string InsertAllDayEvent(const std::string& name) {
    return InsertEvent({name, "1", "0:00 AM", "11:59 PM", "", "", "", "0"});
}
inline constexpr const char* kSelectIdentity = "SELECT @@IDENTITY";
inline std::string InsertLink(const std::string& id, const std::string& date) {
    return "INSERT INTO EventDates (EventId, EventDate) VALUES ('" + id + "','" + date + "');";
}
inline std::string SelectLinks(const std::string& date) {
    return "SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#" + date + "#));";
}
inline std::string SelectEvent(const std::string& id) {
    return "SELECT * FROM Events WHERE (((Events.EventID)=" + id + "));";
}

// A connection of another program, with plain SQLite, that can hold a lock.
class PlainConnection {
  public:
    explicit PlainConnection(const std::filesystem::path& path) {
        sqlite3* raw = nullptr;
        const int opened =
            sqlite3_open_v2(path.string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        mDatabase.reset(raw);
        if (opened != SQLITE_OK) throw std::runtime_error("cannot open " + path.string());
    }
    void Exec(const std::string& sql) {
        if (sqlite3_exec(mDatabase.get(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(mDatabase.get()));
        }
    }

  private:
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> mDatabase{nullptr, &sqlite3_close};
};

}  // namespace almanoria::testing
