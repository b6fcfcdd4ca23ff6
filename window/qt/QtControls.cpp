#include "window/qt/QtControls.hpp"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

namespace almanoria {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQString(const QString& text) {
    return text.toStdString();
}

QString ShownText(std::string_view caption) {
    QString shown = ToQString(caption);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

void QtLabel::SetCaption(std::string_view caption) {
    mCaption = caption;
    mLabel->setText(ShownText(caption));
}

void QtCommandButton::SetCaption(std::string_view caption) {
    mCaption = caption;
    mButton->setText(ToQString(caption));
}

bool QtCommandButton::Enabled() const {
    return mButton->isEnabled();
}

void QtCommandButton::SetEnabled(bool enabled) {
    mButton->setEnabled(enabled);
}

void QtCommandButton::SetFocus() {
    mButton->setFocus(Qt::OtherFocusReason);
}

std::string QtTextBox::Text() const {
    return FromQString(mEdit->text());
}

void QtTextBox::SetText(std::string_view text) {
    mEdit->setText(ToQString(text));
    mEdit->setCursorPosition(0);
}

double QtTextBox::WidthInTwips() const {
    return mEdit->width() * mTwipsPerPixel;
}

void QtEventPump::DoEvents() {
    QCoreApplication::processEvents();
}

}  // namespace almanoria
