#pragma once

#include <string>
#include <string_view>

#include "errors/BasicTypes.hpp"
#include "platform/PlatformServices.hpp"

namespace almanoria {

// The current error: what a trapped failure leaves behind for HandleError.
struct ErrObject {
    Long Number = 0;
    std::string Description;
    Long Line = 0;  // the statement of the trapping procedure that was running

    // Inside a catch block: the failure in flight becomes the current error, at that statement.
    void Catch(Long line);
    void Clear() { *this = ErrObject{}; }
};

// Reports failures: appends them to error.log in the program's folder and shows them in a box.
//
// Every procedure that does work traps its own failures in this shape, so that the statement
// numbers in its body match the lines a report gives:
//
//     Long erl = 10;  // the trap; a failure below continues at the handler
//     try {
//         erl = 20; ...
//     } catch (...) {
//         mErrors.Err.Catch(erl);
//         mErrors.HandleError("module.Procedure", vbTrue, "", vbFalse);  // 110
//         return vbFalse;                                                 // 120
//     }
//
// A procedure without a trap lets its failures travel to its caller's, whose erl still holds
// the number of the calling statement.
class basErrorHandler {
  public:
    basErrorHandler(MessageBoxService& messageBox, const ClockService& clock, ProgramInfo program);

    ErrObject Err;

    // Logs when logFlag is exactly -1, shows the box when silentFlag is exactly 0, then clears
    // the current error. Never fails: a log that cannot be written still gets its box.
    void HandleError(std::string_view procedureName, Boolean logFlag, std::string_view extraText,
                     Boolean silentFlag) noexcept;

    std::filesystem::path LogPath() const { return mProgram.Directory / "error.log"; }

  private:
    std::string MessageText(std::string_view procedureName, std::string_view extraText) const;
    std::string LogEntry(std::string_view procedureName) const;
    void AppendToLog(std::string_view entry) const;

    MessageBoxService& mMessageBox;
    const ClockService& mClock;
    ProgramInfo mProgram;
};

}  // namespace almanoria
