#pragma once

// The controls of frmMain over Qt widgets. The widgets belong to the window; these only
// forward what the window's logic asks of them.

#include <string>
#include <string_view>

#include "window/Controls.hpp"

class QLabel;
class QLineEdit;
class QPushButton;
class QString;

namespace almanoria {

// The window's one conversion between the program's UTF-8 and Qt's text, each way.
QString ToQString(std::string_view text);
std::string FromQString(const QString& text);
// A caption as a label draws it: CR LF, or a lone CR, breaks the line.
QString ShownText(std::string_view caption);

class QtLabel final : public Label {
  public:
    explicit QtLabel(QLabel* label) : mLabel(label) {}

    // The caption exactly as it was set, CR LF included.
    std::string Caption() const override { return mCaption; }
    // Shows CR LF as a line break, so that an empty line stays empty.
    void SetCaption(std::string_view caption) override;

    QLabel* Widget() const { return mLabel; }

  private:
    QLabel* mLabel;
    std::string mCaption;
};

class QtCommandButton final : public CommandButton {
  public:
    explicit QtCommandButton(QPushButton* button) : mButton(button) {}

    // The caption exactly as it was set: some desktops put "&" accelerators into the
    // widget's text, and the wizard's step is read from the caption.
    std::string Caption() const override { return mCaption; }
    void SetCaption(std::string_view caption) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    void SetFocus() override;

    QPushButton* Widget() const { return mButton; }

  private:
    QPushButton* mButton;
    std::string mCaption;
};

class QtTextBox final : public TextBox {
  public:
    QtTextBox(QLineEdit* edit, double twipsPerPixel) : mEdit(edit), mTwipsPerPixel(twipsPerPixel) {}

    std::string Text() const override;
    // Shows the text from its start, as a text box does, not scrolled to its end.
    void SetText(std::string_view text) override;
    double WidthInTwips() const override;

    QLineEdit* Widget() const { return mEdit; }

  private:
    QLineEdit* mEdit;
    double mTwipsPerPixel;
};

class QtEventPump final : public EventPump {
  public:
    void DoEvents() override;
};

}  // namespace almanoria
