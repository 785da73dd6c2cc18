#include "platform/Registry.h"

#include "platform/Hive.h"

#include <QDir>

#include <algorithm>

namespace platform {

namespace {

const QStringList classesPath{QStringLiteral("Software"), QStringLiteral("Classes")};

// Leading, trailing and doubled separators name no key of their own.
QStringList splitPath(const QString& path) {
    return path.split(u'\\', Qt::SkipEmptyParts);
}

// Lone surrogates cannot be stored in a hive file.
bool isText(const QString& s) {
    return QStringView(s).isValidUtf16();
}

QStringList sortedCaseInsensitive(QStringList names) {
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

struct Place {
    Hive* hive;
    QStringList path;
};

// Where a key of `root` is looked for, per-user classes before machine classes.
std::vector<Place> readPlaces(Hive& currentUser, Hive& localMachine, RootKey root,
                              const QString& path) {
    const QStringList names = splitPath(path);
    switch (root) {
    case RootKey::ClassesRoot:
        return {{&currentUser, classesPath + names}, {&localMachine, classesPath + names}};
    case RootKey::CurrentUser:
        return {{&currentUser, names}};
    case RootKey::LocalMachine:
        return {{&localMachine, names}};
    }
    return {};
}

QStringList writePath(RootKey root, const QString& path) {
    return root == RootKey::ClassesRoot ? classesPath + splitPath(path) : splitPath(path);
}

} // namespace

QString rootKeyName(RootKey root) {
    switch (root) {
    case RootKey::ClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case RootKey::CurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    case RootKey::LocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    }
    return {};
}

QString configFolder() {
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : xdg;
}

Registry::Registry(const QString& folder)
    : m_folder(folder),
      m_currentUser(std::make_unique<Hive>(folder, rootKeyName(RootKey::CurrentUser))),
      m_localMachine(std::make_unique<Hive>(folder, rootKeyName(RootKey::LocalMachine))) {}

Registry::~Registry() = default;

Registry& Registry::instance() {
    static Registry registry(configFolder() + QStringLiteral("/Mirovasta/registry"));
    return registry;
}

// The hive that writes under `root` go to; HKEY_CLASSES_ROOT writes per user.
Hive& Registry::hive(RootKey root) const {
    return root == RootKey::LocalMachine ? *m_localMachine : *m_currentUser;
}

bool Registry::keyExists(RootKey root, const QString& path) const {
    if (splitPath(path).isEmpty()) return true;
    bool found = false;
    for (const Place& place : readPlaces(*m_currentUser, *m_localMachine, root, path)) {
        place.hive->read([&](const HiveKey& top) { found = top.find(place.path) != nullptr; });
        if (found) return true;
    }
    return false;
}

std::optional<QString> Registry::readString(RootKey root, const QString& path,
                                            const QString& valueName) const {
    std::optional<QString> result;
    for (const Place& place : readPlaces(*m_currentUser, *m_localMachine, root, path)) {
        place.hive->read([&](const HiveKey& top) {
            if (const HiveKey* key = top.find(place.path))
                if (const HiveValue* value = key->value(valueName)) result = value->data;
        });
        if (result) break;
    }
    return result;
}

QStringList Registry::subKeyNames(RootKey root, const QString& path) const {
    return mergedNames(root, path, [](const HiveKey& key) {
        QStringList names;
        for (const HiveKey& sub : key.subKeys)
            names.append(sub.name);
        return names;
    });
}

QStringList Registry::valueNames(RootKey root, const QString& path) const {
    return mergedNames(root, path, [](const HiveKey& key) {
        QStringList names;
        for (const HiveValue& value : key.values)
            names.append(value.name);
        return names;
    });
}

// The names `namesOf` gives for the key in every place it is read from, the
// first spelling of each kept, sorted.
QStringList Registry::mergedNames(RootKey root, const QString& path,
                                  const std::function<QStringList(const HiveKey&)>& namesOf) const {
    QStringList names;
    for (const Place& place : readPlaces(*m_currentUser, *m_localMachine, root, path)) {
        place.hive->read([&](const HiveKey& top) {
            if (const HiveKey* key = top.find(place.path))
                for (const QString& name : namesOf(*key))
                    if (!names.contains(name, Qt::CaseInsensitive)) names.append(name);
        });
    }
    return sortedCaseInsensitive(names);
}

bool Registry::writeString(RootKey root, const QString& path, const QString& valueName,
                           const QString& value) {
    return apply(root, RegistryChange().writeString(path, valueName, value));
}

bool Registry::createKey(RootKey root, const QString& path) {
    const QStringList names = writePath(root, path);
    return hive(root).modify([&](HiveKey& top) { return top.create(names) != nullptr; });
}

bool Registry::deleteValue(RootKey root, const QString& path, const QString& valueName) {
    const QStringList names = writePath(root, path);
    return hive(root).modify([&](HiveKey& top) {
        HiveKey* key = top.find(names);
        return key && key->removeValue(valueName);
    });
}

bool Registry::deleteKey(RootKey root, const QString& path) {
    // A root key, the classes root included, cannot be deleted.
    if (splitPath(path).isEmpty()) return false;
    QStringList names = writePath(root, path);
    const QString last = names.takeLast();
    return hive(root).modify([&](HiveKey& top) {
        HiveKey* parent = top.find(names);
        return parent && parent->removeSubKey(last);
    });
}

RegistryChange& RegistryChange::writeString(const QString& path, const QString& valueName,
                                            const QString& value) {
    m_steps.push_back({Step::Write, path, valueName, value});
    return *this;
}

RegistryChange& RegistryChange::deleteKey(const QString& path) {
    m_steps.push_back({Step::RemoveKey, path, {}, {}});
    return *this;
}

bool Registry::apply(RootKey root, const RegistryChange& change) {
    for (const RegistryChange::Step& step : change.m_steps) {
        if (step.kind == RegistryChange::Step::Write &&
            (!isText(step.valueName) || !isText(step.value)))
            return false;
        if (step.kind == RegistryChange::Step::RemoveKey && splitPath(step.path).isEmpty())
            return false;
    }
    return hive(root).modify([&](HiveKey& top) {
        for (const RegistryChange::Step& step : change.m_steps) {
            QStringList names = writePath(root, step.path);
            if (step.kind == RegistryChange::Step::Write) {
                HiveKey* key = top.create(names);
                if (!key) return false;
                key->setValue(step.valueName, step.value);
            } else {
                const QString last = names.takeLast();
                if (HiveKey* parent = top.find(names)) parent->removeSubKey(last);
            }
        }
        return true;
    });
}

QStringList Registry::corruptHives() const {
    QStringList reports;
    for (Hive* hive : {m_currentUser.get(), m_localMachine.get()})
        if (const std::optional<QString> why = hive->corruption())
            reports.append(hive->filePath() + QStringLiteral(": ") + *why);
    return reports;
}

QString Registry::folder() const {
    return m_folder;
}

} // namespace platform
