#pragma once

// What the engine's suites share: the program's statements as it writes them, and the SQLite
// result code of a Failure.

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

}  // namespace almanoria::testing
