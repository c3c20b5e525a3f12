// The trust-list run end to end: the real UpdaterApp started with
// "-downloadTrustCertfile ..." against the loopback server. Standard output
// must hold exactly the status number; a list that fails keeps its old file.
#include "AgentProcess.h"
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "NetTestUtil.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace nettest;
using Reply = HttpTestServer::Reply;

namespace {

const QByteArray kEutl = patternBody(300 * 1024);
const QByteArray kFatl = patternBody(70 * 1024).toBase64();
const QByteArray kOldEutl = "old eutl list";
const QByteArray kOldFatl = "old fatl list";
const QByteArray kNotFound = "{\"code\":1000003,\"msg\":\"not found\"}";

enum : int { Eutl = 0x10000, Fatl = 0x1000000, Auto = 0x10000000 };

struct ListRun
{
    AgentResult result;
    QByteArray eutl, fatl;
    QStringList leftovers;   // files in the lists' folder besides the two lists
};

} // namespace

class TrustList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        env.set("UPDATER_TIME_SCALE", "0.05");
        eutlFile = dir.filePath("eutl.xml");
        fatlFile = dir.filePath("fatl.xml");
        writeFile(eutlFile, kOldEutl);
        writeFile(fatlFile, kOldFatl);
    }

    ListRun run(const QStringList& args, int timeoutMs = 60000)
    {
        ListRun r;
        r.result = AgentProcess::run(QStringList{"-downloadTrustCertfile"} + args, timeoutMs);
        r.eutl = readFile(eutlFile);
        r.fatl = readFile(fatlFile);
        r.leftovers = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        r.leftovers.removeAll("eutl.xml");
        r.leftovers.removeAll("fatl.xml");
        return r;
    }

    QStringList both(const QByteArray& eutlPath, const QByteArray& fatlPath, const QString& downtype = "auto")
    {
        return {"-certeutlurl", server.url(QString::fromLatin1(eutlPath)).toString(), "-eutlfile", eutlFile,
                "-certfatlurl", server.url(QString::fromLatin1(fatlPath)).toString(), "-fatlfile", fatlFile,
                "-downtype",    downtype};
    }

    IsolatedEnv env;
    QTemporaryDir dir;
    HttpTestServer server;
    QString eutlFile, fatlFile;
};

TEST_F(TrustList, PrintsOnlyTheStatusNumber)
{
    server.setRoute("/eutl", kEutl);
    server.setRoute("/fatl", kFatl);
    server.setRoute("/gone", kNotFound);
    server.setRoute("/broken", Reply::error(500, "<html>internal error</html>"));
    Reply cut = Reply::ok(kEutl);
    cut.dropAfter = 1000;
    server.setRoute("/cut", cut);
    server.setRoute("/moved", Reply::redirect("/fatl"));
    server.setRoute("/empty", QByteArray());
    Reply partial = Reply::ok(kEutl);
    partial.partialLength = 1000;   // "206, bytes 0-999/<size>" to a request without Range
    server.setRoute("/partial", partial);

    struct Case
    {
        const char* name;
        QStringList args;
        int status;
        QByteArray eutl, fatl;
    };
    const QString none;
    const std::vector<Case> cases = {
        {"both fetched", both("/eutl", "/fatl"), Auto | Eutl | Fatl, kEutl, kFatl},
        {"not auto", both("/eutl", "/fatl", "manual"), Eutl | Fatl, kEutl, kFatl},
        {"Auto in other case", both("/eutl", "/moved", "Auto"), Eutl | Fatl, kEutl, kFatl},
        {"server has no such list", both("/gone", "/fatl"), Auto | Eutl | Fatl, kOldEutl, kFatl},
        {"server error keeps both old lists", both("/broken", "/broken"), Auto | Eutl | 2 | Fatl | (2 << 8),
         kOldEutl, kOldFatl},
        {"short transfer keeps the old list", both("/eutl", "/cut"), Auto | Eutl | Fatl | (2 << 8), kEutl,
         kOldFatl},
        {"empty list keeps the old one", both("/empty", "/fatl"), Auto | Eutl | 2 | Fatl, kOldEutl, kFatl},
        {"a slice of the list keeps the old one", both("/partial", "/fatl"), Auto | Eutl | 2 | Fatl, kOldEutl, kFatl},
        {"only certfatlurl", {"-certfatlurl", server.url("/fatl").toString(), "-fatlfile", fatlFile}, Fatl, kOldEutl,
         kFatl},
        {"only certeutlurl",
         {"-certeutlurl", server.url("/eutl").toString(), "-eutlfile", eutlFile, "-downtype", "auto"}, Auto | Eutl,
         kEutl, kOldFatl},
        {"no file name", {"-certeutlurl", server.url("/eutl").toString()}, Eutl | 2, kOldEutl, kOldFatl},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(eutlFile, kOldEutl);
        writeFile(fatlFile, kOldFatl);
        const ListRun r = run(c.args);
        ASSERT_TRUE(r.result.finished) << r.result.standardError.toStdString();
        EXPECT_EQ(r.result.exitCode, 0);
        EXPECT_EQ(r.result.standardOutput, QByteArray::number(c.status) + "\n");
        EXPECT_TRUE(r.eutl == c.eutl);
        EXPECT_TRUE(r.fatl == c.fatl);
        EXPECT_EQ(r.leftovers, QStringList());   // no side file, no lock left behind
    }
    EXPECT_EQ(QByteArray::number(Auto | Eutl | Fatl), "285278208");
}

namespace {

// What this process leaves in a lock file it holds.
QByteArray lockContents(const QString& path)
{
    QLockFile probe(path);
    probe.tryLock(0);
    const QByteArray contents = readFile(path);
    probe.unlock();
    return contents;
}

qint64 deadPid()
{
    QProcess gone;
    gone.start(QStringLiteral("true"), QStringList());
    gone.waitForFinished(5000);
    return gone.processId() ? gone.processId() : 999999;
}

} // namespace

// A holder that can be read and runs here decides alone: dead, its lock is
// taken; alive, never, however old. A lock whose holder cannot be read (empty
// or garbage, as a power loss right after its creation leaves it) or that
// names another machine is taken only once older than any run can hold it.
TEST_F(TrustList, StaleLocksAreTakenAndLiveHoldersKeepTheirs)
{
    server.setRoute("/eutl", kEutl);
    server.setRoute("/fatl", kFatl);
    const QString lockPath = eutlFile + ".tmp";
    const QByteArray oldLock = lockContents(lockPath);
    struct Case
    {
        const char* name;
        std::function<void()> hold;
        bool taken;
    };
    QLockFile held(lockPath);
    // A holder that keeps no native lock on the file (the reader, say, or a
    // file system without such locks): only its pid tells whether it lives.
    auto lockWith = [&](const QByteArray& contents, int ageSeconds) {
        writeFile(lockPath, contents);
        QFile f(lockPath);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
    };
    // A link at the lock's name that leads nowhere, dated like a lock of that age.
    auto danglingLink = [&](int ageSeconds) {
        ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nowhere")), lockPath));
        const struct timespec times[2] = {{time(nullptr) - ageSeconds, 0}, {time(nullptr) - ageSeconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(lockPath).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    };
    auto writtenLock = [&](qint64 pid, int ageSeconds) {
        lockWith(QByteArray::number(pid) + oldLock.mid(oldLock.indexOf('\n')), ageSeconds);
    };
    // A live pid: only the host name makes the holder one that cannot be checked.
    const QByteArray otherHost =
        QByteArray::number(QCoreApplication::applicationPid()) + "\nUpdaterApp\nother-host.example.test\n";
    const QByteArray garbage("\x89\xff\x00not a lock\n", 15);
    // Scaled by 0.05, a list's deadline and margin are 45 s: an hour is old.
    const std::vector<Case> cases = {
        {"held by a live agent", [&] { ASSERT_TRUE(held.tryLock(0)); }, false},
        {"live holder for an hour", [&] { writtenLock(QCoreApplication::applicationPid(), 3600); }, false},
        {"dead holder", [&] { writtenLock(deadPid(), 5); }, true},
        {"empty, fresh", [&] { lockWith(QByteArray(), 0); }, false},
        {"empty, an hour old", [&] { lockWith(QByteArray(), 3600); }, true},
        {"empty, dated a few seconds ahead", [&] { lockWith(QByteArray(), -5); }, false},
        {"empty, dated an hour ahead", [&] { lockWith(QByteArray(), -3600); }, true},
        {"dangling link, fresh", [&] { danglingLink(0); }, false},
        {"dangling link, an hour old", [&] { danglingLink(3600); }, true},
        {"dangling link, dated an hour ahead", [&] { danglingLink(-3600); }, true},
        {"garbage, fresh", [&] { lockWith(garbage, 0); }, false},
        {"garbage, an hour old", [&] { lockWith(garbage, 3600); }, true},
        {"other host, fresh", [&] { lockWith(otherHost, 0); }, false},
        {"other host, an hour old", [&] { lockWith(otherHost, 3600); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(eutlFile, kOldEutl);
        writeFile(fatlFile, kOldFatl);
        server.clearRequests();
        c.hold();
        const ListRun r = run(both("/eutl", "/fatl"));
        ASSERT_TRUE(r.result.finished);
        EXPECT_EQ(r.result.standardOutput, QByteArray::number(Auto | Eutl | (c.taken ? 0 : 2) | Fatl) + "\n");
        EXPECT_TRUE(r.eutl == (c.taken ? kEutl : kOldEutl));
        EXPECT_TRUE(r.fatl == kFatl);
        EXPECT_EQ(server.requestCount("/eutl") > 0, c.taken);
        // A taken lock is released; one not taken is left as it was.
        struct stat st;
        EXPECT_EQ(::lstat(QFile::encodeName(lockPath).constData(), &st) == 0, !c.taken);
        held.unlock();
        QFile::remove(lockPath);
    }
}

// A server that never answers, and one that drips a byte every 200 ms (never
// quiet long enough to look stalled): each list ends by its deadline.
TEST_F(TrustList, SilentOrDrippingServerEndsTheRunAndKeepsTheOldList)
{
    Reply silent;
    silent.neverAnswer = true;
    server.setRoute("/silent", silent);
    server.setRoute("/drip", Reply::drip(patternBody(5000), 200));
    server.setRoute("/fatl", kFatl);
    struct Case
    {
        const char* path;
        const char* scale;
    };
    // Scaled by 0.05 the silent list gives up within 15 s; scaled by 0.01 the
    // dripping one meets its 10-minute deadline after 6 s.
    for (const Case& c : {Case{"/silent", "0.05"}, Case{"/drip", "0.01"}}) {
        SCOPED_TRACE(c.path);
        env.set("UPDATER_TIME_SCALE", c.scale);
        const ListRun r = run(both(c.path, "/fatl"), 15000);
        ASSERT_TRUE(r.result.finished) << "still running after 15 s";
        EXPECT_EQ(r.result.standardOutput, QByteArray::number(Auto | Eutl | 2 | Fatl) + "\n");
        EXPECT_EQ(r.eutl, kOldEutl);
        EXPECT_TRUE(r.fatl == kFatl);
        EXPECT_EQ(r.leftovers, QStringList());
    }
}

// A link planted at the list's side file, dangling or not, is removed: the
// download neither lands where it points nor turns the list into a link.
TEST_F(TrustList, LinkAtTheSideFileIsNotFollowed)
{
    server.setRoute("/eutl", kEutl);
    const QString elsewhere = dir.filePath("elsewhere/planted");
    QDir().mkpath(dir.filePath("elsewhere"));
    for (const bool dangling : {true, false}) {
        SCOPED_TRACE(dangling ? "dangling" : "to a file");
        writeFile(eutlFile, kOldEutl);
        QFile::remove(elsewhere);
        if (!dangling)
            writeFile(elsewhere, "not a list");
        ASSERT_TRUE(QFile::link(elsewhere, eutlFile + ".download"));
        const ListRun r = run({"-certeutlurl", server.url("/eutl").toString(), "-eutlfile", eutlFile});
        ASSERT_TRUE(r.result.finished);
        EXPECT_EQ(r.result.standardOutput, QByteArray::number(Eutl) + "\n");
        EXPECT_TRUE(r.eutl == kEutl);
        EXPECT_FALSE(QFileInfo(eutlFile).isSymLink());
        EXPECT_EQ(readFile(elsewhere), dangling ? QByteArray() : QByteArray("not a list"));
        EXPECT_EQ(QFileInfo::exists(elsewhere), !dangling);
        EXPECT_EQ(r.leftovers, QStringList());
    }
}

// A hard link planted at the side file is removed as a name: the list is
// fetched into a file of its own, and the file the link shared its contents
// with keeps them.
TEST_F(TrustList, HardLinkAtTheSideFileIsNotWrittenThrough)
{
    server.setRoute("/eutl", kEutl);
    const QString victim = dir.filePath("elsewhere/victim");
    QDir().mkpath(dir.filePath("elsewhere"));
    writeFile(victim, "not a list");
    ASSERT_TRUE(::link(QFile::encodeName(victim).constData(), QFile::encodeName(eutlFile + ".download").constData()) == 0);
    const ListRun r = run({"-certeutlurl", server.url("/eutl").toString(), "-eutlfile", eutlFile});
    ASSERT_TRUE(r.result.finished);
    EXPECT_EQ(r.result.standardOutput, QByteArray::number(Eutl) + "\n");
    EXPECT_TRUE(r.eutl == kEutl);
    struct stat st;
    ASSERT_EQ(::lstat(QFile::encodeName(eutlFile).constData(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u);
    EXPECT_EQ(readFile(victim), QByteArray("not a list"));
    EXPECT_EQ(r.leftovers, QStringList());
}

TEST_F(TrustList, NoAddressPrintsNothing)
{
    const ListRun r = run({"-eutlfile", eutlFile, "-downtype", "auto"});
    ASSERT_TRUE(r.result.finished);
    EXPECT_EQ(r.result.exitCode, 0);
    EXPECT_TRUE(r.result.standardOutput.isEmpty());
    EXPECT_EQ(r.eutl, kOldEutl);
}
