#pragma once

#include <QWidget>

#include "window/frmMain.hpp"
#include "window/qt/QtControls.hpp"
#include "window/qt/QtFormServices.hpp"

class QCloseEvent;
class QLabel;

namespace almanoria {

// The wizard window on Qt: draws the seven controls where the layout in twips puts them,
// forwards their clicks to frmMain and provides its services. frmMain's Form_Load runs in the
// constructor, before the window is first shown.
class QtFrmMain final : public QWidget {
    Q_OBJECT

  public:
    // twipsPerPixel: the screen's, or another to lay the window out for another resolution.
    // fileDialog: what the browse button opens; the Qt file dialog when none is given.
    QtFrmMain(basErrorHandler& errors, basDatabase& database,
              double twipsPerPixel = ScreenTwipsPerPixel(), CommonDialog* fileDialog = nullptr,
              QWidget* parent = nullptr);

    frmMain& Form() { return mForm; }
    double TwipsPerPixel() const { return mTwipsPerPixel; }

  protected:
    // The title bar's close box: refused while the update run is under way, which then
    // closes the window when it returns.
    void closeEvent(QCloseEvent* event) override;

  private:
    void LayOut();
    void cmdBrowse_Click();
    void cmdButton1_Click();
    void cmdCancel_Click();

    double mTwipsPerPixel;
    // Made in tab order, which becomes their focus order.
    QLabel* mPicture1;
    QtLabel mLblUpdate;
    QtLabel mLblDatabaseFile;
    QtTextBox mTxtDatabaseFile;
    QtCommandButton mCmdBrowse;
    QtCommandButton mCmdCancel;
    QtCommandButton mCmdButton1;
    QtEventPump mEvents;
    QtCommonDialog mFileDialog;
    QtDeviceContext mDeviceContext;
    QtFormPlatform mPlatform;
    frmMain mForm;
};

}  // namespace almanoria
