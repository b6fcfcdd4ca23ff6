#pragma once

// What the Access driver takes from the Windows it runs on, here from the host: how quoted date
// text is read, and where a Windows path lies.

#include <string>
#include <string_view>

#include "database/dialect/AccessDialect.hpp"

namespace almanoria::odbcdriver {

// The order of a date format such as "%d/%m/%Y" (day first) or "%m/%d/%y" (month first); a
// format that puts the year first, or names neither, reads month first.
dialect::DateOrder DateOrderOfFormat(std::string_view format);

// The date order of the LC_TIME locale that the environment names (LC_ALL, LC_TIME, LANG), read
// without touching the locale of the program the driver runs in. The "C" locale when the
// environment names one that is not installed.
dialect::DateOrder RegionalDateOrder();

// The same date order, and whether that locale names AM and PM (de_DE names neither).
dialect::DateSettings RegionalDateSettings();

// A Windows path as the host sees it: "C:\Program Files\x.mdb" lies in the Wine prefix
// (winePrefix, or home's .wine when empty), in dosdevices/c:/Program Files/x.mdb. Any other
// path stands as it is.
std::string HostPath(std::string_view path, std::string_view winePrefix, std::string_view home);

}  // namespace almanoria::odbcdriver
