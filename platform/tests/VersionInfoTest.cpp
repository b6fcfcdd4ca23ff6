// ProductName read from version resources laid out as the resource compiler writes them, and
// from damaged ones, which must give empty text and never a read past their bytes.
#include "platform/VersionInfo.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace almanoria {
namespace {

using Bytes = std::vector<unsigned char>;

void PutWord(Bytes& bytes, std::uint16_t word) {
    bytes.push_back(static_cast<unsigned char>(word & 0xFF));
    bytes.push_back(static_cast<unsigned char>(word >> 8));
}

void Align(Bytes& bytes) {
    while (bytes.size() % 4 != 0)
        bytes.push_back(0);
}

// wLength, wValueLength, wType, the key, the value and the children, each 32-bit aligned.
Bytes Block(std::u16string_view key, std::uint16_t type, const Bytes& value,
            std::uint16_t valueLength, const std::vector<Bytes>& children = {}) {
    Bytes bytes(6, 0);
    for (const char16_t unit : key)
        PutWord(bytes, unit);
    PutWord(bytes, 0);
    Align(bytes);
    bytes.insert(bytes.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        Align(bytes);
        bytes.insert(bytes.end(), child.begin(), child.end());
    }
    bytes[0] = static_cast<unsigned char>(bytes.size() & 0xFF);
    bytes[1] = static_cast<unsigned char>(bytes.size() >> 8);
    bytes[2] = static_cast<unsigned char>(valueLength & 0xFF);
    bytes[3] = static_cast<unsigned char>(valueLength >> 8);
    bytes[4] = static_cast<unsigned char>(type);
    return bytes;
}

// A VALUE "key", "text\0" line: its length counts characters with the terminating zero.
Bytes String(std::u16string_view key, std::u16string_view text) {
    Bytes value;
    for (const char16_t unit : text)
        PutWord(value, unit);
    PutWord(value, 0);
    return Block(key, 1, value, static_cast<std::uint16_t>(text.size() + 1));
}

Bytes Table(std::u16string_view key, const std::vector<Bytes>& strings) {
    return Block(key, 1, {}, 0, strings);
}

Bytes Translation(std::uint16_t language, std::uint16_t codePage) {
    Bytes value;
    PutWord(value, language);
    PutWord(value, codePage);
    return Block(u"VarFileInfo", 1, {}, 0, {Block(u"Translation", 0, value, 4)});
}

Bytes Resource(const std::vector<Bytes>& parts, std::u16string_view key = u"VS_VERSION_INFO") {
    Bytes fixed(52, 0);  // VS_FIXEDFILEINFO, starting with its signature
    fixed[0] = 0xBD;
    fixed[1] = 0x04;
    fixed[2] = 0xEF;
    fixed[3] = 0xFE;
    return Block(key, 0, fixed, 52, parts);
}

std::u16string NameIn(const Bytes& resource) {
    // A copy of exactly its size, so that a read past the end is a sanitizer's finding.
    const Bytes exact(resource);
    return VersionInfoProductName(exact);
}

const Bytes kEnglish = Table(u"040904B0", {String(u"CompanyName", u"Almanoria"),
                                           String(u"ProductName", u"Almanoria Desktop Calendar"),
                                           String(u"ProductVersion", u"2012.1")});
const Bytes kGerman = Table(u"040704b0", {String(u"ProductName", u"Almanoria Tischkalender")});

TEST(VersionInfoProductName, ComesFromTheFirstTranslationsTableElseFromTheFirstTable) {
    EXPECT_EQ(NameIn(Resource({Block(u"StringFileInfo", 1, {}, 0, {kGerman, kEnglish}),
                               Translation(0x409, 1200)})),
              u"Almanoria Desktop Calendar");
    // The translation may come first; the table's key is matched in any case.
    EXPECT_EQ(NameIn(Resource({Translation(0x407, 0x4B0),
                               Block(u"StringFileInfo", 1, {}, 0, {kEnglish, kGerman})})),
              u"Almanoria Tischkalender");
    EXPECT_EQ(NameIn(Resource({Block(u"StringFileInfo", 1, {}, 0, {kGerman, kEnglish})})),
              u"Almanoria Tischkalender");
    EXPECT_EQ(NameIn(Resource({Block(u"StringFileInfo", 1, {}, 0, {kGerman, kEnglish}),
                               Translation(0x40C, 1252)})),
              u"Almanoria Tischkalender");
}

TEST(VersionInfoProductName, IsEmptyWhenTheResourceHoldsNone) {
    EXPECT_EQ(NameIn({}), u"");
    EXPECT_EQ(NameIn(Resource({Translation(0x409, 1200)})), u"");
    EXPECT_EQ(NameIn(Resource({Block(u"StringFileInfo", 1, {}, 0,
                                     {Table(u"040904B0", {String(u"CompanyName", u"Almanoria")})}),
                               Translation(0x409, 1200)})),
              u"");
    EXPECT_EQ(NameIn(Resource({Block(u"StringFileInfo", 1, {}, 0,
                                     {Table(u"040904B0", {String(u"ProductName", u"")})})})),
              u"");
    EXPECT_EQ(NameIn(Resource({Block(u"StringFileInfo", 1, {}, 0, {kEnglish})}, u"VS_VERSION")),
              u"");
}

TEST(VersionInfoProductName, ReadsNothingOutsideTheBlocksOfADamagedResource) {
    const Bytes whole = Resource({Block(u"StringFileInfo", 1, {}, 0, {kEnglish})});
    ASSERT_EQ(NameIn(whole), u"Almanoria Desktop Calendar");
    // Cut anywhere, the root's length runs past the data.
    for (std::size_t size = 0; size < whole.size(); ++size) {
        EXPECT_EQ(NameIn(Bytes(whole.begin(), whole.begin() + static_cast<long>(size))), u"")
            << size << " bytes";
    }
    // Each word of it, one at a time, set to each of a few lies: too short for a header, zero,
    // past the parent, past everything. Only the product name's own characters may come out,
    // one of them changed at most, or the lie itself where it stood for the terminating zero.
    const std::u16string_view original = u"Almanoria Desktop Calendar";
    for (std::size_t at = 0; at + 1 < whole.size(); at += 2) {
        for (const std::uint16_t lie : {0, 2, 7, 0x7FFF, 0xFFFF}) {
            Bytes damaged = whole;
            damaged[at] = static_cast<unsigned char>(lie & 0xFF);
            damaged[at + 1] = static_cast<unsigned char>(lie >> 8);
            const std::u16string name = NameIn(damaged);
            ASSERT_LE(name.size(), original.size() + 1) << "word at " << at;
            std::size_t changed = name.size() > original.size() ? 1 : 0;
            for (std::size_t index = 0; index < name.size() && index < original.size(); ++index) {
                changed += name[index] != original[index] ? 1 : 0;
            }
            EXPECT_LE(changed, 1u) << "word at " << at;
        }
    }
    // A product name without its terminating zero ends with its block.
    Bytes unterminated = String(u"ProductName", u"Almanoria");
    unterminated.resize(unterminated.size() - 2);
    unterminated[0] = static_cast<unsigned char>(unterminated.size());
    EXPECT_EQ(NameIn(Resource(
                  {Block(u"StringFileInfo", 1, {}, 0, {Table(u"040904B0", {unterminated})})})),
              u"Almanoria");
}

}  // namespace
}  // namespace almanoria
