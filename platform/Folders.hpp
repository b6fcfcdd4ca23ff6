#pragma once

// Where the program finds itself and the user's folders: the running program's file, and the
// XDG base folders its calendar and its log go under on Linux.

#include <filesystem>
#include <string>
#include <string_view>

namespace almanoria {

// The calendar product's name, which is also the folder of the calendar's and the program's own
// files in the user's folders and in Program Files. The one copy: CMake reads it from here for
// the version resource and the packages, and the scripts that need it say so.
inline constexpr const char* kProductName = "Almanoria Desktop Calendar";

// The running program's file as the system names it (GetModuleFileNameW on Windows,
// /proc/self/exe elsewhere); empty when the system does not say.
std::filesystem::path ProgramFile();
// Its folder: "C:\Calendar", "C:\" for a program at a drive's root, "/usr/bin".
std::filesystem::path ProgramFolder();
// Its file name without folder and extension, in UTF-8: "AlmanoriaYear2012".
std::string ProgramFileName();

// An XDG base folder: the variable's value when it is an absolute path (a relative one is
// invalid and ignored, as the convention says), else home followed by underHome. The one rule:
// tools/setup-and-run.sh asks the program for the data folder (makecalendar --default-path).
std::string XdgBaseDirectory(const char* value, const char* home, std::string_view underHome);

// $XDG_DATA_HOME (or ~/.local/share)/Almanoria Desktop Calendar.
std::string UserDataDirectory(const char* xdgDataHome, const char* home);

// $XDG_STATE_HOME (or ~/.local/state)/Almanoria Desktop Calendar; empty when neither is an
// absolute path, since the log never goes to a folder relative to wherever the program started.
std::filesystem::path UserStateDirectory(const char* xdgStateHome, const char* home);

#ifdef _WIN32
// The system folder ("C:\Windows\system32"), where the program loads the DLLs that Windows
// would otherwise look for beside it first; empty, with the reason in GetLastError, when the
// system does not say.
std::filesystem::path SystemFolder();

// A folder the shell names by its CSIDL (CSIDL_PROGRAM_FILES, ...); empty when it names none.
std::filesystem::path ShellFolder(int csidl);

// The user's local application data (on XP "Local Settings\Application Data"), then
// "Almanoria Desktop Calendar"; empty when the shell names no such folder.
std::filesystem::path LocalApplicationDataDirectory();
#endif

}  // namespace almanoria
