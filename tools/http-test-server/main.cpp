// Serves files and texts on 127.0.0.1 until it is killed.
//   http-test-server [--port N] [--file /path=FILE]... [--text /path=TEXT]...
// Prints "http://127.0.0.1:<port>" on its first output line once it listens.
#include "HttpTestServer.h"

#include <QCoreApplication>
#include <QStringList>
#include <clocale>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");

    const QStringList args = app.arguments();
    quint16 port = 0;
    struct Route { QByteArray path; QString file; QByteArray text; };
    QList<Route> routes;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const QString value = i + 1 < args.size() ? args.at(i + 1) : QString();
        const int eq = value.indexOf(QLatin1Char('='));
        if (a == QLatin1String("--port") && !value.isEmpty()) {
            port = quint16(value.toUInt());
            ++i;
        } else if ((a == QLatin1String("--file") || a == QLatin1String("--text")) && eq > 0) {
            Route r;
            r.path = value.left(eq).toUtf8();
            if (a == QLatin1String("--file"))
                r.file = value.mid(eq + 1);
            else
                r.text = value.mid(eq + 1).toUtf8();
            routes.append(r);
            ++i;
        } else {
            std::fprintf(stderr, "usage: http-test-server [--port N] [--file /path=FILE]... [--text /path=TEXT]...\n");
            return 2;
        }
    }

    HttpTestServer server(port, nullptr);
    if (!server.isListening()) {
        std::fprintf(stderr, "http-test-server: cannot listen on 127.0.0.1:%u\n", unsigned(port));
        return 1;
    }
    for (const Route& r : routes) {
        HttpTestServer::Reply reply;
        reply.body = r.text;
        reply.bodyFile = r.file;
        server.setRoute(r.path, reply);
    }
    std::printf("%s\n", server.baseUrl().toUtf8().constData());
    std::fflush(stdout);
    return app.exec();
}
