#pragma once

#include "platform/Components.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// What a fake widget server holds and how it answers; shared between the
// test and every instance the host creates, so a test can script and read it.
struct FakeServerState {
    QString ownerProgId;
    QString name = QStringLiteral("Normal");
    QString description;
    QString auxText = QStringLiteral("unset");
    QDateTime saveTime;
    // The widget files it "wrote", by path; LoadFromFile reads them back.
    QHash<QString, QString> files;
    QStringList codePartNames;
    QStringList codePartTexts;
    struct SupportFile {
        QString name, source, webPath;
    };
    QList<SupportFile> supportFiles;
    bool configureResult = false;
    int configureCalls = 0;
    bool saveResult = true;
    int instancesCreated = 0;
    bool refuseCreation = false;
    // Widget files it was asked to save with their support files beside.
    QStringList supportFilePlacements;
    // Calls that fail with "The fake server failed call <DISPID>."
    QSet<int> failingCalls;
    // The widget identity; false makes a fake of a server built before
    // identities, which fails the call as unknown.
    bool hasIdentity = true;
    QString identity = QStringLiteral("fake-widget-0");
    int identitiesMade = 0;
    // The identity each saved file holds; a file without one loads with a new one.
    QHash<QString, QString> fileIdentities;
};

// Registers a fake server in-process under a ProgID, with the registry keys
// a real registration writes; InprocServer32 names a file in a temporary
// server folder, which may hold a sample page.
class FakeServerRegistration {
public:
    explicit FakeServerRegistration(
        const QString& progId = QStringLiteral("TavoletServer.Glimmerkey"),
        bool withSamplePage = true);
    ~FakeServerRegistration();

    FakeServerState& state() { return *m_state; }
    QString serverFolder() const { return m_folder.path(); }
    QUuid clsid() const { return m_clsid; }
    // Saves a widget file as the fake would, owned by `owner`, on disk too.
    void writeWidgetFile(const QString& path, const QString& owner, const QString& name,
                         const QString& description = {});

private:
    QString m_progId;
    QUuid m_clsid;
    QTemporaryDir m_folder;
    std::shared_ptr<FakeServerState> m_state;
    std::unique_ptr<platform::InProcessClass> m_class;
};
