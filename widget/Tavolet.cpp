#include "widget/Tavolet.h"

#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "platform/Components.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

#include "res/Resource.h"

#include <QDir>
#include <QFileInfo>

using platform::Registry;
using platform::RootKey;

bool CTavolet::CreateFromProgID(const QString& progId) {
    const auto clsid = platform::CLSIDFromProgID(progId);
    return clsid && CreateFromCLSID(*clsid);
}

bool CTavolet::CreateFromCLSID(const QUuid& clsid) {
    const auto progId = platform::ProgIDFromCLSID(clsid);
    if (!progId) return false;
    m_strProgID = *progId;
    m_clsid = clsid;

    const QString classKey = "CLSID\\" + platform::StringFromCLSID(clsid);
    Registry& registry = Registry::instance();
    if (!registry.keyExists(RootKey::ClassesRoot, classKey)) return false;

    // A registration without a library path leaves the server folder empty:
    // no templates and no sample page, but the server may still be in-process.
    const QString library =
        registry.readString(RootKey::ClassesRoot, classKey + "\\InprocServer32", {})
            .value_or(QString());
    m_strServerFolder = platform::FolderOfPath(library);
    m_strSamplePage.clear();
    if (!library.isEmpty() && QFileInfo(library).isFile()) {
        const QString sample = m_strServerFolder + "/Sample/sample.htm";
        if (QFileInfo(sample).isFile()) m_strSamplePage = sample;
    }

    if (!m_dispatch.IsValid() && !m_dispatch.CreateDispatch(clsid)) {
        framework::AfxMessageBox("Create Dispatch of the " + m_strProgID + " Error!");
        return false;
    }

    m_strTitle =
        platform::LoadModuleString(m_dispatch.ResourceModule(), m_dispatch.TitleStringID());
    m_dispatch.SetName(QStringLiteral("Normal"));
    m_dispatch.SetDescription(QString());
    return true;
}

void CTavolet::ListTemplates(QStringList& names, QStringList& descriptions, QStringList& paths) {
    names.clear();
    descriptions.clear();
    paths.clear();
    if (m_strServerFolder.isEmpty()) return;
    const QDir folder(m_strServerFolder);
    const QStringList files =
        folder.entryList({"*." + framework::LoadString(IDS_TVT_EXT)}, QDir::Files, QDir::Unsorted);
    for (const QString& file : files) {
        const QString path = folder.filePath(file);
        // A file the server cannot read would be judged by the previous
        // file's state; it is no template.
        if (!m_dispatch.LoadFromFile(path)) continue;
        if (m_dispatch.OwnerProgID() != m_strProgID) continue;
        names.append(m_dispatch.Name());
        descriptions.append(m_dispatch.Description());
        paths.append(path);
    }
}
