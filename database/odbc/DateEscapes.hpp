#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace almanoria {

// Whether the column of the table is a Date/Time column; names as the statement spells them.
using DateColumnTest = std::function<bool(std::string_view table, std::string_view column)>;

// The statement with each quoted value that an INSERT ... VALUES or an UPDATE ... SET writes
// into a Date/Time column turned into an ODBC escape, which every driver reads the same way
// whatever the regional settings: an m/d/yyyy date into {d 'yyyy-mm-dd'}, a time of day such as
// "0:00 AM" into {t 'hh:mm:ss'}. Anything else, the WHERE clause with its #m/d/yyyy# literals
// included, stays as it was; so does a statement the dialect cannot read. isDateColumn is asked
// only about columns that receive such a value.
std::string EscapeDateValues(std::string_view statement, const DateColumnTest& isDateColumn);

}  // namespace almanoria
