#pragma once

// The Access SQL the program writes, read token by token and written out for SQLite. Literals
// become bound parameters, so that a statement shape is prepared only once whatever its values,
// and each literal carries the column it is compared with or assigned to, so that the engine
// can convert quoted text for date, number and Yes/No columns as Access does.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Names.hpp"
#include "database/Value.hpp"

namespace almanoria::sqlite {

enum class TokenKind { Word, Text, Date, Number, Identity, Symbol };

struct Token {
    TokenKind Kind = TokenKind::Symbol;
    std::size_t Begin = 0;  // where the token stands in the statement
    std::size_t End = 0;
    std::string Text;  // a name without its brackets, a text without its quotes, a symbol
    DateTime Date;     // of a #date# literal
    bool IsBracketed = false;
};

// Identifiers, 'text' and "text" (doubled quotes inside), #date# literals, numbers, @@IDENTITY
// and symbols. An unterminated text, name or date, an invalid date, or a parameter mark of
// SQLite's own (?, :name, @name, $name) is a Failure.
std::vector<Token> TokenizeAccessSql(std::string_view statement);

enum class StatementVerb { Select, Insert, Update, Delete, Other };

// The column that a literal is compared with or assigned to.
struct ColumnTarget {
    std::string Table;   // empty when the statement does not say: any of its tables
    std::string Column;  // empty for an INSERT without a column list: see Position
    int Position = -1;
};

struct Parameter {
    TokenKind Kind = TokenKind::Text;  // Text, Date, Number or Identity
    std::string Text;                  // the text, or the number as written (with its sign)
    DateTime Date;
    std::optional<ColumnTarget> Target;
};

struct TranslatedStatement {
    std::string Sql;  // for SQLite, with ?1, ?2, ... in place of the parameters
    std::vector<Parameter> Parameters;
    StatementVerb Verb = StatementVerb::Other;
    std::string TargetTable;          // of INSERT INTO, UPDATE and DELETE FROM
    std::vector<std::string> Tables;  // each table the statement names, in order
};

// Text and date literals always become parameters; numbers only where they stand as values
// (compared, assigned, or alone in a VALUES list), never in ORDER BY, GROUP BY or LIMIT.
// Statements other than SELECT, INSERT, UPDATE and DELETE keep their literals inline, since
// SQLite takes no parameters in a table definition. Anything after the closing ";" is a
// Failure.
TranslatedStatement TranslateAccessSql(std::string_view statement);

// How quoted date text such as '5/6/2012' is read. A #date# literal is always month first;
// quoted text follows the regional settings on Windows, where the day may come first.
enum class DateOrder { MonthFirst, DayFirst };

// Date text as Access reads it: m/d/yyyy (leading zeros allowed) or yyyy-mm-dd, "/" or "-"
// between the parts, optionally followed by h:mm[:ss] with AM or PM or in 24 hours; or a time
// alone, on the day Access counts from (12/30/1899). Nothing for an invalid date. Read day
// first, a date that has no such day is read month first instead, as Access does ('12/31/2012').
std::optional<DateTime> ParseAccessDate(std::string_view text,
                                        DateOrder order = DateOrder::MonthFirst);

// 'yyyy-mm-dd', with ' hh:mm:ss' only when there is a time: the calendar's storage format.
std::string IsoDateText(const DateTime& date);

}  // namespace almanoria::sqlite
