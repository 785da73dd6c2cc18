#include "AppFixture.h"

#include "support/Files.h"
#include "support/PageCaret.h"

#include "output/InsertIntoPageDlg.h"
#include "output/PageEditor.h"
#include "output/publishing/Page.h"
#include "output/publishing/SiteUpdate.h"
#include "widget/Tavolet.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

using namespace framework;

namespace {

const QByteArray kBegin = "<!--Insert By Mirovasta Glimmerkey-->\r\n";
const QByteArray kEnd = "\r\n<!--End of Glimmerkey-->\r\n";

QByteArray block(const QByteArray& identity, const QByteArray& body = "old") {
    const QByteArray attribute =
        identity.isEmpty() ? QByteArray() : " data-tavolet-widget=\"" + identity + "\"";
    return kBegin + "<a" + attribute + ">" + body + "</a><script>go()</script>" + kEnd;
}

} // namespace

TEST(MarkedBlocks, FoundWithTheirLinesAndWidgets) {
    const QByteArray text = "<html>\r\n<!-- a comment -->\r\n<SCRIPT>x<1</SCRIPT>\r\n" +
                            block("one") + "<p>\r\n" + block({}) + "</html>";
    const BlockScan scan = FindMarkedBlocks(text);
    ASSERT_TRUE(scan.problem.isEmpty()) << scan.problem.toStdString();
    ASSERT_EQ(scan.blocks.size(), 2);
    EXPECT_EQ(scan.blocks[0].line, 4);
    EXPECT_EQ(scan.blocks[0].identity, "one");
    EXPECT_EQ(text.sliced(scan.blocks[0].begin, scan.blocks[0].end - scan.blocks[0].begin),
              block("one"));
    EXPECT_EQ(scan.blocks[1].identity, "") << "a block written before identities";
    EXPECT_EQ(scan.blocks[1].line, 8) << "a block takes three lines";
}

TEST(MarkedBlocks, APageWhoseMarkersCannotBeTrustedHasNoBlocks) {
    const QByteArray good = block("w");
    const struct {
        QByteArray text;
        const char* problem;
    } cases[] = {
        {"<p>\r\n" + kBegin + "<a>", "A begin marker without an end marker at line 2"},
        {"<p>" + kEnd + good, "An end marker without a begin marker at line 2"},
        {kBegin + good + kEnd, "A marker inside a marked block at line 2"},
        {"<!-- old:\r\n" + good + "-->", "A marker inside a comment at line 1"},
        {"<script>\r\nvar s = '" + good + "';</script>", "A marker inside a script at line 1"},
        {"<Script type=x>" + good, "A marker inside a script at line 1"},
        {QByteArray(good).replace("\r\n<!--End", "\n<!--End"),
         "An end marker that is not byte-exact at line 3"},
        {QByteArray(good).replace("Glimmerkey-->\r\n<a", "Glimmerkey--><a"),
         "A begin marker that is not byte-exact at line 1"},
        // Text a browser never reads as markup holds no marker.
        {"<div title='" + good + "'>", "A marker inside a tag at line 1"},
        {"<p>\r\n<TEXTAREA rows=2>" + good + "</textarea>",
         "A marker inside a <textarea> at line 2"},
        {"<style>/*" + good + "*/</style>", "A marker inside a <style> at line 1"},
        {"<![CDATA[" + good + "]]>", "A marker inside a CDATA section at line 1"},
    };
    for (const auto& c : cases) {
        const BlockScan scan = FindMarkedBlocks(c.text);
        EXPECT_EQ(scan.problem, c.problem) << c.text.toStdString();
        EXPECT_TRUE(scan.blocks.isEmpty());
    }
    // Look-alikes that are no scripts or markers do not upset the scan.
    EXPECT_TRUE(FindMarkedBlocks("<scripts>" + good + "<!---->").problem.isEmpty());
    EXPECT_EQ(FindMarkedBlocks("<scripts>" + good).blocks.size(), 1);
    EXPECT_EQ(FindMarkedBlocks("<img alt=\"a > b\" title='<!--'>" + good).blocks.size(), 1);
}

TEST(PageWrites, AnotherWritersWorkIsNeverReplaced) {
    QTemporaryDir dir;
    const QString path = dir.filePath("log.htm");
    writeFile(path, "<p>a</p>\n");
    Page page;
    QString why;
    ASSERT_TRUE(page.Load(path, LineEnds::AsTheyAre, &why));
    page.EditorText() += "<p>mine</p>\n";
    QFile log(path);
    ASSERT_TRUE(log.open(QIODevice::Append));
    log.write("appended\n");
    log.close();
    EXPECT_EQ(page.Save(&why), platform::Replaced::Refused);
    EXPECT_EQ(why, "it changed while it was being updated");
    EXPECT_EQ(readFile(path), "<p>a</p>\nappended\n");
    // The last look comes once the new file is written beside the page, right
    // before it would take the page's place.
    QStringList seen;
    EXPECT_EQ(platform::ReplaceFileSafely(
                  path, "new",
                  [&] {
                      seen = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
                      return QStringLiteral("changed");
                  },
                  &why),
              platform::Replaced::Refused);
    EXPECT_EQ(seen.size(), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"log.htm"});
    EXPECT_EQ(readFile(path), "<p>a</p>\nappended\n");
}

// Tags are looked for many bytes at a time: whatever its offset, a comment,
// a script or a block is seen where it begins.
TEST(MarkedBlocks, SeenAtEveryOffset) {
    const QByteArray good = block("w");
    for (int shift = 0; shift < 40; ++shift) {
        const QByteArray before = QByteArray(shift, 'x') + "<";
        EXPECT_EQ(FindMarkedBlocks(before + "<!--" + good + "-->").problem,
                  "A marker inside a comment at line 1")
            << shift;
        EXPECT_EQ(FindMarkedBlocks(before + "<SCRIPT>" + good).problem,
                  "A marker inside a script at line 1")
            << shift;
        const BlockScan scan = FindMarkedBlocks(before + "p>" + good + "<s>" + good);
        ASSERT_EQ(scan.blocks.size(), 2) << shift << scan.problem.toStdString();
        EXPECT_EQ(scan.blocks[0].begin, shift + 3);
    }
}

// In each encoding a page may come in, replacing the block of one widget
// leaves every byte outside it, and the other widget's block, as they were.
TEST(MarkedBlocks, ReplacingKeepsEveryOtherByteInThePagesOwnEncoding) {
    QTemporaryDir dir;
    const auto page = [](const QByteArray& mineBlock, const QString& first) {
        return "<meta charset=shift_jis>\n" + first + "\u672c\r\n" +
               QString::fromLatin1(mineBlock) + "\u8a9e\n" + QString::fromLatin1(block("other")) +
               "end";
    };
    const QString code = QStringLiteral("<a data-tavolet-widget=\"mine\">new</a>");
    const QByteArray fresh = kBegin + code.toLatin1() + kEnd;
    QStringEncoder sjis("Shift_JIS");
    QStringEncoder utf16(QStringConverter::Utf16LE);
    const std::function<QByteArray(const QString&)> encodings[] = {
        [](const QString& t) { return t.toUtf8(); },
        [&](const QString& t) { return QByteArray(sjis.encode(t)); },
        [&](const QString& t) { return "\xFF\xFE" + QByteArray(utf16.encode(t)); },
        // Neither UTF-8 nor declared right: kept byte for byte.
        [](const QString& t) { return QString(t).replace(u'\u672c', u'\u00e9').toLatin1(); },
    };
    for (const auto& encode : encodings) {
        const QString first = QStringLiteral("\u65e5");
        const QString path = dir.filePath("page.htm");
        writeFile(path, encode(page(block("mine"), first)));
        Page loaded;
        QString error;
        ASSERT_TRUE(loaded.Load(path, LineEnds::AsTheyAre, &error)) << error.toStdString();
        const BlockScan scan = loaded.Blocks();
        ASSERT_EQ(scan.blocks.size(), 2) << scan.problem.toStdString();
        ASSERT_TRUE(loaded.UnchangedOnDisk(&error));
        loaded.ReplaceBlocks({scan.blocks[0]}, code);
        ASSERT_EQ(loaded.Save(&error), platform::Replaced::Written) << error.toStdString();
        EXPECT_EQ(readFile(path), encode(page(fresh, first))) << int(loaded.Text().mode);
    }
}

// Update Published Pages holds a page as its stored bytes and decodes it only
// when the code would go in as other bytes: whatever the page and the code,
// the blocks it finds and the bytes it writes are those of the decoded page.
TEST(MarkedBlocks, APageHeldAsItsStoredBytesIsWrittenAsTheDecodedPageWouldBe) {
    QTemporaryDir dir;
    // A Shift_JIS character whose second byte is 'd': the stored bytes read
    // "data-tavolet-widget" where the text does not.
    const QByteArray trailD = "\x89\x64";
    ASSERT_EQ(QString(QStringDecoder("Shift_JIS").decode(trailD)).size(), 1);
    const auto page = [&](const QByteArray& head, const QByteArray& native) {
        return head + "<p>" + native + "\\~</p>\r\n" + block("mine") + native + "\n" +
               block("other") + kBegin + "<b>" + trailD +
               "ata-tavolet-widget=\"other\"</b> <a data-tavolet-widget=\"mine\">old</a>" + kEnd +
               "</p>";
    };
    QStringEncoder sjis("Shift_JIS"), euckr("EUC-KR"), big5("Big5");
    const QByteArray pages[] = {
        page("<meta charset=utf-8>\r\n", "caf\xC3\xA9"),
        page("<meta charset=shift_jis>\r\n", sjis.encode(u"\u65e5\u672c")),
        // Declared but not Shift_JIS throughout: held as 8-bit bytes either way.
        page("<meta charset=shift_jis>\r\n", QByteArray(sjis.encode(u"\u65e5")) + "\x81<"),
        page("<meta charset=euc-kr>\r\n", euckr.encode(u"\ud55c\uad6d")),
        page("<meta charset=big5>\r\n", big5.encode(u"\u4e2d\u6587")),
        page("<meta charset=windows-1252>\r\n", "caf\xE9"),
    };
    const QString codes[] = {
        QStringLiteral("<a data-tavolet-widget=\"mine\">new</a>"),
        QStringLiteral("<a data-tavolet-widget=\"mine\" title=\"C:\\x ~y\">new</a>"),
        QStringLiteral("<a data-tavolet-widget=\"mine\">caf\u00e9</a>"),
        QStringLiteral("<a data-tavolet-widget=\"mine\">\u65e5\u672c</a>"),
    };
    const auto mine = [](const BlockScan& scan) {
        QList<MarkedBlock> chosen;
        for (const MarkedBlock& b : scan.blocks)
            if (b.identity == "mine") chosen << b;
        return chosen;
    };
    CTavolet tavolet;
    for (const QByteArray& bytes : pages)
        for (const QString& code : codes) {
            const QString decodedPath = dir.filePath("decoded.htm");
            const QString storedPath = dir.filePath("stored.htm");
            writeFile(decodedPath, bytes);
            writeFile(storedPath, bytes);
            const std::string what = bytes.left(40).toStdString() + " / " + code.toStdString();
            Page decoded, stored;
            QString error;
            ASSERT_TRUE(decoded.Load(decodedPath, LineEnds::AsTheyAre, &error));
            ASSERT_TRUE(stored.Load(storedPath, LineEnds::AsTheyAre, &error, Page::IfMarked));
            const QList<MarkedBlock> decodedBlocks = mine(decoded.Blocks());
            ASSERT_EQ(decodedBlocks.size(), 2) << what;
            const BlockScan storedScan = stored.Blocks();
            ASSERT_EQ(storedScan.blocks.size(), 3) << what;
            for (int i = 0; i < 3; ++i) {
                EXPECT_EQ(storedScan.blocks[i].identity, decoded.Blocks().blocks[i].identity);
                EXPECT_EQ(storedScan.blocks[i].line, decoded.Blocks().blocks[i].line);
            }
            decoded.ReplaceBlocks(decodedBlocks, code);
            QString decodedError, skipped;
            const bool saved = decoded.Save(&decodedError) == platform::Replaced::Written;
            // As an update rewrites it: scanned, then read again and replaced.
            const auto scanned = SiteUpdate::ScanPage(storedPath, "mine", &skipped);
            ASSERT_TRUE(scanned) << what << skipped.toStdString();
            const PageOutcome outcome =
                SiteUpdate::Updater(tavolet, "mine", code, false).Update(*scanned, dir.path());
            EXPECT_EQ(outcome.kind, saved ? PageOutcome::Updated : PageOutcome::Failed) << what;
            EXPECT_EQ(outcome.strReason, decodedError) << what;
            EXPECT_EQ(readFile(storedPath), readFile(decodedPath)) << what;
        }
}

class InsertUpdate : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        fake.state().codePartNames = {"cursor"};
        fake.state().codePartTexts = {"<a data-tavolet-widget=\"" + fake.state().identity.toUtf8() +
                                      "\">new</a>"};
    }
    // Opens the insert dialog on `bytes`, runs `act` on it and presses OK.
    QByteArray runOn(const QByteArray& bytes, const std::function<void(CInsertIntoPageDlg&)>& act) {
        const QString path = files.filePath("page.htm");
        writeFile(path, bytes);
        CInsertIntoPageDlg dialog;
        dialog.m_pTavolet = doc()->m_pTavolet.get();
        dialog.m_strPagePath = path;
        dialog.m_nCodeMode = 1;
        dialog.show();
        act(dialog);
        dialog.Item<QCheckBox>(1034)->setChecked(false);
        dialog.Item<QPushButton>(IDOK)->click();
        return readFile(path);
    }
};

TEST_F(InsertUpdate, ReplacesEveryBlockOfThisWidgetAndLeavesTheOthers) {
    const QByteArray mine = fake.state().identity.toUtf8();
    const QByteArray page =
        "<p>\r\n" + block(mine) + "<p>\r\n" + block("another") + block(mine) + "</p>\r\n";
    QString said;
    const QByteArray written = runOn(page, [&](CInsertIntoPageDlg& dialog) {
        said = dialog.Item<QLabel>(1061)->text();
        PutPageCaret(*dialog.m_editPage, 0);
        dialog.Item<QPushButton>(1060)->click();
    });
    EXPECT_EQ(said, "3 marked block(s), 2 of this widget.");
    const QByteArray fresh = kBegin + "<a data-tavolet-widget=\"" + mine + "\">new</a>" + kEnd;
    EXPECT_EQ(written, "<p>\r\n" + fresh + "<p>\r\n" + block("another") + fresh + "</p>\r\n");
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
}

// At OK, a page changed on disk while the dialog was open is never simply
// replaced: Yes reads it again with the insertion put back on its line, No
// overwrites it.
TEST_F(InsertUpdate, APageChangedOnDiskIsReloadedWithTheInsertionOrOverwritten) {
    const QByteArray fresh =
        kBegin + "<a data-tavolet-widget=\"" + fake.state().identity.toUtf8() + "\">new</a>" + kEnd;
    const QByteArray page = "<p>1</p>\r\n<p>2</p>\r\n";
    const QByteArray edited = "<h1>title</h1>\r\n" + page;
    const auto insertThenEdit = [&](CInsertIntoPageDlg& dialog) {
        PutPageCaret(*dialog.m_editPage, 10);
        dialog.OnInsert();
        writeFile(files.filePath("page.htm"), edited);
        dialog.Item<QCheckBox>(1034)->setChecked(false);
        dialog.Item<QPushButton>(IDOK)->click();
    };
    prompts.answers = {IDYES};
    QByteArray shown;
    EXPECT_EQ(runOn(page,
                    [&](CInsertIntoPageDlg& dialog) {
                        insertThenEdit(dialog);
                        shown = dialog.m_editPage->PageBytes();
                    }),
              "<h1>title</h1>\r\n" + fresh + "<p>1</p>\r\n<p>2</p>\r\n");
    EXPECT_EQ(shown, "<h1>title</h1>\r\n" + fresh + "<p>1</p>\r\n<p>2</p>\r\n");
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].contains("changed on disk while this dialog was open"));

    prompts.messages.clear();
    prompts.answers = {IDNO};
    EXPECT_EQ(runOn(page, insertThenEdit), "<p>1</p>\r\n" + fresh + "<p>2</p>\r\n");
    EXPECT_TRUE(prompts.messages.value(0).contains("changed on disk while this dialog was open"));
}

TEST_F(InsertUpdate, TheCaretChoosesABlockAndUndoTakesTheUpdateBack) {
    const QByteArray page = "<p>\r\n" + block("another") + block({}) + "</p>\r\n";
    const QByteArray fresh =
        kBegin + "<a data-tavolet-widget=\"" + fake.state().identity.toUtf8() + "\">new</a>" + kEnd;
    // Inside the block that has no identity: that one is chosen by hand.
    const qsizetype inOld = 5 + block("another").size() + 10;
    EXPECT_EQ(runOn(page,
                    [&](CInsertIntoPageDlg& dialog) {
                        PutPageCaret(*dialog.m_editPage, inOld);
                        dialog.Item<QPushButton>(1060)->click();
                    }),
              "<p>\r\n" + block("another") + fresh + "</p>\r\n");
    bool undoAfterUpdate = false;
    EXPECT_EQ(runOn(page,
                    [&](CInsertIntoPageDlg& dialog) {
                        PutPageCaret(*dialog.m_editPage, inOld);
                        dialog.Item<QPushButton>(1060)->click();
                        undoAfterUpdate = dialog.m_btnUndo->isEnabled();
                        dialog.m_btnUndo->click();
                    }),
              page);
    EXPECT_TRUE(undoAfterUpdate);

    // No block of this widget and the caret outside: nothing changes, and the user hears how.
    EXPECT_EQ(runOn(page,
                    [&](CInsertIntoPageDlg& dialog) {
                        PutPageCaret(*dialog.m_editPage, 0);
                        dialog.Item<QPushButton>(1060)->click();
                    }),
              page);
    EXPECT_EQ(prompts.messages.value(0).section('\n', 0, 0),
              "No block of this widget is marked in the page.");
}

TEST_F(InsertUpdate, OffOnlyWhereThereIsNothingToUpdate) {
    bool enabled = true;
    QString said;
    runOn("<p>\r\n", [&](CInsertIntoPageDlg& dialog) {
        enabled = dialog.GetDlgItem(1060)->isEnabled();
        said = dialog.Item<QLabel>(1061)->text();
    });
    EXPECT_FALSE(enabled);
    EXPECT_EQ(said, "");
    runOn("<p>\r\n" + kBegin + "<a>", [&](CInsertIntoPageDlg& dialog) {
        enabled = dialog.GetDlgItem(1060)->isEnabled();
        said = dialog.Item<QLabel>(1061)->text();
    });
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(said.contains("A begin marker without an end marker at line 2"))
        << said.toStdString();
}
