#include "yeardata/YearRules.hpp"

#include <string_view>

#include "yeardata/CalendarArithmetic.hpp"
#include "yeardata/ChurchNotes.hpp"

namespace almanoria {

using namespace std::chrono;

namespace {

// A day with what the year's table says of it; a name, a note or a colour may be empty. A
// colour is the day's own, over its season's.
struct RuleDay {
    sys_days day;
    std::string_view name;
    std::string_view note = {};
    std::string_view colour = {};
};

// The Sunday strictly after a day.
sys_days SundayAfter(sys_days day) {
    return day + (Sunday - weekday{day}) + (weekday{day} == Sunday ? days{7} : days{0});
}

// The fourth Sunday before Christmas, Advent 1: from November 27 to December 3.
sys_days FirstSundayOfAdvent(int y) {
    return SundayAfter(year{y} / November / 26);
}

// The days of the church year in the order their names stand on a shared day.
std::vector<RuleDay> ChurchYear(int y, sys_days easter, sys_days advent) {
    using namespace notes;
    const auto e = [easter](int offset) { return easter + days{offset}; };
    const auto a = [advent](int offset) { return advent + days{offset}; };
    return {
        {year{y} / January / 6, "Epiphany of the Lord", kNoteEpiphanySeason},
        {SundayAfter(year{y} / January / 6), "Baptism of the Lord", kNoteBaptismOfTheLord, "White"},
        {e(-49), "Transfiguration of the Lord", kNoteTransfiguration, "White"},
        {e(-46), "Ash Wednesday", kNoteAshWednesday},
        {e(-42), "1st Sunday in Lent", kNoteLentSundays},
        {e(-35), "2nd Sunday in Lent", kNoteLentSundays},
        {e(-28), "3rd Sunday in Lent", kNoteLentSundays},
        {e(-21), "4th Sunday in Lent", kNoteLentSundays},
        {e(-14), "5th Sunday in Lent", kNoteLentSundays},
        {e(-7), "Palm Sunday", kNotePalmSunday},
        {e(-3), "Maundy Thursday", kNoteMaundyThursday},
        {e(-2), "Good Friday", kNoteGoodFriday},
        {e(-1), "Great Vigil of Easter", kNoteGreatVigil},
        {e(0), "Resurrection of the Lord"},
        {e(7), "2nd Sunday Of Easter", kNoteEasterSundays},
        {e(14), "3rd Sunday Of Easter", kNoteEasterSundays},
        {e(21), "4th Sunday Of Easter", kNoteEasterSundays},
        {e(28), "5th Sunday Of Easter", kNoteEasterSundays},
        {e(35), "6th Sunday Of Easter", kNoteEasterSundays},
        {e(42), "7th Sunday Of Easter", kNoteEasterSundays},
        {e(39), "Ascension of the Lord"},
        {e(49), "Day of Pentecost", kNotePentecost, "Red"},
        {e(56), "Trinity Sunday", kNoteTrinitySunday, "White"},
        {year{y} / November / 1, "All Saints Day", kNoteAllSaints, "White"},
        {a(-7), "Christ the King Sunday", kNoteChristTheKing, "White"},
        {a(0), "1st Sunday Of Advent", kNoteFirstSundayOfAdvent},
        {a(1), "", kNoteHangingOfTheGreens},
        {a(2), "", kNoteAdventWreath},
        {a(3), "", kNoteWreathCircle},
        {a(4), "", kNoteAdventCandles},
        {a(5), "", kNoteCandleColors},
        {a(6), "", kNoteCandleTraditions},
        {a(7), "2nd Sunday Of Advent", kNoteSecondCandle},
        {a(14), "3rd Sunday Of Advent", kNoteThirdCandle},
        {a(21), "4th Sunday Of Advent", kNoteFourthCandle},
        {year{y} / December / 24, "Christmas Eve"},
        {year{y} / December / 25, "Christmas Day", kNoteChristmasSeason},
    };
}

// 27 Nisan, kept off the Sabbath's eve and its end: a Friday moves to Thursday, a Sunday to
// Monday.
sys_days HolocaustRemembrance(sys_days nisan27) {
    if (weekday{nisan27} == Friday) return nisan27 - days{1};
    if (weekday{nisan27} == Sunday) return nisan27 + days{1};
    return nisan27;
}

// The other days, in the order their names follow the church year's on a shared day.
std::vector<RuleDay> OtherDays(int y, sys_days easter) {
    const HebrewYearStart hebrew = HebrewYearFrom(y);
    const sys_days tishrei1 = hebrew.RoshHashanah;
    // Nisan to Elul have fixed lengths: 1 Nisan is 177 days before the next 1 Tishrei.
    const sys_days nisan1 = tishrei1 - days{177};
    // Heshvan has 30 days in a complete year, 29 otherwise; Tishrei always 30.
    const int heshvan = hebrew.Length % 10 == 5 ? 30 : 29;
    const auto on = [y](month m, unsigned d) { return sys_days{year{y} / m / day{d}}; };
    const auto nth = [y](month m, weekday w, unsigned n) { return sys_days{year{y} / m / w[n]}; };
    const auto last = [y](month m, weekday w) {
        return sys_days{year{y} / m / w[std::chrono::last]};
    };
    return {
        {on(January, 1), "New Year's Day"},
        {nth(January, Monday, 3), "Martin Luther King, Jr. Day"},
        {on(February, 2), "Groundhog Day"},
        {on(February, 12), "Lincoln's Birthday"},
        {on(February, 14), "Valentines Day"},
        {nth(February, Monday, 3), "President's Day"},
        {easter - days{47}, "Mardi Gras"},
        {on(February, 22), "Washington's Birthday"},
        {nth(March, Sunday, 2), "Daylight Savings Time Begins"},
        {on(March, 17), "St. Patrick's Day"},
        {easter - days{21}, "One Great Hour of Sharing"},
        {SeasonDay(y, Season::MarchEquinox), "First Day of Spring"},
        {on(April, 1), "April Fool's Day"},
        {nisan1 + days{14}, "Passover Begins"},
        {HolocaustRemembrance(nisan1 + days{26}), "Holocaust Remembrance Day"},
        {on(April, 22), "Earth Day"},
        {last(April, Friday), "Arbor Day"},
        {nth(May, Thursday, 1), "National Day of Prayer"},
        {nth(May, Sunday, 2), "Mother's Day"},
        {nth(May, Saturday, 3), "Armed Forces Day"},
        {last(May, Monday), "Memorial Day"},
        {on(June, 14), "Flag Day"},
        {nth(June, Sunday, 3), "Fathers Day"},
        {SeasonDay(y, Season::JuneSolstice), "First Day of Summer"},
        {on(July, 4), "US Independence Day"},
        {nth(September, Monday, 1), "Labor Day"},
        {on(September, 11), "Patriot Day"},
        {tishrei1, "Rosh Hashanah"},
        {SeasonDay(y, Season::SeptemberEquinox), "First Day of Autumn"},
        {tishrei1 + days{9}, "Yom Kippur"},
        {nth(October, Monday, 2), "Columbus Day"},
        {on(October, 31), "Halloween"},
        {nth(November, Sunday, 1), "Daylight Savings Time Ends"},
        {nth(November, Monday, 1) + days{1}, "Election Day"},
        {on(November, 11), "Veterans Day"},
        {nth(November, Thursday, 4), "Thanksgiving Day"},
        {on(December, 1), "World AIDS Day"},
        {on(December, 7), "Pearl Harbor Day"},
        {tishrei1 + days{30 + heshvan + 24}, "Hanukkah"},
        {SeasonDay(y, Season::DecemberSolstice), "First Day of Winter"},
        {on(December, 31), "New Year's Eve"},
    };
}

struct DayFields {
    std::string_view colour = "Green";
    std::string names;
    std::string_view note;
};

}  // namespace

YearTable YearByRule(int y) {
    const sys_days first = year{y} / January / 1;
    std::vector<DayFields> fields(
        static_cast<std::size_t>((sys_days{year{y + 1} / January / 1} - first).count()));
    const auto at = [&](sys_days day) -> DayFields& {
        return fields.at(static_cast<std::size_t>((day - first).count()));
    };
    // The seasons' colours over a year of green; the days of the church year with a colour of
    // their own then take it.
    const auto paint = [&](sys_days from, sys_days to, std::string_view colour) {
        for (sys_days day = from; day <= to; day += days{1})
            at(day).colour = colour;
    };
    const sys_days easter = EasterSunday(y);
    const sys_days advent = FirstSundayOfAdvent(y);
    paint(year{y} / January / 1, year{y} / January / 6, "White");  // Christmas to Epiphany
    paint(easter - days{46}, easter - days{3}, "Purple");          // Lent to Maundy Thursday
    paint(easter - days{2}, easter - days{1}, "Gray");
    paint(easter, easter + days{48}, "White");  // Easter to the eve of Pentecost
    paint(advent, year{y} / December / 24, "Purple");
    paint(year{y} / December / 25, year{y} / December / 31, "White");

    const auto mark = [&](const RuleDay& rule) {
        DayFields& day = at(rule.day);
        if (!rule.name.empty()) day.names.append(day.names.empty() ? "" : "^").append(rule.name);
        if (!rule.note.empty()) day.note = rule.note;
        if (!rule.colour.empty()) day.colour = rule.colour;
    };
    for (const RuleDay& rule : ChurchYear(y, easter, advent))
        mark(rule);
    for (const RuleDay& rule : OtherDays(y, easter))
        mark(rule);

    YearTable table;
    table.reserve(fields.size());
    sys_days day = first;
    for (const DayFields& field : fields) {
        table.push_back(RecordDate(year_month_day{day}) + "|" + std::string(field.colour) + "|" +
                        field.names + "|" + std::string(field.note));
        day += days{1};
    }
    return table;
}

}  // namespace almanoria
