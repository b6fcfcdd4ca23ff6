#include <gtest/gtest.h>

#include "window/basCommonFunctions.hpp"
#include "yeardata/TextLength.hpp"

namespace almanoria {
namespace {

int SevenPixelsEach(std::string_view text) {
    return static_cast<int>(Utf16Length(text)) * 7;
}

class SevenPixelContext final : public DeviceContext {
  public:
    explicit SevenPixelContext(double twipsPerPixel) : mTwipsPerPixel(twipsPerPixel) {}
    double TwipsPerPixelX() const override { return mTwipsPerPixel; }
    void CompactPathInPlace(std::string& buffer, std::uint32_t pixels) override {
        LastPixels = pixels;
        const std::string shortened = ShortenPath(buffer, pixels, SevenPixelsEach);
        if (shortened.size() < buffer.size())
            buffer.replace(0, shortened.size() + 1, shortened + '\0');
    }
    std::uint32_t LastPixels = 0;

  private:
    double mTwipsPerPixel;
};

const std::string kLongPath =
    "/home/ann/calendars/backups/2011/12/week1/monday/a/b/c/d/e/f/g/h/i/j/k/dbcalndr.mdb";

TEST(TwipsToPixels, RoundsTwipsPerPixelHalfToEvenThenDividesDown) {
    EXPECT_EQ(TwipsToPixels(5495, 15), 366u);
    EXPECT_EQ(TwipsToPixels(5495, 12), 457u);
    EXPECT_EQ(TwipsToPixels(5495, 14.5), 392u);  // 14.5 rounds to 14
    EXPECT_EQ(TwipsToPixels(5495, 15.5), 343u);  // 15.5 rounds to 16
    EXPECT_THROW(TwipsToPixels(5495, 0.4), Failure);
}

TEST(CompactPath, APathThatFitsComesBackUnchanged) {
    SevenPixelContext context(15);
    EXPECT_EQ(CompactPath("/home/ann/dbcalndr.mdb", 5495, context), "/home/ann/dbcalndr.mdb");
    EXPECT_EQ(context.LastPixels, 366u);
    EXPECT_EQ(CompactPath("", 5495, context), "");
}

TEST(CompactPath, ALongPathIsShortenedToFitAndKeepsRootAndFileName) {
    SevenPixelContext context(15);
    const std::string shown = CompactPath(kLongPath, 5495, context);
    EXPECT_LE(SevenPixelsEach(shown), 366);
    EXPECT_LT(shown.size(), kLongPath.size());
    EXPECT_TRUE(shown.starts_with("/...")) << shown;
    EXPECT_TRUE(shown.ends_with("/k/dbcalndr.mdb")) << shown;
}

TEST(CompactPath, TheResolutionChangesTheShortening) {
    SevenPixelContext at96(15);
    SevenPixelContext at120(12);
    const std::string narrow = CompactPath(kLongPath, 5495, at96);
    const std::string wide = CompactPath(kLongPath, 5495, at120);
    EXPECT_EQ(at120.LastPixels, 457u);
    EXPECT_NE(narrow, wide);
    EXPECT_LE(SevenPixelsEach(wide), 457);
    EXPECT_GT(wide.size(), narrow.size());
}

TEST(CompactPath, TheTextEndsAtTheFirstZeroCharacter) {
    class ZeroWriter final : public DeviceContext {
      public:
        double TwipsPerPixelX() const override { return 15; }
        void CompactPathInPlace(std::string& buffer, std::uint32_t) override { buffer[3] = '\0'; }
    } context;
    EXPECT_EQ(CompactPath("C:\\abc.mdb", 5495, context), "C:\\");
}

// Replacing a three-letter first folder by "..." keeps the path's length, so the zero that
// ends the result falls just past the buffer: the shortened path is still what fits.
TEST(CompactPath, AShortenedPathAsLongAsThePathIsShownShortened) {
    class SameLengthWriter final : public DeviceContext {
      public:
        double TwipsPerPixelX() const override { return 15; }
        void CompactPathInPlace(std::string& buffer, std::uint32_t) override {
            buffer.replace(3, 3, "...");
        }
    } context;
    EXPECT_EQ(CompactPath("C:\\abc\\dbcalndr.mdb", 5495, context), "C:\\...\\dbcalndr.mdb");
}

TEST(ShortenPath, NeverReturnsMoreCharactersThanItWasGiven) {
    for (const std::string& path :
         std::vector<std::string>{"/a/b", "C:\\x\\y.mdb", "\\\\server\\share\\dir\\file.mdb",
                                  "plainname.mdb", "/ünïcödé/dïrëctory/fïlé.mdb", kLongPath}) {
        for (std::uint32_t pixels : {0u, 7u, 21u, 35u, 70u, 140u, 366u}) {
            const std::string shown = ShortenPath(path, pixels, SevenPixelsEach);
            EXPECT_LE(Utf16Length(shown), Utf16Length(path)) << path << " at " << pixels;
            if (SevenPixelsEach(path) <= static_cast<int>(pixels))
                EXPECT_EQ(shown, path);
            else
                EXPECT_LE(SevenPixelsEach(shown), static_cast<int>(pixels))
                    << path << " at " << pixels;
        }
    }
}

TEST(ShortenPath, KeepsTheWindowsRootAndCutsWholeCodePoints) {
    EXPECT_EQ(ShortenPath("C:\\Program Files\\Almanoria Desktop Calendar\\dbcalndr.mdb", 7 * 30,
                          SevenPixelsEach),
              "C:\\...\\dbcalndr.mdb");
    const std::string cut = ShortenPath("/ééééééééééé.mdb", 7 * 6, SevenPixelsEach);
    EXPECT_EQ(cut, "ééé...");
}

}  // namespace
}  // namespace almanoria
