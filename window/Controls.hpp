#pragma once

// The controls of frmMain as the window's logic sees them. Each window toolkit implements
// these over its own widgets; the logic never sees a toolkit type.

#include <string>
#include <string_view>

namespace almanoria {

class Label {
  public:
    virtual ~Label() = default;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(std::string_view caption) = 0;
};

class CommandButton {
  public:
    virtual ~CommandButton() = default;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(std::string_view caption) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Gives the button the keyboard focus, as the window's dialog manager moves it.
    virtual void SetFocus() = 0;
};

class TextBox {
  public:
    virtual ~TextBox() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(std::string_view text) = 0;
    virtual double WidthInTwips() const = 0;
};

// The window system's message loop, for the update run's one yield.
class EventPump {
  public:
    virtual ~EventPump() = default;
    // Dispatches every pending window message once, then returns.
    virtual void DoEvents() = 0;
};

}  // namespace almanoria
