#pragma once

// The design of frmMain, written once: each front end builds its controls from it and the Wine
// test reads it as form_design prints it. Places and sizes are in twips from the top left corner
// of the client area.

#include <array>
#include <cstddef>
#include <string_view>

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
    "Almanoria Desktop Calendar",
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

// The number a window system knows a control by: its tab index past 100, clear of the numbers
// IDOK and IDCANCEL that the dialog keys send on their own.
constexpr int ControlId(const ControlDesign& control) {
    return 100 + control.TabIndex;
}

}  // namespace almanoria
