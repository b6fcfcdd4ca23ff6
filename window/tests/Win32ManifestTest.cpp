// The Windows program's manifest. The calendar, a 32-bit program without a manifest of its
// own, has its writes to Program Files redirected to the user's VirtualStore and reads that
// copy back. Only a program that requests no execution level is redirected the same way; an
// elevated one, or any that names a level, would update a file the calendar no longer reads.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

const std::filesystem::path kResources = ALMANORIA_WIN32_RESOURCES;

TEST(Win32Manifest, RequestsNoExecutionLevelAndKeepsTheRest) {
    const std::string manifest = testing::ReadFile(kResources / "AlmanoriaYear2012.manifest");
    ASSERT_FALSE(manifest.empty());
    EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("<supportedOS"), std::string::npos);
}

TEST(Win32Manifest, IsTheOneTheProgramCarries) {
    const std::string resources = testing::ReadFile(kResources / "AlmanoriaYear2012.rc.in");
    EXPECT_NE(resources.find("CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST "
                             "\"@ALMANORIA_WIN32_RESOURCES@/AlmanoriaYear2012.manifest\""),
              std::string::npos);
}

}  // namespace
}  // namespace almanoria
