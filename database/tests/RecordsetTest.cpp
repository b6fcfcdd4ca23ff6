#include <gtest/gtest.h>

#include "database/Connection.hpp"
#include "testing/support/TestSupport.hpp"

namespace almanoria {
namespace {

using testing::FailureOf;
using testing::ObservedEngines;
using testing::RecordingObserver;

// An engine that answers every query with the same rows and fails on "FAIL".
class ScriptedEngine final : public Engine {
  public:
    explicit ScriptedEngine(ResultRows rows) : mRows(std::move(rows)) {}
    void Execute(std::string_view statement) override {
        if (statement == "FAIL") throw Failure(-2147221503, "near \"FAIL\": syntax error");
    }
    ResultRows Query(std::string_view) override { return mRows; }
    void BeginTransaction() override {}
    void CommitTransaction() override {}
    void RollbackTransaction() override {}

  private:
    ResultRows mRows;
};

EngineFactory Rows(ResultRows rows) {
    return [rows](std::string_view) { return std::make_unique<ScriptedEngine>(rows); };
}

const ResultRows kTwoLinks{{"EventId", "EventDate"},
                           {{Value::Number(std::int64_t{3}), Value::Date({2012, 2, 22})},
                            {Value(), Value::Date({2012, 2, 22})}}};

TEST(Recordset, ReadsRowsInOrderByNameOfAnyCaseOrByPosition) {
    Connection connection(Rows(kTwoLinks));
    connection.Open("Dbq=x");
    Recordset links;
    links.CursorLocation = adUseClient;
    links.Open("SELECT * FROM EventDates", &connection, adOpenDynamic, adLockUnspecified);
    ASSERT_FALSE(links.Eof());
    EXPECT_EQ(links.Fields("EventID"), Value::Number(std::int64_t{3}));
    EXPECT_EQ(links.Fields(Integer{1}), Value::Date({2012, 2, 22}));
    links.MoveNext();
    EXPECT_TRUE(links.Fields("eventid").IsNull());
    links.MoveNext();
    EXPECT_TRUE(links.Eof());
    EXPECT_EQ(FailureOf([&] { links.Fields("EventID"); }).Number(), ErrorNumber::NoCurrentRecord);
    EXPECT_EQ(FailureOf([&] { links.MoveNext(); }).Number(), ErrorNumber::NoCurrentRecord);
    links.Close();
}

TEST(Recordset, AnEmptyResultIsAtItsEndAtOnce) {
    Connection connection(Rows({{"EventId"}, {}}));
    connection.Open("Dbq=x");
    Recordset none;
    none.Open("q", &connection);
    EXPECT_TRUE(none.Eof());
}

TEST(Recordset, MisuseFailsWithTheObjectsOwnNumbers) {
    Connection connection(Rows(kTwoLinks));
    Recordset links;
    EXPECT_EQ(FailureOf([&] { links.Open("q", &connection); }).Number(),
              ErrorNumber::ConnectionUnusable);
    connection.Open("Dbq=x");
    EXPECT_EQ(FailureOf([&] { links.Eof(); }).Number(), ErrorNumber::ObjectClosed);
    EXPECT_EQ(FailureOf([&] { links.Close(); }).Number(), ErrorNumber::ObjectClosed);
    links.Open("q", &connection);
    EXPECT_EQ(FailureOf([&] { links.Open("q", &connection); }).Number(), ErrorNumber::ObjectOpen);
    EXPECT_EQ(FailureOf([&] { links.Fields("Missing"); }).Number(), ErrorNumber::ItemNotFound);
    EXPECT_EQ(FailureOf([&] { links.Fields(Integer{2}); }).Number(), ErrorNumber::ItemNotFound);
}

TEST(Recordset, SettingsMadeBeforeOpenApplyWhenItsArgumentsAreLeftOut) {
    RecordingObserver observer;
    Connection connection(
        ObservedEngines(Rows({{"Expr1000"}, {{Value::Number(std::int64_t{41})}}}), &observer));
    connection.Open("Dbq=x");
    Recordset identity;
    identity.CursorType = adOpenForwardOnly;
    identity.LockType = adLockReadOnly;
    identity.Source = "SELECT @@IDENTITY";
    identity.ActiveConnection = &connection;
    identity.Open(std::nullopt, nullptr, adOpenUnspecified, adLockUnspecified, adCmdText);
    EXPECT_EQ(identity.Fields(Integer{0}), Value::Number(std::int64_t{41}));
    EXPECT_EQ(identity.CursorType, adOpenForwardOnly);
    EXPECT_EQ(observer.Seen, std::vector<std::string>{"SELECT @@IDENTITY"});
}

TEST(Connection, ObservesStatementsAndGoesOnAfterAFailure) {
    RecordingObserver observer;
    Connection connection(ObservedEngines(Rows(kTwoLinks), &observer));
    EXPECT_EQ(FailureOf([&] { connection.Execute("UPDATE x"); }).Number(),
              ErrorNumber::ConnectionUnusable);
    connection.Open("Dbq=x");
    connection.Execute("UPDATE x");
    EXPECT_EQ(FailureOf([&] { connection.Execute("FAIL"); }).Number(), -2147221503);
    EXPECT_EQ(observer.Seen, (std::vector<std::string>{"UPDATE x", "FAIL"}));
    EXPECT_EQ(FailureOf([&] { connection.Execute("FAIL"); }).Description(),
              "near \"FAIL\": syntax error");
    connection.Execute("UPDATE x");
    connection.Close();
    EXPECT_EQ(FailureOf([&] { connection.Close(); }).Number(), ErrorNumber::ObjectClosed);
}

TEST(Connection, AFailedOpenLeavesItClosed) {
    Connection connection([](std::string_view) -> std::unique_ptr<Engine> {
        throw Failure(-2147221490, "Could not find file '/x.mdb'.");
    });
    EXPECT_EQ(FailureOf([&] { connection.Open("Dbq=/x.mdb"); }).Number(), -2147221490);
    EXPECT_EQ(FailureOf([&] { connection.Execute("UPDATE x"); }).Number(),
              ErrorNumber::ConnectionUnusable);
}

}  // namespace
}  // namespace almanoria
