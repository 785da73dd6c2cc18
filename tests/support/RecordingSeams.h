#pragma once

#include "platform/Help.h"
#include "platform/Shell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QList>
#include <QStringList>

#include <stdexcept>

// The shell, recording what it was asked to open or start and the cursor
// shown meanwhile; installs itself for its lifetime. Only `startable` starts.
struct RecordingShell : platform::Shell {
    RecordingShell() { platform::Shell::setInstance(this); }
    ~RecordingShell() override { platform::Shell::setInstance(nullptr); }
    bool Open(const QString& target) override {
        opened << target;
        const QCursor* pCursor = QGuiApplication::overrideCursor();
        cursorShapes << (pCursor ? pCursor->shape() : Qt::ArrowCursor);
        if (throws) throw std::runtime_error("The shell is gone.");
        return opens;
    }
    bool StartProgram(const QString& program, const QStringList& arguments) override {
        started << program + " " + arguments.join('|');
        return program == startable;
    }
    bool FindProgram(const QString& program) override { return program == startable; }
    QStringList opened, started;
    QString startable;
    QList<Qt::CursorShape> cursorShapes;
    bool opens = true; // false: as a desktop without a browser
    bool throws = false;
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
