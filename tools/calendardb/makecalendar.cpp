// makecalendar PATH: makes an empty calendar database to try the update on.
#include <cstdio>
#include <exception>

#include "tools/calendardb/CalendarDatabase.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makecalendar PATH\n");
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
