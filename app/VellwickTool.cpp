#include "app/VellwickTool.h"

#include "app/AboutDlg.h"
#include "app/MainFrm.h"
#include "controls/ControlClasses.h"
#include "framework/DocTemplate.h"
#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "output/VellwickToolView.h"
#include "output/publishing/PreviewFiles.h"
#include "platform/Components.h"
#include "platform/SafeFile.h"
#include "res/Resource.h"
#include "widget/VellwickToolDoc.h"

#include <QCoreApplication>
#include <QDir>

using namespace framework;

namespace {
// Installed before the base class reads the display name.
QString loadDisplayName() {
    InstallStringTable();
    InstallBitmaps();
    RegisterControlClasses();
    return LoadString(AFX_IDS_APP_TITLE);
}
} // namespace

CVellwickToolApp::CVellwickToolApp(QString appFolder)
    : CWinApp(loadDisplayName()),
      m_strAppFolder(appFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                         : std::move(appFolder)) {
    SetScratchFolder(m_strAppFolder + "/tmp");
    OnCommand(ID_APP_ABOUT, [this] { OnAppAbout(); });
}

bool CVellwickToolApp::InitInstance() {
    QString problem;
    if (!platform::CoInitialize(&problem)) {
        AfxMessageBox(LoadString(IDP_OLE_INIT_FAILED));
        return false;
    }
    if (!problem.isEmpty()) AfxMessageBox(problem);

    SetRegistryKey(QStringLiteral("Mirovasta"));

    // A file named on the command line is relative to where the user started
    // the program, not to the working folder it moves to.
    const QDir startFolder = QDir::current();
    QStringList arguments = QCoreApplication::arguments().mid(1);
    for (QString& argument : arguments)
        if (!argument.startsWith(QLatin1Char('-')))
            argument = startFolder.absoluteFilePath(argument);
    QDir::setCurrent(m_strAppFolder + "/My Widget");

    LoadStdProfileSettings(kRecentFileCount);
    AddDocTemplate(std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CVellwickToolDoc>(); },
        [] { return std::make_unique<CMainFrame>(); }, [] { return new CVellwickToolView; }));

    if (!ProcessShellCommand(arguments)) return false;

    m_pMainWnd->ShowWindow(m_nCmdShow);
    return true;
}

void CVellwickToolApp::OnAppAbout() {
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}

int CVellwickToolApp::ExitInstance() {
    // The previews' folders are the program's own; any other sub-folder is
    // the user's and keeps the folder alive, as wanted.
    RemovePreviewFolders();
    QDir tmp(m_strAppFolder + "/tmp");
    for (const QString& name : tmp.entryList(QDir::Files | QDir::Hidden | QDir::System))
        platform::RemoveFile(tmp.filePath(name)); // one in use stays, as it may
    QDir(m_strAppFolder).rmdir(QStringLiteral("tmp"));
    return CWinApp::ExitInstance();
}
