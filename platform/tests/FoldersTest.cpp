// The XDG folders the calendar and the log go under on Linux, by the values of the variables.
#include "platform/Folders.hpp"

#include <gtest/gtest.h>

#include <filesystem>

namespace almanoria {
namespace {

TEST(UserDataDirectory, FollowsXdgDataHomeWhenAbsoluteElseHome) {
    EXPECT_EQ(UserDataDirectory("/data", "/home/ann"), "/data/Almanoria Desktop Calendar");
    EXPECT_EQ(UserDataDirectory("relative", "/home/ann"),
              "/home/ann/.local/share/Almanoria Desktop Calendar");
    EXPECT_EQ(UserDataDirectory("", "/home/ann"),
              "/home/ann/.local/share/Almanoria Desktop Calendar");
}

TEST(UserStateDirectory, FollowsXdgStateHomeWhenAbsoluteElseHome) {
    EXPECT_EQ(UserStateDirectory("/var/state", "/home/ann"),
              std::filesystem::path("/var/state/Almanoria Desktop Calendar"));
    EXPECT_EQ(UserStateDirectory("relative", "/home/ann"),
              std::filesystem::path("/home/ann/.local/state/Almanoria Desktop Calendar"));
    EXPECT_EQ(UserStateDirectory(nullptr, "/home/ann"),
              std::filesystem::path("/home/ann/.local/state/Almanoria Desktop Calendar"));
    EXPECT_TRUE(UserStateDirectory(nullptr, nullptr).empty());
}

}  // namespace
}  // namespace almanoria
