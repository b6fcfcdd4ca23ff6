#include "database/ConnectionString.hpp"

#include "database/Names.hpp"

namespace almanoria {

std::string BuildConnectionString(std::string_view databasePath) {
    std::string path(databasePath);
    // A reader skips blanks before a value and takes one opening with "{" for a braced one.
    const std::size_t first = path.find_first_not_of(' ');
    const bool opensWithBrace = first != std::string::npos && path[first] == '{';
    if (path.find(';') != std::string::npos || opensWithBrace) {
        std::string quoted = "{";
        for (const char c : path) {
            quoted += c;
            if (c == '}') quoted += '}';
        }
        path = quoted + "}";
    }
    return "Driver={Microsoft Access Driver (*.mdb)};" + std::string("Dbq=") + path +
           ";Uid=admin;" + "Pwd=";
}

ConnectionString::ConnectionString(std::string_view text) {
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t equals = text.find('=', position);
        const std::size_t semicolon = text.find(';', position);
        if (equals == std::string_view::npos || semicolon < equals) {
            // An attribute without "=": nothing to read up to the next ";".
            if (semicolon == std::string_view::npos) break;
            position = semicolon + 1;
            continue;
        }
        const std::string key(Trimmed(text.substr(position, equals - position)));
        std::size_t cursor = equals + 1;
        while (cursor < text.size() && text[cursor] == ' ')
            ++cursor;
        std::string value;
        if (cursor < text.size() && text[cursor] == '{') {
            // Braced: runs to the first "}" that is not doubled; "}}" stands for "}".
            ++cursor;
            while (cursor < text.size()) {
                if (text[cursor] == '}') {
                    if (cursor + 1 < text.size() && text[cursor + 1] == '}') {
                        value += '}';
                        cursor += 2;
                        continue;
                    }
                    ++cursor;
                    break;
                }
                value += text[cursor++];
            }
            const std::size_t end = text.find(';', cursor);
            position = end == std::string_view::npos ? text.size() : end + 1;
        } else {
            const std::size_t end = text.find(';', equals + 1);
            value = std::string(text.substr(equals + 1, end == std::string_view::npos
                                                            ? std::string_view::npos
                                                            : end - equals - 1));
            position = end == std::string_view::npos ? text.size() : end + 1;
        }
        if (!key.empty()) mAttributes.emplace_back(key, std::move(value));
    }
}

std::optional<std::string> ConnectionString::Find(std::string_view key) const {
    for (const auto& [name, value] : mAttributes) {
        if (SameName(name, key)) return value;
    }
    return std::nullopt;
}

}  // namespace almanoria
