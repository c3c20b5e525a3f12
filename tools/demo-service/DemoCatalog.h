#pragma once
// What the demo service offers: a few modules (a reader update, add-ons, an
// OCR pack, a silent one), each a Kzip package made by the project's writer
// with a "Setup.xml" that names its installer, and the update reply that lists
// them. Shared by the demo-service program and the end-to-end tests, which
// mount the same catalogue on their own loopback server.
#include <QByteArray>
#include <QString>
#include <QVector>

class HttpTestServer;

namespace DemoCatalog {

struct Module
{
    QString name;          // the reply's "name" (what a component list asks for)
    QString title;         // the row text in the lists
    QString version;
    QString moduleType;    // "updater", "basic", "service"
    QString description;
    bool silent = false;   // SilentInstall="true"
    qint64 payloadBytes = 0;   // incompressible filler, so transfers take a while
};

struct Package
{
    Module module;
    QString installer;     // installer file name inside the package ("<name>Installer.pkg")
    QString file;          // the package on disk
    QByteArray urlPath;    // "/packages/<name>.kzip"
    qint64 size = 0;
    QByteArray md5Hex;
};

// The modules of the demo: every one of them newer than a reader 12.1.0.1.
QVector<Module> defaultModules(qint64 payloadBytes);

// Writes one package per module into `folder`; false with a message on failure.
bool buildPackages(const QVector<Module>& modules, const QString& folder, QVector<Package>& out,
                   QString* error = nullptr);

// The update reply for the query's "addon" value: every package for
// "Update List" and "Auto Updater", else those whose name is one of the
// comma-separated components (an unknown component gets an empty list).
QByteArray replyXml(const QVector<Package>& packages, const QString& baseUrl, const QString& addon);

// Mounts the query path, the packages, and the component link's redirect
// ("/go.php") with the add-ons page it leads to, on the server. Packages honour
// Range and are sent at most `bytesPerTick` every `tickMs` (0: unthrottled).
void mount(HttpTestServer& server, const QVector<Package>& packages, qint64 bytesPerTick, int tickMs);

// The query path the agent asks on the global road.
inline const char* queryPath() { return "/addons/get_addons.php"; }

} // namespace DemoCatalog
