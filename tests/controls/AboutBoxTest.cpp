#include "support/RecordingSeams.h"

#include "system/AppFixture.h"

#include "app/AboutDlg.h"
#include "controls/ControlClasses.h"
#include "controls/CreditsScroller.h"
#include "controls/HyperLink.h"
#include "framework/Bitmaps.h"
#include "framework/FrameWindow.h"
#include "framework/RawPixels.h"
#include "res/Resource.h"

#include <QAction>
#include <QPainter>
#include <QPushButton>
#include <QResource>
#include <QSvgRenderer>
#include <QTest>

namespace {

const QString kHomePage = QStringLiteral("https://www.vellwick.example/");

// One letter a credit line: e empty, b bitmap, t title, h heading, x body.
QString shapeOf(const QStringList& arrLines) {
    QString strShape;
    for (const QString& strLine : arrLines) {
        if (strLine.isEmpty())
            strShape += 'e';
        else if (strLine.endsWith('^'))
            strShape += 'b';
        else if (strLine.endsWith('\t'))
            strShape += 't';
        else if (strLine.endsWith('\r'))
            strShape += 'h';
        else
            strShape += 'x';
    }
    return strShape;
}

class AboutBox : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        InstallBitmaps();
        RegisterControlClasses();
    }
};

TEST_F(AboutBox, CreditTextHasItsFortyFiveLines) {
    CAboutDlg about;
    about.show();
    const QStringList& arrLines = about.m_pCredits->Roll().Lines();
    EXPECT_EQ(shapeOf(arrLines), QString("ebtexxee"
                                         "hexxee"
                                         "hexxxee"
                                         "hexxxee"
                                         "hexxxee"
                                         "xx"
                                         "eeeeeeee"));
    ASSERT_EQ(arrLines.size(), 45);
    EXPECT_EQ(arrLines[1], "IDBGLIMMERKEY^");
    EXPECT_EQ(arrLines[2], "Vellwick Glimmerkey 1.5\t");
    QStringList arrHeadings;
    for (const QString& strLine : arrLines)
        if (strLine.endsWith('\r')) arrHeadings << strLine.chopped(1);
    EXPECT_EQ(arrHeadings,
              (QStringList{"Product Design", "Programmer", "Interface Design", "Sample Design"}));
}

TEST_F(AboutBox, ScrollsEveryFiveMillisecondsGoldAndWhiteOnDarkBlue) {
    CAboutDlg about;
    about.show();
    const CreditsRoll& roll = about.m_pCredits->Roll();
    EXPECT_NE(about.m_pCredits->TimerId(), 0);
    EXPECT_EQ(roll.Period(), 5);
    // The picture enters on the 15th tick, the title after its 32 rows, then
    // the description.
    ASSERT_TRUE(QTest::qWaitFor([&] { return roll.Current().startsWith("Button"); }, 5000));
    const QImage& canvas = roll.Canvas();
    EXPECT_EQ(canvas.pixelColor(0, 0), QColor(13, 47, 109));
    bool bGold = false, bWhite = false;
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            bGold |= canvas.pixelColor(x, y) == QColor(248, 200, 8);
            bWhite |= canvas.pixelColor(x, y).lightness() > 200;
        }
    }
    EXPECT_TRUE(bGold) << "the title";
    EXPECT_TRUE(bWhite) << "the body";
}

TEST_F(AboutBox, TheWebAddressIsALinkToItself) {
    RecordingShell shell;
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.windowTitle(), "About Vellwick Glimmerkey");
    EXPECT_EQ(about.m_pWebLink->text(), kHomePage);
    const QPoint ptLink = about.m_pWebLink->geometry().topLeft() + QPoint(5, 5);
    QTest::mouseMove(about.windowHandle(), ptLink);
    QTest::mouseClick(about.windowHandle(), Qt::LeftButton, {}, ptLink);
    EXPECT_EQ(shell.opened, QStringList{kHomePage});
}

TEST_F(AboutBox, PictureIsThirtyTwoSquareWithoutTheKeyColour) {
    const QPixmap byId = framework::LoadBitmap(IDB_GLIMMERKEY);
    const QPixmap byName = framework::LoadBitmap(QStringLiteral("IDBGLIMMERKEY"));
    EXPECT_EQ(byId.deviceIndependentSize().toSize(), QSize(32, 32));
    EXPECT_EQ(byName.toImage(), byId.toImage());

    // Every rendering of it: the two made at build time, and the picture drawn at 3x.
    QImage drawn(96, 96, QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    QSvgRenderer(QStringLiteral(":/bitmaps/IDBGLIMMERKEY.svg")).render(&painter);
    painter.end();
    const auto builtAt = [](int ratio) {
        const QResource raw(
            framework::RawPixelsName(QStringLiteral(":/bitmaps/IDBGLIMMERKEY"), ratio));
        return framework::DecodeRawPixels(raw.data(), raw.size());
    };
    const QImage renderings[] = {builtAt(1), builtAt(2), drawn};
    for (const QImage& image : renderings) {
        ASSERT_FALSE(image.isNull());
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); ++y)
            for (int x = 0; x < argb.width(); ++x)
                ASSERT_NE(argb.pixel(x, y), qRgb(192, 192, 192)) << x << "," << y;
    }
}

} // namespace

// The real application, Help > About from its menu.
using AboutCommand = AppFixture;

TEST_F(AboutCommand, HelpAboutShowsTheBoxModallyWithScrollingCredits) {
    QString strCaption;
    bool bScrolled = false;
    whenDialogShows([&](QWidget* pDialog) {
        auto* pAbout = qobject_cast<CAboutDlg*>(pDialog);
        ASSERT_NE(pAbout, nullptr);
        strCaption = pAbout->windowTitle();
        bScrolled = QTest::qWaitFor([&] { return pAbout->m_pCredits->Roll().ItemActive(); }, 5000);
        pAbout->findChild<QPushButton*>()->click();
    });
    ASSERT_TRUE(frame()->IsCommandEnabled(framework::ID_APP_ABOUT));
    frame()->FindCommandAction(framework::ID_APP_ABOUT)->trigger();
    EXPECT_EQ(strCaption, "About Vellwick Glimmerkey");
    EXPECT_TRUE(bScrolled);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}
