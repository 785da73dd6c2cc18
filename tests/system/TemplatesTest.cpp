#include "AppFixture.h"

#include "support/MessageLines.h"
#include "support/TinyFileSystem.h"

#include "output/VellwickToolView.h"
#include "res/Resource.h"
#include "templates/ManageTemplatesDlg.h"
#include "templates/NewWidgetDlg.h"
#include "templates/SaveTemplateDlg.h"
#include "templates/TemplateStore.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace framework;

namespace {

const QString kProgId = QStringLiteral("TavoletServer.Glimmerkey");
const QString kWidgetRule =
    "The name of widget is not valid.It accept only alphanumeric characters.\nYou have entered an "
    "invalid character, such as '-', '_', ':', ';', '#', (), [], or ?, in the name.\n";
const QString kTemplateRule =
    "The template name of widget is not valid.It accept only alphanumeric characters.\nYou have "
    "entered an invalid character, such as '-', '_', ':', ';', '#', (), [], or ?, in the name.\n";

QStringList items(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

// Runs `dialog` modally while `script` drives it; a watchdog closes a
// dialog the script left open, so a fault fails instead of hanging.
int run(CDialog& dialog, const std::function<void()>& script) {
    QObject scope;
    QTimer::singleShot(0, &scope, script);
    QTimer::singleShot(5000, &scope, [&dialog] { dialog.done(-99); });
    return dialog.DoModal();
}

void type(CDialog& dialog, int id, const QString& text) {
    auto* edit = dialog.Item<QLineEdit>(id);
    edit->clear();
    QTest::keyClicks(edit, text);
}

} // namespace

class Templates : public AppFixture {
protected:
    QString templateFile(const QString& fileName) const {
        return fake.serverFolder() + "/" + fileName + "_" + kProgId + ".tvt";
    }
    void addTemplate(const QString& fileName, const QString& storedName,
                     const QString& description = {}, const QString& owner = kProgId) {
        fake.writeWidgetFile(templateFile(fileName), owner, storedName, description);
    }
    QStringList listed() {
        CTavolet scratch;
        EXPECT_TRUE(scratch.CreateFromProgID(kProgId));
        QStringList names;
        for (const TemplateEntry& entry : scratch.ListTemplates())
            names << entry.strName;
        return names;
    }
};

TEST_F(Templates, ListingUsesStoredNamesAndSkipsForeignAndUnreadableFiles) {
    addTemplate("Blue", "Sky", "stored name differs");
    addTemplate("Twin1", "Twin");
    addTemplate("Twin2", "Twin");
    addTemplate("Alien", "Alien", {}, "Other.Server");
    QFile(templateFile("Broken")).open(QIODevice::WriteOnly); // the fake cannot read it
    EXPECT_EQ(listed(), (QStringList{"Sky", "Twin", "Twin"}));
}

TEST(TemplateNames, OnlyAsciiLettersAndDigitsWithEachMessage) {
    ScriptedPrompts prompts;
    for (const QString& name : {QStringLiteral("Blue2"), QStringLiteral("abc")})
        EXPECT_TRUE(CheckWidgetName(name, NameUse::Widget)) << name.toStdString();
    for (const QString& name : {QStringLiteral("my button"), QStringLiteral("a_b"),
                                QStringLiteral("a-b"), QStringLiteral("caf\u00e9")}) {
        EXPECT_FALSE(IsValidWidgetName(name)) << name.toStdString();
        EXPECT_FALSE(CheckWidgetName(name, NameUse::Widget));
        EXPECT_FALSE(CheckWidgetName(name, NameUse::Template));
    }
    EXPECT_FALSE(CheckWidgetName({}, NameUse::Template));
    EXPECT_EQ(prompts.messages.mid(0, 2), (QStringList{kWidgetRule, kTemplateRule}));
    EXPECT_EQ(prompts.messages.last(), "You must enter a name!");
}

TEST_F(Templates, NewDialogWithoutTemplatesOkAndCancel) {
    CNewWidgetDlg empty;
    empty.m_pTavolet = doc()->m_pTavolet.get();
    fake.state().auxText = "stale";
    EXPECT_EQ(run(empty,
                  [&] {
                      EXPECT_EQ(empty.m_lbTemplates->count(), 0);
                      EXPECT_EQ(empty.m_lbTemplates->currentRow(), -1);
                      EXPECT_EQ(empty.Item<QLabel>(1014)->text(), "");
                      type(empty, 1012, "Fresh");
                      type(empty, 1013, "typed");
                      empty.Item<QPushButton>(IDOK)->click();
                  }),
              IDOK);
    EXPECT_EQ(fake.state().name, "Fresh");
    EXPECT_EQ(fake.state().description, "typed");
    EXPECT_EQ(fake.state().auxText, "");

    addTemplate("Blue", "Blue", "a blue one");
    fake.state().name = "Changed";
    CNewWidgetDlg unchanged;
    unchanged.m_pTavolet = doc()->m_pTavolet.get();
    EXPECT_EQ(run(unchanged, [&] { unchanged.Item<QPushButton>(IDOK)->click(); }), IDOK);
    EXPECT_EQ(fake.state().name, "Normal") << "the first template, named as the dialog opened";
    EXPECT_EQ(fake.state().description, "");
    EXPECT_EQ(fake.state().ownerProgId, kProgId) << "the template was loaded";
}

TEST_F(Templates, SaveAsTemplateKeepsTheDocumentAsItWas) {
    addTemplate("Blue", "Blue");
    doc()->m_pTavolet->m_dispatch.SetName("Mine");
    doc()->m_pTavolet->m_dispatch.SetDescription("my own");
    doc()->SetModifiedFlag(true);
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = *static_cast<CSaveTemplateDlg*>(widget);
        EXPECT_EQ(items(dialog.m_lbTemplates), QStringList{"Blue"});
        EXPECT_EQ(dialog.Item<QLabel>(1008)->text(), templateFile("Mine"));
        dialog.Item<QLineEdit>(1004)->clear();
        EXPECT_EQ(dialog.Item<QLabel>(1008)->text(), fake.serverFolder() + "/");
        dialog.Item<QPushButton>(IDOK)->click();
        type(dialog, 1004, "Blue");
        dialog.Item<QPushButton>(IDOK)->click();
        type(dialog, 1004, "Green");
        type(dialog, 1007, "a green one");
        dialog.Item<QPushButton>(IDOK)->click();
    });
    frame()->SendCommand(ID_SAVE_AS_TEMPLATE);
    EXPECT_EQ(
        prompts.messages,
        (QStringList{"You must enter a name!",
                     templateFile("Blue") + " is already exist.Please enter a new template name.\n",
                     "Save as the template success!"}));
    EXPECT_TRUE(fake.state().files.value(templateFile("Green")).endsWith("\nGreen\na green one"));
    EXPECT_EQ(fake.state().name, "Mine");
    EXPECT_EQ(fake.state().description, "my own");
    EXPECT_TRUE(doc()->IsModified());

    // A save that fails leaves the document as it was too.
    prompts.messages.clear();
    fake.state().saveResult = false;
    doc()->SetModifiedFlag(false);
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = *static_cast<CSaveTemplateDlg*>(widget);
        type(dialog, 1004, "Red");
        dialog.Item<QPushButton>(IDOK)->click();
    });
    frame()->SendCommand(ID_SAVE_AS_TEMPLATE);
    EXPECT_EQ(firstLines(prompts.messages), QStringList{"Save as the template failure!"});
    EXPECT_TRUE(allGiveReasons(prompts.messages));
    EXPECT_EQ(fake.state().name, "Mine");
    EXPECT_FALSE(doc()->IsModified());
    EXPECT_EQ(doc()->GetPathName(), "");
    // Last: the fake's instances share one state, which listing overwrites.
    EXPECT_EQ(listed(), (QStringList{"Blue", "Green"})) << "listed from now on";
}

TEST_F(Templates, ManageRenamesInPlaceAndDeletesWithTheRightSelection) {
    addTemplate("Blue", "Blue", "old");
    addTemplate("Red", "Red");
    CManageTemplatesDlg dialog;
    run(dialog, [&] {
        const QStringList order = items(dialog.m_lbTemplates);
        const int blue = int(order.indexOf("Blue"));
        dialog.m_lbTemplates->setCurrentRow(blue);
        EXPECT_EQ(dialog.Item<QLineEdit>(1046)->text(), "Blue");

        // Only the description changed: the target is the template's own file.
        type(dialog, 1020, "new");
        dialog.Item<QPushButton>(1048)->click();
        EXPECT_EQ(prompts.messages.last(),
                  "The Blue template has been there,please give a new name!");

        type(dialog, 1046, "Navy");
        type(dialog, 1020, "dark");
        prompts.answers = {IDOK};
        dialog.Item<QPushButton>(1048)->click();
        EXPECT_EQ(prompts.messages.last(), "Are you sure to rename \"Blue\" template to \"Navy\"?");
        EXPECT_EQ(dialog.m_lbTemplates->item(blue)->text(), "Navy") << "keeps its position";
        EXPECT_EQ(dialog.m_arrTemplates[blue].strDescription, "dark");
        EXPECT_EQ(dialog.m_arrTemplates[blue].strPath, templateFile("Navy"));
        EXPECT_FALSE(QFile::exists(templateFile("Blue")));

        // Delete the last entry: the new last is selected; then the only one: nothing.
        dialog.m_lbTemplates->setCurrentRow(1);
        prompts.answers = {IDOK};
        dialog.Item<QPushButton>(1049)->click();
        EXPECT_EQ(dialog.m_lbTemplates->count(), 1);
        EXPECT_EQ(dialog.m_lbTemplates->currentRow(), 0);
        prompts.answers = {IDOK};
        dialog.Item<QPushButton>(1049)->click();
        EXPECT_EQ(dialog.m_lbTemplates->count(), 0);
        EXPECT_EQ(dialog.m_lbTemplates->currentRow(), -1);
        EXPECT_EQ(dialog.Item<QLineEdit>(1046)->text(), "");
        EXPECT_EQ(dialog.Item<QLineEdit>(1020)->text(), "");

        prompts.messages.clear();
        dialog.Item<QPushButton>(1048)->click();
        dialog.Item<QPushButton>(1049)->click();
        EXPECT_EQ(prompts.messages, (QStringList{"Please select a template first!",
                                                 "Please select a template first!"}));
        dialog.Item<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(listed(), QStringList{});
}

TEST_F(Templates, ListedByNameWithLetterCaseIgnored) {
    addTemplate("One", "gamma");
    addTemplate("Two", "Beta");
    addTemplate("Three", "alpha");
    EXPECT_EQ(listed(), (QStringList{"alpha", "Beta", "gamma"}));
    CManageTemplatesDlg dialog;
    run(dialog, [&] {
        EXPECT_EQ(items(dialog.m_lbTemplates), (QStringList{"alpha", "Beta", "gamma"}));
        dialog.Item<QPushButton>(IDOK)->click();
    });
}

// Delete keeps the position: the entry that moves up into it is selected
// and shown, wherever the deleted one was.
TEST_F(Templates, DeleteSelectsTheEntryNowAtThatPosition) {
    const QStringList names{"Amber", "Blue", "Coral", "Dune"};
    struct Case {
        int deleted;
        QStringList answers;
        QStringList left;
        QString selected;
    };
    const Case cases[] = {
        {0, {"OK"}, {"Blue", "Coral", "Dune"}, "Blue"},
        {1, {"OK"}, {"Amber", "Coral", "Dune"}, "Coral"},
        {3, {"OK"}, {"Amber", "Blue", "Coral"}, "Coral"},
        {2, {"Cancel"}, names, "Coral"},
    };
    for (const Case& c : cases) {
        for (const QString& name : names)
            addTemplate(name, name, name.toLower());
        CManageTemplatesDlg dialog;
        run(dialog, [&] {
            dialog.m_lbTemplates->setCurrentRow(c.deleted);
            prompts.answers = {c.answers[0] == "OK" ? IDOK : IDCANCEL};
            dialog.Item<QPushButton>(1049)->click();
            EXPECT_EQ(items(dialog.m_lbTemplates), c.left) << c.deleted;
            ASSERT_NE(dialog.m_lbTemplates->currentItem(), nullptr);
            EXPECT_EQ(dialog.m_lbTemplates->currentItem()->text(), c.selected) << c.deleted;
            EXPECT_EQ(dialog.Item<QLineEdit>(1046)->text(), c.selected);
            EXPECT_EQ(dialog.Item<QLineEdit>(1020)->text(), c.selected.toLower());
            dialog.Item<QPushButton>(IDOK)->click();
        });
        EXPECT_EQ(listed(), c.left) << "the folder holds what the list shows";
        for (const QString& name : names)
            QFile::remove(templateFile(name));
    }

    // Cancel at the rename question changes nothing either.
    for (const QString& name : names)
        addTemplate(name, name);
    CManageTemplatesDlg dialog;
    run(dialog, [&] {
        dialog.m_lbTemplates->setCurrentRow(1);
        type(dialog, 1046, "Navy");
        prompts.answers = {IDCANCEL};
        dialog.Item<QPushButton>(1048)->click();
        EXPECT_EQ(items(dialog.m_lbTemplates), names);
        dialog.Item<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(listed(), names);
}

TEST_F(Templates, ATemplateAlreadyGoneIsDeletedWithoutAWord) {
    addTemplate("Blue", "Blue");
    addTemplate("Red", "Red");
    CManageTemplatesDlg dialog;
    run(dialog, [&] {
        QFile::remove(templateFile("Blue")); // behind the dialog's back
        dialog.m_lbTemplates->setCurrentRow(0);
        prompts.messages.clear();
        prompts.answers = {IDOK};
        dialog.Item<QPushButton>(1049)->click();
        EXPECT_EQ(items(dialog.m_lbTemplates), QStringList{"Red"});
        dialog.Item<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(prompts.messages, QStringList{"Are you sure to delete \"Blue\" template?"});
}

TEST_F(Templates, ARenameWhoseOldFileStaysSaysSoAndListsBoth) {
    TinyFileSystem fs; // only for its busy mount: unlinking a mount point fails
    REQUIRE_TINY_FS(fs);
    addTemplate("Blue", "Blue");
    fs.makeBusy(templateFile("Blue"));
    CManageTemplatesDlg dialog;
    run(dialog, [&] {
        type(dialog, 1046, "Navy");
        prompts.answers = {IDOK};
        dialog.Item<QPushButton>(1048)->click();
        QStringList shown = items(dialog.m_lbTemplates);
        shown.sort();
        EXPECT_EQ(shown, (QStringList{"Blue", "Navy"})) << "the list is true to the folder";
        EXPECT_EQ(dialog.m_lbTemplates->currentItem()->text(), "Navy");
        dialog.Item<QPushButton>(IDOK)->click();
    });
    fs.unbusy(templateFile("Blue"));
    ASSERT_GE(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].contains(templateFile("Blue") + " cannot be removed"))
        << prompts.messages[1].toStdString();
}

TEST_F(Templates, RenameWidgetMarksModifiedEvenUnchangedAndCancelChangesNothing) {
    auto* view = static_cast<CVellwickToolView*>(frame()->GetActiveView());
    whenDialogShows([](QWidget* dialog) { static_cast<QDialog*>(dialog)->reject(); });
    view->OnRenameWidget();
    EXPECT_FALSE(doc()->IsModified());

    whenDialogShows(
        [](QWidget* dialog) { static_cast<CDialog*>(dialog)->Item<QPushButton>(IDOK)->click(); });
    frame()->SendCommand(ID_RENAME_WIDGET);
    EXPECT_TRUE(doc()->IsModified());
    EXPECT_EQ(fake.state().name, "Normal");

    doc()->SetModifiedFlag(false);
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = *static_cast<CDialog*>(widget);
        type(dialog, 1012, "bad name");
        dialog.Item<QPushButton>(IDOK)->click();
        type(dialog, 1012, "Good");
        dialog.Item<QPushButton>(IDOK)->click();
    });
    frame()->SendCommand(ID_RENAME_WIDGET);
    EXPECT_EQ(prompts.messages, QStringList{kWidgetRule});
    EXPECT_EQ(fake.state().name, "Good");
}
