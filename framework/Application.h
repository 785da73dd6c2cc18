#pragma once

#include "framework/CommandTarget.h"

#include <QStringList>

#include <memory>

namespace platform {
class Registry;
}

namespace framework {

class CDocument;
class CFrameWnd;
class CRecentFileList;
class CSingleDocTemplate;
class Profile;

// The application object: start-up and exit steps around Qt's event loop,
// the profile, the document template and the application-level commands
// (New, Open, the recent files, Exit).
class CWinApp : public CCommandTarget {
public:
    explicit CWinApp(QString displayName);
    ~CWinApp() override;

    // Runs InitInstance, the event loop and ExitInstance; the process exit code.
    int Run();

    virtual bool InitInstance() = 0;
    virtual int ExitInstance();

    // The frame that owns the application's windows; null until the first
    // document is shown.
    CFrameWnd* m_pMainWnd = nullptr;
    // How the main window is first shown; the frame may set it from the
    // placement it restores.
    int m_nCmdShow = SW_SHOWNORMAL;

    QString DisplayName() const { return m_strDisplayName; }
    Profile& GetProfile() const;
    const QStringList& RecentFiles() const;
    void AddToRecentFileList(const QString& path);
    CSingleDocTemplate* DocTemplate() const { return m_pDocTemplate.get(); }

    // The framework's file commands.
    void OnFileNew();
    void OnFileOpen();
    void OpenRecentFile(int index);
    CDocument* OpenDocumentFile(const QString& path);

protected:
    // The profile lives under HKEY_CURRENT_USER\Software\<company>\<display name>.
    void SetRegistryKey(const QString& company);
    void LoadStdProfileSettings(int recentFileCount);
    void AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate);
    // A file argument opens it; none runs New. False when that failed.
    bool ProcessShellCommand(const QStringList& arguments);

private:
    QString m_strDisplayName;
    // One object for the run: the recent-file list keeps a reference to it.
    std::unique_ptr<Profile> m_pProfile;
    std::unique_ptr<CRecentFileList> m_pRecentFileList;
    std::unique_ptr<CSingleDocTemplate> m_pDocTemplate;
};

CWinApp* AfxGetApp();
CFrameWnd* AfxGetMainWnd();

} // namespace framework
