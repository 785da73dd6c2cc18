#include "AppFixture.h"

#include "support/Files.h"
#include "support/TestDataFolders.h"

#include "browsers/BrowserList.h"
#include "browsers/DesktopBrowsers.h"
#include "browsers/WebBrowserDlg.h"
#include "framework/Profile.h"
#include "platform/Registry.h"
#include "res/Resource.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace framework;
using platform::Registry;
using platform::RootKey;

namespace {

const QString kNavigator = QStringLiteral("SOFTWARE\\Netscape\\Netscape Navigator");
const QString kAppPaths =
    QStringLiteral("SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\");

QStringList installedNames(const CBrowserList& list) {
    QStringList names;
    for (int i = 0; i < list.GetInstalledCount(); ++i)
        names << list.GetInstalledName(i);
    return names;
}

} // namespace

TEST(BrowserDiscovery, RegistryProbesInTheirOrderWithTheirNames) {
    TestDataFolders noDesktop;
    Registry registry(QString{});
    Profile profile(registry, "Mirovasta", "Vellwick Glimmerkey");
    {
        CBrowserList none(profile, registry);
        EXPECT_EQ(none.GetInstalledCount(), 0);
        EXPECT_EQ(none.GetInstalledName(-1), "");
        EXPECT_EQ(none.GetInstalledName(0), "");
    }
    registry.writeString(RootKey::LocalMachine, kAppPaths + "Opera.EXE", {}, "/opt/opera");
    registry.writeString(RootKey::LocalMachine, kAppPaths + "IEXPLORE.EXE", {}, "/opt/ie");
    registry.writeString(RootKey::LocalMachine, kNavigator, "CurrentVersion", "4.5 (en)");
    registry.writeString(RootKey::LocalMachine, kNavigator + "\\4.5 (en)\\Main",
                         "Install Directory", "C:\\N45");
    registry.writeString(RootKey::LocalMachine, kNavigator + "\\4.08 (en)\\Main",
                         "Install Directory", "C:\\N408");
    // Navigator 3 under the machine key only is not found.
    registry.writeString(RootKey::LocalMachine, kNavigator + "\\Main", "Install Directory",
                         "/opt/n3");
    registry.writeString(RootKey::LocalMachine, kNavigator + "\\Main", "Mozilla", "3.0");
    CBrowserList list(profile, registry);
    EXPECT_EQ(installedNames(list), (QStringList{"Internet Explorer", "Netscape Communicator 4.5",
                                                 "Netscape Communicator 4.08", "Opera"}));
    EXPECT_EQ(list.GetInstalledName(list.GetInstalledCount()), "");
    EXPECT_EQ(list.m_arrInstalledPaths[1], "C:\\N45\\Program\\Netscape.exe");

    // Without "(" the label is empty, with its trailing blank kept in the name.
    registry.writeString(RootKey::LocalMachine, kNavigator, "CurrentVersion", "4.5");
    registry.writeString(RootKey::LocalMachine, kNavigator + "\\4.5\\Main", "Install Directory",
                         "C:\\N");
    EXPECT_TRUE(installedNames(CBrowserList(profile, registry)).contains("Netscape Communicator "));

    // 511 bytes and the terminator fit the 512-byte buffer; 512 do not.
    registry.writeString(RootKey::LocalMachine, kAppPaths + "HotJava.EXE", {}, QString(511, 'h'));
    EXPECT_TRUE(installedNames(CBrowserList(profile, registry)).contains("HotJava"));
    registry.writeString(RootKey::LocalMachine, kAppPaths + "HotJava.EXE", {}, QString(512, 'h'));
    EXPECT_FALSE(installedNames(CBrowserList(profile, registry)).contains("HotJava"));
}

TEST(BrowserDiscovery, NavigatorThreeNeedsItsVersionAndItsProgram) {
    TestDataFolders noDesktop;
    Registry registry(QString{});
    Profile profile(registry, "Mirovasta", "Vellwick Glimmerkey");
    QTemporaryDir folder;
    registry.writeString(RootKey::CurrentUser, kNavigator + "\\Main", "Install Directory",
                         folder.path());
    registry.writeString(RootKey::CurrentUser, kNavigator + "\\Main", "Mozilla",
                         "Mozilla/3.01Gold");
    EXPECT_EQ(CBrowserList(profile, registry).GetInstalledCount(), 0) << "no executable yet";
    writeFile(folder.path() + "\\Program\\Netscape.exe", "MZ");
    EXPECT_EQ(installedNames(CBrowserList(profile, registry)), QStringList{"Netscape Navigator 3"});
    registry.writeString(RootKey::CurrentUser, kNavigator + "\\Main", "Mozilla", "Mozilla/4.0");
    EXPECT_EQ(CBrowserList(profile, registry).GetInstalledCount(), 0);
}

TEST(BrowserDiscovery, DesktopEntriesAsAMenuWouldShowThem) {
    TestDataFolders data;
    const QString browser = data.program("webby");
    data.entry("home", "webby.desktop",
               "Name=Webby\nName[de]=Webchen\nExec=" + browser +
                   " %u\nCategories=Network;WebBrowser;");
    data.entry("system", "webby.desktop",
               "Name=Shadowed\nExec=" + browser + "\nCategories=WebBrowser;");
    data.entry("system", "hidden.desktop",
               "Name=Hidden\nExec=" + browser + "\nCategories=WebBrowser;\nNoDisplay=true");
    data.entry("system", "gone.desktop",
               "Name=Gone\nExec=no-such-browser-here %u\nCategories=WebBrowser;");
    data.entry("system", "editor.desktop",
               "Name=Editor\nExec=" + browser + "\nCategories=TextEditor;");
    data.entry("system", "elsewhere.desktop",
               "Name=Elsewhere\nExec=" + browser +
                   "\nCategories=WebBrowser;\nOnlyShowIn=NoSuchDesktop;");
    data.entry("system", "kde/konq.desktop",
               "Name=Nested\nTryExec=" + browser + "\nExec=x\nCategories=WebBrowser;");
    const QVector<DesktopBrowser> found = FindDesktopBrowsers();
    ASSERT_EQ(found.size(), 2);
    EXPECT_EQ(found[0].name, "Webby") << "the first of one desktop file id wins";
    EXPECT_EQ(found[0].path, browser);
    EXPECT_EQ(found[1].name, "Nested");
}

TEST(BrowserList, SlotsAreReusedAndNeverRemoved) {
    ScriptedPrompts prompts;
    TestDataFolders noDesktop;
    Registry registry(QString{});
    Profile profile(registry, "Mirovasta", "Vellwick Glimmerkey");
    const auto value = [&](const char* entry) {
        return profile.GetProfileString("Specify Browser", QString::fromLatin1(entry));
    };
    CBrowserList list(profile, registry);
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/a", "A"));
    EXPECT_EQ(value("BrowserNum"), "1");
    EXPECT_EQ(value("Name1"), "A");
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/b", "B"));
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/c", "C"));
    ASSERT_TRUE(list.DeleteSpecifiedBrowser("B"));
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/d", "D"));
    EXPECT_EQ(value("Name2"), "D") << "the free slot is taken";
    EXPECT_EQ(value("BrowserNum"), "3") << "and the count never shrinks";
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/lower", "a"))
        << "letter case makes names distinct";

    // Slots 2 and 3 of 4 free: the last free slot wins.
    list.DeleteSpecifiedBrowser("D");
    list.DeleteSpecifiedBrowser("C");
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/e", "E"));
    EXPECT_EQ(value("Name3"), "E");

    // A name without a path (an outside edit): not listed, not free, still taken.
    profile.WriteProfileString("Specify Browser", "Name2", "Ghost");
    list.LoadSpecifiedBrowsers();
    EXPECT_FALSE(list.m_arrSpecifiedNames.contains("Ghost"));
    EXPECT_FALSE(list.AddSpecifiedBrowser("/usr/bin/g", "Ghost"));
    EXPECT_EQ(prompts.messages.last(), "Please give a new name to this browser!");
    EXPECT_FALSE(list.AddSpecifiedBrowser("/usr/bin/x", ""));
    EXPECT_EQ(prompts.messages.last(), "You must input a name for this browser!");

    // A name held twice (another outside edit): Delete empties only the first.
    profile.WriteProfileString("Specify Browser", "Path2", "/usr/bin/ghost");
    profile.WriteProfileString("Specify Browser", "Name3", "Ghost");
    ASSERT_TRUE(list.DeleteSpecifiedBrowser("Ghost"));
    EXPECT_EQ(value("Name2"), "");
    EXPECT_EQ(value("Name3"), "Ghost");
}

TEST(BrowserList, AFailedProfileWriteLeavesTheListBoxAsItWas) {
    ScriptedPrompts prompts;
    TestDataFolders noDesktop;
    QTemporaryDir folder;
    Registry registry(folder.path());
    Profile profile(registry, "Mirovasta", "Vellwick Glimmerkey");
    CBrowserList list(profile, registry);
    ASSERT_TRUE(list.AddSpecifiedBrowser("/usr/bin/a", "A"));
    // A hive that cannot be read refuses every write, and is never overwritten.
    writeFile(folder.filePath("HKEY_CURRENT_USER.hive"), "not a hive");
    EXPECT_FALSE(list.AddSpecifiedBrowser("/usr/bin/b", "B"));
    EXPECT_FALSE(list.DeleteSpecifiedBrowser("A"));
    EXPECT_EQ(readFile(folder.filePath("HKEY_CURRENT_USER.hive")), "not a hive");
}

// Each test starts from an empty list of the user's own browsers.
class WebBrowserDialog : public AppFixture {
protected:
    void SetUp() override {
        platform::Registry::instance().deleteKey(
            RootKey::CurrentUser,
            QStringLiteral("Software\\Mirovasta\\Vellwick Glimmerkey\\Specify Browser"));
        AppFixture::SetUp();
    }
};

TEST_F(WebBrowserDialog, ListsDesktopBrowsersAndKeepsAddedOnesInTheProfile) {
    TestDataFolders data;
    const QString browser = data.program("webby");
    data.entry("home", "webby.desktop", "Name=Webby\nExec=" + browser + "\nCategories=WebBrowser;");
    QStringList installed, specified;
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = *static_cast<CWebBrowserDlg*>(widget);
        for (int i = 0; i < dialog.m_lbInstalled->count(); ++i)
            installed << dialog.m_lbInstalled->item(i)->text();
        dialog.Item<QPushButton>(1049)->click(); // nothing to delete
        prompts.files = {"/usr/bin/mybrowser"};
        dialog.Item<QLineEdit>(1012)->setText("Mine");
        dialog.Item<QPushButton>(1010)->click(); // "..." fills the path
        dialog.Item<QPushButton>(1027)->click();
        dialog.reject();
    });
    frame()->SendCommand(ID_OPTION_WEB_BROWSER);
    EXPECT_EQ(installed, QStringList{"Webby"});
    EXPECT_EQ(prompts.messages, QStringList{"Please select a browser to delete!"});

    // Stored in the profile on disk at once; the next opening reads it from there.
    EXPECT_TRUE(readFile(platform::Registry::instance().folder() + "/HKEY_CURRENT_USER.hive")
                    .contains("/usr/bin/mybrowser"));
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = *static_cast<CWebBrowserDlg*>(widget);
        for (int i = 0; i < dialog.m_lbSpecified->count(); ++i)
            specified << dialog.m_lbSpecified->item(i)->text();
        dialog.reject();
    });
    frame()->SendCommand(ID_OPTION_WEB_BROWSER);
    EXPECT_EQ(specified, QStringList{"Mine"});
}

TEST_F(WebBrowserDialog, EnterClosesTheDialogAndDeletesNothing) {
    TestDataFolders noDesktop;
    CBrowserList(app.GetProfile()).AddSpecifiedBrowser("/usr/bin/first", "First");
    const auto specifiedNames = [&] {
        CBrowserList list(app.GetProfile());
        QStringList names;
        for (int i = 0; i < list.GetSpecifiedCount(); ++i)
            names << list.GetSpecifiedName(i);
        return names;
    };
    const QStringList before = specifiedNames();
    QString selectedAtOpening;
    bool openAfterEnter = true;
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = *static_cast<CWebBrowserDlg*>(widget);
        if (QListWidgetItem* item = dialog.m_lbSpecified->currentItem())
            selectedAtOpening = item->text();
        QTest::keyClicks(dialog.GetDlgItem(1012), "Second");
        QTest::keyClicks(dialog.GetDlgItem(1039), "/usr/bin/second");
        QTest::keyClick(dialog.GetDlgItem(1039), Qt::Key_Return);
        openAfterEnter = dialog.isVisible();
        if (openAfterEnter) dialog.reject();
    });
    frame()->SendCommand(ID_OPTION_WEB_BROWSER);
    EXPECT_FALSE(selectedAtOpening.isEmpty()) << "the case that used to lose the browser";
    EXPECT_FALSE(openAfterEnter);
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
    EXPECT_EQ(specifiedNames(), before);
}
