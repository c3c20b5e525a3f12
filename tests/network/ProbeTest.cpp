// The existence probe: only a short body with the not-found code marks a file
// as missing, and no server behaviour can hold the probe for ever.
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "NetTestUtil.h"
#include "QHttpCheckExist.h"

#include <QTcpServer>
#include <gtest/gtest.h>
#include <vector>

using Reply = HttpTestServer::Reply;

namespace {

const QByteArray kNotFound = "{\"code\":1000003,\"msg\":\"file not found\"}";

QByteArray padded(const QByteArray& text, int size)
{
    return text + QByteArray(size - text.size(), ' ');
}

} // namespace

TEST(Probe, RecognisesOnlyTheShortNotFoundAnswer)
{
    IsolatedEnv env;
    env.set("UPDATER_TIME_SCALE", "0.005");   // the 90 s wait becomes 450 ms
    HttpTestServer server;
    server.setRoute("/missing", kNotFound);

    auto with = [](const QByteArray& body, auto change) {
        Reply r = Reply::ok(body);
        change(r);
        return r;
    };
    struct Case
    {
        const char* name;
        Reply reply;
        bool notFound;
    };
    const std::vector<Case> cases = {
        {"short answer with the code", Reply::ok(kNotFound), true},
        {"code arriving in pieces", with(kNotFound, [](Reply& r) { r.throttleBytes = 4; r.throttleIntervalMs = 30; }),
         true},
        {"error status with the code", Reply::error(404, kNotFound), true},
        {"no length, code inside", with(kNotFound, [](Reply& r) { r.noContentLength = true; }), true},
        {"after a redirect", Reply::redirect("/missing"), true},
        {"149 bytes", Reply::ok(padded(kNotFound, 149)), true},
        {"150 bytes are never read", Reply::ok(padded(kNotFound, 150)), false},
        {"long list", Reply::ok(padded("-----BEGIN CERTIFICATE-----", 64 * 1024)), false},
        {"short answer without the code", Reply::ok("{\"code\":1000004}"), false},
        {"code in other case", Reply::ok("{\"CODE\":1000003}"), false},
        {"error without body", Reply::error(500, ""), false},
        {"never answers", with("", [](Reply& r) { r.neverAnswer = true; }), false},
        {"stalls in the body", with(padded(kNotFound, 100), [](Reply& r) { r.stallAfter = 3; }), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = "/probe/" + QByteArray(c.name).replace(' ', '_');
        server.setRoute(path, c.reply);
        QHttpCheckExist probe(nullptr, server.url(QString::fromLatin1(path)).toString());
        EXPECT_TRUE(probe.checkExit());
        EXPECT_EQ(probe.m_bNotFound, c.notFound);
    }

    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    QHttpCheckExist unreachable(nullptr, QStringLiteral("http://127.0.0.1:%1/list").arg(port));
    EXPECT_TRUE(unreachable.checkExit());
    EXPECT_FALSE(unreachable.m_bNotFound);
}

TEST(Probe, FlagStaysSetOnceSeen)
{
    HttpTestServer server;
    server.setHandler("/list", [](const HttpTestServer::Request& r) {
        return r.seq == 0 ? Reply::ok(kNotFound) : Reply::ok(padded("present", 4096));
    });
    QHttpCheckExist probe(nullptr, server.url("/list").toString());
    probe.checkExit();
    probe.checkExit();
    EXPECT_EQ(server.requestCount("/list"), 2);
    EXPECT_TRUE(probe.m_bNotFound);
}
