#include "ServerObject.h"

#include "CodeGenerator.h"
#include "ConfigureDialog.h"
#include "SupportFiles.h"
#include "WidgetFile.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>

#include <array>
#include <functional>
#include <string_view>

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

// A call without arguments; the message names the operation.
QString noArgs(const QVariantList& args, const char* operation) {
    return args.isEmpty() ? QString()
                          : QStringLiteral("%1 takes no arguments").arg(QLatin1String(operation));
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

const ServerObject::Operation* ServerObject::find(int dispid) {
    using namespace dispatch;
    static const std::array<Operation, 19> operations{{
        {DISPID_OWNER_PROGID, true, &ServerObject::onOwnerProgId},
        {DISPID_NAME, true, &ServerObject::onName},
        {DISPID_DESCRIPTION, true, &ServerObject::onDescription},
        {DISPID_AUX_TEXT, true, &ServerObject::onAuxText},
        {DISPID_SAVE_TIME, true, &ServerObject::onSaveTime},
        {DISPID_LOAD_FROM_FILE, false, &ServerObject::onLoadFromFile},
        {DISPID_SAVE_TO_FILE, false, &ServerObject::onSaveToFile},
        {DISPID_CONFIGURE, false, &ServerObject::onConfigure},
        {DISPID_TITLE_STRING_ID, false, &ServerObject::onTitleStringId},
        {DISPID_CODE_PART_COUNT, false, &ServerObject::onCodePartCount},
        {DISPID_CODE_PART_NAME, false, &ServerObject::onCodePartName},
        {DISPID_CODE_PART_TEXT, false, &ServerObject::onCodePartText},
        {DISPID_RESOURCE_MODULE, false, &ServerObject::onResourceModule},
        {DISPID_SUPPORT_FILE_COUNT, false, &ServerObject::onSupportFileCount},
        {DISPID_SUPPORT_FILE_NAME, false, &ServerObject::onSupportFileName},
        {DISPID_SUPPORT_FILE_SOURCE, false, &ServerObject::onSupportFileSource},
        {DISPID_SUPPORT_FILE_WEB_PATH, false, &ServerObject::onSupportFileWebPath},
        {DISPID_SAVE_WITH_SUPPORT_FILES, false, &ServerObject::onSaveWithSupportFiles},
        {DISPID_WIDGET_IDENTITY, true, &ServerObject::onWidgetIdentity},
    }};
    for (const Operation& op : operations)
        if (op.dispid == dispid) return &op;
    return nullptr;
}

ServerObject::ServerObject() {
    m_widget.identity = GlimmerWidget::newIdentity();
}

InvokeResult ServerObject::Invoke(int dispid, InvokeKind kind, const QVariantList& args) {
    const Operation* op = find(dispid);
    if (!op) return InvokeResult::failure(QStringLiteral("unknown DISPID %1").arg(dispid));
    if (!op->isProperty && !isMethod(kind))
        return InvokeResult::failure(QStringLiteral("DISPID %1 is not a property").arg(dispid));
    return (this->*op->handler)(kind, args);
}

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

InvokeResult ServerObject::onOwnerProgId(InvokeKind kind, const QVariantList& args) {
    return stringProperty(m_widget.ownerProgId, kind, args);
}

InvokeResult ServerObject::onName(InvokeKind kind, const QVariantList& args) {
    return stringProperty(m_widget.name, kind, args);
}

InvokeResult ServerObject::onDescription(InvokeKind kind, const QVariantList& args) {
    return stringProperty(m_widget.description, kind, args);
}

InvokeResult ServerObject::onAuxText(InvokeKind kind, const QVariantList& args) {
    return stringProperty(m_widget.auxText, kind, args);
}

InvokeResult ServerObject::onSaveTime(InvokeKind kind, const QVariantList& args) {
    if (kind == InvokeKind::PropertyGet && args.isEmpty())
        return InvokeResult::success(m_widget.saveTime);
    if (kind != InvokeKind::PropertyPut)
        return InvokeResult::failure(QStringLiteral("SaveTime takes get or put"));
    if (args.size() != 1 || args[0].metaType().id() != QMetaType::QDateTime ||
        !args[0].toDateTime().isValid())
        return InvokeResult::failure(QStringLiteral("SaveTime needs one valid date and time"));
    m_widget.saveTime = args[0].toDateTime().toUTC();
    return InvokeResult::success();
}

InvokeResult ServerObject::onLoadFromFile(InvokeKind, const QVariantList& args) {
    if (const QString bad = checkArgs(args, "s"); !bad.isEmpty()) return InvokeResult::failure(bad);
    QString error;
    std::optional<GlimmerWidget> loaded = WidgetFile::load(args[0].toString(), &error);
    if (!loaded) {
        // The contract's answer is FALSE; the reason rides along for whoever reports it.
        InvokeResult refused = InvokeResult::success(false);
        refused.error = error;
        return refused;
    }
    m_widget = std::move(*loaded);
    // Templates and older files hold none; the next save keeps this one.
    if (m_widget.identity.isEmpty()) m_widget.identity = GlimmerWidget::newIdentity();
    return InvokeResult::success(true);
}

InvokeResult ServerObject::onSaveToFile(InvokeKind, const QVariantList& args) {
    if (const QString bad = checkArgs(args, "s"); !bad.isEmpty()) return InvokeResult::failure(bad);
    const QString path = args[0].toString();
    // The host's New Page saves "<page>.restvt" beside the page and deletes it.
    return save(path, path.endsWith(QLatin1String(".restvt"), Qt::CaseInsensitive));
}

InvokeResult ServerObject::onSaveWithSupportFiles(InvokeKind, const QVariantList& args) {
    if (const QString bad = checkArgs(args, "si"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    return save(args[0].toString(), args[1].toLongLong() == 1);
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

InvokeResult ServerObject::onConfigure(InvokeKind, const QVariantList& args) {
    if (const QString bad = noArgs(args, "Configure"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return InvokeResult::failure(QStringLiteral("Configure needs a running QApplication"));
    const bool changed = ConfigureDialog::configure(m_widget.settings, QApplication::activeWindow(),
                                                    m_widget.enlargedFrom);
    // Said once is enough: the widget's next save keeps the new size.
    if (changed) m_widget.enlargedFrom = {};
    return InvokeResult::success(changed);
}

InvokeResult ServerObject::onTitleStringId(InvokeKind, const QVariantList& args) {
    if (const QString bad = noArgs(args, "TitleStringID"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    return InvokeResult::success(TitleStringId);
}

InvokeResult ServerObject::onResourceModule(InvokeKind, const QVariantList& args) {
    if (const QString bad = noArgs(args, "ResourceModule"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    return InvokeResult::success(moduleHandle());
}

InvokeResult ServerObject::onCodePartCount(InvokeKind, const QVariantList& args) {
    if (const QString bad = noArgs(args, "CodePartCount"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    return InvokeResult::success(static_cast<int>(CodeGenerator::parts(m_widget.settings).size()));
}

InvokeResult ServerObject::onCodePartName(InvokeKind, const QVariantList& args) {
    const QList<CodePart> parts = CodeGenerator::parts(m_widget.settings, m_widget.identity);
    return indexed(args, parts.size(), "code part", [&](qsizetype i) { return parts[i].name; });
}

InvokeResult ServerObject::onCodePartText(InvokeKind, const QVariantList& args) {
    if (const QString bad = checkArgs(args, "ii"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    const qlonglong mode = args[1].toLongLong();
    if (mode != 0 && mode != 1)
        return InvokeResult::failure(QStringLiteral("code mode %1 is unknown").arg(mode));
    const QList<CodePart> parts = CodeGenerator::parts(m_widget.settings, m_widget.identity);
    return indexed(args.mid(0, 1), parts.size(), "code part",
                   [&](qsizetype i) { return parts[i].text; });
}

InvokeResult ServerObject::onSupportFileCount(InvokeKind, const QVariantList& args) {
    if (const QString bad = noArgs(args, "SupportFileCount"); !bad.isEmpty())
        return InvokeResult::failure(bad);
    return InvokeResult::success(static_cast<int>(SupportFiles::list(m_widget.settings).size()));
}

InvokeResult ServerObject::supportFile(const QVariantList& args, QString SupportFile::*field) {
    const QList<SupportFile> files = SupportFiles::list(m_widget.settings);
    return indexed(args, files.size(), "support file",
                   [&](qsizetype i) { return files[i].*field; });
}

InvokeResult ServerObject::onSupportFileName(InvokeKind, const QVariantList& args) {
    return supportFile(args, &SupportFile::name);
}

InvokeResult ServerObject::onSupportFileSource(InvokeKind, const QVariantList& args) {
    return supportFile(args, &SupportFile::sourceFolder);
}

InvokeResult ServerObject::onSupportFileWebPath(InvokeKind, const QVariantList& args) {
    return supportFile(args, &SupportFile::webPath);
}

InvokeResult ServerObject::onWidgetIdentity(InvokeKind kind, const QVariantList& args) {
    if (kind == InvokeKind::PropertyGet && args.isEmpty())
        return InvokeResult::success(m_widget.identity);
    if (kind != InvokeKind::PropertyPut)
        return InvokeResult::failure(QStringLiteral("WidgetIdentity takes get or put"));
    if (const QString bad = checkArgs(args, "s"); !bad.isEmpty()) return InvokeResult::failure(bad);
    // Only the server makes identities, so that no two widgets share one by a host's mistake.
    if (!args[0].toString().isEmpty())
        return InvokeResult::failure(QStringLiteral("WidgetIdentity is renewed by putting \"\""));
    m_widget.identity = GlimmerWidget::newIdentity();
    return InvokeResult::success();
}
