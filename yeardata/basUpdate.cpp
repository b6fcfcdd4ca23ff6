#include "yeardata/basUpdate.hpp"

#include <array>
#include <string_view>

#include "platform/Unicode.hpp"

namespace almanoria {

namespace {

// The notes, already in the form the Dates upsert places between single quotes: every
// apostrophe doubled. Each length is counted in UTF-16 characters as stored.

constexpr std::string_view kNoteEpiphanySeason =
    "Epiphany, from the Greek for appearing, celebrates Jesus made known as the Christ to "
    "all peoples, first to the Magi, who came from the East to worship the child. The "
    "season lasts from January 6 to the eve of Ash Wednesday, so its length varies with "
    "the date of Easter. The feast began in the East, where it once marked both the birth "
    "and the baptism of Jesus.";
static_assert(Utf16Length(kNoteEpiphanySeason) == 359);

constexpr std::string_view kNoteBaptismOfTheLord =
    "On the first Sunday after the Epiphany the church remembers the baptism of Jesus by "
    "John the Baptist in the Jordan River, when the Spirit came down like a dove and a "
    "voice from heaven spoke.";
static_assert(Utf16Length(kNoteBaptismOfTheLord) == 190);

constexpr std::string_view kNoteTransfiguration =
    "The last Sunday after the Epiphany recalls the day Jesus took Peter, James and John "
    "up a high mountain, where his face shone and his clothes became dazzling white, and "
    "Moses and Elijah talked with him. To transfigure, from Latin, means to change in "
    "form or appearance.";
static_assert(Utf16Length(kNoteTransfiguration) == 268);

constexpr std::string_view kNoteAshWednesday =
    "Ash Wednesday is the first day of Lent. In many churches the minister marks each "
    "forehead with ashes in the sign of a cross, as a reminder that we are made from dust "
    "and will return to dust. Ashes are an old sign of repentance and of mourning: in the "
    "Hebrew scriptures people who turned back to God put on sackcloth and sat in ashes. "
    "The ashes used today are usually made by burning the palm branches from the previous "
    "year\xE2\x80\x99"  // U+2019, one character
    "s Palm Sunday, so that the branches waved in welcome one spring become the mark "
    "of sorrow for sin as the next Lent begins.";
static_assert(Utf16Length(kNoteAshWednesday) == 546);

constexpr std::string_view kNoteLentSundays =
    "Lent is a season of forty days of prayer, fasting and repentance before Easter. Its "
    "name is from an Old English word for spring, when the days lengthen. The forty days "
    "recall the forty days Jesus fasted in the wilderness. In the early church this was "
    "when those to be baptized at Easter made their final preparation, and by the fourth "
    "century a fast of forty days was widely kept. From Ash Wednesday to Easter Eve there "
    "are forty-six days, but the six Sundays are not counted, because each Sunday is a "
    "little Easter, a feast of the resurrection and not a fast day. They are Sundays in "
    "Lent, not of Lent.";
static_assert(Utf16Length(kNoteLentSundays) == 603);

constexpr std::string_view kNotePalmSunday =
    "Palm Sunday begins Holy Week, the last week of Lent. It remembers the day Jesus rode "
    "into Jerusalem on a donkey while the crowds spread their cloaks and branches of palm "
    "in his path, shouting Hosanna and hailing him as the one who comes in the name of "
    "the Lord.";
static_assert(Utf16Length(kNotePalmSunday) == 261);

constexpr std::string_view kNoteMaundyThursday =
    "On the night before he died, Jesus shared a last supper with his disciples, washed "
    "their feet, and gave them bread and the cup, instituting the sacrament of Holy "
    "Communion. Later that night in the garden of Gethsemane, he was betrayed by Judas "
    "and arrested. The name Maundy comes from the Latin word mandatum, commandment, for "
    "the new commandment Jesus gave that night: that his disciples should love one "
    "another.";
static_assert(Utf16Length(kNoteMaundyThursday) == 413);

constexpr std::string_view kNoteGoodFriday =
    "Good Friday commemorates the crucifixion and death of Jesus. In many churches, the "
    "altar is left bare and the sanctuary stripped, with its decorations removed or "
    "veiled in black, until the dawn of Easter.";
static_assert(Utf16Length(kNoteGoodFriday) == 204);

constexpr std::string_view kNoteGreatVigil =
    "The Great Vigil of Easter is the first service of Easter, held on Holy Saturday "
    "night at some time between sunset and sunrise. It begins in darkness: a new fire is "
    "kindled, the Paschal candle is lit from it, and its light is passed to all. Readings "
    "tell the story of salvation, new members are baptized, and the first Communion of "
    "Easter is shared. The early church kept watch through the night, awaiting the dawn "
    "of Easter.";
static_assert(Utf16Length(kNoteGreatVigil) == 424);

constexpr std::string_view kNoteEasterSundays =
    "The Easter season lasts 50 days, from Easter Day through the Day of Pentecost.";
static_assert(Utf16Length(kNoteEasterSundays) == 78);

constexpr std::string_view kNotePentecost =
    "Pentecost is called the birthday of the Church. On the fiftieth day of Easter the "
    "Holy Spirit came upon the disciples in Jerusalem with the sound of a rushing wind "
    "and tongues of fire, and Peter preached to the crowds. The color of the day is red, "
    "for the fire of the Spirit. The name is Greek for fiftieth: it was the day of the "
    "Jewish festival of Shavuot, the Feast of Weeks, kept fifty days after Passover to "
    "give thanks for the harvest.";
static_assert(Utf16Length(kNotePentecost) == 440);

constexpr std::string_view kNoteTrinitySunday =
    "The Sunday after Pentecost celebrates the Trinity, one God in three persons: Father, "
    "Son and Holy Spirit.";
static_assert(Utf16Length(kNoteTrinitySunday) == 105);

constexpr std::string_view kNoteAllSaints =
    "All Saints Day remembers all who have died for their testimony to the faith, the "
    "martyrs, whether their names are known or are long forgotten.";
static_assert(Utf16Length(kNoteAllSaints) == 142);

constexpr std::string_view kNoteChristTheKing =
    "Christ the King Sunday is the last Sunday of the church year, the Sunday before "
    "Advent begins. It celebrates the reign of Christ over all creation and looks ahead "
    "to the day when his kingdom comes in full. Pope Pius XI set the feast in 1925 on the "
    "last Sunday of October; the calendar reform of 1969 moved it to the close of the "
    "church year, and many churches keep it.";
static_assert(Utf16Length(kNoteChristTheKing) == 368);

constexpr std::string_view kNoteFirstSundayOfAdvent =
    "Advent, from the Latin adventus, a coming, is the season of the four Sundays before "
    "Christmas and the beginning of the church year. It is a time of waiting and "
    "preparation: for celebrating the birth of Jesus at Christmas, and for his coming "
    "again at the end of the age. On this Sunday the first candle of the Advent wreath is "
    "lit, the candle of Hope, recalling the prophets who foretold the coming of the "
    "Messiah and the hope of all who waited for him.";
static_assert(Utf16Length(kNoteFirstSundayOfAdvent) == 452);

constexpr std::string_view kNoteHangingOfTheGreens =
    "At the beginning of Advent many churches hold a service called the Hanging of the "
    "Greens, in which the congregation decorates the sanctuary with evergreens. Wreaths, "
    "garlands and boughs of pine, fir, cedar and holly are hung while scripture is read "
    "and carols are sung, and the Advent wreath is set in its place. Evergreens stay "
    "green through the winter, so they are a sign of the everlasting life which Christ "
    "brings.";
static_assert(Utf16Length(kNoteHangingOfTheGreens) == 418);

constexpr std::string_view kNoteAdventWreath =
    "The Advent wreath is a circle of evergreen boughs holding four candles around its "
    "edge and a fifth, larger candle in the center. One more candle is lit on each Sunday "
    "of Advent, so the light grows as Christmas draws near, and the center candle is lit "
    "on Christmas Eve or Christmas Day. The custom began among Lutherans in Germany and "
    "spread to churches and to homes.";
static_assert(Utf16Length(kNoteAdventWreath) == 366);

constexpr std::string_view kNoteWreathCircle =
    "The wreath is a circle, with no beginning and no end. It stands for the eternity of "
    "God, whose love never ends, and for the everlasting life that God gives us. The "
    "green of the branches stands for life and hope, since evergreens stay green and "
    "alive while other trees are bare, and for the new life we have in Christ.";
static_assert(Utf16Length(kNoteWreathCircle) == 317);

constexpr std::string_view kNoteAdventCandles =
    "The candles of the wreath stand for the light of God coming into the world with the "
    "birth of Jesus, the light of the world. The four outer candles stand for the four "
    "weeks of Advent, and for the long years of waiting by God''s people for the promised "
    "Messiah, as the light grows brighter week by week.";
static_assert(Utf16Length(kNoteAdventCandles) == 301);

constexpr std::string_view kNoteCandleColors =
    "Three of the outer candles are purple, the color of the season, and one is pink; "
    "some churches use blue instead of purple. The purple candle of Hope is lit on the "
    "first Sunday and the purple candle of Peace on the second. On the third Sunday, "
    "Gaudete, from the Latin for rejoice, the pink candle of Joy is lit. The last purple "
    "candle, of Love, is lit on the fourth Sunday, and the white Christ Candle in the "
    "center at Christmas.";
static_assert(Utf16Length(kNoteCandleColors) == 428);

constexpr std::string_view kNoteCandleTraditions =
    "Traditions differ on the meanings given to each candle. Many name them Hope, Peace, "
    "Joy and Love; others call them Prophecy, Bethlehem, Shepherds and Angels.";
static_assert(Utf16Length(kNoteCandleTraditions) == 157);

constexpr std::string_view kNoteSecondCandle =
    "On the second Sunday of Advent the second purple candle is lit, the candle of Peace, "
    "for the peace that Christ, the Prince of Peace, gives to all the world.";
static_assert(Utf16Length(kNoteSecondCandle) == 156);

constexpr std::string_view kNoteThirdCandle =
    "On the third Sunday of Advent the pink candle is lit, the candle of Joy, for the joy "
    "of Christ''s coming.";
static_assert(Utf16Length(kNoteThirdCandle) == 105);

constexpr std::string_view kNoteFourthCandle =
    "On the fourth Sunday of Advent the last purple candle is lit, the candle of Love, "
    "for the love of God, who gave his only Son out of love for all the world. With all "
    "four outer candles burning, the wreath waits for the white Christ Candle in its "
    "center. The Christ Candle is lit on Christmas Eve or Christmas Day to celebrate the "
    "birth of Jesus, the light of the world, whose coming the four weeks of Advent have "
    "been preparing us for.";
static_assert(Utf16Length(kNoteFourthCandle) == 434);

constexpr std::string_view kNoteChristmasSeason =
    "Christmas celebrates the birth of Jesus in Bethlehem. The Christmas season lasts "
    "twelve days, the Twelve Days of Christmas, from Christmas Day until Twelfth Night on "
    "January 5, and ends with the feast of the Epiphany on January 6.";
static_assert(Utf16Length(kNoteChristmasSeason) == 230);

struct DayRecord {
    std::string_view date;
    std::string_view colour;
    std::string_view names;  // separated by "^"; apostrophes single, as written
    std::string_view notes;
};

// clang-format off
constexpr std::array<DayRecord, 366> kDays{{
    {"1/1/2012", "White", "New Year's Day", ""},
    {"1/2/2012", "White", "", ""},
    {"1/3/2012", "White", "", ""},
    {"1/4/2012", "White", "", ""},
    {"1/5/2012", "Normal", "", ""},
    {"1/6/2012", "White", "Epiphany of the Lord", kNoteEpiphanySeason},
    {"1/7/2012", "Green", "", ""},
    {"1/8/2012", "White", "Baptism of the Lord", kNoteBaptismOfTheLord},
    {"1/9/2012", "Green", "", ""},
    {"1/10/2012", "Green", "", ""},
    {"1/11/2012", "Green", "", ""},
    {"1/12/2012", "Green", "", ""},
    {"1/13/2012", "Green", "", ""},
    {"1/14/2012", "Green", "", ""},
    {"1/15/2012", "Green", "", ""},
    {"1/16/2012", "Green", "Martin Luther King, Jr. Day", ""},
    {"1/17/2012", "Green", "", ""},
    {"1/18/2012", "Green", "", ""},
    {"1/19/2012", "Green", "", ""},
    {"1/20/2012", "Green", "", ""},
    {"1/21/2012", "Green", "", ""},
    {"1/22/2012", "Green", "", ""},
    {"1/23/2012", "Green", "", ""},
    {"1/24/2012", "Green", "", ""},
    {"1/25/2012", "Green", "", ""},
    {"1/26/2012", "Green", "", ""},
    {"1/27/2012", "Green", "", ""},
    {"1/28/2012", "Green", "", ""},
    {"1/29/2012", "Green", "", ""},
    {"1/30/2012", "Green", "", ""},
    {"1/31/2012", "Green", "", ""},
    {"2/1/2012", "Green", "", ""},
    {"2/2/2012", "Green", "Groundhog Day", ""},
    {"2/3/2012", "Green", "", ""},
    {"2/4/2012", "Green", "", ""},
    {"2/5/2012", "Green", "", ""},
    {"2/6/2012", "Green", "", ""},
    {"2/7/2012", "Green", "", ""},
    {"2/8/2012", "Green", "", ""},
    {"2/9/2012", "Green", "", ""},
    {"2/10/2012", "Green", "", ""},
    {"2/11/2012", "Green", "", ""},
    {"2/12/2012", "Green", "Lincoln's Birthday", ""},
    {"2/13/2012", "Green", "", ""},
    {"2/14/2012", "Green", "Valentines Day", ""},
    {"2/15/2012", "Green", "", ""},
    {"2/16/2012", "Green", "", ""},
    {"2/17/2012", "Green", "", ""},
    {"2/18/2012", "Green", "", ""},
    {"2/19/2012", "White", "Transfiguration of the Lord", kNoteTransfiguration},
    {"2/20/2012", "Green", "President's Day", ""},
    {"2/21/2012", "Green", "Mardi Gras", ""},
    {"2/22/2012", "Purple", "Ash Wednesday^Washington's Birthday", kNoteAshWednesday},
    {"2/23/2012", "Purple", "", ""},
    {"2/24/2012", "Purple", "", ""},
    {"2/25/2012", "Purple", "", ""},
    {"2/26/2012", "Purple", "1st Sunday in Lent", kNoteLentSundays},
    {"2/27/2012", "Purple", "", ""},
    {"2/28/2012", "Purple", "", ""},
    {"2/29/2012", "Purple", "", ""},
    {"3/1/2012", "Purple", "", ""},
    {"3/2/2012", "Purple", "", ""},
    {"3/3/2012", "Purple", "", ""},
    {"3/4/2012", "Purple", "2nd Sunday in Lent", kNoteLentSundays},
    {"3/5/2012", "Purple", "", ""},
    {"3/6/2012", "Purple", "", ""},
    {"3/7/2012", "Purple", "", ""},
    {"3/8/2012", "Purple", "", ""},
    {"3/9/2012", "Purple", "", ""},
    {"3/10/2012", "Purple", "", ""},
    {"3/11/2012", "Purple", "3rd Sunday in Lent^Daylight Savings Time Begins", kNoteLentSundays},
    {"3/12/2012", "Purple", "", ""},
    {"3/13/2012", "Purple", "", ""},
    {"3/14/2012", "Purple", "", ""},
    {"3/15/2012", "Purple", "", ""},
    {"3/16/2012", "Purple", "", ""},
    {"3/17/2012", "Purple", "St. Patrick's Day", ""},
    {"3/18/2012", "Purple", "4th Sunday in Lent^One Great Hour of Sharing", kNoteLentSundays},
    {"3/19/2012", "Purple", "", ""},
    {"3/20/2012", "Purple", "First Day of Spring", ""},
    {"3/21/2012", "Purple", "", ""},
    {"3/22/2012", "Purple", "", ""},
    {"3/23/2012", "Purple", "", ""},
    {"3/24/2012", "Purple", "", ""},
    {"3/25/2012", "Purple", "5th Sunday in Lent", kNoteLentSundays},
    {"3/26/2012", "Purple", "", ""},
    {"3/27/2012", "Purple", "", ""},
    {"3/28/2012", "Purple", "", ""},
    {"3/29/2012", "Purple", "", ""},
    {"3/30/2012", "Purple", "", ""},
    {"3/31/2012", "Purple", "", ""},
    {"4/1/2012", "Purple", "Palm Sunday^April Fool's Day", kNotePalmSunday},
    {"4/2/2012", "Purple", "", ""},
    {"4/3/2012", "Purple", "", ""},
    {"4/4/2012", "Purple", "", ""},
    {"4/5/2012", "Purple", "Maundy Thursday", kNoteMaundyThursday},
    {"4/6/2012", "Gray", "Good Friday", kNoteGoodFriday},
    {"4/7/2012", "Gray", "Great Vigil of Easter^Passover Begins", kNoteGreatVigil},
    {"4/8/2012", "White", "Resurrection of the Lord", ""},
    {"4/9/2012", "White", "", ""},
    {"4/10/2012", "White", "", ""},
    {"4/11/2012", "White", "", ""},
    {"4/12/2012", "White", "", ""},
    {"4/13/2012", "White", "", ""},
    {"4/14/2012", "White", "", ""},
    {"4/15/2012", "White", "2nd Sunday Of Easter", kNoteEasterSundays},
    {"4/16/2012", "White", "", ""},
    {"4/17/2012", "White", "", ""},
    {"4/18/2012", "White", "", ""},
    {"4/19/2012", "White", "Holocaust Remembrance Day", ""},
    {"4/20/2012", "White", "", ""},
    {"4/21/2012", "White", "", ""},
    {"4/22/2012", "White", "3rd Sunday Of Easter^Earth Day", kNoteEasterSundays},
    {"4/23/2012", "White", "", ""},
    {"4/24/2012", "White", "", ""},
    {"4/25/2012", "White", "", ""},
    {"4/26/2012", "White", "", ""},
    {"4/27/2012", "White", "Arbor Day", ""},
    {"4/28/2012", "White", "", ""},
    {"4/29/2012", "White", "4th Sunday Of Easter", kNoteEasterSundays},
    {"4/30/2012", "White", "", ""},
    {"5/1/2012", "White", "", ""},
    {"5/2/2012", "White", "", ""},
    {"5/3/2012", "White", "National Day of Prayer", ""},
    {"5/4/2012", "White", "", ""},
    {"5/5/2012", "White", "", ""},
    {"5/6/2012", "White", "5th Sunday Of Easter", kNoteEasterSundays},
    {"5/7/2012", "White", "", ""},
    {"5/8/2012", "White", "", ""},
    {"5/9/2012", "White", "", ""},
    {"5/10/2012", "White", "", ""},
    {"5/11/2012", "White", "", ""},
    {"5/12/2012", "White", "", ""},
    {"5/13/2012", "White", "6th Sunday Of Easter^Mother's Day", kNoteEasterSundays},
    {"5/14/2012", "White", "", ""},
    {"5/15/2012", "White", "", ""},
    {"5/16/2012", "White", "", ""},
    {"5/17/2012", "White", "Ascension of the Lord", ""},
    {"5/18/2012", "White", "", ""},
    {"5/19/2012", "White", "Armed Forces Day", ""},
    {"5/20/2012", "White", "7th Sunday Of Easter", kNoteEasterSundays},
    {"5/21/2012", "White", "", ""},
    {"5/22/2012", "White", "", ""},
    {"5/23/2012", "White", "", ""},
    {"5/24/2012", "White", "", ""},
    {"5/25/2012", "White", "", ""},
    {"5/26/2012", "White", "", ""},
    {"5/27/2012", "Red", "Day of Pentecost", kNotePentecost},
    {"5/28/2012", "Green", "Memorial Day", ""},
    {"5/29/2012", "Green", "", ""},
    {"5/30/2012", "Green", "", ""},
    {"5/31/2012", "Green", "", ""},
    {"6/1/2012", "Green", "", ""},
    {"6/2/2012", "Green", "", ""},
    {"6/3/2012", "White", "Trinity Sunday", kNoteTrinitySunday},
    {"6/4/2012", "Green", "", ""},
    {"6/5/2012", "Green", "", ""},
    {"6/6/2012", "Green", "", ""},
    {"6/7/2012", "Green", "", ""},
    {"6/8/2012", "Green", "", ""},
    {"6/9/2012", "Green", "", ""},
    {"6/10/2012", "Green", "", ""},
    {"6/11/2012", "Green", "", ""},
    {"6/12/2012", "Green", "", ""},
    {"6/13/2012", "Green", "", ""},
    {"6/14/2012", "Green", "Flag Day", ""},
    {"6/15/2012", "Green", "", ""},
    {"6/16/2012", "Green", "", ""},
    {"6/17/2012", "Green", "Fathers Day", ""},
    {"6/18/2012", "Green", "", ""},
    {"6/19/2012", "Green", "", ""},
    {"6/20/2012", "Green", "First Day of Summer", ""},
    {"6/21/2012", "Green", "", ""},
    {"6/22/2012", "Green", "", ""},
    {"6/23/2012", "Green", "", ""},
    {"6/24/2012", "Green", "", ""},
    {"6/25/2012", "Green", "", ""},
    {"6/26/2012", "Green", "", ""},
    {"6/27/2012", "Green", "", ""},
    {"6/28/2012", "Green", "", ""},
    {"6/29/2012", "Green", "", ""},
    {"6/30/2012", "Green", "", ""},
    {"7/1/2012", "Green", "", ""},
    {"7/2/2012", "Green", "", ""},
    {"7/3/2012", "Green", "", ""},
    {"7/4/2012", "Green", "US Independence Day", ""},
    {"7/5/2012", "Green", "", ""},
    {"7/6/2012", "Green", "", ""},
    {"7/7/2012", "Green", "", ""},
    {"7/8/2012", "Green", "", ""},
    {"7/9/2012", "Green", "", ""},
    {"7/10/2012", "Green", "", ""},
    {"7/11/2012", "Green", "", ""},
    {"7/12/2012", "Green", "", ""},
    {"7/13/2012", "Green", "", ""},
    {"7/14/2012", "Green", "", ""},
    {"7/15/2012", "Green", "", ""},
    {"7/16/2012", "Green", "", ""},
    {"7/17/2012", "Green", "", ""},
    {"7/18/2012", "Green", "", ""},
    {"7/19/2012", "Green", "", ""},
    {"7/20/2012", "Green", "", ""},
    {"7/21/2012", "Green", "", ""},
    {"7/22/2012", "Green", "", ""},
    {"7/23/2012", "Green", "", ""},
    {"7/24/2012", "Green", "", ""},
    {"7/25/2012", "Green", "", ""},
    {"7/26/2012", "Green", "", ""},
    {"7/27/2012", "Green", "", ""},
    {"7/28/2012", "Green", "", ""},
    {"7/29/2012", "Green", "", ""},
    {"7/30/2012", "Green", "", ""},
    {"7/31/2012", "Green", "", ""},
    {"8/1/2012", "Green", "", ""},
    {"8/2/2012", "Green", "", ""},
    {"8/3/2012", "Green", "", ""},
    {"8/4/2012", "Green", "", ""},
    {"8/5/2012", "Green", "", ""},
    {"8/6/2012", "Green", "", ""},
    {"8/7/2012", "Green", "", ""},
    {"8/8/2012", "Green", "", ""},
    {"8/9/2012", "Green", "", ""},
    {"8/10/2012", "Green", "", ""},
    {"8/11/2012", "Green", "", ""},
    {"8/12/2012", "Green", "", ""},
    {"8/13/2012", "Green", "", ""},
    {"8/14/2012", "Green", "", ""},
    {"8/15/2012", "Green", "", ""},
    {"8/16/2012", "Green", "", ""},
    {"8/17/2012", "Green", "", ""},
    {"8/18/2012", "Green", "", ""},
    {"8/19/2012", "Green", "", ""},
    {"8/20/2012", "Green", "", ""},
    {"8/21/2012", "Green", "", ""},
    {"8/22/2012", "Green", "", ""},
    {"8/23/2012", "Green", "", ""},
    {"8/24/2012", "Green", "", ""},
    {"8/25/2012", "Green", "", ""},
    {"8/26/2012", "Green", "", ""},
    {"8/27/2012", "Green", "", ""},
    {"8/28/2012", "Green", "", ""},
    {"8/29/2012", "Green", "", ""},
    {"8/30/2012", "Green", "", ""},
    {"8/31/2012", "Green", "", ""},
    {"9/1/2012", "Green", "", ""},
    {"9/2/2012", "Green", "", ""},
    {"9/3/2012", "Green", "Labor Day", ""},
    {"9/4/2012", "Green", "", ""},
    {"9/5/2012", "Green", "", ""},
    {"9/6/2012", "Green", "", ""},
    {"9/7/2012", "Green", "", ""},
    {"9/8/2012", "Green", "", ""},
    {"9/9/2012", "Green", "", ""},
    {"9/10/2012", "Green", "", ""},
    {"9/11/2012", "Green", "Patriot Day", ""},
    {"9/12/2012", "Green", "", ""},
    {"9/13/2012", "Green", "", ""},
    {"9/14/2012", "Green", "", ""},
    {"9/15/2012", "Green", "", ""},
    {"9/16/2012", "Green", "", ""},
    {"9/17/2012", "Green", "Rosh Hashanah", ""},
    {"9/18/2012", "Green", "", ""},
    {"9/19/2012", "Green", "", ""},
    {"9/20/2012", "Green", "", ""},
    {"9/21/2012", "Green", "", ""},
    {"9/22/2012", "Green", "First Day of Autumn", ""},
    {"9/23/2012", "Green", "", ""},
    {"9/24/2012", "Green", "", ""},
    {"9/25/2012", "Green", "", ""},
    {"9/26/2012", "Green", "Yom Kippur", ""},
    {"9/27/2012", "Green", "", ""},
    {"9/28/2012", "Green", "", ""},
    {"9/29/2012", "Green", "", ""},
    {"9/30/2012", "Green", "", ""},
    {"10/1/2012", "Green", "", ""},
    {"10/2/2012", "Green", "", ""},
    {"10/3/2012", "Green", "", ""},
    {"10/4/2012", "Green", "", ""},
    {"10/5/2012", "Green", "", ""},
    {"10/6/2012", "Green", "", ""},
    {"10/7/2012", "Green", "", ""},
    {"10/8/2012", "Green", "Columbus Day", ""},
    {"10/9/2012", "Green", "", ""},
    {"10/10/2012", "Green", "", ""},
    {"10/11/2012", "Green", "", ""},
    {"10/12/2012", "Green", "", ""},
    {"10/13/2012", "Green", "", ""},
    {"10/14/2012", "Green", "", ""},
    {"10/15/2012", "Green", "", ""},
    {"10/16/2012", "Green", "", ""},
    {"10/17/2012", "Green", "", ""},
    {"10/18/2012", "Green", "", ""},
    {"10/19/2012", "Green", "", ""},
    {"10/20/2012", "Green", "", ""},
    {"10/21/2012", "Green", "", ""},
    {"10/22/2012", "Green", "", ""},
    {"10/23/2012", "Green", "", ""},
    {"10/24/2012", "Green", "", ""},
    {"10/25/2012", "Green", "", ""},
    {"10/26/2012", "Green", "", ""},
    {"10/27/2012", "Green", "", ""},
    {"10/28/2012", "Green", "", ""},
    {"10/29/2012", "Green", "", ""},
    {"10/30/2012", "Green", "", ""},
    {"10/31/2012", "Green", "Halloween", ""},
    {"11/1/2012", "White", "All Saints Day", kNoteAllSaints},
    {"11/2/2012", "Green", "", ""},
    {"11/3/2012", "Green", "", ""},
    {"11/4/2012", "Green", "Daylight Savings Time Ends", ""},
    {"11/5/2012", "Green", "", ""},
    {"11/6/2012", "Green", "Election Day", ""},
    {"11/7/2012", "Green", "", ""},
    {"11/8/2012", "Green", "", ""},
    {"11/9/2012", "Green", "", ""},
    {"11/10/2012", "Green", "", ""},
    {"11/11/2012", "Green", "Veterans Day", ""},
    {"11/12/2012", "Green", "", ""},
    {"11/13/2012", "Green", "", ""},
    {"11/14/2012", "Green", "", ""},
    {"11/15/2012", "Green", "", ""},
    {"11/16/2012", "Green", "", ""},
    {"11/17/2012", "Green", "", ""},
    {"11/18/2012", "Green", "", ""},
    {"11/19/2012", "Green", "", ""},
    {"11/20/2012", "Green", "", ""},
    {"11/21/2012", "Green", "", ""},
    {"11/22/2012", "Green", "Thanksgiving Day", ""},
    {"11/23/2012", "Green", "", ""},
    {"11/24/2012", "Green", "", ""},
    {"11/25/2012", "White", "Christ the King Sunday", kNoteChristTheKing},
    {"11/26/2012", "Green", "", ""},
    {"11/27/2012", "Green", "", ""},
    {"11/28/2012", "Green", "", ""},
    {"11/29/2012", "Green", "", ""},
    {"11/30/2012", "Green", "", ""},
    {"12/1/2012", "Green", "World AIDS Day", ""},
    {"12/2/2012", "Purple", "1st Sunday Of Advent", kNoteFirstSundayOfAdvent},
    {"12/3/2012", "Purple", "", kNoteHangingOfTheGreens},
    {"12/4/2012", "Purple", "", kNoteAdventWreath},
    {"12/5/2012", "Purple", "", kNoteWreathCircle},
    {"12/6/2012", "Purple", "", kNoteAdventCandles},
    {"12/7/2012", "Purple", "Pearl Harbor Day", kNoteCandleColors},
    {"12/8/2012", "Purple", "", kNoteCandleTraditions},
    {"12/9/2012", "Purple", "2nd Sunday Of Advent^Hanukkah", kNoteSecondCandle},
    {"12/10/2012", "Purple", "", ""},
    {"12/11/2012", "Purple", "", ""},
    {"12/12/2012", "Purple", "", ""},
    {"12/13/2012", "Purple", "", ""},
    {"12/14/2012", "Purple", "", ""},
    {"12/15/2012", "Purple", "", ""},
    {"12/16/2012", "Purple", "3rd Sunday Of Advent", kNoteThirdCandle},
    {"12/17/2012", "Purple", "", ""},
    {"12/18/2012", "Purple", "", ""},
    {"12/19/2012", "Purple", "", ""},
    {"12/20/2012", "Purple", "", ""},
    {"12/21/2012", "Purple", "First Day of Winter", ""},
    {"12/22/2012", "Purple", "", ""},
    {"12/23/2012", "Purple", "4th Sunday Of Advent", kNoteFourthCandle},
    {"12/24/2012", "Purple", "Christmas Eve", ""},
    {"12/25/2012", "White", "Christmas Day", kNoteChristmasSeason},
    {"12/26/2012", "White", "", ""},
    {"12/27/2012", "White", "", ""},
    {"12/28/2012", "White", "", ""},
    {"12/29/2012", "White", "", ""},
    {"12/30/2012", "White", "", ""},
    {"12/31/2012", "White", "New Year's Eve", ""},
}};
// clang-format on

}  // namespace

void BuildYearTable(YearTable& table) {
    table.assign(kDays.size(), std::string{});
    for (std::size_t i = 0; i < kDays.size(); ++i) {
        const DayRecord& day = kDays[i];
        std::string& record = table[i];
        record.append(day.date).append("|").append(day.colour).append("|");
        record.append(day.names).append("|").append(day.notes);
    }
}

}  // namespace almanoria
