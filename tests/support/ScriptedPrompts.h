#pragma once

#include "framework/Prompts.h"
#include "support/QtPrinters.h"

#include <QList>
#include <QStringList>

// Answers message boxes and file dialogs from a script and records what
// was shown; installs itself for its lifetime.
class ScriptedPrompts final : public framework::Prompts {
public:
    ScriptedPrompts() { framework::Prompts::setInstance(this); }
    ~ScriptedPrompts() override { framework::Prompts::setInstance(nullptr); }

    int MessageBox(const QString& text, framework::MessageButtons) override {
        messages << text;
        return answers.isEmpty() ? framework::IDOK : answers.takeFirst();
    }
    std::optional<QString> FileDialog(const framework::FileDialogRequest& request) override {
        fileRequests << request;
        if (files.isEmpty()) return std::nullopt;
        return files.takeFirst();
    }
    std::optional<QString> BrowseFolder(const QString&) override {
        if (folders.isEmpty()) return std::nullopt;
        return folders.takeFirst();
    }

    QStringList messages;
    QList<int> answers;  // for message boxes, in order; IDOK when empty
    QStringList files;   // chosen files, in order; cancelled when empty
    QStringList folders; // chosen folders, in order; cancelled when empty
    QList<framework::FileDialogRequest> fileRequests;
};
