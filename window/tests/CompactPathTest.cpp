#include <gtest/gtest.h>

#include "platform/Unicode.hpp"
#include "window/basCommonFunctions.hpp"

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

TEST(PathWidthPixels, RoundsTwipsPerPixelHalfToEvenThenDividesDown) {
    EXPECT_EQ(PathWidthPixels(5495, 15), 366u);
    EXPECT_EQ(PathWidthPixels(5495, 12), 457u);
    EXPECT_EQ(PathWidthPixels(5495, 14.5), 392u);  // 14.5 rounds to 14
    EXPECT_EQ(PathWidthPixels(5495, 15.5), 343u);  // 15.5 rounds to 16
    EXPECT_THROW(PathWidthPixels(5495, 0.4), Failure);
}

TEST(CompactPath, APathThatFitsComesBackUnchanged) {
    SevenPixelContext context(15);
    EXPECT_EQ(CompactPath("/home/ann/dbcalndr.mdb", 5495, context), "/home/ann/dbcalndr.mdb");
    EXPECT_EQ(context.LastPixels, 366u);
    EXPECT_EQ(CompactPath("", 5495, context), "");
}

// Fifty-two characters fit at 96 dots per inch and sixty-five at 120: the path's start fills
// what the file name and "..." leave, cut wherever that falls.
TEST(CompactPath, ALongPathKeepsAsMuchOfItsStartAsFitsAtEachResolution) {
    SevenPixelContext at96(15);
    SevenPixelContext at120(12);
    const std::string narrow = CompactPath(kLongPath, 5495, at96);
    const std::string wide = CompactPath(kLongPath, 5495, at120);
    EXPECT_EQ(at96.LastPixels, 366u);
    EXPECT_EQ(at120.LastPixels, 457u);
    EXPECT_EQ(narrow, "/home/ann/calendars/backups/2011/12/.../dbcalndr.mdb");
    EXPECT_EQ(wide, "/home/ann/calendars/backups/2011/12/week1/monday/.../dbcalndr.mdb");
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

// What fits in so many characters of the seven-pixel font.
std::string ShortenTo(std::string_view path, std::uint32_t characters) {
    return ShortenPath(path, characters * 7, SevenPixelsEach);
}

// At every width: unchanged when the path fits; otherwise it fits, is no longer, and is either
// a start of the folders, "..." and the separator with the file name, where one more character
// of the start would not fit, or, when that cannot fit at all, a start of the file name and
// "...".
TEST(ShortenPath, KeepsTheMostOfTheStartThatFitsAndNeverMoreCharactersThanItWasGiven) {
    for (const std::string& path :
         std::vector<std::string>{"/a/b", "C:\\x\\y.mdb", "\\\\server\\share\\dir\\file.mdb",
                                  "plainname.mdb", "/ünïcödé/dïrëctory/fïlé.mdb",
                                  "/home/ann/\U0001D11E music/dbcalndr.mdb", "/dir/", kLongPath}) {
        const std::size_t length = Utf16Length(path);
        const std::size_t separator = path.find_last_of("/\\");
        for (std::uint32_t pixels = 0; pixels <= 7 * length + 7; ++pixels) {
            const std::string shown = ShortenPath(path, pixels, SevenPixelsEach);
            const std::string at = path + " at " + std::to_string(pixels);
            if (SevenPixelsEach(path) <= static_cast<int>(pixels)) {
                EXPECT_EQ(shown, path) << at;
                continue;
            }
            EXPECT_LE(SevenPixelsEach(shown), static_cast<int>(pixels)) << at;
            EXPECT_LE(Utf16Length(shown), length) << at;
            const std::string tail =
                separator == std::string::npos ? std::string() : "..." + path.substr(separator);
            if (!tail.empty() && Utf16Length(tail) * 7 <= pixels && Utf16Length(tail) <= length) {
                ASSERT_TRUE(shown.ends_with(tail)) << at << ": " << shown;
                const std::string start = shown.substr(0, shown.size() - tail.size());
                ASSERT_TRUE(path.starts_with(start)) << at << ": " << shown;
                // One more character, whole, would not have fitted.
                std::size_t next = start.size() + 1;
                while (next < path.size() &&
                       (static_cast<unsigned char>(path[next]) & 0xC0) == 0x80)
                    ++next;
                if (start.size() < separator) {
                    const std::string longer = path.substr(0, next) + tail;
                    EXPECT_TRUE(Utf16Length(longer) > length ||
                                SevenPixelsEach(longer) > static_cast<int>(pixels))
                        << at << ": " << shown;
                }
            } else if (shown.size() >= 3) {
                EXPECT_TRUE(shown.ends_with("...")) << at << ": " << shown;
                const std::string name =
                    separator == std::string::npos ? path : path.substr(separator + 1);
                EXPECT_TRUE(name.starts_with(shown.substr(0, shown.size() - 3)))
                    << at << ": " << shown;
            } else {
                EXPECT_EQ(shown, std::string(pixels / 7, '.')) << at;
            }
        }
    }
}

// The example of the Windows shell's documentation, in characters of equal width.
TEST(ShortenPath, CutsCharactersAsTheWindowsShellDoesThenTheFileName) {
    const std::string path = "C:\\path1\\path2\\sample.txt";
    EXPECT_EQ(ShortenTo(path, 25), path);
    EXPECT_EQ(ShortenTo(path, 24), "C:\\path1\\p...\\sample.txt");
    EXPECT_EQ(ShortenTo(path, 23), "C:\\path1\\...\\sample.txt");
    EXPECT_EQ(ShortenTo(path, 20), "C:\\pat...\\sample.txt");
    EXPECT_EQ(ShortenTo(path, 14), "...\\sample.txt");
    // Too narrow for "...", the separator and the whole name: the name's start is kept, and
    // never all of it, which would read as a longer name.
    EXPECT_EQ(ShortenTo(path, 13), "sample.tx...");
    EXPECT_EQ(ShortenTo(path, 4), "s...");
    EXPECT_EQ(ShortenTo(path, 3), "...");
    EXPECT_EQ(ShortenTo(path, 2), "..");
    EXPECT_EQ(ShortenTo(path, 0), "");
    EXPECT_EQ(ShortenTo("C:\\Program Files\\Almanoria Desktop Calendar\\dbcalndr.mdb", 30),
              "C:\\Program Fil...\\dbcalndr.mdb");
}

// A character is never cut apart: not a UTF-8 sequence, not a pair of UTF-16 units, not a
// letter from its combining mark ("e" and U+0308 make the "ë" of "Zoë").
TEST(ShortenPath, CutsOnlyBetweenWholeCharacters) {
    const std::string zoe =
        "/home/Zoe\u0308/\u03A9\u03BC\u03AD\u03B3\u03B1 \u65E5\u672C/dbcalndr.mdb";
    ASSERT_EQ(Utf16Length(zoe), 32u);
    EXPECT_EQ(ShortenTo(zoe, 26), "/home/Zoe\u0308.../dbcalndr.mdb");
    EXPECT_EQ(ShortenTo(zoe, 25), "/home/Zo.../dbcalndr.mdb");
    EXPECT_EQ(ShortenTo(zoe, 30), "/home/Zoe\u0308/\u03A9\u03BC\u03AD.../dbcalndr.mdb");
    // U+1D11E takes two UTF-16 units: with room for one it gives way whole.
    const std::string clef = "/a\U0001D11Ebcdef/dbcalndr.mdb";
    ASSERT_EQ(Utf16Length(clef), 22u);
    EXPECT_EQ(ShortenTo(clef, 19), "/a.../dbcalndr.mdb");
    EXPECT_EQ(ShortenTo(clef, 20), "/a\U0001D11E.../dbcalndr.mdb");
    EXPECT_EQ(
        ShortenTo("/\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9.mdb", 6),
        "\u00E9\u00E9\u00E9...");
}

}  // namespace
}  // namespace almanoria
