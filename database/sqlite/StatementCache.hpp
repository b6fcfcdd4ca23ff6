#pragma once

// The statements a connection has prepared, by their SQLite text, so that the program's
// repeated statement shapes (366 days, 72 events) are parsed by SQLite only once.

#include <cstddef>
#include <list>
#include <string>
#include <utility>

#include "database/sqlite/SqliteHandles.hpp"

namespace almanoria::sqlite {

class StatementCache {
  public:
    explicit StatementCache(std::size_t capacity) : mCapacity(capacity > 0 ? capacity : 1) {}

    // The statement prepared for sql, or nullptr; a found statement counts as just used.
    sqlite3_stmt* Find(const std::string& sql);
    // Keeps statement for sql, letting go of the one used longest ago when full.
    sqlite3_stmt* Add(std::string sql, StatementHandle statement);
    void Clear() { mEntries.clear(); }

  private:
    std::size_t mCapacity;
    std::list<std::pair<std::string, StatementHandle>> mEntries;  // the latest used first
};

}  // namespace almanoria::sqlite
