#pragma once

#include <filesystem>
#include <memory>

#include "database/odbc/OdbcApi.hpp"

// The entry points, each named once: X(name) stands for the function SQLname.
#define ALMANORIA_ODBC_ENTRY_POINTS(X) \
    X(AllocHandle)                     \
    X(FreeHandle)                      \
    X(GetDiagRecW)                     \
    X(SetEnvAttr)                      \
    X(DriverConnectW)                  \
    X(Disconnect)                      \
    X(ExecDirectW)                     \
    X(NumResultCols)                   \
    X(DescribeColW)                    \
    X(Fetch)                           \
    X(GetData)                         \
    X(ColumnsW)                        \
    X(SetConnectAttrW)                 \
    X(EndTran)

namespace almanoria::odbc {

// The driver manager's entry points that the engine calls; every ODBC call of the engine goes
// through one of these. On Windows they come from odbc32.dll, loaded by its full path in the
// system folder: a copy of odbc32.dll in the program's folder, which is where the browser
// saved it, must never be the one that runs.
class DriverManager {
  public:
    // The program's own: odbc32.dll of the system folder on Windows, the linked unixODBC
    // elsewhere. Raises ErrorNumber::ErrorInLoadingDll, naming the file, when it cannot load.
    static std::shared_ptr<const DriverManager> System();

    // The driver manager in the library at library, each entry point looked up by name.
    // Raises ErrorNumber::ErrorInLoadingDll when the library cannot load and
    // ErrorNumber::DllEntryPointNotFound when it lacks an entry point, naming the file.
    static std::shared_ptr<const DriverManager> Load(const std::filesystem::path& library);

#define ALMANORIA_DECLARE_ENTRY_POINT(name) decltype(&::SQL##name) name = nullptr;
    ALMANORIA_ODBC_ENTRY_POINTS(ALMANORIA_DECLARE_ENTRY_POINT)
#undef ALMANORIA_DECLARE_ENTRY_POINT

  private:
    // The loaded library, unloaded when the last holder of the entry points lets go.
    struct Unload {
        void operator()(void* library) const noexcept;
    };
    std::unique_ptr<void, Unload> mLibrary;
};

}  // namespace almanoria::odbc
