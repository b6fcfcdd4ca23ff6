#include "yeardata/basUpdate.hpp"

#include <array>
#include <charconv>
#include <chrono>
#include <string>
#include <string_view>

#include "database/Value.hpp"
#include "yeardata/ChurchNotes.hpp"
#include "yeardata/YearRules.hpp"

namespace almanoria {

namespace {

using namespace notes;

// The year's colours as they run through the liturgical seasons, in date order from 1/1/2012.
struct ColourRun {
    int dayCount;
    std::string_view colour;
};

// clang-format off
constexpr std::array<ColourRun, 21> kColourRuns{{
    {4, "White"},     // 1/1 to 1/4
    {1, "Normal"},    // 1/5
    {1, "White"},     // 1/6, Epiphany
    {1, "Green"},     // 1/7
    {1, "White"},     // 1/8, Baptism of the Lord
    {41, "Green"},    // 1/9 to 2/18
    {1, "White"},     // 2/19, Transfiguration
    {2, "Green"},     // 2/20 to 2/21
    {44, "Purple"},   // 2/22 to 4/5, Lent
    {2, "Gray"},      // 4/6 to 4/7
    {49, "White"},    // 4/8 to 5/26, Easter
    {1, "Red"},       // 5/27, Pentecost
    {6, "Green"},     // 5/28 to 6/2
    {1, "White"},     // 6/3, Trinity Sunday
    {150, "Green"},   // 6/4 to 10/31
    {1, "White"},     // 11/1, All Saints
    {23, "Green"},    // 11/2 to 11/24
    {1, "White"},     // 11/25, Christ the King
    {6, "Green"},     // 11/26 to 12/1
    {23, "Purple"},   // 12/2 to 12/24, Advent
    {7, "White"},     // 12/25 to 12/31, Christmas
}};
// clang-format on

constexpr int DaysOfRuns() {
    int days = 0;
    for (const ColourRun& run : kColourRuns)
        days += run.dayCount;
    return days;
}
static_assert(DaysOfRuns() == 366, "the runs cover the leap year 2012");

// The days with names or notes, in date order; every other day has neither.
struct MarkedDay {
    std::string_view date;
    std::string_view names;  // separated by "^"; apostrophes single, as written
    std::string_view notes;
};

// clang-format off
constexpr std::array<MarkedDay, 69> kMarkedDays{{
    {"1/1/2012", "New Year's Day", ""},
    {"1/6/2012", "Epiphany of the Lord", kNoteEpiphanySeason},
    {"1/8/2012", "Baptism of the Lord", kNoteBaptismOfTheLord},
    {"1/16/2012", "Martin Luther King, Jr. Day", ""},
    {"2/2/2012", "Groundhog Day", ""},
    {"2/12/2012", "Lincoln's Birthday", ""},
    {"2/14/2012", "Valentines Day", ""},
    {"2/19/2012", "Transfiguration of the Lord", kNoteTransfiguration},
    {"2/20/2012", "President's Day", ""},
    {"2/21/2012", "Mardi Gras", ""},
    {"2/22/2012", "Ash Wednesday^Washington's Birthday", kNoteAshWednesday},
    {"2/26/2012", "1st Sunday in Lent", kNoteLentSundays},
    {"3/4/2012", "2nd Sunday in Lent", kNoteLentSundays},
    {"3/11/2012", "3rd Sunday in Lent^Daylight Savings Time Begins", kNoteLentSundays},
    {"3/17/2012", "St. Patrick's Day", ""},
    {"3/18/2012", "4th Sunday in Lent^One Great Hour of Sharing", kNoteLentSundays},
    {"3/20/2012", "First Day of Spring", ""},
    {"3/25/2012", "5th Sunday in Lent", kNoteLentSundays},
    {"4/1/2012", "Palm Sunday^April Fool's Day", kNotePalmSunday},
    {"4/5/2012", "Maundy Thursday", kNoteMaundyThursday},
    {"4/6/2012", "Good Friday", kNoteGoodFriday},
    {"4/7/2012", "Great Vigil of Easter^Passover Begins", kNoteGreatVigil},
    {"4/8/2012", "Resurrection of the Lord", ""},
    {"4/15/2012", "2nd Sunday Of Easter", kNoteEasterSundays},
    {"4/19/2012", "Holocaust Remembrance Day", ""},
    {"4/22/2012", "3rd Sunday Of Easter^Earth Day", kNoteEasterSundays},
    {"4/27/2012", "Arbor Day", ""},
    {"4/29/2012", "4th Sunday Of Easter", kNoteEasterSundays},
    {"5/3/2012", "National Day of Prayer", ""},
    {"5/6/2012", "5th Sunday Of Easter", kNoteEasterSundays},
    {"5/13/2012", "6th Sunday Of Easter^Mother's Day", kNoteEasterSundays},
    {"5/17/2012", "Ascension of the Lord", ""},
    {"5/19/2012", "Armed Forces Day", ""},
    {"5/20/2012", "7th Sunday Of Easter", kNoteEasterSundays},
    {"5/27/2012", "Day of Pentecost", kNotePentecost},
    {"5/28/2012", "Memorial Day", ""},
    {"6/3/2012", "Trinity Sunday", kNoteTrinitySunday},
    {"6/14/2012", "Flag Day", ""},
    {"6/17/2012", "Fathers Day", ""},
    {"6/20/2012", "First Day of Summer", ""},
    {"7/4/2012", "US Independence Day", ""},
    {"9/3/2012", "Labor Day", ""},
    {"9/11/2012", "Patriot Day", ""},
    {"9/17/2012", "Rosh Hashanah", ""},
    {"9/22/2012", "First Day of Autumn", ""},
    {"9/26/2012", "Yom Kippur", ""},
    {"10/8/2012", "Columbus Day", ""},
    {"10/31/2012", "Halloween", ""},
    {"11/1/2012", "All Saints Day", kNoteAllSaints},
    {"11/4/2012", "Daylight Savings Time Ends", ""},
    {"11/6/2012", "Election Day", ""},
    {"11/11/2012", "Veterans Day", ""},
    {"11/22/2012", "Thanksgiving Day", ""},
    {"11/25/2012", "Christ the King Sunday", kNoteChristTheKing},
    {"12/1/2012", "World AIDS Day", ""},
    {"12/2/2012", "1st Sunday Of Advent", kNoteFirstSundayOfAdvent},
    {"12/3/2012", "", kNoteHangingOfTheGreens},
    {"12/4/2012", "", kNoteAdventWreath},
    {"12/5/2012", "", kNoteWreathCircle},
    {"12/6/2012", "", kNoteAdventCandles},
    {"12/7/2012", "Pearl Harbor Day", kNoteCandleColors},
    {"12/8/2012", "", kNoteCandleTraditions},
    {"12/9/2012", "2nd Sunday Of Advent^Hanukkah", kNoteSecondCandle},
    {"12/16/2012", "3rd Sunday Of Advent", kNoteThirdCandle},
    {"12/21/2012", "First Day of Winter", ""},
    {"12/23/2012", "4th Sunday Of Advent", kNoteFourthCandle},
    {"12/24/2012", "Christmas Eve", ""},
    {"12/25/2012", "Christmas Day", kNoteChristmasSeason},
    {"12/31/2012", "New Year's Eve", ""},
}};
// clang-format on

}  // namespace

std::string RecordDate(std::chrono::year_month_day date) {
    return DateText({int{date.year()}, static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()})});
}

std::optional<int> ParseYear(std::string_view text) {
    int year = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), year);
    if (text.size() != 4 || error != std::errc{} || end != text.data() + text.size() ||
        !IsWrittenYear(year)) {
        return std::nullopt;
    }
    return year;
}

void BuildYearTable(YearTable& table, int year) {
    using namespace std::chrono;
    if (year != kStoredYear) {
        table = YearByRule(year);
        return;
    }
    table.assign(DaysOfRuns(), std::string{});
    sys_days day = std::chrono::year{kStoredYear} / January / 1;
    auto record = table.begin();
    auto marked = kMarkedDays.begin();
    for (const ColourRun& run : kColourRuns) {
        for (int i = 0; i < run.dayCount; ++i, ++record, day += days{1}) {
            const std::string date = RecordDate(year_month_day{day});
            MarkedDay mark{};
            if (marked != kMarkedDays.end() && marked->date == date) mark = *marked++;
            record->append(date).append("|").append(run.colour).append("|");
            record->append(mark.names).append("|").append(mark.notes);
        }
    }
}

}  // namespace almanoria
