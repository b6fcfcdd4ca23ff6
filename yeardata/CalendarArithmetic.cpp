#include "yeardata/CalendarArithmetic.hpp"

#include <array>
#include <cmath>
#include <numbers>

namespace almanoria {

using namespace std::chrono;

sys_days EasterSunday(int y) {
    // The anonymous Gregorian algorithm (Meeus, Astronomical Algorithms, chapter 8).
    const int a = y % 19, b = y / 100, c = y % 100;
    const int d = b / 4, e = b % 4, f = (b + 8) / 25, g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return year{y} / (n / 31) / (n % 31 + 1);
}

namespace {

// Days are counted as Reingold and Dershowitz count them (Calendrical Calculations): day 1 is
// January 1 of the year 1, and 1 Tishrei of the Hebrew year 1 is day -1373427.
constexpr long long kHebrewEpoch = -1373427;
constexpr long long kDayOfUnixEpoch = 719163;

// Days from the epoch to the molad of Tishrei of Hebrew year y, put off a day when the new year
// would fall on Sunday, Wednesday or Friday.
long long ElapsedDays(long long y) {
    const long long months = (235 * y - 234) / 19;
    const long long parts = 12084 + 13753 * months;
    const long long days = 29 * months + parts / 25920;
    return (3 * (days + 1)) % 7 < 3 ? days + 1 : days;
}

// 1 Tishrei of Hebrew year y, with the postponements that keep every year 353 to 355 or 383
// to 385 days long.
long long HebrewNewYear(long long y) {
    const long long before = ElapsedDays(y - 1), start = ElapsedDays(y), after = ElapsedDays(y + 1);
    const long long correction = after - start == 356 ? 2 : start - before == 382 ? 1 : 0;
    return kHebrewEpoch + start + correction;
}

}  // namespace

HebrewYearStart HebrewYearFrom(int gregorianYear) {
    // The Hebrew year that begins in a Gregorian year's autumn is 3761 years ahead.
    const long long y = gregorianYear + 3761LL;
    const long long start = HebrewNewYear(y);
    return {sys_days{days{start - kDayOfUnixEpoch}},
            static_cast<int>(HebrewNewYear(y + 1) - start)};
}

namespace {

struct PeriodicTerm {
    double A, B, C;
};

// Meeus, Astronomical Algorithms, table 27.C.
constexpr std::array<PeriodicTerm, 24> kPeriodicTerms{{
    {485, 324.96, 1934.136},  {203, 337.23, 32964.467}, {199, 342.08, 20.186},
    {182, 27.85, 445267.112}, {156, 73.14, 45036.886},  {136, 171.52, 22518.443},
    {77, 222.54, 65928.934},  {74, 296.72, 3034.906},   {70, 243.58, 9037.513},
    {58, 119.81, 33718.147},  {52, 297.17, 150.678},    {50, 21.02, 2281.226},
    {45, 247.54, 29929.562},  {44, 325.15, 31555.956},  {29, 60.93, 4443.417},
    {18, 155.12, 67555.328},  {17, 288.79, 4562.452},   {16, 198.04, 62894.029},
    {14, 199.76, 31436.921},  {12, 95.39, 14577.848},   {12, 287.11, 31931.756},
    {12, 320.81, 34777.259},  {9, 227.73, 1222.114},    {8, 15.45, 16859.074},
}};

// The mean instants, Julian Ephemeris Days, for the years 1000 to 3000 (table 27.B).
constexpr std::array<std::array<double, 5>, 4> kMeanInstants{{
    {2451623.80984, 365242.37404, 0.05169, -0.00411, -0.00057},
    {2451716.56767, 365241.62603, 0.00325, 0.00888, -0.00030},
    {2451810.21715, 365242.01767, -0.11575, 0.00337, 0.00078},
    {2451900.05952, 365242.74049, -0.06223, -0.00823, 0.00032},
}};

double Radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

// Terrestrial time less universal time, in seconds (Espenak and Meeus's polynomials).
double DeltaTSeconds(int y) {
    if (y < 2050) {
        const double t = y - 2000;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (y - 1820) / 100.0;
    return -20 + 32 * u * u - 0.5628 * (2150 - y);
}

}  // namespace

sys_days SeasonDay(int year, Season season) {
    const auto& mean = kMeanInstants[static_cast<std::size_t>(season)];
    const double Y = (year - 2000) / 1000.0;
    const double jde0 = mean[0] + Y * (mean[1] + Y * (mean[2] + Y * (mean[3] + Y * mean[4])));
    const double T = (jde0 - 2451545.0) / 36525;
    const double W = Radians(35999.373 * T - 2.47);
    const double lambda = 1 + 0.0334 * std::cos(W) + 0.0007 * std::cos(2 * W);
    double S = 0;
    for (const PeriodicTerm& term : kPeriodicTerms)
        S += term.A * std::cos(Radians(term.B + term.C * T));
    const double universal = jde0 + 0.00001 * S / lambda - DeltaTSeconds(year) / 86400;
    // Daylight saving time runs from the second Sunday of March to the first Sunday of
    // November, so only the December solstice is read in standard time.
    const double eastern = universal - (season == Season::DecemberSolstice ? 5 : 4) / 24.0;
    constexpr double kJulianDayOfUnixEpoch = 2440587.5;
    return sys_days{days{static_cast<long long>(std::floor(eastern - kJulianDayOfUnixEpoch))}};
}

}  // namespace almanoria
