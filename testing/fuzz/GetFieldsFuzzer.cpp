// GetField and GetFields on any text, delimiter and field numbers. Beyond not crashing: the
// fields of a text, joined again by the delimiter, are the text, and no field holds the
// delimiter; the only failure is Overflow, at the ends of the 16-bit field counter.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "errors/Failure.hpp"
#include "testing/fuzz/FuzzSupport.hpp"
#include "yeardata/basStringFunctions.hpp"

namespace almanoria {
namespace {

// Fields the way GetField counts them: each occurrence, left to right, ends one.
std::int64_t FieldCount(std::string_view text, std::string_view delimiter) {
    std::int64_t count = 1;
    for (std::size_t at = text.find(delimiter); at != std::string_view::npos;
         at = text.find(delimiter, at + delimiter.size())) {
        ++count;
    }
    return count;
}

Integer ReadInteger(const std::uint8_t* bytes) {
    return static_cast<Integer>(static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8)));
}

}  // namespace
}  // namespace almanoria

// Input: first field number (2 bytes), range length (1 byte; 255 for last = 0), delimiter
// length (1 byte), the delimiter, the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace almanoria;
    if (size < 4) return 0;
    const Integer first = ReadInteger(data);
    const int span = data[2];
    const std::size_t delimiterSize = std::min<std::size_t>(data[3] % 5, size - 4);
    const std::string_view delimiter(reinterpret_cast<const char*>(data + 4), delimiterSize);
    const std::string_view text(reinterpret_cast<const char*>(data + 4 + delimiterSize),
                                size - 4 - delimiterSize);
    const int wanted = span == 255 ? 0 : first + span % 64;
    const Integer last = static_cast<Integer>(std::min(wanted, 32767));

    try {
        GetFields(text, delimiter, first, last);
    } catch (const Failure& failure) {
        fuzz::Require(failure.Number() == ErrorNumber::Overflow,
                      "GetFields fails only by Overflow");
    }

    if (delimiter.empty()) {
        fuzz::Require(GetField(text, delimiter, 1) == text, "no delimiter: the text is field 1");
        return 0;
    }
    const std::int64_t count = FieldCount(text, delimiter);
    if (count > 200) return 0;  // keeps each input quick
    const auto fields = static_cast<Integer>(count);
    std::string joined;
    for (Integer n = 1; n <= fields; ++n) {
        const std::string field = GetField(text, delimiter, n);
        fuzz::Require(field.find(delimiter) == std::string::npos, "a field holds no delimiter");
        joined += (n > 1 ? std::string(delimiter) : std::string()) + field;
    }
    fuzz::Require(joined == text, "the fields joined again are the text");
    fuzz::Require(GetFields(text, delimiter, 1, fields) == text, "GetFields 1 to n is the text");
    fuzz::Require(GetField(text, delimiter, static_cast<Integer>(fields + 1)).empty(),
                  "past the last field is empty");
    return 0;
}
