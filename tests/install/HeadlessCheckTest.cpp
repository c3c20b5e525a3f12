// The window-less update check: the manager's query under a time-out, end to
// end against the loopback service.
#include "InstallFixture.h"

#include "HttpTestServer.h"
#include "ModalAnswerer.h"
#include "UpdateChecking.h"

namespace {
const char* const kServicePath = "/addons/get_addons.php";
}

class HeadlessCheck : public InstallRun
{
protected:
    void SetUp() override
    {
        InstallRun::SetUp();
        ASSERT_TRUE(server.isListening());
        env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
        manager = std::make_unique<CReaderModuleManager>(QStringLiteral("Update List"));
    }
    HttpTestServer server;
};

TEST_F(HeadlessCheck, FiveModuleReplyFinishesTheCheck)
{
    QByteArray reply = "<addons>\n";
    for (const char* name : {"Stamp", "Spell", "OCR_de", "OCR_fr", "Sign"})
        reply += QByteArray("<addon name=\"") + name + "\" version=\"2.0\" result=\"true\" module_type=\"basic\"/>\n";
    reply += "</addons>\n";
    server.setRoute(kServicePath, reply);

    UpdateChecking check(QStringLiteral("Update List"));
    check.setModuleManager(manager.get());
    check.startUpdateCheck();
    ASSERT_NE(check.timer(), nullptr);
    EXPECT_TRUE(check.timer()->isActive());
    EXPECT_EQ(check.timer()->interval(), 60000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.isDone(); }, 10000));

    EXPECT_EQ(check.result(), 1);
    EXPECT_EQ(check.timer(), nullptr);
    EXPECT_EQ(server.requestCount(kServicePath), 1);
    ASSERT_EQ(manager->CountAvailableModule(), 5);
    EXPECT_EQ(manager->GetAvailabletModule(4)->name, "Sign");
}

TEST_F(HeadlessCheck, FailedQueryEndsTheCheckWithoutAResult)
{
    server.setRoute(kServicePath, HttpTestServer::Reply::error(500, "down"));
    ModalAnswerer answerer;   // the manager tells the user about the failed connection
    answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
    UpdateChecking check(QStringLiteral("Update List"));
    check.setModuleManager(manager.get());
    check.startUpdateCheck();
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.isDone(); }, 10000));
    EXPECT_EQ(check.result(), -1);
}

TEST_F(HeadlessCheck, ReplyThatIsNoAnswerEndsTheCheckWithoutAResult)
{
    server.setRoute(kServicePath, QByteArray("<!DOCTYPE html><head><title>Sign in</title></head><body/>"));
    ModalAnswerer answerer;   // nothing may be asked: the check has no window
    UpdateChecking check(QStringLiteral("Update List"));
    check.setModuleManager(manager.get());
    check.startUpdateCheck();
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.isDone(); }, 10000));
    EXPECT_EQ(check.result(), -1);
    EXPECT_EQ(check.timer(), nullptr);
    EXPECT_TRUE(answerer.seen().isEmpty());
}

TEST_F(HeadlessCheck, WithoutManagerNothingStarts)
{
    UpdateChecking check(QStringLiteral("Update List"));
    check.startUpdateCheck();
    EXPECT_EQ(check.timer(), nullptr);
    EXPECT_FALSE(check.isDone());
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(HeadlessCheck, FinishAfterTheTimeOutStillCounts)
{
    HttpTestServer::Reply silent;
    silent.neverAnswer = true;
    server.setRoute(kServicePath, silent);
    UpdateChecking check(QStringLiteral("Update List"));
    check.setModuleManager(manager.get());
    check.startUpdateCheck();
    check.startTimer(1);   // time out now
    ASSERT_TRUE(QTest::qWaitFor([&] { return check.timer() == nullptr; }, 5000));
    QTest::qWait(10);      // the timer itself is gone by now
    EXPECT_FALSE(check.isDone());   // not quiet: a time-out alone ends nothing
    EXPECT_EQ(check.result(), -1);

    check.checkFinsh();    // a late finish finds no timer to touch
    EXPECT_EQ(check.result(), 1);
    EXPECT_TRUE(check.isDone());
    check.timeOut();       // and a late time-out changes nothing
    EXPECT_EQ(check.result(), 1);
}
