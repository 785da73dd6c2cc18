// Loads the real server library as the host does and drives it only through
// the dispatch contract.
#include "platform/DispatchContract.h"
#include "support/Files.h"
#include "support/TinyFileSystem.h"

#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <memory>

using dispatch::InvokeKind;
using dispatch::InvokeResult;

namespace {

constexpr InvokeKind Get = InvokeKind::PropertyGet;
constexpr InvokeKind Put = InvokeKind::PropertyPut;
constexpr InvokeKind Call = InvokeKind::Method;

class ServerModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        library = new QLibrary(QStringLiteral(TAVOLET_SERVER_MODULE));
        ASSERT_TRUE(library->load()) << library->errorString().toStdString();
    }
    static void TearDownTestSuite() { delete library; }

    template <typename Fn> static Fn entry(const char* name) {
        return reinterpret_cast<Fn>(library->resolve(name));
    }

    void SetUp() override {
        const auto info = entry<DllRegistrationInfoFn>(TAVOLET_ENTRY_REGISTRATION_INFO);
        ASSERT_TRUE(info && info(0));
        server.reset(entry<DllCreateInstanceFn>(TAVOLET_ENTRY_CREATE_INSTANCE)(info(0)->clsid));
        ASSERT_TRUE(server);
    }

    QVariant ok(int dispid, InvokeKind kind, const QVariantList& args = {}) {
        const InvokeResult r = server->Invoke(dispid, kind, args);
        EXPECT_TRUE(r.ok) << "DISPID " << dispid << ": " << r.error.toStdString();
        return r.value;
    }
    QString fails(int dispid, InvokeKind kind, const QVariantList& args = {}) {
        const InvokeResult r = server->Invoke(dispid, kind, args);
        EXPECT_FALSE(r.ok) << "DISPID " << dispid << " should fail";
        EXPECT_FALSE(r.error.isEmpty());
        return r.error;
    }
    QStringList codeParts() {
        QStringList out;
        const int n = ok(17, Call).toInt();
        for (int i = 0; i < n; ++i)
            out << ok(19, Call, {i, 1}).toString();
        return out;
    }

    static inline QLibrary* library = nullptr;
    std::unique_ptr<dispatch::IDispatchObject> server;
    QTemporaryDir dir;
};

} // namespace

TEST_F(ServerModule, EntryPointsDescribeTheServer) {
    EXPECT_STREQ(entry<TavoletContractVersionFn>(TAVOLET_ENTRY_CONTRACT_VERSION)(),
                 TAVOLET_DISPATCH_CONTRACT);
    const auto info = entry<DllRegistrationInfoFn>(TAVOLET_ENTRY_REGISTRATION_INFO);
    EXPECT_STREQ(info(0)->progId, "TavoletServer.Glimmerkey");
    EXPECT_STREQ(info(0)->clsid, "{6F1D2C9A-3B7E-4E52-9A61-2C0B8D4E7F15}");
    EXPECT_EQ(info(1), nullptr);
    const auto create = entry<DllCreateInstanceFn>(TAVOLET_ENTRY_CREATE_INSTANCE);
    EXPECT_EQ(create("{00000000-0000-0000-0000-000000000000}"), nullptr);
    EXPECT_EQ(create(nullptr), nullptr);
    // The host may spell the CLSID in lower case, as QUuid does.
    std::unique_ptr<dispatch::IDispatchObject> lower(
        create("{6f1d2c9a-3b7e-4e52-9a61-2c0b8d4e7f15}"));
    EXPECT_TRUE(lower);

    const auto loadString = entry<DllLoadStringFn>(TAVOLET_ENTRY_LOAD_STRING);
    EXPECT_STREQ(loadString(ok(11, Call).toInt()), "Glimmerkey");
    EXPECT_EQ(loadString(12345), nullptr);
    // The resource module is this very library.
    Dl_info self{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(loadString), &self), 0);
    EXPECT_EQ(ok(20, Call).toLongLong(), reinterpret_cast<qint64>(self.dli_fbase));
}

TEST_F(ServerModule, PropertiesStartFreshAndKeepWhatIsPut) {
    EXPECT_EQ(ok(2, Get).toString(), QStringLiteral("Normal"));
    EXPECT_EQ(ok(3, Get).toString(), QString());
    for (int dispid : {1, 2, 3, 5}) {
        ok(dispid, Put, {QStringLiteral("value %1").arg(dispid)});
        EXPECT_EQ(ok(dispid, Get).toString(), QStringLiteral("value %1").arg(dispid));
        fails(dispid, Put, {42});
        fails(dispid, Put, {});
        fails(dispid, Call, {QStringLiteral("x")});
    }
    const QDateTime when(QDate(2025, 3, 4), QTime(5, 6, 7), Qt::UTC);
    ok(6, Put, {when});
    EXPECT_EQ(ok(6, Get).toDateTime(), when);
    fails(6, Put, {QStringLiteral("2025-03-04")});
    fails(99, Call);
    fails(4, Get);
}

TEST_F(ServerModule, SaveAndLoadRoundTripTheWholeState) {
    const QString path = dir.filePath(QStringLiteral("w.tvt"));
    ok(1, Put, {QStringLiteral("TavoletServer.Glimmerkey")});
    ok(2, Put, {QStringLiteral("Mine")});
    ok(3, Put, {QStringLiteral("Described")});
    ok(6, Put, {QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5), Qt::UTC)});
    const QStringList code = codeParts();
    ASSERT_TRUE(ok(8, Call, {path}).toBool());

    SetUp(); // a fresh instance, as the host makes for Open
    EXPECT_EQ(ok(2, Get).toString(), QStringLiteral("Normal"));
    ASSERT_TRUE(ok(7, Call, {path}).toBool());
    EXPECT_EQ(ok(1, Get).toString(), QStringLiteral("TavoletServer.Glimmerkey"));
    EXPECT_EQ(ok(2, Get).toString(), QStringLiteral("Mine"));
    EXPECT_EQ(ok(3, Get).toString(), QStringLiteral("Described"));
    EXPECT_EQ(codeParts(), code);
}

TEST_F(ServerModule, FailedLoadLeavesTheWidgetAsItWas) {
    const QString templ =
        QStringLiteral(TAVOLET_TEMPLATE_DIR "/Candy_TavoletServer.Glimmerkey.tvt");
    ASSERT_TRUE(ok(7, Call, {templ}).toBool());
    ok(3, Put, {QStringLiteral("edited")});
    const QStringList before = codeParts();
    const QString bad = dir.filePath(QStringLiteral("bad.tvt"));
    for (const QByteArray& bytes :
         {QByteArray("{\"format\":\"Glimmerkey widget\",\"version\":1,\"button\":{\"caption\":"),
          QByteArray("PK\x03\x04 zip"), QByteArray(), QByteArray(300000, '{')}) {
        writeFile(bad, bytes);
        EXPECT_FALSE(ok(7, Call, {bad}).toBool());
        EXPECT_EQ(ok(2, Get).toString(), QStringLiteral("Candy"));
        EXPECT_EQ(ok(3, Get).toString(), QStringLiteral("edited"));
        EXPECT_EQ(codeParts(), before);
    }
    EXPECT_FALSE(ok(7, Call, {dir.filePath(QStringLiteral("missing.tvt"))}).toBool());
    EXPECT_FALSE(ok(8, Call, {dir.filePath(QStringLiteral("no/folder/x.tvt"))}).toBool());
    fails(7, Call, {});
    fails(7, Call, {1});
    fails(8, Call, {QStringLiteral("a"), QStringLiteral("b")});
}

TEST_F(ServerModule, CodePartsAndTheirFailures) {
    ASSERT_EQ(ok(17, Call).toInt(), 3);
    EXPECT_EQ(ok(18, Call, {0}).toString(), QStringLiteral("cursor"));
    EXPECT_EQ(ok(18, Call, {1}).toString(), QStringLiteral("style"));
    EXPECT_EQ(ok(18, Call, {2}).toString(), QStringLiteral("script"));
    EXPECT_TRUE(ok(19, Call, {0, 1}).toString().contains(QLatin1String("<button")));
    EXPECT_TRUE(fails(18, Call, {3}).contains(QLatin1String("out of range")));
    fails(18, Call, {-1});
    fails(18, Call, {QStringLiteral("0")});
    fails(19, Call, {0});
    fails(19, Call, {7, 1});
    fails(19, Call, {0, 9});
    fails(17, Call, {1});
}

TEST_F(ServerModule, SupportFilesAreListedAndPlacedBesideAPage) {
    EXPECT_EQ(ok(21, Call).toInt(), 0);
    fails(22, Call, {0});
    const QString templ =
        QStringLiteral(TAVOLET_TEMPLATE_DIR "/Candy_TavoletServer.Glimmerkey.tvt");
    ASSERT_TRUE(ok(7, Call, {templ}).toBool());
    const int count = ok(21, Call).toInt();
    ASSERT_EQ(count, 2);
    QStringList webPaths;
    for (int i = 0; i < count; ++i) {
        const QString source = ok(23, Call, {i}).toString();
        EXPECT_TRUE(source.endsWith(QLatin1Char('/')));
        EXPECT_TRUE(QFile::exists(source + ok(22, Call, {i}).toString()));
        webPaths << ok(24, Call, {i}).toString();
        EXPECT_TRUE(QDir::isRelativePath(webPaths.last()));
    }
    fails(22, Call, {count});
    fails(23, Call, {-1});
    fails(24, Call, {QStringLiteral("x")});

    // New Page: SaveToFile on "<page>.restvt" places the files beside the page.
    const QString page = dir.filePath(QStringLiteral("site"));
    QDir().mkpath(page);
    ASSERT_TRUE(ok(8, Call, {page + QStringLiteral("/index.restvt")}).toBool());
    for (const QString& web : webPaths)
        EXPECT_TRUE(QFile::exists(page + QLatin1Char('/') + web)) << web.toStdString();

    // Insert: SaveWithSupportFiles with flag 1 does the same; flag 0 only saves.
    const QString other = dir.filePath(QStringLiteral("other"));
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QDir().mkpath(other);
    QDir().mkpath(plain);
    ASSERT_TRUE(ok(28, Call, {other + QStringLiteral("/page.restvt"), 1}).toBool());
    ASSERT_TRUE(ok(28, Call, {plain + QStringLiteral("/page.tvt"), 0}).toBool());
    EXPECT_TRUE(QFile::exists(other + QLatin1Char('/') + webPaths[0]));
    EXPECT_FALSE(QFile::exists(plain + QLatin1Char('/') + webPaths[0]));
    EXPECT_TRUE(QFile::exists(plain + QStringLiteral("/page.tvt")));
    fails(28, Call, {other + QStringLiteral("/page.restvt")});
}

TEST_F(ServerModule, FailedSavesAnswerFalseWithAReasonAndKeepTheOldFiles) {
    TinyFileSystem fs;
    REQUIRE_TINY_FS(fs);
    const QString templ =
        QStringLiteral(TAVOLET_TEMPLATE_DIR "/Candy_TavoletServer.Glimmerkey.tvt");
    ASSERT_TRUE(ok(7, Call, {templ}).toBool());
    const QString page = fs.filePath(QStringLiteral("site"));
    ASSERT_TRUE(QDir().mkpath(page));
    const QString scratch = page + QStringLiteral("/page.restvt");
    ASSERT_TRUE(ok(28, Call, {scratch, 1}).toBool());
    const QString image = page + QLatin1Char('/') + ok(24, Call, {0}).toString();
    const QByteArray imageBytes = readFile(image);
    ASSERT_FALSE(imageBytes.isEmpty());

    // The support file cannot be renamed into place: FALSE, and the reason names it.
    fs.makeBusy(image);
    InvokeResult r = server->Invoke(28, Call, {scratch, 1});
    fs.unbusy(image);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, QVariant(false));
    EXPECT_TRUE(r.error.contains(QFileInfo(image).fileName())) << r.error.toStdString();
    EXPECT_EQ(readFile(image), imageBytes);

    // Save as Template on a full disk keeps the template that was there.
    const QString mine = page + QStringLiteral("/Mine_TavoletServer.Glimmerkey.tvt");
    ASSERT_TRUE(ok(8, Call, {mine}).toBool());
    const QByteArray before = readFile(mine);
    fs.fill();
    ok(3, Put, {QStringLiteral("changed")});
    r = server->Invoke(8, Call, {mine});
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.value, QVariant(false));
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(readFile(mine), before);
}

TEST_F(ServerModule, ConfigureReportsWhetherTheWidgetChanged) {
    // Answers the modal dialog the module shows, through its widgets only.
    auto answer = [](const QString& caption, bool accept) {
        QTimer::singleShot(0, [=] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            if (!caption.isNull())
                dialog->findChild<QLineEdit*>(QStringLiteral("caption"))->setText(caption);
            accept ? dialog->accept() : dialog->reject();
        });
    };
    const QString before = ok(19, Call, {0, 1}).toString();
    answer(QStringLiteral("Changed"), false);
    EXPECT_FALSE(ok(9, Call).toBool());
    answer({}, true);
    EXPECT_FALSE(ok(9, Call).toBool());
    EXPECT_EQ(ok(19, Call, {0, 1}).toString(), before);
    answer(QStringLiteral("Changed"), true);
    EXPECT_TRUE(ok(9, Call).toBool());
    EXPECT_TRUE(ok(19, Call, {0, 1}).toString().contains(QLatin1String("<span>Changed</span>")));
    fails(9, Call, {1});
}

TEST_F(ServerModule, ConfigureSaysOnceThatAnOldSmallWidgetWasEnlarged) {
    const QString path = dir.filePath(QStringLiteral("small.tvt"));
    writeFile(path, "{\"format\":\"Glimmerkey widget\",\"version\":1,"
                    "\"button\":{\"width\":90,\"height\":20}}");
    ASSERT_TRUE(ok(7, Call, {path}).toBool());
    EXPECT_TRUE(ok(19, Call, {0, 1}).toString().contains(QLatin1String("height:24px")));
    // The labels the dialog shows, read when it comes up; OK after a caption change.
    auto shownNotes = [&](const QString& caption) {
        auto notes = std::make_shared<QStringList>();
        QTimer::singleShot(0, [notes, caption] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            for (const QLabel* label : dialog->findChildren<QLabel*>())
                if (!label->isHidden()) *notes << label->text();
            dialog->findChild<QLineEdit*>(QStringLiteral("caption"))->setText(caption);
            dialog->accept();
        });
        EXPECT_TRUE(ok(9, Call).toBool());
        return notes->join(QLatin1Char('\n'));
    };
    const QString first = shownNotes(QStringLiteral("Go"));
    EXPECT_TRUE(first.contains(QLatin1String("90 x 20"))) << first.toStdString();
    EXPECT_TRUE(first.contains(QLatin1String("24 x 24")));
    EXPECT_FALSE(shownNotes(QStringLiteral("Went")).contains(QLatin1String("90 x 20")));
}

namespace {

constexpr int IdentityId = dispatch::DISPID_WIDGET_IDENTITY;

bool isIdentity(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9-]{1,64}$"));
    return form.match(text).hasMatch();
}

} // namespace

TEST_F(ServerModule, IdentitySurvivesSaveLoadAndRenamingAndIsRenewedByAnEmptyPut) {
    const QString first = ok(IdentityId, Get).toString();
    ASSERT_TRUE(isIdentity(first)) << first.toStdString();
    ok(2, Put, {QStringLiteral("Renamed")});
    ok(3, Put, {QStringLiteral("described")});
    EXPECT_EQ(ok(IdentityId, Get).toString(), first);
    const QStringList code = codeParts();
    EXPECT_EQ(code[0].count(QStringLiteral("data-tavolet-widget=\"%1\"").arg(first)), 1);

    const QString path = dir.filePath(QStringLiteral("w.tvt"));
    ASSERT_TRUE(ok(8, Call, {path}).toBool());
    SetUp();
    EXPECT_NE(ok(IdentityId, Get).toString(), first) << "every new widget has its own";
    ASSERT_TRUE(ok(7, Call, {path}).toBool());
    EXPECT_EQ(ok(IdentityId, Get).toString(), first);
    EXPECT_EQ(codeParts(), code);

    ok(IdentityId, Put, {QString()});
    const QString renewed = ok(IdentityId, Get).toString();
    EXPECT_TRUE(isIdentity(renewed));
    EXPECT_NE(renewed, first);
    const QStringList after = codeParts();
    EXPECT_EQ(QString(after[0]).replace(renewed, first), code[0]);
    EXPECT_EQ(after.mid(1), code.mid(1)) << "the class key and head code do not follow it";

    fails(IdentityId, Put, {QStringLiteral("chosen-by-host")});
    fails(IdentityId, Put, {42});
    fails(IdentityId, Put, {});
    fails(IdentityId, Get, {1});
    EXPECT_EQ(ok(IdentityId, Get).toString(), renewed);
}

TEST_F(ServerModule, TemplatesAndOlderFilesGetANewIdentityOnEveryLoadUntilSaved) {
    const QString templ =
        QStringLiteral(TAVOLET_TEMPLATE_DIR "/Candy_TavoletServer.Glimmerkey.tvt");
    const QByteArray templateBytes = readFile(templ);
    ASSERT_TRUE(ok(7, Call, {templ}).toBool());
    const QString one = ok(IdentityId, Get).toString();
    SetUp();
    ASSERT_TRUE(ok(7, Call, {templ}).toBool());
    const QString two = ok(IdentityId, Get).toString();
    EXPECT_TRUE(isIdentity(one) && isIdentity(two));
    EXPECT_NE(one, two);
    EXPECT_EQ(readFile(templ), templateBytes);

    // A file written before identities, and one holding a hostile value.
    const QString old = dir.filePath(QStringLiteral("old.tvt"));
    for (const QByteArray& bytes :
         {templateBytes, QByteArray("{\"format\":\"Glimmerkey widget\",\"version\":1,\"identity\":"
                                    "\"x\\\" onclick=\\\"alert(1)\"}")}) {
        writeFile(old, bytes);
        ASSERT_TRUE(ok(7, Call, {old}).toBool());
        const QString given = ok(IdentityId, Get).toString();
        EXPECT_TRUE(isIdentity(given));
        EXPECT_FALSE(codeParts().join(QString()).contains(QLatin1String("onclick")));
        ASSERT_TRUE(ok(8, Call, {old}).toBool());
        SetUp();
        ASSERT_TRUE(ok(7, Call, {old}).toBool());
        EXPECT_EQ(ok(IdentityId, Get).toString(), given) << "kept from the first save";
    }
}
