#include "platform/Registry.h"
#include "platform/Hive.h"
#include "support/Files.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <thread>

using platform::Hive;
using platform::HiveKey;
using platform::Registry;
using platform::RootKey;

namespace {

const QString appKey = QStringLiteral("Software\\Mirovasta\\Vellwick Glimmerkey");

} // namespace

TEST(RegistryNames, CaseInsensitiveKeepingFirstSpelling) {
    Registry reg;
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, appKey + "\\Frame", "WindowState", "1"));
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser,
                                "SOFTWARE\\mirovasta\\vellwick glimmerkey\\FRAME", "windowstate",
                                "2"));

    EXPECT_EQ(reg.readString(RootKey::CurrentUser,
                             "software\\MIROVASTA\\Vellwick GLIMMERKEY\\frame", "WINDOWSTATE"),
              "2");
    EXPECT_EQ(reg.subKeyNames(RootKey::CurrentUser, "software\\mirovasta"),
              QStringList{"Vellwick Glimmerkey"});
    EXPECT_EQ(reg.subKeyNames(RootKey::CurrentUser, appKey), QStringList{"Frame"});
    EXPECT_EQ(reg.valueNames(RootKey::CurrentUser, appKey + "\\Frame"), QStringList{"WindowState"});
    EXPECT_FALSE(reg.readString(RootKey::CurrentUser, appKey + "\\Frame", "WindowStat"));
    // The same name under another root is another value.
    EXPECT_FALSE(reg.readString(RootKey::LocalMachine, appKey + "\\Frame", "WindowState"));
}

TEST(RegistryNames, PathsDefaultValuesAndOrder) {
    Registry reg;
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, "\\Software\\\\Demo\\", "", "default"));
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, "Software\\Demo", "beta", "b"));
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, "Software\\Demo", "Alpha", "a"));

    EXPECT_EQ(reg.readString(RootKey::CurrentUser, "Software\\Demo", ""), "default");
    EXPECT_EQ(reg.valueNames(RootKey::CurrentUser, "Software\\Demo"),
              (QStringList{"", "Alpha", "beta"}));
    EXPECT_EQ(reg.subKeyNames(RootKey::CurrentUser, ""), QStringList{"Software"});
    EXPECT_TRUE(reg.keyExists(RootKey::CurrentUser, ""));
    EXPECT_TRUE(reg.keyExists(RootKey::LocalMachine, "\\"));
    EXPECT_FALSE(reg.keyExists(RootKey::CurrentUser, "Software\\Demo\\Missing"));

    EXPECT_FALSE(reg.createKey(RootKey::CurrentUser, "Software\\" + QString(256, u'k')));
    EXPECT_FALSE(reg.writeString(RootKey::CurrentUser, "Software", QString(QChar(0xd800)), "x"));
    EXPECT_EQ(reg.subKeyNames(RootKey::CurrentUser, "Software"), QStringList{"Demo"});
}

TEST(RegistryKeys, DeleteKeyRemovesSubtreeAndDeleteReportsMissing) {
    Registry reg;
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, "A\\B\\C", "v", "1"));
    ASSERT_TRUE(reg.createKey(RootKey::CurrentUser, "A\\Other"));

    EXPECT_TRUE(reg.deleteKey(RootKey::CurrentUser, "a\\b"));
    EXPECT_FALSE(reg.keyExists(RootKey::CurrentUser, "A\\B\\C"));
    EXPECT_FALSE(reg.keyExists(RootKey::CurrentUser, "A\\B"));
    EXPECT_EQ(reg.subKeyNames(RootKey::CurrentUser, "A"), QStringList{"Other"});

    EXPECT_FALSE(reg.deleteKey(RootKey::CurrentUser, "A\\B"));
    EXPECT_FALSE(reg.deleteKey(RootKey::CurrentUser, ""));
    EXPECT_FALSE(reg.deleteValue(RootKey::CurrentUser, "A\\Other", "v"));
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, "A\\Other", "v", "1"));
    EXPECT_TRUE(reg.deleteValue(RootKey::CurrentUser, "A\\OTHER", "V"));
    EXPECT_TRUE(reg.valueNames(RootKey::CurrentUser, "A\\Other").isEmpty());
}

TEST(RegistryClasses, PerUserOverMachineAndWritesGoPerUser) {
    Registry reg;
    const QString machine = "Software\\Classes\\";
    ASSERT_TRUE(reg.writeString(RootKey::LocalMachine, machine + "Demo.Server", "", "machine"));
    ASSERT_TRUE(reg.writeString(RootKey::LocalMachine, machine + "Demo.Server", "Shared", "m"));
    ASSERT_TRUE(reg.writeString(RootKey::LocalMachine, machine + "CLSID\\{1}", "", "one"));
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, machine + "DEMO.SERVER", "", "user"));
    ASSERT_TRUE(reg.writeString(RootKey::CurrentUser, machine + "clsid\\{2}", "", "two"));

    EXPECT_EQ(reg.readString(RootKey::ClassesRoot, "demo.server", ""), "user");
    EXPECT_EQ(reg.readString(RootKey::ClassesRoot, "Demo.Server", "Shared"), "m");
    EXPECT_EQ(reg.valueNames(RootKey::ClassesRoot, "Demo.Server"), (QStringList{"", "Shared"}));
    EXPECT_EQ(reg.subKeyNames(RootKey::ClassesRoot, ""), (QStringList{"clsid", "DEMO.SERVER"}));
    EXPECT_EQ(reg.subKeyNames(RootKey::ClassesRoot, "CLSID"), (QStringList{"{1}", "{2}"}));
    EXPECT_TRUE(reg.keyExists(RootKey::ClassesRoot, "CLSID\\{1}"));
    EXPECT_TRUE(reg.keyExists(RootKey::ClassesRoot, "CLSID\\{2}"));

    ASSERT_TRUE(reg.writeString(RootKey::ClassesRoot, "CLSID\\{1}", "", "mine"));
    EXPECT_EQ(reg.readString(RootKey::CurrentUser, machine + "CLSID\\{1}", ""), "mine");
    EXPECT_EQ(reg.readString(RootKey::LocalMachine, machine + "CLSID\\{1}", ""), "one");

    // Deleting through the merged view reaches only the per-user classes.
    EXPECT_TRUE(reg.deleteKey(RootKey::ClassesRoot, "CLSID\\{1}"));
    EXPECT_EQ(reg.readString(RootKey::ClassesRoot, "CLSID\\{1}", ""), "one");
    EXPECT_FALSE(reg.deleteKey(RootKey::ClassesRoot, "CLSID\\{1}"));
    EXPECT_TRUE(reg.keyExists(RootKey::LocalMachine, machine + "CLSID\\{1}"));
}

TEST(RegistryFiles, PersistsAndSeesOtherInstancesChanges) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/deep/registry";
    Registry first(folder);
    Registry second(folder);
    EXPECT_FALSE(second.keyExists(RootKey::CurrentUser, "Software"));

    ASSERT_TRUE(first.writeString(RootKey::CurrentUser, appKey, "a", "1"));
    ASSERT_TRUE(second.writeString(RootKey::CurrentUser, appKey, "b", "2"));
    ASSERT_TRUE(first.writeString(RootKey::CurrentUser, appKey, "c", "3"));
    ASSERT_TRUE(second.writeString(RootKey::CurrentUser, appKey, "a", "4"));
    ASSERT_TRUE(first.writeString(RootKey::LocalMachine, "Software", "m", "5"));

    const Registry third(folder);
    for (const Registry* reg : std::initializer_list<const Registry*>{&first, &second, &third}) {
        EXPECT_EQ(reg->valueNames(RootKey::CurrentUser, appKey), (QStringList{"a", "b", "c"}));
        EXPECT_EQ(reg->readString(RootKey::CurrentUser, appKey, "a"), "4");
        EXPECT_EQ(reg->readString(RootKey::LocalMachine, "Software", "m"), "5");
    }
    EXPECT_TRUE(QFile::exists(folder + "/HKEY_CURRENT_USER.hive"));
    EXPECT_TRUE(QFile::exists(folder + "/HKEY_LOCAL_MACHINE.hive"));
    EXPECT_TRUE(first.corruptHives().isEmpty());
}

TEST(RegistryFiles, ConcurrentWritersLoseNothing) {
    QTemporaryDir dir;
    constexpr int writes = 25;
    auto writer = [&](const QString& prefix) {
        Registry reg(dir.path());
        for (int i = 0; i < writes; ++i)
            EXPECT_TRUE(
                reg.writeString(RootKey::CurrentUser, appKey, prefix + QString::number(i), "x"));
    };
    std::thread one(writer, QStringLiteral("one"));
    std::thread two(writer, QStringLiteral("two"));
    one.join();
    two.join();
    EXPECT_EQ(Registry(dir.path()).valueNames(RootKey::CurrentUser, appKey).size(), 2 * writes);
}

TEST(RegistryFiles, CorruptHiveIsReportedReadsEmptyAndIsNeverWritten) {
    const QByteArray valid = Hive::serialize(HiveKey{});
    const std::pair<const char*, QByteArray> cases[] = {
        {"garbage", QByteArray("\x00\xff\x13garbage", 10)},
        {"truncated", valid.left(valid.size() / 2)},
        {"newer version", QByteArray(valid).replace("\"version\": 1", "\"version\": 2")},
        {"other format", QByteArray(valid).replace("registry hive", "something else")},
        {"value not a string",
         QByteArray(valid).replace("\"root\": {", "\"root\": {\"values\": {\"x\": 1}")},
        {"too large", QByteArray(Hive::maxFileBytes + 1, ' ')},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString path = dir.path() + "/HKEY_LOCAL_MACHINE.hive";
        writeFile(path, bytes);
        ASSERT_FALSE(Hive::parse(bytes));

        Registry reg(dir.path());
        const QStringList reports = reg.corruptHives();
        ASSERT_EQ(reports.size(), 1);
        EXPECT_TRUE(reports[0].startsWith(path + ": ")) << reports[0].toStdString();
        EXPECT_TRUE(reg.subKeyNames(RootKey::LocalMachine, "").isEmpty());
        EXPECT_FALSE(reg.writeString(RootKey::LocalMachine, "Software", "v", "x"));
        EXPECT_FALSE(reg.createKey(RootKey::LocalMachine, "Software"));
        EXPECT_FALSE(reg.deleteKey(RootKey::LocalMachine, "Software"));
        // The other hive is unaffected.
        EXPECT_TRUE(reg.writeString(RootKey::ClassesRoot, "Demo", "", "x"));
        EXPECT_EQ(readFile(path), bytes);
    }
}

TEST(RegistryFiles, RepairedHiveIsReadAgain) {
    QTemporaryDir dir;
    const QString path = dir.path() + "/HKEY_CURRENT_USER.hive";
    writeFile(path, "{");
    Registry reg(dir.path());
    ASSERT_EQ(reg.corruptHives().size(), 1);

    HiveKey root;
    root.create({"Software"})->setValue("v", "fixed");
    writeFile(path, Hive::serialize(root));
    EXPECT_TRUE(reg.corruptHives().isEmpty());
    EXPECT_EQ(reg.readString(RootKey::CurrentUser, "software", "V"), "fixed");
    EXPECT_TRUE(reg.writeString(RootKey::CurrentUser, "Software", "w", "x"));
}

TEST(RegistryFiles, UnwritableFolderFailsWrites) {
    QTemporaryDir dir;
    // A folder below a plain file cannot be created, even by root.
    writeFile(dir.path() + "/file", "x");
    Registry reg(dir.path() + "/file/registry");
    EXPECT_FALSE(reg.writeString(RootKey::CurrentUser, "Software", "v", "x"));
    EXPECT_FALSE(reg.createKey(RootKey::ClassesRoot, "Demo"));
    EXPECT_FALSE(reg.keyExists(RootKey::CurrentUser, "Software"));
    EXPECT_TRUE(reg.corruptHives().isEmpty());
}

TEST(RegistryHive, RoundTripsAndBoundsNesting) {
    HiveKey root;
    root.create({"Software", "Ünïcode \"quoted\"", "Key"})
        ->setValue("", QString::fromUtf8("a\0b", 3));
    root.create({"software", "Second"})->setValue("Name", "\r\n\\");
    root.setValue("top", "");
    QString why;
    EXPECT_EQ(Hive::parse(Hive::serialize(root), &why), root) << why.toStdString();

    QStringList deep;
    for (int i = 0; i <= Hive::maxDepth; ++i)
        deep.append("k");
    EXPECT_FALSE(root.create(deep));
    deep.removeLast();
    ASSERT_TRUE(root.create(deep));
    root.find(deep)->setValue("deepest", "v");
    EXPECT_TRUE(Hive::parse(Hive::serialize(root)));
    root.find(deep)->addSubKey("k");
    EXPECT_FALSE(Hive::parse(Hive::serialize(root), &why));
    EXPECT_FALSE(why.isEmpty());

    const QByteArray clash = R"({"format": "Vellwick Glimmerkey registry hive", "version": 1,
        "root": {"keys": {"Key": {}, "KEY": {}}}})";
    EXPECT_FALSE(Hive::parse(clash));
}

TEST(RegistryLocation, ConfigFolderAndInstance) {
    const QString home = useTemporaryHome();
    EXPECT_EQ(Registry::instance().folder(), home + "/.config/Mirovasta/registry");

    const QByteArray xdg = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "");
    EXPECT_EQ(platform::configFolder(), home + "/.config");
    qputenv("XDG_CONFIG_HOME", "/elsewhere");
    EXPECT_EQ(platform::configFolder(), "/elsewhere");
    qputenv("XDG_CONFIG_HOME", xdg);
}

// The entry point of the whole platform_tests binary: nothing in it may reach
// the developer's own registry or configuration.
int main(int argc, char** argv) {
    useTemporaryHome();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
