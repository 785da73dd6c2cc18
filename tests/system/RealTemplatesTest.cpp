#include "support/ScriptedPrompts.h"
#include "support/TinyFileSystem.h"

#include "app/VellwickTool.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWindow.h"
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"
#include "res/Resource.h"
#include "templates/SaveTemplateDlg.h"
#include "widget/VellwickToolDoc.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The reference server copied with its templates into a folder of its own,
// so that saving templates never touches the build tree.
class ServerCopy {
public:
    // In `folder`, or in a temporary folder of its own.
    explicit ServerCopy(const QString& folder = {}) {
        const QDir to(folder.isEmpty() ? m_folder.path() : folder);
        const QDir from = QFileInfo(TAVOLET_SERVER_LIBRARY).absoluteDir();
        for (const QString& name : from.entryList(QDir::Files))
            QFile::copy(from.filePath(name), to.filePath(name));
        library = to.filePath(QFileInfo(TAVOLET_SERVER_LIBRARY).fileName());
        QString error;
        registered =
            platform::RegisterServerLibrary(platform::Registry::instance(), library, &error);
    }
    ~ServerCopy() {
        platform::UnregisterServerLibrary(platform::Registry::instance(), library, nullptr);
    }
    QString library;
    bool registered = false;

private:
    QTemporaryDir m_folder;
};

QStringList namesInNextNewDialog(framework::CFrameWnd* frame) {
    QStringList names;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (auto* list = dialog->findChild<QListWidget*>())
            for (int i = 0; i < list->count(); ++i)
                names << list->item(i)->text();
        dialog->reject();
    });
    frame->SendCommand(framework::ID_FILE_NEW);
    return names;
}

} // namespace

TEST(RealTemplates, NewListsTheServersTemplatesAndASavedTemplateJoinsThem) {
    ScriptedPrompts prompts;
    ServerCopy server;
    ASSERT_TRUE(server.registered);
    QTemporaryDir appFolder;
    CVellwickToolApp app(appFolder.path());
    ASSERT_TRUE(app.InitInstance()) << prompts.messages.join('\n').toStdString();
    framework::CFrameWnd* frame = app.m_pMainWnd;

    const QStringList before = namesInNextNewDialog(frame);
    EXPECT_GE(before.size(), 10) << "the shipped templates";
    EXPECT_TRUE(before.contains("Azure"));

    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CSaveTemplateDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->Item<QLineEdit>(1004)->setText("MyOwn");
        dialog->Item<QPushButton>(framework::IDOK)->click();
    });
    frame->SendCommand(ID_SAVE_AS_TEMPLATE);
    EXPECT_EQ(prompts.messages.value(0), "Save as the template success!");

    const QStringList after = namesInNextNewDialog(frame);
    EXPECT_EQ(after.size(), before.size() + 1);
    EXPECT_TRUE(after.contains("MyOwn"));
    app.ExitInstance();
}

TEST(RealTemplates, ASaveIntoAReadOnlyServerFolderFailsAndKeepsTheDocument) {
    TinyFileSystem fs(8192);
    REQUIRE_TINY_FS(fs);
    ScriptedPrompts prompts;
    ServerCopy server(fs.path());
    ASSERT_TRUE(server.registered);
    QTemporaryDir appFolder;
    CVellwickToolApp app(appFolder.path());
    ASSERT_TRUE(app.InitInstance()) << prompts.messages.join('\n').toStdString();
    auto* document = static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
    TavoletDispatch& widget = document->m_pTavolet->m_dispatch;
    widget.SetName("Mine");
    widget.SetDescription("my own");
    document->SetModifiedFlag(true);

    fs.makeReadOnly();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CSaveTemplateDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->Item<QLineEdit>(1004)->setText("Blocked");
        dialog->Item<QPushButton>(framework::IDOK)->click();
    });
    app.m_pMainWnd->SendCommand(ID_SAVE_AS_TEMPLATE);
    fs.makeWritable();
    EXPECT_EQ(prompts.messages,
              QStringList{"Save as the template failure!\nRead-only file system: " + fs.path()});
    EXPECT_EQ(widget.Name(), "Mine");
    EXPECT_EQ(widget.Description(), "my own");
    EXPECT_TRUE(document->IsModified());
    EXPECT_EQ(document->GetPathName(), "");
    EXPECT_FALSE(QFile::exists(fs.filePath("Blocked_TavoletServer.Glimmerkey.tvt")));
    app.ExitInstance();
}
