#pragma once

#include "support/FakeServer.h"
#include "support/ScriptedPrompts.h"

#include "app/VellwickTool.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWindow.h"
#include "platform/Registry.h"
#include "widget/VellwickToolDoc.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

// The application started on a temporary folder with a fake widget server
// and scripted message boxes and file dialogs.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override {
        // Every test starts as a first run: no window placement from an earlier one.
        platform::Registry::instance().deleteKey(
            platform::RootKey::CurrentUser,
            QStringLiteral("Software\\Mirovasta\\Vellwick Glimmerkey\\Frame"));
        ASSERT_TRUE(app.InitInstance()) << prompts.messages.join('\n').toStdString();
        prompts.messages.clear();
    }
    void TearDown() override { app.ExitInstance(); }

    CVellwickToolDoc* doc() const {
        return static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
    }
    framework::CFrameWnd* frame() const { return app.m_pMainWnd; }
    QString makeFile(const QString& name) {
        const QString path = files.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        return path;
    }
    // Ends the next modal dialog the way `finish` says, once it is up.
    static void whenDialogShows(std::function<void(QWidget*)> finish) {
        QTimer::singleShot(0, [finish] {
            if (QWidget* dialog = QApplication::activeModalWidget()) finish(dialog);
        });
    }

    FakeServerRegistration fake;
    ScriptedPrompts prompts;
    QTemporaryDir appFolder;
    QTemporaryDir files;
    CVellwickToolApp app{appFolder.path()};
};
