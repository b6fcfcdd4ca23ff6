#include "database/odbc/DateEscapes.hpp"

#include <cstdio>
#include <optional>
#include <vector>

#include "database/dialect/AccessDialect.hpp"
#include "database/dialect/StatementShape.hpp"

namespace almanoria {

namespace {

// The ODBC escape for a quoted value the program writes into a Date/Time column: its m/d/yyyy
// dates and its times of day ("0:00 AM"); nothing for any other text.
std::optional<std::string> EscapeOf(std::string_view value) {
    if (const auto date = dialect::ParseProgramDate(value)) {
        return "{d '" + dialect::IsoDateText(*date) + "'}";
    }
    if (const auto time = dialect::ParseTimeAlone(value)) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "{t '%02d:%02d:%02d'}", time->Hour, time->Minute,
                      time->Second);
        return buffer;
    }
    return std::nullopt;
}

}  // namespace

std::string EscapeDateValues(std::string_view statement, const DateColumnTest& isDateColumn) {
    const dialect::StatementReading read(statement);
    if (!read.IsRead()) return std::string(statement);  // the driver says what is wrong with it
    const std::vector<dialect::Token>& tokens = read.Tokens();
    const dialect::StatementShape& shape = read.Shape();

    std::string mended;
    std::size_t copied = 0;
    for (const dialect::Assignment& assignment : shape.Assignments()) {
        const dialect::Token& value = tokens[assignment.First];
        if (assignment.First != assignment.Last || value.Kind != dialect::TokenKind::Text ||
            value.Quote != '\'') {
            continue;
        }
        const auto escape = EscapeOf(value.Text);
        if (!escape || !isDateColumn(shape.Table(), assignment.Column)) continue;
        mended.append(statement.substr(copied, value.Begin - copied));
        mended += *escape;
        copied = value.End;
    }
    mended.append(statement.substr(copied));
    return mended;
}

}  // namespace almanoria
