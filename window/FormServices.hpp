#pragma once

// What frmMain takes from its window toolkit and platform besides the controls.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "errors/BasicTypes.hpp"

namespace almanoria {

inline constexpr Long OFN_FILEMUSTEXIST = 0x1000;
inline constexpr Long OFN_EXPLORER = 0x80000;

// The file-open dialog, used as the common dialog control is: set its properties, ShowOpen,
// read FileName back.
class CommonDialog {
  public:
    virtual ~CommonDialog() = default;
    std::string DialogTitle;
    std::string InitDir;
    bool CancelError = false;  // always false: a cancel leaves FileName empty
    std::string DefaultExt;
    std::string Filter;  // "label|pattern" pairs, joined by "|"
    Long Flags = 0;
    std::string FileName;  // the chosen file's full path; empty when none was chosen
    // Shows the modal dialog and returns when the user confirms or cancels.
    virtual void ShowOpen() = 0;
};

// The drawing surface of the window, for fitting the path into the path box.
class DeviceContext {
  public:
    virtual ~DeviceContext() = default;
    // The screen's horizontal twips per pixel: 15 at 96 dots per inch, 12 at 120.
    virtual double TwipsPerPixelX() const = 0;
    // Rewrites path in place so that it fits the width when drawn in the window's font: the
    // shortened path and a zero character, or the buffer untouched when the path fits.
    virtual void CompactPathInPlace(std::string& buffer, std::uint32_t pixels) = 0;
};

class FormPlatform {
  public:
    virtual ~FormPlatform() = default;
    // A listing of exactly that path finds a plain file: hidden and system files and
    // folders do not count.
    virtual bool FileExists(const std::string& path) const = 0;
    virtual std::string ProgramDirectory() const = 0;
    // The folders the system names for installed programs, in the order the calendar is looked
    // for there when the default path holds nothing: on 64-bit Windows the 32-bit programs'
    // folder first. None where the default path is the only place.
    virtual std::vector<std::string> ProgramFilesFolders() const { return {}; }
    // Closes frmMain, which ends the program.
    virtual void Unload() = 0;
};

}  // namespace almanoria
