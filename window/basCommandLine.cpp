#include "window/basCommandLine.hpp"

#include <string_view>

#include "yeardata/basUpdate.hpp"

namespace almanoria {

constexpr int kBuildYear = ALMANORIA_DEFAULT_YEAR;
static_assert(IsWrittenYear(kBuildYear), "ALMANORIA_YEAR is a year from 2007 to 2099");

CommandLine ReadCommandLine(const std::vector<std::string>& arguments, int defaultYear) {
    const std::string range =
        "a year from " + std::to_string(kFirstYear) + " to " + std::to_string(kLastYear);
    CommandLine line{defaultYear, std::nullopt, ""};
    for (std::size_t at = 0; at < arguments.size() && line.Error.empty(); ++at) {
        std::string_view option = arguments[at];
        std::optional<std::string_view> value;
        for (const std::string_view joined : {"--year=", "/year:"}) {
            if (option.starts_with(joined)) {
                value = option.substr(joined.size());
                option = "--year";
            }
        }
        if (option != "--year" && option != "--print-year") continue;
        if (!value) {
            if (at + 1 == arguments.size()) {
                line.Error = std::string(option) + " needs " + range + ".";
                break;
            }
            value = arguments[++at];
        }
        const std::optional<int> year = ParseYear(*value);
        if (!year) {
            line.Error = "\"" + std::string(*value) + "\" is not " + range + ".";
        } else if (option == "--year") {
            line.Year = *year;
        } else {
            line.PrintYear = year;
        }
    }
    return line;
}

}  // namespace almanoria
