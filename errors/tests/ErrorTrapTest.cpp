#include <gtest/gtest.h>

#include <cstdint>
#include <new>

#include "errors/ErrorNumbers.hpp"
#include "errors/basErrorHandler.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

// A procedure without a trap of its own, like the field extraction.
Integer NextPosition(Integer position) {
    return CheckedAdd(position, Integer{1});
}

class ErrorTrapTest : public ::testing::Test {
  protected:
    // A trapping procedure in the program's shape; throwsAt decides which statement fails.
    // clang-format off
    Boolean Procedure(int throwsAt) {
        Long erl = 10;
        try {
            erl = 20; Integer position = 32766;
            erl = 30; position = NextPosition(position);
            erl = 40; if (throwsAt == 40) position = NextPosition(position);
            erl = 50; if (throwsAt == 50) throw std::bad_alloc();
            erl = 60; if (throwsAt == 60) throw Failure(-2147221503, "no such table: Dates");
            return vbTrue;
        } catch (...) {
            handler.Err.Catch(erl);
            seen = handler.Err;
            handler.HandleError("basTest.Procedure", vbTrue, "", vbFalse);
            return vbFalse;
        }
    }
    // clang-format on

    testing::TempDir dir;
    testing::RecordingMessageBox box;
    testing::FixedClock clock;
    basErrorHandler handler{box, clock, {"P", dir.Path(), "F"}};
    ErrObject seen;
};

TEST_F(ErrorTrapTest, AFailureInsideAnUntrappedCalleeCarriesTheCallingStatement) {
    EXPECT_EQ(Procedure(40), vbFalse);
    EXPECT_EQ(seen.Line, 40);
    EXPECT_EQ(seen.Number, 6);
    EXPECT_EQ(seen.Description, "Overflow");
    EXPECT_NE(box.Shown.at(0).Text.find("Line Number: \t40\r\n"), std::string::npos);
}

TEST_F(ErrorTrapTest, EachKindOfFailureKeepsItsNumberAndDescription) {
    EXPECT_EQ(Procedure(50), vbFalse);
    EXPECT_EQ(seen.Line, 50);
    EXPECT_EQ(seen.Number, 7);
    EXPECT_EQ(seen.Description, "Out of memory");

    EXPECT_EQ(Procedure(60), vbFalse);
    EXPECT_EQ(seen.Line, 60);
    EXPECT_EQ(seen.Number, -2147221503);
    EXPECT_EQ(seen.Description, "no such table: Dates");
}

TEST_F(ErrorTrapTest, ASuccessfulRunReportsNothing) {
    EXPECT_EQ(Procedure(0), vbTrue);
    EXPECT_TRUE(box.Shown.empty());
}

TEST(ObjectErrorNumber, AddsTheCodeToTheComponentBaseWhileALongHoldsTheSum) {
    EXPECT_EQ(ObjectErrorNumber(0), -2147221504);
    EXPECT_EQ(ObjectErrorNumber(19), -2147221485);
    EXPECT_EQ(ObjectErrorNumber(-1305), -2147222809);
    // The edges of a Long: its largest and smallest values are still sums.
    EXPECT_EQ(ObjectErrorNumber(4294705151), 2147483647);
    EXPECT_EQ(ObjectErrorNumber(-262144), -2147483647 - 1);
    // One past either edge, and far past, leaves the base alone.
    for (const std::int64_t code : {4294705152LL, 4294967295LL, -262145LL, -2000000000LL}) {
        EXPECT_EQ(ObjectErrorNumber(code), -2147221504) << code;
    }
}

}  // namespace
}  // namespace almanoria
