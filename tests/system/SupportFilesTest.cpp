#include "support/Files.h"
#include "support/FakeServer.h"
#include "support/ScriptedPrompts.h"

#include "supportfiles/SupportFilesDlg.h"
#include "widget/Tavolet.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Runs the dialog and, once it is up, `act` on it, then closes it.
void runDialog(CSupportFilesDlg& dialog, std::function<void()> act) {
    QTimer::singleShot(0, [&] {
        act();
        dialog.reject();
    });
    dialog.DoModal();
}

} // namespace

TEST(SupportFilesDialog, ListsEachFileOnceAndCopiesTheSelection) {
    FakeServerRegistration fake("Test.SupportFiles");
    ScriptedPrompts prompts;
    QTemporaryDir source, target;
    writeFile(source.filePath("icon.png"), "new icon");
    writeFile(source.filePath("click.wav"), "click");
    writeFile(target.filePath("icon.png"), "old icon");
    const QString from = source.path() + "/";
    fake.state().supportFiles = {{"icon.png", from, "gk/icon.png"},
                                 {"ICON.png", from, "gk/icon.png"}, // the same file, as the list compares names
                                 {"icon.png", "/elsewhere/", "gk/icon.png"},
                                 {"click.wav", from, "gk/click.wav"}};
    CTavolet tavolet;
    ASSERT_TRUE(tavolet.CreateFromProgID("Test.SupportFiles"));

    CSupportFilesDlg dialog;
    dialog.m_pTavolet = &tavolet;
    runDialog(dialog, [&] {
        ASSERT_EQ(dialog.m_listFiles->topLevelItemCount(), 3);
        EXPECT_EQ(dialog.m_listFiles->topLevelItem(1)->text(1), "/elsewhere/");
        EXPECT_EQ(dialog.m_listFiles->selectedItems().size(), 3) << "every row starts selected";

        // The row whose source does not exist fails, and the report says so.
        prompts.folders = {target.path()};
        dialog.Item<QAbstractButton>(1037)->click(); // Copy to...
        EXPECT_EQ(readFile(target.filePath("icon.png")), "new icon") << "replaced without asking";
        EXPECT_EQ(readFile(target.filePath("click.wav")), "click");
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(prompts.messages[0].startsWith("Copy support files to " + target.path() + " failure!"));

        dialog.m_listFiles->topLevelItem(1)->setSelected(false);
        prompts.folders = {target.path()};
        dialog.Item<QAbstractButton>(1037)->click();
        EXPECT_EQ(prompts.messages.last(), "Copy support files to " + target.path() + " success!");

        dialog.m_listFiles->clearSelection();
        prompts.folders = {target.path()};
        dialog.Item<QAbstractButton>(1037)->click();
        EXPECT_EQ(prompts.messages.last(), "Please select files to copy.");
    });
}
