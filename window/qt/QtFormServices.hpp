#pragma once

// The platform services of frmMain and of the error handler, on Qt.

#include <QStringList>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/PlatformServices.hpp"
#include "window/FormServices.hpp"

class QFileDialog;
class QWidget;

namespace almanoria {

// The screen's twips per pixel, 1440 / its logical dots per inch: 15 at 96, 12 at 120.
double ScreenTwipsPerPixel();

// "label|pattern|label|pattern" as Qt writes filters: "label (patterns)" each, the patterns
// joined by blanks. A label that already names its patterns is kept as it is.
QStringList NameFilters(std::string_view filter);

// Sets a file dialog up from the properties of the common dialog.
void ConfigureFileDialog(QFileDialog& fileDialog, const CommonDialog& properties);

// The file-open dialog, modal on the window that owns it.
class QtCommonDialog final : public CommonDialog {
  public:
    explicit QtCommonDialog(QWidget& owner) : mOwner(owner) {}
    // FileName is the chosen file's full path, or empty when the dialog was cancelled.
    void ShowOpen() override;

  private:
    QWidget& mOwner;
};

// Measures in the font of the window, as its path box draws.
class QtDeviceContext final : public DeviceContext {
  public:
    QtDeviceContext(const QWidget& window, double twipsPerPixel)
        : mWindow(window), mTwipsPerPixel(twipsPerPixel) {}

    double TwipsPerPixelX() const override { return mTwipsPerPixel; }
    void CompactPathInPlace(std::string& buffer, std::uint32_t pixels) override;

  private:
    const QWidget& mWindow;
    double mTwipsPerPixel;
};

class QtFormPlatform final : public FormPlatform {
  public:
    explicit QtFormPlatform(QWidget& window) : mWindow(window) {}

    bool FileExists(const std::string& path) const override;
    // The folder of the running executable.
    std::string ProgramDirectory() const override;
    // Closes the window; the program ends when its last window is gone.
    void Unload() override;

  private:
    QWidget& mWindow;
};

class QtMessageBox final : public MessageBoxService {
  public:
    void ShowInformation(std::string_view text, std::string_view title) override;
};

}  // namespace almanoria
