#include "ScriptedShell.h"

#include "system/AppFixture.h"

#include "app/AboutDlg.h"
#include "controls/ControlClasses.h"
#include "controls/CreditsScroller.h"
#include "controls/HyperLink.h"
#include "framework/Bitmaps.h"
#include "framework/FrameWindow.h"
#include "res/Resource.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
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

TEST_F(AboutBox, HoldsTheCreditsAndTheMakersAddresses) {
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.windowTitle(), "About Vellwick Glimmerkey");

    QStringList arrTexts;
    for (const QLabel* pLabel : about.findChildren<QLabel*>())
        if (pLabel != about.m_pCredits) arrTexts << pLabel->text();
    EXPECT_EQ(arrTexts,
              (QStringList{"Web:", kHomePage, "Tech Support:", "support@vellwick.example",
                           "Postal Mail:", "Mirovasta, 12 Lantern Row,\nPort Vellwick PV3 1GK"}));
    int nRules = 0;
    for (const QFrame* pFrame : about.findChildren<QFrame*>())
        nRules += pFrame->frameShape() == QFrame::HLine;
    EXPECT_EQ(nRules, 2);
    EXPECT_EQ(about.findChild<QPushButton*>()->text(), "OK");
}

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

TEST_F(AboutBox, ScrollsAtFiveMillisecondsInItsColours) {
    CAboutDlg about;
    about.show();
    const CreditsRoll& roll = about.m_pCredits->Roll();
    EXPECT_NE(about.m_pCredits->TimerId(), 0);
    EXPECT_EQ(roll.Period(), 5);
    EXPECT_TRUE(roll.TransparentBitmaps());
    EXPECT_EQ(roll.Color(0), QColor(13, 47, 109));
    EXPECT_EQ(roll.Color(1), QColor(248, 200, 8));
    EXPECT_EQ(roll.Color(2), QColor(255, 255, 0)) << "the subtitle keeps its yellow";
    EXPECT_EQ(roll.Color(3), QColor(248, 200, 8));
    EXPECT_EQ(roll.Color(4), QColor(255, 255, 255));

    // The picture enters on the 15th tick, the title after its 32 rows.
    ASSERT_TRUE(QTest::qWaitFor([&] { return roll.ItemActive(); }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return roll.Current().endsWith('\t'); }, 5000));
}

TEST_F(AboutBox, TheWebAddressIsALinkToTheHomePage) {
    ScriptedShell shell;
    CAboutDlg about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
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
    const QImage renderings[] = {QImage(":/bitmaps/IDBGLIMMERKEY.png"),
                                 QImage(":/bitmaps/IDBGLIMMERKEY@2x.png"), drawn};
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
