#pragma once

#include "platform/Shell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QList>
#include <QStringList>

#include <stdexcept>

// Stands in for the shell for its lifetime: records what it is asked to
// open and the cursor shown meanwhile, and answers as scripted.
struct ScriptedShell : platform::Shell {
    ScriptedShell() { platform::Shell::setInstance(this); }
    ~ScriptedShell() override { platform::Shell::setInstance(nullptr); }
    bool Open(const QString& target) override {
        opened << target;
        const QCursor* pCursor = QGuiApplication::overrideCursor();
        cursorShapes << (pCursor ? pCursor->shape() : Qt::ArrowCursor);
        if (bThrow) throw std::runtime_error("The shell is gone.");
        return bResult;
    }
    bool bResult = true;
    bool bThrow = false;
    QStringList opened;
    QList<Qt::CursorShape> cursorShapes;
};
