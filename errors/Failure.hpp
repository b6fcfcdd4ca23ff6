#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "errors/ErrorNumbers.hpp"

namespace almanoria {

// The program's one failure type: the number and description that a trap reports.
class Failure : public std::runtime_error {
  public:
    Failure(std::int32_t number, const std::string& description)
        : std::runtime_error(description), mNumber(number) {}

    std::int32_t Number() const noexcept { return mNumber; }
    std::string Description() const { return what(); }

  private:
    std::int32_t mNumber;
};

[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseSubscriptOutOfRange();
[[noreturn]] void RaiseTypeMismatch();
[[noreturn]] void RaiseInvalidUseOfNull();

// The failure that is being handled, as number and description: a Failure keeps its own,
// a lack of memory is "Out of memory", anything else keeps its message. Call inside a catch.
Failure CurrentFailure();

}  // namespace almanoria
