// form_design: frmMain's design as the program builds its window from it, for the Wine
// end-to-end test to judge the window by, with line breaks and tabs escaped as \r, \n and \t:
//   title|text                 the window's title
//   client|width|height        the client area, in twips
//   control|id|name|kind|left|top|width|height|caption    one line per control, in tab order
//   tooltip|text               the path box's tooltip
//   text|name|text             the texts the message label and the next button take
//   dialog|title|text, dialog|filter|text    the file dialog Browse opens
//   product|name               the product's name, which is also the calendar's folder

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/Folders.hpp"
#include "window/FormDesign.hpp"

namespace {

std::string Escaped(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

const char* KindName(almanoria::ControlKind kind) {
    switch (kind) {
        case almanoria::ControlKind::PictureBox:
            return "picture";
        case almanoria::ControlKind::Label:
            return "label";
        case almanoria::ControlKind::TextBox:
            return "textbox";
        case almanoria::ControlKind::CommandButton:
            return "button";
    }
    return "?";
}

void Print(std::string_view key, std::string_view text) {
    std::printf("%.*s|%s\n", static_cast<int>(key.size()), key.data(), Escaped(text).c_str());
}

}  // namespace

int main() {
    using namespace almanoria;
    const FormDesign& design = kFrmMainDesign;
    Print("title", design.Title);
    std::printf("client|%d|%d\n", design.ClientWidth, design.ClientHeight);
    for (const ControlDesign* control : design.Controls()) {
        const TwipsRect& rect = control->Rect;
        std::printf("control|%d|%s|%s|%d|%d|%d|%d|%s\n", ControlId(*control),
                    std::string(control->Name).c_str(), KindName(control->Kind), rect.Left,
                    rect.Top, rect.Width, rect.Height, Escaped(control->Caption).c_str());
    }
    Print("tooltip", design.PathBoxToolTip);
    Print("picturename", design.PictureName);
    Print("text|ready", ReadyText());
    Print("text|notfound", NotFoundText());
    Print("text|wait", kWaitText);
    Print("text|finished", kCompletedText);
    Print("text|finish", kFinishCaption);
    Print("dialog|title", kBrowseDialogTitle);
    Print("dialog|filter", kBrowseDialogFilter);
    Print("product", kProductName);
    return 0;
}
