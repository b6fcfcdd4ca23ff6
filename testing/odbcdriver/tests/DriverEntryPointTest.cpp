// The test driver's entry points called directly, with no driver manager in between to answer
// or check for it: what a freed, misused or half-supported handle gets.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "database/ConnectionString.hpp"
#include "database/odbc/OdbcApi.hpp"
#include "database/odbc/OdbcText.hpp"
#include "testing/support/CalendarFiles.hpp"

namespace almanoria::odbcdriver {
namespace {

// The driver's library, opened on its own, and its entry points by name.
class DriverLibrary {
  public:
    DriverLibrary() : mLibrary(dlopen(ALMANORIA_ACCESS_ODBC_DRIVER, RTLD_NOW | RTLD_LOCAL)) {
        EXPECT_NE(mLibrary, nullptr) << dlerror();
    }
    ~DriverLibrary() {
        if (mLibrary) dlclose(mLibrary);
    }
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    template <typename Function>
    Function* Entry(const char* name) const {
        void* found = mLibrary ? dlsym(mLibrary, name) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        Function* entry = nullptr;
        std::memcpy(&entry, &found, sizeof entry);
        return entry;
    }

  private:
    void* mLibrary;
};

#define DRIVER_ENTRY(name) decltype(&::name) const name = mDriver.Entry<decltype(::name)>(#name)

class DriverEntryPoints : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &mEnvironment), SQL_SUCCESS);
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_DBC, mEnvironment, &mConnection), SQL_SUCCESS);
        odbc::WideText text(BuildConnectionString(mPath));
        ASSERT_EQ(SQLDriverConnectW(mConnection, nullptr, text.Data(),
                                    static_cast<SQLSMALLINT>(text.Size()), nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT),
                  SQL_SUCCESS);
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, mConnection, &mStatement), SQL_SUCCESS);
    }
    void TearDown() override {
        if (mConnection) SQLFreeHandle(SQL_HANDLE_DBC, mConnection);
        if (mEnvironment) SQLFreeHandle(SQL_HANDLE_ENV, mEnvironment);
    }

    SQLRETURN Execute(const std::string& sql) {
        odbc::WideText text(sql);
        return SQLExecDirectW(mStatement, text.Data(), static_cast<SQLINTEGER>(text.Size()));
    }
    std::string State(SQLSMALLINT type, SQLHANDLE handle) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[256];
        SQLSMALLINT length = 0;
        if (SQLGetDiagRecW(type, handle, 1, state, &native, message, 256, &length) != SQL_SUCCESS)
            return "none";
        return odbc::ToUtf8(state, 5);
    }
    SQLRETURN ReturnCode(SQLSMALLINT type, SQLHANDLE handle) {
        SQLRETURN code = -99;
        EXPECT_EQ(SQLGetDiagFieldW(type, handle, 0, SQL_DIAG_RETURNCODE, &code, 0, nullptr),
                  SQL_SUCCESS);
        return code;
    }

    DriverLibrary mDriver;
    DRIVER_ENTRY(SQLAllocHandle);
    DRIVER_ENTRY(SQLFreeHandle);
    DRIVER_ENTRY(SQLDriverConnectW);
    DRIVER_ENTRY(SQLExecDirectW);
    DRIVER_ENTRY(SQLFetch);
    DRIVER_ENTRY(SQLGetData);
    DRIVER_ENTRY(SQLColumnsW);
    DRIVER_ENTRY(SQLColAttributeW);
    DRIVER_ENTRY(SQLGetDiagRecW);
    DRIVER_ENTRY(SQLGetDiagFieldW);
    testing::TempDir mDir;
    std::string mPath = testing::MakeCalendar(mDir).string();
    SQLHANDLE mEnvironment = SQL_NULL_HANDLE;
    SQLHANDLE mConnection = SQL_NULL_HANDLE;
    SQLHANDLE mStatement = SQL_NULL_HANDLE;
};

TEST_F(DriverEntryPoints, GetDataRefusesANegativeLengthAndANullTargetOfFixedSize) {
    ASSERT_EQ(Execute("INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) "
                      "VALUES ('1/1/2012','White','3','','');"),
              SQL_SUCCESS);
    ASSERT_EQ(Execute("SELECT * FROM Dates WHERE (((Dates.DateKey)=#1/1/2012#));"), SQL_SUCCESS);
    ASSERT_EQ(SQLFetch(mStatement), SQL_SUCCESS);
    SQLWCHAR text[16];
    SQLLEN indicator = 0;
    EXPECT_EQ(SQLGetData(mStatement, 2, SQL_C_WCHAR, text, -1, &indicator), SQL_ERROR);
    EXPECT_EQ(State(SQL_HANDLE_STMT, mStatement), "HY090");
    EXPECT_EQ(SQLGetData(mStatement, 3, SQL_C_SLONG, nullptr, 0, &indicator), SQL_ERROR);
    EXPECT_EQ(State(SQL_HANDLE_STMT, mStatement), "HY009");
    // Neither refusal handed anything out: both values are still there whole.
    SQLINTEGER count = 0;
    EXPECT_EQ(SQLGetData(mStatement, 3, SQL_C_SLONG, &count, 0, &indicator), SQL_SUCCESS);
    EXPECT_EQ(count, 3);
    // Text may be asked for its length alone.
    EXPECT_EQ(SQLGetData(mStatement, 2, SQL_C_WCHAR, nullptr, 0, &indicator),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(indicator, static_cast<SQLLEN>(5 * sizeof(SQLWCHAR)));
}

TEST_F(DriverEntryPoints, ResultColumnsCarryTheirTablesDeclarationsAndExpressionsTheirValues) {
    const auto attribute = [&](SQLUSMALLINT column, SQLUSMALLINT field) {
        SQLWCHAR text[64] = {};
        SQLSMALLINT length = 0;
        EXPECT_EQ(SQLColAttributeW(mStatement, column, field, text, sizeof text, &length, nullptr),
                  SQL_SUCCESS);
        return odbc::ToUtf8(text, static_cast<std::size_t>(length) / sizeof(SQLWCHAR));
    };
    ASSERT_EQ(Execute("SELECT * FROM Dates WHERE (((Dates.DateKey)=#1/1/2012#));"), SQL_SUCCESS);
    EXPECT_EQ(attribute(1, SQL_DESC_TYPE_NAME), "DATETIME");
    EXPECT_EQ(attribute(1, SQL_DESC_BASE_TABLE_NAME), "Dates");
    EXPECT_EQ(attribute(2, SQL_DESC_TYPE_NAME), "VARCHAR");
    EXPECT_EQ(attribute(5, SQL_DESC_TYPE_NAME), "LONGCHAR");  // DateText, a Memo
    ASSERT_EQ(Execute("SELECT @@IDENTITY"), SQL_SUCCESS);
    EXPECT_EQ(attribute(1, SQL_DESC_TYPE_NAME), "INTEGER");
    EXPECT_EQ(attribute(1, SQL_DESC_TABLE_NAME), "");
}

TEST_F(DriverEntryPoints, TheReturnCodeFieldTellsWarningsFromErrors) {
    ASSERT_EQ(Execute("SELECT 'Purple' AS Colour"), SQL_SUCCESS);
    ASSERT_EQ(SQLFetch(mStatement), SQL_SUCCESS);
    SQLWCHAR piece[3];
    SQLLEN indicator = 0;
    ASSERT_EQ(SQLGetData(mStatement, 1, SQL_C_WCHAR, piece, sizeof piece, &indicator),
              SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(State(SQL_HANDLE_STMT, mStatement), "01004");
    EXPECT_EQ(ReturnCode(SQL_HANDLE_STMT, mStatement), SQL_SUCCESS_WITH_INFO);
    EXPECT_EQ(Execute("SELECT * FROM Nowhere"), SQL_ERROR);
    EXPECT_EQ(ReturnCode(SQL_HANDLE_STMT, mStatement), SQL_ERROR);
    ASSERT_EQ(Execute("SELECT @@IDENTITY"), SQL_SUCCESS);
    EXPECT_EQ(ReturnCode(SQL_HANDLE_STMT, mStatement), SQL_SUCCESS);
}

TEST_F(DriverEntryPoints, ADescriptorIsRefusedOnTheConnectionWithADiagnostic) {
    SQLHANDLE descriptor = SQL_NULL_HANDLE;
    EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_DESC, mConnection, &descriptor), SQL_ERROR);
    EXPECT_EQ(State(SQL_HANDLE_DBC, mConnection), "HYC00");
    EXPECT_EQ(ReturnCode(SQL_HANDLE_DBC, mConnection), SQL_ERROR);
    EXPECT_EQ(SQLAllocHandle(SQL_HANDLE_DESC, mStatement, &descriptor), SQL_INVALID_HANDLE);
}

TEST_F(DriverEntryPoints, ALeftOutPatternMatchesEveryNameAndAnEmptyOneNone) {
    const auto rows = [&](const char* table, const char* column) {
        odbc::WideText tableText(table ? table : "");
        odbc::WideText columnText(column ? column : "");
        EXPECT_EQ(
            SQLColumnsW(mStatement, nullptr, 0, nullptr, 0, table ? tableText.Data() : nullptr,
                        SQL_NTS, column ? columnText.Data() : nullptr, SQL_NTS),
            SQL_SUCCESS);
        int count = 0;
        while (SQLFetch(mStatement) == SQL_SUCCESS)
            ++count;
        return count;
    };
    EXPECT_EQ(rows(nullptr, nullptr), 16);
    EXPECT_EQ(rows("Dates", nullptr), 5);
    EXPECT_EQ(rows("", nullptr), 0);
    EXPECT_EQ(rows("Dates", ""), 0);
    EXPECT_EQ(rows("%", "Event%"), 7);  // EventCount, four of Events, both of EventDates
}

}  // namespace
}  // namespace almanoria::odbcdriver
