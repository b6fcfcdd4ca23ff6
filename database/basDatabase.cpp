#include "database/basDatabase.hpp"

#include <optional>

// Each statement number stands at the start of its line, as reports give it, so the trapping
// procedures keep a layout of their own.
// clang-format off

namespace almanoria {

basDatabase::basDatabase(basErrorHandler& errors, EngineFactory engineFactory)
    : mErrors(errors), mEngineFactory(std::move(engineFactory)) {}

std::unique_ptr<Connection> basDatabase::NewConnection() const {
    return std::make_unique<Connection>(mEngineFactory);
}

Connection& basDatabase::Connected() const {
    if (!gConnection) {
        throw Failure(ErrorNumber::ObjectNotSet,
                      "Object variable or With block variable not set");
    }
    return *gConnection;
}

void basDatabase::RollbackBeforeTheBox() noexcept {
    if (gConnection) gConnection->RollbackQuietly();
}

void basDatabase::CloseDatabase() {
    Connected().Close();
    gConnection.reset();
}

Boolean basDatabase::AddEventToDatabase(const EventFields& fields, const DateList& dates,
                                        std::string& id) {
    std::optional<Recordset> identity;
    Long erl = 10;
    try {
        erl = 20; Connected();  // no provider errors pending: each failure is raised at once
        erl = 30; identity.emplace();
        erl = 40;
        erl = 50; identity->CursorType = adOpenForwardOnly;
        erl = 60; identity->LockType = adLockReadOnly;
        erl = 70; identity->Source = "SELECT @@IDENTITY";
        erl = 80;
        erl = 90;
        const std::string statement =
            "INSERT INTO Events (EventName, AllDayEvent, StartTime, EndTime, EventColor, "
            "EventIcon, Notes, Recurring) " +
            ("VALUES ('" + At(fields, 0) + "','" + At(fields, 1) + "','" + At(fields, 2) + "','" +
             At(fields, 3) + "','" + At(fields, 4) + "','" + At(fields, 5) + "','" +
             At(fields, 6) + "','" + At(fields, 7) + "');");
        erl = 100; Connected().Execute(statement, adOptionUnspecified);
        erl = 110; identity->ActiveConnection = &Connected();
        erl = 120; identity->Open(std::nullopt, nullptr, adOpenUnspecified, adLockUnspecified, adCmdText);
        erl = 130; id = CStr(identity->Fields(Integer{0}));
        erl = 140;
        for (Integer index = 0, last = ToInteger(UBound(dates)); index <= last;
             erl = 230, index = CheckedAdd(index, Integer{1})) {
            erl = 150; const std::string& dateText = At(dates, index);
            erl = 160; if (dateText.empty()) continue;
            erl = 170; const Boolean linked = AddEventDate(id, dateText);
            erl = 180; if (linked == vbFalse) {
                erl = 190; return vbFalse;  // the event and the links so far stay
            }
        }
        erl = 240; identity->Close();
        erl = 250; identity.reset();
        erl = 260; return vbTrue;
    } catch (...) {
        mErrors.Err.Catch(erl);
        RollbackBeforeTheBox();  // the name's writes, which the caller would take back anyway
        mErrors.HandleError("basDatabase.AddEventToDatabase", vbTrue, "", vbFalse);  // 280
        return vbFalse;                                                            // 290
    }
}

Boolean basDatabase::AddEventDate(std::string eventId, std::string dateText) {
    Long erl = 10;
    try {
        erl = 20;
        const std::string statement = "INSERT INTO EventDates (EventId, EventDate) " +
                                      ("VALUES ('" + eventId + "','" + dateText + "');");
        erl = 30; Connected().Execute(statement, adOptionUnspecified);
        erl = 40; const Boolean counted = IncrementEventCount(dateText);
        erl = 50; if (counted == vbTrue) {
            erl = 60; return vbTrue;
        }
        erl = 80; return vbFalse;  // the count's own failure has been reported there
    } catch (...) {
        mErrors.Err.Catch(erl);
        RollbackBeforeTheBox();  // the name's writes, which the caller would take back anyway
        mErrors.HandleError("basDatabase.AddEventDate", vbTrue, "", vbFalse);  // 110
        return vbFalse;                                                      // 120
    }
}

Boolean basDatabase::IncrementEventCount(std::string dateText) {
    std::optional<Recordset> day;
    Long erl = 10;
    try {
        erl = 20; Connected();  // no provider errors pending: each failure is raised at once
        erl = 30; day.emplace();
        erl = 40; day->CursorLocation = adUseClient;
        erl = 50; std::string statement = "SELECT * FROM Dates WHERE (((Dates.DateKey)=#" + dateText + "#));";
        erl = 60; day->Open(statement, &Connected(), adOpenDynamic, adLockUnspecified, adCmdUnspecified);
        Boolean dayIsMissing;
        Long count;
        erl = 70; if (day->Eof()) {
            erl = 80; dayIsMissing = vbTrue;
            erl = 90; count = 1;
        } else {
            erl = 110; dayIsMissing = vbFalse;
            erl = 120; count = CLng(day->Fields("EventCount"));
            erl = 130; count = CheckedAdd(count, Long{1});
        }
        erl = 150; day->Close();
        erl = 160; if (dayIsMissing == vbTrue) {
            erl = 190; const std::string dateColor;
            erl = 200; const std::string dateNotes;
            erl = 210; const std::string dateTextColumn;
            erl = 220;
            statement = "INSERT INTO Dates (DateKey, DateColor, EventCount, DateNotes, DateText) " +
                        ("VALUES ('" + dateText + "','" + dateColor + "','" + std::to_string(count) +
                         "','" + dateNotes + "','" + dateTextColumn + "');");
        } else {
            erl = 170;
            statement = "UPDATE Dates SET EventCount = " + std::to_string(count) +
                        " WHERE (((Dates.DateKey)=#" + dateText + "#));";
        }
        erl = 240; Connected().Execute(statement, adOptionUnspecified);
        erl = 250; day.reset();
        erl = 260; return vbTrue;
    } catch (...) {
        mErrors.Err.Catch(erl);
        RollbackBeforeTheBox();  // the name's writes, which the caller would take back anyway
        mErrors.HandleError("basDatabase.IncrementEventCount", vbTrue, "", vbFalse);  // 280
        return vbFalse;                                                             // 290
    }
}

Boolean basDatabase::GetEventsByDate(std::string dateText, EventIdList& ids) {
    std::optional<Recordset> links;
    Long erl = 10;
    try {
        erl = 20; ids.clear();
        erl = 30; Connected();  // no provider errors pending: each failure is raised at once
        erl = 40; links.emplace();
        erl = 50; links->CursorLocation = adUseClient;
        erl = 60;
        const std::string statement =
            "SELECT * FROM EventDates WHERE (((EventDates.EventDate)=#" + dateText + "#));";
        erl = 70; links->Open(statement, &Connected(), adOpenDynamic, adLockUnspecified, adCmdUnspecified);
        erl = 80; Integer counter = 0;
        erl = 90; ids.resize(1);
        erl = 100; At(ids, 0) = "";
        erl = 110;
        while (!links->Eof()) {
            erl = 120; std::string eventId = AppendEmpty(links->Fields("EventID"));
            erl = 130; if (counter > 0) {
                erl = 140; ids.resize(static_cast<std::size_t>(counter) + 1);
            }
            erl = 160; At(ids, counter) = std::move(eventId);
            erl = 170; counter = CheckedAdd(counter, Integer{1});
            erl = 180; links->MoveNext();
            erl = 110;
        }
        erl = 200; links->Close();
        erl = 210; links.reset();
        erl = 220; return vbTrue;
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("basDatabase.GetEventsByDate", vbTrue, "", vbFalse);  // 240
        return vbFalse;                                                         // 250
    }
}

Boolean basDatabase::GetEventData(std::string eventId, EventFields& fields) {
    std::optional<Recordset> event;
    Long erl = 10;
    try {
        erl = 20;
        for (std::int64_t index = 0; index < static_cast<std::int64_t>(kEventFieldCount); ++index) {
            At(fields, index).clear();
        }
        erl = 30; Connected();  // no provider errors pending: each failure is raised at once
        erl = 40; event.emplace();
        erl = 50; event->CursorLocation = adUseClient;
        erl = 60;
        const std::string statement = "SELECT * FROM Events WHERE (((Events.EventID)=" + eventId + "));";
        erl = 70; event->Open(statement, &Connected(), adOpenDynamic, adLockUnspecified, adCmdUnspecified);
        // No test for an empty result: reading a missing event fails at 80.
        erl = 80; At(fields, 0) = AppendEmpty(event->Fields("EventID"));
        erl = 90; At(fields, 1) = AppendEmpty(event->Fields("EventName"));
        erl = 100; At(fields, 2) = CStr(event->Fields("AllDayEvent"));
        erl = 110; At(fields, 3) = AppendEmpty(event->Fields("StartTime"));
        erl = 120; At(fields, 4) = AppendEmpty(event->Fields("EndTime"));
        erl = 130; At(fields, 5) = AppendEmpty(event->Fields("EventColor"));
        erl = 140; At(fields, 6) = AppendEmpty(event->Fields("EventIcon"));
        erl = 150; At(fields, 7) = AppendEmpty(event->Fields("Notes"));
        erl = 160; At(fields, 8) = CStr(event->Fields("Recurring"));
        erl = 170; event->Close();
        erl = 180; event.reset();
        erl = 190; return vbTrue;
    } catch (...) {
        mErrors.Err.Catch(erl);
        mErrors.HandleError("basDatabase.GetEventData", vbTrue, "", vbFalse);  // 210
        return vbFalse;                                                      // 220
    }
}

}  // namespace almanoria

// clang-format on
