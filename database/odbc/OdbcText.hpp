#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "database/odbc/OdbcApi.hpp"
#include "platform/Unicode.hpp"

namespace almanoria::odbc {

// The program's texts are UTF-8; the engine talks to the driver in UTF-16 through the wide
// functions, so that notes with accents reach an Access file whatever the system's code page.
static_assert(sizeof(SQLWCHAR) == 2, "the wide ODBC functions take UTF-16");

// UTF-16 with a terminating zero, which Size() leaves out.
class WideText {
  public:
    explicit WideText(std::string_view utf8) {
        const std::u16string units = ToUtf16(utf8);
        mUnits.assign(units.begin(), units.end());
        mUnits.push_back(0);
    }
    SQLWCHAR* Data() noexcept { return mUnits.data(); }
    std::size_t Size() const noexcept { return mUnits.size() - 1; }

  private:
    std::vector<SQLWCHAR> mUnits;
};

inline std::string ToUtf8(const SQLWCHAR* units, std::size_t count) {
    return almanoria::ToUtf8(units, count);
}

}  // namespace almanoria::odbc
