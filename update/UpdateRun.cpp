#include "update/UpdateRun.hpp"

#include <optional>

#include "database/ConnectionString.hpp"
#include "database/dialect/AccessDialect.hpp"
#include "yeardata/basStringFunctions.hpp"

// Each statement number stands at the start of its line, as reports give it, so the trapping
// procedures keep a layout of their own.
// clang-format off

namespace almanoria {

namespace {

// One name's event, link and count as one transaction on the connection: rolled back on every
// way out that did not commit it, quietly, so that the rollback cannot hide the failure that
// brought the pass here. The connection knows whether it is still open.
class NameTransaction {
  public:
    explicit NameTransaction(Connection& connection) : mConnection(connection) {
        mConnection.BeginTrans();
    }
    ~NameTransaction() { Rollback(); }
    NameTransaction(const NameTransaction&) = delete;
    NameTransaction& operator=(const NameTransaction&) = delete;

    // A commit that fails leaves the transaction open for the rollback.
    void Commit() { mConnection.CommitTrans(); }
    void Rollback() noexcept { mConnection.RollbackQuietly(); }

  private:
    Connection& mConnection;
};

}  // namespace

UpdateRun::UpdateRun(basDatabase& database, basErrorHandler& errors, UpdateControls controls,
                     const std::string& databasePath, int year)
    : mDatabase(database),
      mErrors(errors),
      mControls(controls),
      mDatabasePath(databasePath),
      mYear(year) {}

void UpdateRun::Update() {
    YearTable yearTable;
    Boolean result = vbFalse;
    Long erl = 10;
    try {
        erl = 20; mControls.lblUpdate.SetCaption(kWaitText);
        erl = 30; mControls.events.DoEvents();
        erl = 40; result = OpenDatabase(mDatabasePath);
        erl = 50; if (result == vbFalse) return;
        erl = 80; BuildYearTable(yearTable, mYear);
        erl = 90; result = InitDates(yearTable);
        erl = 100; if (result == vbFalse) return;  // the connection stays open
        erl = 130; AddAllDayEvents(yearTable);
        erl = 140; mDatabase.CloseDatabase();
        erl = 150; mControls.lblUpdate.SetCaption(kCompletedText);
        erl = 160; CommandButton& button = mControls.cmdButton1;
        erl = 170; button.SetCaption(kFinishCaption);
        erl = 180; button.SetEnabled(true);
        erl = 190;
        erl = 200; mControls.cmdCancel.SetEnabled(false);
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.Update", vbTrue, "", vbFalse);  // 220
    }
}

Boolean UpdateRun::OpenDatabase(std::string path) {
    Long erl = 10;
    try {
        erl = 20; mDatabase.gConnection = mDatabase.NewConnection();
        erl = 30; const std::string connectionString = BuildConnectionString(path);
        erl = 40; mDatabase.gConnection->Open(connectionString, "", "", adOptionUnspecified);
        erl = 50; return vbTrue;
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.OpenDatabase", vbTrue, "", vbFalse);  // 70
        return vbFalse;                                                  // 80
    }
}

Boolean UpdateRun::InitDates(const YearTable& yearTable) {
    std::optional<Recordset> day;
    Long erl = 10;
    try {
        erl = 20; mDatabase.Connected();  // no provider errors pending: each failure is raised at once
        erl = 30; day.emplace();
        erl = 40; day->CursorLocation = adUseClient;
        erl = 50;
        erl = 60; const std::string dateNotes;
        std::string statement;
        erl = 70;
        for (Integer index = 0, last = ToInteger(UBound(yearTable)); index <= last;
             erl = 280, index = CheckedAdd(index, Integer{1})) {
            erl = 80; const std::string& record = At(yearTable, index);
            erl = 90; const std::string date = GetFields(record, "|", 1, 0);
            erl = 100; const std::string colour = GetFields(record, "|", 2, 0);
            erl = 110; const std::string notes = GetFields(record, "|", 4, 0);
            erl = 120; if (date.empty()) continue;
            erl = 130; statement = "SELECT * FROM Dates WHERE (((Dates.DateKey)=#" + date + "#));";
            erl = 140; day->Open(statement, &mDatabase.Connected(), adOpenDynamic, adLockUnspecified, adCmdUnspecified);
            Boolean exists;
            erl = 150; if (day->Eof()) {
                erl = 160; exists = vbFalse;
            } else {
                erl = 180; exists = vbTrue;
            }
            erl = 200; day->Close();
            erl = 210; if (exists == vbTrue) {
                erl = 220; statement = "UPDATE Dates SET DateColor = '" + colour + "', DateText = '" + notes +
                                       "' WHERE (((Dates.DateKey)=#" + date + "#));";
            } else {
                erl = 240; statement = "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) " +
                                       ("VALUES ('" + date + "','" + colour + "','" + std::to_string(0) + "','" +
                                        dateNotes + "','" + notes + "');");
            }
            erl = 260; mDatabase.Connected().Execute(statement, adOptionUnspecified);
        }
        erl = 290; day.reset();
        erl = 300; return vbTrue;
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.InitDates", vbTrue, "", vbFalse);  // 320
        return vbFalse;                                               // 330
    }                                                                 // 340: day is released
}

void UpdateRun::AddAllDayEvents(const YearTable& yearTable) {
    EventFields fields(kEventFieldCount);
    DateList dates(1);
    EventIdList ids;
    std::string newEventId;
    Long erl = 10;
    try {
        erl = 20; const std::string startTime = "0:00 AM";
        erl = 30; const std::string endTime = "11:59 PM";
        erl = 40; const std::string colour;
        erl = 50; const std::string icon;
        erl = 60; const std::string notes;
        erl = 70; const std::string recurring = "0";
        erl = 80;
        for (Integer index = 0, last = ToInteger(UBound(yearTable)); index <= last;
             erl = 560, index = CheckedAdd(index, Integer{1})) {
            erl = 90; const std::string& record = At(yearTable, index);
            erl = 100; const std::string date = GetFields(record, "|", 1, 0);
            erl = 110; const std::string names = GetFields(record, "|", 3, 0);
            erl = 120; if (names.empty()) continue;
            erl = 130; Boolean ok = mDatabase.GetEventsByDate(date, ids);
            erl = 140; if (ok == vbFalse) return;
            erl = 170; Integer position = 0;
            for (;;) {
                erl = 190; Boolean found = vbFalse;
                erl = 200; position = CheckedAdd(position, Integer{1});
                erl = 210; std::string name = GetFields(names, "^", position, 0);
                erl = 220; if (name.empty()) break;
                erl = 250;
                for (Integer idIndex = 0, lastId = ToInteger(UBound(ids)); idIndex <= lastId;
                     erl = 360, idIndex = CheckedAdd(idIndex, Integer{1})) {
                    erl = 260; const std::string& id = At(ids, idIndex);
                    erl = 270; if (id.empty()) continue;
                    erl = 290; if (mDatabase.GetEventData(id, fields) == vbTrue) {
                        erl = 300; if (name == At(fields, 1) && At(fields, 2) == "True") {
                            erl = 310; found = vbTrue;
                            break;
                        }
                    }
                }
                erl = 370; if (found == vbTrue) continue;
                erl = 380; newEventId = "";
                erl = 390; name = dialect::DoubledApostrophes(name);
                erl = 400; At(fields, 0) = name;
                erl = 410; At(fields, 1) = "1";
                erl = 420; At(fields, 2) = startTime;
                erl = 430; At(fields, 3) = endTime;
                erl = 440; At(fields, 4) = colour;
                erl = 450; At(fields, 5) = icon;
                erl = 460; At(fields, 6) = notes;
                erl = 470; At(fields, 7) = recurring;
                erl = 480; At(dates, 0) = date;
                // The name's three writes take effect together, or none of them.
                erl = 490; NameTransaction transaction(mDatabase.Connected());
                           ok = mDatabase.AddEventToDatabase(fields, dates, newEventId);
                erl = 500; if (ok == vbFalse) {
                               transaction.Rollback();
                               return;
                           }
                           transaction.Commit();
            }
        }
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("frmMain.AddAllDayEvents", vbTrue, "", vbFalse);  // 580
    }
}

}  // namespace almanoria

// clang-format on
