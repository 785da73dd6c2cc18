// Registers a widget server library for the current user.
// Usage: glimmerkey-regsvr [-u] LIBRARY
#include "platform/Registry.h"
#include "platform/ServerRegistration.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool unregister = args.removeAll(QStringLiteral("-u")) > 0;
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: glimmerkey-regsvr [-u] LIBRARY\n");
        return 2;
    }
    platform::Registry& registry = platform::Registry::instance();
    for (const QString& problem : registry.corruptHives())
        std::fprintf(stderr, "%s\n", qPrintable(problem));
    QString error;
    const bool ok = unregister ? platform::UnregisterServerLibrary(registry, args[0], &error)
                               : platform::RegisterServerLibrary(registry, args[0], &error);
    if (!ok) {
        std::fprintf(stderr, "glimmerkey-regsvr: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s %s\n", unregister ? "Unregistered" : "Registered", qPrintable(args[0]));
    return 0;
}
