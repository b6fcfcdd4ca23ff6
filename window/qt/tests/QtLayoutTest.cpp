// The window as it is drawn: controls, names, texts, tab order and the layout in pixels.
#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPixmap>
#include <map>

#include "window/qt/tests/WindowFixture.hpp"

namespace almanoria {
namespace {

class QtLayoutTest : public testing::WindowFixture {};

TEST_F(QtLayoutTest, TheWindowHasItsSevenControlsWithTheirKindsAndDesignTexts) {
    Open();
    EXPECT_EQ(window->windowTitle(), "Almanoria Calendar Update");
    const QList<QSize> iconSizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(iconSizes.contains(QSize(32, 32)));
    EXPECT_TRUE(iconSizes.contains(QSize(16, 16)));
    EXPECT_EQ(window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 7);

    const QLabel* picture = Control<QLabel>("Picture1");
    ASSERT_NE(picture, nullptr);
    const QPixmap image = picture->pixmap();
    EXPECT_EQ(image.size(), QSize(48, 48));
    EXPECT_TRUE(image.hasAlphaChannel());
    EXPECT_TRUE(picture->text().isEmpty());
    EXPECT_EQ(picture->accessibleName(), "Almanoria Desktop Calendar");

    const QLabel* path = Control<QLabel>("lblDatabaseFile");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->text(), "Almanoria &database file:");
    EXPECT_EQ(path->buddy(), txtDatabaseFile());
    EXPECT_EQ(txtDatabaseFile()->toolTip(), "Enter the file name of the old QEX database file.");
    EXPECT_TRUE(txtDatabaseFile()->isReadOnly());
    EXPECT_EQ(txtDatabaseFile()->focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(cmdBrowse()->text(), "&Browse...");
    EXPECT_EQ(cmdCancel()->text(), "Cancel");
    EXPECT_EQ(cmdButton1()->text(), "Next >");
    ASSERT_NE(lblUpdate(), nullptr);
    EXPECT_TRUE(lblUpdate()->wordWrap());
}

TEST_F(QtLayoutTest, TheFocusGoesThroughTheControlsInTabOrder) {
    Open();
    QStringList order;
    for (QWidget* next = window->nextInFocusChain(); next != window.get();
         next = next->nextInFocusChain()) {
        // The window's own controls; what lies within one is not in the design's order.
        if (next->parentWidget() == window.get()) order.append(next->objectName());
    }
    EXPECT_EQ(order, QStringList({"Picture1", "lblUpdate", "lblDatabaseFile", "txtDatabaseFile",
                                  "cmdBrowse", "cmdCancel", "cmdButton1"}));
}

TEST_F(QtLayoutTest, TheAccessKeysReachThePathBoxAndTheBrowseButton) {
    Open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    cmdCancel()->setFocus();
    QTest::keyClick(window.get(), Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(txtDatabaseFile()->hasFocus());
    // A button's access key presses it at once and clicks it as it springs back.
    QTest::keyClick(window.get(), Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(cmdBrowse()->isDown());
    EXPECT_TRUE(QTest::qWaitFor([this] { return dialog.Opened == 1; }));
    EXPECT_EQ(dialog.Opened, 1);
}

// A desktop font larger than the design's grows the window rather than shrinking the font: the
// texts keep the user's size and fit, and the path is shortened to the box as drawn.
TEST_F(QtLayoutTest, ALargeDesktopFontGrowsTheWindowAndKeepsItsSize) {
    struct RestoreFont {
        QFont Desktop = QApplication::font();
        ~RestoreFont() { QApplication::setFont(Desktop); }
    } restore;
    QFont large = restore.Desktop;
    large.setPointSizeF(16);
    QApplication::setFont(large);
    UseDeepDataFolder();
    InstallDefaultDatabase();
    Open(15);

    EXPECT_DOUBLE_EQ(window->font().pointSizeF(), 16);
    // At least 16 / 9 of the 455 x 199 pixels drawn for the design's 9 points.
    EXPECT_GE(window->width(), 808);
    EXPECT_GE(window->height(), 353);
    EXPECT_LE(lblUpdate()->heightForWidth(lblUpdate()->width()), lblUpdate()->height());
    const QFontMetrics metrics(window->font());
    for (QPushButton* button : {cmdBrowse(), cmdCancel(), cmdButton1()}) {
        EXPECT_LT(metrics.horizontalAdvance(button->text().remove(QLatin1Char('&'))),
                  button->width())
            << button->objectName().toStdString();
    }
    const QString shown = txtDatabaseFile()->text();
    // The box's width less 100 twips, in the screen's 15 twips a pixel.
    const int room = (txtDatabaseFile()->width() * 15 - 100) / 15;
    EXPECT_TRUE(shown.contains(QStringLiteral("..."))) << shown.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(shown), room) << shown.toStdString();
    // Wider than the 366 pixels of the design's box: the box's own width was taken.
    EXPECT_GT(metrics.horizontalAdvance(shown), 366) << shown.toStdString();
}

struct Resolution {
    const char* Name;
    double TwipsPerPixel;
    QSize Client;
    std::map<std::string, QRect> Controls;
    int PathPixels;  // (5595 - 100) twips in whole pixels
};

void PrintTo(const Resolution& resolution, std::ostream* out) {
    *out << resolution.Name;
}

// Worked out by hand from the layout in twips, each value rounded on its own.
const Resolution kAt96{"At96Dpi",
                       15,
                       {455, 199},
                       {{"Picture1", {4, 8, 49, 45}},
                        {"lblUpdate", {64, 8, 377, 77}},
                        {"lblDatabaseFile", {8, 100, 121, 17}},
                        {"txtDatabaseFile", {8, 116, 373, 21}},
                        {"cmdBrowse", {388, 113, 57, 25}},
                        {"cmdCancel", {300, 164, 65, 25}},
                        {"cmdButton1", {380, 164, 65, 25}}},
                       366};
const Resolution kAt120{"At120Dpi",
                        12,
                        {569, 249},
                        {{"Picture1", {5, 10, 61, 56}},
                         {"lblUpdate", {80, 10, 471, 96}},
                         {"lblDatabaseFile", {10, 125, 151, 21}},
                         {"txtDatabaseFile", {10, 145, 466, 26}},
                         {"cmdBrowse", {485, 142, 71, 31}},
                         {"cmdCancel", {375, 205, 81, 31}},
                         {"cmdButton1", {475, 205, 81, 31}}},
                        457};

class QtLayoutAtResolution : public testing::WindowFixture,
                             public ::testing::WithParamInterface<Resolution> {};

TEST_P(QtLayoutAtResolution, ControlsStandWhereTheTwipsPutThemInAFixedFrame) {
    const Resolution& resolution = GetParam();
    Open(resolution.TwipsPerPixel);
    EXPECT_EQ(window->size(), resolution.Client);
    EXPECT_EQ(window->minimumSize(), resolution.Client);
    EXPECT_EQ(window->maximumSize(), resolution.Client);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    for (const auto& [name, rect] : resolution.Controls) {
        const QWidget* control = Control<QWidget>(name.c_str());
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), rect) << name;
    }
}

// Measured in the window's own font: the path's start, cut between characters where one more
// would not fit, then "..." and the file name.
TEST_P(QtLayoutAtResolution, ThePathKeepsAsMuchOfItsStartAsFitsTheBoxWidthLessOneHundredTwips) {
    const Resolution& resolution = GetParam();
    UseDeepDataFolder();
    InstallDefaultDatabase();
    Open(resolution.TwipsPerPixel);

    const QFontMetrics metrics(window->font());
    const auto width = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    const std::string shown = txtDatabaseFile()->text().toStdString();
    const std::string tail = ".../dbcalndr.mdb";
    ASSERT_GT(width(defaultPath), resolution.PathPixels);
    EXPECT_LE(width(shown), resolution.PathPixels) << shown;
    ASSERT_TRUE(shown.ends_with(tail)) << shown;
    const std::string start = shown.substr(0, shown.size() - tail.size());
    EXPECT_TRUE(defaultPath.starts_with(start)) << shown;
    EXPECT_TRUE(start.starts_with(dir.Path().string())) << shown;
    const std::string longer = defaultPath.substr(0, start.size() + 1) + tail;
    EXPECT_GT(width(longer), resolution.PathPixels) << shown;
    EXPECT_EQ(txtDatabaseFile()->cursorPosition(), 0);
}

TEST_P(QtLayoutAtResolution, EveryTextFitsItsControlInTheDefaultFontFamily) {
    const Resolution& resolution = GetParam();
    Open(resolution.TwipsPerPixel);
    EXPECT_EQ(window->font().family(), QApplication::font().family());
    EXPECT_LE(window->font().pointSizeF(), QApplication::font().pointSizeF());

    const auto fitsTheMessageArea = [this] {
        return lblUpdate()->heightForWidth(lblUpdate()->width()) <= lblUpdate()->height();
    };
    EXPECT_TRUE(fitsTheMessageArea()) << "not-found text";
    const std::filesystem::path chosen = testing::MakeCalendar(dir, "chosen.mdb");
    dialog.Answer = chosen.string();
    Click(cmdBrowse());
    EXPECT_TRUE(fitsTheMessageArea()) << "ready text";

    const QFontMetrics metrics(window->font());
    const QLabel* path = Control<QLabel>("lblDatabaseFile");
    EXPECT_LT(metrics.tightBoundingRect(QStringLiteral("Almanoria database file:")).right(),
              path->width());
    EXPECT_LE(metrics.height(), path->height());
    for (QPushButton* button : {cmdBrowse(), cmdCancel(), cmdButton1()}) {
        EXPECT_LT(metrics.horizontalAdvance(button->text().remove(QLatin1Char('&'))),
                  button->width())
            << button->objectName().toStdString();
    }
}

std::string ResolutionName(const ::testing::TestParamInfo<Resolution>& resolution) {
    return resolution.param.Name;
}

INSTANTIATE_TEST_SUITE_P(Resolutions, QtLayoutAtResolution, ::testing::Values(kAt96, kAt120),
                         ResolutionName);

}  // namespace
}  // namespace almanoria
