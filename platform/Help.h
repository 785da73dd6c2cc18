#pragma once

#include <QString>

namespace platform {

// The help book: HTML pages in a folder beside the executable, named after
// it ("<executable>.help"), opened in the user's browser through the shell.
// A context number has its page context/<number>.html; one without a page
// opens the contents. Replaceable so that tests see what was asked for.
class Help {
public:
    // The book in `folder`; empty for the one beside the running executable.
    explicit Help(QString folder = {});
    virtual ~Help() = default;

    virtual bool ShowContext(int context);
    virtual bool ShowContents();
    virtual bool ShowKeywordSearch();

    QString Folder() const;

    static Help& instance();
    // Installs a replacement (null restores the real book); not owned.
    static void setInstance(Help* help);

private:
    QString m_strFolder;
};

} // namespace platform
