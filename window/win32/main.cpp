// The Windows program: the wizard window over the calendar's Access file through ODBC.

#include "window/win32/Win32Api.hpp"

#include <commctrl.h>
#include <shellapi.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "database/basDatabase.hpp"
#include "errors/ErrorNumbers.hpp"
#include "errors/basErrorHandler.hpp"
#include "platform/PlatformServices.hpp"
#include "window/FormDesign.hpp"
#include "window/basCommandLine.hpp"
#include "window/win32/Win32MainWindow.hpp"
#include "window/win32/Win32Services.hpp"
#include "window/win32/Win32Text.hpp"

namespace {

// The command line's arguments after the program's name, split as the shell splits them.
std::vector<std::string> Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> words(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> arguments;
    for (int at = 1; words && at < count; ++at)
        arguments.push_back(almanoria::win32::Narrow(words.get()[at]));
    return arguments;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace almanoria;
    // Before anything is loaded: no DLL from the current folder, whatever loads it later.
    // Windows XP SP1 and later have it.
    SetDllDirectoryW(L"");
    // The tooltip of the path box and the controls' themed look.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        win32::Win32MessageBox messageBox;
        const SystemClock clock;
        basErrorHandler errors(messageBox, clock, RunningProgram());
        const CommandLine line = ReadCommandLine(Arguments(), kBuildYear);
        if (!line.Error.empty()) {
            // A year the program cannot write: reported, and nothing opened.
            errors.Err = {ErrorNumber::InvalidProcedureCall, line.Error, 0};
            errors.HandleError("basCommandLine.ReadCommandLine", vbTrue, "", vbFalse);
            return 2;
        }
        basDatabase database(errors);
        try {
            win32::Win32MainWindow window(instance, errors, database, messageBox, line.Year);
            window.LoadAndShow(showCommand);
            return window.RunMessageLoop();
        } catch (...) {
            // A window that cannot be made: reported and logged as every failure is, in a box
            // of no owner, since the window that began is gone. The program cannot run on.
            messageBox.Attach(nullptr);
            errors.Err.Catch(0);
            errors.HandleError("frmMain", vbTrue, "", vbFalse);
            return 1;
        }
    } catch (const std::exception& failure) {
        // Not even the error handler could be made.
        MessageBoxW(nullptr, win32::Widen(failure.what()).c_str(),
                    win32::Widen(kFrmMainDesign.Title).c_str(), MB_ICONERROR | MB_OK);
        return 1;
    }
}
