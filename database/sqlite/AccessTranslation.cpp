#include "database/sqlite/AccessTranslation.hpp"

#include <sqlite3.h>

#include <algorithm>
#include <utility>

#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

namespace {

template <typename Read>
auto Reading(Read read) -> decltype(read()) {
    try {
        return read();
    } catch (const dialect::SyntaxError& error) {
        RaiseFailure(SQLITE_ERROR, error.what());
    }
}

}  // namespace

TranslatedStatement TranslateAccessSql(std::string_view statement) {
    const std::vector<dialect::Token> tokens =
        Reading([&] { return dialect::TokenizeAccessSql(statement); });
    const auto end = std::find_if(tokens.begin(), tokens.end(), [](const dialect::Token& token) {
        return dialect::IsSymbol(token, ";");
    });
    if (std::any_of(end, tokens.end(),
                    [](const dialect::Token& token) { return !dialect::IsSymbol(token, ";"); })) {
        RaiseFailure(SQLITE_ERROR, "Characters found after end of SQL statement.");
    }

    TranslatedStatement translated;
    const dialect::StatementShape reader = Reading([&] { return dialect::StatementShape(tokens); });
    translated.Verb = reader.Verb();
    translated.Table = reader.Table();
    const bool usesParameters = translated.Verb != dialect::StatementVerb::Other;

    std::string& sql = translated.Sql;
    std::size_t copied = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const dialect::Token& token = tokens[i];
        sql.append(statement.substr(copied, token.Begin - copied));
        copied = token.End;

        std::optional<Parameter> parameter;
        if (usesParameters && token.Kind != dialect::TokenKind::Word &&
            token.Kind != dialect::TokenKind::Symbol) {
            std::size_t first = i;
            auto place = reader.PlaceOf(i, i);
            if (token.Kind == dialect::TokenKind::Number) {
                // A sign in front of a value belongs to it: "= -5".
                const bool isSigned = i >= 2 && (dialect::IsSymbol(tokens[i - 1], "-") ||
                                                 dialect::IsSymbol(tokens[i - 1], "+"));
                if (isSigned) {
                    const dialect::Token& beforeSign = tokens[i - 2];
                    if (dialect::IsComparison(beforeSign) || dialect::IsSymbol(beforeSign, "(") ||
                        dialect::IsSymbol(beforeSign, ",")) {
                        if (auto signedPlace = reader.PlaceOf(i - 1, i)) {
                            first = i - 1;
                            place = std::move(signedPlace);
                        }
                    }
                }
            }
            if (token.Kind != dialect::TokenKind::Number || place) {
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
            if (token.End < statement.size() && dialect::IsWordChar(statement[token.End]))
                sql += ' ';
        } else if (token.Kind == dialect::TokenKind::Text) {
            sql += dialect::QuotedText(token.Text);
        } else if (token.Kind == dialect::TokenKind::Date) {
            sql += dialect::QuotedText(dialect::IsoDateText(token.Date));
        } else if (dialect::IsSymbol(token, "&")) {
            sql += "||";  // Access joins text with &
        } else {
            sql.append(statement.substr(token.Begin, token.End - token.Begin));
        }
    }
    sql.append(statement.substr(copied));
    return translated;
}

}  // namespace almanoria::sqlite
