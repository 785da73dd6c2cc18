#pragma once

#include <QString>

#include <optional>

namespace framework {

enum DialogResult { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
enum class MessageButtons { Ok, OkCancel, YesNoCancel };

struct FileDialogRequest {
    enum Mode { Open, Save } mode = Open;
    // Qt name filters separated by ";;", e.g. "Widgets (*.tvt);;All Files (*)".
    QString filter;
    QString defaultSuffix; // without the dot; added to a name typed without one
    QString initialPath;   // proposed file name or folder
    bool confirmOverwrite = true;
    bool mustExist = true; // Open only
};

// Every message box and file or folder dialog goes through here, so that
// tests script the answers and read what was shown.
class Prompts {
public:
    virtual ~Prompts() = default;
    // Captioned with the application's display name, with an exclamation icon.
    virtual int MessageBox(const QString& text, MessageButtons buttons) = 0;
    virtual std::optional<QString> FileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<QString> BrowseFolder(const QString& title) = 0;

    static Prompts& instance();
    // Installs a replacement (null restores the real dialogs); not owned.
    static void setInstance(Prompts* prompts);
};

int AfxMessageBox(const QString& text, MessageButtons buttons = MessageButtons::Ok);
// Opens a document, folder or address through the shell; when nothing opens
// it, says so with the target, instead of failing in silence.
bool OpenOrSay(const QString& target);
// A failure: the system's own text, and under it the reason when one is known.
int AfxMessageBox(const QString& text, const QString& reason);

} // namespace framework
