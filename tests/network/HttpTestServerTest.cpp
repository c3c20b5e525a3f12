// The loopback server that every network test stands on: its answers, seen
// from a raw socket, must be exactly the HTTP it claims to send.
#include "HttpTestServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

struct RawAnswer
{
    QByteArray bytes;
    bool closedByServer = false;
};

// The server lives on this thread, so the client must never block it: every
// wait below spins the event loop.
void spin(int ms)
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, ms);
}

// Sends one request and collects what arrives until the server closes the
// connection or nothing more comes for `idleMs`.
RawAnswer rawGet(const HttpTestServer& server, const QByteArray& target, const QByteArray& extra = {},
                 int idleMs = 200)
{
    RawAnswer out;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    socket.write("GET " + target + " HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n");
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < idleMs) {
        spin(10);
        if (socket.bytesAvailable() > 0) {
            out.bytes += socket.readAll();
            idle.restart();
        }
        if (socket.state() == QAbstractSocket::UnconnectedState) {
            out.bytes += socket.readAll();
            out.closedByServer = true;
            break;
        }
    }
    return out;
}

QByteArray bodyOf(const QByteArray& answer)
{
    const int end = answer.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : answer.mid(end + 4);
}

const QByteArray kBody = "0123456789abcdefghij";   // 20 bytes

} // namespace

TEST(HttpTestServer, AnswersEachFaultAsDeclared)
{
    HttpTestServer server;
    ASSERT_TRUE(server.isListening());

    struct Case
    {
        const char* name;
        HttpTestServer::Reply reply;
        QByteArray extraHeaders;
        QByteArray statusLine;      // start of the answer, empty: nothing at all
        QByteArray mustContain;     // a header line, empty: no check
        QByteArray body;
        bool closed;
    };
    auto with = [](auto change) {
        HttpTestServer::Reply r = HttpTestServer::Reply::ok(kBody);
        change(r);
        return r;
    };
    const QList<Case> cases = {
        {"plain", HttpTestServer::Reply::ok(kBody), "", "HTTP/1.1 200", "Content-Length: 20", kBody, false},
        {"range", HttpTestServer::Reply::ok(kBody), "Range: bytes=15-\r\n", "HTTP/1.1 206",
         "Content-Range: bytes 15-19/20", "fghij", false},
        {"range past end", HttpTestServer::Reply::ok(kBody), "Range: bytes=20-\r\n", "HTTP/1.1 416",
         "Content-Range: bytes */20", "", false},
        {"ignore range", with([](auto& r) { r.ignoreRange = true; }), "Range: bytes=15-\r\n", "HTTP/1.1 200",
         "Content-Length: 20", kBody, false},
        {"error", HttpTestServer::Reply::error(500, "broken"), "", "HTTP/1.1 500", "Content-Length: 6", "broken",
         false},
        {"redirect", HttpTestServer::Reply::redirect("/elsewhere"), "", "HTTP/1.1 302", "Location: /elsewhere", "",
         false},
        {"no length", with([](auto& r) { r.noContentLength = true; }), "", "HTTP/1.1 200", "Connection: close",
         kBody, true},
        {"drop", with([](auto& r) { r.dropAfter = 7; }), "", "HTTP/1.1 200", "Content-Length: 20", "0123456",
         true},
        {"stall", with([](auto& r) { r.stallAfter = 5; }), "", "HTTP/1.1 200", "Content-Length: 20", "01234",
         false},
        {"never", with([](auto& r) { r.neverAnswer = true; }), "", "", "", "", false},
        {"throttled", with([](auto& r) { r.throttleBytes = 3; r.throttleIntervalMs = 1; }), "", "HTTP/1.1 200",
         "", kBody, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = QByteArray("/") + QByteArray(c.name).replace(' ', '_');
        server.setRoute(path, c.reply);
        const RawAnswer a = rawGet(server, path, c.extraHeaders);
        EXPECT_TRUE(a.bytes.startsWith(c.statusLine)) << a.bytes.left(40).toStdString();
        if (c.statusLine.isEmpty()) {
            EXPECT_TRUE(a.bytes.isEmpty());
        }
        if (!c.mustContain.isEmpty()) {
            EXPECT_TRUE(a.bytes.contains("\r\n" + c.mustContain + "\r\n")) << a.bytes.toStdString();
        }
        EXPECT_EQ(bodyOf(a.bytes), c.body);
        EXPECT_EQ(a.closedByServer, c.closed);
    }
}

TEST(HttpTestServer, RecordsRequestsAndServesKeepAliveInOrder)
{
    HttpTestServer server;
    server.setRoute("/a", QByteArray("first"));
    int calls = 0;
    server.setHandler("/b", [&](const HttpTestServer::Request& r) {
        ++calls;
        return HttpTestServer::Reply::ok("seq=" + QByteArray::number(r.seq) + " q=" + r.query);
    });

    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), server.port());
    // Two requests in one write: the second is answered after the first.
    socket.write("GET /a HTTP/1.1\r\nHost: x\r\nRange: bytes=2-\r\nX-Test: 1\r\n\r\n"
                 "GET /b?k=v&z HTTP/1.1\r\nHost: x\r\n\r\n");
    QByteArray got;
    for (int i = 0; i < 250 && !got.endsWith("seq=0 q=k=v&z"); ++i)
        spin(20), got += socket.readAll();
    EXPECT_LT(got.indexOf("rst"), got.indexOf("seq=0 q=k=v&z"));
    EXPECT_TRUE(got.contains("Content-Range: bytes 2-4/5"));

    ASSERT_EQ(server.requestCount(), 2);
    const HttpTestServer::Request a = server.requests().at(0);
    EXPECT_EQ(a.method, "GET");
    EXPECT_EQ(a.range, "bytes=2-");
    EXPECT_EQ(a.header("x-test"), "1");
    const HttpTestServer::Request b = server.requests("/b").value(0);
    EXPECT_EQ(b.target, "/b?k=v&z");
    EXPECT_EQ(b.path, "/b");
    EXPECT_EQ(b.query, "k=v&z");
    EXPECT_FALSE(b.hasHeader("Range"));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(server.bodyBytesSent("/a"), 3);
}
