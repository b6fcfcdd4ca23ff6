#include "window/qt/QtFrmMain.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <utility>

#include "window/qt/DesignFont.hpp"
#include "window/qt/TwipsLayout.hpp"

// The artwork lives in a static library, so it is registered by hand.
static void RegisterArtwork() {
    Q_INIT_RESOURCE(artwork);
}

namespace almanoria {

namespace {

constexpr const FormDesign& kDesign = kFrmMainDesign;

QIcon ProgramIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/artwork/calendar32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/artwork/calendar16.png"), QSize(16, 16));
    return icon;
}

// What a push button's bevel and a line edit's frame take from the text's room, in pixels.
constexpr QSize kButtonBevel{6, 4};
constexpr QSize kLineEditFrame{6, 6};

// Every text the window shows, each in the room of its control.
std::vector<TextRoom> DesignTexts(double twipsPerPixel) {
    const auto room = [twipsPerPixel](const ControlDesign& control, QSize less = QSize(0, 0)) {
        return ToPixels(control.Rect, twipsPerPixel).size() - less;
    };
    return {
        {ShownText(ReadyText()), room(kDesign.lblUpdate), true},
        {ShownText(NotFoundText()), room(kDesign.lblUpdate), true},
        {ShownText(kWaitText), room(kDesign.lblUpdate), true},
        {ShownText(kCompletedText), room(kDesign.lblUpdate), true},
        {ToQString(kDesign.lblDatabaseFile.Caption), room(kDesign.lblDatabaseFile)},
        {QStringLiteral("Ag"), room(kDesign.txtDatabaseFile, kLineEditFrame)},
        {ToQString(kDesign.cmdBrowse.Caption), room(kDesign.cmdBrowse, kButtonBevel)},
        {ToQString(kDesign.cmdCancel.Caption), room(kDesign.cmdCancel, kButtonBevel)},
        {ToQString(kDesign.cmdButton1.Caption), room(kDesign.cmdButton1, kButtonBevel)},
        {ToQString(kFinishCaption), room(kDesign.cmdButton1, kButtonBevel)},
    };
}

double DesktopFontScale(double twipsPerPixel) {
    return LayoutScale(QApplication::font(), [twipsPerPixel](double scale) {
        return DesignTexts(twipsPerPixel / scale);
    });
}

}  // namespace

QtFrmMain::QtFrmMain(basErrorHandler& errors, basDatabase& database, double twipsPerPixel,
                     CommonDialog* fileDialog, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      mScale(DesktopFontScale(twipsPerPixel)),
      mTwipsPerPixel(twipsPerPixel / mScale),
      mPicture1(new QLabel(this)),
      mLblUpdate(new QLabel(this)),
      mLblDatabaseFile(new QLabel(this)),
      // The path is fitted in the screen's twips: a window grown for a large font is larger
      // in twips too.
      mTxtDatabaseFile(new QLineEdit(this), twipsPerPixel),
      mCmdBrowse(new QPushButton(this)),
      mCmdCancel(new QPushButton(this)),
      mCmdButton1(new QPushButton(this)),
      mFileDialog(*this),
      mDeviceContext(*this, twipsPerPixel),
      mPlatform(*this),
      mForm({mLblUpdate, mLblDatabaseFile, mTxtDatabaseFile, mCmdBrowse, mCmdCancel, mCmdButton1},
            fileDialog != nullptr ? *fileDialog : mFileDialog, mDeviceContext, mPlatform, mEvents,
            errors, database) {
    RegisterArtwork();
    LayOut();
    connect(mCmdBrowse.Widget(), &QPushButton::clicked, this, &QtFrmMain::cmdBrowse_Click);
    connect(mCmdCancel.Widget(), &QPushButton::clicked, this, &QtFrmMain::cmdCancel_Click);
    connect(mCmdButton1.Widget(), &QPushButton::clicked, this, &QtFrmMain::cmdButton1_Click);
    mForm.Form_Load();
    mForm.FocusNextStep();
}

void QtFrmMain::LayOut() {
    setWindowTitle(ToQString(kDesign.Title));
    setWindowIcon(ProgramIcon());
    setFixedSize(ToPixels(kDesign.ClientWidth, kDesign.ClientHeight, mTwipsPerPixel));
    // The controls and the path display take this font too. A larger one has grown the
    // window instead.
    if (mScale == 1.0) setFont(FontThatFits(font(), DesignTexts(mTwipsPerPixel)));

    // Each widget with its design, in the order the widgets were made.
    const std::array<std::pair<QWidget*, const ControlDesign*>, 7> controls{{
        {mPicture1, &kDesign.Picture1},
        {mLblUpdate.Widget(), &kDesign.lblUpdate},
        {mLblDatabaseFile.Widget(), &kDesign.lblDatabaseFile},
        {mTxtDatabaseFile.Widget(), &kDesign.txtDatabaseFile},
        {mCmdBrowse.Widget(), &kDesign.cmdBrowse},
        {mCmdCancel.Widget(), &kDesign.cmdCancel},
        {mCmdButton1.Widget(), &kDesign.cmdButton1},
    }};
    for (const auto& [widget, design] : controls) {
        widget->setObjectName(ToQString(design->Name));
        widget->setGeometry(ToPixels(design->Rect, mTwipsPerPixel));
    }
    auto inTabOrder = controls;
    std::sort(inTabOrder.begin(), inTabOrder.end(), [](const auto& one, const auto& other) {
        return one.second->TabIndex < other.second->TabIndex;
    });
    for (std::size_t at = 1; at < inTabOrder.size(); ++at) {
        QWidget::setTabOrder(inTabOrder[at - 1].first, inTabOrder[at].first);
    }

    mPicture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mPicture1->setPixmap(QPixmap(QStringLiteral(":/artwork/calendar48.png")));
    mPicture1->setAccessibleName(ToQString(kDesign.PictureName));

    const auto setUpLabel = [](QtLabel& label, const ControlDesign& design) {
        label.Widget()->setTextFormat(Qt::PlainText);
        label.Widget()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label.Widget()->setWordWrap(design.MultiLine);
        label.SetCaption(std::string(design.Caption));
    };
    setUpLabel(mLblUpdate, kDesign.lblUpdate);
    setUpLabel(mLblDatabaseFile, kDesign.lblDatabaseFile);
    // The path box follows the label in tab order, so Alt+D goes there.
    mLblDatabaseFile.Widget()->setBuddy(mTxtDatabaseFile.Widget());

    mTxtDatabaseFile.Widget()->setToolTip(ToQString(kDesign.PathBoxToolTip));
    // Nothing reads what would be typed there; its text can still be selected and copied.
    mTxtDatabaseFile.Widget()->setReadOnly(true);

    const auto setUpButton = [](QtCommandButton& button, const ControlDesign& design) {
        // Enter presses the focused button, as Space does.
        button.Widget()->setAutoDefault(true);
        button.SetCaption(std::string(design.Caption));
    };
    setUpButton(mCmdBrowse, kDesign.cmdBrowse);
    setUpButton(mCmdCancel, kDesign.cmdCancel);
    setUpButton(mCmdButton1, kDesign.cmdButton1);
    // Next, and Finish once the same button reads so, is what Enter presses elsewhere.
    mCmdButton1.Widget()->setDefault(true);
}

void QtFrmMain::reject() {
    if (mCmdCancel.Enabled()) mCmdCancel.Widget()->click();
}

void QtFrmMain::DescribeNextStep() {
    mCmdButton1.Widget()->setAccessibleDescription(
        mCmdButton1.Caption() == kFinishCaption ? ShownText(mLblUpdate.Caption()) : QString());
}

void QtFrmMain::closeEvent(QCloseEvent* event) {
    if (mForm.QueryClose()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void QtFrmMain::cmdBrowse_Click() {
    mForm.cmdBrowse_Click();
    DescribeNextStep();
}

void QtFrmMain::cmdButton1_Click() {
    mForm.cmdButton1_Click();
    if (!isVisible()) return;
    DescribeNextStep();
    // The button disabled itself for the run and the focus went on: it comes back to Finish,
    // or to Browse after a run that failed.
    mForm.FocusNextStep();
}

void QtFrmMain::cmdCancel_Click() {
    mForm.cmdCancel_Click();
}

}  // namespace almanoria
