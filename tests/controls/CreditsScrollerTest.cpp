#include "controls/CreditsScroller.h"
#include "support/PaintCounter.h"

#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QTest>
#include <QTimerEvent>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

const QColor kDarkBlue(13, 47, 109);

void sendTimer(CCreditsScroller& scroller, int nTimerId) {
    QTimerEvent event(nTimerId);
    QApplication::sendEvent(&scroller, &event);
}

TEST(CreditsScroller, BeginScrollOnAnEmptyListStartsNothingAndShowsAStillFrame) {
    CCreditsScroller scroller;
    scroller.resize(60, 40);
    scroller.SetStyleColor(0, kDarkBlue);
    EXPECT_FALSE(scroller.BeginScroll());
    EXPECT_EQ(scroller.TimerId(), 0);
    const QImage shown = scroller.grab().toImage();
    EXPECT_EQ(shown.pixelColor(0, 0), kDarkBlue);
    EXPECT_EQ(shown.pixelColor(59, 39), kDarkBlue);
}

TEST(CreditsScroller, ScrollsOnItsTimerAndShowsItsCanvasInTheClientArea) {
    CCreditsScroller scroller;
    scroller.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    scroller.resize(80, 50);
    scroller.SetCreditText("|MMMM|", u'|');
    scroller.SelectSpeed(2, 0);
    ASSERT_TRUE(scroller.BeginScroll());
    EXPECT_NE(scroller.TimerId(), 0);
    scroller.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scroller));
    // The second line is fetched on the 30th tick, 150 ms in.
    ASSERT_TRUE(QTest::qWaitFor([&] { return scroller.Roll().Current() == "MMMM"; }, 5000));
    QTest::qWait(30);

    const QImage& canvas = scroller.Roll().Canvas();
    EXPECT_EQ(canvas.size(), scroller.contentsRect().size());
    const QImage shown = scroller.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.copy(scroller.contentsRect()), canvas);
    EXPECT_NE(shown.pixelColor(0, 0), canvas.pixelColor(0, 0)) << "the frame around it";
}

TEST(CreditsScroller, EachTimerMessageRunsTheTicksOfOneFrameAndPaintsThemAtOnce) {
    // About 33 frames a second, never more than the screen shows, and a
    // period's speed kept.
    EXPECT_EQ(CCreditsScroller::FrameTicks(5, 60.0), 6);
    EXPECT_EQ(CCreditsScroller::FrameTicks(5, 144.0), 6);
    EXPECT_EQ(CCreditsScroller::FrameTicks(5, 0.0), 6) << "an unknown rate counts as 60 Hz";
    EXPECT_EQ(CCreditsScroller::FrameTicks(5, 30.0), 7) << "a slow screen";
    EXPECT_EQ(CCreditsScroller::FrameTicks(7, 60.0), 4) << "the nearest whole number";
    EXPECT_EQ(CCreditsScroller::FrameTicks(20, 60.0), 2);
    EXPECT_EQ(CCreditsScroller::FrameTicks(40, 60.0), 1);
    EXPECT_EQ(CCreditsScroller::FrameTicks(100, 60.0), 1);

    const QString strCredits = "A|BBBB|LOGO^|C";
    const auto loadLogo = [](const QString&) {
        QImage logo(12, 9, QImage::Format_RGB32);
        logo.fill(Qt::red);
        return logo;
    };
    CCreditsScroller scroller(nullptr, loadLogo);
    scroller.resize(60, 40);
    scroller.SetCreditText(strCredits, u'|');
    scroller.SelectSpeed(2, 0);
    ASSERT_TRUE(scroller.BeginScroll());
    scroller.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&scroller));
    const int nTicks = scroller.TicksPerFrame();
    ASSERT_EQ(nTicks, CCreditsScroller::FrameTicks(5, scroller.screen()->refreshRate()));

    CreditsRoll single(loadLogo);
    single.SetCreditText(strCredits, u'|');
    single.Restart();
    const QSize sizeClient = scroller.contentsRect().size();
    const PaintCounter counter(&scroller);
    for (int nFrame = 1; nFrame <= 40; ++nFrame) {
        sendTimer(scroller, scroller.TimerId());
        ASSERT_EQ(counter.m_nPaints, nFrame) << "painted within its timer message";
        for (int n = 0; n < nTicks; ++n)
            single.Tick(sizeClient);
        ASSERT_EQ(scroller.Roll().Canvas(), single.Canvas()) << "frame " << nFrame;
        ASSERT_EQ(scroller.Roll().Current(), single.Current()) << "frame " << nFrame;
        QApplication::processEvents();
        ASSERT_EQ(counter.m_nPaints, nFrame) << "and not again later";
    }
    const QImage shown = scroller.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.copy(scroller.contentsRect()), single.Canvas());
}

TEST(CreditsScroller, AnotherTimerChangesNothing) {
    CCreditsScroller scroller;
    scroller.resize(60, 40);
    scroller.SetCreditText("A|B", u'|');
    ASSERT_TRUE(scroller.BeginScroll());
    for (int n = 0; n < 100 && scroller.Roll().Current() != "A"; ++n)
        sendTimer(scroller, scroller.TimerId());
    const QImage before = scroller.Roll().Canvas().copy();
    const int nRevealed = scroller.Roll().Revealed();
    ASSERT_EQ(scroller.Roll().Current(), "A");

    sendTimer(scroller, scroller.TimerId() + 1);
    EXPECT_EQ(scroller.Roll().Revealed(), nRevealed);
    EXPECT_EQ(scroller.Roll().Canvas(), before);

    sendTimer(scroller, scroller.TimerId());
    EXPECT_EQ(scroller.Roll().Revealed(), nRevealed + scroller.TicksPerFrame());
}

TEST(CreditsScroller, AFailingTickIsReportedOnceAndEndsTheScrolling) {
    ScriptedPrompts prompts;
    CCreditsScroller scroller(nullptr, [](const QString&) -> QImage {
        throw std::runtime_error("The picture cannot be read.");
    });
    scroller.resize(60, 40);
    scroller.SetCreditText("LOGO^|A", u'|');
    ASSERT_TRUE(scroller.BeginScroll());
    const int nTimerId = scroller.TimerId();
    for (int n = 0; n < 40; ++n)
        sendTimer(scroller, nTimerId);
    EXPECT_EQ(prompts.messages, QStringList{"The picture cannot be read."});
    EXPECT_EQ(scroller.TimerId(), 0);
}

} // namespace
