#pragma once

#include <locale.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace almanoria::odbcdriver {

// Names a locale in LC_ALL for a test's length, as the user's settings would; the driver reads
// the environment at each connect, never the program's own locale.
class LocaleEnvironment {
  public:
    explicit LocaleEnvironment(const char* name) {
        if (const char* old = std::getenv("LC_ALL")) mOld = old;
        setenv("LC_ALL", name, 1);
    }
    ~LocaleEnvironment() {
        if (mOld) {
            setenv("LC_ALL", mOld->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

  private:
    std::optional<std::string> mOld;
};

inline bool IsInstalled(const char* locale) {
    const locale_t found = newlocale(LC_TIME_MASK, locale, static_cast<locale_t>(nullptr));
    if (found) freelocale(found);
    return found != nullptr;
}

}  // namespace almanoria::odbcdriver
