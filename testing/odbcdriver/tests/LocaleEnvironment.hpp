#pragma once

#include <locale.h>

#include "testing/support/TestSupport.hpp"

namespace almanoria::odbcdriver {

// Names a locale in LC_ALL for a test's length, as the user's settings would; the driver reads
// the environment at each connect, never the program's own locale.
class LocaleEnvironment {
  public:
    explicit LocaleEnvironment(const char* name) : mScope("LC_ALL", name) {}

  private:
    testing::EnvironmentScope mScope;
};

inline bool IsInstalled(const char* locale) {
    const locale_t found = newlocale(LC_TIME_MASK, locale, static_cast<locale_t>(nullptr));
    if (found) freelocale(found);
    return found != nullptr;
}

}  // namespace almanoria::odbcdriver
