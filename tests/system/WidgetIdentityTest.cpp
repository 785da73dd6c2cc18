#include "AppFixture.h"
#include "support/Files.h"

#include "platform/ServerRegistration.h"
#include "res/Resource.h"
#include "templates/NewWidgetDlg.h"
#include "templates/RenameWidgetDlg.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>

#include <deque>
#include <functional>

using namespace framework;

namespace {

const QString kProgId = QStringLiteral("TavoletServer.Glimmerkey");

// Answers the modal dialogs that come up, one step each, in order; a
// dialog with no step left is cancelled, so a fault fails instead of hanging.
class DialogScript {
public:
    using Step = std::function<void(QDialog*)>;
    explicit DialogScript(std::deque<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }
    bool done() const { return m_steps.empty(); }
    int unexpected = 0;

private:
    void poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        if (dialog == m_last) {
            // A step that left its dialog open.
            if (m_since.elapsed() > 5000) {
                ++unexpected;
                dialog->reject();
            }
            return;
        }
        m_last = dialog;
        m_since.start();
        if (m_steps.empty()) {
            ++unexpected;
            dialog->reject();
            return;
        }
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        step(dialog);
    }
    std::deque<Step> m_steps;
    QPointer<QDialog> m_last;
    QElapsedTimer m_since;
    QTimer m_timer;
};

DialogScript::Step chooseTemplate(const QString& name) {
    return [name](QDialog* dialog) {
        auto* newDialog = qobject_cast<CNewWidgetDlg*>(dialog);
        ASSERT_TRUE(newDialog);
        const QList<QListWidgetItem*> found =
            newDialog->m_lbTemplates->findItems(name, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << name.toStdString();
        newDialog->m_lbTemplates->setCurrentItem(found.front());
        newDialog->Item<QPushButton>(IDOK)->click();
    };
}

enum { IDC_NEW_PAGE = 1025 };

void cancel(QDialog* dialog) {
    dialog->reject();
}

// The reference server's configuration: a new caption, accepted.
DialogScript::Step captionTo(const QString& caption) {
    return [caption](QDialog* dialog) {
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("caption"));
        ASSERT_TRUE(edit);
        edit->setText(caption);
        dialog->accept();
    };
}

bool isWellFormed(const QString& identity) {
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9-]{1,64}$"));
    return form.match(identity).hasMatch();
}

// The reference server copied into a folder of its own, so that a template
// saved in a test never lands in the build tree.
class ReferenceServerCopy {
public:
    ReferenceServerCopy() {
        // The templates' media too, so that they load as they ship.
        const QDir from = QFileInfo(TAVOLET_SERVER_LIBRARY).absoluteDir();
        for (const QString& sub : {QStringLiteral("."), QStringLiteral("media")}) {
            QDir().mkpath(m_folder.filePath(sub));
            for (const QString& name : QDir(from.filePath(sub)).entryList(QDir::Files))
                QFile::copy(from.filePath(sub + "/" + name), m_folder.filePath(sub + "/" + name));
        }
        m_library = m_folder.filePath(QFileInfo(TAVOLET_SERVER_LIBRARY).fileName());
        registered =
            platform::RegisterServerLibrary(platform::Registry::instance(), m_library, nullptr);
    }
    ~ReferenceServerCopy() {
        platform::UnregisterServerLibrary(platform::Registry::instance(), m_library, nullptr);
    }
    QString folder() const { return m_folder.path(); }
    bool registered = false;

private:
    QTemporaryDir m_folder;
    QString m_library;
};

class RealWidgetIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.registered);
        ASSERT_TRUE(app.InitInstance()) << prompts.messages.join('\n').toStdString();
    }
    void TearDown() override { app.ExitInstance(); }

    CVellwickToolDoc* doc() const {
        return static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
    }
    TavoletDispatch& widget() const { return doc()->m_pTavolet->m_dispatch; }
    // Runs `command` while `script` answers its dialogs.
    void run(int command, std::deque<DialogScript::Step> steps) {
        DialogScript script(std::move(steps));
        app.m_pMainWnd->SendCommand(command);
        EXPECT_TRUE(script.done()) << "a dialog the script expected never came";
        EXPECT_EQ(script.unexpected, 0);
    }
    void newFrom(const QString& templateName, DialogScript::Step configure = cancel) {
        doc()->SetModifiedFlag(false);
        run(ID_FILE_NEW, {chooseTemplate(templateName), std::move(configure)});
    }
    QString bodyCode() const { return widget().CodePartText(0, 1); }

    ReferenceServerCopy server;
    ScriptedPrompts prompts;
    QTemporaryDir appFolder;
    QTemporaryDir files;
    CVellwickToolApp app{appFolder.path()};
};

} // namespace

TEST_F(RealWidgetIdentity, WidgetsFromOneTemplateNeverShareOne) {
    const QString first = widget().WidgetIdentity();
    EXPECT_TRUE(isWellFormed(first)) << "the plain widget of start-up has one too";

    newFrom("Azure");
    const QString azure1 = widget().WidgetIdentity();
    newFrom("Azure");
    const QString azure2 = widget().WidgetIdentity();
    EXPECT_TRUE(isWellFormed(azure1) && isWellFormed(azure2));
    EXPECT_NE(azure1, azure2);
    EXPECT_NE(azure1, first);

    // A template saved from a widget holds that widget's identity; widgets
    // made from it must not take it over.
    widget().SetName("Mine");
    ASSERT_TRUE(widget().SaveToFile(server.folder() + "/Mine_" + kProgId + ".tvt"));
    newFrom("Mine");
    const QString fromMine1 = widget().WidgetIdentity();
    newFrom("Mine");
    const QString fromMine2 = widget().WidgetIdentity();
    EXPECT_NE(fromMine1, azure2);
    EXPECT_NE(fromMine2, azure2);
    EXPECT_NE(fromMine1, fromMine2);
    EXPECT_TRUE(bodyCode().contains("data-tavolet-widget=\"" + fromMine2 + "\""));
}

TEST_F(RealWidgetIdentity, KeptAcrossConfigureRenameSaveAndOpen) {
    newFrom("Azure", captionTo("Before"));
    const QString identity = widget().WidgetIdentity();
    ASSERT_TRUE(isWellFormed(identity));
    const QString marked = "data-tavolet-widget=\"" + identity + "\"";
    EXPECT_TRUE(bodyCode().contains("Before"));
    EXPECT_EQ(bodyCode().count(marked), 1);

    run(ID_RENAME_WIDGET, {[](QDialog* dialog) {
            auto* rename = qobject_cast<CRenameWidgetDlg*>(dialog);
            ASSERT_TRUE(rename);
            rename->Item<QLineEdit>(1012)->setText("Renamed");
            rename->Item<QLineEdit>(1013)->setText("a new description");
            rename->Item<QPushButton>(IDOK)->click();
        }});
    EXPECT_EQ(widget().Name(), "Renamed");
    EXPECT_EQ(widget().WidgetIdentity(), identity);

    const QString path = files.filePath("kept.tvt");
    ASSERT_TRUE(doc()->OnSaveDocument(path)) << prompts.messages.join('\n').toStdString();
    newFrom("Azure");
    ASSERT_NE(widget().WidgetIdentity(), identity);

    // Open configures the widget straight away.
    DialogScript script({captionTo("After")});
    ASSERT_TRUE(doc()->OnOpenDocument(path)) << prompts.messages.join('\n').toStdString();
    EXPECT_TRUE(script.done());
    EXPECT_EQ(widget().Name(), "Renamed");
    EXPECT_EQ(widget().WidgetIdentity(), identity);
    EXPECT_TRUE(bodyCode().contains("After"));
    EXPECT_EQ(bodyCode().count(marked), 1);
}

class FakeWidgetIdentity : public AppFixture {
protected:
    QString templateFile(const QString& name) const {
        return fake.serverFolder() + "/" + name + "_" + kProgId + ".tvt";
    }
    int newFromOnlyTemplate() {
        CNewWidgetDlg dialog;
        dialog.m_pTavolet = doc()->m_pTavolet.get();
        QTimer::singleShot(0, &dialog, [&] { dialog.Item<QPushButton>(IDOK)->click(); });
        QTimer::singleShot(5000, &dialog, [&] { dialog.done(-99); });
        return dialog.DoModal();
    }
    TavoletDispatch& widget() const { return doc()->m_pTavolet->m_dispatch; }
};

TEST_F(FakeWidgetIdentity, TheNewDialogRenewsTheIdentityATemplateCarries) {
    fake.state().identity = "carried-over";
    fake.state().ownerProgId = kProgId;
    ASSERT_TRUE(widget().SaveToFile(templateFile("Saved")));
    fake.state().ownerProgId.clear();
    ASSERT_EQ(newFromOnlyTemplate(), IDOK);
    EXPECT_EQ(fake.state().ownerProgId, kProgId) << "the template was loaded";
    EXPECT_FALSE(fake.state().identity.isEmpty());
    EXPECT_NE(fake.state().identity, "carried-over");
    EXPECT_EQ(widget().WidgetIdentity(), fake.state().identity);
}

TEST_F(FakeWidgetIdentity, AServerWithoutIdentitiesStillWorks) {
    fake.state().hasIdentity = false;
    fake.writeWidgetFile(templateFile("Plain"), kProgId, "Plain");
    EXPECT_EQ(widget().WidgetIdentity(), QString());
    EXPECT_NO_THROW(widget().RenewWidgetIdentity());
    ASSERT_EQ(newFromOnlyTemplate(), IDOK);
    EXPECT_EQ(fake.state().ownerProgId, kProgId) << "the template was loaded";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
}

TEST_F(FakeWidgetIdentity, AnIdentityUnfitForAPageSearchOrAMissingServerIsAnError) {
    for (const QString& bad :
         {QStringLiteral("two words"), QStringLiteral("a\"b"), QString(65, QLatin1Char('a'))}) {
        fake.state().identity = bad;
        EXPECT_THROW(widget().WidgetIdentity(), platform::DispatchError) << bad.toStdString();
    }
    TavoletDispatch none;
    EXPECT_THROW(none.WidgetIdentity(), platform::DispatchError);
    EXPECT_THROW(none.RenewWidgetIdentity(), platform::DispatchError);
}

// An older file without an identity: once its code is published, the one it
// got is a change the usual question saves, the same for every page.
TEST_F(RealWidgetIdentity, AFileWithoutOneKeepsTheOneItGetsOncePublished) {
    const QString path = files.filePath("older.tvt");
    ASSERT_TRUE(QFile::copy(server.folder() + "/Azure_" + kProgId + ".tvt", path));
    QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    QDir().mkpath(files.filePath("media"));
    for (const QString& file : QDir(server.folder() + "/media").entryList(QDir::Files))
        QFile::copy(server.folder() + "/media/" + file, files.filePath("media/" + file));
    DialogScript script({cancel});
    ASSERT_TRUE(doc()->OnOpenDocument(path)) << prompts.messages.join('\n').toStdString();
    const QString identity = widget().WidgetIdentity();
    EXPECT_FALSE(doc()->IsModified()) << "opened and looked at, nothing to save";
    const auto newPage = [&](const QString& name) {
        prompts.files = {files.filePath(name)};
        app.m_pMainWnd->SendCommand(IDC_NEW_PAGE);
        return QString::fromUtf8(readFile(files.filePath(name)));
    };
    EXPECT_TRUE(newPage("one.htm").contains(identity)) << prompts.messages.join('\n').toStdString();
    EXPECT_TRUE(doc()->IsModified()) << "the identity on a page is a change to save";
    EXPECT_TRUE(newPage("two.htm").contains(identity)) << "the same one for every page";
    ASSERT_TRUE(doc()->OnSaveDocument(path));
    DialogScript again({cancel});
    ASSERT_TRUE(doc()->OnOpenDocument(path));
    EXPECT_EQ(widget().WidgetIdentity(), identity);
    newPage("three.htm");
    EXPECT_FALSE(doc()->IsModified());
}
