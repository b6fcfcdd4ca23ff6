#pragma once

// How the calendar database holds its values, so that other tools read it sensibly:
// Date/Time columns ISO 8601 text, Yes/No columns 1 or 0, Number columns integers (or reals),
// and how the engine turns the program's literals into those values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "database/sqlite/AccessTranslation.hpp"

namespace almanoria::sqlite {

// A value ready to bind: Null, integer, real or text.
using StoredValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// Whole numbers become integers, numbers with a fraction or an exponent reals.
std::optional<StoredValue> ParseNumberText(std::string_view text);

// True, Yes, On or any non-zero number; False, No, Off or zero.
std::optional<bool> ParseYesNoText(std::string_view text);

// The value a parameter stores into a column of kind (none: the column is not known), or a
// data type mismatch Failure when it does not convert. identity is what @@IDENTITY stands for;
// quoted text for a Date/Time column reads month first, and a number is no date.
StoredValue StoreParameter(const Parameter& parameter, std::optional<dialect::ColumnKind> kind,
                           std::int64_t identity);

}  // namespace almanoria::sqlite
