#include "testing/odbcdriver/RegionalSettings.hpp"

#include <langinfo.h>
#include <locale.h>

#include <cctype>
#include <memory>
#include <type_traits>

#include "database/Names.hpp"
#include "database/dialect/AccessDialect.hpp"

namespace almanoria::odbcdriver {

DateOrder DateOrderOfFormat(std::string_view format) {
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
                return DateOrder::DayFirst;
            case 'm':
            case 'b':
            case 'B':
            case 'D':  // %m/%d/%y
            case 'y':
            case 'Y':
            case 'F':  // %Y-%m-%d
                return DateOrder::MonthFirst;
            default:
                break;
        }
        at = conversion;
    }
    return DateOrder::MonthFirst;
}

DateOrder RegionalDateOrder() {
    return RegionalDateSettings().Order;
}

DateSettings RegionalDateSettings() {
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

std::optional<DateTime> ParseRegionalDate(std::string_view text, DateSettings settings) {
    const std::string_view trimmed = Trimmed(text);
    const std::size_t last = trimmed.size() >= 2 ? trimmed.size() - 2 : 0;
    if (!settings.NamesAmPm &&
        (SameName(trimmed.substr(last), "AM") || SameName(trimmed.substr(last), "PM"))) {
        return std::nullopt;
    }
    // d/m/yyyy read as m/d/yyyy with the first two parts swapped.
    const std::size_t first = trimmed.find_first_of("/-");
    const std::size_t second =
        first == std::string_view::npos ? first : trimmed.find(trimmed[first], first + 1);
    if (settings.Order == DateOrder::DayFirst && first <= 2 && second != std::string_view::npos) {
        const std::string swapped = std::string(trimmed.substr(first + 1, second - first - 1)) +
                                    trimmed[first] + std::string(trimmed.substr(0, first)) +
                                    std::string(trimmed.substr(second));
        if (const auto date = dialect::ParseAccessDate(swapped)) return date;
    }
    return dialect::ParseAccessDate(trimmed);
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
