#include "testing/odbcdriver/RegionalSettings.hpp"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <memory>
#include <type_traits>

namespace almanoria::odbcdriver {

dialect::DateOrder DateOrderOfFormat(std::string_view format) {
    for (std::size_t at = 0; at + 1 < format.size(); ++at) {
        if (format[at] != '%') continue;
        std::size_t conversion = at + 1;
        // Flags and modifiers: %-d, %Ed, %Od.
        while (conversion < format.size() &&
               (format[conversion] == '-' || format[conversion] == '_' ||
                format[conversion] == '0' || format[conversion] == 'E' ||
                format[conversion] == 'O')) {
            ++conversion;
        }
        if (conversion >= format.size()) break;
        switch (format[conversion]) {
            case 'd':
            case 'e':
                return dialect::DateOrder::DayFirst;
            case 'm':
            case 'b':
            case 'B':
            case 'D':  // %m/%d/%y
            case 'y':
            case 'Y':
            case 'F':  // %Y-%m-%d
                return dialect::DateOrder::MonthFirst;
            default:
                break;
        }
        at = conversion;
    }
    return dialect::DateOrder::MonthFirst;
}

dialect::DateOrder RegionalDateOrder() {
    return RegionalDateSettings().Order;
}

dialect::DateSettings RegionalDateSettings() {
    struct FreeLocale {
        void operator()(locale_t locale) const noexcept { freelocale(locale); }
    };
    const std::unique_ptr<std::remove_pointer_t<locale_t>, FreeLocale> locale(
        newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr)));
    if (!locale) return {};
    const char* format = nl_langinfo_l(D_FMT, locale.get());
    const char* am = nl_langinfo_l(AM_STR, locale.get());
    return {DateOrderOfFormat(format ? format : ""), am && *am != '\0'};
}

std::string HostPath(std::string_view path, std::string_view winePrefix, std::string_view home) {
    const bool isDrivePath = path.size() >= 3 &&
                             std::isalpha(static_cast<unsigned char>(path[0])) != 0 &&
                             path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    if (!isDrivePath) return std::string(path);
    std::string host = winePrefix.empty() ? std::string(home) + "/.wine" : std::string(winePrefix);
    host += "/dosdevices/";
    host += static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    host += ':';
    for (const char c : path.substr(2))
        host += c == '\\' ? '/' : c;
    return host;
}

}  // namespace almanoria::odbcdriver
