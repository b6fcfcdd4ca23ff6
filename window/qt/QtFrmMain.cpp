#include "window/qt/QtFrmMain.hpp"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>

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

constexpr QLatin1StringView kCompletionNoticeName("completionNotice");

// The completion notice on the accessibility bus: a notification, which a screen reader reads
// out when it shows, wherever the focus is.
QAccessibleInterface* CompletionNoticeAccessible(const QString&, QObject* object) {
    if (object == nullptr || !object->isWidgetType() ||
        object->objectName() != kCompletionNoticeName) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}

double DesktopFontScale(double twipsPerPixel) {
    return LayoutScale(QApplication::font(), [twipsPerPixel](double scale) {
        return DesignTexts(twipsPerPixel / scale);
    });
}

// The user's keys, clicks and touches.
bool IsUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

// Keeps the keys and clicks that came while the run held the thread from acting once it has
// returned. Those still with the display server are fetched and dropped at once. A screen
// reader's bridge may have taken some before, to show them to the screen reader first: it
// hands on copies later, not coming from the window system, which are dropped until the user
// presses a key or a button anew. The bridge waits a tenth of a second at most for the screen
// reader's answer to each key, so after half a second it owes none, and nothing more is dropped
// even when the user's keys reach the bridge first.
class TypeAheadGuard final : public QObject {
  public:
    explicit TypeAheadGuard(QObject* parent) : QObject(parent) {}
    ~TypeAheadGuard() override {
        if (QCoreApplication* application = QCoreApplication::instance()) {
            application->removeEventFilter(this);
        }
    }
    TypeAheadGuard(const TypeAheadGuard&) = delete;
    TypeAheadGuard& operator=(const TypeAheadGuard&) = delete;

    void RunHasReturned() {
        // First among the application's filters, ahead of any bridge's.
        QCoreApplication::instance()->installEventFilter(this);
        mFetching = true;
        mStale = true;
        QGuiApplication::sync();
        QCoreApplication::processEvents();
        mFetching = false;
        mSinceTheRun.start();
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (!mStale) return false;
        if (mFetching) return IsUserInput(*event);
        if (mSinceTheRun.hasExpired(kBridgeCopiesMilliseconds)) {
            mStale = false;
            return false;
        }
        const QEvent::Type type = event->type();
        const bool press = type == QEvent::KeyPress || type == QEvent::MouseButtonPress;
        if (!press && type != QEvent::KeyRelease && type != QEvent::MouseButtonRelease) {
            return false;
        }
        if (!event->spontaneous()) return true;
        if (press) mStale = false;
        return false;
    }

  private:
    static constexpr qint64 kBridgeCopiesMilliseconds = 500;
    bool mFetching = false;
    bool mStale = false;
    QElapsedTimer mSinceTheRun;
};

QtFrmMain::QtFrmMain(basErrorHandler& errors, basDatabase& database, int year, double twipsPerPixel,
                     CommonDialog* fileDialog, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      mYear(year),
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
      mCompletionNotice(new QWidget(mLblUpdate.Widget())),
      mTypeAhead(new TypeAheadGuard(this)),
      mFileDialog(*this),
      mDeviceContext(*this, twipsPerPixel),
      mPlatform(*this),
      mForm({mLblUpdate, mLblDatabaseFile, mTxtDatabaseFile, mCmdBrowse, mCmdCancel, mCmdButton1},
            fileDialog != nullptr ? *fileDialog : mFileDialog, mDeviceContext, mPlatform, mEvents,
            errors, database, year) {
    RegisterArtwork();
    QAccessible::installFactory(CompletionNoticeAccessible);
    LayOut();
    connect(mCmdBrowse.Widget(), &QPushButton::clicked, this, &QtFrmMain::cmdBrowse_Click);
    connect(mCmdCancel.Widget(), &QPushButton::clicked, this, &QtFrmMain::cmdCancel_Click);
    connect(mCmdButton1.Widget(), &QPushButton::clicked, this, &QtFrmMain::cmdButton1_Click);
    mForm.Form_Load();
    mForm.FocusNextStep();
}

void QtFrmMain::LayOut() {
    setWindowTitle(ToQString(WindowTitle(mYear)));
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

    // Over the message label, which shows the same text, and as clear; hidden until a run
    // completes.
    mCompletionNotice->setObjectName(kCompletionNoticeName);
    mCompletionNotice->setGeometry(mLblUpdate.Widget()->rect());
    mCompletionNotice->setAttribute(Qt::WA_TransparentForMouseEvents);
    mCompletionNotice->hide();
}

void QtFrmMain::reject() {
    if (mCmdCancel.Enabled()) mCmdCancel.Widget()->click();
}

void QtFrmMain::DescribeNextStep() {
    const bool finished = mCmdButton1.Caption() == kFinishCaption;
    const QString completion = finished ? ShownText(mLblUpdate.Caption()) : QString();
    mCmdButton1.Widget()->setAccessibleDescription(completion);
    mCompletionNotice->setAccessibleName(completion);
    mCompletionNotice->setVisible(finished);
}

bool QtFrmMain::focusNextPrevChild(bool next) {
    return !mRunHoldsTheThread && QDialog::focusNextPrevChild(next);
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
    {
        const QScopedValueRollback<bool> holding(mRunHoldsTheThread, true);
        mForm.cmdButton1_Click();
    }
    if (!isVisible()) return;
    mTypeAhead->RunHasReturned();
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
