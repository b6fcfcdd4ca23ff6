#include "platform/VersionInfo.hpp"

#include <cstdint>
#include <optional>
#include <string_view>

namespace almanoria {

namespace {

// One block: wLength, wValueLength, wType, the key with its terminating zero, then the value
// and the children, each on a 32-bit boundary of the resource.
struct Block {
    std::size_t End = 0;
    std::u16string Key;
    std::uint16_t ValueLength = 0;
    std::uint16_t Type = 0;
    std::size_t Value = 0;
    std::size_t Children = 0;
};

class Reader {
  public:
    explicit Reader(std::span<const unsigned char> data) : mData(data) {}

    std::uint16_t Word(std::size_t at) const {
        return static_cast<std::uint16_t>(mData[at] | (mData[at + 1] << 8));
    }

    // The block at, which must end by limit.
    std::optional<Block> At(std::size_t at, std::size_t limit) const {
        if (limit > mData.size() || at > limit || limit - at < 6) return std::nullopt;
        const std::size_t length = Word(at);
        if (length < 6 || length > limit - at) return std::nullopt;
        Block block;
        block.End = at + length;
        block.ValueLength = Word(at + 2);
        block.Type = Word(at + 4);
        std::size_t key = at + 6;
        for (;; key += 2) {
            if (block.End - key < 2) return std::nullopt;
            const char16_t unit = Word(key);
            if (unit == 0) break;
            block.Key.push_back(unit);
        }
        block.Value = Clamp(Aligned(key + 2), block.End);
        // A text's length counts characters, a binary value's bytes.
        const std::size_t valueBytes = block.Type == 1 ? block.ValueLength * 2u : block.ValueLength;
        block.Children = Clamp(Aligned(block.Value + valueBytes), block.End);
        return block;
    }

    // The children of a block, in order, as far as they are whole.
    template <typename Visit>
    void EachChild(const Block& parent, Visit visit) const {
        std::size_t at = parent.Children;
        while (at < parent.End) {
            const std::optional<Block> child = At(at, parent.End);
            if (!child) return;
            if (!visit(*child)) return;
            at = Aligned(child->End);
        }
    }

    // A text value, up to its terminating zero or the block's end.
    std::u16string Text(const Block& block) const {
        std::u16string text;
        for (std::size_t at = block.Value; block.End - at >= 2; at += 2) {
            const char16_t unit = Word(at);
            if (unit == 0) break;
            text.push_back(unit);
        }
        return text;
    }

  private:
    static std::size_t Aligned(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }
    static std::size_t Clamp(std::size_t offset, std::size_t end) {
        return offset < end ? offset : end;
    }

    std::span<const unsigned char> mData;
};

// "040904b0" for English (United States) in UTF-16, in any case.
bool NamesTranslation(std::u16string_view key, std::uint16_t language, std::uint16_t codePage) {
    if (key.size() != 8) return false;
    const std::uint32_t wanted = (std::uint32_t{language} << 16) | codePage;
    std::uint32_t value = 0;
    for (const char16_t unit : key) {
        int digit = -1;
        if (unit >= u'0' && unit <= u'9') digit = unit - u'0';
        if (unit >= u'a' && unit <= u'f') digit = unit - u'a' + 10;
        if (unit >= u'A' && unit <= u'F') digit = unit - u'A' + 10;
        if (digit < 0) return false;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
    }
    return value == wanted;
}

}  // namespace

std::u16string VersionInfoProductName(std::span<const unsigned char> resource) {
    const Reader reader(resource);
    const std::optional<Block> root = reader.At(0, resource.size());
    if (!root || root->Key != u"VS_VERSION_INFO") return {};

    // The first translation, from VarFileInfo\Translation.
    std::optional<std::pair<std::uint16_t, std::uint16_t>> translation;
    reader.EachChild(*root, [&](const Block& part) {
        if (part.Key != u"VarFileInfo") return true;
        reader.EachChild(part, [&](const Block& var) {
            if (var.Key != u"Translation" || var.End - var.Value < 4) return true;
            translation.emplace(reader.Word(var.Value), reader.Word(var.Value + 2));
            return false;
        });
        return !translation;
    });

    std::optional<std::u16string> first;
    std::optional<std::u16string> translated;
    reader.EachChild(*root, [&](const Block& part) {
        if (part.Key != u"StringFileInfo") return true;
        reader.EachChild(part, [&](const Block& table) {
            std::optional<std::u16string> name;
            reader.EachChild(table, [&](const Block& text) {
                if (text.Key != u"ProductName") return true;
                name = reader.Text(text);
                return false;
            });
            if (!name) return true;
            if (!first) first = name;
            if (translation &&
                NamesTranslation(table.Key, translation->first, translation->second)) {
                translated = name;
                return false;
            }
            return true;
        });
        return !translated;
    });
    if (translated) return *translated;
    return first.value_or(std::u16string());
}

}  // namespace almanoria
