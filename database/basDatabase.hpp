#pragma once

#include <memory>
#include <string>
#include <vector>

#include "database/Connection.hpp"
#include "errors/BasicTypes.hpp"
#include "errors/basErrorHandler.hpp"

namespace almanoria {

// Nine texts that carry one event. Insert layout: 0 to 7 are EventName, AllDayEvent,
// StartTime, EndTime, EventColor, EventIcon, Notes, Recurring. Lookup layout: 0 is EventID and
// the same eight columns follow at 1 to 8.
using EventFields = std::vector<std::string>;
inline constexpr std::size_t kEventFieldCount = 9;
// Date texts (m/d/yyyy) that an inserted event is linked to; empty ones are skipped.
using DateList = std::vector<std::string>;
// The ids of the events linked to one date, as text; one empty element when there are none.
using EventIdList = std::vector<std::string>;

// The calendar database module: the one shared connection and the record-level operations on
// events and day counts. Every statement of the program runs on gConnection.
class basDatabase {
  public:
    explicit basDatabase(basErrorHandler& errors,
                         EngineFactory engineFactory = DefaultEngineFactory());

    // The one connection: nothing until the update run opens it.
    std::unique_ptr<Connection> gConnection;

    // A new, closed connection object for gConnection.
    std::unique_ptr<Connection> NewConnection() const;
    // gConnection itself; "Object variable not set" while it holds nothing.
    Connection& Connected() const;

    // No trap: a failure of the close reaches the caller's.
    void CloseDatabase();

    Boolean AddEventToDatabase(const EventFields& fields, const DateList& dates, std::string& id);
    Boolean AddEventDate(std::string eventId, std::string dateText);
    Boolean IncrementEventCount(std::string dateText);
    Boolean GetEventsByDate(std::string dateText, EventIdList& ids);
    Boolean GetEventData(std::string eventId, EventFields& fields);

  private:
    // Takes back a transaction that a failure inside it left open, before the failure's box is
    // shown: the calendar is not held while the user reads it. Never raises.
    void RollbackBeforeTheBox() noexcept;

    basErrorHandler& mErrors;
    EngineFactory mEngineFactory;
};

}  // namespace almanoria
