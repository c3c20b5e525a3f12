// What a body may be: a 206 that names no complete length only continues a
// transfer whose total is known, a body stops at the creator's bound (or is
// refused when it announces more), and nothing is asked for or taken
// compressed. The existence probe reads no further than a short answer goes.
#include "GzipBomb.h"
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "NetTestUtil.h"
#include "QHttpCheckExist.h"
#include "QHttpDownLoadS.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <limits>
#include <gtest/gtest.h>
#include <vector>

using namespace nettest;
using Reply = HttpTestServer::Reply;

namespace {

const QByteArray kBody = patternBody(300 * 1024);
const qint64 kPause = 100000;

} // namespace

// The first answer is a 200 that the test pauses at kPause; the second answers
// "Range: bytes=100000-". The transfer has a package's bound.
TEST(BodyLimits, StarRangeOnlyContinuesAKnownTotal)
{
    IsolatedEnv env;
    QTemporaryDir dir;
    HttpTestServer server;
    auto continuation = [](qint64 length, const QByteArray& complete) {
        // Bytes past the file's end are there for a range that claims them.
        Reply r = Reply::error(206, (kBody + "extra").mid(int(kPause), int(length)));
        r.headers.append(qMakePair(QByteArray("Content-Range"), "bytes " + QByteArray::number(kPause) + '-'
                                                                  + QByteArray::number(kPause + length - 1) + '/'
                                                                  + complete));
        return r;
    };
    const qint64 rest = kBody.size() - kPause;
    // The rest of the file announced as the largest length there is: added to
    // the bytes already on disk it leaves the range of numbers.
    Reply endlessRest = continuation(rest, "*");
    endlessRest.body = kBody.mid(int(kPause), 4096);
    endlessRest.endless = true;
    endlessRest.announcedLength = std::numeric_limits<qint64>::max();
    struct Case
    {
        const char* name;
        Reply second;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"ends at the known total", continuation(rest, "*"), true},
        {"ends short of the known total", continuation(1000, "*"), false},
        {"names the known total", continuation(rest, QByteArray::number(kBody.size())), true},
        {"names another total", continuation(rest + 5, QByteArray::number(kBody.size() + 5)), false},
        {"announces the largest length", endlessRest, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray path = "/cont/" + QByteArray(c.name).replace(' ', '_');
        server.setHandler(path, [&c](const HttpTestServer::Request& r) {
            if (r.seq > 0)
                return c.second;
            Reply first = Reply::ok(kBody);
            first.stallAfter = kPause;
            return first;
        });
        const QString target = dir.filePath(QString::fromLatin1(path.mid(6)));
        qint64 offset = 0;
        QHttpDownLoadS dl(nullptr, nullptr, nullptr, &offset);
        dl.m_nMaxBytes = QHttpDownLoadS::packageBound(kBody.size());
        Recorder rec(dl);
        ASSERT_TRUE(dl.setUrlAndFilePath(server.url(QString::fromLatin1(path)), target));
        ASSERT_TRUE(dl.startDownLoads(false));
        ASSERT_TRUE(spinUntil([&] { return QFileInfo(target).size() == kPause; }));
        dl.pauseDownloads();
        dl.continueDownload();
        ASSERT_TRUE(rec.waitOutcome());
        EXPECT_EQ(rec.events, QStringList{c.complete ? "finish" : "error"});
        EXPECT_EQ(server.requests(path).value(1).range, "bytes=" + QByteArray::number(kPause) + "-");
        if (c.complete) {
            EXPECT_TRUE(readFile(target) == kBody);
        }
    }
}

// Bound 200,000 bytes. What the server sent is looked at too: a body cut at
// the bound is not streamed on to its end.
TEST(BodyLimits, BodyPastTheBoundFailsAndLeavesNoFile)
{
    IsolatedEnv env;
    QTemporaryDir dir;
    HttpTestServer server;
    const qint64 bound = 200000;
    auto endless = [](qint64 announced) {
        Reply r = Reply::endlessOf(patternBody(4096));
        r.announcedLength = announced;
        return r;
    };
    Reply unannouncedFit = Reply::ok(kBody.left(int(bound)));
    unannouncedFit.noContentLength = true;
    struct Case
    {
        const char* name;
        Reply reply;
        bool complete;
        qint64 maxSent;   // body bytes the server may have sent per request
    };
    const std::vector<Case> cases = {
        {"endless without a length", endless(-1), false, 64 * 1024 * 1024},
        {"announces more than the bound", endless(qint64(8) << 30), false, 64 * 1024 * 1024},
        {"announces one byte more", Reply::ok(kBody.left(int(bound + 1))), false, bound + 1},
        {"exactly the bound", Reply::ok(kBody.left(int(bound))), true, bound},
        {"exactly the bound without a length", unannouncedFit, true, bound},
    };
    for (const Case& c : cases) {
        for (const bool wait : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (wait ? " (waiting start)" : ""));
            server.clearRequests();
            server.setRoute("/body", c.reply);
            const QString target = dir.filePath("body");
            QHttpDownLoadS dl;
            dl.m_nMaxBytes = bound;
            Recorder rec(dl);
            ASSERT_TRUE(dl.setUrlAndFilePath(server.url("/body"), target));
            ASSERT_TRUE(dl.startDownLoads(wait));
            ASSERT_TRUE(rec.waitOutcome());
            EXPECT_EQ(rec.events, QStringList{c.complete ? "finish" : "error"});
            EXPECT_EQ(dl.overLimit(), !c.complete);
            EXPECT_EQ(QFileInfo::exists(target), c.complete);
            if (c.complete) {
                EXPECT_TRUE(readFile(target) == kBody.left(int(bound)));
            }
            spinFor(50);
            // Per request: the network layer may send a request again on a
            // fresh connection when the server closed the one it reused.
            EXPECT_LE(server.bodyBytesSent("/body"), c.maxSent * std::max(1, server.requestCount("/body")));
        }
    }
}

// An announced size only narrows the bound that applies when none is given.
TEST(BodyLimits, PackageBoundIsTheAnnouncedSizeAndAMarginWithinTheCeiling)
{
    const qint64 ceiling = qint64(4) << 30;
    EXPECT_EQ(QHttpDownLoadS::packageBound(200000), 200000 + 1024 * 1024);
    EXPECT_EQ(QHttpDownLoadS::packageBound(ceiling - 1024 * 1024), ceiling);
    EXPECT_EQ(QHttpDownLoadS::packageBound(0), ceiling);   // none announced
    EXPECT_EQ(QHttpDownLoadS::packageBound(5000000000LL), ceiling);
    EXPECT_EQ(QHttpDownLoadS::packageBound(1000000000000000000LL), ceiling);
    EXPECT_EQ(QHttpDownLoadS::packageBound(std::numeric_limits<qint64>::max()), ceiling);
}

// The downloader and the probe both ask for the body as it is; a server that
// compresses it anyway gets its body refused by the downloader, unread.
TEST(BodyLimits, AsksForUnencodedBodiesAndRefusesCompressedOnes)
{
    IsolatedEnv env;
    QTemporaryDir dir;
    HttpTestServer server;
    const QByteArray bomb = gzipOfZeros(qint64(256) << 20);
    server.setRoute("/gz", Reply::gzipped(bomb));
    server.setRoute("/plain", kBody);

    QHttpDownLoadS dl;
    Recorder rec(dl);
    ASSERT_TRUE(dl.setUrlAndFilePath(server.url("/gz"), dir.filePath("gz")));
    ASSERT_TRUE(dl.startDownLoads(true));
    EXPECT_EQ(rec.events, QStringList{"error"});
    EXPECT_EQ(readFile(dir.filePath("gz")), QByteArray());

    QHttpCheckExist probe(nullptr, server.url("/plain").toString());
    probe.checkExit();
    const QList<HttpTestServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    for (const HttpTestServer::Request& r : requests)
        EXPECT_EQ(r.header("Accept-Encoding"), "identity") << r.path.constData();
}

// A body without a length that goes on past the short answer's size is not the
// not-found answer: the probe stops there instead of reading to its wait's end.
TEST(BodyLimits, ProbeStopsReadingPastTheShortAnswer)
{
    IsolatedEnv env;
    env.set("UPDATER_TIME_SCALE", "0.2");   // the probe's own wait: 18 s
    HttpTestServer server;
    Reply endless = Reply::endlessOf("{\"code\":0,\"msg\":\"here it comes\"} ");
    endless.throttleBytes = 64;   // slow enough that a probe reading on would still be waiting
    endless.throttleIntervalMs = 20;
    server.setRoute("/endless", endless);
    QHttpCheckExist probe(nullptr, server.url("/endless").toString());
    probe.checkExit();
    EXPECT_FALSE(probe.m_bNotFound);
    // Answered from what the first 150 bytes or so showed, not from the wait.
    EXPECT_LT(server.bodyBytesSent("/endless"), 4096);
}
