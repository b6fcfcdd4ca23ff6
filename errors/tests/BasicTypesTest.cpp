#include <gtest/gtest.h>

#include "errors/BasicTypes.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

using testing::FailureOf;

TEST(Counters, SixteenBitCountersOverflowPastTheirRange) {
    EXPECT_EQ(CheckedAdd(Integer{32766}, Integer{1}), 32767);
    const Failure overflow = FailureOf([] { CheckedAdd(Integer{32767}, Integer{1}); });
    EXPECT_EQ(overflow.Number(), 6);
    EXPECT_EQ(overflow.Description(), "Overflow");
    EXPECT_EQ(FailureOf([] { CheckedSubtract(Integer{-32768}, Integer{1}); }).Number(), 6);
    EXPECT_EQ(CheckedSubtract(Integer{-32767}, Integer{1}), -32768);
}

TEST(Counters, ThirtyTwoBitCountersOverflowPastTheirRange) {
    EXPECT_EQ(CheckedAdd(Long{2147483646}, Long{1}), 2147483647);
    EXPECT_EQ(FailureOf([] { CheckedAdd(Long{2147483647}, Long{1}); }).Number(), 6);
}

TEST(Counters, LoopBoundsNarrowToSixteenBits) {
    EXPECT_EQ(ToInteger(365), 365);
    EXPECT_EQ(ToInteger(-32768), -32768);
    EXPECT_EQ(FailureOf([] { ToInteger(32768); }).Number(), 6);
}

TEST(Arrays, IndicesOutsideTheBoundsAreSubscriptOutOfRange) {
    std::vector<std::string> names(3);
    At(names, 2) = "last";
    EXPECT_EQ(names[2], "last");
    EXPECT_EQ(UBound(names), 2);
    const Failure outside = FailureOf([&] { At(names, 3); });
    EXPECT_EQ(outside.Number(), 9);
    EXPECT_EQ(outside.Description(), "Subscript out of range");
    EXPECT_EQ(FailureOf([&] { At(names, -1); }).Number(), 9);
    EXPECT_EQ(FailureOf([] { UBound(std::vector<int>{}); }).Number(), 9);
}

}  // namespace
}  // namespace almanoria
