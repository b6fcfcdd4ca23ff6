// year_rows: the year as the update leaves it in the calendar, for the Wine end-to-end test to
// compare a database with: one "day|key|colour|notes" line per date and one "link|key|name"
// line per named day, keys as the database stores them (yyyy-mm-dd).

#include <cstdio>
#include <string>

#include "yeardata/basStringFunctions.hpp"
#include "yeardata/basUpdate.hpp"

int main() {
    using almanoria::GetFields;
    almanoria::YearTable table;
    almanoria::BuildYearTable(table);
    for (const std::string& record : table) {
        const std::string date = GetFields(record, "|", 1, 0);
        char key[16];
        std::snprintf(key, sizeof key, "%s-%02d-%02d", GetFields(date, "/", 3, 0).c_str(),
                      std::stoi(GetFields(date, "/", 1, 0)), std::stoi(GetFields(date, "/", 2, 0)));
        // The notes carry their apostrophes doubled for the statement; stored, they are single.
        const std::string notes = GetFields(record, "|", 4, 0);
        std::string stored;
        for (std::size_t i = 0; i < notes.size(); ++i) {
            stored += notes[i];
            if (notes[i] == '\'' && i + 1 < notes.size() && notes[i + 1] == '\'') ++i;
        }
        std::printf("day|%s|%s|%s\n", key, GetFields(record, "|", 2, 0).c_str(), stored.c_str());
        const std::string names = GetFields(record, "|", 3, 0);
        for (almanoria::Integer n = 1; !GetFields(names, "^", n, 0).empty(); ++n) {
            std::printf("link|%s|%s\n", key, GetFields(names, "^", n, 0).c_str());
        }
    }
    return 0;
}
