// The resumable downloader against the real loopback server: one outcome per
// transfer whatever the server does, byte-identical resume, and the stall
// watchdog's counting rules.
#include "GzipBomb.h"
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "NetTestUtil.h"
#include "QHttpDownLoadS.h"
#include "RefusingPort.h"

#include <QAbstractEventDispatcher>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QTimerEvent>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <vector>

using namespace nettest;
using Reply = HttpTestServer::Reply;

namespace {

const QByteArray kBody = patternBody(200 * 1024);

int objectTimers(QObject* o)
{
    return QAbstractEventDispatcher::instance()->registeredTimers(o).size();
}

int activeChildTimers(QObject* o)
{
    int n = 0;
    for (QTimer* t : o->findChildren<QTimer*>())
        n += t->isActive() ? 1 : 0;
    return n;
}

} // namespace

TEST(Downloader, EveryFaultEndsInExactlyOneOutcome)
{
    IsolatedEnv env;
    HttpTestServer server;
    server.setRoute("/file", kBody);
    QTemporaryDir dir;

    auto with = [](auto change) {
        Reply r = Reply::ok(kBody);
        change(r);
        return r;
    };
    Reply wrongRange = Reply::ok(kBody.mid(5));
    wrongRange.status = 206;
    wrongRange.headers.append({"Content-Range", "bytes 5-" + QByteArray::number(kBody.size() - 1) + "/"
                                                    + QByteArray::number(kBody.size())});

    // A 206 that covers `length` bytes from the start it was asked for.
    auto partial = [](qint64 length, bool unknownComplete = false) {
        Reply r = Reply::ok(kBody);
        r.partialLength = length;
        r.unknownCompleteLength = unknownComplete;
        return r;
    };

    struct Case
    {
        const char* name;
        Reply reply;
        bool follow;
        QStringList events;
        QByteArray file;
        bool refused = false;
        bool ranged = false;   // a resume offset of 0: the request says "Range: bytes=0-"
        bool endedByWatchdog = false;
    };
    // "drop?": the network layer may or may not call an early close an error,
    // but the byte count always fails the transfer.
    const QStringList ok{"finish"}, netError{"network", "error"}, error{"error"}, dropped{"network?", "error"};
    const std::vector<Case> cases = {
        {"complete", Reply::ok(kBody), true, ok, kBody},
        {"empty body", Reply::ok(""), true, ok, ""},
        {"no length", with([](Reply& r) { r.noContentLength = true; }), true, ok, kBody},
        {"server error", Reply::error(500, "<html>broken</html>"), true, netError, ""},
        {"not found", Reply::error(404, "<html>no such file</html>"), true, netError, ""},
        {"redirect followed", Reply::redirect("/file"), true, ok, kBody},
        {"redirect not followed", Reply::redirect("/file"), false, error, ""},
        {"drop", with([](Reply& r) { r.dropAfter = 50000; }), true, dropped, kBody.left(50000)},
        {"stall", with([](Reply& r) { r.stallAfter = 50000; }), true, error, kBody.left(50000), false, false, true},
        {"never answers", with([](Reply& r) { r.neverAnswer = true; }), true, error, "", false, false, true},
        {"wrong Content-Range", wrongRange, true, error, ""},
        {"connection refused", Reply(), true, netError, "", true},
        {"partial 206 without Range", partial(1000), true, error, ""},
        {"partial 206 to bytes=0-", partial(1000), true, error, "", false, true},
        {"206 of the whole file without Range", partial(kBody.size()), true, ok, kBody},
        {"206 of the whole file to bytes=0-", partial(kBody.size()), true, ok, kBody, false, true},
        // "*" names no complete length: a first answer with it could be any
        // slice of the file, however it ends.
        {"206 of unknown length without Range", partial(kBody.size(), true), true, error, ""},
        {"206 of unknown length, whole range", partial(kBody.size(), true), true, error, "", false, true},
        {"206 of unknown length, cut short", with([](Reply& r) {
             r.partialLength = kBody.size();
             r.unknownCompleteLength = true;
             r.dropAfter = 1000;
         }), true, error, "", false, true},
        {"206 of 1000 bytes of unknown length", partial(1000, true), true, error, ""},
        // Asked for unencoded, so a compressed body is not the file.
        {"gzip encoded", Reply::gzipped(gzipOfZeros(1024 * 1024)), true, error, ""},
    };
    const RefusingPort refused;
    ASSERT_NE(refused.port(), 0);
    for (const Case& c : cases) {
        for (const bool wait : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (wait ? " (waiting start)" : ""));
            // The 90 s checks: short (900 ms) where they end the transfer,
            // long (9 s) where they must not, so that a loaded machine's
            // pauses neither cut a healthy transfer nor the bytes before a
            // stall.
            env.set("UPDATER_TIME_SCALE", c.endedByWatchdog ? "0.01" : "0.1");
            const QByteArray path = "/case/" + QByteArray(c.name).replace(' ', '_');
            server.setRoute(path, c.reply);
            const QString target = dir.filePath(QString::fromLatin1(path.mid(6)) + (wait ? ".w" : ".n"));
            QUrl url = server.url(QString::fromLatin1(path));
            if (c.refused)
                url.setPort(refused.port());

            qint64 offset = 0;
            QHttpDownLoadS dl(nullptr, nullptr, nullptr, c.ranged ? &offset : nullptr);
            dl.m_bFollowRedirects = c.follow;
            Recorder rec(dl);
            ASSERT_TRUE(dl.setUrlAndFilePath(url, target));
            ASSERT_TRUE(dl.startDownLoads(wait));
            if (wait) {
                EXPECT_EQ(rec.outcomes(), 1);   // everything ran inside the wait
            }
            ASSERT_TRUE(rec.waitOutcome());
            // Nothing more may follow: a while for late network signals, two
            // periods where a watchdog ran (the ones that did not must be
            // gone, see the timer counts below).
            spinFor(c.endedByWatchdog ? 2000 : 400);
            QStringList expected = c.events;
            if (expected.removeAll(QStringLiteral("network?")) && rec.events.startsWith(QStringLiteral("network")))
                expected.prepend(QStringLiteral("network"));
            EXPECT_EQ(rec.events, expected);
            EXPECT_EQ(rec.paths, QStringList{target});
            if (c.ranged && !c.refused) {
                EXPECT_EQ(server.requests(path).value(0).range, "bytes=0-");
            }
            EXPECT_EQ(readFile(target), c.file);
            EXPECT_EQ(objectTimers(&dl), 0);
            EXPECT_EQ(activeChildTimers(&dl), 0);
            dl.pauseDownloads();   // after the end: the released reply is not touched
            dl.continueDownload();
            EXPECT_EQ(rec.outcomes(), 1);
        }
    }
}

TEST(Downloader, PauseThenContinueResumesByteIdentical)
{
    IsolatedEnv env;
    QTemporaryDir dir;
    HttpTestServer server;
    const QByteArray body = patternBody(600 * 1024);
    const QList<qint64> stops = {100000, 250000, 430000};   // three pauses
    struct Case
    {
        const char* name;
        bool offsetPointer;
        bool lastIgnoresRange;
    };
    for (const Case& c : {Case{"creator's offset", true, false}, Case{"own offset", false, false},
                          Case{"range ignored on resume", true, true}}) {
        SCOPED_TRACE(c.name);
        server.clearRequests();
        // Each request up to the last stops at the next mark, so every pause
        // catches the transfer half-way at a known size.
        server.setHandler("/big", [&](const HttpTestServer::Request& r) {
            Reply reply = Reply::ok(body);
            if (r.seq < stops.size()) {
                const qint64 from = r.seq == 0 ? 0 : stops.at(r.seq - 1);
                reply.stallAfter = stops.at(r.seq) - from;
            } else {
                reply.ignoreRange = c.lastIgnoresRange;
            }
            return reply;
        });
        const QString target = dir.filePath(QString::fromLatin1(c.name));
        qint64 offset = 0;
        QHttpDownLoadS dl(nullptr, nullptr, nullptr, c.offsetPointer ? &offset : nullptr);
        Recorder rec(dl);
        ASSERT_TRUE(dl.setUrlAndFilePath(server.url("/big"), target));
        ASSERT_TRUE(dl.startDownLoads(false));
        for (const qint64 stop : stops) {
            ASSERT_TRUE(spinUntil([&] { return QFileInfo(target).size() == stop; })) << QFileInfo(target).size();
            dl.pauseDownloads();
            EXPECT_EQ(QFileInfo(target).size(), stop);
            if (c.offsetPointer) {
                EXPECT_EQ(offset, stop);
            }
            EXPECT_EQ(objectTimers(&dl), 0);   // a paused transfer is not watched for stalls
            dl.continueDownload();
            EXPECT_EQ(objectTimers(&dl), 1);   // exactly one watchdog after every cycle
            EXPECT_EQ(activeChildTimers(&dl), 1);
        }
        ASSERT_TRUE(rec.waitOutcome());
        EXPECT_EQ(rec.events, QStringList{"finish"});
        EXPECT_TRUE(readFile(target) == body);
        EXPECT_EQ(rec.lastTotal, body.size());

        const QList<HttpTestServer::Request> requests = server.requests("/big");
        ASSERT_EQ(requests.size(), 4);
        EXPECT_EQ(requests.at(0).range, c.offsetPointer ? QByteArray("bytes=0-") : QByteArray());
        for (int i = 0; i < stops.size(); ++i)
            EXPECT_EQ(requests.at(i + 1).range, "bytes=" + QByteArray::number(stops.at(i)) + "-");
        if (c.offsetPointer) {
            EXPECT_EQ(offset, body.size());
        }
    }
}

// Progress notifications per watchdog interval → the tick that reports a
// stall (0: none). Driven by hand against a transfer the server never
// answers, so no real notification or tick interferes (the real waits stay
// at 90 s here).
TEST(Downloader, StallWatchdogCountsNotificationsPerInterval)
{
    IsolatedEnv env;
    QTemporaryDir dir;
    HttpTestServer server;
    server.setRoute("/silent", [] {
        Reply r;
        r.neverAnswer = true;
        return r;
    }());
    struct Case
    {
        std::vector<int> perInterval;   // notifications before tick 1, 2, ...
        int reportAt;
    };
    const std::vector<Case> cases = {
        {{0, 5, 5}, 0},          // none in the first interval: the watchdog turns off
        {{1}, 1},
        {{2, 0}, 2},
        {{3, 0, 0}, 3},
        {{4, 0}, 2},
        {{10, 0}, 2},            // many count as two
        {{2, 2, 2, 0}, 4},
        {{2, 1, 1, 1, 0}, 5},    // one per interval keeps a counter of 1 alive
        {{5, 5, 5, 5, 5}, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.perInterval));
        QHttpDownLoadS dl;
        Recorder rec(dl);
        ASSERT_TRUE(dl.setUrlAndFilePath(server.url("/silent"), dir.filePath(QString::number(n++))));
        ASSERT_TRUE(dl.startDownLoads(false));
        ASSERT_TRUE(server.waitForRequests(n));
        int reportedAt = 0;
        int tick = 0;
        for (const int notifications : c.perInterval) {
            for (int i = 0; i < notifications; ++i)
                dl.downloadProgress(0, 1000);
            QTimerEvent event(1);
            dl.timerEvent(&event);
            ++tick;
            if (rec.outcomes() > 0 && reportedAt == 0)
                reportedAt = tick;
        }
        EXPECT_EQ(reportedAt, c.reportAt);
        // A report ends the transfer: more ticks and the reply's end add nothing.
        if (c.reportAt) {
            QTimerEvent event(1);
            dl.timerEvent(&event);
        }
        spinFor(50);
        EXPECT_EQ(rec.events, c.reportAt ? QStringList{"error"} : QStringList{});
        if (c.reportAt) {
            EXPECT_EQ(objectTimers(&dl), 0);
        }
    }
}

TEST(Downloader, RefusesUnusableTargets)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath("old");
    writeFile(existing, "old contents");
    struct Case
    {
        QUrl url;
        QString path;
        bool accepted;
    };
    for (const Case& c : {Case{QUrl("http://127.0.0.1:1"), existing, false}, Case{QUrl(), existing, false},
                          Case{QUrl("http://127.0.0.1:1/x"), QString(), false}}) {
        QHttpDownLoadS dl;
        EXPECT_EQ(dl.setUrlAndFilePath(c.url, c.path), c.accepted) << c.url.toString().toStdString();
    }
    EXPECT_EQ(readFile(existing), "old contents");   // a refused target is not touched

    QHttpDownLoadS dl;
    EXPECT_TRUE(dl.setUrlAndFilePath(QUrl("http://127.0.0.1:1/x"), existing));
    EXPECT_FALSE(QFile::exists(existing));   // a fresh download never appends to an old file
    QHttpDownLoadS noFolder;
    Recorder rec(noFolder);
    ASSERT_TRUE(noFolder.setUrlAndFilePath(QUrl("http://127.0.0.1:1/x"), dir.filePath("missing/x")));
    EXPECT_FALSE(noFolder.startDownLoads(true));
    noFolder.stopDownLoads();
    EXPECT_TRUE(rec.events.isEmpty());
}

TEST(Downloader, FailedWriteFailsTheTransfer)
{
    QTemporaryDir dir;
    HttpTestServer server;
    server.setRoute("/file", kBody);
    const QString target = dir.filePath("full");
    QHttpDownLoadS dl;
    Recorder rec(dl);
    ASSERT_TRUE(dl.setUrlAndFilePath(server.url("/file"), target));
    // Writes past 50000 bytes fail as on a full disk (EFBIG instead of a signal).
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 50000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool started = dl.startDownLoads(true);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(started);
    EXPECT_EQ(rec.events, QStringList{"error"});
}

// A link in the target's place, planted before the target is set or between
// setting it and the start, dangling or not: it is removed as a link and the
// body lands in a plain file at the target, never where the link points.
TEST(Downloader, NeverWritesThroughALink)
{
    QTemporaryDir dir;
    HttpTestServer server;
    server.setRoute("/file", kBody);
    const QString elsewhere = dir.filePath("elsewhere");
    struct Case
    {
        const char* name;
        bool beforeSet;
        bool dangling;
    };
    for (const Case& c : {Case{"dangling link before set", true, true}, Case{"link to a file before set", true, false},
                          Case{"dangling link before start", false, true},
                          Case{"link to a file before start", false, false}}) {
        SCOPED_TRACE(c.name);
        const QString target = dir.filePath("target");
        QFile::remove(target);
        QFile::remove(elsewhere);
        if (!c.dangling)
            writeFile(elsewhere, "not yours");
        QHttpDownLoadS dl;
        Recorder rec(dl);
        if (c.beforeSet) {
            ASSERT_TRUE(QFile::link(elsewhere, target));
        }
        ASSERT_TRUE(dl.setUrlAndFilePath(server.url("/file"), target));
        if (!c.beforeSet) {
            ASSERT_TRUE(QFile::link(elsewhere, target));
        }
        ASSERT_TRUE(dl.startDownLoads(true));
        EXPECT_EQ(rec.events, QStringList{"finish"});
        EXPECT_FALSE(QFileInfo(target).isSymLink());
        EXPECT_TRUE(readFile(target) == kBody);
        EXPECT_EQ(QFileInfo::exists(elsewhere), !c.dangling);
        if (!c.dangling) {
            EXPECT_EQ(readFile(elsewhere), "not yours");
        }
    }
}
