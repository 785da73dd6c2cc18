#include "browsers/BrowserList.h"

#include "browsers/DesktopBrowsers.h"
#include "framework/Profile.h"
#include "framework/Prompts.h"
#include "platform/Registry.h"

#include <QFileInfo>

using framework::AfxMessageBox;
using platform::RootKey;

namespace {

const QString kSection = QStringLiteral("Specify Browser");
const QString kAppPaths =
    QStringLiteral("SOFTWARE\\Microsoft\\windows\\CurrentVersion\\App Paths\\");
const QString kNavigator = QStringLiteral("SOFTWARE\\Netscape\\Netscape Navigator");
const QString kCommunicator = QStringLiteral("Netscape Communicator ");
const QString kNetscapeExe = QStringLiteral("\\Program\\Netscape.exe");
const QString kEmpty = QStringLiteral("empty");
constexpr int kValueBuffer = 512;

} // namespace

CBrowserList::CBrowserList(framework::Profile& profile)
    : CBrowserList(profile, platform::Registry::instance()) {}

CBrowserList::CBrowserList(framework::Profile& profile, platform::Registry& registry)
    : m_profile(profile), m_registry(registry) {
    DiscoverInstalledBrowsers();
}

QString CBrowserList::GetInstalledName(int nIndex) const {
    return nIndex >= 0 && nIndex < m_arrInstalledNames.size() ? m_arrInstalledNames[nIndex]
                                                              : QString();
}

QString CBrowserList::GetInstalledPath(int nIndex) const {
    return nIndex >= 0 && nIndex < m_arrInstalledPaths.size() ? m_arrInstalledPaths[nIndex]
                                                              : QString();
}

QString CBrowserList::GetSpecifiedName(int nIndex) const {
    return nIndex >= 0 && nIndex < m_arrSpecifiedNames.size() ? m_arrSpecifiedNames[nIndex]
                                                              : QString();
}

QString CBrowserList::ReadRegistryString(RootKey root, const QString& strKey,
                                         const QString& strValue) const {
    const auto value = m_registry.readString(root, strKey, strValue);
    if (!value) return {};
    // The text as the ANSI buffer held it: up to its first zero byte.
    QString text = value->left(value->indexOf(QChar(u'\0')));
    if (text.toUtf8().size() + 1 > kValueBuffer) return {};
    return text;
}

bool CBrowserList::WriteBrowserEntry(const QString& strSection, const QString& strEntry,
                                     const QString& strValue) {
    return m_profile.WriteProfileString(strSection, strEntry, strValue);
}

void CBrowserList::addInstalled(const QString& strName, const QString& strPath) {
    m_arrInstalledPaths.append(strPath);
    m_arrInstalledNames.append(strName);
    ++m_nInstalledCount;
}

void CBrowserList::DiscoverInstalledBrowsers() {
    if (const QString path = FindInternetExplorer(); !path.isEmpty())
        addInstalled(QStringLiteral("Internet Explorer"), path);
    if (const QString path = FindNetscapeCommunicator(); !path.isEmpty()) {
        while (m_strNetscapeVersion.endsWith(u' '))
            m_strNetscapeVersion.chop(1);
        addInstalled(kCommunicator + m_strNetscapeVersion, path);
    }
    for (int d = 0; d <= 9; ++d) {
        const QString label = QStringLiteral("4.%1").arg(d);
        if (m_arrNetscape4xPaths[d] != kEmpty && label != m_strNetscapeVersion)
            addInstalled(kCommunicator + label, m_arrNetscape4xPaths[d]);
    }
    for (int d = 1; d <= 9; ++d) {
        const QString label = QStringLiteral("4.0%1").arg(d);
        if (m_arrNetscape40xPaths[d - 1] != kEmpty && label != m_strNetscapeVersion)
            addInstalled(kCommunicator + label, m_arrNetscape40xPaths[d - 1]);
    }
    if (const QString path = FindNetscapeNavigator3(); !path.isEmpty())
        addInstalled(QStringLiteral("Netscape Navigator 3"), path);
    if (const QString path = FindOpera(); !path.isEmpty())
        addInstalled(QStringLiteral("Opera"), path);
    if (const QString path = FindHotJava(); !path.isEmpty())
        addInstalled(QStringLiteral("HotJava"), path);
    // On this platform the keys above are normally absent: the desktop's own
    // browsers are what the user has installed.
    for (const DesktopBrowser& browser : FindDesktopBrowsers())
        addInstalled(browser.name, browser.path);
    LoadSpecifiedBrowsers();
}

QString CBrowserList::FindInternetExplorer() const {
    return ReadRegistryString(RootKey::LocalMachine, kAppPaths + "IEXPLORE.EXE", {});
}

QString CBrowserList::FindOpera() const {
    return ReadRegistryString(RootKey::LocalMachine, kAppPaths + "Opera.EXE", {});
}

QString CBrowserList::FindHotJava() const {
    return ReadRegistryString(RootKey::LocalMachine, kAppPaths + "HotJava.EXE", {});
}

QString CBrowserList::FindNetscapeCommunicator() {
    const auto candidate = [&](const QString& version) {
        const QString folder =
            ReadRegistryString(RootKey::LocalMachine, kNavigator + "\\" + version + " (en)\\Main",
                               "Install Directory");
        return folder.isEmpty() ? kEmpty : folder + kNetscapeExe;
    };
    for (int d = 0; d <= 9; ++d)
        m_arrNetscape4xPaths.append(candidate(QStringLiteral("4.%1").arg(d)));
    for (int d = 1; d <= 9; ++d)
        m_arrNetscape40xPaths.append(candidate(QStringLiteral("4.0%1").arg(d)));

    const QString current = ReadRegistryString(RootKey::LocalMachine, kNavigator, "CurrentVersion");
    if (current.isEmpty()) return {};
    const QString folder = ReadRegistryString(
        RootKey::LocalMachine, kNavigator + "\\" + current + "\\Main", "Install Directory");
    // The text before the blank ahead of the language tag: "4.5 (en)" gives "4.5".
    const qsizetype paren = current.indexOf(u'(');
    m_strNetscapeVersion = current.left(std::max<qsizetype>(paren - 1, 0));
    return folder.isEmpty() ? QString() : folder + kNetscapeExe;
}

QString CBrowserList::FindNetscapeNavigator3() const {
    const QString key = kNavigator + "\\Main";
    const QString folder = ReadRegistryString(RootKey::CurrentUser, key, "Install Directory");
    const QString mozilla = ReadRegistryString(RootKey::CurrentUser, key, "Mozilla");
    if (folder.isEmpty() || !mozilla.contains(QLatin1String("3.0"))) return {};
    const QString path = folder + kNetscapeExe;
    return QFileInfo(path).isFile() ? path : QString();
}

int CBrowserList::browserNum() const {
    return m_profile.GetProfileInt(kSection, QStringLiteral("BrowserNum"), 0);
}

QString CBrowserList::slotValue(const char* kind, int k) const {
    return m_profile.GetProfileString(kSection, QLatin1String(kind) + QString::number(k));
}

void CBrowserList::LoadSpecifiedBrowsers() {
    m_nSpecifiedCount = 0;
    m_arrSpecifiedNames.clear();
    m_arrSpecifiedPaths.clear();
    const int n = browserNum();
    for (int k = 1; k <= n; ++k) {
        const QString path = slotValue("Path", k), name = slotValue("Name", k);
        if (path.isEmpty() || name.isEmpty()) continue;
        m_arrSpecifiedPaths.append(path);
        m_arrSpecifiedNames.append(name);
        ++m_nSpecifiedCount;
    }
}

bool CBrowserList::AddSpecifiedBrowser(const QString& strPath, const QString& strName) {
    if (strName.isEmpty()) {
        AfxMessageBox(QStringLiteral("You must input a name for this browser!"));
        return false;
    }
    const int n = browserNum();
    int slot = 1, count = 1;
    if (n > 0) {
        int freeSlot = 0;
        for (int k = 1; k <= n; ++k) {
            const QString name = slotValue("Name", k);
            if (name == strName) {
                AfxMessageBox(QStringLiteral("Please give a new name to this browser!"));
                return false;
            }
            if (name.isEmpty()) freeSlot = k; // the last free slot wins
        }
        slot = freeSlot ? freeSlot : n + 1;
        count = freeSlot ? n : n + 1;
    }
    const QString k = QString::number(slot);
    if (!WriteBrowserEntry(kSection, QStringLiteral("BrowserNum"), QString::number(count)) ||
        !WriteBrowserEntry(kSection, "Path" + k, strPath) ||
        !WriteBrowserEntry(kSection, "Name" + k, strName))
        return false;
    LoadSpecifiedBrowsers();
    return true;
}

bool CBrowserList::DeleteSpecifiedBrowser(const QString& strName) {
    const int n = browserNum();
    for (int k = 1; k <= n; ++k) {
        if (slotValue("Name", k) != strName) continue;
        const QString slot = QString::number(k);
        if (!WriteBrowserEntry(kSection, "Path" + slot, {}) ||
            !WriteBrowserEntry(kSection, "Name" + slot, {}))
            return false;
        LoadSpecifiedBrowsers();
        return true;
    }
    return false;
}
