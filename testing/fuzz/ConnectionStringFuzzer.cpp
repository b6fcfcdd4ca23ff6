// The connection string: any text parses without harm, and any path, built into the program's
// connection string, reads back whole as Dbq, and the other three attributes keep their values.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "database/ConnectionString.hpp"
#include "testing/fuzz/FuzzSupport.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace almanoria;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const ConnectionString parsed(text);
    fuzz::Require(!parsed.Find("").has_value(), "no attribute without a key");

    const ConnectionString built(BuildConnectionString(text));
    fuzz::Require(built.Find("Dbq") == std::string(text), "the path reads back whole");
    fuzz::Require(built.Find("Driver") == std::string("Microsoft Access Driver (*.mdb)"),
                  "the driver stays");
    fuzz::Require(built.Find("Uid") == std::string("admin"), "the user stays");
    fuzz::Require(built.Find("Pwd") == std::string(), "the password stays empty");
    return 0;
}
