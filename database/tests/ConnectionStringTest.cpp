#include <gtest/gtest.h>

#include "database/ConnectionString.hpp"

namespace almanoria {
namespace {

TEST(BuildConnectionString, PlacesThePathUnchangedBetweenItsPieces) {
    EXPECT_EQ(BuildConnectionString("C:\\Program Files\\Almanoria Desktop Calendar\\dbcalndr.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};"
              "Dbq=C:\\Program Files\\Almanoria Desktop Calendar\\dbcalndr.mdb;Uid=admin;Pwd=");
    EXPECT_EQ(BuildConnectionString(""),
              "Driver={Microsoft Access Driver (*.mdb)};Dbq=;Uid=admin;Pwd=");
}

TEST(BuildConnectionString, BracesOnlyAPathThatWouldEndTheValueEarly) {
    // ";" would end the path and make the rest of it attributes of their own.
    EXPECT_EQ(BuildConnectionString("/data/a;Uid=x.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};Dbq={/data/a;Uid=x.mdb};Uid=admin;Pwd=");
    EXPECT_EQ(BuildConnectionString("/data/{a};b}.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};Dbq={/data/{a}};b}}.mdb};Uid=admin;Pwd=");
    // A leading "{" would be taken for the opening brace.
    EXPECT_EQ(BuildConnectionString("{a}.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};Dbq={{a}}.mdb};Uid=admin;Pwd=");
    // Braces inside a path, as in a folder named by a GUID, stand as they are.
    EXPECT_EQ(BuildConnectionString(
                  "C:\\Users\\ann\\{3F2504E0-4F89-11D3-9A0C-0305E82C3301}\\dbcalndr.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};"
              "Dbq=C:\\Users\\ann\\{3F2504E0-4F89-11D3-9A0C-0305E82C3301}\\dbcalndr.mdb;"
              "Uid=admin;Pwd=");
    EXPECT_EQ(BuildConnectionString("/data/{b}.mdb"),
              "Driver={Microsoft Access Driver (*.mdb)};Dbq=/data/{b}.mdb;Uid=admin;Pwd=");
}

TEST(ConnectionString, ReadsAttributesWithKeysOfAnyCase) {
    const ConnectionString parsed(
        "DRIVER={Microsoft Access Driver (*.mdb)};dbq=/home/a b/c.mdb;Uid=admin;Pwd=");
    EXPECT_EQ(parsed.Find("Driver"), "Microsoft Access Driver (*.mdb)");
    EXPECT_EQ(parsed.Find("DBQ"), "/home/a b/c.mdb");
    EXPECT_EQ(parsed.Find("pwd"), "");
    EXPECT_FALSE(parsed.Find("Dsn").has_value());
}

TEST(ConnectionString, EveryBuiltPathReadsBackWhole) {
    for (const std::string path :
         {"/x/plain.mdb", "/x/semi;colon.mdb", "/x/{open", "/x/close}", "/x/}}{{;;=", "{x}", " {x}",
          "C:\\Program Files\\A\\dbcalndr.mdb", "C:\\{3F2504E0-4F89-11D3-9A0C-0305E82C3301}\\d.mdb",
          "/ünï/çødé.mdb"}) {
        EXPECT_EQ(ConnectionString(BuildConnectionString(path)).Find("Dbq"), path) << path;
    }
}

TEST(ConnectionString, MalformedTextYieldsWhatCanBeRead) {
    EXPECT_FALSE(ConnectionString("").Find("Dbq").has_value());
    EXPECT_FALSE(ConnectionString(";;;").Find("").has_value());
    EXPECT_EQ(ConnectionString("novalue;Dbq=/a").Find("dbq"), "/a");
    EXPECT_EQ(ConnectionString("Dbq={/never/closed").Find("dbq"), "/never/closed");
}

}  // namespace
}  // namespace almanoria
