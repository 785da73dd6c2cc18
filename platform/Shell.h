#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The operating system's shell: opening documents, folders and web
// addresses with the user's own programs, and starting a program by name.
// Replaceable so that tests can see what would have been opened.
class Shell {
public:
    virtual ~Shell() = default;

    // A local path or a URL; false when nothing could be asked to open it.
    virtual bool Open(const QString& target);
    // A program found by name on the search path, with its arguments as
    // given: no shell between, so nothing in them is interpreted.
    virtual bool StartProgram(const QString& program, const QStringList& arguments);
    // Whether StartProgram would find the program on the search path.
    virtual bool FindProgram(const QString& program);

    static Shell& instance();
    // Installs a replacement (null restores the real shell); not owned.
    static void setInstance(Shell* shell);
};

} // namespace platform
