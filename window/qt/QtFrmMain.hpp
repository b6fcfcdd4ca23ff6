#pragma once

#include <QDialog>

#include "window/frmMain.hpp"
#include "window/qt/QtControls.hpp"
#include "window/qt/QtFormServices.hpp"

class QCloseEvent;
class QLabel;

namespace almanoria {

class TypeAheadGuard;

// The wizard window on Qt: draws the seven controls where the layout in twips puts them,
// forwards their clicks to frmMain and provides its services. frmMain's Form_Load runs in the
// constructor, before the window is first shown. A dialog, so that a screen reader reads its
// texts when it appears and the keys work as in every dialog: Enter presses the default
// button, Next or Finish, and Escape the cancel button.
class QtFrmMain final : public QDialog {
    Q_OBJECT

  public:
    // year: the one the update writes, named in the title unless it is the stored one.
    // twipsPerPixel: the screen's, or another to lay the window out for another resolution;
    // a desktop font larger than the design's makes the window larger still (LayoutScale).
    // fileDialog: what the browse button opens; the Qt file dialog when none is given.
    QtFrmMain(basErrorHandler& errors, basDatabase& database, int year,
              double twipsPerPixel = ScreenTwipsPerPixel(), CommonDialog* fileDialog = nullptr,
              QWidget* parent = nullptr);

    // Escape and the close of a dialog: the cancel button while it can be pressed.
    void reject() override;

  protected:
    // The title bar's close box: refused while the update run is under way, which then
    // closes the window when it returns.
    void closeEvent(QCloseEvent* event) override;
    // While the run holds the thread the focus goes nowhere: Next, disabled for the run,
    // would hand it to the path box, which a screen reader would then read out.
    bool focusNextPrevChild(bool next) override;

  private:
    void LayOut();
    void cmdBrowse_Click();
    void cmdButton1_Click();
    void cmdCancel_Click();
    // What a screen reader hears from the next/finish button: once it reads "Finish", the
    // completion it stands for, since the label that shows it has no focus. The completion
    // notice shows then too, so that the completion is spoken when the run ends: the focus
    // is back on the button it left, which a screen reader does not read again.
    void DescribeNextStep();

    int mYear;
    double mScale;
    double mTwipsPerPixel;
    // Made in tab order, which becomes their focus order.
    QLabel* mPicture1;
    QtLabel mLblUpdate;
    QtLabel mLblDatabaseFile;
    QtTextBox mTxtDatabaseFile;
    QtCommandButton mCmdBrowse;
    QtCommandButton mCmdCancel;
    QtCommandButton mCmdButton1;
    // The completion for assistive technology alone: a notification within the message label,
    // shown when the run has completed; it draws nothing and takes no focus.
    QWidget* mCompletionNotice;
    // While the update run holds the thread.
    bool mRunHoldsTheThread = false;
    // Keys and clicks that came during the run do not press Finish, or anything else, unseen.
    TypeAheadGuard* mTypeAhead;
    QtEventPump mEvents;
    QtCommonDialog mFileDialog;
    QtDeviceContext mDeviceContext;
    QtFormPlatform mPlatform;
    frmMain mForm;
};

}  // namespace almanoria
