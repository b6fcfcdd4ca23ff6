#pragma once

// What the Access driver refuses before it runs a statement, so that the stand-in is no more
// lenient than the driver the Windows program meets. Each rule comes from Microsoft's pages on
// the ODBC desktop database drivers ("String Limitations", "INSERT Statement Limitations") and
// the Access driver's SQL grammar; AccessRules.cpp names its source beside each.

#include <cstddef>
#include <string_view>
#include <vector>

#include "database/dialect/AccessDialect.hpp"
#include "platform/Unicode.hpp"

namespace almanoria::odbcdriver {

// The number of code points of a UTF-8 text, as the Access driver counts a statement's
// characters and a TEXT(n) column's n.
constexpr std::size_t CodePointCount(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at)
        count += IsCodePointStart(utf8, at) ? 1 : 0;
    return count;
}

// The first count code points of a UTF-8 text, whole ones only.
constexpr std::string_view FirstCodePoints(std::string_view utf8, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < utf8.size(); ++at) {
        if (IsCodePointStart(utf8, at) && seen++ == count) break;
    }
    return utf8.substr(0, at);
}

// The longest statement the Access driver takes, in characters (code points).
inline constexpr std::size_t kMaxStatementCharacters = 65000;

// The statement's tokens, as the dialect reads them; what it cannot read is refused with 42000,
// as the engine reports it.
std::vector<dialect::Token> ReadStatement(std::string_view statement);

// Refuses with 42000: a statement over kMaxStatementCharacters, a double-quoted string, a "|"
// inside a string or a quoted name, and syntax the Access dialect lacks (LIMIT, IF NOT EXISTS,
// !=, ...). tokens are the statement's, as the dialect reads them.
void CheckAccessRules(std::string_view statement, const std::vector<dialect::Token>& tokens);

}  // namespace almanoria::odbcdriver
