#include "support/Files.h"
#include "support/TestHome.h"

#include "framework/Application.h"
#include "framework/BitmapButton.h"
#include "framework/Bitmaps.h"
#include "framework/DataExchange.h"
#include "framework/Document.h"
#include "framework/FormView.h"
#include "framework/FrameWindow.h"
#include "framework/RawPixels.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace framework;

namespace {

using enum ControlKind;

constexpr int kRuleSunken = 1101, kPicture = 1102, kName = 1012, kCopy = 1013, kNew = 1021,
              kPlain = 1022, kRule = 1103, kSlider = 1046, kClipboard = 1029;
constexpr int kFaceNormal = 151, kFacePressed = 169, kFaceSmall = 149, kHeader = 137;
const QColor kBlue(48, 64, 192), kGold(224, 176, 32), kGreen(0, 160, 0);

DialogTemplate formTemplate() {
    return {{},
            {300, 212},
            {
                {HorizontalRule, kRuleSunken, {}, {0, 0, 300, 1}, ControlStyle::Sunken},
                {Picture, kPicture, {}, {5, 4, 133, 15}, ControlStyle::None, kHeader},
                {Edit, kName, {}, {21, 22, 100, 14}},
                {CheckBox, kCopy, "Copy", {21, 40, 100, 10}},
                {BitmapButton, kNew, "New...", {224, 6, 58, 17}},
                {PushButton, kPlain, "Plain", {224, 31, 58, 17}},
                {HorizontalRule, kRule, {}, {8, 56, 280, 0}},
                {.kind = Custom,
                 .nID = kSlider,
                 .strText = "from the template",
                 .rcDlu = {22, 78, 100, 20},
                 .strClass = "TestSlider"},
                {Edit, kClipboard, {}, {139, 191, 68, 12}, ControlStyle::Hidden},
            }};
}

QByteArray solidSvg(QSize size, const QColor& color) {
    return QStringLiteral("<svg xmlns='http://www.w3.org/2000/svg' width='%1' height='%2'>"
                          "<rect width='%1' height='%2' fill='%3'/></svg>")
        .arg(size.width())
        .arg(size.height())
        .arg(color.name())
        .toUtf8();
}

// Solid pictures, so that a pixel tells which one is shown.
class Bitmaps {
public:
    Bitmaps() {
        QHash<int, BitmapResource> table;
        const auto add = [&](int nID, QSize size, const QColor& color) {
            const QString path = m_folder.filePath(QString::number(nID) + ".svg");
            writeFile(path, solidSvg(size, color));
            table.insert(nID, {path, size});
        };
        add(kFaceNormal, {40, 20}, kBlue);
        add(kFacePressed, {40, 20}, kGold);
        add(kFaceSmall, {30, 16}, kBlue);
        add(kHeader, {30, 12}, kGreen);
        InstallBitmapTable(table);
    }
    ~Bitmaps() { InstallBitmapTable({}); }

private:
    QTemporaryDir m_folder;
};

struct TestDoc : CDocument {
    TestDoc() {
        OnCommand(kPlain, [this] { trail << "doc Plain"; });
        OnCommand(kCopy, [this] { trail << "doc Copy"; });
    }
    bool OnSaveDocument(const QString&) override { return true; }
    QStringList trail;
};

class CTestForm : public CFormView {
public:
    CTestForm() : CFormView(formTemplate()) {
        OnCommand(kNew, [this] { static_cast<TestDoc*>(GetDocument())->trail << "view New"; });
    }

    QString m_strName;
    bool m_bCopy = false;
    QSlider* m_pSlider = nullptr;
    QLineEdit* m_editClipboard = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kSlider, m_pSlider);
        DDX_Control(pDX, kClipboard, m_editClipboard);
        DDX_Text(pDX, kName, m_strName);
        DDX_Check(pDX, kCopy, m_bCopy);
    }
};

struct FormApp : CWinApp {
    FormApp() : CWinApp("Form App") {}
    bool InitInstance() override { return true; }
};

// A form view in a main window with a document, as the application has it.
class FormView : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterControlClass("TestSlider", [](const ControlTemplate& ctl, QWidget* pParent) {
            auto* pSlider = new QSlider(Qt::Horizontal, pParent);
            pSlider->setToolTip(ctl.strText);
            return pSlider;
        });
    }

    void SetUp() override {
        m_pForm = new CTestForm;
        m_frame.AttachView(m_pForm, &m_doc);
        m_app.m_pMainWnd = &m_frame;
    }

    void showForm() {
        m_frame.InitialUpdateFrame();
        m_frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    }

    Bitmaps m_bitmaps;
    FormApp m_app;
    TestDoc m_doc;
    CFrameWnd m_frame;
    CTestForm* m_pForm = nullptr;
};

QColor pixel(QWidget* pWidget, QPoint pt) {
    return pWidget->grab().toImage().pixelColor(pt);
}

// A check box takes clicks on its box and label only.
void clickCheckBox(QWidget* pCheckBox) {
    QTest::mouseClick(pCheckBox, Qt::LeftButton, {}, {6, pCheckBox->height() / 2});
}

TEST_F(FormView, PlacesControlsAtTheirRectanglesAndHintsTheFormSize) {
    const DialogTemplate form = formTemplate();
    const DialogUnits& units = m_pForm->Units();
    EXPECT_EQ(units.baseX(), DialogUnits(DialogUnits::dialogFont()).baseX());
    EXPECT_EQ(m_pForm->font().pointSize(), 8);
    EXPECT_EQ(m_pForm->sizeHint(), units.toPixels(form.sizeDlu));
    for (const ControlTemplate& ctl : form.arrControls) {
        const QRect rcPixels = units.toPixels(ctl.rcDlu);
        const QRect rcControl = m_pForm->GetDlgItem(ctl.nID)->geometry();
        EXPECT_EQ(rcControl.topLeft(), rcPixels.topLeft()) << ctl.nID;
        if (ctl.kind == Picture || ctl.kind == HorizontalRule) continue;
        EXPECT_EQ(rcControl.size(), rcPixels.size()) << ctl.nID;
    }

    // A picture is its bitmap's size, not stretched to the rectangle.
    auto* pPicture = m_pForm->Item<QLabel>(kPicture);
    EXPECT_EQ(pPicture->size(), QSize(30, 12));
    EXPECT_EQ(pixel(pPicture, {29, 11}), kGreen);
    // Rules given no height still get the two pixels they draw in.
    EXPECT_EQ(m_pForm->GetDlgItem(kRule)->height(), 2);
    EXPECT_EQ(m_pForm->GetDlgItem(kRuleSunken)->height(), 2);
}

TEST_F(FormView, HorizontalRuleIsEtchedOrSunken) {
    showForm();
    const QImage etched = m_pForm->GetDlgItem(kRule)->grab().toImage();
    const QImage sunken = m_pForm->GetDlgItem(kRuleSunken)->grab().toImage();
    const auto lightness = [](const QImage& image, int x, int y) {
        return image.pixelColor(x, y).lightness();
    };
    for (const QImage* pRule : {&etched, &sunken}) {
        const int nMiddle = pRule->width() / 2;
        EXPECT_LT(lightness(*pRule, nMiddle, 0), lightness(*pRule, nMiddle, 1))
            << "dark over light";
    }
}

TEST_F(FormView, ExchangesDataBothWays) {
    m_pForm->m_strName = "Glow";
    m_pForm->m_bCopy = true;
    showForm();
    EXPECT_EQ(m_pForm->Item<QLineEdit>(kName)->text(), "Glow") << "the initial update binds";
    EXPECT_TRUE(m_pForm->Item<QCheckBox>(kCopy)->isChecked());
    EXPECT_EQ(m_pForm->m_editClipboard, m_pForm->GetDlgItem(kClipboard));

    QTest::keyClicks(m_pForm->GetDlgItem(kName), " on");
    clickCheckBox(m_pForm->GetDlgItem(kCopy));
    ASSERT_TRUE(m_pForm->UpdateData(true));
    EXPECT_EQ(m_pForm->m_strName, "Glow on");
    EXPECT_FALSE(m_pForm->m_bCopy);
}

TEST_F(FormView, CustomControlIsMadeByItsFactoryAndBound) {
    showForm();
    auto* pSlider = m_pForm->Item<QSlider>(kSlider);
    ASSERT_NE(pSlider, nullptr);
    EXPECT_EQ(pSlider->toolTip(), "from the template") << "the factory sees its template entry";
    EXPECT_EQ(m_pForm->m_pSlider, pSlider);
}

TEST_F(FormView, UnknownControlClassAssertsOrKeepsItsPlace) {
    const DialogTemplate form{{}, {100, 50}, {{.kind = Custom, .nID = 7, .strClass = "Nobody"}}};
    QWidget parent;
#ifdef QT_NO_DEBUG
    const auto arrControls = buildControls(form, DialogUnits(7, 13), &parent);
    ASSERT_EQ(arrControls.size(), 1u);
    EXPECT_EQ(arrControls[0].first, 7);
    EXPECT_NE(arrControls[0].second, nullptr);
#else
    EXPECT_DEATH(buildControls(form, DialogUnits(7, 13), &parent), "no control class Nobody");
#endif
}

TEST_F(FormView, ButtonsSendTheirIDsThroughTheFrameRouting) {
    showForm();
    QTest::mouseClick(m_pForm->GetDlgItem(kNew), Qt::LeftButton);
    QTest::mouseClick(m_pForm->GetDlgItem(kPlain), Qt::LeftButton);
    clickCheckBox(m_pForm->GetDlgItem(kCopy));
    ASSERT_TRUE(m_pForm->Item<QCheckBox>(kCopy)->isChecked());
    EXPECT_EQ(m_doc.trail, (QStringList{"view New", "doc Plain"})) << "check boxes send nothing";

    // Without a main window a click goes nowhere, and nothing breaks.
    m_app.m_pMainWnd = nullptr;
    QTest::mouseClick(m_pForm->GetDlgItem(kNew), Qt::LeftButton);
    EXPECT_EQ(m_doc.trail.size(), 2);
}

TEST_F(FormView, HiddenControlNeverShowsNorTakesTheFocus) {
    showForm();
    QWidget* pHidden = m_pForm->GetDlgItem(kClipboard);
    EXPECT_FALSE(pHidden->isVisible());

    m_pForm->GetDlgItem(kName)->setFocus();
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), pHidden) << "Tab " << i;
    }
    QTest::mouseClick(m_pForm, Qt::LeftButton, {}, pHidden->geometry().center());
    pHidden->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(pHidden->hasFocus());
    EXPECT_FALSE(pHidden->isVisible());

    // Still a working edit for the code that fills it.
    m_pForm->m_editClipboard->setText("code");
    EXPECT_EQ(m_pForm->m_editClipboard->text(), "code");

    // A mnemonic passes it by for the next control that takes the focus.
    QWidget parent;
    const auto arrControls = buildControls({{},
                                            {100, 50},
                                            {{Static, 1, "&Code:", {0, 0, 20, 10}},
                                             {Edit, 2, {}, {20, 0, 20, 10}, ControlStyle::Hidden},
                                             {Edit, 3, {}, {40, 0, 20, 10}}}},
                                           DialogUnits(7, 13), &parent);
    EXPECT_EQ(static_cast<QLabel*>(arrControls[0].second)->buddy(), arrControls[2].second);
}

TEST_F(FormView, BitmapButtonShowsItsFacesAndSizesToThem) {
    showForm();
    auto* pButton = m_pForm->Item<CBitmapButton>(kNew);
    ASSERT_NE(pButton, nullptr);
    ASSERT_TRUE(pButton->LoadBitmaps(kFaceNormal, kFacePressed));
    pButton->SizeToContent();
    EXPECT_EQ(pButton->size(), QSize(40, 20));

    const QPoint ptInside(20, 10);
    EXPECT_EQ(pixel(pButton, ptInside), kBlue);
    QTest::mousePress(pButton, Qt::LeftButton, {}, ptInside);
    EXPECT_EQ(pixel(pButton, ptInside), kGold) << "pressed face while held down";
    QTest::mouseRelease(pButton, Qt::LeftButton, {}, ptInside);
    EXPECT_EQ(pixel(pButton, ptInside), kBlue);
    EXPECT_EQ(m_doc.trail, QStringList{"view New"}) << "the release is the click";

    // The faces carry the caption; the template's text names the button.
    QAccessibleInterface* pAccessible = QAccessible::queryAccessibleInterface(pButton);
    ASSERT_NE(pAccessible, nullptr);
    EXPECT_EQ(pAccessible->text(QAccessible::Name), "New...");

    // Keyboard focus shows over the face.
    m_pForm->GetDlgItem(kCopy)->setFocus();
    const QImage unfocused = pButton->grab().toImage();
    QTest::keyClick(m_pForm->GetDlgItem(kCopy), Qt::Key_Tab);
    ASSERT_TRUE(pButton->hasFocus());
    EXPECT_NE(pButton->grab().toImage(), unfocused);
}

TEST_F(FormView, BitmapButtonWithoutPressedFaceOrAnyFace) {
    auto* pButton = m_pForm->Item<CBitmapButton>(kNew);
    const QSize sizeTemplate = pButton->size();
    EXPECT_FALSE(pButton->LoadBitmaps(4242, kFacePressed)) << "no normal face";
    pButton->SizeToContent();
    EXPECT_EQ(pButton->size(), sizeTemplate);

    ASSERT_TRUE(pButton->LoadBitmaps(kFaceSmall));
    pButton->SizeToContent();
    EXPECT_EQ(pButton->size(), QSize(30, 16));
    pButton->setDown(true);
    EXPECT_EQ(pixel(pButton, {15, 8}), kBlue) << "the normal face stands in";
}

TEST(RawPixels, RoundTripKeepsEveryPixelAndDamagedDataGivesNothing) {
    QImage picture(5, 3, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            picture.setPixel(x, y, qPremultiply(qRgba(x * 50, y * 80, 7, 60 + x * 40)));
    const QByteArray data = EncodeRawPixels(picture);
    const auto decode = [](const QByteArray& bytes) {
        return DecodeRawPixels(reinterpret_cast<const uchar*>(bytes.constData()), bytes.size());
    };
    EXPECT_EQ(decode(data), picture);
    // Odd offsets, as resource data may lie.
    QByteArray shifted = QByteArray(1, '\0') + data;
    EXPECT_EQ(DecodeRawPixels(reinterpret_cast<const uchar*>(shifted.constData()) + 1, data.size()),
              picture);

    EXPECT_TRUE(decode(data.chopped(1)).isNull()) << "a truncated picture";
    EXPECT_TRUE(decode(data + "x").isNull()) << "trailing bytes";
    EXPECT_TRUE(decode(data.left(8)).isNull()) << "a short header";
    QByteArray foreign = data;
    foreign[0] = 'P';
    EXPECT_TRUE(decode(foreign).isNull());
    // Sides larger than any picture, with data that would match their product.
    QByteArray huge = data.left(4);
    const quint32 sides[] = {0x10000u, 0x10000u};
    huge.append(reinterpret_cast<const char*>(sides), sizeof sides);
    EXPECT_TRUE(decode(huge).isNull());
    EXPECT_TRUE(DecodeRawPixels(nullptr, 0).isNull());
}

} // namespace

int main(int argc, char** argv) {
    useTemporaryHome();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
