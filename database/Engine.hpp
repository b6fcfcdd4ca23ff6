#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "database/Value.hpp"

namespace almanoria {

// The rows of a query, read whole, as a client-side cursor holds them.
struct ResultRows {
    std::vector<std::string> ColumnNames;
    std::vector<std::vector<Value>> Rows;
};

// One open database behind a Connection. An engine takes the statements exactly as the
// program writes them, in the Access SQL dialect, and raises a Failure when one fails.
class Engine {
  public:
    virtual ~Engine() = default;
    // Runs a statement that returns no rows; it has taken effect on return.
    virtual void Execute(std::string_view statement) = 0;
    // Runs a query and returns all its rows.
    virtual ResultRows Query(std::string_view statement) = 0;

    // From BeginTransaction on, the statements take effect together at CommitTransaction, or
    // not at all at RollbackTransaction; each raises a Failure when the engine refuses it. A
    // rollback where the engine has already undone the transaction does nothing.
    virtual void BeginTransaction() = 0;
    virtual void CommitTransaction() = 0;
    virtual void RollbackTransaction() = 0;
};

// Opens an engine for a connection string, or raises a Failure saying why it cannot.
using EngineFactory = std::function<std::unique_ptr<Engine>(std::string_view connectionString)>;

// The engine this build opens calendar databases with.
EngineFactory DefaultEngineFactory();

}  // namespace almanoria
