#include "controls/ColorFormView.h"
#include "controls/ColorStatic.h"
#include "controls/ControlClasses.h"
#include "support/PaintCounter.h"

#include "framework/DataExchange.h"

#include <QApplication>
#include <QPalette>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace framework;

namespace {

using enum ControlKind;

constexpr int kTip = 1046, kEdit = 1012;
const QColor kFormColour(178, 178, 201), kDarkBlue(13, 47, 109), kWhite(255, 255, 255);

DialogTemplate formTemplate() {
    return {{},
            {200, 100},
            {
                {.kind = Custom,
                 .nID = kTip,
                 .strText = "IIII llll HHHH",
                 .rcDlu = {10, 10, 120, 15},
                 .strClass = "CColorStatic"},
                {Edit, kEdit, {}, {10, 40, 100, 14}},
            }};
}

class CTestForm : public CColorFormView {
public:
    CTestForm() : CColorFormView(formTemplate()) {}
    CColorStatic* m_pTip = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kTip, m_pTip); }
};

void showAndSettle(QWidget& widget) {
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    QApplication::processEvents();
}

int distance(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
           std::abs(a.blue() - b.blue());
}

// How close the image comes to the colour anywhere: text is antialiased,
// but its stems reach the pen's colour.
int nearest(const QImage& image, const QColor& color) {
    int nBest = 3 * 255;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            nBest = std::min(nBest, distance(image.pixelColor(x, y), color));
    return nBest;
}

// Sets the application palette's button and window-text colours for a
// test, and puts the old palette back afterwards.
class SystemColours {
public:
    explicit SystemColours(const QColor& crButton, const QColor& crText = {}) {
        Set(crButton, crText);
    }
    ~SystemColours() { QApplication::setPalette(m_saved); }
    // An invalid text colour keeps the saved one.
    void Set(const QColor& crButton, const QColor& crText = {}) {
        QPalette palette = m_saved;
        palette.setColor(QPalette::Button, crButton);
        if (crText.isValid()) palette.setColor(QPalette::WindowText, crText);
        QApplication::setPalette(palette);
    }

private:
    const QPalette m_saved = QApplication::palette();
};

class ColorStatic : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterControlClasses(); }
};

TEST_F(ColorStatic, IsPlacedByTemplateAndBoundByDataExchange) {
    CTestForm form;
    form.OnInitialUpdate();
    ASSERT_NE(form.m_pTip, nullptr);
    EXPECT_EQ(form.m_pTip, form.GetDlgItem(kTip));
    EXPECT_EQ(form.m_pTip->geometry(), form.Units().toPixels(QRect(10, 10, 120, 15)));
    EXPECT_EQ(form.m_pTip->text(), "IIII llll HHHH");
}

TEST_F(ColorStatic, UnsetColoursAreThoseOfTheSystemAtConstruction) {
    SystemColours colours(QColor(10, 200, 10), QColor(200, 10, 10));
    CTestForm form;
    form.OnInitialUpdate();
    colours.Set(QColor(10, 10, 200), QColor(10, 200, 200)); // later changes are not followed
    showAndSettle(form);
    const QImage image = form.m_pTip->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(10, 200, 10));
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(10, 200, 10));
    EXPECT_LT(nearest(image, QColor(200, 10, 10)), 60) << "the text in window-text colour";
}

TEST_F(ColorStatic, ColoursReachThePixelsWithoutARepaint) {
    CTestForm form;
    form.OnInitialUpdate();
    showAndSettle(form);
    CColorStatic* pTip = form.m_pTip;
    const PaintCounter counter(pTip);

    const QColor kRed(255, 0, 0);
    pTip->SetBkColor(kRed);
    pTip->SetBkColor(kDarkBlue);
    pTip->SetTextColor(kWhite);
    QApplication::processEvents();
    EXPECT_EQ(counter.m_nPaints, 0) << "a colour change asks for no repaint";

    // Only the last brush paints: no pixel comes near the first one's red.
    const QImage image = pTip->grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), kDarkBlue);
    EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), kDarkBlue);
    EXPECT_GT(nearest(image, kRed), 300);
    EXPECT_LT(nearest(image, kWhite), 60);
}

TEST_F(ColorStatic, DrawsInTheDefaultGuiFontWhateverItsParentUses) {
    const auto render = [](int nParentPoints) {
        CTestForm form;
        QFont font = form.font();
        font.setPointSize(nParentPoints);
        font.setBold(true);
        form.setFont(font);
        EXPECT_EQ(form.GetDlgItem(kTip)->font().pointSize(), nParentPoints) << "inherited";
        return form.GetDlgItem(kTip)->grab().toImage();
    };
    const QImage image = render(8);
    EXPECT_LT(nearest(image, QApplication::palette().color(QPalette::WindowText)), 60);
    EXPECT_EQ(render(20), image);
}

// Every pixel of the view that no control covers.
std::vector<QColor> backgroundPixels(CColorFormView& view) {
    const QImage image = view.grab().toImage();
    std::vector<QColor> arrPixels;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (view.childAt(x, y)) continue;
            arrPixels.push_back(image.pixelColor(x, y));
        }
    }
    return arrPixels;
}

TEST(ColorFormView, PaintsTheButtonColourOfItsConstructionByDefault) {
    SystemColours colour(QColor(20, 140, 60));
    CTestForm form;
    form.resize(form.sizeHint());
    colour.Set(QColor(140, 20, 60));
    showAndSettle(form);
    const std::vector<QColor> arrPixels = backgroundPixels(form);
    ASSERT_GT(arrPixels.size(), std::size_t(form.width() * form.height() / 2));
    for (const QColor& cr : arrPixels)
        ASSERT_EQ(cr, QColor(20, 140, 60));
}

TEST(ColorFormView, NewColourAsksNoRepaintAndThenCoversTheClientArea) {
    CTestForm form;
    form.resize(form.sizeHint());
    showAndSettle(form);
    const PaintCounter counter(&form);
    form.SetBackgroundColor(QColor(1, 2, 3));
    form.SetBackgroundColor(kFormColour);
    QApplication::processEvents();
    EXPECT_EQ(counter.m_nPaints, 0);
    for (const QColor& cr : backgroundPixels(form))
        ASSERT_EQ(cr, kFormColour);
}

} // namespace
