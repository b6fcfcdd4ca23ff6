#include "database/Engine.hpp"

#ifdef _WIN32
#include "database/odbc/OdbcEngine.hpp"
#else
#include "database/sqlite/SqliteEngine.hpp"
#endif

namespace almanoria {

// Windows opens the calendar's Access file through its ODBC driver; elsewhere the embedded
// engine stands in for it.
EngineFactory DefaultEngineFactory() {
#ifdef _WIN32
    return [](std::string_view connectionString) { return OpenOdbcEngine(connectionString); };
#else
    return [](std::string_view connectionString) { return OpenSqliteEngine(connectionString); };
#endif
}

}  // namespace almanoria
