#include "database/sqlite/AccessTranslation.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

namespace {

using dialect::IsComparison;
using dialect::IsSymbol;
using dialect::IsWordChar;
using dialect::Token;

std::vector<Token> Tokens(std::string_view statement) {
    try {
        return dialect::TokenizeAccessSql(statement);
    } catch (const dialect::SyntaxError& error) {
        RaiseFailure(SQLITE_ERROR, error.what());
    }
}

std::string QuotedText(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

}  // namespace

TranslatedStatement TranslateAccessSql(std::string_view statement) {
    const std::vector<Token> tokens = Tokens(statement);
    const auto end = std::find_if(tokens.begin(), tokens.end(),
                                  [](const Token& token) { return IsSymbol(token, ";"); });
    if (std::any_of(end, tokens.end(), [](const Token& token) { return !IsSymbol(token, ";"); })) {
        RaiseFailure(SQLITE_ERROR, "Characters found after end of SQL statement.");
    }

    TranslatedStatement translated;
    const dialect::StatementShape reader(tokens);
    translated.Verb = reader.Verb();
    translated.TargetTable = reader.TargetTable();
    translated.Tables = reader.Tables();
    const bool usesParameters = translated.Verb != StatementVerb::Other;

    std::string& sql = translated.Sql;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& token = tokens[i];
        sql.append(statement.substr(copied, token.Begin - copied));
        copied = token.End;

        std::optional<Parameter> parameter;
        if (usesParameters && token.Kind != TokenKind::Word && token.Kind != TokenKind::Symbol) {
            std::size_t first = i;
            auto place = reader.PlaceOf(i, i);
            if (token.Kind == TokenKind::Number) {
                // A sign in front of a value belongs to it: "= -5".
                const bool isSigned =
                    i >= 2 && (IsSymbol(tokens[i - 1], "-") || IsSymbol(tokens[i - 1], "+"));
                if (isSigned) {
                    const Token& beforeSign = tokens[i - 2];
                    if (IsComparison(beforeSign) || IsSymbol(beforeSign, "(") ||
                        IsSymbol(beforeSign, ",")) {
                        if (auto signedPlace = reader.PlaceOf(i - 1, i)) {
                            first = i - 1;
                            place = std::move(signedPlace);
                        }
                    }
                }
            }
            if (token.Kind != TokenKind::Number || place) {
                parameter.emplace();
                parameter->Kind = token.Kind;
                parameter->Text = token.Text;
                parameter->Date = token.Date;
                if (place) parameter->Target = place->Target;
                if (first != i) {
                    parameter->Text = tokens[first].Text + token.Text;
                    // Drop the sign already written, with the blanks after it.
                    sql.resize(sql.size() - (token.Begin - tokens[first].Begin));
                }
            }
        }

        if (parameter) {
            translated.Parameters.push_back(std::move(*parameter));
            sql += "?" + std::to_string(translated.Parameters.size());
            if (token.End < statement.size() && IsWordChar(statement[token.End])) sql += ' ';
        } else if (token.Kind == TokenKind::Text) {
            sql += QuotedText(token.Text);
        } else if (token.Kind == TokenKind::Date) {
            sql += QuotedText(IsoDateText(token.Date));
        } else if (IsSymbol(token, "&")) {
            sql += "||";  // Access joins text with &
        } else {
            sql.append(statement.substr(token.Begin, token.End - token.Begin));
        }
    }
    sql.append(statement.substr(copied));
    return translated;
}

}  // namespace almanoria::sqlite
