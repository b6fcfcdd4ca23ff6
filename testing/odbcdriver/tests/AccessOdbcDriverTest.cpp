// The test driver through unixODBC, as the Windows program reaches the Access driver: raw calls
// where the ODBC engine would hide what the driver does, the engine itself elsewhere.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "database/ConnectionString.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "database/odbc/OdbcEngine.hpp"
#include "database/odbc/OdbcText.hpp"
#include "database/sqlite/SqliteEngine.hpp"
#include "errors/Failure.hpp"
#include "testing/odbcdriver/tests/LocaleEnvironment.hpp"
#include "testing/odbcdriver/tests/RawOdbc.hpp"
#include "testing/support/CalendarFiles.hpp"

namespace almanoria::odbcdriver {
namespace {

using testing::FailureOf;
using testing::QueryValue;
using testing::TempDir;

[[maybe_unused]] const auto* const gDriver =
    ::testing::AddGlobalTestEnvironment(new testing::OdbcDriverRegistration(
        "Microsoft Access Driver (*.mdb)", ALMANORIA_ACCESS_ODBC_DRIVER));

class AccessOdbcDriver : public ::testing::Test {
  protected:
    std::unique_ptr<Engine> Open() const { return OpenOdbcEngine(BuildConnectionString(mPath)); }

    TempDir mDir;
    std::string mPath = testing::MakeCalendar(mDir).string();
};

TEST_F(AccessOdbcDriver, ConnectsOnlyToAnExistingCalendarAndNamesWhatIsWrong) {
    const std::string missing = (mDir / "missing.mdb").string();
    const Failure absent = FailureOf([&] { OpenOdbcEngine(BuildConnectionString(missing)); });
    EXPECT_EQ(absent.Number(), ErrorNumber::ObjectError + 14);  // as the embedded engine says
    EXPECT_NE(absent.Description().find("missing.mdb"), std::string::npos) << absent.Description();
    EXPECT_FALSE(std::filesystem::exists(missing));

    const auto text = mDir / "notes.mdb";
    testing::WriteFile(text, "not a calendar\n");
    RawConnection raw(text.string());
    EXPECT_EQ(raw.Connected, SQL_ERROR);
    const Diagnostic refused = FirstDiagnostic(SQL_HANDLE_DBC, raw.Handle());
    EXPECT_EQ(refused.State, "08001");
    EXPECT_EQ(refused.Native, 26);
    EXPECT_EQ(testing::ReadFile(text), "not a calendar\n");

    // The user name and the empty password of the program's string are accepted.
    EXPECT_TRUE(SQL_SUCCEEDED(RawConnection(mPath).Connected));
}

TEST_F(AccessOdbcDriver, ColumnsTellDatesYesNoAndNumbersApart) {
    RawConnection raw(mPath);
    ASSERT_TRUE(SQL_SUCCEEDED(raw.Connected));
    std::map<std::string, SQLSMALLINT> types;
    for (const char* table : {"Dates", "events", "EventDates"}) {
        const auto statement = raw.Statement();
        odbc::WideText name(table);
        ASSERT_TRUE(SQL_SUCCEEDED(SQLColumnsW(statement->Handle, nullptr, 0, nullptr, 0,
                                              name.Data(), SQL_NTS, nullptr, 0)));
        SQLSMALLINT columns = 0;
        SQLNumResultCols(statement->Handle, &columns);
        EXPECT_EQ(columns, 18);
        while (SQLFetch(statement->Handle) == SQL_SUCCESS) {
            SQLWCHAR column[64];
            SQLLEN length = 0;
            SQLSMALLINT type = 0;
            SQLGetData(statement->Handle, 4, SQL_C_WCHAR, column, sizeof column, &length);
            SQLGetData(statement->Handle, 5, SQL_C_SSHORT, &type, sizeof type, nullptr);
            types[odbc::ToUtf8(column, static_cast<std::size_t>(length) / 2)] = type;
        }
    }
    EXPECT_EQ(types["DateKey"], SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(types["EventDate"], SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(types["EventCount"], SQL_INTEGER);
    EXPECT_EQ(types["EventID"], SQL_INTEGER);
    EXPECT_EQ(types["AllDayEvent"], SQL_BIT);
    EXPECT_EQ(types["Recurring"], SQL_BIT);
    EXPECT_EQ(types["DateColor"], SQL_WVARCHAR);
    EXPECT_EQ(types["DateText"], SQL_WLONGVARCHAR);  // LONGTEXT: a Memo
    EXPECT_EQ(types.size(), 16u);
}

TEST_F(AccessOdbcDriver, RowsReadBackTypedAndTheIdentityIsThisConnectionsLastAutonumber) {
    const auto engine = Open();
    engine->Execute(
        "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, EventIcon, "
        "Notes, Recurring) VALUES ('Ash Wednesday','1','0:00 AM','11:59 PM','','','','0');");
    const ResultRows identity = engine->Query("SELECT @@IDENTITY");
    ASSERT_EQ(identity.Rows.size(), 1u);
    EXPECT_EQ(identity.Rows[0][0], Value::Number(std::int64_t{1}));
    // A link has no autonumber: the identity stays the event's.
    engine->Execute("INSERT INTO EventDates (EventId, EventDate) VALUES ('1','2/22/2012');");
    EXPECT_EQ(engine->Query("SELECT @@IDENTITY").Rows[0][0], Value::Number(std::int64_t{1}));
    EXPECT_EQ(OpenOdbcEngine(BuildConnectionString(mPath))->Query("SELECT @@IDENTITY").Rows[0][0],
              Value::Number(std::int64_t{0}));

    const ResultRows event = engine->Query("SELECT * FROM Events WHERE (((Events.EventID)=1));");
    ASSERT_EQ(event.Rows.size(), 1u);
    EXPECT_EQ(event.ColumnNames[0], "EventID");
    EXPECT_EQ(event.Rows[0][0], Value::Number(std::int64_t{1}));
    EXPECT_EQ(event.Rows[0][1], Value::Text("Ash Wednesday"));
    EXPECT_EQ(event.Rows[0][2], Value::YesNo(true));
    EXPECT_EQ(event.Rows[0][8], Value::YesNo(false));
    const ResultRows link =
        engine->Query("SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#2/22/2012#));");
    ASSERT_EQ(link.Rows.size(), 1u);
    EXPECT_EQ(link.Rows[0][1], Value::Date({2012, 2, 22}));
}

TEST_F(AccessOdbcDriver, QuotedDatesFollowTheRegionalSettingsAndTheEscapesDoNot) {
    if (!IsInstalled("en_GB.UTF-8") || !IsInstalled("en_US.UTF-8")) {
        GTEST_SKIP() << "en_GB.UTF-8 and en_US.UTF-8 are needed (Debian's locales-all)";
    }
    const std::string insert =
        "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) VALUES ('";
    const auto rawInsert = [&](const std::string& date, const char* colour) {
        RawConnection raw(mPath);
        ASSERT_TRUE(SQL_SUCCEEDED(raw.Connected));
        const auto statement = raw.Statement();
        ASSERT_TRUE(SQL_SUCCEEDED(
            raw.Execute(*statement, insert + date + "','" + colour + "','0','','');")));
    };
    const auto colourOn = [&](const char* day) {
        return QueryValue(mPath,
                          std::string("SELECT DateColor FROM Dates WHERE DateKey = '") + day + "'");
    };
    {
        const LocaleEnvironment british("en_GB.UTF-8");
        rawInsert("5/6/2012", "Red");      // the fault the escapes prevent: June 5
        rawInsert("12/31/2012", "White");  // no 12th month of 31 days: read month first
        Open()->Execute(insert + "5/7/2012','Green','0','','');");  // escaped: May 7
        // A #literal# reads month first whatever the settings.
        EXPECT_EQ(
            Open()->Query("SELECT * FROM Dates WHERE (((Dates.DateKey)=#6/5/2012#));").Rows.size(),
            1u);
    }
    {
        const LocaleEnvironment american("en_US.UTF-8");
        rawInsert("5/8/2012", "Purple");
    }
    EXPECT_EQ(colourOn("2012-06-05"), "Red");
    EXPECT_EQ(colourOn("2012-12-31"), "White");
    EXPECT_EQ(colourOn("2012-05-07"), "Green");
    EXPECT_EQ(colourOn("2012-05-08"), "Purple");
    EXPECT_EQ(QueryValue(mPath, "SELECT COUNT(*) FROM Dates"), "4");
}

TEST_F(AccessOdbcDriver,
       FailuresCarryStateNativeErrorAndTheOdbcLayerReportsThemAsTheEmbeddedEngine) {
    RawConnection raw(mPath);
    ASSERT_TRUE(SQL_SUCCEEDED(raw.Connected));
    const auto statement = raw.Statement();
    EXPECT_EQ(raw.Execute(*statement, "SELECT * FROM Nowhere WHERE (((Nowhere.A)=1));"), SQL_ERROR);
    const Diagnostic missing = FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle);
    EXPECT_EQ(missing.State, "42S02");
    EXPECT_EQ(missing.Native, 1);
    EXPECT_EQ(missing.Message, "no such table: Nowhere");
    // Read twice, as the driver manager may.
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle).Message, missing.Message);

    // The ODBC layer hands the program the failure the embedded engine would raise.
    const std::string bad = "INSERT INTO Dates (DateKey) VALUES ('2/30/2012');";
    const Failure viaOdbc = FailureOf([&] { Open()->Execute(bad); });
    const Failure embedded =
        FailureOf([&] { OpenSqliteEngine(BuildConnectionString(mPath))->Execute(bad); });
    EXPECT_EQ(viaOdbc.Number(), embedded.Number());
    EXPECT_EQ(viaOdbc.Description(), embedded.Description());
}

TEST_F(AccessOdbcDriver, WhatItDoesNotImplementIsRefusedWithADiagnostic) {
    RawConnection raw(mPath);
    ASSERT_TRUE(SQL_SUCCEEDED(raw.Connected));
    const auto statement = raw.Statement();

    odbc::WideText prepare("SELECT * FROM Dates");
    EXPECT_EQ(SQLPrepareW(statement->Handle, prepare.Data(), SQL_NTS), SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle).State, "IM001");

    EXPECT_EQ(raw.Execute(*statement, "SELECT {fn NOW()}"), SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle).State, "HYC00");

    SQLWCHAR keywords[256];
    EXPECT_EQ(SQLGetInfoW(raw.Handle(), SQL_KEYWORDS, keywords, sizeof keywords, nullptr),
              SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_DBC, raw.Handle()).State, "HYC00");

    // Transactions it has, but only read committed ones.
    EXPECT_EQ(SQLSetConnectAttrW(raw.Handle(), SQL_ATTR_TXN_ISOLATION,
                                 reinterpret_cast<SQLPOINTER>(SQL_TXN_SERIALIZABLE), 0),
              SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_DBC, raw.Handle()).State, "HYC00");

    // A column past the last is a diagnostic too.
    ASSERT_TRUE(SQL_SUCCEEDED(raw.Execute(*statement, "SELECT @@IDENTITY")));
    ASSERT_EQ(SQLFetch(statement->Handle), SQL_SUCCESS);
    SQLINTEGER whole = 0;
    EXPECT_EQ(SQLGetData(statement->Handle, 2, SQL_C_SLONG, &whole, 0, nullptr), SQL_ERROR);
    EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle).State, "07009");
}

// The engine's transaction is the driver's autocommit switched off: another program sees none
// of it before the commit and nothing of it after a rollback, and after either each statement
// takes effect on its own again.
TEST_F(AccessOdbcDriver, ATransactionTurnsAutocommitOffUntilItsCommitOrRollback) {
    const auto engine = Open();
    const auto insert = [&](const std::string& name) {
        engine->Execute("INSERT INTO Events (EventName) VALUES ('" + name + "')");
    };
    const auto seen = [&] { return QueryValue(mPath, "SELECT COUNT(*) FROM Events"); };
    engine->BeginTransaction();
    insert("inside");
    EXPECT_EQ(seen(), "0");
    engine->CommitTransaction();
    EXPECT_EQ(seen(), "1");
    insert("after the commit");
    EXPECT_EQ(seen(), "2");
    engine->BeginTransaction();
    insert("taken back");
    engine->RollbackTransaction();
    EXPECT_EQ(seen(), "2");
    insert("after the rollback");
    EXPECT_EQ(seen(), "3");
}

TEST_F(AccessOdbcDriver, LongTextArrivesWholeInPieces) {
    // Accents and a character outside the 16-bit range, whose halves pieces may part.
    std::string notes;
    for (int i = 0; i < 700; ++i)
        notes += "Fête \xF0\x9F\x98\x80 ";
    Open()->Execute(
        "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
        "VALUES ('1/1/2012','White','0','','" +
        notes + "');");
    const ResultRows rows =
        Open()->Query("SELECT * FROM Dates WHERE (((Dates.DateKey)=#1/1/2012#));");
    ASSERT_EQ(rows.Rows.size(), 1u);
    EXPECT_EQ(rows.Rows[0][4], Value::Text(notes));

    RawConnection raw(mPath);
    const auto statement = raw.Statement();
    ASSERT_TRUE(SQL_SUCCEEDED(raw.Execute(*statement, "SELECT DateText FROM Dates")));
    ASSERT_EQ(SQLFetch(statement->Handle), SQL_SUCCESS);
    std::vector<SQLWCHAR> read;
    SQLWCHAR piece[7];  // six units and the zero
    SQLRETURN result;
    int pieces = 0;
    while ((result = SQLGetData(statement->Handle, 1, SQL_C_WCHAR, piece, sizeof piece, nullptr)) !=
           SQL_NO_DATA) {
        ASSERT_TRUE(SQL_SUCCEEDED(result));
        for (const SQLWCHAR* unit = piece; *unit != 0; ++unit)
            read.push_back(*unit);
        ++pieces;
        if (result == SQL_SUCCESS_WITH_INFO) {
            EXPECT_EQ(FirstDiagnostic(SQL_HANDLE_STMT, statement->Handle).State, "01004");
        }
    }
    EXPECT_GT(pieces, 100);
    EXPECT_EQ(odbc::ToUtf8(read.data(), read.size()), notes);
}

}  // namespace
}  // namespace almanoria::odbcdriver
