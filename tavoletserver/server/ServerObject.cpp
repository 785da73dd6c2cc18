#include "ServerObject.h"

#include "CodeGenerator.h"
#include "ConfigureDialog.h"
#include "SupportFiles.h"
#include "WidgetFile.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>

#include <functional>

#include <dlfcn.h>

using dispatch::InvokeKind;
using dispatch::InvokeResult;

namespace {

// The module handle of the contract: the load address of this library.
qint64 moduleHandle() {
    static const int inThisModule = 0;
    Dl_info info{};
    if (dladdr(&inThisModule, &info) == 0) return 0;
    return reinterpret_cast<qint64>(info.dli_fbase);
}

bool isMethod(InvokeKind kind) {
    return kind == InvokeKind::Method || kind == InvokeKind::PropertyGet;
}

bool isInteger(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return true;
    default:
        return false;
    }
}

// Checks the argument list against a signature of 's' (string) and 'i'
// (integer); the message names what was wrong.
QString checkArgs(const QVariantList& args, const char* signature) {
    const auto expected = static_cast<qsizetype>(qstrlen(signature));
    if (args.size() != expected)
        return QStringLiteral("expected %1 argument(s), got %2").arg(expected).arg(args.size());
    for (qsizetype i = 0; i < expected; ++i) {
        const bool ok = signature[i] == 's' ? args[i].metaType().id() == QMetaType::QString
                                            : isInteger(args[i]);
        if (!ok)
            return QStringLiteral("argument %1 must be %2")
                .arg(i + 1)
                .arg(signature[i] == 's' ? "a string" : "an integer");
    }
    return {};
}

InvokeResult indexed(const QVariantList& args, qsizetype count, const char* what,
                     const std::function<QVariant(qsizetype)>& get) {
    if (const QString bad = checkArgs(args, "i"); !bad.isEmpty()) return InvokeResult::failure(bad);
    const qlonglong index = args[0].toLongLong();
    if (index < 0 || index >= count)
        return InvokeResult::failure(QStringLiteral("%1 index %2 is out of range 0..%3")
                                         .arg(QLatin1String(what))
                                         .arg(index)
                                         .arg(count - 1));
    return InvokeResult::success(get(static_cast<qsizetype>(index)));
}

} // namespace

InvokeResult ServerObject::stringProperty(QString& value, InvokeKind kind,
                                          const QVariantList& args) {
    if (kind == InvokeKind::PropertyGet && args.isEmpty()) return InvokeResult::success(value);
    if (kind != InvokeKind::PropertyPut)
        return InvokeResult::failure(QStringLiteral("property takes get or put"));
    if (const QString bad = checkArgs(args, "s"); !bad.isEmpty()) return InvokeResult::failure(bad);
    value = args[0].toString();
    // Held as a file would give it back, so that a save and load changes nothing.
    m_widget.normalize();
    return InvokeResult::success();
}

InvokeResult ServerObject::save(const QString& path, bool withSupportFiles) {
    QString error;
    const QString page = QFileInfo(path).absolutePath();
    if (WidgetFile::save(m_widget, path, &error) &&
        (!withSupportFiles || SupportFiles::place(m_widget.settings, page, &error)))
        return InvokeResult::success(true);
    // The contract's answer is FALSE; the reason rides along for whoever reports it.
    InvokeResult refused = InvokeResult::success(false);
    refused.error = error;
    return refused;
}

InvokeResult ServerObject::configure() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return InvokeResult::failure(QStringLiteral("Configure needs a running QApplication"));
    return InvokeResult::success(
        ConfigureDialog::configure(m_widget.settings, QApplication::activeWindow()));
}

InvokeResult ServerObject::Invoke(int dispid, InvokeKind kind, const QVariantList& args) {
    const bool asMethod = isMethod(kind);
    switch (dispid) {
    case dispatch::DISPID_OWNER_PROGID:
        return stringProperty(m_widget.ownerProgId, kind, args);
    case dispatch::DISPID_NAME:
        return stringProperty(m_widget.name, kind, args);
    case dispatch::DISPID_DESCRIPTION:
        return stringProperty(m_widget.description, kind, args);
    case dispatch::DISPID_AUX_TEXT:
        return stringProperty(m_widget.auxText, kind, args);
    case dispatch::DISPID_SAVE_TIME:
        if (kind == InvokeKind::PropertyGet && args.isEmpty())
            return InvokeResult::success(m_widget.saveTime);
        if (kind != InvokeKind::PropertyPut)
            return InvokeResult::failure(QStringLiteral("SaveTime takes get or put"));
        if (args.size() != 1 || args[0].metaType().id() != QMetaType::QDateTime ||
            !args[0].toDateTime().isValid())
            return InvokeResult::failure(QStringLiteral("SaveTime needs one valid date and time"));
        m_widget.saveTime = args[0].toDateTime().toUTC();
        return InvokeResult::success();
    default:
        break;
    }
    if (!asMethod)
        return InvokeResult::failure(QStringLiteral("DISPID %1 is not a property").arg(dispid));

    switch (dispid) {
    case dispatch::DISPID_LOAD_FROM_FILE: {
        if (const QString bad = checkArgs(args, "s"); !bad.isEmpty())
            return InvokeResult::failure(bad);
        std::optional<GlimmerWidget> loaded = WidgetFile::load(args[0].toString());
        if (!loaded) return InvokeResult::success(false);
        m_widget = std::move(*loaded);
        return InvokeResult::success(true);
    }
    case dispatch::DISPID_SAVE_TO_FILE: {
        if (const QString bad = checkArgs(args, "s"); !bad.isEmpty())
            return InvokeResult::failure(bad);
        const QString path = args[0].toString();
        // The host's New Page saves "<page>.restvt" beside the page and deletes it.
        return save(path, path.endsWith(QLatin1String(".restvt"), Qt::CaseInsensitive));
    }
    case dispatch::DISPID_SAVE_WITH_SUPPORT_FILES: {
        if (const QString bad = checkArgs(args, "si"); !bad.isEmpty())
            return InvokeResult::failure(bad);
        return save(args[0].toString(), args[1].toLongLong() == 1);
    }
    case dispatch::DISPID_CONFIGURE:
        if (!args.isEmpty())
            return InvokeResult::failure(QStringLiteral("Configure takes no arguments"));
        return configure();
    case dispatch::DISPID_TITLE_STRING_ID:
        if (!args.isEmpty())
            return InvokeResult::failure(QStringLiteral("TitleStringID takes no arguments"));
        return InvokeResult::success(TitleStringId);
    case dispatch::DISPID_RESOURCE_MODULE:
        if (!args.isEmpty())
            return InvokeResult::failure(QStringLiteral("ResourceModule takes no arguments"));
        return InvokeResult::success(moduleHandle());
    case dispatch::DISPID_CODE_PART_COUNT:
        if (!args.isEmpty())
            return InvokeResult::failure(QStringLiteral("CodePartCount takes no arguments"));
        return InvokeResult::success(
            static_cast<int>(CodeGenerator::parts(m_widget.settings).size()));
    case dispatch::DISPID_CODE_PART_NAME: {
        const QList<CodePart> parts = CodeGenerator::parts(m_widget.settings);
        return indexed(args, parts.size(), "code part", [&](qsizetype i) { return parts[i].name; });
    }
    case dispatch::DISPID_CODE_PART_TEXT: {
        if (const QString bad = checkArgs(args, "ii"); !bad.isEmpty())
            return InvokeResult::failure(bad);
        const qlonglong mode = args[1].toLongLong();
        if (mode != 0 && mode != 1)
            return InvokeResult::failure(QStringLiteral("code mode %1 is unknown").arg(mode));
        const QList<CodePart> parts = CodeGenerator::parts(m_widget.settings);
        return indexed(args.mid(0, 1), parts.size(), "code part",
                       [&](qsizetype i) { return parts[i].text; });
    }
    case dispatch::DISPID_SUPPORT_FILE_COUNT:
        if (!args.isEmpty())
            return InvokeResult::failure(QStringLiteral("SupportFileCount takes no arguments"));
        return InvokeResult::success(
            static_cast<int>(SupportFiles::list(m_widget.settings).size()));
    case dispatch::DISPID_SUPPORT_FILE_NAME:
    case dispatch::DISPID_SUPPORT_FILE_SOURCE:
    case dispatch::DISPID_SUPPORT_FILE_WEB_PATH: {
        const QList<SupportFile> files = SupportFiles::list(m_widget.settings);
        return indexed(args, files.size(), "support file", [&](qsizetype i) -> QVariant {
            if (dispid == dispatch::DISPID_SUPPORT_FILE_NAME) return files[i].name;
            if (dispid == dispatch::DISPID_SUPPORT_FILE_SOURCE) return files[i].sourceFolder;
            return files[i].webPath;
        });
    }
    default:
        return InvokeResult::failure(QStringLiteral("unknown DISPID %1").arg(dispid));
    }
}
