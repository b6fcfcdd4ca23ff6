#pragma once

// Controls that only keep their state, for running the update without a window: the tests,
// the benchmark and the crash tests drive the real logic through these.

#include <functional>
#include <string>

#include "window/Controls.hpp"

namespace almanoria {

class HeadlessLabel final : public Label {
  public:
    std::string Caption() const override { return mCaption; }
    void SetCaption(std::string_view caption) override { mCaption = caption; }

  private:
    std::string mCaption;
};

class HeadlessButton final : public CommandButton {
  public:
    explicit HeadlessButton(std::string caption = "") : mCaption(std::move(caption)) {}
    std::string Caption() const override { return mCaption; }
    void SetCaption(std::string_view caption) override { mCaption = caption; }
    bool Enabled() const override { return mEnabled; }
    void SetEnabled(bool enabled) override { mEnabled = enabled; }
    // Without a window there is no keyboard focus to move.
    void SetFocus() override {}

  private:
    std::string mCaption;
    bool mEnabled = true;
};

class HeadlessTextBox final : public TextBox {
  public:
    explicit HeadlessTextBox(double widthInTwips) : mWidth(widthInTwips) {}
    std::string Text() const override { return mText; }
    void SetText(std::string_view text) override { mText = text; }
    double WidthInTwips() const override { return mWidth; }

  private:
    std::string mText;
    double mWidth;
};

// A message loop with nothing pending; a test may hand it what the yield should dispatch.
class HeadlessEventPump final : public EventPump {
  public:
    void DoEvents() override {
        ++Yields;
        if (Pending) Pending();
    }
    int Yields = 0;
    std::function<void()> Pending;
};

}  // namespace almanoria
