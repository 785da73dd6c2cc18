#include "widget/Tavolet.h"

#include "framework/Prompts.h"
#include "framework/StringTable.h"
#include "platform/Components.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/SafeFile.h"

#include "res/Resource.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

using platform::Registry;
using platform::RootKey;

namespace {
bool fail(QString* whyNot, const QString& why) {
    if (whyNot) *whyNot = why;
    return false;
}
} // namespace

QString WhyServerSaveFailed(const QString& path) {
    const QString why = platform::WhyNotWritable(path);
    return why.isEmpty() ? QStringLiteral("The widget server could not write the file.") : why;
}

bool CTavolet::CreateFromProgID(const QString& progId, QString* whyNot) {
    const auto clsid = platform::CLSIDFromProgID(progId);
    if (!clsid) return fail(whyNot, "No widget server is registered as " + progId + ".");
    return CreateFromCLSID(*clsid, whyNot);
}

bool CTavolet::CreateFromCLSID(const QUuid& clsid, QString* whyNot) {
    const auto progId = platform::ProgIDFromCLSID(clsid);
    if (!progId)
        return fail(whyNot, "The class " + platform::StringFromCLSID(clsid) + " has no ProgID.");
    m_strProgID = *progId;
    m_clsid = clsid;

    const QString classKey = "CLSID\\" + platform::StringFromCLSID(clsid);
    Registry& registry = Registry::instance();
    if (!registry.keyExists(RootKey::ClassesRoot, classKey))
        return fail(whyNot, "The class " + classKey + " is not registered.");

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

    QString why;
    if (!m_dispatch.IsValid() && !m_dispatch.CreateDispatch(clsid, &why)) {
        framework::AfxMessageBox("Create Dispatch of the " + m_strProgID + " Error!", why);
        return fail(whyNot, why);
    }

    m_strTitle =
        platform::LoadModuleString(m_dispatch.ResourceModule(), m_dispatch.TitleStringID());
    m_dispatch.SetName(QStringLiteral("Normal"));
    m_dispatch.SetDescription(QString());
    return true;
}

QList<TemplateEntry> CTavolet::ListTemplates() {
    QList<TemplateEntry> entries;
    if (m_strServerFolder.isEmpty()) return entries;
    const QDir folder(m_strServerFolder);
    const QStringList files =
        folder.entryList({"*." + framework::LoadString(IDS_TVT_EXT)}, QDir::Files, QDir::Unsorted);
    for (const QString& file : files) {
        const QString path = folder.filePath(file);
        // A file the server cannot read would be judged by the previous
        // file's state; it is no template.
        if (!m_dispatch.LoadFromFile(path)) continue;
        if (m_dispatch.OwnerProgID() != m_strProgID) continue;
        entries.append({m_dispatch.Name(), m_dispatch.Description(), path});
    }
    // Twins by name keep one order from run to run: by file.
    std::sort(entries.begin(), entries.end(), [](const TemplateEntry& a, const TemplateEntry& b) {
        const int byName = a.strName.compare(b.strName, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.strPath < b.strPath;
    });
    return entries;
}
