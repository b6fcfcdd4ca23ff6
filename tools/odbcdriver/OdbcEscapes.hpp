#pragma once

#include <string>
#include <string_view>

namespace almanoria::odbcdriver {

// The statement with the ODBC date and time escapes {d 'yyyy-mm-dd'},
// {ts 'yyyy-mm-dd hh:mm:ss[.f]'} and {t 'hh:mm:ss'} written as the Access dialect's #...#
// literals, which read them the same whatever the regional settings. Quoted texts, [names]
// and #literals# are left as they are. A malformed date escape is refused with 22007, any
// other escape ({fn ...}, {oj ...}, {call ...}) with HYC00.
std::string RewriteOdbcEscapes(std::string_view statement);

}  // namespace almanoria::odbcdriver
