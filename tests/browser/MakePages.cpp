// Writes the pages the browser tests open, each made the way the host makes
// it: the real server, registered for a temporary home, driven through
// CTavolet and the host's page-text helpers. Next to the pages goes
// manifest.json, which tells the tests what each widget was configured as.
// Usage: make_browser_pages OUTPUT_FOLDER SERVER_LIBRARY
#include "CodeGenerator.h"
#include "WidgetFile.h"

#include "framework/Prompts.h"
#include "output/publishing/HtmlCode.h"
#include "output/publishing/Page.h"
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"
#include "res/Resource.h"
#include "widget/Tavolet.h"

#include "app/VellwickTool.h"
#include "framework/DocTemplate.h"
#include "framework/FrameWindow.h"
#include "output/InsertIntoPageDlg.h"
#include "output/PageEditor.h"
#include "output/UpdatePagesDlg.h"
#include "tests/support/PageCaret.h"
#include "widget/VellwickToolDoc.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <stdexcept>

namespace {

const QString ProgId = QStringLiteral("TavoletServer.Glimmerkey");

[[noreturn]] void fail(const QString& message) {
    throw std::runtime_error(message.toStdString());
}

// Answers the file dialogs from a list; a message box that reports a
// failure ends the tool, any other is answered OK.
class ToolPrompts final : public framework::Prompts {
public:
    int MessageBox(const QString& text, framework::MessageButtons) override {
        if (!allowMessages || text.contains("failure", Qt::CaseInsensitive) ||
            text.contains("Error"))
            fail("the host said: " + text);
        said << text;
        return framework::IDOK;
    }
    std::optional<QString> FileDialog(const framework::FileDialogRequest&) override {
        if (files.isEmpty()) return std::nullopt;
        return files.takeFirst();
    }
    std::optional<QString> BrowseFolder(const QString&) override {
        if (folders.isEmpty()) return std::nullopt;
        return folders.takeFirst();
    }
    QStringList files, folders, said;
    bool allowMessages = false;
};

ToolPrompts* g_prompts = nullptr;

// Runs each script on the next modal dialog, in turn, as it comes up.
void onDialogs(QList<std::function<void(QDialog&)>> scripts) {
    if (scripts.isEmpty()) return;
    QTimer::singleShot(0, [scripts]() mutable {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) fail("a dialog the tool waited for did not come up");
        auto script = scripts.takeFirst();
        onDialogs(scripts);
        script(*dialog);
    });
}

// Runs `script` on the modal dialog of type T once it is up; a command may
// show a progress bar and run the event loop before it comes.
template <class T> void whenUp(std::function<void(T&)> script, int tries = 500) {
    QTimer::singleShot(tries == 500 ? 0 : 10, [script, tries] {
        if (auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget()))
            return script(*dialog);
        if (tries == 0) fail("a dialog the tool waited for did not come up");
        whenUp<T>(script, tries - 1);
    });
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail("cannot write " + path + ": " + file.errorString());
}

// Pages are written as UTF-8 text, byte for byte what the host would write.
void writePage(const QString& path, const QString& text) {
    writeBytes(path, text.toUtf8());
}

// Where the test widgets' links lead.
const char* const LandingPage = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Landing</title>
</head>
<body>
<main>
<h1>Landing</h1>
</main>
</body>
</html>
)";

// A user's own page whose style sheet reaches links, buttons, spans, images
// and focus outlines, as site style sheets do.
const char* const UserPage = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Our club</title>
<style>
*, *::before, *::after { box-sizing: content-box; }
body { margin: 0; font: 14px/1.6 Georgia, serif; color: #222; background: #fafafa; }
main { max-width: 40em; margin: 0 auto; padding: 1em; }
a { color: #0645ad; text-decoration: underline; padding: 3px; }
a:hover, a:focus { color: #c00; background: #ffe; }
button { padding: 12px 30px; font-size: 20px; border: 3px solid #999; background: #eee; }
span { letter-spacing: .2em; }
img { max-width: 100%; height: auto; border: 2px solid #ccc; }
:focus { outline: none; }
</style>
</head>
<body>
<header>
<p><a href="index.htm">Home</a></p>
</header>
<main>
<h1>Our club</h1>
<p>Meetings are on Tuesdays. Members read on below.</p>
<p>{{WIDGET}}</p>
<p>See you there.</p>
</main>
</body>
</html>
)";

// A page the user already has; the caret marks are where the insert goes.
const char* const ExistingPage = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Spring sale</title>
<style>
body { font-family: Arial, sans-serif; margin: 2em; }
.offer { border: 1px solid #888; padding: 1em; }
</style>
</head>
<body>
<main>
<h1>Spring sale</h1>
<div class="offer">
<p>All tickets half price until May.</p>
{{FIRST}}</div>
<div class="offer">
<p>Second offer.</p>
{{SECOND}}</div>
</main>
</body>
</html>
)";

// The pages a user already has, with the CR LF line ends the host writes.
QString userText(const char* text) {
    return QString::fromUtf8(text).replace(QLatin1String("\n"), QLatin1String("\r\n"));
}

// Places the support files beside `page` through the scratch widget file and
// deletes that file, as the host does: New Page through SaveToFile, the
// insert command (and here Copy Code) through SaveWithSupportFiles.
void placeSupportFiles(CTavolet& tavolet, const QString& page, bool explicitCall) {
    QDir().mkpath(QFileInfo(page).absolutePath());
    QString error;
    if (!PlaceSupportFiles(tavolet, page, !explicitCall, &error))
        fail("the server could not place the support files of " + page + ": " + error);
}

QJsonObject colours(const StateColors& c) {
    return {{"text", c.text.name()}, {"fill", c.fill.name()}, {"fill2", c.fill2.name()}};
}

// What the tests need to know about one widget on a page. The settings come
// from the widget file itself; the code and support files from the server,
// as the host sees them.
QJsonObject describe(CTavolet& tavolet, const QString& widgetFile) {
    QString error;
    const std::optional<GlimmerWidget> widget = WidgetFile::load(widgetFile, &error);
    if (!widget) fail(widgetFile + ": " + error);
    const GlimmerSettings& s = widget->settings;

    QJsonObject states;
    for (int i = 0; i < ButtonStateCount; ++i)
        states[stateName(static_cast<ButtonState>(i)).toLower()] = colours(s.states[i]);

    QJsonArray supportFiles;
    for (int i = 0, n = tavolet.m_dispatch.SupportFileCount(); i < n; ++i)
        supportFiles.append(tavolet.m_dispatch.SupportFileWebPath(i));

    const CodeParts parts = CollectCodeParts(tavolet);
    return {
        {"name", widget->name},
        {"widgetFile", QFileInfo(widgetFile).absoluteFilePath()},
        {"key", CodeGenerator::widgetKey(s)},
        {"caption", s.caption},
        {"tooltip", s.tooltip},
        {"accessibleName", CodeGenerator::accessibleName(s)},
        {"linkUrl", s.linkUrl},
        {"linkTarget", s.linkTarget},
        {"width", s.width},
        {"height", s.height},
        {"fill", s.fillStyle == FillStyle::Solid ? "solid" : "gradient"},
        {"states", states},
        {"glimmer",
         QJsonObject{{"enabled", s.glimmerEnabled},
                     {"trigger", s.glimmerTrigger == GlimmerTrigger::Always ? "always" : "hover"},
                     {"periodMs", s.glimmerPeriodMs()}}},
        {"hasIcon", !s.iconPath.isEmpty()},
        {"hoverSound", !s.hoverSoundPath.isEmpty()},
        {"clickSound", !s.clickSoundPath.isEmpty()},
        {"supportFiles", supportFiles},
        {"parts",
         QJsonObject{{"cursor", parts.cursor}, {"style", parts.style}, {"script", parts.script}}},
    };
}

// The blocks of `identity` in a page, found as the host finds them.
qsizetype blocksOf(const QString& page, const QString& identity) {
    Page text;
    QString error;
    if (!text.Load(page, LineEnds::AsTheyAre, &error)) fail(page + ": " + error);
    const BlockScan scan = text.Blocks();
    if (!scan.problem.isEmpty()) fail(page + ": " + scan.problem);
    return std::count_if(scan.blocks.cbegin(), scan.blocks.cend(),
                         [&](const MarkedBlock& block) { return block.identity == identity; });
}

class PageMaker {
public:
    explicit PageMaker(const QString& outFolder) : m_out(outFolder) {}

    // New Page, through the command's own page writer.
    void newPage(const QString& id, const QString& widgetFile) {
        CTavolet tavolet;
        open(tavolet, widgetFile);
        const QString page = pagePath(id, id + ".htm");
        QDir().mkpath(QFileInfo(page).absolutePath());
        QString error;
        if (!WriteNewPage(tavolet, page, &error)) fail(page + ": " + error);
        add(id, "new", page, {describe(tavolet, widgetFile)});
    }

    // Copy Code: the user pastes the cursor part into a page of their own.
    void copiedPage(const QString& id, const QString& widgetFile, const QString& userPage,
                    const QString& caret) {
        CTavolet tavolet;
        open(tavolet, widgetFile);
        const QString page = pagePath(id, id + ".htm");
        placeSupportFiles(tavolet, page, true);
        writePage(page, atCaret(userPage, caret, CollectCodeParts(tavolet).cursor));
        add(id, "copy", page, {describe(tavolet, widgetFile)});
    }

    // Insert: each widget's marker block put at a caret in the existing
    // page, read and written back through the insert command's own page
    // codec and writer.
    void insertedPage(const QString& id, const QStringList& widgetFiles, QString existingPage,
                      const QStringList& carets) {
        const QString page = pagePath(id, id + ".htm");
        QJsonArray widgets;
        for (qsizetype i = 0; i < widgetFiles.size(); ++i) {
            CTavolet tavolet;
            open(tavolet, widgetFiles[i]);
            const qsizetype at = existingPage.indexOf(carets[i]);
            if (at < 0) fail("no caret mark " + carets[i]);
            existingPage.remove(at, carets[i].size());
            writePage(page, existingPage);
            Page text;
            QString error;
            if (!text.Load(page, LineEnds::CrLf, &error)) fail(page + ": " + error);
            const qsizetype caret = existingPage.left(at).toUtf8().size();
            const QByteArray block =
                EditorTextOf(text.Text(), MarkedBlockText(tavolet.m_dispatch.CodePartText(0, 1)));
            text.EditorText().insert(caret, block);
            if (PublishPage(tavolet, text, true, &error) != platform::Replaced::Written)
                fail(page + ": " + error);
            existingPage = QString::fromUtf8(text.EditorText());
            widgets.append(describe(tavolet, widgetFiles[i]));
        }
        add(id, "insert", page, widgets);
    }

    // The three commands run through the real application, its dialogs
    // answered as a user would: New Page, Insert into at a caret, and Copy
    // Code pasted into a page of the user's own.
    void applicationPages(const QString& widgetFile, const QString& existingPage,
                          const QString& userPage) {
        QTemporaryDir appFolder;
        CVellwickToolApp app(appFolder.path());
        if (!app.InitInstance()) fail("the application did not start");
        framework::CFrameWnd* frame = app.m_pMainWnd;
        onDialogs({[](QDialog& configure) { configure.reject(); }});
        if (!app.OpenDocumentFile(widgetFile)) fail("the application cannot open " + widgetFile);
        auto* document = static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
        CTavolet& tavolet = *document->m_pTavolet;
        g_prompts->allowMessages = true;

        const QString newPage = pagePath("app-new", "app-new.htm");
        QDir().mkpath(QFileInfo(newPage).absolutePath());
        g_prompts->files = {newPage};
        frame->SendCommand(1025);
        add("app-new", "new", newPage, {describe(tavolet, widgetFile)});

        const QString inserted = pagePath("app-insert", "app-insert.htm");
        const qsizetype caret = existingPage.indexOf("{{FIRST}}");
        writePage(inserted, QString(existingPage).remove("{{FIRST}}").remove("{{SECOND}}"));
        g_prompts->files = {inserted};
        onDialogs({[](QDialog& notice) { notice.reject(); },
                   [caret, &existingPage](QDialog& dialog) {
                       auto& insert = static_cast<CInsertIntoPageDlg&>(dialog);
                       PutPageCaret(*insert.m_editPage, existingPage.left(caret).toUtf8().size());
                       insert.OnInsert();
                       insert.Item<QPushButton>(framework::IDOK)->click();
                   }});
        frame->SendCommand(1026);
        add("app-insert", "insert", inserted, {describe(tavolet, widgetFile)});

        onDialogs({[](QDialog& code) { code.reject(); }});
        frame->SendCommand(1024);
        const QString copied = pagePath("app-copy", "app-copy.htm");
        writePage(copied, atCaret(userPage, "{{WIDGET}}", QGuiApplication::clipboard()->text()));
        add("app-copy", "copy", copied, {describe(tavolet, widgetFile)});
        g_prompts->allowMessages = false;
        app.ExitInstance();
    }

    // Copy Code pasted into a page of the user's, then Support Files' Copy
    // to... that page's folder, both through the real application: the
    // files must land where the pasted code looks for them.
    void supportFilesPage(const QString& widgetFile, const QString& userPage) {
        QTemporaryDir appFolder;
        CVellwickToolApp app(appFolder.path());
        if (!app.InitInstance()) fail("the application did not start");
        framework::CFrameWnd* frame = app.m_pMainWnd;
        onDialogs({[](QDialog& configure) { configure.reject(); }});
        if (!app.OpenDocumentFile(widgetFile)) fail("the application cannot open " + widgetFile);
        auto* document = static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
        g_prompts->allowMessages = true;

        onDialogs({[](QDialog& code) { code.reject(); }});
        frame->SendCommand(1024);
        const QString page = pagePath("app-support", "app-support.htm");
        writePage(page, atCaret(userPage, "{{WIDGET}}", QGuiApplication::clipboard()->text()));
        g_prompts->folders = {QFileInfo(page).absolutePath()};
        onDialogs({[](QDialog& support) {
            static_cast<framework::CDialog&>(support).Item<QPushButton>(1037)->click();
            support.accept();
        }});
        frame->SendCommand(32775);
        add("app-support", "copy", page, {describe(*document->m_pTavolet, widgetFile)});
        g_prompts->allowMessages = false;
        app.ExitInstance();
    }

    // Update Published Pages through the real application: the widget goes
    // into three pages of one folder by Insert into and is saved; its colour
    // and link then change in its file, its identity kept; reopened, the
    // command rewrites the three pages' blocks. The pages are described with
    // the widget as it is after the change.
    void updatedPages(const QString& widgetFile, const QString& existingPage,
                      const QString& userPage) {
        struct Target {
            QString id, text, caret;
        };
        const QList<Target> targets = {
            {"updated-club", userPage, "{{WIDGET}}"},
            {"updated-sale", QString(existingPage).remove("{{SECOND}}"), "{{FIRST}}"},
            {"updated-offer", QString(existingPage).remove("{{FIRST}}"), "{{SECOND}}"},
        };
        const QString folder = m_out + "/updated";
        const auto pageOf = [&](const Target& t) { return folder + "/" + t.id + ".htm"; };
        writePage(folder + "/landing.htm", userText(LandingPage));
        writePage(folder + "/after.htm", userText(LandingPage));

        QString identity;
        QJsonObject before;
        {
            QTemporaryDir appFolder;
            CVellwickToolApp app(appFolder.path());
            if (!app.InitInstance()) fail("the application did not start");
            onDialogs({[](QDialog& configure) { configure.reject(); }});
            if (!app.OpenDocumentFile(widgetFile))
                fail("the application cannot open " + widgetFile);
            auto* document = static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document());
            identity = document->m_pTavolet->m_dispatch.WidgetIdentity();
            before = describe(*document->m_pTavolet, widgetFile);
            g_prompts->allowMessages = true;
            for (const Target& t : targets) {
                const QString page = pageOf(t);
                const qsizetype caret = t.text.left(t.text.indexOf(t.caret)).toUtf8().size();
                writePage(page, QString(t.text).remove(t.caret));
                g_prompts->files = {page};
                onDialogs({[](QDialog& notice) { notice.reject(); },
                           [caret](QDialog& dialog) {
                               auto& insert = static_cast<CInsertIntoPageDlg&>(dialog);
                               PutPageCaret(*insert.m_editPage, caret);
                               insert.OnInsert();
                               insert.Item<QPushButton>(framework::IDOK)->click();
                           }});
                app.m_pMainWnd->SendCommand(1026);
                if (blocksOf(page, identity) != 1) fail(page + ": the widget was not inserted");
            }
            // The identity goes into the file with the first save.
            app.m_pMainWnd->SendCommand(framework::ID_FILE_SAVE);
            g_prompts->allowMessages = false;
            app.ExitInstance();
        }

        QString error;
        std::optional<GlimmerWidget> widget = WidgetFile::load(widgetFile, &error);
        if (!widget) fail(widgetFile + ": " + error);
        if (identity.isEmpty() || widget->identity != identity)
            fail(widgetFile + ": the saved widget lost its identity");
        widget->settings.state(ButtonState::Normal) = {QColor("#ffffff"), QColor("#1b5e20"),
                                                       QColor("#1b5e20")};
        widget->settings.linkUrl = "after.htm";
        if (!WidgetFile::save(*widget, widgetFile, &error)) fail(widgetFile + ": " + error);

        QTemporaryDir appFolder;
        CVellwickToolApp app(appFolder.path());
        if (!app.InitInstance()) fail("the application did not start");
        onDialogs({[](QDialog& configure) { configure.reject(); }});
        if (!app.OpenDocumentFile(widgetFile)) fail("the application cannot open " + widgetFile);
        CTavolet& tavolet =
            *static_cast<CVellwickToolDoc*>(app.DocTemplate()->Document())->m_pTavolet;
        if (tavolet.m_dispatch.WidgetIdentity() != identity)
            fail(widgetFile + ": reopened with another identity");
        g_prompts->allowMessages = true;
        g_prompts->folders = {folder};
        g_prompts->said.clear();
        whenUp<CUpdatePagesDlg>([](CUpdatePagesDlg& dialog) {
            dialog.Item<QPushButton>(framework::IDOK)->click();
            dialog.reject();
        });
        app.m_pMainWnd->SendCommand(32801);
        const QString summary = g_prompts->said.join('\n');
        if (!summary.contains("3 page(s) updated, 0 skipped, 0 failed"))
            fail("Update Published Pages said: " + summary);
        for (const Target& t : targets) {
            if (blocksOf(pageOf(t), identity) != 1)
                fail(pageOf(t) + ": not one block after the update");
            add(t.id, "updated", pageOf(t), {describe(tavolet, widgetFile)});
            // What was inserted, for the tests to tell that it is gone.
            QJsonObject entry = m_pages.last().toObject();
            entry["before"] = before;
            m_pages.replace(m_pages.size() - 1, entry);
        }
        g_prompts->allowMessages = false;
        app.ExitInstance();
    }

    // A plain page beside `id`'s page that links lead to.
    void landingPage(const QString& id) {
        writePage(pagePath(id, "landing.htm"), userText(LandingPage));
    }

    QJsonArray pages() const { return m_pages; }

private:
    static void open(CTavolet& tavolet, const QString& widgetFile) {
        if (!tavolet.CreateFromProgID(ProgId)) fail("cannot create " + ProgId);
        if (!tavolet.m_dispatch.LoadFromFile(widgetFile))
            fail("the server cannot load " + widgetFile);
    }

    static QString atCaret(QString text, const QString& caret, const QString& code) {
        const qsizetype at = text.indexOf(caret);
        if (at < 0) fail("no caret mark " + caret);
        return text.replace(at, caret.size(), code);
    }

    QString pagePath(const QString& id, const QString& file) const {
        return m_out + "/" + id + "/" + file;
    }

    void add(const QString& id, const QString& kind, const QString& page,
             const QJsonArray& widgets) {
        m_pages.append(QJsonObject{{"id", id},
                                   {"kind", kind},
                                   {"path", QDir(m_out).relativeFilePath(page)},
                                   {"skeleton", kind == QLatin1String("new")},
                                   {"widgets", widgets}});
    }

    QString m_out;
    QJsonArray m_pages;
};

// A widget derived from a template, written through the server's own file code.
QString makeWidgetFile(const QString& folder, const QString& name, const QString& templatePath,
                       const std::function<void(GlimmerWidget&)>& change) {
    QString error;
    std::optional<GlimmerWidget> widget = WidgetFile::load(templatePath, &error);
    if (!widget) fail(templatePath + ": " + error);
    widget->name = name;
    change(*widget);
    const GlimmerWidget wanted = *widget;
    QString path = folder + "/" + name + ".tvt";
    QDir().mkpath(folder);
    if (!WidgetFile::save(*widget, path, &error)) fail(path + ": " + error);
    const std::optional<GlimmerWidget> back = WidgetFile::load(path, &error);
    if (!back) fail(path + ": " + error);
    // A widget the server trimmed would not be the widget the test means.
    if (back->settings.caption != wanted.settings.caption ||
        back->settings.linkUrl != wanted.settings.linkUrl ||
        back->settings.tooltip != wanted.settings.tooltip)
        fail(path + ": the widget file did not keep its texts");
    return path;
}

void run(const QString& outFolder, const QString& serverLibrary) {
    QString error;
    if (!platform::RegisterServerLibrary(platform::Registry::instance(), serverLibrary, &error))
        fail("cannot register " + serverLibrary + ": " + error);

    QStringList templates;
    {
        CTavolet scratch;
        if (!scratch.CreateFromProgID(ProgId)) fail("cannot create " + ProgId);
        for (const TemplateEntry& entry : scratch.ListTemplates())
            templates << entry.strPath;
    }
    if (templates.isEmpty()) fail("the server has no templates");
    templates.sort();
    auto templateNamed = [&](const QString& name) {
        for (const QString& path : templates)
            if (QFileInfo(path).fileName().startsWith(name + "_")) return path;
        fail("no template " + name);
    };
    const QString media = QFileInfo(serverLibrary).absolutePath() + "/media/";

    const QString widgets = outFolder + "/widgets";
    const QString linked =
        makeWidgetFile(widgets, "Linked", templateNamed("Ember"), [&](GlimmerWidget& w) {
            w.settings.caption = "Go on";
            w.settings.linkUrl = "landing.htm";
            w.settings.iconPath = media + "arrow.svg";
        });
    const QString sounding =
        makeWidgetFile(widgets, "Sounding", templateNamed("Candy"), [](GlimmerWidget& w) {
            w.settings.caption = "Ring and go";
            w.settings.linkUrl = "landing.htm";
        });
    const QString hostile =
        makeWidgetFile(widgets, "Hostile", templateNamed("Slate"), [](GlimmerWidget& w) {
            w.settings.caption = "\"><script>alert(1)</script>";
            w.settings.tooltip = "' onmouseover='alert(2)' \"><img src=x onerror=alert(3)>";
            w.settings.linkUrl = "landing.htm?q=\"><script>alert(4)</script>#'onfocus='alert(5)";
        });

    PageMaker maker(outFolder);
    for (const QString& path : templates)
        maker.newPage(QFileInfo(path).fileName().section('_', 0, 0), path);

    maker.copiedPage("copied", linked, userText(UserPage), "{{WIDGET}}");
    maker.landingPage("copied");
    maker.supportFilesPage(linked, userText(UserPage));
    maker.landingPage("app-support");

    maker.insertedPage("inserted", {sounding}, userText(ExistingPage).remove("{{SECOND}}"),
                       {"{{FIRST}}"});
    maker.landingPage("inserted");

    maker.insertedPage("two", {templateNamed("Forest"), templateNamed("Sunrise")},
                       userText(ExistingPage), {"{{FIRST}}", "{{SECOND}}"});

    maker.newPage("hostile", hostile);
    maker.landingPage("hostile");

    // A widget without support files, since a pasted copy takes none along.
    QString plainTemplate;
    for (const QString& path : templates) {
        CTavolet tavolet;
        if (tavolet.CreateFromProgID(ProgId) && tavolet.m_dispatch.LoadFromFile(path) &&
            tavolet.m_dispatch.SupportFileCount() == 0) {
            plainTemplate = path;
            break;
        }
    }
    if (plainTemplate.isEmpty()) fail("every template has support files");
    maker.applicationPages(plainTemplate, userText(ExistingPage), userText(UserPage));

    const QString changing =
        makeWidgetFile(widgets, "Changing", plainTemplate, [](GlimmerWidget& w) {
            w.settings.caption = "Read on";
            w.settings.linkUrl = "landing.htm";
        });
    maker.updatedPages(changing, userText(ExistingPage), userText(UserPage));

    const QJsonObject manifest{{"progId", ProgId}, {"pages", maker.pages()}};
    writeBytes(outFolder + "/manifest.json", QJsonDocument(manifest).toJson());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_browser_pages OUTPUT_FOLDER SERVER_LIBRARY\n");
        return 2;
    }
    // The registration lands in a home of our own, never the developer's.
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/.config").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", home.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

    // Qt sees no arguments: the application run inside must not take ours as a file to open.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    InstallStringTable();
    ToolPrompts prompts;
    g_prompts = &prompts;
    framework::Prompts::setInstance(&prompts);

    const QString outFolder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString serverLibrary = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
    int status = 0;
    try {
        if (QDir(outFolder).exists() && !QDir(outFolder).isEmpty())
            fail(outFolder + " is not empty");
        run(outFolder, serverLibrary);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make_browser_pages: %s\n", error.what());
        status = 1;
    }
    framework::Prompts::setInstance(nullptr);
    return status;
}
