#pragma once

#include <filesystem>
#include <stdexcept>

namespace almanoria {

// The tables the desktop calendar keeps, as far as the update reads and writes them. DateText
// and Notes are Memo columns, LONGTEXT in the dialect: a TEXT column holds 255 characters, and
// SQLite would give a column declared MEMO numeric affinity.
inline constexpr const char* kCalendarSchema =
    "CREATE TABLE Dates (DateKey DATETIME, DateColor TEXT, EventCount INTEGER, DateNotes TEXT, "
    "DateText LONGTEXT);\n"
    "CREATE TABLE Events (EventID INTEGER PRIMARY KEY AUTOINCREMENT, EventName TEXT, "
    "AllDayEvent YESNO, StartTime TEXT, EndTime TEXT, EventColor TEXT, EventIcon TEXT, "
    "Notes LONGTEXT, Recurring YESNO);\n"
    "CREATE TABLE EventDates (EventId INTEGER, EventDate DATETIME);\n"
    "CREATE INDEX DatesByKey ON Dates (DateKey);\n"
    "CREATE INDEX EventDatesByDate ON EventDates (EventDate);\n";

// Creates an empty calendar database at path. Refuses, with a runtime_error, to touch a file
// that is already there.
void CreateCalendarDatabase(const std::filesystem::path& path);

}  // namespace almanoria
