#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace almanoria {

// Whether the column of the table is a Date/Time column; names as the statement spells them.
using DateColumnTest = std::function<bool(std::string_view table, std::string_view column)>;

// The statement with each quoted m/d/yyyy value that an INSERT ... VALUES or an UPDATE ... SET
// writes into a Date/Time column turned into an ODBC date escape, {d 'yyyy-mm-dd'}, which every
// driver reads the same way whatever the regional settings. Anything else, the WHERE clause
// with its #m/d/yyyy# literals included, stays as it was; so does a statement this does not
// recognise. isDateColumn is asked only about columns that receive such a value.
std::string EscapeDateValues(std::string_view statement, const DateColumnTest& isDateColumn);

}  // namespace almanoria
