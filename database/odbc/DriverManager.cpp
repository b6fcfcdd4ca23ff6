#include "database/odbc/DriverManager.hpp"

#include <string>

#include "database/odbc/OdbcText.hpp"
#include "errors/Failure.hpp"
#include "platform/Folders.hpp"

#ifndef _WIN32
#include <dlfcn.h>
#endif

namespace almanoria::odbc {

namespace {

using EntryPoint = void (*)();

std::string Named(const std::filesystem::path& file) {
    const std::u8string name = file.u8string();
    return std::string(name.begin(), name.end());
}

#ifdef _WIN32
// The system's own words for the last failure, with its number.
std::string LastErrorText() {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words = length > 0 ? ToUtf8(text, length) : "";
    LocalFree(text);
    while (!words.empty() &&
           (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) {
        words.pop_back();
    }
    return "Windows error " + std::to_string(code) + (words.empty() ? "" : ": " + words);
}

// With a full path, and the library's own dependencies looked for beside it, in the system
// folder, not beside the program.
void* OpenLibrary(const std::filesystem::path& library) {
    const HMODULE module = LoadLibraryExW(library.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
        throw Failure(ErrorNumber::ErrorInLoadingDll,
                      "Error in loading DLL " + Named(library) + " (" + LastErrorText() + ")");
    }
    return module;
}

EntryPoint Lookup(void* library, const char* name) {
    return reinterpret_cast<EntryPoint>(GetProcAddress(static_cast<HMODULE>(library), name));
}
#else
void* OpenLibrary(const std::filesystem::path& library) {
    void* const handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* const reason = dlerror();
        throw Failure(ErrorNumber::ErrorInLoadingDll, "Error in loading DLL " + Named(library) +
                                                          " (" + (reason ? reason : "") + ")");
    }
    return handle;
}

EntryPoint Lookup(void* library, const char* name) {
    return reinterpret_cast<EntryPoint>(dlsym(library, name));
}
#endif

}  // namespace

void DriverManager::Unload::operator()(void* library) const noexcept {
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

std::shared_ptr<const DriverManager> DriverManager::Load(const std::filesystem::path& library) {
    auto manager = std::make_shared<DriverManager>();
    manager->mLibrary.reset(OpenLibrary(library));
    const auto find = [&](auto& entry, const char* name) {
        const EntryPoint address = Lookup(manager->mLibrary.get(), name);
        if (address == nullptr) {
            throw Failure(
                ErrorNumber::DllEntryPointNotFound,
                std::string("Can't find DLL entry point ") + name + " in " + Named(library));
        }
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(address);
    };
#define ALMANORIA_FIND_ENTRY_POINT(name) find(manager->name, "SQL" #name);
    ALMANORIA_ODBC_ENTRY_POINTS(ALMANORIA_FIND_ENTRY_POINT)
#undef ALMANORIA_FIND_ENTRY_POINT
    return manager;
}

std::shared_ptr<const DriverManager> DriverManager::System() {
#ifdef _WIN32
    const std::filesystem::path folder = SystemFolder();
    if (folder.empty()) {
        throw Failure(ErrorNumber::ErrorInLoadingDll,
                      "Error in loading DLL odbc32.dll (the system folder is unknown: " +
                          LastErrorText() + ")");
    }
    return Load(folder / L"odbc32.dll");
#else
    // unixODBC is linked with the program.
    auto manager = std::make_shared<DriverManager>();
#define ALMANORIA_LINKED_ENTRY_POINT(name) manager->name = &::SQL##name;
    ALMANORIA_ODBC_ENTRY_POINTS(ALMANORIA_LINKED_ENTRY_POINT)
#undef ALMANORIA_LINKED_ENTRY_POINT
    return manager;
#endif
}

}  // namespace almanoria::odbc
