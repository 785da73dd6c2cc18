#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

enum class RootKey { ClassesRoot, CurrentUser, LocalMachine };

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
QString rootKeyName(RootKey root);

class Hive;
struct HiveKey;

// Writes and key removals under one root, made by Registry::apply as one
// change of its hive: all of them, or none when one cannot be made. A key
// to remove that is not there is no failure.
class RegistryChange {
public:
    RegistryChange& writeString(const QString& path, const QString& valueName,
                                const QString& value);
    RegistryChange& deleteKey(const QString& path);

private:
    friend class Registry;
    struct Step {
        enum Kind { Write, RemoveKey } kind;
        QString path, valueName, value;
    };
    std::vector<Step> m_steps;
};

// Keys and string values with the semantics of the Windows registry: key
// paths separated by backslashes, key and value names compared without
// regard to letter case and stored as first written, the empty value name
// for a key's default value. HKEY_CLASSES_ROOT is a merged view of
// HKEY_CURRENT_USER\Software\Classes over HKEY_LOCAL_MACHINE\Software\Classes;
// writes through it go to the per-user classes.
//
// Each of the two real roots is a hive file in the registry folder, re-read
// when another process changed it and rewritten whole (write beside, then
// rename) under a lock file, so two running instances never lose each
// other's changes. A hive file that cannot be parsed is reported by
// corruptHives(), reads as empty, refuses writes and is never overwritten.
class Registry {
public:
    // Hives kept as files in `folder`; an empty folder keeps them in memory.
    explicit Registry(const QString& folder = {});
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The process-wide registry, in the user's configuration folder
    // (configFolder() + "/Mirovasta/registry"), opened on first use.
    static Registry& instance();

    bool keyExists(RootKey root, const QString& path) const;
    std::optional<QString> readString(RootKey root, const QString& path,
                                      const QString& valueName) const;
    // Creates the key and its parents as needed.
    bool writeString(RootKey root, const QString& path, const QString& valueName,
                     const QString& value);
    bool createKey(RootKey root, const QString& path);
    bool deleteValue(RootKey root, const QString& path, const QString& valueName);
    // Removes the key with all its subkeys.
    bool deleteKey(RootKey root, const QString& path);
    bool apply(RootKey root, const RegistryChange& change);
    QStringList subKeyNames(RootKey root, const QString& path) const;
    QStringList valueNames(RootKey root, const QString& path) const;

    // Files of hives that could not be read, each with the reason.
    QStringList corruptHives() const;
    QString folder() const;

private:
    Hive& hive(RootKey root) const;
    QStringList mergedNames(RootKey root, const QString& path,
                            const std::function<QStringList(const HiveKey&)>& namesOf) const;

    QString m_folder;
    std::unique_ptr<Hive> m_currentUser;
    std::unique_ptr<Hive> m_localMachine;
};

// The user's configuration folder: XDG_CONFIG_HOME, else ~/.config.
QString configFolder();

} // namespace platform
