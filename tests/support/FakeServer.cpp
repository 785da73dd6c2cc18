#include "FakeServer.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>

namespace {

using dispatch::InvokeKind;
using dispatch::InvokeResult;

// Files are "owner\nname\ndescription".
class FakeServer final : public dispatch::IDispatchObject {
public:
    explicit FakeServer(std::shared_ptr<FakeServerState> state) : m_state(std::move(state)) {}

    InvokeResult Invoke(int dispid, InvokeKind kind, const QVariantList& args) override {
        FakeServerState& s = *m_state;
        const bool put = kind == InvokeKind::PropertyPut;
        auto index = [&](const auto& list) { return args.value(0).toInt() < list.size(); };
        switch (dispid) {
        case 1: return property(put, s.ownerProgId, args);
        case 2: return property(put, s.name, args);
        case 3: return property(put, s.description, args);
        case 5: return property(put, s.auxText, args);
        case 6:
            s.saveTime = args.value(0).toDateTime();
            return InvokeResult::success();
        case 7: {
            const auto it = s.files.constFind(args.value(0).toString());
            if (it == s.files.constEnd()) return InvokeResult::success(false);
            const QStringList fields = it->split('\n');
            s.ownerProgId = fields.value(0);
            s.name = fields.value(1);
            s.description = fields.value(2);
            return InvokeResult::success(true);
        }
        case 8:
            if (!s.saveResult) return InvokeResult::success(false);
            s.files.insert(args.value(0).toString(),
                           s.ownerProgId + '\n' + s.name + '\n' + s.description);
            return InvokeResult::success(true);
        case 9:
            ++s.configureCalls;
            return InvokeResult::success(s.configureResult);
        case 11: return InvokeResult::success(1);
        case 17: return InvokeResult::success(int(s.codePartNames.size()));
        case 18:
            if (!index(s.codePartNames)) return InvokeResult::failure("no such code part");
            return InvokeResult::success(s.codePartNames[args[0].toInt()]);
        case 19:
            if (!index(s.codePartTexts)) return InvokeResult::failure("no such code part");
            return InvokeResult::success(s.codePartTexts[args[0].toInt()]);
        case 20: return InvokeResult::success(qint64(0));
        case 21: return InvokeResult::success(int(s.supportFiles.size()));
        case 22:
        case 23:
        case 24: {
            if (!index(s.supportFiles)) return InvokeResult::failure("no such support file");
            const auto& file = s.supportFiles[args[0].toInt()];
            return InvokeResult::success(dispid == 22 ? file.name
                                         : dispid == 23 ? file.source
                                                        : file.webPath);
        }
        default:
            return InvokeResult::failure(QStringLiteral("fake server: no call %1").arg(dispid));
        }
    }

private:
    static InvokeResult property(bool put, QString& field, const QVariantList& args) {
        if (!put) return InvokeResult::success(field);
        field = args.value(0).toString();
        return InvokeResult::success();
    }

    std::shared_ptr<FakeServerState> m_state;
};

} // namespace

FakeServerRegistration::FakeServerRegistration(const QString& progId, bool withSamplePage)
    : m_progId(progId), m_clsid(QUuid::createUuid()),
      m_state(std::make_shared<FakeServerState>()) {
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
    registry.deleteKey(platform::RootKey::ClassesRoot, "CLSID\\" + platform::StringFromCLSID(m_clsid));
}

void FakeServerRegistration::writeWidgetFile(const QString& path, const QString& owner,
                                             const QString& name) {
    m_state->files.insert(path, owner + '\n' + name + '\n');
}
