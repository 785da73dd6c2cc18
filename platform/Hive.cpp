#include "platform/Hive.h"

#include "platform/SafeFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QLockFile>
#include <QMutexLocker>
#include <QThread>
#include <QtDebug>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <sys/stat.h>

// A hive file is UTF-8 JSON:
//
//   {
//       "format": "Vellwick Glimmerkey registry hive",
//       "version": 1,
//       "root": {
//           "values": { "": "the default value", "Name": "data" },
//           "keys": { "Software": { "keys": { ... } } }
//       }
//   }
//
// A key is an object with an optional "values" object (value name to string)
// and an optional "keys" object (subkey name to key), nothing else. Names
// must differ in more than letter case; key names have 1 to 255 characters
// and no backslash, and keys nest at most maxDepth levels deep. Anything
// else, another format tag, a newer version or a file over maxFileBytes
// makes the whole file unreadable: it is reported and left alone rather than
// half-read and overwritten with what we understood.

namespace platform {

namespace {

const QString formatTag = QStringLiteral("Vellwick Glimmerkey registry hive");
constexpr int lockWaitMs = 5000;

template <typename List> auto lowerBound(List& list, QStringView name) {
    return std::lower_bound(list.begin(), list.end(), name, [](const auto& item, QStringView n) {
        return QStringView(item.name).compare(n, Qt::CaseInsensitive) < 0;
    });
}

template <typename List> auto findByName(List& list, QStringView name) {
    const auto it = lowerBound(list, name);
    if (it != list.end() && QStringView(it->name).compare(name, Qt::CaseInsensitive) == 0)
        return it;
    return list.end();
}

// Sorts by name; false if two names differ only in letter case.
template <typename List> bool sortAndCheckUnique(List& list) {
    std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return std::adjacent_find(list.begin(), list.end(), [](const auto& a, const auto& b) {
               return a.name.compare(b.name, Qt::CaseInsensitive) == 0;
           }) == list.end();
}

// Lone surrogates would not survive being written out as UTF-8.
bool isText(const QString& s) {
    return QStringView(s).isValidUtf16();
}

bool fail(QString* why, const QString& reason) {
    if (why) *why = reason;
    return false;
}

bool readKey(const QJsonObject& object, HiveKey& key, int depth, QString* why) {
    for (auto member = object.begin(); member != object.end(); ++member) {
        const QJsonValue content = member.value();
        if (member.key() == u"values") {
            if (!content.isObject())
                return fail(
                    why, QStringLiteral("\"values\" of key \"%1\" is not an object").arg(key.name));
            const QJsonObject values = content.toObject();
            key.values.reserve(values.size());
            for (auto v = values.begin(); v != values.end(); ++v) {
                if (!v.value().isString())
                    return fail(why, QStringLiteral("value \"%1\" is not a string").arg(v.key()));
                HiveValue value{v.key(), v.value().toString()};
                if (!isText(value.name) || !isText(value.data))
                    return fail(why, QStringLiteral("value \"%1\" is not valid text").arg(v.key()));
                key.values.push_back(std::move(value));
            }
            if (!sortAndCheckUnique(key.values))
                return fail(why, QStringLiteral("key \"%1\" has two values whose names differ "
                                                "only in letter case")
                                     .arg(key.name));
        } else if (member.key() == u"keys") {
            if (!content.isObject())
                return fail(
                    why, QStringLiteral("\"keys\" of key \"%1\" is not an object").arg(key.name));
            const QJsonObject keys = content.toObject();
            if (!keys.isEmpty() && depth >= Hive::maxDepth)
                return fail(
                    why, QStringLiteral("keys nested deeper than %1 levels").arg(Hive::maxDepth));
            key.subKeys.reserve(keys.size());
            for (auto k = keys.begin(); k != keys.end(); ++k) {
                if (!Hive::isValidKeyName(k.key()))
                    return fail(why, QStringLiteral("\"%1\" is not a key name").arg(k.key()));
                if (!k.value().isObject())
                    return fail(why, QStringLiteral("key \"%1\" is not an object").arg(k.key()));
                HiveKey sub;
                sub.name = k.key();
                if (!readKey(k.value().toObject(), sub, depth + 1, why)) return false;
                key.subKeys.push_back(std::move(sub));
            }
            if (!sortAndCheckUnique(key.subKeys))
                return fail(why, QStringLiteral("key \"%1\" has two subkeys whose names differ "
                                                "only in letter case")
                                     .arg(key.name));
        } else {
            return fail(why, QStringLiteral("key \"%1\" has an unknown member \"%2\"")
                                 .arg(key.name, member.key()));
        }
    }
    return true;
}

QJsonObject writeKey(const HiveKey& key) {
    QJsonObject object;
    if (!key.values.empty()) {
        QJsonObject values;
        for (const HiveValue& value : key.values)
            values.insert(value.name, value.data);
        object.insert(QStringLiteral("values"), values);
    }
    if (!key.subKeys.empty()) {
        QJsonObject keys;
        for (const HiveKey& sub : key.subKeys)
            keys.insert(sub.name, writeKey(sub));
        object.insert(QStringLiteral("keys"), keys);
    }
    return object;
}

// QLockFile::tryLock() with a timeout backs off to seconds between attempts,
// so a busy writer in another instance could starve us; poll briefly instead.
bool lockWithin(QLockFile& lock, int ms) {
    const QDeadlineTimer deadline(ms);
    unsigned long pause = 1;
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) return false;
        QThread::msleep(pause);
        pause = std::min(pause * 2, 50ul);
    }
    return true;
}

qint64 nanoseconds(const timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

} // namespace

const HiveKey* HiveKey::subKey(QStringView keyName) const {
    const auto it = findByName(subKeys, keyName);
    return it == subKeys.end() ? nullptr : &*it;
}

HiveKey* HiveKey::subKey(QStringView keyName) {
    const auto it = findByName(subKeys, keyName);
    return it == subKeys.end() ? nullptr : &*it;
}

HiveKey& HiveKey::addSubKey(const QString& keyName) {
    const auto it = lowerBound(subKeys, keyName);
    if (it != subKeys.end() && it->name.compare(keyName, Qt::CaseInsensitive) == 0) return *it;
    HiveKey key;
    key.name = keyName;
    return *subKeys.insert(it, std::move(key));
}

bool HiveKey::removeSubKey(QStringView keyName) {
    const auto it = findByName(subKeys, keyName);
    if (it == subKeys.end()) return false;
    subKeys.erase(it);
    return true;
}

const HiveValue* HiveKey::value(QStringView valueName) const {
    const auto it = findByName(values, valueName);
    return it == values.end() ? nullptr : &*it;
}

void HiveKey::setValue(const QString& valueName, const QString& data) {
    const auto it = lowerBound(values, valueName);
    if (it != values.end() && it->name.compare(valueName, Qt::CaseInsensitive) == 0)
        it->data = data;
    else
        values.insert(it, HiveValue{valueName, data});
}

bool HiveKey::removeValue(QStringView valueName) {
    const auto it = findByName(values, valueName);
    if (it == values.end()) return false;
    values.erase(it);
    return true;
}

const HiveKey* HiveKey::find(const QStringList& path) const {
    const HiveKey* key = this;
    for (const QString& step : path) {
        key = key->subKey(step);
        if (!key) return nullptr;
    }
    return key;
}

HiveKey* HiveKey::find(const QStringList& path) {
    return const_cast<HiveKey*>(std::as_const(*this).find(path));
}

HiveKey* HiveKey::create(const QStringList& path) {
    if (path.size() > Hive::maxDepth ||
        !std::all_of(path.begin(), path.end(), Hive::isValidKeyName))
        return nullptr;
    HiveKey* key = this;
    for (const QString& step : path)
        key = &key->addSubKey(step);
    return key;
}

bool Hive::isValidKeyName(const QString& name) {
    return !name.isEmpty() && name.size() <= maxKeyNameLength && !name.contains(u'\\') &&
           isText(name);
}

std::optional<HiveKey> Hive::parse(const QByteArray& bytes, QString* why) {
    if (bytes.size() > maxFileBytes) {
        fail(why, QStringLiteral("larger than %1 MiB").arg((maxFileBytes >> 20)));
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        fail(why,
             QStringLiteral("not JSON (%1 at byte %2)").arg(error.errorString()).arg(error.offset));
        return std::nullopt;
    }
    if (!document.isObject()) {
        fail(why, QStringLiteral("not a JSON object"));
        return std::nullopt;
    }
    const QJsonObject top = document.object();
    if (top.value(u"format") != formatTag) {
        fail(why, QStringLiteral("not a registry hive (format tag missing or wrong)"));
        return std::nullopt;
    }
    const QJsonValue version = top.value(u"version");
    if (!version.isDouble() || version.toDouble() != formatVersion) {
        // A newer program may have added things we would drop on rewriting.
        const QString found =
            version.isDouble() ? QString::number(version.toDouble()) : QStringLiteral("missing");
        fail(why, QStringLiteral("format version %1, this program reads version %2")
                      .arg(found)
                      .arg(formatVersion));
        return std::nullopt;
    }
    for (auto member = top.begin(); member != top.end(); ++member) {
        if (member.key() != u"format" && member.key() != u"version" && member.key() != u"root") {
            fail(why, QStringLiteral("unknown member \"%1\"").arg(member.key()));
            return std::nullopt;
        }
    }
    if (!top.value(u"root").isObject()) {
        fail(why, QStringLiteral("no root key"));
        return std::nullopt;
    }
    HiveKey root;
    if (!readKey(top.value(u"root").toObject(), root, 0, why)) return std::nullopt;
    return root;
}

QByteArray Hive::serialize(const HiveKey& root) {
    QJsonObject top;
    top.insert(QStringLiteral("format"), formatTag);
    top.insert(QStringLiteral("version"), formatVersion);
    top.insert(QStringLiteral("root"), writeKey(root));
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

Hive::Hive(const QString& folder, const QString& name) : m_folder(folder) {
    if (!folder.isEmpty()) {
        m_filePath = folder + u'/' + name + QStringLiteral(".hive");
        m_lockPath = folder + u'/' + name + QStringLiteral(".lock");
    }
}

Hive::~Hive() = default;

QString Hive::filePath() const {
    return m_filePath;
}

// The inode changes with every rewrite (a new file is renamed over the old),
// which catches two same-sized writes within one tick of the file clock.
Hive::FileStamp Hive::stampOf(const QString& path, int fd) {
    struct stat st;
    FileStamp stamp;
    if ((fd >= 0 ? ::fstat(fd, &st) : ::stat(QFile::encodeName(path).constData(), &st)) != 0) {
        stamp.error = errno;
        return stamp;
    }
    stamp.device = qint64(st.st_dev);
    stamp.inode = qint64(st.st_ino);
    stamp.size = qint64(st.st_size);
    stamp.modifiedNs = nanoseconds(st.st_mtim);
    stamp.changedNs = nanoseconds(st.st_ctim);
    return stamp;
}

void Hive::markCorrupt(const FileStamp& stamp, const QString& why) {
    if (m_corrupt != why)
        qWarning().noquote() << "Registry hive" << m_filePath << "is not usable:" << why;
    m_stamp = stamp;
    m_root = {};
    m_corrupt = why;
}

// Reads need no lock: writers replace the file by renaming, so the file we
// open is always one whole version of it.
void Hive::refresh(bool force) {
    if (m_folder.isEmpty()) return;
    const FileStamp now = stampOf(m_filePath);
    if (!force && m_loaded && now == m_stamp) return;
    m_loaded = true;

    if (now.error == ENOENT || now.error == ENOTDIR) {
        m_stamp = now;
        m_root = {};
        m_corrupt.reset();
        return;
    }
    if (now.error) {
        markCorrupt(now, QStringLiteral("cannot be examined: %1")
                             .arg(QString::fromLocal8Bit(std::strerror(now.error))));
        return;
    }
    if (now.size > maxFileBytes) {
        markCorrupt(now, QStringLiteral("larger than %1 MiB").arg((maxFileBytes >> 20)));
        return;
    }
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        if (stampOf(m_filePath).error == ENOENT) {
            m_loaded = false; // removed just now: read again next time
            m_root = {};
            m_corrupt.reset();
            return;
        }
        markCorrupt(now, QStringLiteral("cannot be read: %1").arg(file.errorString()));
        return;
    }
    const FileStamp opened = stampOf(m_filePath, file.handle());
    // One byte over the limit is enough to know the file grew past it.
    const QByteArray bytes = file.read(maxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        markCorrupt(opened, QStringLiteral("cannot be read: %1").arg(file.errorString()));
        return;
    }
    QString why;
    std::optional<HiveKey> root = parse(bytes, &why);
    if (!root) {
        markCorrupt(opened, why);
        return;
    }
    m_stamp = opened;
    m_root = std::move(*root);
    m_corrupt.reset();
}

void Hive::read(const std::function<void(const HiveKey&)>& reader) {
    QMutexLocker locker(&m_mutex);
    refresh(false);
    reader(m_root);
}

std::optional<QString> Hive::corruption() {
    QMutexLocker locker(&m_mutex);
    refresh(false);
    return m_corrupt;
}

bool Hive::modify(const std::function<bool(HiveKey&)>& change) {
    QMutexLocker locker(&m_mutex);
    HiveKey next;
    if (m_folder.isEmpty()) {
        next = m_root;
        if (!change(next)) return false;
        m_root = std::move(next);
        return true;
    }

    // A change that changes nothing needs neither the lock nor a write; at
    // worst it lands as if it came just before another instance's change.
    refresh(false);
    if (!m_corrupt) {
        next = m_root;
        if (change(next) && next == m_root) return true;
    }

    if (!QDir().mkpath(m_folder)) {
        qWarning().noquote() << "Cannot create the registry folder" << m_folder;
        return false;
    }
    QLockFile lock(m_lockPath);
    if (!lockWithin(lock, lockWaitMs)) {
        qWarning().noquote() << "Cannot lock registry hive" << m_filePath << "(error"
                             << lock.error() << ")";
        return false;
    }
    // Always re-read under the lock: the cheap stamp check could miss a change
    // made by another instance within one tick of the file clock.
    refresh(true);
    if (m_corrupt) return false;

    next = m_root;
    if (!change(next)) return false;
    if (next == m_root) return true;

    const QByteArray bytes = serialize(next);
    if (bytes.size() > maxFileBytes) {
        qWarning().noquote() << "Registry hive" << m_filePath << "would grow past its size limit";
        return false;
    }
    QString error;
    if (!WriteFileSafely(m_filePath, bytes, &error)) {
        qWarning().noquote() << "Registry hive not changed:" << error;
        return false;
    }
    m_root = std::move(next);
    m_stamp = stampOf(m_filePath);
    return true;
}

} // namespace platform
