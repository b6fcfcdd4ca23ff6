#include "testing/odbcdriver/AccessRules.hpp"

#include <algorithm>
#include <array>
#include <string>

#include "platform/Unicode.hpp"
#include "testing/odbcdriver/DriverError.hpp"

namespace almanoria::odbcdriver {

namespace {

using dialect::IsKeyword;
using dialect::IsSymbol;
using dialect::Token;
using dialect::TokenKind;

[[noreturn]] void RefuseSyntax(const std::string& message) {
    Refuse("42000", message);
}

// Words of SQLite and of other dialects that the Access SQL grammar has no place for.
constexpr std::array<std::string_view, 16> kForeignWords = {
    "LIMIT",  "OFFSET", "RETURNING", "PRAGMA",  "GLOB",    "REGEXP", "COLLATE",   "ATTACH",
    "DETACH", "VACUUM", "REINDEX",   "ANALYZE", "EXPLAIN", "EXCEPT", "INTERSECT", "CAST"};

// Operators of SQLite that Access spells otherwise (<>, =, &) or not at all.
constexpr std::array<std::string_view, 5> kForeignSymbols = {"!=", "==", "||", "<<", ">>"};

void CheckSyntax(const std::vector<Token>& tokens) {
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        if (token.Kind == TokenKind::Symbol &&
            std::find(kForeignSymbols.begin(), kForeignSymbols.end(), token.Text) !=
                kForeignSymbols.end()) {
            RefuseSyntax("Syntax error: the operator " + token.Text +
                         " is not part of Access SQL.");
        }
        if (token.Kind != TokenKind::Word || token.IsBracketed) continue;
        for (const std::string_view word : kForeignWords) {
            if (IsKeyword(token, word)) {
                RefuseSyntax("Syntax error: " + token.Text + " is not part of Access SQL.");
            }
        }
        // CREATE TABLE IF NOT EXISTS, DROP TABLE IF EXISTS
        if (IsKeyword(token, "IF") && i + 1 < tokens.size() &&
            (IsKeyword(tokens[i + 1], "EXISTS") || IsKeyword(tokens[i + 1], "NOT"))) {
            RefuseSyntax("Syntax error in CREATE or DROP statement: IF EXISTS.");
        }
        // INSERT OR REPLACE, UPDATE OR IGNORE, REPLACE INTO, ON CONFLICT
        const bool isVerb = i == 0;
        if ((isVerb && IsKeyword(token, "REPLACE")) ||
            (i == 1 && IsKeyword(token, "OR") &&
             (IsKeyword(tokens[0], "INSERT") || IsKeyword(tokens[0], "UPDATE"))) ||
            (IsKeyword(token, "CONFLICT") && i > 0 && IsKeyword(tokens[i - 1], "ON"))) {
            RefuseSyntax("Syntax error: conflict clauses are not part of Access SQL.");
        }
        if (isVerb && IsKeyword(token, "WITH")) {
            RefuseSyntax("Syntax error: WITH is not part of Access SQL.");
        }
    }
}

}  // namespace

std::vector<Token> ReadStatement(std::string_view statement) {
    try {
        return dialect::TokenizeAccessSql(statement);
    } catch (const dialect::SyntaxError& error) {
        Refuse("42000", error.what(), 1);
    }
}

void CheckAccessRules(std::string_view statement, const std::vector<Token>& tokens) {
    // "String Limitations": at most 65,000 characters, counted as code points.
    if (CodePointCount(statement) > kMaxStatementCharacters) {
        RefuseSyntax("The statement is longer than 65,000 characters.");
    }
    for (const Token& token : tokens) {
        // "String Limitations": string constants are SQL-92 ones, single-quoted.
        if (token.Kind == TokenKind::Text && token.Quote == '"') {
            RefuseSyntax("Syntax error: double-quoted strings are not supported; use '...'.");
        }
        // "String Limitations": no "|" inside a string, back-quoted or not.
        const bool isQuoted = token.Kind == TokenKind::Text || token.IsBracketed;
        if (isQuoted && token.Text.find('|') != std::string::npos) {
            RefuseSyntax("Syntax error: the character | cannot appear inside a string.");
        }
    }
    // The Access driver's SQL grammar.
    CheckSyntax(tokens);
}

}  // namespace almanoria::odbcdriver
