#pragma once

// The Access SQL dialect the program writes, read in one place for every engine and driver:
// its tokens, its dates and the Access names of column types. Nothing here knows an engine.

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "database/Value.hpp"

namespace almanoria::dialect {

// A statement the dialect cannot read; each reader reports it in its own way.
class SyntaxError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class TokenKind { Word, Text, Date, Number, Identity, Symbol };

struct Token {
    TokenKind Kind = TokenKind::Symbol;
    std::size_t Begin = 0;  // where the token stands in the statement
    std::size_t End = 0;
    std::string Text;  // a name without its brackets, a text without its quotes, a symbol
    DateTime Date;     // of a #date# literal
    char Quote = 0;    // what opened a text (' or ") or a bracketed name ([ or `)
    bool IsBracketed = false;
};

// Identifiers ([name] and `name` too), 'text' and "text" (doubled quotes inside), #date#
// literals, numbers, @@IDENTITY and symbols. An unterminated text, name or date, an invalid
// date, a number run into a name, or a parameter mark (?, :name, @name, $name) is a
// SyntaxError.
std::vector<Token> TokenizeAccessSql(std::string_view statement);

bool IsSymbol(const Token& token, std::string_view symbol);
// A word that is no bracketed name and is the keyword, or one of the keywords, without regard
// to case.
bool IsKeyword(const Token& token, std::string_view keyword);
bool IsAnyKeyword(const Token& token, std::initializer_list<std::string_view> keywords);
// =, ==, <>, !=, <, >, <= or >=.
bool IsComparison(const Token& token);
// A character that continues a name: letters, digits, _, $ and the bytes of UTF-8 characters.
bool IsWordChar(char c);

// Date text as Access reads it: m/d/yyyy (leading zeros allowed) or yyyy-mm-dd, "/" or "-"
// between the parts, optionally followed by h:mm[:ss] with AM or PM or in 24 hours; or a time
// alone, on the day Access counts from (12/30/1899). Month first, as the program writes it
// and as #date# literals read everywhere. Nothing for an invalid date.
std::optional<DateTime> ParseAccessDate(std::string_view text);

// The program's own date text, m/d/yyyy without a time; nothing for anything else.
std::optional<DateTime> ParseProgramDate(std::string_view text);

// A time alone, h:mm[:ss] with or without AM or PM; nothing for anything else.
std::optional<DateTime> ParseTimeAlone(std::string_view text);

// 'yyyy-mm-dd', with ' hh:mm:ss' only when there is a time: the calendar's storage format.
std::string IsoDateText(const DateTime& date);

// A text as it stands inside a quoted string literal: each apostrophe doubled.
std::string DoubledApostrophes(std::string_view text);
// A text as a quoted string literal, each apostrophe in it doubled.
std::string QuotedText(std::string_view text);

// What a column holds, by the first word of its declared type, without regard to case:
// DATETIME, DATE, TIME: Date/Time. YESNO, BIT, BOOLEAN, LOGICAL: Yes/No. BYTE, SHORT, INTEGER,
// INT, LONG, COUNTER, AUTOINCREMENT, SINGLE, DOUBLE, NUMERIC, CURRENCY: Number. Anything else
// (TEXT, MEMO, LONGTEXT, none) is text.
enum class ColumnKind { Text, Number, YesNo, DateTime };
ColumnKind ReadColumnKind(std::string_view declaredType);

// The first word of a declared type: TEXT of "TEXT(50)".
std::string_view FirstWord(std::string_view declaredType);

}  // namespace almanoria::dialect
