// The engine's date-literal reader on any text: what it reads is a real date and time, and
// reads back the same from the storage format it is written in.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "database/dialect/AccessDialect.hpp"
#include "testing/fuzz/FuzzSupport.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace almanoria;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto date = dialect::ParseAccessDate(text);
    if (!date) return 0;
    static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    fuzz::Require(date->Year >= 100 && date->Year <= 9999, "a four-digit year from 100 on");
    fuzz::Require(date->Month >= 1 && date->Month <= 12, "a month");
    fuzz::Require(date->Day >= 1 && date->Day <= kDays[date->Month - 1], "a day of the month");
    const bool isLeap = date->Year % 4 == 0 && (date->Year % 100 != 0 || date->Year % 400 == 0);
    fuzz::Require(date->Month != 2 || date->Day <= (isLeap ? 29 : 28), "February's days");
    fuzz::Require(date->Hour >= 0 && date->Hour <= 23 && date->Minute >= 0 && date->Minute <= 59 &&
                      date->Second >= 0 && date->Second <= 59,
                  "a time of day");
    fuzz::Require(dialect::ParseAccessDate(dialect::IsoDateText(*date)) == date,
                  "the stored form reads back the same");
    return 0;
}
