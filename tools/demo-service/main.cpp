// The demo update service on 127.0.0.1: the update reply of the demo
// catalogue and its Kzip packages, with Range and a throttle slow enough to
// watch downloads and to pause and continue them.
//   demo-service [--port N] [--dir FOLDER] [--payload BYTES] [--rate BYTES_PER_SECOND]
// Prints "http://127.0.0.1:<port>" on its first output line once it listens,
// then one line per request on standard error. Runs until it is killed.
#include "DemoCatalog.h"
#include "HttpTestServer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <clocale>
#include <csignal>
#include <cstdio>

namespace {

void quitOnSignal(int)
{
    QCoreApplication::quit();
}

int usage()
{
    std::fprintf(stderr,
                 "usage: demo-service [--port N] [--dir FOLDER] [--payload BYTES] [--rate BYTES_PER_SECOND]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");

    quint16 port = 0;
    QString folder;
    qint64 payload = 1536 * 1024;
    qint64 rate = 384 * 1024;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (i + 1 >= args.size())
            return usage();
        const QString value = args.at(++i);
        bool ok = true;
        if (a == QLatin1String("--port"))
            port = static_cast<quint16>(value.toUInt(&ok));
        else if (a == QLatin1String("--dir"))
            folder = value;
        else if (a == QLatin1String("--payload"))
            payload = value.toLongLong(&ok);
        else if (a == QLatin1String("--rate"))
            rate = value.toLongLong(&ok);
        else
            return usage();
        if (!ok || payload < 0 || rate < 0)
            return usage();
    }

    QTemporaryDir scratch;
    if (folder.isEmpty()) {
        if (!scratch.isValid()) {
            std::fprintf(stderr, "demo-service: no temporary folder\n");
            return 1;
        }
        folder = scratch.path();
    }

    QVector<DemoCatalog::Package> packages;
    QString error;
    if (!DemoCatalog::buildPackages(DemoCatalog::defaultModules(payload), folder, packages, &error)) {
        std::fprintf(stderr, "demo-service: %s\n", qPrintable(error));
        return 1;
    }

    HttpTestServer server(port, nullptr);
    if (!server.isListening()) {
        std::fprintf(stderr, "demo-service: cannot listen on 127.0.0.1:%u\n", unsigned(port));
        return 1;
    }
    // 20 ticks a second.
    const int tickMs = 50;
    DemoCatalog::mount(server, packages, rate > 0 ? std::max<qint64>(1, rate / 20) : 0, tickMs);
    QObject::connect(&server, &HttpTestServer::requestReceived, &server, [&server](const QByteArray&) {
        const HttpTestServer::Request r = server.requests().constLast();
        std::fprintf(stderr, "%s %s %s%s\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)),
                     r.method.constData(), r.target.constData(),
                     r.range.isEmpty() ? "" : (" Range: " + r.range).constData());
        std::fflush(stderr);
    });

    std::signal(SIGTERM, quitOnSignal);
    std::signal(SIGINT, quitOnSignal);
    for (const DemoCatalog::Package& p : packages)
        std::fprintf(stderr, "package %s: %lld bytes, md5 %s\n", p.urlPath.constData(),
                     static_cast<long long>(p.size), p.md5Hex.constData());
    std::printf("%s\n", server.baseUrl().toUtf8().constData());
    std::fflush(stdout);
    return app.exec();
}
