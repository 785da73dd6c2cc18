#include "framework/Prompts.h"

#include "platform/Shell.h"

#include "framework/Application.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace framework {

namespace {

class QtPrompts final : public Prompts {
public:
    int MessageBox(const QString& text, MessageButtons buttons) override {
        const QString caption = AfxGetApp() ? AfxGetApp()->DisplayName() : QString();
        QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton,
                        QApplication::activeWindow());
        switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDCANCEL;
        }
    }

    std::optional<QString> FileDialog(const FileDialogRequest& request) override {
        QFileDialog dialog(QApplication::activeWindow(), {}, request.initialPath, request.filter);
        dialog.setAcceptMode(request.mode == FileDialogRequest::Save ? QFileDialog::AcceptSave
                                                                     : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.mode == FileDialogRequest::Open && request.mustExist
                               ? QFileDialog::ExistingFile
                               : QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }

    std::optional<QString> BrowseFolder(const QString& title) override {
        const QString folder =
            QFileDialog::getExistingDirectory(QApplication::activeWindow(), title);
        if (folder.isEmpty()) return std::nullopt;
        return folder;
    }
};

Prompts* g_replacement = nullptr;

} // namespace

Prompts& Prompts::instance() {
    static QtPrompts real;
    return g_replacement ? *g_replacement : real;
}

void Prompts::setInstance(Prompts* prompts) {
    g_replacement = prompts;
}

int AfxMessageBox(const QString& text, MessageButtons buttons) {
    return Prompts::instance().MessageBox(text, buttons);
}

bool OpenOrSay(const QString& target) {
    if (platform::Shell::instance().Open(target)) return true;
    AfxMessageBox(
        "Cannot open " + target,
        QStringLiteral("No program of this desktop opened it (is a web browser set up?)."));
    return false;
}

int AfxMessageBox(const QString& text, const QString& reason) {
    return AfxMessageBox(reason.isEmpty() ? text : text + QLatin1Char('\n') + reason);
}

} // namespace framework
