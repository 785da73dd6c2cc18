#include "AppFixture.h"

#include "support/Files.h"
#include "support/HostileSite.h"
#include "support/TinyFileSystem.h"

#include "framework/Profile.h"
#include "output/UpdatePagesDlg.h"
#include "output/publishing/SiteUpdate.h"
#include "res/Resource.h"

#include <QCheckBox>
#include <QDateTime>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTest>
#include <QTreeWidget>

using namespace framework;

namespace {

const QByteArray kBegin = "<!--Insert By Mirovasta Glimmerkey-->\r\n";
const QByteArray kEnd = "\r\n<!--End of Glimmerkey-->\r\n";

QByteArray block(const QByteArray& identity, const QByteArray& body) {
    return kBegin + "<a data-tavolet-widget=\"" + identity + "\">" + body + "</a>" + kEnd;
}

} // namespace

class UpdatePages : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        mine = fake.state().identity.toUtf8();
        setCode("new");
    }
    void setCode(const QByteArray& body) {
        fake.state().codePartNames = {"cursor"};
        fake.state().codePartTexts = {QString::fromUtf8(
            block(mine, body)
                .sliced(kBegin.size(), block(mine, body).size() - kBegin.size() - kEnd.size()))};
    }
    // Runs the command on `folder`; `act` gets the dialog before Update is pressed.
    void run(const QString& folder, const std::function<void(CUpdatePagesDlg&)>& act = {}) {
        prompts.folders = {folder};
        whenDialogShows([&](QWidget* widget) {
            auto& dialog = static_cast<CUpdatePagesDlg&>(*widget);
            if (act) act(dialog);
            dialog.Item<QPushButton>(IDOK)->click();
            outcomes = dialog.m_arrOutcomes;
            dialog.reject();
        });
        frame()->SendCommand(ID_UPDATE_PAGES);
    }
    QString outcomeOf(const QString& path) const {
        for (const PageOutcome& o : outcomes)
            if (o.strPath == path)
                return o.kind == PageOutcome::Updated ? QStringLiteral("updated") : o.strReason;
        return {};
    }

    QByteArray mine;
    QList<PageOutcome> outcomes;
};

TEST_F(UpdatePages, RewritesEveryPageOfTheWidgetInItsOwnEncodingAndNothingElse) {
    const QString site = files.filePath("site");
    const QByteArray plain = "<p>\n" + block(mine, "old") + "<p>\n" + block(mine, "old") + "</p>";
    writeFile(site + "/a.htm", plain);
    const QString jp = QStringLiteral("<meta charset=shift_jis>\n\u65e5\u672c\n") +
                       QString::fromLatin1(block(mine, "old")) + "\u8a9e";
    QStringEncoder sjis("Shift_JIS");
    writeFile(site + "/deep/b.html", sjis.encode(jp));
    const QByteArray others = "<p>" + block("someone-else", "theirs");
    writeFile(site + "/c.htm", others);
    const QByteArray broken = "<p>\r\n" + kBegin + "<a data-tavolet-widget=\"" + mine + "\">";
    writeFile(site + "/d.htm", broken);
    writeFile(site + "/notes.txt", block(mine, "old"));
    writeFile(files.filePath("outside.htm"), block(mine, "old"));
    QFile::link(files.filePath("outside.htm"), site + "/link.htm");
    QFile::link(site, site + "/deep/loop");

    QStringList listed;
    QString before, after;
    run(site, [&](CUpdatePagesDlg& dialog) {
        for (int i = 0; i < dialog.m_listPages->topLevelItemCount(); ++i)
            listed << dialog.m_listPages->topLevelItem(i)->text(0) + "|" +
                          dialog.m_listPages->topLevelItem(i)->text(1) + "|" +
                          dialog.m_listPages->topLevelItem(i)->text(2);
        before = dialog.Item<QPlainTextEdit>(1063)->toPlainText();
        after = dialog.Item<QPlainTextEdit>(1064)->toPlainText();
    });
    EXPECT_EQ(listed, (QStringList{"a.htm|2|UTF-8", "deep/b.html|1|Shift_JIS", "d.htm||"}))
        << "the broken page is named, and no page outside the folder or of another widget";
    // A text box shows line ends as plain new lines.
    EXPECT_EQ(before, QString::fromLatin1(block(mine, "old")).replace("\r\n", "\n"));
    EXPECT_EQ(after, QString::fromLatin1(block(mine, "new")).replace("\r\n", "\n"));

    EXPECT_EQ(readFile(site + "/a.htm"),
              "<p>\n" + block(mine, "new") + "<p>\n" + block(mine, "new") + "</p>")
        << "every byte outside the blocks kept, line ends included";
    EXPECT_EQ(readFile(site + "/deep/b.html"),
              QByteArray(sjis.encode(QString(jp).replace("old", "new"))));
    EXPECT_EQ(readFile(site + "/c.htm"), others);
    EXPECT_EQ(readFile(site + "/d.htm"), broken);
    EXPECT_EQ(readFile(files.filePath("outside.htm")), block(mine, "old"));
    EXPECT_EQ(prompts.messages.value(0), "2 page(s) updated, 0 skipped, 0 failed, 0 not reached.");
    EXPECT_EQ(fake.state().supportFilePlacements.size(), 2) << "beside each page, as Insert into";
}

TEST_F(UpdatePages, APageChangedOrReplacedSinceTheScanIsLeftAsItIsAndNamed) {
    const QString site = files.filePath("site");
    for (const char* name :
         {"changed.htm", "same-size.htm", "folder.htm", "kept.htm", "unticked.htm"})
        writeFile(site + "/" + name, "<p>" + block(mine, "old"));
    run(site, [&](CUpdatePagesDlg& dialog) {
        writeFile(site + "/changed.htm", "<p>the user's own edit</p>" + block(mine, "old"));
        // Only the bytes tell this one.
        writeFile(site + "/same-size.htm", "<b>" + block(mine, "old"));
        QFile::remove(site + "/folder.htm");
        QDir().mkpath(site + "/folder.htm");
        for (int i = 0; i < dialog.m_listPages->topLevelItemCount(); ++i)
            if (dialog.m_listPages->topLevelItem(i)->text(0) == "unticked.htm")
                dialog.m_listPages->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
    });
    EXPECT_EQ(outcomeOf(site + "/changed.htm"), "it changed on disk since the scan");
    EXPECT_EQ(readFile(site + "/changed.htm"), "<p>the user's own edit</p>" + block(mine, "old"));
    EXPECT_EQ(outcomeOf(site + "/same-size.htm"), "it changed on disk since the scan");
    EXPECT_EQ(readFile(site + "/same-size.htm"), "<b>" + block(mine, "old"));
    EXPECT_EQ(outcomeOf(site + "/folder.htm"), "it is a folder now");
    EXPECT_EQ(outcomeOf(site + "/kept.htm"), "updated");
    EXPECT_EQ(readFile(site + "/unticked.htm"), "<p>" + block(mine, "old"));
    EXPECT_EQ(outcomes.size(), 4);
    EXPECT_EQ(prompts.messages.value(0), "1 page(s) updated, 3 skipped, 0 failed, 0 not reached.");
}

TEST_F(UpdatePages, AHostileSiteLosesNothingAndEveryPageIsNamed) {
    const QString folder = files.filePath("site");
    HostileSite site(folder, mine, false);
    writeFile(folder + "/gone.html", "<p>" + block(mine, "old"));
    QHash<QString, QString> said;
    prompts.folders = {folder};
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = static_cast<CUpdatePagesDlg&>(*widget);
        dialog.Item<QCheckBox>(1065)->setChecked(false);
        QFile::remove(folder + "/gone.html"); // while the dialog is open
        dialog.Item<QPushButton>(IDOK)->click();
        for (const PageOutcome& o : std::as_const(dialog.m_arrSkipped))
            said[o.strPath] = o.strReason;
        for (const PageOutcome& o : std::as_const(dialog.m_arrOutcomes))
            said[o.strPath] =
                o.kind == PageOutcome::Updated ? QStringLiteral("updated") : o.strReason;
        dialog.reject();
    });
    frame()->SendCommand(ID_UPDATE_PAGES);
    site.Check([&](const QString& path) { return said.value(path); }, block(mine, "new"));
    EXPECT_EQ(said.value(folder + "/gone.html"), "it no longer exists");
    EXPECT_TRUE(prompts.messages.value(0).contains("could not be examined"))
        << prompts.messages.value(0).toStdString();
}

TEST_F(UpdatePages, SupportFilesArePlacedOncePerFolderAndCurrentPagesAreLeftAlone) {
    const QString site = files.filePath("site");
    for (const char* name : {"a.htm", "b.htm", "sub/d.htm"})
        writeFile(site + "/" + name, "<p>" + block(mine, "old"));
    writeFile(site + "/c.htm", "<p>" + block(mine, "new"));
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    QFile current(site + "/c.htm");
    ASSERT_TRUE(current.open(QIODevice::ReadWrite));
    ASSERT_TRUE(current.setFileTime(old, QFileDevice::FileModificationTime));
    current.close();
    run(site);
    QStringList said;
    for (const PageOutcome& o : std::as_const(outcomes))
        said << QFileInfo(o.strPath).fileName() + ": " + o.Text();
    EXPECT_EQ(said, (QStringList{"a.htm: updated", "b.htm: updated", "c.htm: already current",
                                 "d.htm: updated"}));
    EXPECT_EQ(fake.state().supportFilePlacements.size(), 2) << "once for each folder";
    EXPECT_EQ(QFileInfo(site + "/c.htm").lastModified(), old) << "a current page is not written";
    EXPECT_TRUE(prompts.messages.value(0).contains("1 page(s) already current"));
}

TEST_F(UpdatePages, LookAgainTakesTheEndingsTheUserAddsAndRemembersThem) {
    const QString site = files.filePath("site");
    writeFile(site + "/a.htm", "<p>" + block(mine, "old"));
    writeFile(site + "/b.php", "<?php ?>" + block(mine, "old"));
    int before = 0;
    run(site, [&](CUpdatePagesDlg& dialog) {
        before = dialog.m_listPages->topLevelItemCount();
        dialog.Item<QLineEdit>(1067)->setText("php");
        dialog.Item<QPushButton>(1068)->click();
    });
    EXPECT_EQ(before, 1);
    EXPECT_EQ(outcomeOf(site + "/b.php"), "updated");
    EXPECT_EQ(app.GetProfile().GetProfileString("Update Published Pages", "Extensions"), "php");
}

// From the keyboard: Tab leaves the list of pages, Enter in it presses
// Update (the default button) and the dialog stays open with the outcomes,
// Escape closes it.
TEST_F(UpdatePages, EnterUpdatesTheTickedPagesAndEscapeCloses) {
    const QString site = files.filePath("site");
    writeFile(site + "/a.htm", "<p>" + block(mine, "old"));
    prompts.folders = {site};
    QWidget *afterTab = nullptr, *list = nullptr;
    bool openAfterEnter = false, openAfterEscape = true;
    QString result, closeText;
    whenDialogShows([&](QWidget* widget) {
        auto& dialog = static_cast<CUpdatePagesDlg&>(*widget);
        list = dialog.m_listPages;
        dialog.m_listPages->setFocus();
        QTest::keyClick(dialog.m_listPages, Qt::Key_Tab);
        afterTab = dialog.focusWidget();
        dialog.m_listPages->setFocus();
        QTest::keyClick(dialog.m_listPages, Qt::Key_Return);
        openAfterEnter = dialog.isVisible();
        result = dialog.m_listPages->topLevelItem(0)->text(3);
        closeText = dialog.Item<QPushButton>(IDCANCEL)->text();
        QTest::keyClick(dialog.m_listPages, Qt::Key_Escape);
        openAfterEscape = dialog.isVisible();
        if (openAfterEscape) dialog.reject();
    });
    frame()->SendCommand(ID_UPDATE_PAGES);
    EXPECT_NE(afterTab, nullptr);
    EXPECT_NE(afterTab, list) << "Tab is not kept by the list";
    EXPECT_TRUE(openAfterEnter) << "the outcomes stay to be read";
    EXPECT_EQ(result, "updated");
    EXPECT_EQ(closeText, "Close");
    EXPECT_EQ(readFile(site + "/a.htm"), "<p>" + block(mine, "new"));
    EXPECT_EQ(prompts.messages.value(0), "1 page(s) updated, 0 skipped, 0 failed, 0 not reached.");
    EXPECT_FALSE(openAfterEscape);
}

TEST_F(UpdatePages, AWidgetWithoutIdentityOrAFolderWithoutItsPagesSaySo) {
    const QString site = files.filePath("site");
    writeFile(site + "/a.htm", "<p>" + block("someone-else", "theirs"));
    prompts.folders = {site};
    frame()->SendCommand(ID_UPDATE_PAGES);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("No page in " + site + " holds this widget.\n"));

    fake.state().hasIdentity = false;
    prompts.messages.clear();
    frame()->SendCommand(ID_UPDATE_PAGES);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Update Published Pages cannot find"));
}

// A disk that fills in the middle of a run: each page is wholly old or wholly
// new, and the summary says which is which.
TEST_F(UpdatePages, AFullDiskInTheMiddleLeavesEveryPageWhole) {
    TinyFileSystem fs(256);
    REQUIRE_TINY_FS(fs);
    const QByteArray filler(1500, 'x');
    for (int i = 0; i < 50; ++i)
        writeFile(fs.filePath(QStringLiteral("p%1.htm").arg(i, 2, 10, QChar('0'))),
                  "<p>" + filler + block(mine, "old"));
    fs.fill(qint64(48) * 1024);
    setCode(QByteArray(2500, 'n')); // each page grows, until no room is left
    run(fs.path());
    ASSERT_EQ(outcomes.size(), 50);
    int updated = 0, failed = 0;
    for (const PageOutcome& o : std::as_const(outcomes)) {
        const QByteArray now = readFile(o.strPath);
        if (o.kind == PageOutcome::Updated) {
            ++updated;
            EXPECT_EQ(now, "<p>" + filler + block(mine, QByteArray(2500, 'n')))
                << o.strPath.toStdString();
        } else {
            ++failed;
            EXPECT_EQ(o.kind, PageOutcome::Failed);
            EXPECT_TRUE(o.strReason.contains("No space left on device"))
                << o.strReason.toStdString();
            EXPECT_EQ(now, "<p>" + filler + block(mine, "old")) << o.strPath.toStdString();
        }
    }
    EXPECT_GT(updated, 0);
    EXPECT_GT(failed, 0) << "the disk must fill during the run for this test to mean anything";
    EXPECT_EQ(prompts.messages.value(0),
              QStringLiteral("%1 page(s) updated, 0 skipped, %2 failed, 0 not reached.")
                  .arg(updated)
                  .arg(failed));
    EXPECT_EQ(entries(fs.path()).filter(".htm.").size(), 0) << "no temporary file stays";

    // Read-only: every page is named, none is touched.
    fs.makeReadOnly();
    setCode("again");
    run(fs.path());
    for (const PageOutcome& o : std::as_const(outcomes))
        EXPECT_EQ(o.strReason, "it is read-only") << o.strPath.toStdString();
    fs.makeWritable();
}

namespace {

// A page text in an encoding's own characters, and how to write it.
struct Encoding {
    const char* name;     // codec, or "" for 8-bit bytes kept as they are
    QByteArray bom;       // written before the text
    const char* declared; // the meta charset, or none
    QString native;       // characters of the encoding beside ASCII
};

QByteArray encoded(const Encoding& e, const QString& text) {
    if (!*e.name) return text.toLatin1();
    QStringEncoder encoder(e.name);
    return e.bom + QByteArray(encoder.encode(text));
}

} // namespace

// Random pages with random blocks of this widget, of others and of none, in
// each encoding a page may come in: after an update every byte outside this
// widget's blocks is the original's.
TEST_F(UpdatePages, RandomPagesKeepEveryByteOutsideThisWidgetsBlocks) {
    const Encoding encodings[] = {
        {"UTF-8", {}, nullptr, QStringLiteral("\u00e9\u65e5\u672c\U0001F600")},
        {"UTF-16LE", "\xFF\xFE", nullptr, QStringLiteral("\u00e9\u65e5\U0001F600")},
        {"UTF-16BE", "\xFE\xFF", nullptr, QStringLiteral("\u00e9\u672c")},
        {"UTF-32LE", QByteArray("\xFF\xFE\x00\x00", 4), nullptr, QStringLiteral("\u00e9\u65e5")},
        {"Shift_JIS", {}, "shift_jis", QStringLiteral("\u65e5\u672c\u8a9e\uff71")},
        {"EUC-KR", {}, "euc-kr", QStringLiteral("\ud55c\uad6d\uc5b4")},
        {"GBK", {}, "gbk", QStringLiteral("\u4e2d\u6587\u5b57")},
        {"Big5", {}, "big5", QStringLiteral("\u4e2d\u6587\u5b57")},
        {"", {}, nullptr, QStringLiteral("\u00e9\u00fc\u00a9")},
    };
    QRandomGenerator random(20261209);
    const QString site = files.filePath("site");
    const QByteArray fresh = block(mine, "new");
    struct Expected {
        QString path;
        QByteArray bytes;
    };
    QList<Expected> expected;
    for (int n = 0; n < 60; ++n) {
        const Encoding& e = encodings[n % std::size(encodings)];
        const auto filler = [&] {
            static const QStringList pieces{"<p>",   "</p>\r\n",
                                            "text ", "<!-- note -->",
                                            "\n",    "<script>if (a<b) go();</script>",
                                            "&amp;", "\r\n"};
            QString s;
            for (int i = random.bounded(1, 12); i > 0; --i)
                s += random.bounded(3) == 0
                         ? QString(e.native[random.bounded(int(e.native.size()))])
                         : pieces[random.bounded(int(pieces.size()))];
            // A lone surrogate half cannot be written: keep pairs whole.
            if (!s.isEmpty() && s.back().isHighSurrogate()) s.chop(1);
            return s;
        };
        QString before =
            e.declared ? QStringLiteral("<meta charset=%1>\n").arg(e.declared) : QString();
        for (int b = random.bounded(0, 4); b > 0; --b) {
            before += filler();
            const int kind = random.bounded(3);
            const QByteArray id = kind == 0   ? mine
                                  : kind == 1 ? QByteArray("other-widget")
                                              : QByteArray();
            const QByteArray old = id.isEmpty() ? kBegin + "<a>old</a>" + kEnd : block(id, "old");
            before += QString::fromLatin1(old);
        }
        before += filler();
        expected << Expected{site + QStringLiteral("/p%1.htm").arg(n), {}};
        writeFile(expected.last().path, encoded(e, before));
        // What the page must read after the update: the same text, this widget's blocks new.
        QString want = before;
        want.replace(QString::fromLatin1(block(mine, "old")), QString::fromLatin1(fresh));
        expected.last().bytes = encoded(e, want);
    }
    run(site);
    for (const Expected& page : std::as_const(expected))
        EXPECT_EQ(readFile(page.path), page.bytes) << page.path.toStdString();
    EXPECT_TRUE(std::all_of(outcomes.cbegin(), outcomes.cend(),
                            [](const PageOutcome& o) { return o.kind == PageOutcome::Updated; }));
}
