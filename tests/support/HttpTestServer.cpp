#include "HttpTestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <memory>

namespace {

const qint64 kChunk = 256 * 1024;
const qint64 kHighWater = 1024 * 1024;   // bytes queued in the socket before we wait

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 206: return "Partial Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 416: return "Range Not Satisfiable";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasHeaderNamed(const HttpTestServer::HeaderList& headers, const QByteArray& name)
{
    for (const auto& h : headers)
        if (sameName(h.first, name))
            return true;
    return false;
}

// Parses "bytes=S-", "bytes=S-E" or "bytes=-N" against a body of `size`
// bytes. Returns false when the header is not a single byte range we know.
bool parseRange(const QByteArray& value, qint64 size, qint64* first, qint64* last, bool* satisfiable)
{
    QByteArray v = value.trimmed();
    if (!v.startsWith("bytes="))
        return false;
    v = v.mid(6).trimmed();
    if (v.contains(','))
        return false;
    const int dash = v.indexOf('-');
    if (dash < 0)
        return false;
    const QByteArray a = v.left(dash).trimmed();
    const QByteArray b = v.mid(dash + 1).trimmed();
    bool okA = true, okB = true;
    if (a.isEmpty()) {   // suffix: the last N bytes
        const qint64 n = b.toLongLong(&okB);
        if (!okB || n <= 0)
            return false;
        *first = std::max<qint64>(0, size - n);
        *last = size - 1;
        *satisfiable = size > 0;
        return true;
    }
    *first = a.toLongLong(&okA);
    *last = b.isEmpty() ? size - 1 : std::min(b.toLongLong(&okB), size - 1);
    if (!okA || !okB || *first < 0)
        return false;
    *satisfiable = *first < size && *first <= *last;
    return true;
}

} // namespace

// One client connection: reads requests one after another and writes each
// answer, honouring the faults of its reply.
class HttpTestConnection : public QObject
{
public:
    HttpTestConnection(HttpTestServer* server, QTcpSocket* socket)
        : QObject(server), m_server(server), m_socket(socket)
    {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { pump(); });
        connect(socket, &QTcpSocket::disconnected, this, [this] { finish(); });
        connect(&m_throttle, &QTimer::timeout, this, [this] {
            m_budget = m_reply.throttleBytes;
            pump();
        });
    }

    void closeNow()
    {
        m_dead = true;
        m_socket->abort();
        finish();
    }

private:
    enum class State { ReadingHead, ReadingBody, Sending, Silent, Closing };

    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_dead = true;
        m_throttle.stop();
        m_server->m_connections.removeAll(this);
        deleteLater();
    }

    void onReadyRead()
    {
        if (m_dead)
            return;
        m_in += m_socket->readAll();
        processInput();
    }

    void processInput()
    {
        while (!m_dead) {
            if (m_state == State::ReadingHead) {
                const int end = m_in.indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                const QByteArray head = m_in.left(end);
                m_in.remove(0, end + 4);
                if (!parseHead(head)) {
                    closeNow();
                    return;
                }
                m_state = State::ReadingBody;
            }
            if (m_state == State::ReadingBody) {
                if (m_in.size() < m_bodyLength)
                    return;
                m_request.body = m_in.left(int(m_bodyLength));
                m_in.remove(0, int(m_bodyLength));
                answer();
                continue;
            }
            return;   // sending, silent or closing: later requests wait
        }
    }

    bool parseHead(const QByteArray& head)
    {
        const QList<QByteArray> lines = head.split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        if (first.size() < 2)
            return false;
        m_request = HttpTestServer::Request();
        m_request.method = first.at(0);
        m_request.target = first.at(1);
        const int q = m_request.target.indexOf('?');
        m_request.path = q < 0 ? m_request.target : m_request.target.left(q);
        m_request.query = q < 0 ? QByteArray() : m_request.target.mid(q + 1);
        m_bodyLength = 0;
        for (int i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines.at(i).trimmed();
            const int colon = line.indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = line.left(colon).trimmed();
            const QByteArray value = line.mid(colon + 1).trimmed();
            m_request.headers.append({name, value});
            if (sameName(name, "Range"))
                m_request.range = value;
            else if (sameName(name, "Content-Length"))
                m_bodyLength = std::max<qint64>(0, value.toLongLong());
        }
        return true;
    }

    void answer()
    {
        const QByteArray path = m_request.path;
        m_reply = m_server->replyFor(m_request);   // records the request
        if (m_dead)
            return;
        if (m_reply.neverAnswer) {
            m_state = State::Silent;
            return;
        }

        m_file.reset();
        m_body = QByteArray();
        qint64 size = 0;
        if (!m_reply.bodyFile.isEmpty()) {
            m_file = std::make_unique<QFile>(m_reply.bodyFile);
            if (!m_file->open(QIODevice::ReadOnly)) {
                m_file.reset();
                m_reply = HttpTestServer::Reply::error(500, "cannot open body file");
                m_body = m_reply.body;
                size = m_body.size();
            } else {
                size = m_file->size();
            }
        } else {
            m_body = m_reply.body;
            size = m_body.size();
        }
        const bool endless = m_reply.endless && !m_body.isEmpty();

        int status = m_reply.status;
        HttpTestServer::HeaderList headers = m_reply.headers;
        qint64 first = 0, length = size;
        if (!m_reply.redirectTo.isEmpty()) {
            if (status < 300 || status > 399)
                status = 302;
            headers.append({"Location", m_reply.redirectTo});
        } else if (endless) {
            length = m_reply.announcedLength >= 0 ? m_reply.announcedLength : std::numeric_limits<qint64>::max();
        } else if (status == 200 && m_reply.partialLength >= 0 && size > 0) {
            qint64 a = 0, b = 0;
            bool satisfiable = false;
            if (!m_request.range.isEmpty() && parseRange(m_request.range, size, &a, &b, &satisfiable) && satisfiable)
                first = a;
            length = std::min(m_reply.partialLength, size - first);
            status = 206;
            headers.append({"Content-Range", QByteArray("bytes ") + QByteArray::number(first) + '-'
                                                 + QByteArray::number(first + length - 1) + '/'
                                                 + (m_reply.unknownCompleteLength ? QByteArray("*")
                                                                                  : QByteArray::number(size))});
        } else if (status == 200 && !m_request.range.isEmpty() && !m_reply.ignoreRange && size > 0) {
            qint64 a = 0, b = 0;
            bool satisfiable = false;
            if (parseRange(m_request.range, size, &a, &b, &satisfiable)) {
                if (satisfiable) {
                    status = 206;
                    first = a;
                    length = b - a + 1;
                    headers.append({"Content-Range", QByteArray("bytes ") + QByteArray::number(a) + '-'
                                                         + QByteArray::number(b) + '/' + QByteArray::number(size)});
                } else {
                    status = 416;
                    length = 0;
                    headers.append({"Content-Range", QByteArray("bytes */") + QByteArray::number(size)});
                }
            }
        }
        const bool headOnly = m_request.method == "HEAD";
        if (headOnly)
            length = 0;

        QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
        if (!hasHeaderNamed(headers, "Content-Type"))
            out += "Content-Type: application/octet-stream\r\n";
        if (status == 200 || status == 206)
            out += "Accept-Ranges: bytes\r\n";
        const bool unannounced = m_reply.noContentLength || (endless && m_reply.announcedLength < 0);
        if (unannounced)
            out += "Connection: close\r\n";
        else
            out += "Content-Length: " + QByteArray::number(length) + "\r\n";
        for (const auto& h : headers)
            out += h.first + ": " + h.second + "\r\n";
        out += "\r\n";
        m_socket->write(out);

        m_path = path;
        m_bodyStart = first;
        m_bodySent = 0;
        m_bodyEnd = length;
        m_limit = length;
        m_endAction = unannounced ? End::Close : End::KeepAlive;
        m_endless = endless;
        if (m_reply.stallAfter >= 0 && m_reply.stallAfter < length) {
            m_limit = m_reply.stallAfter;
            m_endAction = End::Stall;
        }
        if (m_reply.dropAfter >= 0 && m_reply.dropAfter < m_limit) {
            m_limit = m_reply.dropAfter;
            m_endAction = End::Close;
        }
        m_budget = m_reply.throttleBytes;
        if (m_reply.throttleBytes > 0)
            m_throttle.start(std::max(1, m_reply.throttleIntervalMs));
        m_state = State::Sending;
        pump();
    }

    void pump()
    {
        if (m_dead || m_state != State::Sending)
            return;
        while (m_bodySent < m_limit && m_socket->bytesToWrite() < kHighWater) {
            qint64 n = std::min(kChunk, m_limit - m_bodySent);
            if (m_reply.throttleBytes > 0)
                n = std::min(n, m_budget);
            if (n <= 0)
                break;
            QByteArray chunk;
            if (m_file) {
                m_file->seek(m_bodyStart + m_bodySent);
                chunk = m_file->read(n);
                if (chunk.isEmpty()) {   // the file shrank under us
                    closeNow();
                    return;
                }
            } else if (m_endless) {
                // The pattern from where the last chunk left it.
                const qint64 at = (m_bodyStart + m_bodySent) % m_body.size();
                while (chunk.size() < n)
                    chunk += m_body.mid(int(chunk.isEmpty() ? at : 0), int(n - chunk.size()));
            } else {
                chunk = m_body.mid(int(m_bodyStart + m_bodySent), int(n));
            }
            m_socket->write(chunk);
            m_bodySent += chunk.size();
            m_budget -= chunk.size();
            m_server->addBytesSent(m_path, chunk.size());
        }
        if (m_bodySent < m_limit)
            return;
        m_throttle.stop();
        switch (m_endAction) {
        case End::Stall:
            m_state = State::Silent;
            break;
        case End::Close:
            m_state = State::Closing;
            m_socket->disconnectFromHost();   // after the queued bytes
            break;
        case End::KeepAlive:
            m_state = State::ReadingHead;
            m_file.reset();
            m_body = QByteArray();
            QTimer::singleShot(0, this, [this] { processInput(); });
            break;
        }
    }

    enum class End { KeepAlive, Close, Stall };

    HttpTestServer* m_server;
    QTcpSocket* m_socket;
    QByteArray m_in;
    State m_state = State::ReadingHead;
    HttpTestServer::Request m_request;
    qint64 m_bodyLength = 0;
    HttpTestServer::Reply m_reply;
    QByteArray m_path;
    QByteArray m_body;
    std::unique_ptr<QFile> m_file;
    qint64 m_bodyStart = 0, m_bodySent = 0, m_bodyEnd = 0, m_limit = 0, m_budget = 0;
    End m_endAction = End::KeepAlive;
    bool m_endless = false;
    QTimer m_throttle;
    bool m_dead = false;
    bool m_finished = false;
};

QByteArray HttpTestServer::Request::header(const QByteArray& name) const
{
    for (const auto& h : headers)
        if (sameName(h.first, name))
            return h.second;
    return QByteArray();
}

bool HttpTestServer::Request::hasHeader(const QByteArray& name) const
{
    return hasHeaderNamed(headers, name);
}

HttpTestServer::Reply HttpTestServer::Reply::ok(const QByteArray& body)
{
    Reply r;
    r.body = body;
    return r;
}

HttpTestServer::Reply HttpTestServer::Reply::error(int status, const QByteArray& body)
{
    Reply r;
    r.status = status;
    r.body = body;
    return r;
}

HttpTestServer::Reply HttpTestServer::Reply::redirect(const QByteArray& location, int status)
{
    Reply r;
    r.status = status;
    r.redirectTo = location;
    return r;
}

HttpTestServer::Reply HttpTestServer::Reply::drip(const QByteArray& body, int intervalMs)
{
    Reply r;
    r.body = body;
    r.throttleBytes = 1;
    r.throttleIntervalMs = intervalMs;
    return r;
}

HttpTestServer::Reply HttpTestServer::Reply::endlessOf(const QByteArray& pattern)
{
    Reply r;
    r.body = pattern;
    r.endless = true;
    return r;
}

HttpTestServer::Reply HttpTestServer::Reply::gzipped(const QByteArray& gzipBody)
{
    Reply r;
    r.body = gzipBody;
    r.headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
    return r;
}

HttpTestServer::HttpTestServer(QObject* parent) : HttpTestServer(0, parent) {}

HttpTestServer::HttpTestServer(quint16 port, QObject* parent)
    : QObject(parent), m_server(new QTcpServer(this))
{
    m_fallback = [](const Request&) { return Reply::error(404, "not found"); };
    connect(m_server, &QTcpServer::newConnection, this, &HttpTestServer::onNewConnection);
    m_server->listen(QHostAddress::LocalHost, port);
}

HttpTestServer::~HttpTestServer()
{
    m_server->close();
    const auto connections = m_connections;
    m_connections.clear();
    for (HttpTestConnection* c : connections)
        delete c;
}

bool HttpTestServer::isListening() const { return m_server->isListening(); }
quint16 HttpTestServer::port() const { return m_server->serverPort(); }

QString HttpTestServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QUrl HttpTestServer::url(const QString& pathAndQuery) const
{
    return QUrl(baseUrl() + pathAndQuery);
}

void HttpTestServer::setRoute(const QByteArray& path, const QByteArray& body)
{
    setRoute(path, Reply::ok(body));
}

void HttpTestServer::setRoute(const QByteArray& path, const Reply& reply)
{
    setHandler(path, [reply](const Request&) { return reply; });
}

void HttpTestServer::setHandler(const QByteArray& path, Handler handler)
{
    m_handlers.insert(path, std::move(handler));
}

void HttpTestServer::removeRoute(const QByteArray& path) { m_handlers.remove(path); }

void HttpTestServer::setFallback(Handler handler) { m_fallback = std::move(handler); }

QList<HttpTestServer::Request> HttpTestServer::requests(const QByteArray& path) const
{
    QList<Request> out;
    for (const Request& r : m_requests)
        if (r.path == path)
            out.append(r);
    return out;
}

int HttpTestServer::requestCount(const QByteArray& path) const { return requests(path).size(); }

void HttpTestServer::clearRequests()
{
    m_requests.clear();
    m_seq.clear();
    m_bytesSent.clear();
}

int HttpTestServer::connectionCount() const { return m_connections.size(); }

void HttpTestServer::closeAllConnections()
{
    const auto connections = m_connections;
    for (HttpTestConnection* c : connections)
        c->closeNow();
}

bool HttpTestServer::waitForRequests(int n, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_requests.size() < n && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
    return m_requests.size() >= n;
}

void HttpTestServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection())
        m_connections.append(new HttpTestConnection(this, socket));
}

HttpTestServer::Reply HttpTestServer::replyFor(Request& request)
{
    request.seq = m_seq[request.path]++;
    m_requests.append(request);
    const auto it = m_handlers.constFind(request.path);
    Reply reply = it != m_handlers.constEnd() ? (*it)(request) : m_fallback(request);
    emit requestReceived(request.path);
    return reply;
}
