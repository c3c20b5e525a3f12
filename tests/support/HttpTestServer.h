#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for network tests and local stand-ins of
// the update services. Each path (without its query) is answered by a fixed
// reply or by a handler that builds the reply from the request, with faults on
// demand: an error status with a body, a connection that is accepted and never
// answered, a stall or a drop after N body bytes, a reply that ignores Range,
// a body without Content-Length, an endless body, a compressed body, a 206
// with "*" for its complete length, a redirect, and a throttle that lets a
// test catch a transfer half-way. Every request is recorded.
//
// It uses only QtCore and QtNetwork, so a standalone program can compile
// HttpTestServer.cpp directly (see tools/http-test-server/).
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUrl>
#include <functional>

class QTcpServer;
class HttpTestConnection;

class HttpTestServer : public QObject
{
    Q_OBJECT
public:
    using HeaderList = QList<QPair<QByteArray, QByteArray>>;

    struct Request
    {
        QByteArray method;
        QByteArray target;   // path and query as sent
        QByteArray path;     // target up to its "?"
        QByteArray query;    // after the "?", empty when there is none
        QByteArray range;    // value of the Range header, empty when absent
        HeaderList headers;  // in arrival order, names as sent
        QByteArray body;
        int seq = 0;         // 0 for the first request to this path, 1 for the next...

        // Value of a header (name compared without regard to case), empty when absent.
        QByteArray header(const QByteArray& name) const;
        bool hasHeader(const QByteArray& name) const;
    };

    // How one request is answered. The default is 200 with `body`.
    struct Reply
    {
        int status = 200;
        QByteArray body;
        QString bodyFile;          // stream this file as the body instead of `body`
        HeaderList headers;        // extra headers (a Content-Type here replaces the default)
        QByteArray redirectTo;     // set: answer 302 (or `status` when it is 3xx) with Location
        bool neverAnswer = false;  // read the request, send nothing, keep the connection
        qint64 stallAfter = -1;    // >= 0: send the head and N body bytes, then nothing more
        qint64 dropAfter = -1;     // >= 0: send the head and N body bytes, then close
        bool ignoreRange = false;  // answer a Range request with 200 and the whole body
        // >= 0: answer 206 with only this many bytes, from the Range's start
        // (0 without a Range), and a Content-Range that names the whole size,
        // or "*" with unknownCompleteLength.
        qint64 partialLength = -1;
        bool unknownCompleteLength = false;
        bool noContentLength = false;  // no length; the body ends when the connection closes
        // The body repeated without end (until the client goes), sent without
        // a length unless announcedLength gives one (then it stops there).
        bool endless = false;
        qint64 announcedLength = -1;
        qint64 throttleBytes = 0;  // > 0: at most this many body bytes per tick
        int throttleIntervalMs = 10;

        static Reply ok(const QByteArray& body);
        static Reply error(int status, const QByteArray& body);
        static Reply redirect(const QByteArray& location, int status = 302);
        // One body byte every intervalMs: never silent long enough to look stalled.
        static Reply drip(const QByteArray& body, int intervalMs);
        // `pattern` over and over, for ever.
        static Reply endlessOf(const QByteArray& pattern);
        // A body sent as "Content-Encoding: gzip" whatever the client asked for.
        static Reply gzipped(const QByteArray& gzipBody);
    };
    using Handler = std::function<Reply(const Request&)>;

    // Listens at once on an ephemeral port of 127.0.0.1 (see isListening()).
    explicit HttpTestServer(QObject* parent = nullptr);
    // Listens on the given port of 127.0.0.1 (0 = ephemeral).
    HttpTestServer(quint16 port, QObject* parent);
    ~HttpTestServer() override;

    bool isListening() const;
    quint16 port() const;
    QString baseUrl() const;                      // "http://127.0.0.1:<port>"
    QUrl url(const QString& pathAndQuery) const;  // baseUrl() + pathAndQuery

    void setRoute(const QByteArray& path, const QByteArray& body);
    void setRoute(const QByteArray& path, const Reply& reply);
    void setHandler(const QByteArray& path, Handler handler);
    void removeRoute(const QByteArray& path);
    // Answers paths without a route (default: 404 "not found").
    void setFallback(Handler handler);

    QList<Request> requests() const { return m_requests; }
    QList<Request> requests(const QByteArray& path) const;
    int requestCount() const { return m_requests.size(); }
    int requestCount(const QByteArray& path) const;
    void clearRequests();

    // Body bytes written so far for answers to this path (all connections).
    qint64 bodyBytesSent(const QByteArray& path) const { return m_bytesSent.value(path); }
    // Open client connections, including stalled and never-answered ones.
    int connectionCount() const;
    // Closes every client connection at once (the server keeps listening).
    void closeAllConnections();

    // Spins the event loop until `n` requests were recorded or the time is up.
    bool waitForRequests(int n, int timeoutMs = 10000);

signals:
    void requestReceived(const QByteArray& path);

private:
    friend class HttpTestConnection;
    void onNewConnection();
    Reply replyFor(Request& request);
    void addBytesSent(const QByteArray& path, qint64 n) { m_bytesSent[path] += n; }

    QTcpServer* m_server = nullptr;
    QHash<QByteArray, Handler> m_handlers;
    Handler m_fallback;
    QList<Request> m_requests;
    QHash<QByteArray, int> m_seq;
    QHash<QByteArray, qint64> m_bytesSent;
    QList<HttpTestConnection*> m_connections;
};
