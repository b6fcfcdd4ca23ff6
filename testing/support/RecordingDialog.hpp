#pragma once

// The file dialog of both frmMain suites, the headless and the Qt one. Apart from
// TestSupport.hpp because the dialog's flag names are macros of windows.h.

#include <string>

#include "window/FormServices.hpp"

namespace almanoria::testing {

// A file dialog that answers what the test says and keeps what it was set up with when shown.
class RecordingDialog final : public CommonDialog {
  public:
    void ShowOpen() override {
        ++Opened;
        SeenTitle = DialogTitle;
        SeenInitDir = InitDir;
        SeenFilter = Filter;
        SeenDefaultExt = DefaultExt;
        SeenFlags = Flags;
        FileName = Answer;
    }
    std::string Answer;
    int Opened = 0;
    std::string SeenTitle;
    std::string SeenInitDir;
    std::string SeenFilter;
    std::string SeenDefaultExt;
    Long SeenFlags = 0;
};

}  // namespace almanoria::testing
