#include "support/RecordingSeams.h"

#include "controls/HyperLink.h"

#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const QString kUrl = QStringLiteral("https://www.vellwick.example/");
const QColor kBlue(0, 0, 255), kRed(255, 0, 0);

bool isNear(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <
           90;
}

// The longest horizontal run of pixels near the colour: an underline spans
// the text, no glyph stroke of a URL comes close.
int longestRun(const QImage& image, const QColor& cr) {
    int nLongest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int nRun = 0;
        for (int x = 0; x < image.width(); ++x) {
            nRun = isNear(image.pixelColor(x, y), cr) ? nRun + 1 : 0;
            nLongest = std::max(nLongest, nRun);
        }
    }
    return nLongest;
}

class HyperLink : public ::testing::Test {
protected:
    void SetUp() override {
        m_window.resize(240, 60);
        m_link.setText(kUrl);
        m_link.setGeometry(10, 10, 200, 20);
        m_link.SetURL(kUrl);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_window));
    }
    // Through the window, as the platform delivers them: routing, the
    // mouse-transparent flag and the capture all take part.
    void moveTo(QPoint pt) { QTest::mouseMove(m_window.windowHandle(), pt); }
    void clickAt(QPoint pt) { QTest::mouseClick(m_window.windowHandle(), Qt::LeftButton, {}, pt); }
    int textWidth() const { return m_link.fontMetrics().horizontalAdvance(kUrl); }

    const QPoint kInside{30, 20}, kOutside{120, 50};
    QWidget m_window;
    CHyperLink m_link{&m_window};
    RecordingShell m_shell;
};

TEST_F(HyperLink, UnderlinedBlueAndRedWhileThePointerIsOverIt) {
    EXPECT_GT(longestRun(m_link.grab().toImage(), kBlue), textWidth() * 3 / 4);

    moveTo(kInside);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kHover);
    EXPECT_EQ(QWidget::mouseGrabber(), &m_link);
    const QImage hovered = m_link.grab().toImage();
    EXPECT_GT(longestRun(hovered, kRed), textWidth() * 3 / 4);
    EXPECT_EQ(longestRun(hovered, kBlue), 0);

    moveTo(kOutside);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kNormal);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_GT(longestRun(m_link.grab().toImage(), kBlue), textWidth() * 3 / 4);
}

TEST_F(HyperLink, MadeWithoutTheNotifyStyleItTakesTheMouseAfterItsFirstPaint) {
    CHyperLink fresh(&m_window);
    EXPECT_TRUE(fresh.testAttribute(Qt::WA_TransparentForMouseEvents));
    fresh.setText(kUrl);
    fresh.setGeometry(10, 35, 200, 20);
    fresh.show();
    fresh.repaint();
    moveTo({30, 45});
    EXPECT_EQ(fresh.GetState(), CHyperLink::kHover);
}

TEST_F(HyperLink, AClickWhileHoveringOpensAndShowsVisitedOnceThePointerLeaves) {
    moveTo(kInside);
    clickAt(kInside);
    EXPECT_EQ(m_shell.opened, QStringList{kUrl});
    EXPECT_EQ(m_shell.cursorShapes, QList<Qt::CursorShape>{Qt::WaitCursor});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kHover) << "the hover colour stays";
    EXPECT_GT(longestRun(m_link.grab().toImage(), kRed), textWidth() * 3 / 4);

    moveTo(kOutside);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kVisited);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_GT(longestRun(m_link.grab().toImage(), kBlue), textWidth() * 3 / 4);

    moveTo(kInside);
    moveTo(kOutside);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kVisited) << "for the control's lifetime";
}

TEST_F(HyperLink, AFailedOpenChangesNothingAndSaysWhatDidNotOpen) {
    ScriptedPrompts prompts;
    m_shell.opens = false;
    moveTo(kInside);
    clickAt(kInside);
    moveTo(kOutside);
    EXPECT_EQ(m_shell.opened, QStringList{kUrl});
    EXPECT_EQ(m_link.GetState(), CHyperLink::kNormal);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Cannot open " + kUrl + "\n"))
        << prompts.messages[0].toStdString();
}

TEST_F(HyperLink, AClickArrivingWithoutHoverMakesItVisitedAtOnce) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(kInside - m_link.pos()),
                      m_link.mapToGlobal(QPointF(kInside - m_link.pos())), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&m_link, &press);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kVisited);
}

TEST_F(HyperLink, AShellThatThrowsIsReportedAndTheCursorComesBack) {
    ScriptedPrompts prompts;
    m_shell.throws = true;
    moveTo(kInside);
    clickAt(kInside);
    EXPECT_EQ(prompts.messages, QStringList{"The shell is gone."});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    moveTo(kOutside);
    EXPECT_EQ(m_link.GetState(), CHyperLink::kNormal);
}

} // namespace
