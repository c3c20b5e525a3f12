// A visible check whose query reached something other than the update
// service tells the user as it does when the connection is refused: the
// "Cannot connect" warning, "errornetwork" to the reader (except in the
// automatic check), and the check ends as failed.
#include "CheckTestSupport.h"
#include "DlgUpdateChecking.h"
#include "ModalAnswerer.h"

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
