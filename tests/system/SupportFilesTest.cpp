#include "support/FakeServer.h"
#include "support/Files.h"
#include "support/ScriptedPrompts.h"
#include "support/TinyFileSystem.h"

#include "supportfiles/SupportFilesDlg.h"
#include "widget/Tavolet.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QMap>
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
    writeFile(target.filePath("gk/icon.png"), "old icon");
    const QString from = source.path() + "/";
    fake.state().supportFiles = {
        {"icon.png", from, "gk/icon.png"},
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
        // Each at its web path, where a page in the folder looks for it.
        EXPECT_EQ(readFile(target.filePath("gk/icon.png")), "new icon")
            << "replaced without asking";
        EXPECT_EQ(readFile(target.filePath("gk/click.wav")), "click");
        EXPECT_FALSE(QFile::exists(target.filePath("icon.png")));
        ASSERT_EQ(prompts.messages.size(), 1);
        EXPECT_TRUE(
            prompts.messages[0].startsWith("Copy support files to " + target.path() + " failure!"));

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

namespace {
// Every file below `folder`, with its bytes.
QMap<QString, QByteArray> tree(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), readFile(path));
    }
    return files;
}
} // namespace

TEST(SupportFilesDialog, RowsThatWouldLeaveTheFolderAreListedButNeverCopiedThere) {
    FakeServerRegistration fake("Test.HostileSupportFiles");
    ScriptedPrompts prompts;
    QTemporaryDir root;
    const QString source = root.filePath("source/"), target = root.filePath("site/pages");
    writeFile(source + "icon.png", "icon");
    writeFile(root.filePath("source/x.png"), "x");
    // A private file handed over as a picture.
    writeFile(root.filePath("private"), "secret");
    QFile::link(root.filePath("private"), source + "key.png");
    QDir().mkpath(target);
    const QMap<QString, QByteArray> before = tree(root.path());
    fake.state().supportFiles = {
        {"../x.png", source, "gk/x.png"},           {"..", source, "gk/up"},
        {"a\\..\\..\\x.png", source, "gk/x.png"},   {"x.png", source, "../../x.png"},
        {"x.png", source + "other/", "/etc/x.png"}, {"x.png", source + "third/", "C:x.png"},
        {"icon.png", source, "gk/icon.png"},        {"../y.png", source, "../../y.png"},
        {"key.png", source, "gk/key.png"}};
    CTavolet tavolet;
    ASSERT_TRUE(tavolet.CreateFromProgID("Test.HostileSupportFiles"));
    CSupportFilesDlg dialog;
    dialog.m_pTavolet = &tavolet;
    runDialog(dialog, [&] {
        EXPECT_EQ(dialog.m_listFiles->topLevelItemCount(), 9) << "every row is shown";
        prompts.folders = {target};
        dialog.Item<QAbstractButton>(1037)->click();
    });

    ASSERT_EQ(prompts.messages.size(), 1);
    const QString& report = prompts.messages[0];
    EXPECT_TRUE(report.startsWith("Copy support files to " + target + " failure!"));
    // A name that leads out is never used; a web path that leads out falls
    // back to the file's name; a source that is not there fails.
    for (const QString& name :
         QStringList{"../x.png (its name leads outside its source folder)",
                     ".. (its name leads outside its source folder)",
                     "a\\..\\..\\x.png (its name leads outside its source folder)",
                     "x.png (Cannot read " + source + "other/x.png: no such file)",
                     "key.png (it is a symbolic link; only regular files are copied)"})
        EXPECT_TRUE(report.contains(name)) << report.toStdString();
    EXPECT_TRUE(report.contains("../y.png (it would be placed outside the folder)"));
    EXPECT_EQ(report.count("outside the folder"), 1) << "said only where it is true";
    QMap<QString, QByteArray> after = before;
    after.insert("site/pages/gk/icon.png", "icon");
    after.insert("site/pages/x.png", "x");
    EXPECT_EQ(tree(root.path()), after) << "nothing outside the chosen folder";
}

TEST(SupportFilesDialog, WebPathsThatAreNoPlainRelativePathFallBackToTheName) {
    FakeServerRegistration fake("Test.UrlSupportFiles");
    ScriptedPrompts prompts;
    QTemporaryDir source, target;
    for (const char* name : {"a.png", "b.png", "c.png", "d.png"})
        writeFile(source.filePath(name), name);
    const QString from = source.path() + "/";
    fake.state().supportFiles = {{"a.png", from, "https://cdn.example/a.png"},
                                 {"b.png", from, "img/b.png?v=2"},
                                 {"c.png", from, "img\\deep\\c.png"},
                                 {"d.png", from, "img/"}};
    CTavolet tavolet;
    ASSERT_TRUE(tavolet.CreateFromProgID("Test.UrlSupportFiles"));
    CSupportFilesDlg dialog;
    dialog.m_pTavolet = &tavolet;
    runDialog(dialog, [&] {
        prompts.folders = {target.path()};
        dialog.Item<QAbstractButton>(1037)->click();
    });
    EXPECT_EQ(prompts.messages.value(0), "Copy support files to " + target.path() + " success!");
    const QMap<QString, QByteArray> expected{
        {"a.png", "a.png"}, {"b.png", "b.png"}, {"img/deep/c.png", "c.png"}, {"d.png", "d.png"}};
    EXPECT_EQ(tree(target.path()), expected);
}

TEST(SupportFilesDialog, AFailedCopyKeepsTheFileAlreadyThere) {
    TinyFileSystem fs(64);
    REQUIRE_TINY_FS(fs);
    FakeServerRegistration fake("Test.FullSupportFiles");
    ScriptedPrompts prompts;
    QTemporaryDir source;
    writeFile(source.filePath("icon.png"), QByteArray(16384, 'n'));
    const QString target = fs.filePath("site");
    writeFile(target + "/icon.png", "old icon");
    fs.fill();
    fake.state().supportFiles = {{"icon.png", source.path() + "/", "icon.png"}};
    CTavolet tavolet;
    ASSERT_TRUE(tavolet.CreateFromProgID("Test.FullSupportFiles"));
    CSupportFilesDlg dialog;
    dialog.m_pTavolet = &tavolet;
    runDialog(dialog, [&] {
        prompts.folders = {target};
        dialog.Item<QAbstractButton>(1037)->click();
    });
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Copy support files to " + target +
                                               " failure! Not copied: icon.png ("));
    EXPECT_TRUE(prompts.messages[0].contains("No space left on device"))
        << prompts.messages[0].toStdString();
    EXPECT_EQ(readFile(target + "/icon.png"), "old icon");
    EXPECT_EQ(QDir(target).entryList(QDir::Files | QDir::Hidden), QStringList{"icon.png"});
}
