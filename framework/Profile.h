#pragma once

#include <QPair>
#include <QString>
#include <QVector>

namespace platform {
class Registry;
}

namespace framework {

// The application's per-user settings: HKEY_CURRENT_USER\Software\<company>\<application>,
// one key per section, string values; integers are stored as decimal text.
class Profile {
public:
    Profile(platform::Registry& registry, const QString& company, QString application);

    // Moves the profile under another company key; the object stays the
    // same, so whoever holds it follows.
    void SetCompany(const QString& company);

    QString GetProfileString(const QString& section, const QString& entry,
                             const QString& defaultValue = {}) const;
    // The leading decimal integer of the stored text; `defaultValue` when the
    // entry is absent or holds no number.
    int GetProfileInt(const QString& section, const QString& entry, int defaultValue) const;
    bool WriteProfileString(const QString& section, const QString& entry, const QString& value);
    bool WriteProfileInt(const QString& section, const QString& entry, int value);
    // Several entries of a section as one change: all of them or none.
    bool WriteProfileInts(const QString& section, const QVector<QPair<QString, int>>& entries);

    QString key(const QString& section) const;

private:
    platform::Registry& m_registry;
    QString m_strApplication;
    QString m_strRoot;
};

} // namespace framework
