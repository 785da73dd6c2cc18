#include "FakeServer.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>

namespace {

using namespace dispatch;

// Files are "owner\nname\ndescription".
class FakeServer final : public dispatch::IDispatchObject {
public:
    explicit FakeServer(std::shared_ptr<FakeServerState> state) : m_state(std::move(state)) {}

    InvokeResult Invoke(int dispid, InvokeKind kind, const QVariantList& args) override {
        FakeServerState& s = *m_state;
        const bool put = kind == InvokeKind::PropertyPut;
        auto index = [&](const auto& list) { return args.value(0).toInt() < list.size(); };
        if (s.failingCalls.contains(dispid))
            return InvokeResult::failure(
                QStringLiteral("The fake server failed call %1.").arg(dispid));
        switch (dispid) {
        case DISPID_OWNER_PROGID:
            return property(put, s.ownerProgId, args);
        case DISPID_NAME:
            return property(put, s.name, args);
        case DISPID_DESCRIPTION:
            return property(put, s.description, args);
        case DISPID_AUX_TEXT:
            return property(put, s.auxText, args);
        case DISPID_SAVE_TIME:
            s.saveTime = args.value(0).toDateTime();
            return InvokeResult::success();
        case DISPID_LOAD_FROM_FILE: {
            const auto it = s.files.constFind(args.value(0).toString());
            if (it == s.files.constEnd()) return InvokeResult::success(false);
            const QStringList fields = it->split('\n');
            s.ownerProgId = fields.value(0);
            s.name = fields.value(1);
            s.description = fields.value(2);
            const auto stored = s.fileIdentities.constFind(it.key());
            s.identity = stored != s.fileIdentities.constEnd() ? *stored : newIdentity(s);
            return InvokeResult::success(true);
        }
        case DISPID_SAVE_TO_FILE: {
            // A real file too, so that folder listings and existence checks see it.
            QFile file(args.value(0).toString());
            if (!s.saveResult || !file.open(QIODevice::WriteOnly))
                return InvokeResult::success(false);
            s.files.insert(file.fileName(), s.ownerProgId + '\n' + s.name + '\n' + s.description);
            s.fileIdentities.insert(file.fileName(), s.identity);
            return InvokeResult::success(true);
        }
        case DISPID_SAVE_WITH_SUPPORT_FILES: {
            s.supportFilePlacements << args.value(0).toString();
            QFile file(args.value(0).toString());
            return InvokeResult::success(file.open(QIODevice::WriteOnly));
        }
        case DISPID_CONFIGURE:
            ++s.configureCalls;
            return InvokeResult::success(s.configureResult);
        case DISPID_TITLE_STRING_ID:
            return InvokeResult::success(1);
        case DISPID_CODE_PART_COUNT:
            return InvokeResult::success(int(s.codePartNames.size()));
        case DISPID_CODE_PART_NAME:
            if (!index(s.codePartNames)) return InvokeResult::failure("no such code part");
            return InvokeResult::success(s.codePartNames[args[0].toInt()]);
        case DISPID_CODE_PART_TEXT:
            if (!index(s.codePartTexts)) return InvokeResult::failure("no such code part");
            return InvokeResult::success(s.codePartTexts[args[0].toInt()]);
        case DISPID_RESOURCE_MODULE:
            return InvokeResult::success(qint64(0));
        case DISPID_SUPPORT_FILE_COUNT:
            return InvokeResult::success(int(s.supportFiles.size()));
        case DISPID_SUPPORT_FILE_NAME:
        case DISPID_SUPPORT_FILE_SOURCE:
        case DISPID_SUPPORT_FILE_WEB_PATH: {
            if (!index(s.supportFiles)) return InvokeResult::failure("no such support file");
            const auto& file = s.supportFiles[args[0].toInt()];
            return InvokeResult::success(dispid == DISPID_SUPPORT_FILE_NAME     ? file.name
                                         : dispid == DISPID_SUPPORT_FILE_SOURCE ? file.source
                                                                                : file.webPath);
        }
        case DISPID_WIDGET_IDENTITY:
            if (!s.hasIdentity) break;
            if (!put) return InvokeResult::success(s.identity);
            if (!args.value(0).toString().isEmpty())
                return InvokeResult::failure("only an empty identity may be put");
            s.identity = newIdentity(s);
            return InvokeResult::success();
        default:
            break;
        }
        return InvokeResult::failure(QStringLiteral("fake server: no call %1").arg(dispid));
    }

private:
    static QString newIdentity(FakeServerState& s) {
        return QStringLiteral("fake-widget-%1").arg(++s.identitiesMade);
    }
    static InvokeResult property(bool put, QString& field, const QVariantList& args) {
        if (!put) return InvokeResult::success(field);
        field = args.value(0).toString();
        return InvokeResult::success();
    }

    std::shared_ptr<FakeServerState> m_state;
};

} // namespace

FakeServerRegistration::FakeServerRegistration(const QString& progId, bool withSamplePage)
    : m_progId(progId), m_clsid(QUuid::createUuid()), m_state(std::make_shared<FakeServerState>()) {
    const QString library = m_folder.filePath(QStringLiteral("libFakeServer.so"));
    QFile(library).open(QIODevice::WriteOnly);
    if (withSamplePage) {
        QDir(m_folder.path()).mkpath(QStringLiteral("Sample"));
        QFile(m_folder.filePath(QStringLiteral("Sample/sample.htm"))).open(QIODevice::WriteOnly);
    }
    using platform::RootKey;
    auto& registry = platform::Registry::instance();
    const QString clsid = platform::StringFromCLSID(m_clsid);
    registry.writeString(RootKey::ClassesRoot, progId + "\\CLSID", {}, clsid);
    registry.writeString(RootKey::ClassesRoot, "CLSID\\" + clsid + "\\ProgID", {}, progId);
    registry.writeString(RootKey::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", {}, library);

    m_class = std::make_unique<platform::InProcessClass>(
        m_clsid, [state = m_state]() -> std::unique_ptr<dispatch::IDispatchObject> {
            if (state->refuseCreation) return nullptr;
            ++state->instancesCreated;
            return std::make_unique<FakeServer>(state);
        });
}

FakeServerRegistration::~FakeServerRegistration() {
    auto& registry = platform::Registry::instance();
    registry.deleteKey(platform::RootKey::ClassesRoot, m_progId);
    registry.deleteKey(platform::RootKey::ClassesRoot,
                       "CLSID\\" + platform::StringFromCLSID(m_clsid));
}

void FakeServerRegistration::writeWidgetFile(const QString& path, const QString& owner,
                                             const QString& name, const QString& description) {
    QFile(path).open(QIODevice::WriteOnly);
    m_state->files.insert(path, owner + '\n' + name + '\n' + description);
    m_state->fileIdentities.remove(path);
}
