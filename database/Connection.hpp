#pragma once

// Connection and recordset objects with the operations and settings the program uses, in the
// manner of the data objects the calendar's own tools are written against.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "database/Engine.hpp"
#include "database/Value.hpp"
#include "errors/BasicTypes.hpp"

namespace almanoria {

inline constexpr Long adUseServer = 2;
inline constexpr Long adUseClient = 3;
inline constexpr Long adOpenUnspecified = -1;
inline constexpr Long adOpenForwardOnly = 0;
inline constexpr Long adOpenDynamic = 2;
inline constexpr Long adLockUnspecified = -1;
inline constexpr Long adLockReadOnly = 1;
inline constexpr Long adCmdUnspecified = -1;
inline constexpr Long adCmdText = 1;
inline constexpr Long adOptionUnspecified = -1;

class Connection {
  public:
    explicit Connection(EngineFactory engineFactory);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void Open(std::string_view connectionString, std::string_view userId = "",
              std::string_view password = "", Long options = adOptionUnspecified);
    // Runs a statement; its result, if any, is released unread.
    void Execute(std::string_view commandText, Long options = adOptionUnspecified);
    // The statements from BeginTrans on take effect together at CommitTrans, or not at all at
    // RollbackTrans. One level only; BeginTrans gives it, 1. A commit that fails leaves the
    // transaction open; a rollback without one open does nothing.
    Long BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    // RollbackTrans on the way out of a failure, which it must not hide: what the engine cannot
    // undo now it undoes when the connection closes.
    void RollbackQuietly() noexcept;
    void Close();

    // The rows of a query, for a recordset opened on this connection.
    ResultRows Query(std::string_view commandText);

  private:
    Engine& OpenEngine();

    EngineFactory mEngineFactory;
    std::unique_ptr<Engine> mEngine;
    bool mInTransaction = false;
};

class Recordset {
  public:
    Long CursorLocation = adUseServer;
    Long CursorType = adOpenForwardOnly;
    Long LockType = adLockReadOnly;
    std::string Source;
    Connection* ActiveConnection = nullptr;

    // Left-out arguments (no source, no connection, -1) keep the settings above.
    void Open(const std::optional<std::string>& source, Connection* activeConnection,
              Long cursorType = adOpenUnspecified, Long lockType = adLockUnspecified,
              Long options = adCmdUnspecified);
    bool Eof() const;
    const Value& Fields(std::string_view name) const;
    const Value& Fields(Integer position) const;
    void MoveNext();
    void Close();

  private:
    const std::vector<Value>& CurrentRow() const;

    std::optional<ResultRows> mRows;
    std::size_t mPosition = 0;
};

}  // namespace almanoria
