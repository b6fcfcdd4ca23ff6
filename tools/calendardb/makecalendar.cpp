// makecalendar PATH: makes an empty calendar database to try the update on.
// makecalendar --default-path: prints where the program looks for the calendar, so that scripts
// follow the program's own rule rather than a copy of it.
#include <cstdio>
#include <cstring>
#include <exception>

#include "tools/calendardb/CalendarDatabase.hpp"
#include "window/frmMain.hpp"

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--default-path") == 0) {
        std::printf("%s\n", almanoria::DefaultDatabasePath().c_str());
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecalendar PATH | makecalendar --default-path\n");
        return 2;
    }
    try {
        almanoria::CreateCalendarDatabase(argv[1]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "makecalendar: %s\n", failure.what());
        return 1;
    }
    return 0;
}
