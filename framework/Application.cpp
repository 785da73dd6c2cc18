#include "framework/Application.h"

#include "framework/DocTemplate.h"
#include "framework/Document.h"
#include "framework/ErrorReport.h"
#include "framework/FrameWindow.h"
#include "framework/Profile.h"
#include "framework/Prompts.h"
#include "framework/RecentFileList.h"

#include "platform/Registry.h"

#include <QApplication>
#include <QFileInfo>

namespace framework {

namespace {
CWinApp* g_app = nullptr;
}

CWinApp* AfxGetApp() {
    return g_app;
}
CFrameWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

CWinApp::CWinApp(QString displayName) : m_strDisplayName(std::move(displayName)) {
    g_app = this;
    // Until SetRegistryKey names the company.
    m_pProfile =
        std::make_unique<Profile>(platform::Registry::instance(), QString(), m_strDisplayName);
    OnCommand(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommand(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommand(ID_APP_EXIT, [this] {
        if (m_pMainWnd) m_pMainWnd->close();
    });
    for (int i = 0; i < kRecentFileCount; ++i)
        OnCommand(ID_FILE_MRU_FILE1 + i, [this, i] { OpenRecentFile(i); });
}

CWinApp::~CWinApp() {
    m_pMainWnd = nullptr;
    m_pDocTemplate.reset();
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    if (!InitInstance()) {
        m_pDocTemplate.reset();
        m_pMainWnd = nullptr;
        ExitInstance();
        return 1;
    }
    QApplication::exec();
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return 0;
}

Profile& CWinApp::GetProfile() const {
    return *m_pProfile;
}

const QStringList& CWinApp::RecentFiles() const {
    static const QStringList none;
    return m_pRecentFileList ? m_pRecentFileList->Files() : none;
}

void CWinApp::AddToRecentFileList(const QString& path) {
    if (m_pRecentFileList) m_pRecentFileList->Add(path);
}

void CWinApp::SetRegistryKey(const QString& company) {
    m_pProfile->SetCompany(company);
    // A list read before the key was set came from the wrong place.
    if (m_pRecentFileList) m_pRecentFileList->ReadList();
}

void CWinApp::LoadStdProfileSettings(int recentFileCount) {
    m_pRecentFileList = std::make_unique<CRecentFileList>(*m_pProfile, recentFileCount);
    m_pRecentFileList->ReadList();
}

void CWinApp::AddDocTemplate(std::unique_ptr<CSingleDocTemplate> docTemplate) {
    m_pDocTemplate = std::move(docTemplate);
}

CDocument* CWinApp::OpenDocumentFile(const QString& path) {
    return m_pDocTemplate ? m_pDocTemplate->OpenDocumentFile(path) : nullptr;
}

void CWinApp::OnFileNew() {
    OpenDocumentFile({});
}

void CWinApp::OnFileOpen() {
    if (!m_pDocTemplate) return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Open;
    request.filter = m_pDocTemplate->FileFilter();
    const auto path = Prompts::instance().FileDialog(request);
    if (path) OpenDocumentFile(*path);
}

void CWinApp::OpenRecentFile(int index) {
    const QString path = RecentFiles().value(index);
    if (path.isEmpty()) return;
    if (!QFileInfo::exists(path)) {
        // A file that went away leaves the list, as the user would expect.
        AfxMessageBox("Cannot open " + path + ": the file does not exist.");
        m_pRecentFileList->Remove(index);
        return;
    }
    OpenDocumentFile(path);
}

bool CWinApp::ProcessShellCommand(const QStringList& arguments) {
    QString file;
    for (const QString& argument : arguments)
        if (!argument.startsWith(QLatin1Char('-'))) file = argument;
    bool ok = false;
    RunReportingErrors([&] { ok = OpenDocumentFile(file) != nullptr; });
    return ok;
}

} // namespace framework
