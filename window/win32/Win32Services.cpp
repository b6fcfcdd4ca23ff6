#include "window/win32/Win32Services.hpp"

#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "errors/Failure.hpp"
#include "platform/Folders.hpp"
#include "window/basCommonFunctions.hpp"
#include "window/win32/Win32Handles.hpp"
#include "window/win32/Win32Text.hpp"

namespace almanoria::win32 {

namespace {

// Longest name the dialog hands back, in UTF-16 units.
constexpr std::size_t kFileNameUnits = 32768;

// "label|pattern|label|pattern" as the dialog takes it: each piece ended by a zero, and one
// more zero at the end.
std::wstring DialogFilter(std::string_view filter) {
    std::wstring pieces = Widen(filter);
    std::replace(pieces.begin(), pieces.end(), L'|', L'\0');
    pieces.push_back(L'\0');
    pieces.push_back(L'\0');
    return pieces;
}

}  // namespace

void Win32EventPump::DoEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program's end belongs to the message loop, which sees it again.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!mWindow || !IsDialogMessageW(mWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

void Win32FileDialog::ShowOpen() {
    const std::wstring title = Widen(DialogTitle);
    const std::wstring initialFolder = Widen(InitDir);
    const std::wstring filter = DialogFilter(Filter);
    // The dialog wants the extension without its point.
    const std::wstring extension =
        Widen(!DefaultExt.empty() && DefaultExt.front() == '.' ? DefaultExt.substr(1) : DefaultExt);

    // The last chosen name starts the dialog where that file is, as the dialog control does.
    std::vector<wchar_t> fileName(kFileNameUnits, L'\0');
    const std::wstring previous = Widen(FileName);
    if (previous.size() < fileName.size())
        std::copy(previous.begin(), previous.end(), fileName.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = mOwner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.lpstrTitle = title.empty() ? nullptr : title.c_str();
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = static_cast<DWORD>(Flags);

    if (GetOpenFileNameW(&dialog)) {
        FileName = Narrow(fileName.data());
        return;
    }
    if (const DWORD error = CommDlgExtendedError(); error != 0) {
        throw Failure(ObjectErrorNumber(error),
                      "The file dialog could not be shown (common dialog error " +
                          std::to_string(error) + ").");
    }
    // Cancelled: no file chosen, so the caller changes nothing.
    FileName.clear();
}

void Win32DeviceContext::CompactPathInPlace(std::string& buffer, std::uint32_t pixels) {
    // The path as UTF-16 with its terminating zero, so that every character shows as it is. The
    // call may write up to MAX_PATH characters (an ellipsis is longer than a path of one or
    // two), so the buffer has room for them, while only the path's own length is read back.
    const std::wstring path = Widen(buffer);
    std::vector<wchar_t> characters(std::max<std::size_t>(path.size() + 1, MAX_PATH), L'\0');
    std::copy(path.begin(), path.end(), characters.begin());
    {
        const WindowDC surface(mWindow);
        const SelectedObject font(surface.Get(), mFont);
        RECT textArea{};
        if (mPathBox) {
            SendMessageW(mPathBox, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&textArea));
            const LONG room = textArea.right - textArea.left;
            if (room > 0) pixels = std::min(pixels, static_cast<std::uint32_t>(room));
        }
        PathCompactPathW(surface.Get(), characters.data(), pixels);

        const auto textWidth = [&](std::wstring_view text) {
            SIZE extent{};
            GetTextExtentPoint32W(surface.Get(), text.data(), static_cast<int>(text.size()),
                                  &extent);
            return static_cast<int>(extent.cx);
        };
        const std::wstring_view compacted(characters.data());
        if (textWidth(compacted) > static_cast<long long>(pixels)) {
            // The shell never cuts into "...\" and the file name, however narrow the box.
            const std::wstring shortened = Widen(ShortenPath(
                buffer, pixels, [&](std::string_view text) { return textWidth(Widen(text)); }));
            // Only the path's own length is read back: a cut no shorter in UTF-16 (three dots in
            // place of one character of three UTF-8 bytes) would overrun it, so the shell's stays.
            if (shortened.size() < path.size()) {
                std::fill(characters.begin(), characters.end(), L'\0');
                std::copy(shortened.begin(), shortened.end(), characters.begin());
            }
        }
    }
    buffer = Narrow(std::wstring_view(characters.data(), path.size()));
}

bool Win32FormPlatform::FileExists(const std::string& path) const {
    if (path.empty()) return false;
    WIN32_FIND_DATAW entry{};
    const FindHandle listing(FindFirstFileW(Widen(path).c_str(), &entry));
    if (!listing.Found()) return false;
    constexpr DWORD kNotPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((entry.dwFileAttributes & kNotPlain) == 0) return true;
    } while (FindNextFileW(listing.Get(), &entry));
    return false;
}

std::string Win32FormPlatform::ProgramDirectory() const {
    return Narrow(ProgramFolder().wstring());
}

std::vector<std::string> Win32FormPlatform::ProgramFilesFolders() const {
    std::vector<std::string> folders;
    for (const int csidl : {CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES}) {
        // A folder the shell cannot name gives no place to look.
        const std::filesystem::path folder = ShellFolder(csidl);
        if (!folder.empty()) folders.push_back(Narrow(folder.wstring()));
    }
    return folders;
}

void Win32FormPlatform::Unload() {
    if (mWindow) DestroyWindow(mWindow);
}

void Win32MessageBox::ShowInformation(std::string_view text, std::string_view title) {
    MessageBoxW(mOwner, Widen(text).c_str(), Widen(title).c_str(), MB_ICONINFORMATION | MB_OK);
}

int ScreenDpi() {
    const WindowDC screen(nullptr);
    const int dpi = GetDeviceCaps(screen.Get(), LOGPIXELSX);
    return dpi > 0 ? dpi : 96;
}

}  // namespace almanoria::win32
