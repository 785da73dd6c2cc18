#pragma once

#include "platform/Help.h"
#include "platform/Shell.h"

#include <QList>
#include <QStringList>

// The shell, recording what it was asked to open or start; installs itself
// for its lifetime. Only `startable` starts.
struct RecordingShell : platform::Shell {
    RecordingShell() { platform::Shell::setInstance(this); }
    ~RecordingShell() override { platform::Shell::setInstance(nullptr); }
    bool Open(const QString& target) override {
        opened << target;
        return opens;
    }
    bool StartProgram(const QString& program, const QStringList& arguments) override {
        started << program + " " + arguments.join('|');
        return program == startable;
    }
    bool FindProgram(const QString& program) override { return program == startable; }
    QStringList opened, started;
    QString startable;
    bool opens = true; // false: as a desktop without a browser
};

// The help book, recording the topics asked for: context numbers as text,
// "contents" and "search".
struct RecordingHelp : platform::Help {
    RecordingHelp() { platform::Help::setInstance(this); }
    ~RecordingHelp() override { platform::Help::setInstance(nullptr); }
    bool ShowContext(int context) override {
        asked << QString::number(context);
        return shows;
    }
    bool ShowContents() override {
        asked << "contents";
        return shows;
    }
    bool ShowKeywordSearch() override {
        asked << "search";
        return shows;
    }
    QStringList asked;
    bool shows = true;
};
