// The three transfers of the agent (a trust list, the update query's reply, a
// package) against bodies that are not what they claim: a gzip bomb, an
// endless body with or without an announced length, and a 206 that names no
// complete length for a first answer. Each transfer runs in a child process
// under an address-space limit, the way its creator runs it: the trust list in
// the agent itself, the query and the package download in this executable
// (the disabled TransferChild tests below, started with a filter). Each must
// fail, keep the old file (or leave no bytes), stay within its memory and not
// take the body past its bound.
#include "AgentProcess.h"
#include "DlgDownload.h"
#include "GzipBomb.h"
#include "HttpTestServer.h"
#include "ModalAnswerer.h"
#include "QueryFixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <vector>

using Reply = HttpTestServer::Reply;

namespace {

const char* const kServicePath = "/addons/get_addons.php";
const char* const kPackagePath = "/pkg/Stamp.kzip";
const char* const kListPath = "/lists/eutl.xml";
const qint64 kPackageSize = 200000;   // what the catalogue announces for the package
const qint64 MiB = 1024 * 1024;
// A child's whole address space: the agent needs well under half of it, an
// inflated 2 GiB body does not fit.
const qint64 kAddressSpace = 768 * MiB;
const qint64 kPeakRssKb = 1024 * 1024;   // 1 GiB, where a sanitizer build cannot limit the address space
const QByteArray kOldList = "old eutl list";

QByteArray catalogue()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<addons rollback=\"false\">\n";
    for (int i = 0; i < 300; ++i)
        xml += "  <addon name=\"Module" + QByteArray::number(i) + "\" version=\"9." + QByteArray::number(i)
             + "\" result=\"true\" module_type=\"basic\" url=\"https://cdn.example/pkg/M" + QByteArray::number(i)
             + ".kzip\"/>\n";
    return xml + "</addons>\n";
}

QByteArray pattern(int size)
{
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 131 + i / 251) & 0xff);
    return b;
}

// "RESULT key=value ..." printed by a child test.
QMap<QByteArray, QByteArray> resultOf(const QByteArray& output)
{
    QMap<QByteArray, QByteArray> values;
    for (const QByteArray& line : output.split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        for (const QByteArray& pair : line.mid(7).trimmed().split(' ')) {
            const int eq = pair.indexOf('=');
            if (eq > 0)
                values.insert(pair.left(eq), pair.mid(eq + 1));
        }
    }
    return values;
}

void printResult(const QByteArray& text)
{
    std::printf("RESULT %s\n", text.constData());
    std::fflush(stdout);
}

} // namespace

class TransferBounds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
        env.set("UPDATER_TIME_SCALE", "0.05");
    }

    AgentResult runChild(const QString& program, const QStringList& args)
    {
        return AgentProcess::runLimited(program, args, kAddressSpace, 120000);
    }

    AgentResult runSelf(const char* test)
    {
        return runChild(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--gtest_also_run_disabled_tests"),
                         QStringLiteral("--gtest_filter=TransferChild.") + QLatin1String(test)});
    }

    IsolatedEnv env;
    HttpTestServer server;
    QTemporaryDir dir;
};

TEST_F(TransferBounds, EveryKindFailsWithinItsBoundsAndKeepsTheOldFile)
{
    struct Kind
    {
        const char* name;
        QByteArray path;
        QByteArray body;   // what a sound answer would carry
        qint64 bound;      // the most the transfer may take
        QByteArray announcedSize = QByteArray::number(kPackageSize);   // a package's size in the catalogue
        bool streamedToTheBound = true;   // also against an endless body without a length
    };
    // However large a package's announced size, it takes no more than one
    // that announces none. An endless body reaches a huge row's bound only
    // after 4 GiB, which takes a minute or more: one huge row shows that the
    // count holds up to the ceiling; for the other, the refused 8 GiB shows
    // that the ceiling, not the announced size, is the bound. Under the
    // address sanitizer 4 GiB take longer than the test may run, so there the
    // huge rows keep the faults that end early, which are the ones where an
    // overflowing bound would be caught, and the optimised build streams.
#if defined(__SANITIZE_ADDRESS__)
    const bool streamsTheCeiling = false;
#else
    const bool streamsTheCeiling = true;
#endif
    const std::vector<Kind> kinds = {
        {"trust list", kListPath, pattern(300 * 1024), 64 * MiB},
        {"query reply", kServicePath, catalogue(), 16 * MiB},
        {"package", kPackagePath, pattern(int(kPackageSize)), kPackageSize + MiB},
        {"package announcing 2^63 - 1 bytes", kPackagePath, pattern(int(kPackageSize)), qint64(4) << 30,
         "9223372036854775807", streamsTheCeiling},
        {"package announcing 10^18 bytes", kPackagePath, pattern(int(kPackageSize)), qint64(4) << 30,
         "1000000000000000000", false},
    };
    const QByteArray bomb = gzipOfZeros(2048 * MiB);
    struct Fault
    {
        const char* name;
        std::function<Reply(const QByteArray& body)> reply;
        bool endsOnlyAtTheBound = false;
    };
    const std::vector<Fault> faults = {
        {"gzip bomb of 2 GiB", [&](const QByteArray&) { return Reply::gzipped(bomb); }},
        {"endless body", [](const QByteArray& body) { return Reply::endlessOf(body); }, true},
        {"endless body announcing 8 GiB", [](const QByteArray& body) {
             Reply r = Reply::endlessOf(body);
             r.announcedLength = qint64(8) << 30;
             return r;
         }},
        {"206 bytes 0-999/* to a request without Range", [](const QByteArray& body) {
             Reply r = Reply::ok(body);
             r.partialLength = 1000;
             r.unknownCompleteLength = true;
             return r;
         }},
    };
    const QString listFile = dir.filePath(QStringLiteral("eutl.xml"));
    for (const Kind& kind : kinds) {
        for (const Fault& fault : faults) {
            if (fault.endsOnlyAtTheBound && !kind.streamedToTheBound)
                continue;
            SCOPED_TRACE(std::string(kind.name) + ", " + fault.name);
            server.clearRequests();
            server.setRoute(kind.path, fault.reply(kind.body));
            AgentResult result;
            QMap<QByteArray, QByteArray> child;
            if (qstrcmp(kind.name, "trust list") == 0) {
                QFile::remove(listFile);
                QFile old(listFile);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                old.write(kOldList);
                old.close();
                result = runChild(AgentProcess::executable(),
                                  {QStringLiteral("-downloadTrustCertfile"), QStringLiteral("-certeutlurl"),
                                   server.url(QString::fromLatin1(kind.path)).toString(),
                                   QStringLiteral("-eutlfile"), listFile});
                EXPECT_EQ(result.standardOutput, QByteArray::number(0x10000 | 2) + "\n");
                QFile list(listFile);
                ASSERT_TRUE(list.open(QIODevice::ReadOnly));
                EXPECT_EQ(list.readAll(), kOldList);
                EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"eutl.xml"});
            } else if (qstrcmp(kind.name, "query reply") == 0) {
                result = runSelf("DISABLED_Query");
                child = resultOf(result.standardOutput);
                EXPECT_EQ(child.value("ended"), "1");
                EXPECT_EQ(child.value("failed"), "1");
                EXPECT_EQ(child.value("modules"), "0");
                EXPECT_EQ(child.value("replyBytes"), "0");
            } else {
                env.set("TRANSFER_PACKAGE_URL", server.url(QString::fromLatin1(kind.path)).toString().toUtf8());
                env.set("TRANSFER_PACKAGE_SIZE", kind.announcedSize);
                result = runSelf("DISABLED_Package");
                child = resultOf(result.standardOutput);
                EXPECT_EQ(child.value("ended"), "1");
                EXPECT_EQ(child.value("failed"), "1");
                EXPECT_EQ(child.value("packageBytes"), "0");
            }
            ASSERT_TRUE(result.finished) << "still running";
            EXPECT_EQ(result.exitCode, 0) << result.standardError.right(2000).toStdString();
            EXPECT_LT(result.childrenPeakRssKb, kPeakRssKb);
            // Sent, not taken: a bound the transfer kept is reached, but the
            // server is not read on to the end of an endless body.
            EXPECT_LE(server.bodyBytesSent(kind.path), kind.bound + 64 * MiB);
        }
    }
}

// The query as the check runs it: the warning a failed transfer shows is
// answered, and what the query came to is printed.
class TransferChild : public QueryRun
{
};

TEST_F(TransferChild, DISABLED_Query)
{
    start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
    QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    QSignalSpy failed(manager.get(), &CReaderModuleManager::sErrorFinish);
    ASSERT_EQ(manager->QueryModuleInfo(nullptr, false), 0);
    const bool ended = QTest::qWaitFor([&] { return finished.count() + failed.count() > 0; }, 100000);
    const bool querySucceeded = failed.count() == 0 && manager->GetQueryResultInfo().bSuccess;
    const QFileInfo reply(env.agentDataRoot() + QStringLiteral("updater/update_tmpfile.xml"));
    printResult("ended=" + QByteArray(ended ? "1" : "0") + " failed=" + QByteArray(querySucceeded ? "0" : "1")
                + " modules="
                + QByteArray::number(manager->CountAvailableModule())
                + " replyBytes=" + QByteArray::number(reply.exists() ? reply.size() : 0));
}

// One package through the download window, with the size the catalogue
// announces for it (TRANSFER_PACKAGE_SIZE).
TEST_F(TransferChild, DISABLED_Package)
{
    MODULEINFO module;
    module.name = "Stamp";
    module.title = "Stamps";
    module.version = "2.0";
    module.module_type = "basic";
    module.size = qgetenv("TRANSFER_PACKAGE_SIZE").toStdString() + "B";
    module.url = qgetenv("TRANSFER_PACKAGE_URL").toStdString();
    DlgDownload window;
    QList<int> progress;
    QObject::connect(&window, &DlgDownload::SignalInstallProgress, [&](const QString&, int value) {
        progress << value;
    });
    window.setSelectUpdates({&module});
    window.startShowDownload();
    const bool ended = QTest::qWaitFor([&] { return progress.contains(-1) || progress.contains(100); }, 100000);
    const QFileInfo package(DlgDownload::packagePathFor(module));
    printResult("ended=" + QByteArray(ended ? "1" : "0") + " failed=" + QByteArray(progress.contains(-1) ? "1" : "0")
                + " packageBytes=" + QByteArray::number(package.exists() ? package.size() : 0));
}
