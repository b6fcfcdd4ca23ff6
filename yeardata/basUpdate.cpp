#include "yeardata/basUpdate.hpp"

#include <array>
#include <chrono>
#include <string>
#include <string_view>

#include "database/Value.hpp"

namespace almanoria {

namespace {

// The notes, already in the form the Dates upsert places between single quotes: every
// apostrophe doubled.

constexpr std::string_view kNoteEpiphanySeason =
    "Epiphany, from the Greek for appearing, celebrates Jesus made known as the Christ to "
    "all peoples, first to the Magi, who came from the East to worship the child. The "
    "season lasts from January 6 to the eve of Ash Wednesday, so its length varies with "
    "the date of Easter. The feast began in the East, where it once marked both the birth "
    "and the baptism of Jesus.";

constexpr std::string_view kNoteBaptismOfTheLord =
    "On the first Sunday after the Epiphany the church remembers the baptism of Jesus by "
    "John the Baptist in the Jordan River, when the Spirit came down like a dove and a "
    "voice from heaven spoke.";

constexpr std::string_view kNoteTransfiguration =
    "The last Sunday after the Epiphany recalls the day Jesus took Peter, James and John "
    "up a high mountain, where his face shone and his clothes became dazzling white, and "
    "Moses and Elijah talked with him. To transfigure, from Latin, means to change in "
    "form or appearance.";

constexpr std::string_view kNoteAshWednesday =
    "Ash Wednesday is the first day of Lent. In many churches the minister marks each "
    "forehead with ashes in the sign of a cross, as a reminder that we are made from dust "
    "and will return to dust. Ashes are an old sign of repentance and of mourning: in the "
    "Hebrew scriptures people who turned back to God put on sackcloth and sat in ashes. "
    "The ashes used today are usually made by burning the palm branches from the previous "
    "year\xE2\x80\x99"  // U+2019, one character
    "s Palm Sunday, so that the branches waved in welcome one spring become the mark "
    "of sorrow for sin as the next Lent begins.";

constexpr std::string_view kNoteLentSundays =
    "Lent is a season of forty days of prayer, fasting and repentance before Easter. Its "
    "name is from an Old English word for spring, when the days lengthen. The forty days "
    "recall the forty days Jesus fasted in the wilderness. In the early church this was "
    "when those to be baptized at Easter made their final preparation, and by the fourth "
    "century a fast of forty days was widely kept. From Ash Wednesday to Easter Eve there "
    "are forty-six days, but the six Sundays are not counted, because each Sunday is a "
    "little Easter, a feast of the resurrection and not a fast day. They are Sundays in "
    "Lent, not of Lent.";

constexpr std::string_view kNotePalmSunday =
    "Palm Sunday begins Holy Week, the last week of Lent. It remembers the day Jesus rode "
    "into Jerusalem on a donkey while the crowds spread their cloaks and branches of palm "
    "in his path, shouting Hosanna and hailing him as the one who comes in the name of "
    "the Lord.";

constexpr std::string_view kNoteMaundyThursday =
    "On the night before he died, Jesus shared a last supper with his disciples, washed "
    "their feet, and gave them bread and the cup, instituting the sacrament of Holy "
    "Communion. Later that night in the garden of Gethsemane, he was betrayed by Judas "
    "and arrested. The name Maundy comes from the Latin word mandatum, commandment, for "
    "the new commandment Jesus gave that night: that his disciples should love one "
    "another.";

constexpr std::string_view kNoteGoodFriday =
    "Good Friday commemorates the crucifixion and death of Jesus. In many churches, the "
    "altar is left bare and the sanctuary stripped, with its decorations removed or "
    "veiled in black, until the dawn of Easter.";

constexpr std::string_view kNoteGreatVigil =
    "The Great Vigil of Easter is the first service of Easter, held on Holy Saturday "
    "night at some time between sunset and sunrise. It begins in darkness: a new fire is "
    "kindled, the Paschal candle is lit from it, and its light is passed to all. Readings "
    "tell the story of salvation, new members are baptized, and the first Communion of "
    "Easter is shared. The early church kept watch through the night, awaiting the dawn "
    "of Easter.";

constexpr std::string_view kNoteEasterSundays =
    "The Easter season lasts 50 days, from Easter Day through the Day of Pentecost.";

constexpr std::string_view kNotePentecost =
    "Pentecost is called the birthday of the Church. On the fiftieth day of Easter the "
    "Holy Spirit came upon the disciples in Jerusalem with the sound of a rushing wind "
    "and tongues of fire, and Peter preached to the crowds. The color of the day is red, "
    "for the fire of the Spirit. The name is Greek for fiftieth: it was the day of the "
    "Jewish festival of Shavuot, the Feast of Weeks, kept fifty days after Passover to "
    "give thanks for the harvest.";

constexpr std::string_view kNoteTrinitySunday =
    "The Sunday after Pentecost celebrates the Trinity, one God in three persons: Father, "
    "Son and Holy Spirit.";

constexpr std::string_view kNoteAllSaints =
    "All Saints Day remembers all who have died for their testimony to the faith, the "
    "martyrs, whether their names are known or are long forgotten.";

constexpr std::string_view kNoteChristTheKing =
    "Christ the King Sunday is the last Sunday of the church year, the Sunday before "
    "Advent begins. It celebrates the reign of Christ over all creation and looks ahead "
    "to the day when his kingdom comes in full. Pope Pius XI set the feast in 1925 on the "
    "last Sunday of October; the calendar reform of 1969 moved it to the close of the "
    "church year, and many churches keep it.";

constexpr std::string_view kNoteFirstSundayOfAdvent =
    "Advent, from the Latin adventus, a coming, is the season of the four Sundays before "
    "Christmas and the beginning of the church year. It is a time of waiting and "
    "preparation: for celebrating the birth of Jesus at Christmas, and for his coming "
    "again at the end of the age. On this Sunday the first candle of the Advent wreath is "
    "lit, the candle of Hope, recalling the prophets who foretold the coming of the "
    "Messiah and the hope of all who waited for him.";

constexpr std::string_view kNoteHangingOfTheGreens =
    "At the beginning of Advent many churches hold a service called the Hanging of the "
    "Greens, in which the congregation decorates the sanctuary with evergreens. Wreaths, "
    "garlands and boughs of pine, fir, cedar and holly are hung while scripture is read "
    "and carols are sung, and the Advent wreath is set in its place. Evergreens stay "
    "green through the winter, so they are a sign of the everlasting life which Christ "
    "brings.";

constexpr std::string_view kNoteAdventWreath =
    "The Advent wreath is a circle of evergreen boughs holding four candles around its "
    "edge and a fifth, larger candle in the center. One more candle is lit on each Sunday "
    "of Advent, so the light grows as Christmas draws near, and the center candle is lit "
    "on Christmas Eve or Christmas Day. The custom began among Lutherans in Germany and "
    "spread to churches and to homes.";

constexpr std::string_view kNoteWreathCircle =
    "The wreath is a circle, with no beginning and no end. It stands for the eternity of "
    "God, whose love never ends, and for the everlasting life that God gives us. The "
    "green of the branches stands for life and hope, since evergreens stay green and "
    "alive while other trees are bare, and for the new life we have in Christ.";

constexpr std::string_view kNoteAdventCandles =
    "The candles of the wreath stand for the light of God coming into the world with the "
    "birth of Jesus, the light of the world. The four outer candles stand for the four "
    "weeks of Advent, and for the long years of waiting by God''s people for the promised "
    "Messiah, as the light grows brighter week by week.";

constexpr std::string_view kNoteCandleColors =
    "Three of the outer candles are purple, the color of the season, and one is pink; "
    "some churches use blue instead of purple. The purple candle of Hope is lit on the "
    "first Sunday and the purple candle of Peace on the second. On the third Sunday, "
    "Gaudete, from the Latin for rejoice, the pink candle of Joy is lit. The last purple "
    "candle, of Love, is lit on the fourth Sunday, and the white Christ Candle in the "
    "center at Christmas.";

constexpr std::string_view kNoteCandleTraditions =
    "Traditions differ on the meanings given to each candle. Many name them Hope, Peace, "
    "Joy and Love; others call them Prophecy, Bethlehem, Shepherds and Angels.";

constexpr std::string_view kNoteSecondCandle =
    "On the second Sunday of Advent the second purple candle is lit, the candle of Peace, "
    "for the peace that Christ, the Prince of Peace, gives to all the world.";

constexpr std::string_view kNoteThirdCandle =
    "On the third Sunday of Advent the pink candle is lit, the candle of Joy, for the joy "
    "of Christ''s coming.";

constexpr std::string_view kNoteFourthCandle =
    "On the fourth Sunday of Advent the last purple candle is lit, the candle of Love, "
    "for the love of God, who gave his only Son out of love for all the world. With all "
    "four outer candles burning, the wreath waits for the white Christ Candle in its "
    "center. The Christ Candle is lit on Christmas Eve or Christmas Day to celebrate the "
    "birth of Jesus, the light of the world, whose coming the four weeks of Advent have "
    "been preparing us for.";

constexpr std::string_view kNoteChristmasSeason =
    "Christmas celebrates the birth of Jesus in Bethlehem. The Christmas season lasts "
    "twelve days, the Twelve Days of Christmas, from Christmas Day until Twelfth Night on "
    "January 5, and ends with the feast of the Epiphany on January 6.";

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

std::string RecordDate(std::chrono::year_month_day date) {
    return DateText({int{date.year()}, static_cast<int>(unsigned{date.month()}),
                     static_cast<int>(unsigned{date.day()})});
}

}  // namespace

void BuildYearTable(YearTable& table) {
    using namespace std::chrono;
    table.assign(DaysOfRuns(), std::string{});
    sys_days day = year{2012} / January / 1;
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
