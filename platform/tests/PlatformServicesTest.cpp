// Who the running program is, as the platform tells it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/PlatformServices.hpp"

namespace almanoria {
namespace {

TEST(RunningProgram, IsThisTestProgramInItsFolder) {
    const ProgramInfo program = RunningProgram();
    // The build's name on Linux; on Windows the test program's own version information.
    EXPECT_EQ(program.ProductName, ALMANORIA_TESTS_PRODUCT_NAME);
    EXPECT_EQ(program.FileName, "platform_tests");
    std::error_code error;
    EXPECT_TRUE(std::filesystem::equivalent(program.Directory, ALMANORIA_TESTS_DIRECTORY, error))
        << program.Directory << " " << error.message();
}

}  // namespace
}  // namespace almanoria
