#include "AppFixture.h"
#include "support/Files.h"

#include <QDir>

TEST(AppFolders, WorkingFolderAndScratchFolder) {
    FakeServerRegistration fake;
    ScriptedPrompts prompts;
    QTemporaryDir folder;
    const QString before = QDir::currentPath();

    { // No "My Widget": start-up goes on where it was.
        CVellwickToolApp app(folder.path());
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(QDir::currentPath(), before);
        app.ExitInstance();
    }

    QDir(folder.path()).mkpath("My Widget");
    QDir(folder.path()).mkpath("tmp/keep");
    writeFile(folder.filePath("tmp/a.restvt"));
    writeFile(folder.filePath("tmp/.hidden"));
    writeFile(folder.filePath("tmp/keep/inner"));
    {
        CVellwickToolApp app(folder.path());
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(QDir::currentPath(), QDir(folder.filePath("My Widget")).canonicalPath());
        app.ExitInstance();
    }
    QDir::setCurrent(before);
    EXPECT_FALSE(QFile::exists(folder.filePath("tmp/a.restvt")));
    EXPECT_FALSE(QFile::exists(folder.filePath("tmp/.hidden")));
    EXPECT_TRUE(QFile::exists(folder.filePath("tmp/keep/inner"))) << "sub-folders are left alone";

    QDir(folder.filePath("tmp")).removeRecursively();
    QDir(folder.path()).mkpath("tmp");
    writeFile(folder.filePath("tmp/b"));
    {
        CVellwickToolApp app(folder.path());
        app.ExitInstance();
    }
    EXPECT_FALSE(QDir(folder.filePath("tmp")).exists()) << "an emptied scratch folder goes";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
}
