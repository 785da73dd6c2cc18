#include "platform/SafeFile.h"
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"
#include "support/CopySourceCases.h"
#include "support/Files.h"
#include "support/TinyFileSystem.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using platform::CopyFileSafely;
using platform::Registry;
using platform::RootKey;
using platform::WriteFileSafely;

namespace {

const QByteArray kOld = "the user's file, as it was\r\n";

} // namespace

TEST(SafeFile, WritesAndCopiesReplaceWholeFiles) {
    QTemporaryDir dir;
    const QString target = dir.filePath("page.htm");
    writeFile(target, kOld);
    ASSERT_TRUE(WriteFileSafely(target, "new bytes"));
    EXPECT_EQ(readFile(target), "new bytes");

    const QByteArray big(3 * 1024 * 1024 + 17, 'x'); // more than one copy chunk
    writeFile(dir.filePath("big.bin"), big);
    ASSERT_TRUE(CopyFileSafely(dir.filePath("big.bin"), target));
    EXPECT_EQ(readFile(target), big);
    EXPECT_EQ(entries(dir.path()), (QStringList{"big.bin", "page.htm"}));
}

TEST(SafeFile, AReplacedFileKeepsItsModeAndACopyNeverGetsMoreThanItsSource) {
    QTemporaryDir dir;
    const mode_t umask = ::umask(022);
    const auto mode = [](const QString& path) {
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    };
    writeFile(dir.filePath("page.htm"), kOld);
    ::chmod(QFile::encodeName(dir.filePath("page.htm")).constData(), 0604);
    EXPECT_TRUE(WriteFileSafely(dir.filePath("page.htm"), "new"));
    EXPECT_EQ(mode(dir.filePath("page.htm")), 0604u);
    EXPECT_TRUE(WriteFileSafely(dir.filePath("new.htm"), "new"));
    EXPECT_EQ(mode(dir.filePath("new.htm")), 0644u);
    writeFile(dir.filePath("private.key"), "secret");
    ::chmod(QFile::encodeName(dir.filePath("private.key")).constData(), 0640);
    EXPECT_TRUE(CopyFileSafely(dir.filePath("private.key"), dir.filePath("copy.key")));
    EXPECT_EQ(mode(dir.filePath("copy.key")), 0640u);
    ::umask(umask);
}

TEST(SafeFile, CopiesOnlyRegularFiles) {
    CheckCopySources([](const QString& source, const QString& target, QString* error) {
        return CopyFileSafely(source, target, error);
    });
}

TEST(SafeFile, EveryFailureKeepsTheOldFileAndLeavesNoTemporaryFile) {
    TinyFileSystem fs(64);
    REQUIRE_TINY_FS(fs);
    const QString target = fs.filePath("widget.tvt");
    writeFile(target, kOld);
    QTemporaryDir outside;
    const QString source = outside.filePath("source.bin");
    writeFile(source, QByteArray(8192, 's'));
    QString error;

    // A source that cannot be read costs nothing.
    EXPECT_FALSE(CopyFileSafely(outside.filePath("gone.bin"), target, &error));
    EXPECT_TRUE(error.contains("gone.bin"));
    EXPECT_EQ(readFile(target), kOld);

    // A failure between the copy and the rename.
    fs.makeBusy(target);
    EXPECT_FALSE(CopyFileSafely(source, target, &error));
    EXPECT_FALSE(WriteFileSafely(target, "new", &error));
    fs.unbusy(target);
    EXPECT_EQ(readFile(target), kOld);
    EXPECT_EQ(entries(fs.path()), QStringList{"widget.tvt"});

    // No space left: the error surfaces at the write, not after the rename.
    fs.fill();
    error.clear();
    EXPECT_FALSE(WriteFileSafely(target, "small enough to sit in a buffer", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CopyFileSafely(source, target, &error));
    EXPECT_FALSE(WriteFileSafely(fs.filePath("new.tvt"), "x", &error));
    EXPECT_EQ(readFile(target), kOld);
    EXPECT_EQ(entries(fs.path()), (QStringList{".filler", "widget.tvt"}));

    // A read-only folder.
    QFile::remove(fs.filePath(".filler"));
    fs.makeReadOnly();
    EXPECT_FALSE(WriteFileSafely(target, "new", &error));
    EXPECT_FALSE(CopyFileSafely(source, target, &error));
    EXPECT_EQ(readFile(target), kOld);
    fs.makeWritable();
}

TEST(SafeFile, RegistryOnAFullDiskKeepsEveryRegistration) {
    TinyFileSystem fs(64);
    REQUIRE_TINY_FS(fs);
    const QString folder = fs.filePath("registry");
    QByteArray before;
    {
        Registry registry(folder);
        ASSERT_TRUE(registry.writeString(RootKey::CurrentUser, "Software\\Kept", "Value", "1"));
        ASSERT_TRUE(platform::RegisterServerLibrary(registry, TAVOLET_SERVER_LIBRARY, nullptr));
        before = readFile(folder + "/HKEY_CURRENT_USER.hive");
        ASSERT_FALSE(before.isEmpty());
    }
    // One free page: enough for the lock file, not for the new hive.
    fs.fill(4096);
    Registry registry(folder);
    EXPECT_FALSE(registry.writeString(RootKey::CurrentUser, "Software\\New", "Value", "2"));
    QString error;
    EXPECT_FALSE(platform::UnregisterServerLibrary(registry, TAVOLET_SERVER_LIBRARY, &error));
    EXPECT_TRUE(error.contains("Cannot write the registry"));
    EXPECT_EQ(readFile(folder + "/HKEY_CURRENT_USER.hive"), before);
    // What the process believes matches the file: nothing changed.
    EXPECT_EQ(registry.readString(RootKey::CurrentUser, "Software\\Kept", "Value"), "1");
    EXPECT_FALSE(registry.keyExists(RootKey::CurrentUser, "Software\\New"));
    EXPECT_TRUE(registry.keyExists(RootKey::ClassesRoot, "TavoletServer.Glimmerkey"));
}
