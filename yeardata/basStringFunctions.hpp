#pragma once

#include <string>
#include <string_view>

#include "errors/BasicTypes.hpp"

namespace almanoria {

// Field n (1-based) of a text split at each whole occurrence of the delimiter; n of 1 or
// less is field 1, a missing field is empty. n = -32768 is the failure "Overflow".
std::string GetField(std::string_view text, std::string_view delimiter, Integer n);

// Field first, or with last not 0 the fields first..last joined again by the delimiter.
// Stepping the field counter past 32767 is the failure "Overflow".
std::string GetFields(std::string_view text, std::string_view delimiter, Integer first,
                      Integer last);

}  // namespace almanoria
