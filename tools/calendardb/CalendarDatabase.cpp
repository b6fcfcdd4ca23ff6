#include "tools/calendardb/CalendarDatabase.hpp"

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>

namespace almanoria {

void CreateCalendarDatabase(const std::filesystem::path& path) {
    // "x" creates the file only when it is not there, so an existing calendar is never touched.
    std::FILE* created = std::fopen(path.string().c_str(), "wbx");
    if (!created) {
        throw std::runtime_error("cannot create '" + path.string() +
                                 "': it exists already or its folder is not writable");
    }
    std::fclose(created);

    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(path.string().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    if (opened != SQLITE_OK) {
        throw std::runtime_error("cannot open '" + path.string() + "': " + sqlite3_errstr(opened));
    }
    const std::string script = std::string("BEGIN;\n") + kCalendarSchema + "COMMIT;\n";
    char* message = nullptr;
    if (sqlite3_exec(db.get(), script.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string why = message ? message : "unknown error";
        sqlite3_free(message);
        throw std::runtime_error("cannot make the tables in '" + path.string() + "': " + why);
    }
}

}  // namespace almanoria
