// The embedded engine's reading of the Access dialect on any statement. What it accepts,
// SQLite must read with no parameter the translation does not bind: SQLite binds a parameter
// of its own to Null without a word.

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "database/sqlite/AccessTranslation.hpp"
#include "errors/Failure.hpp"
#include "tools/calendardb/CalendarDatabase.hpp"
#include "testing/fuzz/FuzzSupport.hpp"

namespace {

// An empty calendar in memory, so that statements on its tables prepare.
sqlite3* Calendar() {
    static const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> database = [] {
        sqlite3* raw = nullptr;
        sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr);
        std::unique_ptr<sqlite3, decltype(&sqlite3_close)> owned(raw, &sqlite3_close);
        almanoria::fuzz::Require(
            sqlite3_exec(raw, almanoria::kCalendarSchema, nullptr, nullptr, nullptr) == SQLITE_OK,
            "the calendar's tables are made");
        return owned;
    }();
    return database.get();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace almanoria;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    sqlite::TranslatedStatement translated;
    try {
        translated = sqlite::TranslateAccessSql(text);
    } catch (const Failure& failure) {
        fuzz::Require(failure.Number() == ErrorNumber::ObjectError + SQLITE_ERROR,
                      "a statement is refused as an SQL error");
        return 0;
    }
    if (translated.Verb == dialect::StatementVerb::Other) {
        fuzz::Require(translated.Parameters.empty(), "no parameters outside the four verbs");
    }
    for (const sqlite::Parameter& parameter : translated.Parameters) {
        if (parameter.Kind != dialect::TokenKind::Date) continue;
        fuzz::Require(
            dialect::ParseAccessDate(dialect::IsoDateText(parameter.Date)) == parameter.Date,
            "a date parameter is a valid date");
    }

    sqlite3_stmt* raw = nullptr;
    const int prepared = sqlite3_prepare_v2(Calendar(), translated.Sql.c_str(),
                                            static_cast<int>(translated.Sql.size()), &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(raw,
                                                                               &sqlite3_finalize);
    if (prepared == SQLITE_OK && statement) {
        fuzz::Require(static_cast<std::size_t>(sqlite3_bind_parameter_count(statement.get())) <=
                          translated.Parameters.size(),
                      "SQLite sees no parameter the translation does not bind");
    }
    return 0;
}
