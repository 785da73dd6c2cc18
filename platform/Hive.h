#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <optional>
#include <vector>

namespace platform {

struct HiveValue {
    QString name;
    QString data;

    bool operator==(const HiveValue&) const = default;
};

// One key of a hive. Names compare without regard to case and keep the
// spelling they were first written with; both lists stay sorted by name so
// that lookups are binary searches and two equal trees compare equal.
struct HiveKey {
    QString name;
    std::vector<HiveValue> values;
    std::vector<HiveKey> subKeys;

    const HiveKey* subKey(QStringView keyName) const;
    HiveKey* subKey(QStringView keyName);
    // The existing subkey of that name, or a new one spelled `keyName`.
    HiveKey& addSubKey(const QString& keyName);
    bool removeSubKey(QStringView keyName);

    const HiveValue* value(QStringView valueName) const;
    void setValue(const QString& valueName, const QString& data);
    bool removeValue(QStringView valueName);

    // Walks `path` (key names below this key); null where a key is missing.
    const HiveKey* find(const QStringList& path) const;
    HiveKey* find(const QStringList& path);
    // Walks `path` creating missing keys; null if a name or the depth is not
    // allowed, in which case nothing was created.
    HiveKey* create(const QStringList& path);

    bool operator==(const HiveKey&) const = default;
};

// A tree of keys and string values, kept in memory and, given a folder,
// in the file folder/<name>.hive. See Hive.cpp for the file format.
class Hive {
public:
    static constexpr int formatVersion = 1;
    static constexpr qint64 maxFileBytes = qint64(16) << 20;
    // Levels of keys below the root: near the 512 of Windows, but each level
    // takes two of the 1024 levels of nesting that QJsonDocument reads.
    static constexpr int maxDepth = 500;
    static constexpr int maxKeyNameLength = 255;

    // Reads hive file bytes; on failure says why. Never trusts its input.
    static std::optional<HiveKey> parse(const QByteArray& bytes, QString* why = nullptr);
    static QByteArray serialize(const HiveKey& root);
    static bool isValidKeyName(const QString& name);

    // An empty folder keeps the hive in memory only: no file, no lock.
    Hive(const QString& folder, const QString& name);
    ~Hive();
    Hive(const Hive&) = delete;
    Hive& operator=(const Hive&) = delete;

    // Calls `reader` with the current tree, re-read first if the file changed.
    void read(const std::function<void(const HiveKey&)>& reader);
    // Applies `change` to the tree and stores it; `change` returns false to
    // give up, leaving everything as it was. False too if the hive cannot be
    // stored or its file is corrupt.
    bool modify(const std::function<bool(HiveKey&)>& change);

    // Why the file could not be read, if it could not.
    std::optional<QString> corruption();
    QString filePath() const;

private:
    // What tells one version of the file from the next without reading it.
    struct FileStamp {
        int error = 0; // errno of stat(); ENOENT when there is no file
        qint64 device = 0, inode = 0, size = 0, modifiedNs = 0, changedNs = 0;
        bool operator==(const FileStamp&) const = default;
    };

    static FileStamp stampOf(const QString& path, int fd = -1);
    void refresh(bool force);
    void markCorrupt(const FileStamp& stamp, const QString& why);

    QString m_folder;
    QString m_filePath;
    QString m_lockPath;

    QMutex m_mutex;
    HiveKey m_root;
    bool m_loaded = false;
    FileStamp m_stamp{};
    std::optional<QString> m_corrupt;
};

} // namespace platform
