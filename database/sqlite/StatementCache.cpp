#include "database/sqlite/StatementCache.hpp"

#include <algorithm>

namespace almanoria::sqlite {

sqlite3_stmt* StatementCache::Find(const std::string& sql) {
    const auto found = std::find_if(mEntries.begin(), mEntries.end(),
                                    [&](const auto& entry) { return entry.first == sql; });
    if (found == mEntries.end()) return nullptr;
    mEntries.splice(mEntries.begin(), mEntries, found);
    return mEntries.front().second.get();
}

sqlite3_stmt* StatementCache::Add(std::string sql, StatementHandle statement) {
    if (mEntries.size() >= mCapacity) mEntries.pop_back();
    mEntries.emplace_front(std::move(sql), std::move(statement));
    return mEntries.front().second.get();
}

}  // namespace almanoria::sqlite
