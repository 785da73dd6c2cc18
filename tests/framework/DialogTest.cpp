#include "framework/Dialog.h"
#include "framework/DataExchange.h"
#include "platform/DispatchDriver.h"
#include "support/ScriptedPrompts.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>

using namespace framework;

namespace {

using enum ControlKind;

constexpr int kTemplates = 1011, kName = 1012, kBody = 1013, kInfo = 1014, kCopy = 1015,
              kFill = 1016, kFiles = 1017;

DialogTemplate testTemplate(ControlStyles bodyStyles = ControlStyle::VScroll |
                                                       ControlStyle::HScroll) {
    return {"New ",
            {191, 220},
            {
                {Static, -1, "&Name:", {7, 9, 54, 10}},
                {Edit, kName, {}, {68, 7, 116, 14}, ControlStyle::AutoScroll},
                {Static, -1, "Select a Template:", {7, 26, 177, 11}},
                {ListBox, kTemplates, {}, {7, 38, 177, 40}, ControlStyle::VScroll},
                {Static, kInfo, {}, {7, 80, 177, 11}, ControlStyle::Sunken},
                {RichEdit, kBody, {}, {7, 94, 177, 40}, bodyStyles},
                {CheckBox, kCopy, "Copy support files", {10, 147, 120, 10}},
                {GroupBox, -1, "Options", {4, 136, 183, 28}},
                {ListView, kFiles, {}, {7, 166, 120, 30}, ControlStyle::MultipleSelection},
                {PushButton, kFill, "Fill", {140, 166, 40, 14}},
                {PushButton, IDOK, "OK", {49, 200, 40, 14}, ControlStyle::Default},
                {PushButton, IDCANCEL, "Cancel", {102, 200, 40, 14}},
            }};
}

class CTestDlg : public CDialog {
public:
    explicit CTestDlg(const DialogTemplate& dlgTemplate = testTemplate()) : CDialog(dlgTemplate) {
        OnButton(kFill, &CTestDlg::OnFill);
        OnSelChange(kTemplates, &CTestDlg::OnSelChangeTemplates);
    }

    QString m_strName, m_strBody, m_strInfo;
    bool m_bCopySupportFiles = false;
    int m_nSelected = -1;
    QListWidget* m_lbTemplates = nullptr;
    bool m_bRequireName = false;
    int m_nSelChanges = 0;

protected:
    bool OnInitDialog() override {
        Item<QListWidget>(kTemplates)->addItems({"Zeta", "Alpha", "Mid"});
        return CDialog::OnInitDialog();
    }

    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kTemplates, m_lbTemplates);
        DDX_Text(pDX, kName, m_strName);
        if (pDX->m_bSaveAndValidate && m_bRequireName && m_strName.isEmpty()) pDX->Fail();
        DDX_LBIndex(pDX, kTemplates, m_nSelected);
        DDX_Text(pDX, kInfo, m_strInfo);
        DDX_Text(pDX, kBody, m_strBody);
        DDX_Check(pDX, kCopy, m_bCopySupportFiles);
    }

    void OnFill() {
        UpdateData(true);
        m_strInfo = "Hello " + m_strName;
        m_nSelected = 2;
        UpdateData(false);
    }

    void OnSelChangeTemplates() {
        ++m_nSelChanges;
        UpdateData(true);
        m_strInfo = m_lbTemplates->item(m_nSelected)->text();
        UpdateData(false);
    }
};

// Runs the dialog modally while `script` drives it; a watchdog ends a run
// that the script failed to close, so a fault fails the test instead of hanging it.
constexpr int kTimedOut = -99;
int runModal(CDialog& dlg, const std::function<void()>& script) {
    QTimer::singleShot(0, &dlg, script);
    QTimer::singleShot(5000, &dlg, [&dlg] { dlg.done(kTimedOut); });
    return dlg.DoModal();
}

TEST(DialogUnits, ConvertLikeTheClassicDialogManager) {
    const DialogUnits units(6, 13);                              // an 8-point classic dialog font
    EXPECT_EQ(units.toPixelsX(1), 2);                            // 1.5 rounds away from zero
    EXPECT_EQ(units.toPixelsX(-1), -2);                          // -1.5
    EXPECT_EQ(units.toPixelsY(3), 5);                            // 4.875
    EXPECT_EQ(units.toPixelsY(-4), -7);                          // -6.5
    EXPECT_EQ(units.toPixels(QSize(191, 170)), QSize(287, 276)); // 286.5, 276.25

    // Edges are converted, not sizes, so neighbours still touch.
    const QRect rcLeft = units.toPixels(QRect(1, 1, 1, 4));
    const QRect rcRight = units.toPixels(QRect(2, 5, 1, 4));
    EXPECT_EQ(rcLeft.right() + 1, rcRight.left());
    EXPECT_EQ(rcLeft.bottom() + 1, rcRight.top());
}

TEST(DialogUnits, FixedPitchFontGivesItsLetterWidthAndHeight) {
    for (int nPoints : {8, 20}) {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(nPoints);
        const QFontMetrics metrics(font);
        if (metrics.horizontalAdvance(u'i') != metrics.horizontalAdvance(u'W'))
            GTEST_SKIP() << "no fixed-pitch font installed";
        const DialogUnits units(font);
        EXPECT_EQ(units.baseX(), metrics.horizontalAdvance(u'x')) << nPoints;
        EXPECT_EQ(units.baseY(), metrics.height()) << nPoints;
    }
}

TEST(DialogTemplate, ControlsSitAtTheirRectanglesInTheDialogFont) {
    const DialogTemplate dlgTemplate = testTemplate();
    CTestDlg dlg(dlgTemplate);
    // The units must come from the font the controls are drawn in.
    const DialogUnits unitsOfControls(dlg.GetDlgItem(kName)->font());
    EXPECT_EQ(unitsOfControls.baseX(), dlg.Units().baseX());
    EXPECT_EQ(unitsOfControls.baseY(), dlg.Units().baseY());
    EXPECT_EQ(dlg.font().pointSize(), 8);
    EXPECT_EQ(dlg.size(), dlg.Units().toPixels(dlgTemplate.sizeDlu));
    for (const ControlTemplate& ctl : dlgTemplate.arrControls) {
        if (ctl.nID == -1) continue;
        const QRect placed = dlg.GetDlgItem(ctl.nID)->geometry();
        const QRect asDrawn = dlg.Units().toPixels(ctl.rcDlu);
        if (ctl.kind != ListBox || (ctl.styles & ControlStyle::NoIntegralHeight)) {
            EXPECT_EQ(placed, asDrawn) << ctl.nID;
            continue;
        }
        // A list box gives up what would cut its last row, never more than a row.
        auto* list = dlg.Item<QListWidget>(ctl.nID);
        list->addItem("row");
        const int nRow = list->sizeHintForRow(0);
        EXPECT_EQ(placed.topLeft(), asDrawn.topLeft()) << ctl.nID;
        EXPECT_EQ(placed.width(), asDrawn.width()) << ctl.nID;
        EXPECT_LE(placed.height(), asDrawn.height()) << ctl.nID;
        EXPECT_GT(placed.height(), asDrawn.height() - nRow) << ctl.nID;
        EXPECT_EQ((placed.height() - 2 * list->frameWidth()) % nRow, 0) << ctl.nID;
    }
    EXPECT_EQ(dlg.GetDlgItem(4242), nullptr);
    EXPECT_EQ(dlg.Item<QListWidget>(kName), nullptr);
}

TEST(DialogTemplate, KindsAndStylesBehaveAsDeclared) {
    CTestDlg dlg;
    dlg.show();
    EXPECT_TRUE(dlg.Item<QPushButton>(IDOK)->isDefault());
    EXPECT_FALSE(dlg.Item<QPushButton>(IDCANCEL)->isDefault());
    EXPECT_EQ(dlg.Item<QTreeWidget>(kFiles)->selectionMode(), QAbstractItemView::ExtendedSelection);

    auto* pList = dlg.Item<QListWidget>(kTemplates);
    EXPECT_EQ(pList->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(pList->item(0)->text(), "Zeta") << "unsorted keeps insertion order";
    EXPECT_EQ(pList->item(2)->text(), "Mid");

    // The group box comes later in the template but must not take the check box's clicks.
    auto* pCheck = dlg.Item<QCheckBox>(kCopy);
    EXPECT_EQ(dlg.childAt(pCheck->geometry().center()), pCheck);
    QTest::mouseClick(pCheck, Qt::LeftButton);
    EXPECT_TRUE(pCheck->isChecked());

    // A label's mnemonic reaches the edit after it.
    const auto arrLabels = dlg.findChildren<QLabel*>();
    const auto itName = std::find_if(arrLabels.begin(), arrLabels.end(),
                                     [](QLabel* p) { return p->text() == "&Name:"; });
    ASSERT_NE(itName, arrLabels.end());
    EXPECT_EQ((*itName)->buddy(), dlg.GetDlgItem(kName));
}

TEST(DataExchange, MovesEveryKindOfControlBothWays) {
    CTestDlg dlg;
    dlg.m_strName = "Glow";
    dlg.m_strBody = "line 1\nline 2";
    dlg.m_strInfo = "<b>not bold</b>";
    dlg.m_bCopySupportFiles = true;
    dlg.m_nSelected = 1;
    dlg.show();
    EXPECT_EQ(dlg.m_lbTemplates, dlg.GetDlgItem(kTemplates));
    EXPECT_EQ(dlg.Item<QLineEdit>(kName)->text(), "Glow");
    EXPECT_EQ(dlg.Item<QPlainTextEdit>(kBody)->toPlainText(), "line 1\nline 2");
    EXPECT_EQ(dlg.Item<QLabel>(kInfo)->text(), "<b>not bold</b>");
    EXPECT_TRUE(dlg.Item<QCheckBox>(kCopy)->isChecked());
    EXPECT_EQ(dlg.m_lbTemplates->currentRow(), 1);
    EXPECT_EQ(dlg.m_nSelChanges, 0) << "UpdateData(false) must not notify";

    dlg.Item<QLineEdit>(kName)->setText("Shine");
    dlg.Item<QPlainTextEdit>(kBody)->setPlainText("other");
    dlg.Item<QCheckBox>(kCopy)->setChecked(false);
    dlg.m_lbTemplates->setCurrentRow(2);
    dlg.m_strInfo.clear();
    ASSERT_TRUE(dlg.UpdateData(true));
    EXPECT_EQ(dlg.m_strName, "Shine");
    EXPECT_EQ(dlg.m_strBody, "other");
    EXPECT_FALSE(dlg.m_bCopySupportFiles);
    EXPECT_EQ(dlg.m_nSelected, 2);
    EXPECT_EQ(dlg.m_strInfo, "Mid") << "the static's text is read back";

    // Writing back what the user already has must leave the caret alone.
    dlg.Item<QLineEdit>(kName)->setCursorPosition(2);
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.Item<QLineEdit>(kName)->cursorPosition(), 2);

    for (int nIndex : {-1, 3}) {
        dlg.m_nSelected = nIndex;
        dlg.UpdateData(false);
        dlg.UpdateData(true);
        EXPECT_EQ(dlg.m_nSelected, -1) << "index " << nIndex << " selects nothing";
    }
}

TEST(Dialog, HandlersSeeUserChangesAndRefreshControls) {
    CTestDlg dlg;
    dlg.m_strName = "Kept";
    dlg.show();
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(kName)) << "first tab stop takes the focus";
    EXPECT_EQ(dlg.Item<QLineEdit>(kName)->selectedText(), "Kept");

    auto* pList = dlg.Item<QListWidget>(kTemplates);
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {},
                      pList->visualItemRect(pList->item(1)).center());
    EXPECT_EQ(dlg.m_nSelChanges, 1);
    EXPECT_EQ(dlg.Item<QLabel>(kInfo)->text(), "Alpha");
    EXPECT_EQ(dlg.m_strName, "Kept");

    QTest::keyClick(dlg.GetDlgItem(kName), Qt::Key_End);
    QTest::keyClicks(dlg.GetDlgItem(kName), "!");
    QTest::mouseClick(dlg.GetDlgItem(kFill), Qt::LeftButton);
    EXPECT_EQ(dlg.Item<QLabel>(kInfo)->text(), "Hello Kept!");
    EXPECT_EQ(pList->currentRow(), 2);
    EXPECT_EQ(dlg.m_nSelChanges, 1);
    EXPECT_TRUE(dlg.isVisible());
}

TEST(Dialog, EditChangesReachTheirHandlerButExchangesDoNot) {
    class CEditDlg : public CTestDlg {
    public:
        CEditDlg() {
            OnEditChange(kName, &CEditDlg::OnChangeName);
            OnEditChange(kBody, &CEditDlg::OnChangeBody);
        }
        QStringList m_arrNamesSeen;
        int m_nBodyChanges = 0;

    private:
        void OnChangeName() {
            UpdateData(true);
            m_arrNamesSeen << m_strName;
        }
        void OnChangeBody() { ++m_nBodyChanges; }
    };
    CEditDlg dlg;
    dlg.m_strName = "Gl";
    dlg.m_strBody = "first";
    dlg.show();
    EXPECT_TRUE(dlg.m_arrNamesSeen.isEmpty()) << "the initial exchange is no change";
    EXPECT_EQ(dlg.m_nBodyChanges, 0);

    QTest::keyClick(dlg.GetDlgItem(kName), Qt::Key_End);
    QTest::keyClicks(dlg.GetDlgItem(kName), "ow");
    EXPECT_EQ(dlg.m_arrNamesSeen, (QStringList{"Glo", "Glow"}));
    QTest::keyClicks(dlg.GetDlgItem(kBody), "x");
    EXPECT_EQ(dlg.m_nBodyChanges, 1);

    dlg.m_strName = "Other";
    dlg.m_strBody = "second";
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.m_arrNamesSeen.size(), 2);
    EXPECT_EQ(dlg.m_nBodyChanges, 1);
}

TEST(Dialog, OkExchangesAndFailedValidationKeepsTheDialogOpen) {
    CTestDlg dlg;
    dlg.m_bRequireName = true;
    dlg.show();
    QTest::keyClicks(dlg.GetDlgItem(kBody), "typed");
    dlg.GetDlgItem(kCopy)->setFocus();

    QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.focusWidget(), dlg.GetDlgItem(kName)) << "focus returns to the failed control";

    QTest::keyClicks(dlg.GetDlgItem(kName), "Glow");
    QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_EQ(dlg.m_strName, "Glow");
    EXPECT_EQ(dlg.m_strBody, "typed");
}

TEST(Dialog, CancelEscapeAndCloseBoxLeaveMembersAlone) {
    const std::vector<std::function<void(CDialog&)>> arrWays{
        [](CDialog& dlg) { QTest::mouseClick(dlg.GetDlgItem(IDCANCEL), Qt::LeftButton); },
        [](CDialog& dlg) { QTest::keyClick(dlg.GetDlgItem(kName), Qt::Key_Escape); },
        [](CDialog& dlg) { dlg.close(); },
    };
    for (std::size_t i = 0; i < arrWays.size(); ++i) {
        CTestDlg dlg;
        dlg.m_strName = "Before";
        dlg.show();
        QTest::keyClicks(dlg.GetDlgItem(kName), " after");
        arrWays[i](dlg);
        EXPECT_FALSE(dlg.isVisible()) << i;
        EXPECT_EQ(dlg.result(), IDCANCEL) << i;
        EXPECT_EQ(dlg.m_strName, "Before") << i;
    }
}

TEST(Dialog, EnterInAMultilineEditPressesTheDefaultUnlessItWantsReturn) {
    CTestDlg dlg;
    dlg.show();
    QTest::keyClicks(dlg.GetDlgItem(kBody), "one");
    QTest::keyClick(dlg.GetDlgItem(kBody), Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.m_strBody, "one");

    CTestDlg dlgWantsReturn(testTemplate(ControlStyle::WantReturn));
    dlgWantsReturn.show();
    QTest::keyClicks(dlgWantsReturn.GetDlgItem(kBody), "one");
    QTest::keyClick(dlgWantsReturn.GetDlgItem(kBody), Qt::Key_Return);
    QTest::keyClicks(dlgWantsReturn.GetDlgItem(kBody), "two");
    EXPECT_TRUE(dlgWantsReturn.isVisible());
    EXPECT_EQ(dlgWantsReturn.Item<QPlainTextEdit>(kBody)->toPlainText(), "one\ntwo");
}

TEST(DialogModal, ReturnsHowItEnded) {
    CTestDlg dlgEnter;
    EXPECT_EQ(runModal(dlgEnter,
                       [&] {
                           QTest::keyClicks(dlgEnter.GetDlgItem(kName), "Glow");
                           QTest::keyClick(dlgEnter.GetDlgItem(kName), Qt::Key_Return);
                       }),
              IDOK);
    EXPECT_EQ(dlgEnter.m_strName, "Glow");

    // Without a default button Enter still ends the dialog as OK, and never
    // presses a button that merely comes first.
    bool bPressed = false;
    CDialog dlgNoDefault(
        {"Browsers",
         {100, 60},
         {{PushButton, 11, "Delete", {5, 5, 90, 14}}, {Edit, 10, {}, {5, 25, 90, 14}}}});
    QObject::connect(dlgNoDefault.Item<QPushButton>(11), &QPushButton::clicked,
                     [&] { bPressed = true; });
    EXPECT_EQ(runModal(dlgNoDefault,
                       [&] {
                           dlgNoDefault.GetDlgItem(10)->setFocus();
                           QTest::keyClick(dlgNoDefault.GetDlgItem(10), Qt::Key_Return);
                       }),
              IDOK);
    EXPECT_FALSE(bPressed);

    // A focused button answers Enter itself.
    CDialog dlgFocused({"Browsers", {100, 60}, {{PushButton, 11, "Delete", {5, 5, 90, 14}}}});
    QObject::connect(dlgFocused.Item<QPushButton>(11), &QPushButton::clicked, [&] {
        bPressed = true;
        dlgFocused.EndDialog(IDCANCEL);
    });
    EXPECT_EQ(runModal(dlgFocused,
                       [&] {
                           dlgFocused.GetDlgItem(11)->setFocus();
                           QTest::keyClick(dlgFocused.GetDlgItem(11), Qt::Key_Return);
                       }),
              IDCANCEL);
    EXPECT_TRUE(bPressed);
}

TEST(DialogModal, EndDialogDuringInitReturnsItsCode) {
    class CRefusingDlg : public CDialog {
    public:
        using CDialog::CDialog;

    protected:
        bool OnInitDialog() override {
            EndDialog(7);
            return true;
        }
    };
    CRefusingDlg dlg(testTemplate());
    EXPECT_EQ(runModal(dlg, [] {}), 7);
}

// Every handler throws a server error once; the boundary must report each
// exactly once and keep the dialog working.
class CThrowingDlg : public CTestDlg {
public:
    explicit CThrowingDlg(bool bFailInit = false) : m_bFailInit(bFailInit) {
        OnButton(kFill, &CThrowingDlg::OnFillFailing);
        OnSelChange(kTemplates, &CThrowingDlg::OnSelChangeFailing);
    }
    int m_nCalls = 0;

protected:
    bool OnInitDialog() override {
        CTestDlg::OnInitDialog();
        if (m_bFailInit) throw platform::DispatchError("init failed");
        return true;
    }
    void OnOK() override {
        if (m_nCalls++ == 0) throw platform::DispatchError("OK failed");
        CTestDlg::OnOK();
    }

private:
    void OnFillFailing() { throw platform::DispatchError("button failed"); }
    void OnSelChangeFailing() { throw platform::DispatchError("selection failed"); }
    bool m_bFailInit;
};

TEST(DialogErrorBoundary, HandlerErrorsAreReportedOnceAndTheDialogStaysUsable) {
    ScriptedPrompts prompts;
    CThrowingDlg dlg;
    bool bOpenAfterErrors = false;
    EXPECT_EQ(runModal(dlg,
                       [&] {
                           QTest::mouseClick(dlg.GetDlgItem(kFill), Qt::LeftButton);
                           auto* pList = dlg.Item<QListWidget>(kTemplates);
                           QTest::mouseClick(pList->viewport(), Qt::LeftButton, {},
                                             pList->visualItemRect(pList->item(1)).center());
                           QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                           bOpenAfterErrors = dlg.isVisible();
                           QTest::mouseClick(dlg.GetDlgItem(IDOK), Qt::LeftButton);
                       }),
              IDOK);
    EXPECT_TRUE(bOpenAfterErrors);
    EXPECT_EQ(prompts.messages, (QStringList{"button failed", "selection failed", "OK failed"}));
}

TEST(DialogErrorBoundary, FailedInitialisationEndsTheDialogAsCancelled) {
    ScriptedPrompts prompts;
    CThrowingDlg dlg(true);
    EXPECT_EQ(runModal(dlg, [] {}), IDCANCEL);
    EXPECT_EQ(prompts.messages, QStringList{"init failed"});
    EXPECT_FALSE(dlg.isVisible());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
