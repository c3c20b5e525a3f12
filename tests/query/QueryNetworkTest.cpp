// The update query against the loopback server, on both roads: the exact
// request line, the reply file, and the signals that follow.
#include "QueryFixture.h"

#include "HttpTestServer.h"
#include "ModalAnswerer.h"
#include "PackageTypeFile.h"

#include <QHostInfo>
#include <QSignalSpy>
#include <QTest>

namespace {

const char* const kServicePath = "/addons/get_addons.php";
const char* const kChinaPath = "/check";
const char* const kInternalPath = "/internal/check";

// Sets the process's time zone for one test (POSIX zone strings need no tz data).
class TimeZone
{
public:
    explicit TimeZone(const char* tz) : m_saved(qgetenv("TZ")), m_wasSet(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", tz);
        tzset();
    }
    ~TimeZone()
    {
        if (m_wasSet) qputenv("TZ", m_saved); else qunsetenv("TZ");
        tzset();
    }
private:
    QByteArray m_saved;
    bool m_wasSet;
};

} // namespace

class QueryNetwork : public QueryRun
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.isListening());
        env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
    }

    QByteArray replyFileBytes() const
    {
        QFile file(env.agentDataRoot() + QStringLiteral("updater/update_tmpfile.xml"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    HttpTestServer server;
};

TEST_F(QueryNetwork, ServiceRoadSendsTheQueryAndListsTheReply)
{
    writeUpdaterInfo(fixture("updater_info.xml"));
    const QByteArray reply = fixture("list_reply.xml");
    server.setRoute(kServicePath, reply);
    const QString machineKey = QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Velto Software\\Velto PDF Reader");
    ASSERT_TRUE(CRegister::regSetString(machineKey, "Edition", "enterprise"));
    ASSERT_TRUE(CRegister::regSetString(machineKey + "\\Velto Information", "AgentID", "A-7"));
    ASSERT_TRUE(CRegister::regSetString("Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater", "Stored", "4.0"));

    start(QStringLiteral("-updater -type \"Update List\" -version 11.2.0.0 -readerlang en-US -Edition Business "
                         "-readerpath \"%1\"").arg(readerPath()));
    QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    QSignalSpy failed(manager.get(), &CReaderModuleManager::sErrorFinish);
    ASSERT_EQ(manager->QueryModuleInfo(nullptr, false), 0);
    ASSERT_TRUE(finished.wait(10000));

    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests().at(0).method, "GET");
    EXPECT_EQ(server.requests().at(0).target,
              "/addons/get_addons.php?addon=Update%20List&product=Enterprise%20Brightleaf4Mac"
              "&version=11.2&build=0.0&platform=x64&EmbededLanguage=en-US&edition=Business"
              "&AgentID=A-7&PackageType=");
    EXPECT_EQ(replyFileBytes(), reply);
    EXPECT_EQ(failed.count(), 0);
    EXPECT_FALSE(theApp->bInternalUpdate);
    EXPECT_TRUE(theApp->bReplyParsed);

    EXPECT_EQ(availableNames(), QStringList({"Stamp", "OCR_fr_fr", "Updater", "CloudLower"}));
    const QueryResultInfo result = manager->GetQueryResultInfo();
    EXPECT_TRUE(result.bSuccess);
    EXPECT_TRUE(result.bHasUpdate);
    EXPECT_TRUE(result.bUpdateMode2);
    const MODULEINFO* stamp = manager->GetAvailabletModule(0);
    EXPECT_EQ(stamp->url, "https://cdn.example/pkg/Stamp.kzip?sig=1");   // the service road keeps the address
    EXPECT_EQ(stamp->type, "Update List");
    EXPECT_TRUE(manager->GetAvailabletModule(1)->bOCR);
}

TEST_F(QueryNetwork, ChinaRegionPackageUsesTheCheckPath)
{
    PackageTypeFile packageType(QStringLiteral("zh-CN"));
    if (!packageType.created())
        GTEST_SKIP() << "a packagetype.xml already stands beside the test executable";
    server.setRoute(kChinaPath, QByteArray("<addons/>"));
    start(QStringLiteral("-updater -type \"Update List\" -version 11 -PackageType zh-CN"));
    QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    ASSERT_EQ(manager->QueryModuleInfo(nullptr, true), 0);
    EXPECT_EQ(finished.count(), 1);   // a waiting query has run its slots before it returns
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests().at(0).target,
              "/check?addon=Update%20List&product=Brightleaf4Mac&version=11&build=11&platform=x64&PackageType=zh-CN");
}

TEST_F(QueryNetwork, InternalRoadAppendsAreaMacEmailAndType)
{
    ScheduleFileGuard schedule(CReaderModuleManager(QString()).GetScheduleTimePath());
    server.setRoute(kInternalPath, fixture("schedule_none.xml"));
    struct Case { const char* tz; const char* area; const char* type; const char* updateType; };
    for (const Case& c : {Case{"XST-8", "cn", "Auto Updater", "0"}, Case{"XST8", "us", "Update List", "1"}}) {
        TimeZone zone(c.tz);
        server.clearRequests();
        start(QStringLiteral("-updater -type \"%1\" -version 11.2 -InternalUpdateURL %2 -UserEmail a+b&c@x.example")
                  .arg(QLatin1String(c.type), server.url(kInternalPath).toString()));
        ASSERT_EQ(manager->QueryModuleInfo(nullptr, true), 0);
        ASSERT_EQ(server.requestCount(), 1);
        QString mac = QString::fromStdString(theApp->GetMacAddress());
        mac.replace(QLatin1String("|"), QLatin1String("%7C"));
        const QString expected =
            QStringLiteral("/internal/check?addon=") + QString(c.type).replace(' ', "%20")
            + QStringLiteral("&product=Brightleaf4Mac&version=11.2&build=11.2&platform=x64&PackageType=&domain_area=")
            + QLatin1String(c.area) + QStringLiteral("&Mac=") + mac
            + QStringLiteral("&email=a%2Bb%26c%40x.example&updateType=") + QLatin1String(c.updateType);
        EXPECT_EQ(QString::fromLatin1(server.requests().at(0).target), expected) << c.tz;
        EXPECT_TRUE(theApp->bInternalUpdate);
    }
}

TEST_F(QueryNetwork, FailedTransferShowsTheWarningThenReportsFailure)
{
    server.setRoute(kServicePath, HttpTestServer::Reply::error(500, "<addons><m name=\"x\" result=\"true\"/></addons>"));
    start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
    QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    QSignalSpy failed(manager.get(), &CReaderModuleManager::sErrorFinish);
    QSignalSpy network(manager.get(), &CReaderModuleManager::sErrorNetwork);
    ASSERT_EQ(manager->QueryModuleInfo(nullptr, false), 0);
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(manager->CountAvailableModule(), 0);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen().at(0).title, QStringLiteral("Velto PDF Reader"));
    EXPECT_TRUE(answerer.seen().at(0).texts.contains(
        QStringLiteral("Cannot connect to the server. Please check your network connection.")));
    EXPECT_LE(network.count(), 1);
}

// 17 MiB, announced or streamed without a length as an endless body would be:
// the transfer stops at the 16 MiB bound and the check takes its failed-query
// road, without the connection warning and without a reply file left behind.
TEST_F(QueryNetwork, ReplyOverTheBoundIsAFailedQuery)
{
    QByteArray body = "<addons><m name=\"A\" version=\"1\" result=\"true\"/>";
    body.append(QByteArray(17 * 1024 * 1024, ' '));
    body.append("</addons>");
    for (const bool withLength : {true, false}) {
        SCOPED_TRACE(withLength ? "Content-Length" : "no length");
        HttpTestServer::Reply reply = HttpTestServer::Reply::ok(body);
        reply.noContentLength = !withLength;
        server.setRoute(kServicePath, reply);
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
        ModalAnswerer answerer;
        answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
        QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
        QSignalSpy failed(manager.get(), &CReaderModuleManager::sErrorFinish);
        ASSERT_EQ(manager->QueryModuleInfo(nullptr, false), 0);
        ASSERT_TRUE(finished.wait(20000));
        EXPECT_EQ(failed.count(), 0);
        EXPECT_FALSE(manager->GetQueryResultInfo().bSuccess);
        EXPECT_EQ(manager->CountAvailableModule(), 0);
        EXPECT_TRUE(answerer.seen().isEmpty());
        EXPECT_EQ(replyFileBytes(), QByteArray("<missing>"));
    }
}

TEST_F(QueryNetwork, RefusedStartsReturnOneAndSignalNothing)
{
    // An internal address without a path gives a URL the downloader refuses.
    start(QStringLiteral("-updater -type \"Update List\" -InternalUpdateURL http://127.0.0.1:1"));
    QSignalSpy finished(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    QSignalSpy failed(manager.get(), &CReaderModuleManager::sErrorFinish);
    EXPECT_EQ(manager->QueryModuleInfo(nullptr, false), 1);

    // A reply folder that cannot be made: "updater" is a file.
    start(QStringLiteral("-updater -type \"Update List\""));
    QDir().mkpath(env.agentDataRoot());
    QFile blocker(env.agentDataRoot() + QStringLiteral("updater"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSignalSpy finished2(manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    QSignalSpy failed2(manager.get(), &CReaderModuleManager::sErrorFinish);
    EXPECT_EQ(manager->QueryModuleInfo(nullptr, false), 1);
    QTest::qWait(200);
    EXPECT_EQ(finished.count() + failed.count() + finished2.count() + failed2.count(), 0);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(QueryNetwork, ManagerDeletedInsideItsFinishSignal)
{
    server.setRoute(kServicePath, fixture("schedule_none.xml"));
    start(QStringLiteral("-updater -type \"Update List\" -version 1"));
    CReaderModuleManager* raw = manager.release();
    bool done = false;
    QObject::connect(raw, &CReaderModuleManager::sQueryModuleInfoFinish, [&] { delete raw; done = true; });
    ASSERT_EQ(raw->QueryModuleInfo(nullptr, false), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    QTest::qWait(50);   // the released downloader goes once control is back in the loop
}

TEST_F(QueryNetwork, ManagerReleasedWhileTheWarningIsOpen)
{
    server.setRoute(kServicePath, HttpTestServer::Reply::error(404, "gone"));
    start(QStringLiteral("-updater -type \"Update List\""));
    CReaderModuleManager* raw = manager.release();
    bool answered = false;
    ModalAnswerer answerer;
    answerer.answer([&](QWidget* box) {
        delete raw;                                   // the owner gives up while the box is open
        QMetaObject::invokeMethod(box, "close", Qt::QueuedConnection);
        answered = true;
    }, QStringLiteral("QMessageBox"));
    ASSERT_EQ(raw->QueryModuleInfo(nullptr, false), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered; }, 10000));
    QTest::qWait(100);
}
