#include "support/Files.h"
#include "support/MessageLines.h"
#include "support/ScriptedPrompts.h"
#include "support/TinyFileSystem.h"

#include "platform/Components.h"
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"
#include "widget/Tavolet.h"
#include "widget/VellwickToolDoc.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// The real reference server, registered for the test's own user the way
// the registration tool does it.
class ReferenceServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        QString error;
        ASSERT_TRUE(platform::RegisterServerLibrary(platform::Registry::instance(),
                                                    TAVOLET_SERVER_LIBRARY, &error))
            << error.toStdString();
    }
    static void TearDownTestSuite() {
        QString error;
        platform::UnregisterServerLibrary(platform::Registry::instance(), TAVOLET_SERVER_LIBRARY,
                                          &error);
    }

    ScriptedPrompts prompts;
    QTemporaryDir folder;
};

TEST_F(ReferenceServer, CreatesWithTitleFolderSampleAndTemplates) {
    CTavolet tavolet;
    ASSERT_TRUE(tavolet.CreateFromProgID("TavoletServer.Glimmerkey"));
    EXPECT_EQ(tavolet.m_strProgID, "TavoletServer.Glimmerkey");
    EXPECT_EQ(tavolet.m_strServerFolder, QFileInfo(TAVOLET_SERVER_LIBRARY).absolutePath());
    EXPECT_FALSE(tavolet.m_strTitle.isEmpty()) << "the title comes from the server's strings";
    EXPECT_TRUE(QFileInfo(tavolet.m_strSamplePage).isFile());
    EXPECT_EQ(tavolet.m_dispatch.Name(), "Normal");
    EXPECT_EQ(tavolet.m_dispatch.Description(), "");

    const QList<TemplateEntry> templates = tavolet.ListTemplates();
    EXPECT_GE(templates.size(), 3);
    for (const TemplateEntry& entry : templates)
        EXPECT_TRUE(entry.strPath.endsWith("_TavoletServer.Glimmerkey.tvt"))
            << entry.strPath.toStdString();
}

TEST_F(ReferenceServer, DocumentSavesAndReopensAndRefusesOtherFiles) {
    CVellwickToolDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.m_pTavolet->m_dispatch.SetName("RoundTrip");
    doc.m_pTavolet->m_dispatch.SetDescription("saved and read back");
    const QString path = folder.filePath("round.tvt");
    ASSERT_TRUE(doc.OnSaveDocument(path));

    CVellwickToolDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(path)) << prompts.messages.join('\n').toStdString();
    EXPECT_EQ(reopened.m_pTavolet->m_dispatch.Name(), "RoundTrip");
    EXPECT_EQ(reopened.m_pTavolet->m_dispatch.Description(), "saved and read back");
    EXPECT_EQ(reopened.m_pTavolet->m_dispatch.OwnerProgID(), "TavoletServer.Glimmerkey");

    // A widget file of another widget type.
    doc.m_pTavolet->m_dispatch.SetOwnerProgID("Other.Server");
    ASSERT_TRUE(doc.m_pTavolet->m_dispatch.SaveToFile(folder.filePath("other.tvt")));
    EXPECT_FALSE(reopened.OnOpenDocument(folder.filePath("other.tvt")));
    EXPECT_EQ(reopened.m_pTavolet, nullptr);

    QFile garbage(folder.filePath("garbage.tvt"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("\x7f"
                  "ELF not a widget at all");
    garbage.close();
    EXPECT_FALSE(reopened.OnOpenDocument(garbage.fileName()));
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0], "This File is not saved by Vellwick Glimmerkey!");
    // The server's reason comes under the system's own text.
    EXPECT_TRUE(prompts.messages[1].startsWith("Open " + garbage.fileName() + " Error!\n"))
        << prompts.messages[1].toStdString();
    EXPECT_GT(prompts.messages[1].size(), ("Open " + garbage.fileName() + " Error!\n").size());

    prompts.messages.clear();
    const QString nowhere = folder.filePath("missing/folder.tvt");
    EXPECT_FALSE(doc.OnSaveDocument(nowhere));
    EXPECT_EQ(prompts.messages,
              QStringList{"Save to " + nowhere + " Error!\nThe folder " +
                          QFileInfo(nowhere).absolutePath() + " does not exist."});
}

TEST_F(ReferenceServer, SaveAsOnAFullDiskReportsAndKeepsBothFileAndName) {
    TinyFileSystem fs(64);
    REQUIRE_TINY_FS(fs);
    CVellwickToolDoc doc;
    ASSERT_TRUE(doc.OnNewDocument());
    doc.m_pTavolet->m_dispatch.SetName("First");
    const QString mine = folder.filePath("mine.tvt");
    ASSERT_TRUE(doc.DoSave(mine));
    const QString other = fs.filePath("other.tvt");
    ASSERT_TRUE(doc.m_pTavolet->m_dispatch.SaveToFile(other));
    const QByteArray before = readFile(other);
    ASSERT_FALSE(before.isEmpty());

    fs.fill();
    doc.m_pTavolet->m_dispatch.SetName("Second");
    doc.SetModifiedFlag(true);
    prompts.files = {other}; // Save As over the existing file
    EXPECT_FALSE(doc.DoSave({}));
    EXPECT_EQ(firstLines(prompts.messages), QStringList{"Save to " + other + " Error!"});
    EXPECT_TRUE(prompts.messages.value(0).contains("No space left on device"));
    EXPECT_EQ(readFile(other), before) << "the file on the full disk is untouched";
    EXPECT_EQ(doc.GetPathName(), mine) << "a failed Save As does not take the new name";
    EXPECT_TRUE(doc.IsModified());
}
