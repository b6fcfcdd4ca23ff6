#pragma once

// The design of frmMain and the texts its logic shows, written once: each front end builds its
// controls from it and the Wine test reads it as form_design prints it. Places and sizes are in
// twips from the top left corner of the client area.

#include <array>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "errors/BasicTypes.hpp"
#include "platform/Folders.hpp"
#include "yeardata/basUpdate.hpp"

namespace almanoria {

struct TwipsRect {
    int Left;
    int Top;
    int Width;
    int Height;
};

enum class ControlKind { PictureBox, Label, TextBox, CommandButton };

struct ControlDesign {
    std::string_view Name;
    ControlKind Kind;
    TwipsRect Rect;
    std::string_view Caption;  // the text at design time; "&" marks the access key
    int TabIndex;
    // A label whose text wraps at its width and honours line breaks.
    bool MultiLine = false;
};

struct FormDesign {
    std::string_view Title;
    int ClientWidth;
    int ClientHeight;
    ControlDesign Picture1;
    ControlDesign lblUpdate;
    ControlDesign lblDatabaseFile;
    ControlDesign txtDatabaseFile;
    ControlDesign cmdBrowse;
    ControlDesign cmdCancel;
    ControlDesign cmdButton1;
    std::string_view PathBoxToolTip;
    // What assistive technology calls the picture, which has no caption.
    std::string_view PictureName;

    // The controls in tab order, which is also the order they are made in.
    constexpr std::array<const ControlDesign*, 7> Controls() const {
        return {&Picture1,  &lblUpdate, &lblDatabaseFile, &txtDatabaseFile,
                &cmdBrowse, &cmdCancel, &cmdButton1};
    }
};

inline constexpr FormDesign kFrmMainDesign{
    "Almanoria Calendar Update",
    6825,
    2985,
    {"Picture1", ControlKind::PictureBox, {60, 120, 735, 675}, "", 0},
    {"lblUpdate", ControlKind::Label, {960, 120, 5655, 1155}, "Label1", 1, true},
    {"lblDatabaseFile", ControlKind::Label, {120, 1500, 1815, 255}, "Almanoria &database file:", 2},
    {"txtDatabaseFile", ControlKind::TextBox, {120, 1740, 5595, 315}, "", 3},
    {"cmdBrowse", ControlKind::CommandButton, {5820, 1700, 855, 375}, "&Browse...", 4},
    {"cmdCancel", ControlKind::CommandButton, {4500, 2460, 975, 375}, "Cancel", 5},
    {"cmdButton1", ControlKind::CommandButton, {5700, 2460, 975, 375}, "Next >", 6},
    "Enter the file name of the old QEX database file.",
    kProductName,
};

static_assert(
    [] {
        const auto controls = kFrmMainDesign.Controls();
        for (std::size_t at = 0; at < controls.size(); ++at) {
            if (controls[at]->TabIndex != static_cast<int>(at)) return false;
        }
        return true;
    }(),
    "Controls() gives the controls in tab order");

// The window's title: the design's, and for any year but the stored one the year it writes.
inline std::string WindowTitle(int year) {
    std::string title(kFrmMainDesign.Title);
    if (year != kStoredYear) title += " for " + std::to_string(year);
    return title;
}

// The texts EnableUpdate and the update run show in lblUpdate, and cmdButton1's captions: Next
// at design time, Finish once the run has completed, which the next press compares.
inline constexpr const char* kFirstLine =
    "The Almanoria Calendar Update will update your Almanoria Calendar database. ";

inline std::string ReadyText() {
    return std::string(kFirstLine) + vbCrLf + "Please click Next to begin the update." + vbCrLf +
           vbCrLf + "To update a different database file than the one displayed below, " +
           "click the Browse and select the file to update.";
}

inline std::string NotFoundText() {
    return std::string(kFirstLine) + vbCrLf + vbCrLf +
           "The Almanoria database file is not installed in the default directory." + vbCrLf +
           "Click the Browse button to find the database file yourself.";
}

inline constexpr const char* kWaitText = "Updating the database...please wait.";
inline constexpr const char* kCompletedText =
    "Update completed!  Please click Finish to end the update.";
inline constexpr std::string_view kNextCaption = kFrmMainDesign.cmdButton1.Caption;
inline constexpr const char* kFinishCaption = "Finish";

// The file dialog Browse opens: its title, and its filter as "name|pattern".
inline constexpr const char* kBrowseDialogTitle = "Select Almanoria Database File";
inline constexpr const char* kBrowseDialogFilter = "Database Files (*.mdb)|*.mdb";

// The window's places and sizes in pixels: each twips value to the nearest whole pixel, halves
// away from zero (5700 twips are 380 pixels at 15 twips a pixel, 475 at 12). The path box's
// width for the shortened path keeps a rule of its own, PathWidthPixels.
inline int LayoutPixels(int twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

// The number a window system knows a control by: its tab index past 100, clear of the numbers
// IDOK and IDCANCEL that the dialog keys send on their own.
constexpr int ControlId(const ControlDesign& control) {
    return 100 + control.TabIndex;
}

}  // namespace almanoria
