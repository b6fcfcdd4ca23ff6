// The one reader of the Access dialect on any text: its tokens stand in order inside the
// statement and read back alone as themselves, the statement's shape points only at its own
// tokens, and the ODBC engine's date mend changes nothing where no column holds dates.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/dialect/AccessDialect.hpp"
#include "database/dialect/StatementShape.hpp"
#include "database/odbc/DateEscapes.hpp"
#include "testing/fuzz/FuzzSupport.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace almanoria;
    using dialect::TokenKind;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string unchanged =
        EscapeDateValues(text, [](std::string_view, std::string_view) { return false; });
    fuzz::Require(unchanged == text, "no date column, no change");
    std::size_t asked = 0;
    EscapeDateValues(text, [&](std::string_view, std::string_view) { return ++asked, true; });

    std::vector<dialect::Token> tokens;
    try {
        tokens = dialect::TokenizeAccessSql(text);
    } catch (const dialect::SyntaxError&) {
        fuzz::Require(asked == 0, "a statement the dialect cannot read asks about no column");
        return 0;
    }
    std::size_t previousEnd = 0;
    for (const dialect::Token& token : tokens) {
        fuzz::Require(token.Begin >= previousEnd && token.Begin < token.End && token.End <= size,
                      "tokens stand in order inside the statement");
        previousEnd = token.End;
        const std::string_view spelling = text.substr(token.Begin, token.End - token.Begin);
        const auto alone = dialect::TokenizeAccessSql(spelling);
        fuzz::Require(alone.size() == 1 && alone[0].Kind == token.Kind &&
                          alone[0].Text == token.Text && alone[0].Quote == token.Quote,
                      "a token read alone is the same token");
        if (token.Kind == TokenKind::Text) {
            fuzz::Require(spelling.front() == token.Quote && spelling.back() == token.Quote,
                          "a text stands between its quotes");
        }
    }

    std::optional<dialect::StatementShape> read;
    try {
        read.emplace(tokens);
    } catch (const dialect::SyntaxError&) {
        fuzz::Require(asked == 0, "a statement the dialect refuses asks about no column");
        return 0;
    }
    const dialect::StatementShape& shape = *read;
    const auto assignments = shape.Assignments();
    for (const dialect::Assignment& assignment : assignments) {
        fuzz::Require(assignment.First <= assignment.Last && assignment.Last < tokens.size(),
                      "an assigned value is made of the statement's tokens");
    }
    fuzz::Require(asked <= assignments.size(), "only assigned values ask about their column");
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (const auto place = shape.PlaceOf(i, i); place && place->Target) {
            fuzz::Require(!place->Target->Column.empty(), "a target names its column");
        }
    }
    return 0;
}
