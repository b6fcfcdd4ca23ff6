#include "window/qt/QtFormServices.hpp"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>

#include "platform/Folders.hpp"
#include "window/basCommonFunctions.hpp"
#include "window/qt/QtControls.hpp"

namespace almanoria {

double ScreenTwipsPerPixel() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || screen->logicalDotsPerInchX() <= 0) return 15.0;
    return 1440.0 / screen->logicalDotsPerInchX();
}

QStringList NameFilters(std::string_view filter) {
    const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype at = 0; at + 1 < parts.size(); at += 2) {
        const QString& label = parts[at];
        const QString patterns = QString(parts[at + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString named = QLatin1Char('(') + patterns + QLatin1Char(')');
        filters.append(label.endsWith(named) ? label : label + QLatin1Char(' ') + named);
    }
    return filters;
}

void ConfigureFileDialog(QFileDialog& fileDialog, const CommonDialog& properties) {
    fileDialog.setWindowTitle(ToQString(properties.DialogTitle));
    fileDialog.setDirectory(ToQString(properties.InitDir));
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog.setFileMode((properties.Flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                                       : QFileDialog::AnyFile);
    QString suffix = ToQString(properties.DefaultExt);
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    fileDialog.setDefaultSuffix(suffix);
    const QStringList filters = NameFilters(properties.Filter);
    if (!filters.isEmpty()) fileDialog.setNameFilters(filters);
}

void QtCommonDialog::ShowOpen() {
    QFileDialog fileDialog(&mOwner);
    fileDialog.setModal(true);
    ConfigureFileDialog(fileDialog, *this);
    const bool chosen = fileDialog.exec() == QDialog::Accepted;
    const QStringList files = fileDialog.selectedFiles();
    FileName = chosen && !files.isEmpty() ? FromQString(files.front()) : std::string();
}

void QtDeviceContext::CompactPathInPlace(std::string& buffer, std::uint32_t pixels) {
    const QFontMetrics metrics(mWindow.font());
    const std::string shortened = ShortenPath(buffer, pixels, [&](std::string_view text) {
        return metrics.horizontalAdvance(ToQString(text));
    });
    if (shortened == buffer || shortened.size() > buffer.size()) return;
    buffer.replace(0, shortened.size(), shortened);
    // A shortened path as long as the buffer has its zero just past the end.
    if (shortened.size() < buffer.size()) buffer[shortened.size()] = '\0';
}

bool QtFormPlatform::FileExists(const std::string& path) const {
    if (path.empty()) return false;
    const QFileInfo file(ToQString(path));
    return file.isFile() && !file.isHidden();
}

std::string QtFormPlatform::ProgramDirectory() const {
    return ProgramFolder().string();
}

void QtFormPlatform::Unload() {
    mWindow.close();
}

void QtMessageBox::ShowInformation(std::string_view text, std::string_view title) {
    QMessageBox box(QMessageBox::Information, ToQString(title), ShownText(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace almanoria
