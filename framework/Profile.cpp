#include "framework/Profile.h"

#include "platform/Registry.h"

#include <QRegularExpression>

namespace framework {

using platform::RootKey;

Profile::Profile(platform::Registry& registry, const QString& company, QString application)
    : m_registry(registry), m_strApplication(std::move(application)) {
    SetCompany(company);
}

void Profile::SetCompany(const QString& company) {
    m_strRoot = "Software\\" + company + "\\" + m_strApplication;
}

QString Profile::key(const QString& section) const {
    return m_strRoot + "\\" + section;
}

QString Profile::GetProfileString(const QString& section, const QString& entry,
                                  const QString& defaultValue) const {
    return m_registry.readString(RootKey::CurrentUser, key(section), entry).value_or(defaultValue);
}

int Profile::GetProfileInt(const QString& section, const QString& entry, int defaultValue) const {
    const auto text = m_registry.readString(RootKey::CurrentUser, key(section), entry);
    if (!text) return defaultValue;
    static const QRegularExpression leadingNumber(QStringLiteral("^\\s*([+-]?\\d+)"));
    const auto match = leadingNumber.match(*text);
    bool ok = false;
    const int value = match.hasMatch() ? match.captured(1).toInt(&ok) : 0;
    return ok ? value : defaultValue;
}

bool Profile::WriteProfileString(const QString& section, const QString& entry,
                                 const QString& value) {
    return m_registry.writeString(RootKey::CurrentUser, key(section), entry, value);
}

bool Profile::WriteProfileInts(const QString& section,
                               const QVector<QPair<QString, int>>& entries) {
    platform::RegistryChange change;
    for (const auto& [entry, value] : entries)
        change.writeString(key(section), entry, QString::number(value));
    return m_registry.apply(RootKey::CurrentUser, change);
}

bool Profile::WriteProfileInt(const QString& section, const QString& entry, int value) {
    return WriteProfileString(section, entry, QString::number(value));
}

} // namespace framework
