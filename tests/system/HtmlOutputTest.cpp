#include "AppFixture.h"
#include "support/RecordingSeams.h"

#include "support/Files.h"
#include "support/TinyFileSystem.h"

#include "output/HtmlCodeDlg.h"
#include "output/InsertIntoPageDlg.h"
#include "output/InsertNoticeDlg.h"
#include "output/PageEditor.h"
#include "output/VellwickToolView.h"
#include "output/publishing/HtmlCode.h"
#include "platform/Shell.h"
#include "res/Resource.h"
#include "support/PageCaret.h"

#include <QCheckBox>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace framework;

namespace {

enum { IDC_COPY_CODE = 1024, IDC_NEW_PAGE = 1025, IDC_INSERT_INTO = 1026 };

const QString kBegin = QStringLiteral("<!--Insert By Mirovasta Glimmerkey-->\r\n");
const QString kEnd = QStringLiteral("\r\n<!--End of Glimmerkey-->\r\n");

// Runs `script` on each modal dialog in turn as it comes up.
void onDialogs(QList<std::function<void(CDialog&)>> scripts) {
    if (scripts.isEmpty()) return;
    QTimer::singleShot(0, [scripts]() mutable {
        auto* dialog = qobject_cast<CDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        auto script = scripts.takeFirst();
        onDialogs(scripts);
        script(*dialog);
    });
}

} // namespace

class HtmlOutput : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        fake.state().codePartNames = {"cursor", "style", "Cursor", "cursor ", "script", "cursor"};
        fake.state().codePartTexts = {"<a>old</a>", "<style>s</style>",   "x",
                                      "y",          "<script>j</script>", "<a>line 1\nline 2</a>"};
    }
    void send(int id) { frame()->SendCommand(id); }
    CodeParts parts() { return CollectCodeParts(*doc()->m_pTavolet); }
};

TEST_F(HtmlOutput, CodePartsMatchNamesExactlyAndTheLaterWins) {
    const CodeParts found = parts();
    EXPECT_EQ(found.cursor, "<a>line 1\nline 2</a>") << "\"Cursor\" and \"cursor \" do not match";
    EXPECT_EQ(found.style, "<style>s</style>");
    EXPECT_EQ(found.script, "<script>j</script>");
    EXPECT_EQ(BuildPageText("Glimmerkey", {{}, {}, "X"}),
              "<HTML>\r\n<HEAD>\r\n<TITLE>Glimmerkey</TITLE>\r\n\r\n\r\n</HEAD>\r\n<BODY>\r\nX\r\n"
              "</BODY>\r\n</HTML>");
}

TEST_F(HtmlOutput, CopyCodePutsTheCursorPartOnTheClipboardAndShowsIt) {
    QGuiApplication::clipboard()->setText("before");
    QString shown;
    bool wraps = false, closedByButton = false;
    onDialogs({[&](CDialog& dialog) {
        auto* code = dialog.Item<QPlainTextEdit>(1036);
        shown = code->toPlainText();
        wraps = code->lineWrapMode() == QPlainTextEdit::WidgetWidth;
        code->setPlainText("edited");
        dialog.Item<QPushButton>(IDCANCEL)->click();
        closedByButton = !dialog.isVisible();
        if (!closedByButton) QTest::keyClick(&dialog, Qt::Key_Escape);
    }});
    send(IDC_COPY_CODE);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "<a>line 1\nline 2</a>");
    EXPECT_EQ(shown, "<a>line 1\nline 2</a>");
    EXPECT_TRUE(wraps) << "a one-line code wraps instead of running off the box";
    EXPECT_TRUE(closedByButton) << "Close ends the dialog";

    // No part named "cursor": the clipboard keeps what it had; the dialog still opens.
    fake.state().codePartNames = {"style"};
    QGuiApplication::clipboard()->setText("before");
    bool opened = false;
    onDialogs({[&](CDialog& dialog) {
        opened = true;
        dialog.reject();
    }});
    send(IDC_COPY_CODE);
    EXPECT_TRUE(opened);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(HtmlOutput, NewPageWritesExactlyThePageAndRemovesTheTransientFile) {
    const QString page = files.filePath("a.b.htm");
    // A file of the user's with the transient file's old fixed name stays theirs.
    writeFile(files.filePath("a.b.restvt"), "an older file of that name");
    prompts.files = {page};
    send(IDC_NEW_PAGE);
    ASSERT_EQ(prompts.fileRequests.size(), 1);
    EXPECT_EQ(prompts.fileRequests[0].defaultSuffix, "htm");
    EXPECT_TRUE(prompts.fileRequests[0].confirmOverwrite);
    EXPECT_EQ(readFile(page), BuildPageText(doc()->m_pTavolet->m_strTitle, parts()).toUtf8());
    const QStringList saved = fake.state().files.keys();
    ASSERT_EQ(saved.size(), 1);
    EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(files.filePath("a.b.")) +
                                   "[0-9a-z]+\\.restvt$")
                    .match(saved[0])
                    .hasMatch())
        << "the server saved a transient file of its own: " << saved[0].toStdString();
    EXPECT_FALSE(QFile::exists(saved[0])) << "and it is gone";
    EXPECT_EQ(readFile(files.filePath("a.b.restvt")), "an older file of that name");
    EXPECT_EQ(prompts.messages,
              QStringList{"You have saved Glimmerkey into " + page + " successfully!"});
    EXPECT_FALSE(doc()->IsModified());
}

TEST_F(HtmlOutput, AFullDiskKeepsTheOldPageAndTheInsertionUntilOkSucceeds) {
    TinyFileSystem fs(64);
    REQUIRE_TINY_FS(fs);
    const QString page = fs.filePath("index.htm");
    writeFile(page, "<p>my page</p>\n");
    fs.fill();
    prompts.files = {page};
    send(IDC_NEW_PAGE);
    EXPECT_TRUE(prompts.messages.last().startsWith("Create HTML File Failure!\n"));
    EXPECT_TRUE(prompts.messages.last().contains("No space left on device"));
    EXPECT_EQ(readFile(page), "<p>my page</p>\n");

    prompts.messages.clear();
    prompts.files = {page};
    bool openAfterFailure = false;
    QString failure;
    onDialogs({[](CDialog& notice) { notice.reject(); },
               [&](CDialog& insert) {
                   static_cast<CInsertIntoPageDlg&>(insert).OnInsert();
                   insert.Item<QPushButton>(IDOK)->click();
                   openAfterFailure = insert.isVisible();
                   failure = prompts.messages.value(0);
                   // The user makes room and presses OK again: the insertion is still there.
                   QFile::remove(fs.filePath(".filler"));
                   insert.Item<QPushButton>(IDOK)->click();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_TRUE(openAfterFailure);
    EXPECT_TRUE(failure.startsWith("Write " + page + " Failure!\n")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("No space left on device")) << failure.toStdString();
    EXPECT_TRUE(readFile(page).contains(kBegin.toUtf8() + "<a>old</a>" + kEnd.toUtf8()));
}

TEST_F(HtmlOutput, AReadOnlyPageIsNamedAtOpeningAndItsFailureGivesTheReason) {
    TinyFileSystem fs(64);
    REQUIRE_TINY_FS(fs);
    const QString page = fs.filePath("index.htm");
    writeFile(page, "<p>my page</p>\n");
    fs.makeReadOnly();
    prompts.files = {page};
    QString caption;
    bool openAfterFailure = false;
    onDialogs({[](CDialog& notice) { notice.reject(); },
               [&](CDialog& insert) {
                   caption = insert.windowTitle();
                   static_cast<CInsertIntoPageDlg&>(insert).OnInsert();
                   insert.Item<QPushButton>(IDOK)->click();
                   openAfterFailure = insert.isVisible();
                   insert.reject();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_TRUE(caption.contains("read-only")) << caption.toStdString();
    EXPECT_TRUE(openAfterFailure);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Write " + page + " Failure!\n"));
    EXPECT_TRUE(prompts.messages[0].section('\n', 1).contains("read-only"))
        << prompts.messages[0].toStdString();
    fs.makeWritable();
    EXPECT_EQ(readFile(page), "<p>my page</p>\n");
}

TEST_F(HtmlOutput, APageThatDoesNotExistYetIsMadeWithItsSupportFiles) {
    const QString page = files.filePath("new.htm");
    prompts.files = {page};
    bool ticked = false;
    onDialogs({[](CDialog& notice) { notice.reject(); },
               [&](CDialog& insert) {
                   ticked = insert.Item<QCheckBox>(1034)->isChecked();
                   static_cast<CInsertIntoPageDlg&>(insert).OnInsert();
                   insert.Item<QPushButton>(IDOK)->click();
               }});
    send(IDC_INSERT_INTO);
    ASSERT_EQ(prompts.messages.size(), 1);
    EXPECT_TRUE(prompts.messages[0].startsWith("Open " + page + " Failure!"));
    EXPECT_TRUE(ticked);
    EXPECT_EQ(readFile(page), kBegin.toUtf8() + "<a>old</a>" + kEnd.toUtf8());
    ASSERT_EQ(fake.state().supportFilePlacements.size(), 1)
        << "the server was asked to place the support files";
    EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(files.filePath("new.")) +
                                   "[0-9a-z]+\\.restvt$")
                    .match(fake.state().supportFilePlacements[0])
                    .hasMatch());
}

TEST_F(HtmlOutput, InsertPutsMarkedBlocksAtTheCaretWithOneUndo) {
    const QString page = files.filePath("page.htm");
    writeFile(page, "<html>\n<body>\n</body>\n</html>");
    const QByteArray code = "<a>old</a>"; // part 0, by index
    prompts.files = {page};
    bool undoAfterOne = false, undoAfterUndo = true;
    onDialogs({[](CDialog& notice) { notice.reject(); }, // Escape: the built-in dialog
               [&](CDialog& dialog) {
                   auto& insert = static_cast<CInsertIntoPageDlg&>(dialog);
                   EXPECT_EQ(insert.windowTitle(), "Insert into " + page);
                   EXPECT_TRUE(insert.Item<QCheckBox>(1034)->isChecked());
                   EXPECT_FALSE(insert.m_btnUndo->isEnabled());
                   CPageEditor* editor = insert.m_editPage;
                   // The caret at the start of "</body>".
                   PutPageCaret(*editor, 16);
                   insert.Item<QPushButton>(1031)->click();
                   undoAfterOne = insert.m_btnUndo->isEnabled();
                   insert.Item<QPushButton>(1031)->click();
                   insert.Item<QPushButton>(1032)->click();
                   undoAfterUndo = insert.m_btnUndo->isEnabled();
                   insert.Item<QCheckBox>(1034)->setChecked(false);
                   insert.Item<QPushButton>(IDOK)->click();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_TRUE(undoAfterOne);
    EXPECT_FALSE(undoAfterUndo);
    EXPECT_EQ(readFile(page), "<html>\r\n<body>\r\n" + kBegin.toUtf8() + code + kEnd.toUtf8() +
                                  "</body>\r\n</html>\r\n")
        << "one block after Undo; LF became CR LF; the last line gained one";
    EXPECT_TRUE(fake.state().supportFilePlacements.isEmpty()) << "the box was cleared";
    EXPECT_TRUE(prompts.messages.isEmpty()) << prompts.messages.join('\n').toStdString();
}

TEST_F(HtmlOutput, AnEmptyPageGetsExactlyTheMarkersAndTheSupportFiles) {
    const QString page = files.filePath("empty.htm");
    writeFile(page, "");
    prompts.files = {page};
    onDialogs({[](CDialog& notice) {
                   notice.Item<QCheckBox>(1042)->setChecked(false);
                   notice.Item<QPushButton>(IDOK)->click();
               },
               [](CDialog& insert) {
                   static_cast<CInsertIntoPageDlg&>(insert).OnInsert();
                   insert.Item<QPushButton>(IDOK)->click();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_EQ(readFile(page), (kBegin + "<a>old</a>" + kEnd).toUtf8());
    ASSERT_EQ(fake.state().supportFilePlacements.size(), 1);
    EXPECT_TRUE(fake.state().supportFilePlacements[0].startsWith(files.filePath("empty.")));
    EXPECT_FALSE(QFile::exists(fake.state().supportFilePlacements[0]));
}

TEST_F(HtmlOutput, APageThatCannotBeReadIsNeverReplacedByTheEmptyBox) {
    const QString missing = files.filePath("new.htm");
    prompts.files = {missing};
    bool okForNewPage = false;
    onDialogs({[](CDialog& notice) { notice.reject(); },
               [&](CDialog& insert) {
                   okForNewPage = insert.GetDlgItem(IDOK)->isEnabled();
                   insert.Item<QPushButton>(IDOK)->click();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_TRUE(prompts.messages.value(0).startsWith("Open " + missing + " Failure!\n"));
    EXPECT_TRUE(okForNewPage) << "a page that does not exist may be made";
    EXPECT_TRUE(QFile::exists(missing));

    // A page that exists but cannot be read (a folder of that name here).
    const QString unreadable = files.filePath("folder.htm");
    QDir().mkpath(unreadable);
    prompts.messages.clear();
    prompts.files = {unreadable};
    bool okEnabled = true;
    onDialogs({[](CDialog& notice) { notice.reject(); },
               [&](CDialog& insert) {
                   okEnabled = insert.GetDlgItem(IDOK)->isEnabled();
                   insert.reject();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(prompts.messages.isEmpty());
}

TEST_F(HtmlOutput, TheEditorPathSavesAModifiedDocumentFirst) {
    RecordingShell shell;
    shell.startable = "vellwick";
    const QString page = files.filePath("it's $(rm -rf) page.htm");
    writeFile(page, "<p/>");

    // Not modified: no question, the editor starts on the page as one argument.
    prompts.files = {page};
    onDialogs({[](CDialog& notice) { notice.Item<QPushButton>(IDOK)->click(); }});
    send(IDC_INSERT_INTO);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_EQ(shell.started, QStringList{"vellwick " + page});

    // Modified: asked, saved (Save asks for a name), then started.
    doc()->SetModifiedFlag(true);
    const QString saved = files.filePath("mine.tvt");
    prompts.files = {page, saved};
    onDialogs({[](CDialog& notice) { notice.Item<QPushButton>(IDOK)->click(); }});
    send(IDC_INSERT_INTO);
    EXPECT_EQ(prompts.messages,
              QStringList{"You must save your Glimmerkey before using Vellwick,Save it?"});
    EXPECT_EQ(doc()->GetPathName(), saved);
    EXPECT_FALSE(doc()->IsModified());
    EXPECT_EQ(shell.started.size(), 2);

    // No editor: the box starts cleared, and OK goes straight to the built-in dialog.
    shell.startable.clear();
    prompts.messages.clear();
    prompts.files = {page};
    bool tickedAtOpening = true, builtIn = false;
    onDialogs({[&](CDialog& notice) {
                   tickedAtOpening = notice.Item<QCheckBox>(1042)->isChecked();
                   notice.Item<QPushButton>(IDOK)->click();
               },
               [&](CDialog& insert) {
                   builtIn = true;
                   insert.reject();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_FALSE(tickedAtOpening);
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(builtIn);

    // Ticked by hand: the download question; Cancel leads to the built-in dialog.
    prompts.files = {page};
    prompts.answers = {IDCANCEL};
    builtIn = false;
    onDialogs({[](CDialog& notice) {
                   notice.Item<QCheckBox>(1042)->setChecked(true);
                   notice.Item<QPushButton>(IDOK)->click();
               },
               [&](CDialog& insert) {
                   builtIn = true;
                   insert.reject();
               }});
    send(IDC_INSERT_INTO);
    EXPECT_EQ(prompts.messages, QStringList{"Can't find Vellwick.exe, Download it?"});
    EXPECT_TRUE(builtIn);
    EXPECT_EQ(readFile(page), "<p/>") << "Cancel leaves the page untouched";
}
