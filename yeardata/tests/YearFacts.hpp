// What the year 2012 holds, written down apart from the program's year table: the named days
// with their names fields, the noted days with the length of each note (apostrophes doubled,
// as the table carries them) and the days that share one note, the runs of one colour through
// the year and how many days each colour has. The unit tests and the Wine end-to-end test judge
// the year by these.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace almanoria {

// The calendar's named days, names fields verbatim.
inline const std::map<std::string, std::string> kNamedDays = {
    {"1/1/2012", "New Year's Day"},
    {"1/6/2012", "Epiphany of the Lord"},
    {"1/8/2012", "Baptism of the Lord"},
    {"1/16/2012", "Martin Luther King, Jr. Day"},
    {"2/2/2012", "Groundhog Day"},
    {"2/12/2012", "Lincoln's Birthday"},
    {"2/14/2012", "Valentines Day"},
    {"2/19/2012", "Transfiguration of the Lord"},
    {"2/20/2012", "President's Day"},
    {"2/21/2012", "Mardi Gras"},
    {"2/22/2012", "Ash Wednesday^Washington's Birthday"},
    {"2/26/2012", "1st Sunday in Lent"},
    {"3/4/2012", "2nd Sunday in Lent"},
    {"3/11/2012", "3rd Sunday in Lent^Daylight Savings Time Begins"},
    {"3/17/2012", "St. Patrick's Day"},
    {"3/18/2012", "4th Sunday in Lent^One Great Hour of Sharing"},
    {"3/20/2012", "First Day of Spring"},
    {"3/25/2012", "5th Sunday in Lent"},
    {"4/1/2012", "Palm Sunday^April Fool's Day"},
    {"4/5/2012", "Maundy Thursday"},
    {"4/6/2012", "Good Friday"},
    {"4/7/2012", "Great Vigil of Easter^Passover Begins"},
    {"4/8/2012", "Resurrection of the Lord"},
    {"4/15/2012", "2nd Sunday Of Easter"},
    {"4/19/2012", "Holocaust Remembrance Day"},
    {"4/22/2012", "3rd Sunday Of Easter^Earth Day"},
    {"4/27/2012", "Arbor Day"},
    {"4/29/2012", "4th Sunday Of Easter"},
    {"5/3/2012", "National Day of Prayer"},
    {"5/6/2012", "5th Sunday Of Easter"},
    {"5/13/2012", "6th Sunday Of Easter^Mother's Day"},
    {"5/17/2012", "Ascension of the Lord"},
    {"5/19/2012", "Armed Forces Day"},
    {"5/20/2012", "7th Sunday Of Easter"},
    {"5/27/2012", "Day of Pentecost"},
    {"5/28/2012", "Memorial Day"},
    {"6/3/2012", "Trinity Sunday"},
    {"6/14/2012", "Flag Day"},
    {"6/17/2012", "Fathers Day"},
    {"6/20/2012", "First Day of Summer"},
    {"7/4/2012", "US Independence Day"},
    {"9/3/2012", "Labor Day"},
    {"9/11/2012", "Patriot Day"},
    {"9/17/2012", "Rosh Hashanah"},
    {"9/22/2012", "First Day of Autumn"},
    {"9/26/2012", "Yom Kippur"},
    {"10/8/2012", "Columbus Day"},
    {"10/31/2012", "Halloween"},
    {"11/1/2012", "All Saints Day"},
    {"11/4/2012", "Daylight Savings Time Ends"},
    {"11/6/2012", "Election Day"},
    {"11/11/2012", "Veterans Day"},
    {"11/22/2012", "Thanksgiving Day"},
    {"11/25/2012", "Christ the King Sunday"},
    {"12/1/2012", "World AIDS Day"},
    {"12/2/2012", "1st Sunday Of Advent"},
    {"12/7/2012", "Pearl Harbor Day"},
    {"12/9/2012", "2nd Sunday Of Advent^Hanukkah"},
    {"12/16/2012", "3rd Sunday Of Advent"},
    {"12/21/2012", "First Day of Winter"},
    {"12/23/2012", "4th Sunday Of Advent"},
    {"12/24/2012", "Christmas Eve"},
    {"12/25/2012", "Christmas Day"},
    {"12/31/2012", "New Year's Eve"},
};

// The noted days and the length each note must have.
inline const std::map<std::string, std::size_t> kNoteLengths = {
    {"1/6/2012", 359},   {"1/8/2012", 190},   {"2/19/2012", 268},  {"2/22/2012", 546},
    {"2/26/2012", 603},  {"3/4/2012", 603},   {"3/11/2012", 603},  {"3/18/2012", 603},
    {"3/25/2012", 603},  {"4/1/2012", 261},   {"4/5/2012", 413},   {"4/6/2012", 204},
    {"4/7/2012", 424},   {"4/15/2012", 78},   {"4/22/2012", 78},   {"4/29/2012", 78},
    {"5/6/2012", 78},    {"5/13/2012", 78},   {"5/20/2012", 78},   {"5/27/2012", 440},
    {"6/3/2012", 105},   {"11/1/2012", 142},  {"11/25/2012", 368}, {"12/2/2012", 452},
    {"12/3/2012", 418},  {"12/4/2012", 366},  {"12/5/2012", 317},  {"12/6/2012", 301},
    {"12/7/2012", 428},  {"12/8/2012", 157},  {"12/9/2012", 156},  {"12/16/2012", 105},
    {"12/23/2012", 434}, {"12/25/2012", 230},
};

// The days whose note is the same text as that of the first: the Sundays in Lent, and the
// Sundays Of Easter from the 2nd to the 7th.
inline const std::vector<std::vector<std::string>> kSharedNotes = {
    {"2/26/2012", "3/4/2012", "3/11/2012", "3/18/2012", "3/25/2012"},
    {"4/15/2012", "4/22/2012", "4/29/2012", "5/6/2012", "5/13/2012", "5/20/2012"},
};

// Days per colour, and the number of runs of one colour through the year.
inline const std::map<std::string, int> kColourCounts = {
    {"Green", 229}, {"Purple", 67}, {"White", 66}, {"Gray", 2}, {"Red", 1}, {"Normal", 1}};
inline constexpr int kColourRuns = 21;

// The runs themselves, in date order: first day, last day, colour.
struct ColourRun {
    std::string From;
    std::string To;
    std::string Colour;
};
inline const std::vector<ColourRun> kColourRunDays = {
    {"1/1/2012", "1/4/2012", "White"},     {"1/5/2012", "1/5/2012", "Normal"},
    {"1/6/2012", "1/6/2012", "White"},     {"1/7/2012", "1/7/2012", "Green"},
    {"1/8/2012", "1/8/2012", "White"},     {"1/9/2012", "2/18/2012", "Green"},
    {"2/19/2012", "2/19/2012", "White"},   {"2/20/2012", "2/21/2012", "Green"},
    {"2/22/2012", "4/5/2012", "Purple"},   {"4/6/2012", "4/7/2012", "Gray"},
    {"4/8/2012", "5/26/2012", "White"},    {"5/27/2012", "5/27/2012", "Red"},
    {"5/28/2012", "6/2/2012", "Green"},    {"6/3/2012", "6/3/2012", "White"},
    {"6/4/2012", "10/31/2012", "Green"},   {"11/1/2012", "11/1/2012", "White"},
    {"11/2/2012", "11/24/2012", "Green"},  {"11/25/2012", "11/25/2012", "White"},
    {"11/26/2012", "12/1/2012", "Green"},  {"12/2/2012", "12/24/2012", "Purple"},
    {"12/25/2012", "12/31/2012", "White"},
};

}  // namespace almanoria
