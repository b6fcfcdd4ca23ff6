#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

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

// Numbers of the run-time failures the program raises itself.
namespace ErrorNumber {
inline constexpr std::int32_t Overflow = 6;
inline constexpr std::int32_t OutOfMemory = 7;
inline constexpr std::int32_t SubscriptOutOfRange = 9;
inline constexpr std::int32_t TypeMismatch = 13;
inline constexpr std::int32_t InvalidUseOfNull = 94;
// A library the program loads at run time: missing or refused, or without a function it needs.
inline constexpr std::int32_t ErrorInLoadingDll = 48;
inline constexpr std::int32_t DllEntryPointNotFound = 453;
// Failures of components start here; an engine adds its own code to it.
inline constexpr std::int32_t ObjectError = -2147221504;
}  // namespace ErrorNumber

[[noreturn]] void RaiseOverflow();
[[noreturn]] void RaiseSubscriptOutOfRange();
[[noreturn]] void RaiseTypeMismatch();
[[noreturn]] void RaiseInvalidUseOfNull();

// The failure that is being handled, as number and description: a Failure keeps its own,
// a lack of memory is "Out of memory", anything else keeps its message. Call inside a catch.
Failure CurrentFailure();

}  // namespace almanoria
