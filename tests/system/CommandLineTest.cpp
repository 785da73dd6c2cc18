// The sub-commands as a user runs them: the real executable in a process of
// its own, the real reference server registered for this run's temporary
// home, no display. What they write is compared with what the window's own
// commands write, driven offscreen in this process on the same home.
#include "support/Files.h"
#include "support/HostileSite.h"
#include "support/PageCaret.h"
#include "support/ScriptedPrompts.h"
#include "support/TestHome.h"
#include "support/TinyFileSystem.h"

#include "app/VellwickTool.h"
#include "framework/Dialog.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWindow.h"
#include "output/InsertIntoPageDlg.h"
#include "res/Resource.h"
#include "widget/VellwickToolDoc.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

enum { IDC_COPY_CODE = 1024, IDC_NEW_PAGE = 1025, IDC_INSERT_INTO = 1026 };

const QByteArray kBegin = "<!--Insert By Mirovasta Glimmerkey-->\r\n";
const QByteArray kEnd = "\r\n<!--End of Glimmerkey-->\r\n";
const QString kServerFolder = QFileInfo(TAVOLET_SERVER_LIBRARY).absolutePath();

struct Outcome {
    int status = -1;
    QByteArray out;
    QString err;
};

QProcessEnvironment headless(const QString& home) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    return env;
}

Outcome runProgram(const QString& program, const QStringList& args, const QString& home,
                   const QString& folder = {}) {
    QProcess process;
    process.setProcessEnvironment(headless(home));
    process.setWorkingDirectory(folder);
    process.start(program, args);
    Outcome run;
    if (!process.waitForFinished(30000)) {
        run.err = "did not finish: " + process.errorString();
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Ends the modal dialogs as they come up, each by its script.
void onDialogs(QList<std::function<void(QWidget&)>> scripts) {
    if (scripts.isEmpty()) return;
    QTimer::singleShot(0, [scripts]() mutable {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) return;
        auto script = scripts.takeFirst();
        onDialogs(scripts);
        script(*dialog);
    });
}

void reject(QWidget& dialog) {
    QMetaObject::invokeMethod(&dialog, "reject");
}

} // namespace

class CommandLine : public ::testing::Test {
protected:
    static QString home() { return qEnvironmentVariable("HOME"); }
    Outcome run(const QStringList& args, const QString& onHome = home()) {
        return runProgram(PROGRAM, args, onHome);
    }
    // A shipped template beside a copy of the server's media, as a user
    // keeps a widget file: no identity yet.
    QString freshWidget(const QString& name = QStringLiteral("mine.tvt")) {
        QString path = work.filePath(name);
        QFile::remove(path);
        QFile::copy(kServerFolder + "/Azure_TavoletServer.Glimmerkey.tvt", path);
        QFile(path).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QDir().mkpath(work.filePath("media"));
        for (const QString& file : QDir(kServerFolder + "/media").entryList(QDir::Files))
            QFile::copy(kServerFolder + "/media/" + file, work.filePath("media/" + file));
        return path;
    }
    // A widget file that has its identity already.
    QString savedWidget() {
        QString widget = freshWidget();
        const Outcome first = run({"code", widget});
        EXPECT_EQ(first.status, 0) << first.err.toStdString();
        return widget;
    }
    QString identityOf(const QByteArray& code) {
        const qsizetype at = code.indexOf("data-tavolet-widget=\"");
        return at < 0 ? QString() : QString::fromLatin1(code.mid(at + 21, 36));
    }

    QTemporaryDir work;
};

TEST_F(CommandLine, AWidgetWithoutIdentityIsGivenOneOnceAndNoSaveLeavesTheFileAlone) {
    const QString widget = freshWidget();
    const QByteArray before = readFile(widget);

    const Outcome unsaved = run({"code", "--no-save", widget});
    EXPECT_EQ(unsaved.status, 0) << unsaved.err.toStdString();
    EXPECT_TRUE(unsaved.err.contains("--no-save")) << unsaved.err.toStdString();
    EXPECT_EQ(readFile(widget), before) << "--no-save wrote the widget file";

    const Outcome first = run({"code", widget});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    const QString identity = identityOf(first.out);
    ASSERT_FALSE(identity.isEmpty()) << first.out.left(200).toStdString();
    EXPECT_NE(identity, identityOf(unsaved.out)) << "two loads of a file without one agreed";
    EXPECT_TRUE(first.err.contains("had no widget identity: it is now " + identity))
        << first.err.toStdString();
    EXPECT_TRUE(readFile(widget).contains(identity.toLatin1()));

    const Outcome second = run({"code", widget});
    EXPECT_EQ(second.status, 0);
    EXPECT_EQ(second.err, QString()) << "said again: " << second.err.toStdString();
    EXPECT_EQ(second.out, first.out) << "the code changed between two runs";
}

TEST_F(CommandLine, OutputEqualsWhatTheWindowsCommandsWrite) {
    const QString widget = savedWidget();
    const QString cliPage = work.filePath("cli/page.htm"),
                  windowPage = work.filePath("win/page.htm");
    const QByteArray original = "<html>\n<body>\n<p>one</p>\n<p>two</p>\n</body>\n</html>";
    writeFile(cliPage, original);
    writeFile(windowPage, original);

    const Outcome code = run({"code", widget});
    const Outcome newPage = run({"new-page", widget, work.filePath("cli/new.htm")});
    const Outcome insert = run({"insert", widget, cliPage, "--line", "3"});
    ASSERT_EQ(code.status, 0) << code.err.toStdString();
    ASSERT_EQ(newPage.status, 0) << newPage.err.toStdString();
    ASSERT_EQ(insert.status, 0) << insert.err.toStdString();
    EXPECT_EQ(code.err + newPage.err + insert.err, QString())
        << "nothing to say when all went well";

    // The window, offscreen, on the same home and the same widget file.
    ScriptedPrompts prompts;
    QTemporaryDir appFolder;
    CVellwickToolApp app(appFolder.path());
    ASSERT_TRUE(app.InitInstance()) << prompts.messages.join('\n').toStdString();
    auto* doc = static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
    onDialogs({reject}); // the server's Configure, which an Open brings up
    ASSERT_TRUE(doc->OnOpenDocument(widget)) << prompts.messages.join('\n').toStdString();

    QGuiApplication::clipboard()->setText("before");
    onDialogs({reject});
    app.m_pMainWnd->SendCommand(IDC_COPY_CODE);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toUtf8(), code.out);
    EXPECT_FALSE(code.out.isEmpty());

    prompts.files = {work.filePath("win/new.htm")};
    app.m_pMainWnd->SendCommand(IDC_NEW_PAGE);
    EXPECT_EQ(readFile(work.filePath("cli/new.htm")), readFile(work.filePath("win/new.htm")));
    EXPECT_EQ(entries(work.filePath("cli/glimmerkey")), entries(work.filePath("win/glimmerkey")))
        << "the support files were placed alike";

    prompts.files = {windowPage};
    onDialogs({reject, [](QWidget& dialog) {
                   auto& insertDialog = static_cast<CInsertIntoPageDlg&>(dialog);
                   // The start of line 3 of the page as the box shows it.
                   PutPageCaret(*insertDialog.m_editPage, 16);
                   insertDialog.OnInsert();
                   insertDialog.Item<QPushButton>(framework::IDOK)->click();
               }});
    app.m_pMainWnd->SendCommand(IDC_INSERT_INTO);
    const QByteArray written = readFile(windowPage);
    EXPECT_TRUE(written.startsWith("<html>\r\n<body>\r\n" + kBegin)) << written.left(80).data();
    EXPECT_EQ(readFile(cliPage), written);
    app.ExitInstance();
}

TEST_F(CommandLine, InsertFindsItsPlaceByLineOrTextOrFailsWithoutTouchingThePage) {
    const QString widget = savedWidget();
    const QString page = work.filePath("page.html");
    const QByteArray original = "<html>\n<body>\n<p>hi</p>\n</body>\n</html>";
    const QByteArray block = kBegin + run({"code", "--part", "0", widget}).out + kEnd;

    writeFile(page, original);
    EXPECT_EQ(run({"insert", widget, page, "--before", "</body>"}).status, 0);
    EXPECT_EQ(readFile(page),
              "<html>\r\n<body>\r\n<p>hi</p>\r\n" + block + "</body>\r\n</html>\r\n");
    writeFile(page, original);
    EXPECT_EQ(run({"insert", widget, page, "--after=<p>hi</p>"}).status, 0);
    EXPECT_EQ(readFile(page),
              "<html>\r\n<body>\r\n<p>hi</p>" + block + "\r\n</body>\r\n</html>\r\n");
    // The empty line after the last line end is the last place a caret can go.
    writeFile(page, original);
    EXPECT_EQ(run({"insert", widget, page, "--line", "6"}).status, 0);
    EXPECT_TRUE(readFile(page).endsWith("</html>\r\n" + block));

    writeFile(page, original);
    const Outcome pastTheEnd = run({"insert", widget, page, "--line", "7"});
    EXPECT_EQ(pastTheEnd.status, 1);
    EXPECT_TRUE(pastTheEnd.err.contains("past the end")) << pastTheEnd.err.toStdString();
    const Outcome notFound = run({"insert", widget, page, "--before", "<table>"});
    EXPECT_EQ(notFound.status, 1);
    EXPECT_TRUE(notFound.err.contains("\"<table>\" is not in")) << notFound.err.toStdString();
    for (const QStringList& usage : {QStringList{"insert", widget, page, "--line", "0"},
                                     {"insert", widget, page},
                                     {"insert", widget, page, "--line", "2", "--before", "x"},
                                     {"insert", widget, page, "--line", "two"},
                                     {"insert", widget, page, "--frob"},
                                     {"code"},
                                     {"code", widget, widget}}) {
        const Outcome wrong = run(usage);
        EXPECT_EQ(wrong.status, 2) << usage.join(' ').toStdString();
        EXPECT_TRUE(wrong.err.contains("--help")) << wrong.err.toStdString();
    }
    EXPECT_EQ(readFile(page), original) << "a failed insert touched the page";

    // An undecodable page (UTF-16 that is not) and a folder are refused whole.
    const QByteArray broken = QByteArray("\xFF\xFE<\0h\0\x00\xD8", 8);
    writeFile(page, broken);
    const Outcome undecodable = run({"insert", widget, page, "--line", "1"});
    EXPECT_EQ(undecodable.status, 1);
    EXPECT_TRUE(undecodable.err.contains("Open " + page + " Failure!"))
        << undecodable.err.toStdString();
    EXPECT_EQ(readFile(page), broken);
    QDir().mkpath(work.filePath("folder.htm"));
    for (const QStringList& args :
         {QStringList{"insert", widget, work.filePath("folder.htm"), "--line", "1"},
          {"new-page", widget, work.filePath("folder.htm")},
          {"insert", widget, work.filePath("missing.htm"), "--line", "1"}}) {
        const Outcome refused = run(args);
        EXPECT_EQ(refused.status, 1) << args.join(' ').toStdString();
        EXPECT_FALSE(refused.err.isEmpty());
    }
    EXPECT_FALSE(QFileInfo::exists(work.filePath("missing.htm")));
}

TEST_F(CommandLine, ARejectedWidgetFileGivesTheWindowsMessage) {
    const QString corrupt = work.filePath("corrupt.tvt");
    writeFile(corrupt, "{ not a widget");
    QString other = work.filePath("other.tvt");
    writeFile(other,
              readFile(freshWidget()).replace("\"TavoletServer.Glimmerkey\"", "\"Other.Server\""));
    const QString page = work.filePath("page.htm");

    const Outcome broken = run({"new-page", corrupt, page});
    EXPECT_EQ(broken.status, 1);
    EXPECT_TRUE(broken.err.contains("Open " + corrupt + " Error!")) << broken.err.toStdString();
    const Outcome foreign = run({"code", other});
    EXPECT_EQ(foreign.status, 1);
    EXPECT_TRUE(foreign.err.contains("This File is not saved by Vellwick Glimmerkey!"))
        << foreign.err.toStdString();
    const Outcome missing = run({"code", work.filePath("none.tvt")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains("Open " + work.filePath("none.tvt") + " Error!"));

    QTemporaryDir bareHome; // nothing registered there
    const Outcome unregistered = run({"code", freshWidget()}, bareHome.path());
    EXPECT_EQ(unregistered.status, 1);
    EXPECT_TRUE(
        unregistered.err.contains("Create the dispatch of the TavoletServer.Glimmerkey Error!"))
        << unregistered.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(page));
}

TEST_F(CommandLine, StrangePathsAreOnlyPaths) {
    const QString widget = savedWidget();
    // No shell ever reads a path: blanks, quotes and $(...) stay characters.
    const QString odd = work.filePath("my \"page\" 'x' $(touch pwned).htm");
    const Outcome made = run({"new-page", widget, odd});
    EXPECT_EQ(made.status, 0) << made.err.toStdString();
    EXPECT_TRUE(readFile(odd).startsWith("<HTML>\r\n"));
    EXPECT_FALSE(QFileInfo::exists(work.filePath("pwned")));

    // A name that starts with "-" is a file after "--", and an unknown option
    // before it; relative names are relative to where the program starts.
    const auto inWork = [&](const QStringList& args) {
        return runProgram(PROGRAM, args, home(), work.path());
    };
    const Outcome dashed = inWork({"new-page", "mine.tvt", "--", "-page.htm"});
    EXPECT_EQ(dashed.status, 0) << dashed.err.toStdString();
    EXPECT_TRUE(readFile(work.filePath("-page.htm")).startsWith("<HTML>\r\n"));
    EXPECT_EQ(inWork({"new-page", "mine.tvt", "-other.htm"}).status, 2);
    EXPECT_FALSE(QFileInfo::exists(work.filePath("-other.htm")));
    // An existing page is replaced only when asked, as the window asks.
    const Outcome again = inWork({"new-page", "mine.tvt", "--", "-page.htm"});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains("--replace")) << again.err.toStdString();
    EXPECT_EQ(inWork({"new-page", "--replace", "mine.tvt", "--", "-page.htm"}).status, 0);
}

TEST_F(CommandLine, AClosedOrFullStandardOutputIsAFailure) {
    const QString widget = savedWidget();
    const QString page = work.filePath("page.htm");
    writeFile(page, "<p>a</p>\n");
    const QString sh = QStringLiteral("/bin/sh");
    // $0 and $1 carry the paths, so the shell never parses them.
    const Outcome closed =
        runProgram(sh, {"-c", "\"$0\" code \"$1\" >&-", PROGRAM, widget}, home());
    EXPECT_EQ(closed.status, 1);
    EXPECT_TRUE(closed.err.contains("standard output")) << closed.err.toStdString();
    const Outcome full =
        runProgram(sh, {"-c", "\"$0\" code \"$1\" >/dev/full", PROGRAM, widget}, home());
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains("No space left")) << full.err.toStdString();
    // Commands that print nothing still work, and nothing lands in the page.
    const Outcome insert = runProgram(
        sh, {"-c", "\"$0\" insert \"$1\" \"$2\" --line 1 >&-", PROGRAM, widget, page}, home());
    EXPECT_EQ(insert.status, 0) << insert.err.toStdString();
    EXPECT_TRUE(readFile(page).startsWith(kBegin)) << readFile(page).left(80).data();
    EXPECT_TRUE(readFile(page).endsWith(kEnd + "<p>a</p>\r\n"));
    // A report that cannot be printed still says that pages were changed.
    const QString old = work.filePath("old.htm");
    writeFile(old, HostileSite::Block(identityOf(run({"code", widget}).out).toLatin1(), "old"));
    const Outcome unreported = runProgram(
        sh, {"-c", "\"$0\" update \"$1\" \"$2\" >/dev/full", PROGRAM, widget, old}, home());
    EXPECT_EQ(unreported.status, 1);
    EXPECT_TRUE(unreported.err.contains("Pages were changed")) << unreported.err.toStdString();
    EXPECT_FALSE(readFile(old).contains(">old<")) << "the page was updated all the same";
}

TEST_F(CommandLine, UpdateReplacesTheWidgetsBlocksAndBlocksListsThem) {
    const QString widget = savedWidget();
    const QString identity = identityOf(run({"code", widget}).out);
    const QByteArray mine =
        kBegin + "<a data-tavolet-widget=\"" + identity.toLatin1() + "\">old</a>" + kEnd;
    const QByteArray others = kBegin + "<a data-tavolet-widget=\"someone-else\">x</a>" + kEnd;
    const QString site = work.filePath("site");
    const QByteArray a = "<p>\n" + mine + "</p>\n" + others;
    const QByteArray b = "no blocks\n";
    const QByteArray c = kBegin + "unterminated\n";
    writeFile(site + "/a.htm", a);
    writeFile(site + "/sub/b.html", b);
    writeFile(site + "/c.htm", c);

    const Outcome listed = run({"blocks", site, "--json"});
    EXPECT_EQ(listed.status, 1) << "a page whose markers cannot be trusted is not listed whole";
    const QJsonArray pages = QJsonDocument::fromJson(listed.out).object()["pages"].toArray();
    ASSERT_EQ(pages.size(), 3) << listed.out.data();
    const QJsonArray blocks = pages[0].toObject()["blocks"].toArray();
    ASSERT_EQ(blocks.size(), 2);
    EXPECT_EQ(blocks[0].toObject()["line"].toInt(), 2);
    EXPECT_EQ(blocks[0].toObject()["identity"].toString(), identity);
    EXPECT_EQ(blocks[1].toObject()["identity"].toString(), "someone-else");
    EXPECT_TRUE(pages[1].toObject()["problem"].toString().contains("line 1"));
    const Outcome text = run({"blocks", site + "/a.htm"});
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out, (site + "/a.htm\t2\t" + identity + "\tUTF-8\n" + site +
                         "/a.htm\t6\tsomeone-else\tUTF-8\n")
                            .toUtf8());

    const Outcome dry = run({"update", widget, site, "--dry-run", "--json"});
    EXPECT_EQ(dry.status, 1) << "c.htm is skipped";
    EXPECT_EQ(readFile(site + "/a.htm"), a) << "a dry run wrote";
    const QJsonObject planned = QJsonDocument::fromJson(dry.out).object();
    EXPECT_TRUE(planned["dryRun"].toBool());
    EXPECT_EQ(planned["pages"].toArray()[0].toObject()["outcome"].toString(), "would-update");
    EXPECT_EQ(planned["pages"].toArray()[1].toObject()["outcome"].toString(), "skipped");

    const QByteArray fresh = kBegin + run({"code", "--part", "0", widget}).out + kEnd;
    const Outcome updated = run({"update", widget, site + "/a.htm", site + "/sub"});
    EXPECT_EQ(updated.status, 0) << updated.err.toStdString();
    EXPECT_EQ(updated.out, (site + "/a.htm\tupdated (1 block(s), UTF-8)\n").toUtf8());
    EXPECT_EQ(readFile(site + "/a.htm"), "<p>\n" + fresh + "</p>\n" + others);
    EXPECT_EQ(readFile(site + "/sub/b.html"), b);
    EXPECT_EQ(readFile(site + "/c.htm"), c);

    EXPECT_EQ(run({"update", widget, site + "/a.htm", "--any-block"}).status, 0);
    EXPECT_EQ(readFile(site + "/a.htm"), "<p>\n" + fresh + "</p>\n" + fresh);
    const Outcome missing = run({"update", widget, site + "/gone.htm"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.contains("skipped: no such file or folder"));
}

TEST_F(CommandLine, AHostileSiteLosesNothingAndEveryPageIsNamed) {
    const QString widget = savedWidget();
    const QByteArray identity = identityOf(run({"code", widget}).out).toLatin1();
    const QString folder = work.filePath("site");
    HostileSite site(folder, identity, true);
    const Outcome updated = run({"update", widget, folder, "--json"});
    EXPECT_EQ(updated.status, 1) << updated.err.toStdString();
    QHash<QString, QString> said;
    for (const QJsonValue page : QJsonDocument::fromJson(updated.out).object()["pages"].toArray()) {
        const QJsonObject entry = page.toObject();
        said[entry["path"].toString()] = entry["outcome"].toString() == u"updated"
                                             ? QStringLiteral("updated")
                                             : entry["reason"].toString();
    }
    EXPECT_FALSE(said.isEmpty()) << updated.out.data();
    site.Check([&](const QString& path) { return said.value(path); },
               kBegin + run({"code", "--part", "0", widget}).out + kEnd);
    // A page named by itself is the user's word, wherever its link leads.
    const QString real = work.filePath("elsewhere/real.htm");
    writeFile(real, "<p>" + HostileSite::Block(identity, "old"));
    QFile::link(real, work.filePath("named.htm"));
    const Outcome named = run({"update", widget, work.filePath("named.htm")});
    EXPECT_EQ(named.status, 0) << named.out.data();
    EXPECT_FALSE(readFile(real).contains(">old<"));
    EXPECT_TRUE(QFileInfo(work.filePath("named.htm")).isSymLink());
    // Plain output quotes a name that holds a tab, so every line keeps its fields.
    const Outcome listed = run({"blocks", folder});
    EXPECT_EQ(listed.status, 1);
    EXPECT_TRUE(listed.out.contains(("\"" + folder + "/tab\\tname.htm\"\t").toUtf8()))
        << listed.out.data();
}

// A second update with nothing changed writes neither a page nor a support file.
TEST_F(CommandLine, ASecondUpdateWritesNothing) {
    const QString widget = savedWidget();
    const QByteArray identity = identityOf(run({"code", widget}).out).toLatin1();
    const QString site = work.filePath("again");
    for (const char* name : {"a.htm", "b.htm", "sub/c.htm"})
        writeFile(site + "/" + name, "<p>" + HostileSite::Block(identity, "old"));
    ASSERT_EQ(run({"update", widget, site}).status, 0);
    // Every file of the site as it is now, and a time long past on each.
    const QDateTime old = QDateTime::currentDateTime().addDays(-3);
    QStringList written;
    QDirIterator files(site, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(old, QFileDevice::FileModificationTime));
        written << file.fileName();
    }
    ASSERT_GT(written.size(), 3) << "support files were placed";
    const Outcome again = run({"update", widget, site});
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(again.out.count("\talready current"), 3) << again.out.data();
    QStringList now;
    QDirIterator after(site, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (after.hasNext()) {
        now << after.next();
        EXPECT_EQ(QFileInfo(now.last()).lastModified(), old) << now.last().toStdString();
    }
    EXPECT_EQ(QSet<QString>(now.begin(), now.end()), QSet<QString>(written.begin(), written.end()));
}

TEST_F(CommandLine, PagesAreTheUsualEndingsAndThoseTheUserAdds) {
    const QString site = work.filePath("endings");
    for (const char* name : {"a.xhtml", "b.SHTML", "c.php", "d.txt"})
        writeFile(site + "/" + name, HostileSite::Block("w", "x"));
    const auto listed = [&](const QStringList& more) {
        const Outcome blocks = run(QStringList{"blocks", site} + more);
        QStringList names;
        for (const QByteArray& line : blocks.out.split('\n'))
            if (!line.isEmpty())
                names << QFileInfo(QString::fromUtf8(line.split('\t')[0])).fileName();
        return names;
    };
    EXPECT_EQ(listed({}), (QStringList{"a.xhtml", "b.SHTML"}));
    EXPECT_EQ(listed({"--ext", ".PHP, tpl"}), (QStringList{"a.xhtml", "b.SHTML", "c.php"}));
    const Outcome bad = run({"blocks", site, "--ext", "p/hp"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.err.contains("no file name ending")) << bad.err.toStdString();
}

TEST_F(CommandLine, InsertGoesOnlyWhereAnUpdateFindsItsBlockAndMessagesSayWhy) {
    const QString widget = savedWidget();
    QStringEncoder utf16("UTF-16LE");
    struct Case {
        const char* name;
        QByteArray page;
        QStringList where;
        int status;
        const char* said;
    };
    const Case cases[] = {
        {"comment.htm",
         "<!-- </body> -->\n<p>x</p>\n</body>\n",
         {"--before", "</body>"},
         1,
         "A marker inside a comment"},
        {"script.htm",
         "<script>\nvar a;\n</script>\n",
         {"--line", "2"},
         1,
         "A marker inside a script"},
        {"block.htm",
         "<p>\n" + kBegin + "x\r\ny" + kEnd,
         {"--line", "3"},
         1,
         "A marker inside a marked block"},
        {"bom.htm", "\xEF\xBB\xBF<p>x</p>\n", {"--line", "1"}, 0, ""},
        {"wide.htm", utf16.encode(u"<p>x</p>\n"), {"--line", "1"}, 1, "NUL bytes"},
        {"three.htm", "a\nb\nc\n", {"--line", "5"}, 1, "which has 3 lines"},
    };
    for (const Case& c : cases) {
        const QString page = work.filePath(c.name);
        writeFile(page, c.page);
        const Outcome inserted = run(QStringList{"insert", widget, page} + c.where);
        SCOPED_TRACE(std::string(c.name) + ": " + inserted.err.toStdString());
        EXPECT_EQ(inserted.status, c.status);
        EXPECT_TRUE(inserted.err.contains(QLatin1String(c.said)));
        if (c.status != 0) {
            EXPECT_EQ(readFile(page), c.page);
        }
    }
    EXPECT_TRUE(readFile(work.filePath("bom.htm")).startsWith("\xEF\xBB\xBF" + kBegin))
        << "the byte-order mark stays first";

    const Outcome typo = run({"udpate", widget, work.path()});
    EXPECT_EQ(typo.status, 2);
    EXPECT_TRUE(typo.err.contains("unknown command 'udpate'; did you mean 'update'?"))
        << typo.err.toStdString();
    const Outcome window = run({});
    EXPECT_EQ(window.status, 1) << "no display: a reason, not an abort";
    EXPECT_TRUE(window.err.contains("no display")) << window.err.toStdString();
    ASSERT_EQ(::mkfifo(QFile::encodeName(work.filePath("pipe.tvt")).constData(), 0600), 0);
    const Outcome pipe = run({"code", work.filePath("pipe.tvt")});
    EXPECT_EQ(pipe.status, 1);
    EXPECT_TRUE(pipe.err.contains("It is not a regular file.")) << pipe.err.toStdString();
}

TEST_F(CommandLine, AReadOnlyPageIsNotWrittenAndSaysSo) {
    TinyFileSystem fs(256);
    REQUIRE_TINY_FS(fs);
    const QString widget = savedWidget();
    const QString page = fs.filePath("page.htm");
    const QByteArray original = "<p>mine</p>\n" + kBegin + "old" + kEnd;
    writeFile(page, original);
    fs.makeReadOnly();
    const Outcome insert = run({"insert", widget, page, "--line", "1"});
    EXPECT_EQ(insert.status, 1);
    EXPECT_TRUE(insert.err.contains("Write " + page + " Failure!")) << insert.err.toStdString();
    const Outcome update = run({"update", widget, fs.path(), "--any-block"});
    EXPECT_EQ(update.status, 1);
    EXPECT_TRUE(update.out.contains("skipped: it is read-only")) << update.out.data();
    const Outcome newPage = run({"new-page", widget, fs.filePath("new.htm")});
    EXPECT_EQ(newPage.status, 1);
    EXPECT_TRUE(newPage.err.contains("Create HTML File Failure!")) << newPage.err.toStdString();
    fs.makeWritable();
    EXPECT_EQ(readFile(page), original);
    EXPECT_EQ(entries(fs.path()), QStringList{"page.htm"});
}

TEST_F(CommandLine, SupportFilesAreCopiedAsTheDialogCopiesThem) {
    const QString widget = savedWidget();
    const QString folder = work.filePath("out");
    QDir().mkpath(folder);
    const Outcome copied = run({"support-files", widget, folder});
    ASSERT_EQ(copied.status, 0) << copied.err.toStdString();
    const QStringList targets = QString::fromUtf8(copied.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(targets.isEmpty());
    for (const QString& target : targets) {
        EXPECT_TRUE(target.startsWith(folder + "/glimmerkey/")) << target.toStdString();
        EXPECT_EQ(readFile(target),
                  readFile(work.filePath("media/" + QFileInfo(target).fileName())));
    }
    EXPECT_EQ(run({"support-files", widget, work.filePath("nothere")}).status, 1);
    const Outcome help = run({"support-files", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: vellwick-glimmerkey support-files WIDGET.tvt FOLDER"));
}

int main(int argc, char** argv) {
    const QString home = useTemporaryHome();
    // Registered as a user does, before anything here reads the registry.
    const Outcome registered = runProgram(REGSVR, {TAVOLET_SERVER_LIBRARY}, home);
    if (registered.status != 0) {
        std::fprintf(stderr, "cannot register the server: %s\n", qPrintable(registered.err));
        return 1;
    }
    QApplication app(argc, argv);
    InstallStringTable();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
