#include "platform/Components.h"
#include "platform/DispatchDriver.h"
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"

#include <QDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

using platform::Registry;
using platform::RootKey;

namespace {

// Registers `clsid` under `progId` with the given library path (none when empty).
void registerClass(const QUuid& clsid, const QString& progId, const QString& library) {
    Registry& registry = Registry::instance();
    const QString key = "CLSID\\" + platform::StringFromCLSID(clsid);
    registry.writeString(RootKey::ClassesRoot, progId + "\\CLSID", {},
                         platform::StringFromCLSID(clsid));
    registry.writeString(RootKey::ClassesRoot, key + "\\ProgID", {}, progId);
    if (!library.isEmpty())
        registry.writeString(RootKey::ClassesRoot, key + "\\InprocServer32", {}, library);
}

QString creationFailure(const QString& library) {
    const QUuid clsid = QUuid::createUuid();
    registerClass(clsid, "Test.Creation", library);
    QString why;
    EXPECT_EQ(platform::CreateInstance(clsid, &why), nullptr);
    return why;
}

class EchoServer final : public dispatch::IDispatchObject {
public:
    dispatch::InvokeResult Invoke(int dispid, dispatch::InvokeKind,
                                  const QVariantList& args) override {
        if (dispid == 1) return dispatch::InvokeResult::success(args.value(0));
        return dispatch::InvokeResult::failure("Echo knows only call 1");
    }
};

} // namespace

TEST(ComponentsIds, TextFormsAndRegistryLookups) {
    const QUuid clsid = QUuid::fromString(QStringLiteral("{6f1d2c9a-3b7e-4e52-9a61-2c0b8d4e7f15}"));
    EXPECT_EQ(platform::StringFromCLSID(clsid), "{6F1D2C9A-3B7E-4E52-9A61-2C0B8D4E7F15}");
    EXPECT_EQ(platform::CLSIDFromString(platform::StringFromCLSID(clsid)), clsid);
    EXPECT_FALSE(platform::CLSIDFromString("not a class id"));

    registerClass(clsid, "Test.Lookup", {});
    EXPECT_EQ(platform::CLSIDFromProgID("test.lookup"), clsid)
        << "ProgIDs are case-insensitive keys";
    EXPECT_EQ(platform::ProgIDFromCLSID(clsid), "Test.Lookup");
    EXPECT_FALSE(platform::CLSIDFromProgID("Test.Unregistered"));
    EXPECT_FALSE(platform::CLSIDFromProgID(QString()));
    EXPECT_FALSE(platform::ProgIDFromCLSID(QUuid::createUuid()));

    Registry::instance().writeString(RootKey::ClassesRoot, "Test.Garbled\\CLSID", {}, "{nonsense}");
    EXPECT_FALSE(platform::CLSIDFromProgID("Test.Garbled"));
}

// Whether the library is mapped into this process.
bool isLoaded(const char* path) {
    void* handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
    if (handle) dlclose(handle);
    return handle != nullptr;
}

TEST(ComponentsCreation, EachFailureSaysWhy) {
    EXPECT_TRUE(creationFailure({}).startsWith("No server library is registered"));
    EXPECT_TRUE(creationFailure("/nowhere/libMissing.so").contains("not an existing file"));
    // A bare name would go through the library search path: refused before loading.
    EXPECT_TRUE(
        creationFailure("libc.so.6").contains("not an existing file with an absolute path"));
    EXPECT_TRUE(creationFailure(NOT_A_SERVER).contains("is not a widget server"));
    EXPECT_TRUE(creationFailure(OTHER_CONTRACT_SERVER).contains("another contract version"));
    // A refused library does not stay in the process.
    EXPECT_FALSE(isLoaded(OTHER_CONTRACT_SERVER));
    EXPECT_FALSE(isLoaded(NOT_A_SERVER));
}

TEST(ComponentsCreation, InProcessClassComesFirstAndCanFail) {
    const QUuid clsid = QUuid::createUuid();
    registerClass(clsid, "Test.InProcess", NOT_A_SERVER);
    bool refuse = false;
    {
        platform::InProcessClass registration(clsid,
                                              [&]() -> std::unique_ptr<dispatch::IDispatchObject> {
                                                  if (refuse) return nullptr;
                                                  return std::make_unique<EchoServer>();
                                              });
        EXPECT_NE(platform::CreateInstance(clsid), nullptr);
        refuse = true;
        QString why;
        EXPECT_EQ(platform::CreateInstance(clsid, &why), nullptr);
        EXPECT_TRUE(why.contains("in-process class"));
    }
    // Gone with the registration: now the library is tried.
    QString why;
    EXPECT_EQ(platform::CreateInstance(clsid, &why), nullptr);
    EXPECT_TRUE(why.contains("is not a widget server"));
}

TEST(ComponentsDispatch, FailuresRaiseTheServersMessage) {
    platform::DispatchDriver driver;
    EXPECT_THROW(driver.GetProperty(1), platform::DispatchError);

    driver.AttachDispatch(std::make_unique<EchoServer>());
    EXPECT_EQ(driver.InvokeHelper(1, dispatch::InvokeKind::Method, {QStringLiteral("hi")}), "hi");
    try {
        driver.InvokeHelper(7, dispatch::InvokeKind::Method);
        FAIL() << "a failed call must throw";
    } catch (const platform::DispatchError& error) {
        EXPECT_EQ(error.message(), "Echo knows only call 1");
    }
    driver.ReleaseDispatch();
    EXPECT_FALSE(driver.IsValid());
}

TEST(ComponentsRegistration, RefusesLibrariesThatAreNoServers) {
    Registry registry(QString{});
    QString error;
    EXPECT_FALSE(platform::RegisterServerLibrary(registry, NOT_A_SERVER, &error));
    EXPECT_TRUE(error.contains("is not a widget server"));
    EXPECT_FALSE(platform::RegisterServerLibrary(registry, "/nowhere/lib.so", &error));
    EXPECT_EQ(error, "The library /nowhere/lib.so does not exist.");
    // A relative name is taken from the current folder, never from the search path.
    EXPECT_FALSE(platform::RegisterServerLibrary(registry, "libMissing.so", &error));
    EXPECT_EQ(error, "The library " + QDir::current().absoluteFilePath("libMissing.so") +
                         " does not exist.");
    EXPECT_TRUE(registry.subKeyNames(RootKey::ClassesRoot, {}).isEmpty());
}
