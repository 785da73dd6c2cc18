#include "framework/RecentFileList.h"

#include "framework/Profile.h"

namespace framework {

namespace {
const QString kSection = QStringLiteral("Recent File List");
QString entry(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}
} // namespace

CRecentFileList::CRecentFileList(Profile& profile, int size) : m_profile(profile), m_nSize(size) {}

void CRecentFileList::ReadList() {
    m_arrNames.clear();
    for (int i = 0; i < m_nSize; ++i) {
        const QString path = m_profile.GetProfileString(kSection, entry(i));
        if (!path.isEmpty() && !m_arrNames.contains(path)) m_arrNames.append(path);
    }
}

void CRecentFileList::WriteList() {
    for (int i = 0; i < m_nSize; ++i)
        m_profile.WriteProfileString(kSection, entry(i), m_arrNames.value(i));
}

void CRecentFileList::Add(const QString& path) {
    m_arrNames.removeAll(path);
    m_arrNames.prepend(path);
    while (m_arrNames.size() > m_nSize)
        m_arrNames.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int index) {
    if (index < 0 || index >= m_arrNames.size()) return;
    m_arrNames.removeAt(index);
    WriteList();
}

} // namespace framework
