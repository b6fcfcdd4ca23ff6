#include "database/Connection.hpp"

#include <algorithm>

#include "database/Names.hpp"

namespace almanoria {

namespace {

[[noreturn]] void RaiseObjectClosed() {
    throw Failure(ErrorNumber::ObjectClosed, "Operation is not allowed when the object is closed.");
}

[[noreturn]] void RaiseConnectionUnusable() {
    throw Failure(ErrorNumber::ConnectionUnusable,
                  "The connection cannot be used to perform this operation. It is either closed "
                  "or invalid in this context.");
}

}  // namespace

Connection::Connection(EngineFactory engineFactory) : mEngineFactory(std::move(engineFactory)) {}

Connection::~Connection() = default;

void Connection::Open(std::string_view connectionString, std::string_view, std::string_view, Long) {
    if (mEngine) {
        throw Failure(ErrorNumber::ObjectOpen, "Operation is not allowed when the object is open.");
    }
    mEngine = mEngineFactory(connectionString);
}

Engine& Connection::OpenEngine() {
    if (!mEngine) RaiseConnectionUnusable();
    return *mEngine;
}

void Connection::Execute(std::string_view commandText, Long) {
    OpenEngine().Execute(commandText);
}

ResultRows Connection::Query(std::string_view commandText) {
    return OpenEngine().Query(commandText);
}

Long Connection::BeginTrans() {
    OpenEngine().BeginTransaction();
    mInTransaction = true;
    return 1;
}

void Connection::CommitTrans() {
    OpenEngine().CommitTransaction();
    mInTransaction = false;
}

void Connection::RollbackTrans() {
    if (!mInTransaction) return;
    mInTransaction = false;
    OpenEngine().RollbackTransaction();
}

void Connection::RollbackQuietly() noexcept {
    try {
        RollbackTrans();
    } catch (...) {
        // Closing the connection takes the transaction back.
    }
}

void Connection::Close() {
    if (!mEngine) RaiseObjectClosed();
    mEngine.reset();
    mInTransaction = false;
}

void Recordset::Open(const std::optional<std::string>& source, Connection* activeConnection,
                     Long cursorType, Long lockType, Long) {
    if (mRows) {
        throw Failure(ErrorNumber::ObjectOpen, "Operation is not allowed when the object is open.");
    }
    if (source) Source = *source;
    if (activeConnection) ActiveConnection = activeConnection;
    if (cursorType != adOpenUnspecified) CursorType = cursorType;
    if (lockType != adLockUnspecified) LockType = lockType;
    if (!ActiveConnection) RaiseConnectionUnusable();
    if (Source.empty()) {
        throw Failure(ErrorNumber::ArgumentsInConflict,
                      "Arguments are of the wrong type, are out of acceptable range, or are in "
                      "conflict with one another.");
    }
    mRows = ActiveConnection->Query(Source);
    mPosition = 0;
}

bool Recordset::Eof() const {
    if (!mRows) RaiseObjectClosed();
    return mPosition >= mRows->Rows.size();
}

const std::vector<Value>& Recordset::CurrentRow() const {
    if (Eof()) {
        throw Failure(ErrorNumber::NoCurrentRecord,
                      "Either BOF or EOF is True, or the current record has been deleted. "
                      "Requested operation requires a current record.");
    }
    return mRows->Rows[mPosition];
}

[[noreturn]] static void RaiseItemNotFound() {
    throw Failure(ErrorNumber::ItemNotFound,
                  "Item cannot be found in the collection corresponding to the requested name or "
                  "ordinal.");
}

const Value& Recordset::Fields(std::string_view name) const {
    if (!mRows) RaiseObjectClosed();
    const auto& names = mRows->ColumnNames;
    const auto found = std::find_if(names.begin(), names.end(), [&](const std::string& column) {
        return SameName(column, name);
    });
    if (found == names.end()) RaiseItemNotFound();
    return CurrentRow()[static_cast<std::size_t>(found - names.begin())];
}

const Value& Recordset::Fields(Integer position) const {
    if (!mRows) RaiseObjectClosed();
    if (position < 0 || static_cast<std::size_t>(position) >= mRows->ColumnNames.size()) {
        RaiseItemNotFound();
    }
    return CurrentRow()[static_cast<std::size_t>(position)];
}

void Recordset::MoveNext() {
    CurrentRow();
    ++mPosition;
}

void Recordset::Close() {
    if (!mRows) RaiseObjectClosed();
    mRows.reset();
}

}  // namespace almanoria
