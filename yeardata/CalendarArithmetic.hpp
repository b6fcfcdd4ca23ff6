#pragma once

// The days the year's rules are anchored to, each from its published arithmetic: Easter by the
// Gregorian computus, the Hebrew calendar's new year by its molad rules, and the equinoxes and
// solstices by Meeus's periodic terms. Valid for the years the program writes and well beyond.

#include <chrono>

namespace almanoria {

// Western Easter Sunday of a Gregorian year.
std::chrono::sys_days EasterSunday(int year);

// 1 Tishrei, Rosh Hashanah, in the autumn of a Gregorian year, and the number of days of the
// Hebrew year it begins (353 to 355, or 383 to 385 with the leap month).
struct HebrewYearStart {
    std::chrono::sys_days RoshHashanah;
    int Length;
};
HebrewYearStart HebrewYearFrom(int gregorianYear);

enum class Season { MarchEquinox, JuneSolstice, SeptemberEquinox, DecemberSolstice };

// The day the sun reaches the season's point, as a clock in US Eastern time reads it.
std::chrono::sys_days SeasonDay(int year, Season season);

}  // namespace almanoria
