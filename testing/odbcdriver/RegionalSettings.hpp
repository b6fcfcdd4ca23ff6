#pragma once

// What the Access driver takes from the Windows it runs on, here from the host: how quoted date
// text is read, and where a Windows path lies.

#include <optional>
#include <string>
#include <string_view>

#include "database/Value.hpp"

namespace almanoria::odbcdriver {

// How quoted date text such as '5/6/2012' is read: by the regional settings, where the day may
// come first and the names of AM and PM may be missing.
enum class DateOrder { MonthFirst, DayFirst };

struct DateSettings {
    DateSettings(DateOrder order = DateOrder::MonthFirst, bool namesAmPm = true)
        : Order(order), NamesAmPm(namesAmPm) {}
    DateOrder Order;
    bool NamesAmPm;  // without, "0:00 AM" is no time
};

// Quoted date text as the Access driver reads it under settings: as the dialect reads it
// (ParseAccessDate), but day first where the settings say so; a date that has no such day is
// read month first instead, as Access does ('12/31/2012'). Nothing for an invalid date.
std::optional<DateTime> ParseRegionalDate(std::string_view text, DateSettings settings);

// The order of a date format such as "%d/%m/%Y" (day first) or "%m/%d/%y" (month first); a
// format that puts the year first, or names neither, reads month first.
DateOrder DateOrderOfFormat(std::string_view format);

// The date order of the LC_TIME locale that the environment names (LC_ALL, LC_TIME, LANG), read
// without touching the locale of the program the driver runs in. The "C" locale when the
// environment names one that is not installed.
DateOrder RegionalDateOrder();

// The same date order, and whether that locale names AM and PM (de_DE names neither).
DateSettings RegionalDateSettings();

// A Windows path as the host sees it: "C:\Program Files\x.mdb" lies in the Wine prefix
// (winePrefix, or home's .wine when empty), in dosdevices/c:/Program Files/x.mdb. Any other
// path stands as it is.
std::string HostPath(std::string_view path, std::string_view winePrefix, std::string_view home);

}  // namespace almanoria::odbcdriver
