// A visible check whose query reached something other than the update
// service tells the user as it does when the connection is refused: the
// "Cannot connect" warning, "errornetwork" to the reader (except in the
// automatic check), and the check ends as failed. A transfer that fails
// tells the reader before the user has answered the warning.
#include "CheckTestSupport.h"
#include "DlgUpdateChecking.h"
#include "GzipBomb.h"
#include "ModalAnswerer.h"

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <vector>

class CheckNotAnAnswer : public CheckRun {};

TEST_F(CheckNotAnAnswer, FailedQueriesWarnLikeARefusedConnection)
{
    QByteArray oversize = "<addons>";
    oversize.append(QByteArray(CReaderModuleManager::kMaxXmlFileSize + 1024, ' '));
    oversize.append("</addons>");
    const QByteArray offers = fixture(QStringLiteral("reply_offers.xml"));
    struct Case
    {
        const char* name;
        QByteArray body;
    };
    const std::vector<Case> cases = {
        {"HTML page without an html element", "<!DOCTYPE html><head><title>Hotel Wi-Fi</title></head><body/>"},
        {"bare 502 body", "<body><h1>502 Bad Gateway</h1></body>"},
        {"error document", "<?xml version=\"1.0\"?><Error><Code>AccessDenied</Code></Error>"},
        {"cut inside its only module", offers.left(offers.indexOf("<addon ") + 30)},
        {"over the size bound", oversize},
    };
    const QString cannotConnect = QStringLiteral("Cannot connect to the server. Please check your network connection.");

    for (const Case& c : cases) {
        for (const QString& type : {QStringLiteral("Update List"), QStringLiteral("Auto Updater")}) {
            SCOPED_TRACE(std::string(c.name) + " / " + type.toStdString());
            IsolatedEnv world;
            world.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
            FakeReader fakeReader;
            ASSERT_TRUE(fakeReader.isListening());
            start(type);
            server.setRoute(kServicePath, c.body);

            QPointer<CReaderModuleManager> mgr = makeManager();
            DlgUpdateChecking dlg(QStringLiteral("Update List"), nullptr);
            ModalAnswerer answerer;
            answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
            dlg.setModuleManager(mgr);
            dlg.startUpdateCheck();
            dlg.exec();

            ASSERT_EQ(answerer.seen().size(), 1);
            EXPECT_EQ(answerer.seen().at(0).title, QStringLiteral("Velto PDF Reader"));
            EXPECT_TRUE(answerer.seen().at(0).texts.contains(cannotConnect)) << answerer.seen().at(0).texts.join('|').toStdString();
            EXPECT_EQ(dlg.nResult, -1);
            EXPECT_TRUE(theApp->bCheckHandled);
            const QStringList expected = type == QLatin1String("Auto Updater")
                                             ? QStringList() : QStringList{QStringLiteral("errornetwork")};
            EXPECT_EQ(fakeReader.messages(), expected);
            flushDeferredDeletes();
            EXPECT_TRUE(mgr.isNull());   // released once the failed query was told
            delete mgr.data();
            theApp = nullptr;
            app.reset();
            cmd.reset();
        }
    }
}

// Whatever ended the query's transfer, the reader hears "errornetwork" while
// the warning is still up: a user who never answers it must not leave the
// reader waiting for the check's time-out.
TEST_F(CheckNotAnAnswer, ReaderHearsOfAFailedTransferBeforeTheWarningIsAnswered)
{
    const QByteArray offers = fixture(QStringLiteral("reply_offers.xml"));
    HttpTestServer::Reply slice = HttpTestServer::Reply::ok(offers);
    slice.partialLength = 1000;
    slice.unknownCompleteLength = true;
    struct Case
    {
        const char* name;
        HttpTestServer::Reply reply;
    };
    const std::vector<Case> cases = {
        {"206 bytes 0-999/*", slice},
        {"compressed body", HttpTestServer::Reply::gzipped(gzipOfZeros(1024 * 1024))},
        {"301", HttpTestServer::Reply::redirect("/moved", 301)},
        {"302", HttpTestServer::Reply::redirect("/moved", 302)},
        {"307", HttpTestServer::Reply::redirect("/moved", 307)},
        {"308", HttpTestServer::Reply::redirect("/moved", 308)},
        {"500", HttpTestServer::Reply::error(500, "<html>broken</html>")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IsolatedEnv world;
        world.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
        FakeReader fakeReader;
        ASSERT_TRUE(fakeReader.isListening());
        start(QStringLiteral("Update List"));
        server.setRoute(kServicePath, c.reply);
        server.setRoute("/moved", offers);

        QPointer<CReaderModuleManager> mgr = makeManager();
        DlgUpdateChecking dlg(QStringLiteral("Update List"), nullptr);
        ModalAnswerer answerer;
        QStringList heardWhileWarned;
        answerer.answer([&](QWidget* w) {
            fakeReader.waitForMessages(1, 3000);
            heardWhileWarned = fakeReader.messages();
            static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click();
        }, QStringLiteral("QMessageBox"));
        dlg.setModuleManager(mgr);
        dlg.startUpdateCheck();
        dlg.exec();
        // After a network error the check may end before the warning opens.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !answerer.seen().isEmpty(); }, 10000));
        ASSERT_EQ(answerer.seen().size(), 1);
        EXPECT_EQ(heardWhileWarned, QStringList{QStringLiteral("errornetwork")});
        EXPECT_EQ(fakeReader.messages(), QStringList{QStringLiteral("errornetwork")});   // once
        EXPECT_EQ(dlg.nResult, -1);
        EXPECT_EQ(server.requestCount("/moved"), 0);
        delete mgr.data();
        theApp = nullptr;
        app.reset();
        cmd.reset();
    }
}
