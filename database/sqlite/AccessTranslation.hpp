#pragma once

// The program's Access SQL written out for SQLite. Literals become bound parameters, so that a
// statement shape is prepared only once whatever its values, and each literal carries the
// column it is compared with or assigned to, so that the engine can convert quoted text for
// date, number and Yes/No columns as Access does. The dialect itself is read by
// database/dialect/.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Value.hpp"
#include "database/dialect/AccessDialect.hpp"
#include "database/dialect/StatementShape.hpp"

namespace almanoria::sqlite {

struct Parameter {
    dialect::TokenKind Kind = dialect::TokenKind::Text;  // Text, Date, Number or Identity
    std::string Text;  // the text, or the number as written (with its sign)
    DateTime Date;
    std::optional<dialect::ColumnTarget> Target;
};

struct TranslatedStatement {
    std::string Sql;  // for SQLite, with ?1, ?2, ... in place of the parameters
    std::vector<Parameter> Parameters;
    dialect::StatementVerb Verb = dialect::StatementVerb::Other;
    std::string Table;  // the one table the statement names, if any
};

// Text and date literals always become parameters; numbers only where they stand as values
// (compared, assigned, or alone in a VALUES list).
// Statements other than SELECT, INSERT, UPDATE and DELETE keep their literals inline, since
// SQLite takes no parameters in a table definition. What the dialect cannot read, and anything
// after the closing ";", is an SQLITE_ERROR Failure; so is what the dialect refuses to read
// (dialect/StatementShape.hpp).
TranslatedStatement TranslateAccessSql(std::string_view statement);

}  // namespace almanoria::sqlite
