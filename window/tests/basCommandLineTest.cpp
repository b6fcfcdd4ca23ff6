#include "window/basCommandLine.hpp"

#include <gtest/gtest.h>

namespace almanoria {
namespace {

TEST(ReadCommandLine, TakesTheYearInEachFormAndLeavesOtherArgumentsAlone) {
    EXPECT_EQ(ReadCommandLine({}, 2012).Year, 2012);
    EXPECT_EQ(ReadCommandLine({"-platform", "offscreen"}, 2031).Year, 2031);
    for (const auto& arguments :
         std::vector<std::vector<std::string>>{{"--year", "2027"},
                                               {"--year=2027"},
                                               {"/year:2027"},
                                               {"-style", "x", "--year", "2027"}}) {
        const CommandLine line = ReadCommandLine(arguments, 2012);
        EXPECT_EQ(line.Year, 2027) << arguments.front();
        EXPECT_EQ(line.Error, "");
        EXPECT_FALSE(line.PrintYear);
    }
    const CommandLine print = ReadCommandLine({"--print-year", "2099"}, 2012);
    EXPECT_EQ(print.PrintYear, 2099);
    EXPECT_EQ(print.Year, 2012);
}

TEST(ReadCommandLine, RefusesWhatIsNoYearItWrites) {
    EXPECT_EQ(ReadCommandLine({"--year", "2100"}, 2012).Error,
              "\"2100\" is not a year from 2007 to 2099.");
    EXPECT_EQ(ReadCommandLine({"/year:twenty"}, 2012).Error,
              "\"twenty\" is not a year from 2007 to 2099.");
    EXPECT_EQ(ReadCommandLine({"--year="}, 2012).Error, "\"\" is not a year from 2007 to 2099.");
    EXPECT_EQ(ReadCommandLine({"--print-year"}, 2012).Error,
              "--print-year needs a year from 2007 to 2099.");
    // The first refusal stands, whatever follows it.
    EXPECT_EQ(ReadCommandLine({"--year", "1999", "--year", "2027"}, 2012).Error,
              "\"1999\" is not a year from 2007 to 2099.");
}

}  // namespace
}  // namespace almanoria
