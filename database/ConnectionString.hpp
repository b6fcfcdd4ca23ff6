#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace almanoria {

// "Driver={Microsoft Access Driver (*.mdb)};Dbq=<path>;Uid=admin;Pwd=": the path stands
// unchanged, unless it holds ";", "{" or "}", which would end the value early or be read as
// other attributes: then it stands between braces with each "}" doubled, as ODBC quotes.
std::string BuildConnectionString(std::string_view databasePath);

// The attributes of an ODBC-style connection string, in order; keys keep their spelling.
class ConnectionString {
  public:
    explicit ConnectionString(std::string_view text);

    // The value of the first attribute whose key matches without regard to case.
    std::optional<std::string> Find(std::string_view key) const;
    const std::vector<std::pair<std::string, std::string>>& Attributes() const {
        return mAttributes;
    }

  private:
    std::vector<std::pair<std::string, std::string>> mAttributes;
};

}  // namespace almanoria
