#pragma once

#include <QStringList>

namespace framework {

class Profile;

// Most recently used files, newest first, kept in the profile section
// "Recent File List" as File1, File2, ...
class CRecentFileList {
public:
    CRecentFileList(Profile& profile, int size);

    void ReadList();
    void WriteList();
    void Add(const QString& path);
    void Remove(int index);
    const QStringList& Files() const { return m_arrNames; }

private:
    Profile& m_profile;
    int m_nSize;
    QStringList m_arrNames;
};

} // namespace framework
