#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace almanoria {

// "Driver={Microsoft Access Driver (*.mdb)};Dbq=<path>;Uid=admin;Pwd=": the path stands
// unchanged, unless it holds ";", which would end the value early and make the rest of it
// other attributes, or begins with "{": then it stands between braces with each "}" doubled,
// as ODBC quotes. Braces inside a path ("...\{3F2504E0-...}\dbcalndr.mdb") stand unchanged.
std::string BuildConnectionString(std::string_view databasePath);

// The attributes of an ODBC-style connection string, in order; keys keep their spelling.
class ConnectionString {
  public:
    explicit ConnectionString(std::string_view text);

    // The value of the first attribute whose key matches without regard to case.
    std::optional<std::string> Find(std::string_view key) const;

  private:
    std::vector<std::pair<std::string, std::string>> mAttributes;
};

}  // namespace almanoria
