#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "database/dialect/AccessDialect.hpp"

namespace almanoria::odbcdriver {

// The statement with the ODBC date and time escapes {d 'yyyy-mm-dd'},
// {ts 'yyyy-mm-dd hh:mm:ss[.f]'} and {t 'hh:mm:ss'} written as the Access dialect's #...#
// literals, which read them the same whatever the regional settings. Quoted texts, [names]
// and #literals# are left as they are. A malformed date escape is refused with 22007, any
// other escape ({fn ...}, {oj ...}, {call ...}) with HYC00, one left open with 42000.
// tokens are the statement's, as the dialect reads them.
std::string RewriteOdbcEscapes(std::string_view statement,
                               const std::vector<dialect::Token>& tokens);

// The same, reading the statement first; what the dialect cannot read is refused with 42000.
std::string RewriteOdbcEscapes(std::string_view statement);

}  // namespace almanoria::odbcdriver
