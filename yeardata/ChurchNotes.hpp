#pragma once

// The 25 note texts of the church year, each attached to its day of the church year whatever the
// date: 2012's stored table and every other year's rules give the same texts.

#include <string_view>

namespace almanoria::notes {

// The notes, already in the form the Dates upsert places between single quotes: every
// apostrophe doubled.

inline constexpr std::string_view kNoteEpiphanySeason =
    "Epiphany, from the Greek for appearing, celebrates Jesus made known as the Christ to "
    "all peoples, first to the Magi, who came from the East to worship the child. The "
    "season lasts from January 6 to the eve of Ash Wednesday, so its length varies with "
    "the date of Easter. The feast began in the East, where it once marked both the birth "
    "and the baptism of Jesus.";

inline constexpr std::string_view kNoteBaptismOfTheLord =
    "On the first Sunday after the Epiphany the church remembers the baptism of Jesus by "
    "John the Baptist in the Jordan River, when the Spirit came down like a dove and a "
    "voice from heaven spoke.";

inline constexpr std::string_view kNoteTransfiguration =
    "The last Sunday after the Epiphany recalls the day Jesus took Peter, James and John "
    "up a high mountain, where his face shone and his clothes became dazzling white, and "
    "Moses and Elijah talked with him. To transfigure, from Latin, means to change in "
    "form or appearance.";

inline constexpr std::string_view kNoteAshWednesday =
    "Ash Wednesday is the first day of Lent. In many churches the minister marks each "
    "forehead with ashes in the sign of a cross, as a reminder that we are made from dust "
    "and will return to dust. Ashes are an old sign of repentance and of mourning: in the "
    "Hebrew scriptures people who turned back to God put on sackcloth and sat in ashes. "
    "The ashes used today are usually made by burning the palm branches from the previous "
    "year\xE2\x80\x99"  // U+2019, one character
    "s Palm Sunday, so that the branches waved in welcome one spring become the mark "
    "of sorrow for sin as the next Lent begins.";

inline constexpr std::string_view kNoteLentSundays =
    "Lent is a season of forty days of prayer, fasting and repentance before Easter. Its "
    "name is from an Old English word for spring, when the days lengthen. The forty days "
    "recall the forty days Jesus fasted in the wilderness. In the early church this was "
    "when those to be baptized at Easter made their final preparation, and by the fourth "
    "century a fast of forty days was widely kept. From Ash Wednesday to Easter Eve there "
    "are forty-six days, but the six Sundays are not counted, because each Sunday is a "
    "little Easter, a feast of the resurrection and not a fast day. They are Sundays in "
    "Lent, not of Lent.";

inline constexpr std::string_view kNotePalmSunday =
    "Palm Sunday begins Holy Week, the last week of Lent. It remembers the day Jesus rode "
    "into Jerusalem on a donkey while the crowds spread their cloaks and branches of palm "
    "in his path, shouting Hosanna and hailing him as the one who comes in the name of "
    "the Lord.";

inline constexpr std::string_view kNoteMaundyThursday =
    "On the night before he died, Jesus shared a last supper with his disciples, washed "
    "their feet, and gave them bread and the cup, instituting the sacrament of Holy "
    "Communion. Later that night in the garden of Gethsemane, he was betrayed by Judas "
    "and arrested. The name Maundy comes from the Latin word mandatum, commandment, for "
    "the new commandment Jesus gave that night: that his disciples should love one "
    "another.";

inline constexpr std::string_view kNoteGoodFriday =
    "Good Friday commemorates the crucifixion and death of Jesus. In many churches, the "
    "altar is left bare and the sanctuary stripped, with its decorations removed or "
    "veiled in black, until the dawn of Easter.";

inline constexpr std::string_view kNoteGreatVigil =
    "The Great Vigil of Easter is the first service of Easter, held on Holy Saturday "
    "night at some time between sunset and sunrise. It begins in darkness: a new fire is "
    "kindled, the Paschal candle is lit from it, and its light is passed to all. Readings "
    "tell the story of salvation, new members are baptized, and the first Communion of "
    "Easter is shared. The early church kept watch through the night, awaiting the dawn "
    "of Easter.";

inline constexpr std::string_view kNoteEasterSundays =
    "The Easter season lasts 50 days, from Easter Day through the Day of Pentecost.";

inline constexpr std::string_view kNotePentecost =
    "Pentecost is called the birthday of the Church. On the fiftieth day of Easter the "
    "Holy Spirit came upon the disciples in Jerusalem with the sound of a rushing wind "
    "and tongues of fire, and Peter preached to the crowds. The color of the day is red, "
    "for the fire of the Spirit. The name is Greek for fiftieth: it was the day of the "
    "Jewish festival of Shavuot, the Feast of Weeks, kept fifty days after Passover to "
    "give thanks for the harvest.";

inline constexpr std::string_view kNoteTrinitySunday =
    "The Sunday after Pentecost celebrates the Trinity, one God in three persons: Father, "
    "Son and Holy Spirit.";

inline constexpr std::string_view kNoteAllSaints =
    "All Saints Day remembers all who have died for their testimony to the faith, the "
    "martyrs, whether their names are known or are long forgotten.";

inline constexpr std::string_view kNoteChristTheKing =
    "Christ the King Sunday is the last Sunday of the church year, the Sunday before "
    "Advent begins. It celebrates the reign of Christ over all creation and looks ahead "
    "to the day when his kingdom comes in full. Pope Pius XI set the feast in 1925 on the "
    "last Sunday of October; the calendar reform of 1969 moved it to the close of the "
    "church year, and many churches keep it.";

inline constexpr std::string_view kNoteFirstSundayOfAdvent =
    "Advent, from the Latin adventus, a coming, is the season of the four Sundays before "
    "Christmas and the beginning of the church year. It is a time of waiting and "
    "preparation: for celebrating the birth of Jesus at Christmas, and for his coming "
    "again at the end of the age. On this Sunday the first candle of the Advent wreath is "
    "lit, the candle of Hope, recalling the prophets who foretold the coming of the "
    "Messiah and the hope of all who waited for him.";

inline constexpr std::string_view kNoteHangingOfTheGreens =
    "At the beginning of Advent many churches hold a service called the Hanging of the "
    "Greens, in which the congregation decorates the sanctuary with evergreens. Wreaths, "
    "garlands and boughs of pine, fir, cedar and holly are hung while scripture is read "
    "and carols are sung, and the Advent wreath is set in its place. Evergreens stay "
    "green through the winter, so they are a sign of the everlasting life which Christ "
    "brings.";

inline constexpr std::string_view kNoteAdventWreath =
    "The Advent wreath is a circle of evergreen boughs holding four candles around its "
    "edge and a fifth, larger candle in the center. One more candle is lit on each Sunday "
    "of Advent, so the light grows as Christmas draws near, and the center candle is lit "
    "on Christmas Eve or Christmas Day. The custom began among Lutherans in Germany and "
    "spread to churches and to homes.";

inline constexpr std::string_view kNoteWreathCircle =
    "The wreath is a circle, with no beginning and no end. It stands for the eternity of "
    "God, whose love never ends, and for the everlasting life that God gives us. The "
    "green of the branches stands for life and hope, since evergreens stay green and "
    "alive while other trees are bare, and for the new life we have in Christ.";

inline constexpr std::string_view kNoteAdventCandles =
    "The candles of the wreath stand for the light of God coming into the world with the "
    "birth of Jesus, the light of the world. The four outer candles stand for the four "
    "weeks of Advent, and for the long years of waiting by God''s people for the promised "
    "Messiah, as the light grows brighter week by week.";

inline constexpr std::string_view kNoteCandleColors =
    "Three of the outer candles are purple, the color of the season, and one is pink; "
    "some churches use blue instead of purple. The purple candle of Hope is lit on the "
    "first Sunday and the purple candle of Peace on the second. On the third Sunday, "
    "Gaudete, from the Latin for rejoice, the pink candle of Joy is lit. The last purple "
    "candle, of Love, is lit on the fourth Sunday, and the white Christ Candle in the "
    "center at Christmas.";

inline constexpr std::string_view kNoteCandleTraditions =
    "Traditions differ on the meanings given to each candle. Many name them Hope, Peace, "
    "Joy and Love; others call them Prophecy, Bethlehem, Shepherds and Angels.";

inline constexpr std::string_view kNoteSecondCandle =
    "On the second Sunday of Advent the second purple candle is lit, the candle of Peace, "
    "for the peace that Christ, the Prince of Peace, gives to all the world.";

inline constexpr std::string_view kNoteThirdCandle =
    "On the third Sunday of Advent the pink candle is lit, the candle of Joy, for the joy "
    "of Christ''s coming.";

inline constexpr std::string_view kNoteFourthCandle =
    "On the fourth Sunday of Advent the last purple candle is lit, the candle of Love, "
    "for the love of God, who gave his only Son out of love for all the world. With all "
    "four outer candles burning, the wreath waits for the white Christ Candle in its "
    "center. The Christ Candle is lit on Christmas Eve or Christmas Day to celebrate the "
    "birth of Jesus, the light of the world, whose coming the four weeks of Advent have "
    "been preparing us for.";

inline constexpr std::string_view kNoteChristmasSeason =
    "Christmas celebrates the birth of Jesus in Bethlehem. The Christmas season lasts "
    "twelve days, the Twelve Days of Christmas, from Christmas Day until Twelfth Night on "
    "January 5, and ends with the feast of the Epiphany on January 6.";

}  // namespace almanoria::notes
