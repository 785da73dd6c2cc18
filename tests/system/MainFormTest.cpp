#include "AppFixture.h"
#include "support/RecordingSeams.h"

#include "controls/ColorStatic.h"
#include "framework/BitmapButton.h"
#include "output/VellwickToolView.h"
#include "platform/Help.h"
#include "platform/Registry.h"
#include "res/Resource.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>

using namespace framework;

namespace {

const QColor kFormColor(178, 178, 201);

} // namespace

class MainForm : public AppFixture {
protected:
    CVellwickToolView* view() const {
        return static_cast<CVellwickToolView*>(frame()->GetActiveView());
    }
    QList<CBitmapButton*> buttons() const {
        const CVellwickToolView* v = view();
        return {v->m_btnNew,     v->m_btnOpen,       v->m_btnConfigure, v->m_btnCopyCode,
                v->m_btnNewPage, v->m_btnInsertInto, v->m_btnMoreInfo};
    }
};

TEST_F(MainForm, ButtonsReachTheDocumentsCommandsAndTheHelp) {
    bool newDialogShown = false;
    whenDialogShows([&](QWidget* dialog) {
        newDialogShown = true;
        static_cast<QDialog*>(dialog)->reject();
    });
    QTest::mouseClick(view()->m_btnNew, Qt::LeftButton);
    EXPECT_TRUE(newDialogShown) << "New... runs the document's New with its template dialog";

    QTest::mouseClick(view()->m_btnOpen, Qt::LeftButton);
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_EQ(prompts.fileRequests[0].mode, FileDialogRequest::Open);

    fake.state().configureResult = false;
    QTest::mouseClick(view()->m_btnConfigure, Qt::LeftButton);
    EXPECT_EQ(fake.state().configureCalls, 1);
    EXPECT_FALSE(doc()->IsModified()) << "a cancelled Configure leaves a clear flag clear";
    fake.state().configureResult = true;
    QTest::mouseClick(view()->m_btnConfigure, Qt::LeftButton);
    EXPECT_TRUE(doc()->IsModified());
    fake.state().configureResult = false;
    QTest::mouseClick(view()->m_btnConfigure, Qt::LeftButton);
    EXPECT_TRUE(doc()->IsModified()) << "and a set one set";

    RecordingHelp help;
    QTest::mouseClick(view()->m_btnMoreInfo, Qt::LeftButton);
    EXPECT_EQ(help.asked, QStringList{"43"});
    EXPECT_TRUE(prompts.messages.isEmpty());
}

TEST_F(MainForm, FacesColoursAndTheHiddenEdit) {
    frame()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame()));
    for (CBitmapButton* button : buttons()) {
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->size() == QSize(100, 35) || button->size() == QSize(82, 24))
            << button->text().toStdString() << " sizes to its face";
    }
    const QImage form = view()->grab().toImage();
    EXPECT_EQ(form.pixelColor(2, form.height() / 2), kFormColor) << "the form's own colour";
    for (CColorStatic* tip : view()->m_tipTexts) {
        ASSERT_NE(tip, nullptr);
        const QImage text = tip->grab().toImage();
        EXPECT_EQ(text.pixelColor(text.width() - 1, text.height() - 1), kFormColor);
    }

    QLineEdit* hidden = view()->m_editClipboard;
    EXPECT_FALSE(hidden->isVisible());
    view()->m_btnNew->setFocus();
    for (int i = 0; i < 20; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(QApplication::focusWidget(), hidden) << "Tab never lands on the hidden edit";
    }
    EXPECT_FALSE(hidden->isVisible());
}

TEST_F(MainForm, KeyboardFocusOnAPictureButtonIsDrawn) {
    frame()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame()));
    for (CBitmapButton* button : {view()->m_btnMoreInfo, view()->m_btnCopyCode}) {
        view()->m_btnNew->setFocus(Qt::TabFocusReason);
        const QImage unfocused = button->grab().toImage();
        button->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(button->hasFocus());
        const QImage focused = button->grab().toImage();
        ASSERT_EQ(focused.size(), unfocused.size());
        // Along the rectangle's top and left edges, three pixels in.
        int changed = 0, edge = 0;
        for (int x = 4; x < focused.width() - 4; ++x, ++edge)
            changed += focused.pixel(x, 3) != unfocused.pixel(x, 3);
        for (int y = 4; y < focused.height() - 4; ++y, ++edge)
            changed += focused.pixel(3, y) != unfocused.pixel(3, y);
        EXPECT_GE(changed, edge / 3) << button->text().toStdString() << ": dotted, so about half";
        // The face inside is left as it was.
        const QPoint middle(focused.width() / 2, focused.height() / 2);
        EXPECT_EQ(focused.pixel(middle), unfocused.pixel(middle));
    }
}

TEST_F(MainForm, NoButtonReachesAMissingWidget) {
    const QString corrupt = makeFile("corrupt.tvt");
    EXPECT_EQ(app.OpenDocumentFile(corrupt), nullptr);
    ASSERT_EQ(doc()->m_pTavolet, nullptr);
    prompts.messages.clear();
    RecordingHelp help;
    for (CBitmapButton* button : buttons())
        if (button != view()->m_btnNew && button != view()->m_btnOpen)
            QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
    EXPECT_EQ(fake.state().configureCalls, 0);
}

namespace {
void storeFrame(int width, int height) {
    auto& registry = platform::Registry::instance();
    const QString key = QStringLiteral("Software\\Mirovasta\\Vellwick Glimmerkey\\Frame");
    const std::pair<const char*, int> values[] = {
        {"Status", SW_SHOWNORMAL}, {"Top", 0}, {"Left", 0}, {"Bottom", height}, {"Right", width}};
    for (const auto& [name, value] : values)
        registry.writeString(platform::RootKey::CurrentUser, key, name, QString::number(value));
}
} // namespace

TEST_F(MainForm, TheFrameShrinksToTheFormAndNeverGrows) {
    app.m_pMainWnd->close();
    const QSize fitting = app.m_pMainWnd->size(); // the fixture's window was never sized
    storeFrame(fitting.width() + 300, fitting.height() + 200);
    {
        CVellwickToolApp big(appFolder.path());
        ASSERT_TRUE(big.InitInstance());
        EXPECT_EQ(big.m_pMainWnd->size(), fitting);
        EXPECT_EQ(big.m_pMainWnd->GetActiveView()->size(),
                  big.m_pMainWnd->GetActiveView()->sizeHint());
        big.ExitInstance();
    }
    storeFrame(fitting.width() - 100, fitting.height() - 50);
    {
        CVellwickToolApp small(appFolder.path());
        ASSERT_TRUE(small.InitInstance());
        EXPECT_EQ(small.m_pMainWnd->size(), fitting - QSize(100, 50));
        small.ExitInstance();
    }
}
