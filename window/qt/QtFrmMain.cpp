#include "window/qt/QtFrmMain.hpp"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "window/qt/DesignFont.hpp"
#include "window/qt/TwipsLayout.hpp"

// The artwork lives in a static library, so it is registered by hand.
static void RegisterArtwork() {
    Q_INIT_RESOURCE(artwork);
}

namespace almanoria {

namespace {

constexpr int kClientWidth = 6825;
constexpr int kClientHeight = 2985;

constexpr TwipsRect kPicture1{60, 120, 735, 675};
constexpr TwipsRect kLblUpdate{960, 120, 5655, 1155};
constexpr TwipsRect kLblDatabaseFile{120, 1500, 1815, 255};
constexpr TwipsRect kTxtDatabaseFile{120, 1740, 5595, 315};
constexpr TwipsRect kCmdBrowse{5820, 1700, 855, 375};
constexpr TwipsRect kCmdCancel{4500, 2460, 975, 375};
constexpr TwipsRect kCmdButton1{5700, 2460, 975, 375};

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
    const auto room = [twipsPerPixel](const TwipsRect& rect, QSize less = QSize(0, 0)) {
        return ToPixels(rect, twipsPerPixel).size() - less;
    };
    return {
        {ShownText(ReadyText()), room(kLblUpdate), true},
        {ShownText(NotFoundText()), room(kLblUpdate), true},
        {ShownText(kWaitText), room(kLblUpdate), true},
        {ShownText(kCompletedText), room(kLblUpdate), true},
        {QStringLiteral("Almanoria &database file:"), room(kLblDatabaseFile)},
        {QStringLiteral("Ag"), room(kTxtDatabaseFile, kLineEditFrame)},
        {QStringLiteral("&Browse..."), room(kCmdBrowse, kButtonBevel)},
        {QStringLiteral("Cancel"), room(kCmdCancel, kButtonBevel)},
        {QStringLiteral("Next >"), room(kCmdButton1, kButtonBevel)},
        {QStringLiteral("Finish"), room(kCmdButton1, kButtonBevel)},
    };
}

}  // namespace

QtFrmMain::QtFrmMain(basErrorHandler& errors, basDatabase& database, double twipsPerPixel,
                     CommonDialog* fileDialog, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      mTwipsPerPixel(twipsPerPixel),
      mPicture1(new QLabel(this)),
      mLblUpdate(new QLabel(this)),
      mLblDatabaseFile(new QLabel(this)),
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
}

void QtFrmMain::LayOut() {
    setWindowTitle(QStringLiteral("Almanoria Calendar Update"));
    setWindowIcon(ProgramIcon());
    setFixedSize(ToPixels(kClientWidth, kClientHeight, mTwipsPerPixel));
    // The controls and the path display take this font too.
    setFont(FontThatFits(font(), DesignTexts(mTwipsPerPixel)));

    mPicture1->setObjectName(QStringLiteral("Picture1"));
    mPicture1->setGeometry(ToPixels(kPicture1, mTwipsPerPixel));
    mPicture1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mPicture1->setPixmap(QPixmap(QStringLiteral(":/artwork/calendar48.png")));

    QLabel* const lblUpdate = mLblUpdate.Widget();
    lblUpdate->setObjectName(QStringLiteral("lblUpdate"));
    lblUpdate->setGeometry(ToPixels(kLblUpdate, mTwipsPerPixel));
    lblUpdate->setTextFormat(Qt::PlainText);
    lblUpdate->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblUpdate->setWordWrap(true);
    mLblUpdate.SetCaption("Label1");

    QLabel* const lblDatabaseFile = mLblDatabaseFile.Widget();
    lblDatabaseFile->setObjectName(QStringLiteral("lblDatabaseFile"));
    lblDatabaseFile->setGeometry(ToPixels(kLblDatabaseFile, mTwipsPerPixel));
    lblDatabaseFile->setTextFormat(Qt::PlainText);
    lblDatabaseFile->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    mLblDatabaseFile.SetCaption("Almanoria &database file:");
    // The path box follows the label in tab order, so Alt+D goes there.
    lblDatabaseFile->setBuddy(mTxtDatabaseFile.Widget());

    QLineEdit* const txtDatabaseFile = mTxtDatabaseFile.Widget();
    txtDatabaseFile->setObjectName(QStringLiteral("txtDatabaseFile"));
    txtDatabaseFile->setGeometry(ToPixels(kTxtDatabaseFile, mTwipsPerPixel));
    txtDatabaseFile->setToolTip(
        QStringLiteral("Enter the file name of the old QEX database file."));

    const auto placeButton = [this](QtCommandButton& button, const char* name, const char* caption,
                                    const TwipsRect& rect) {
        button.Widget()->setObjectName(QLatin1String(name));
        button.Widget()->setGeometry(ToPixels(rect, mTwipsPerPixel));
        // Enter presses the focused button, as Space does: outside a dialog a push button
        // takes Enter only when it is an auto-default one.
        button.Widget()->setAutoDefault(true);
        button.SetCaption(caption);
    };
    placeButton(mCmdBrowse, "cmdBrowse", "&Browse...", kCmdBrowse);
    placeButton(mCmdCancel, "cmdCancel", "Cancel", kCmdCancel);
    placeButton(mCmdButton1, "cmdButton1", "Next >", kCmdButton1);

    QWidget::setTabOrder(mPicture1, lblUpdate);
    QWidget::setTabOrder(lblUpdate, lblDatabaseFile);
    QWidget::setTabOrder(lblDatabaseFile, txtDatabaseFile);
    QWidget::setTabOrder(txtDatabaseFile, mCmdBrowse.Widget());
    QWidget::setTabOrder(mCmdBrowse.Widget(), mCmdCancel.Widget());
    QWidget::setTabOrder(mCmdCancel.Widget(), mCmdButton1.Widget());
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
}

void QtFrmMain::cmdButton1_Click() {
    mForm.cmdButton1_Click();
}

void QtFrmMain::cmdCancel_Click() {
    mForm.cmdCancel_Click();
}

}  // namespace almanoria
