#pragma once

#include <QString>
#include <QStringList>

namespace framework {
class Profile;
}
namespace platform {
class Registry;
enum class RootKey;
} // namespace platform

// The web browsers the Web Browser dialog shows: those installed on the
// machine, found once at construction, and the user's own list in the
// profile section "Specify Browser" (slots Name<k>/Path<k>, k from 1 to
// BrowserNum; a slot with an empty name is free; slots are never removed).
class CBrowserList {
public:
    explicit CBrowserList(framework::Profile& profile);
    CBrowserList(framework::Profile& profile, platform::Registry& registry);
    virtual ~CBrowserList() = default;

    int GetInstalledCount() const { return m_nInstalledCount; }
    QString GetInstalledName(int nIndex) const;
    QString GetInstalledPath(int nIndex) const;

    void LoadSpecifiedBrowsers();
    bool AddSpecifiedBrowser(const QString& strPath, const QString& strName);
    bool DeleteSpecifiedBrowser(const QString& strName);
    int GetSpecifiedCount() const { return m_nSpecifiedCount; }
    QString GetSpecifiedName(int nIndex) const;

    // A registry string, or empty on any failure; one that needs more than
    // 512 bytes with its terminating zero counts as absent.
    QString ReadRegistryString(platform::RootKey root, const QString& strKey,
                               const QString& strValue) const;
    bool WriteBrowserEntry(const QString& strSection, const QString& strEntry,
                           const QString& strValue);

    QString m_strNetscapeVersion;
    QStringList m_arrNetscape40xPaths;
    QStringList m_arrNetscape4xPaths;
    QStringList m_arrInstalledPaths;
    QStringList m_arrInstalledNames;
    int m_nInstalledCount = 0;
    int m_nSpecifiedCount = 0;
    QStringList m_arrSpecifiedNames;
    QStringList m_arrSpecifiedPaths;

private:
    void DiscoverInstalledBrowsers();
    void addInstalled(const QString& strName, const QString& strPath);
    QString FindInternetExplorer() const;
    QString FindNetscapeCommunicator();
    QString FindNetscapeNavigator3() const;
    QString FindOpera() const;
    QString FindHotJava() const;
    int browserNum() const;
    QString slotValue(const char* kind, int k) const;

    framework::Profile& m_profile;
    platform::Registry& m_registry;
};
