// When the download-and-install list opens and its first module downloads:
// a silent-install module is fetched whole before the manager's Download
// returns, so the list must already be on screen when that starts.
#include "InstallFixture.h"

#include "HttpTestServer.h"
#include "ModalAnswerer.h"
#include "dlgfound.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace {

QString addon(const QString& name, const QString& url, const QString& size, bool silent)
{
    return QStringLiteral("<addon name=\"%1\" title=\"%1 Pack\" version=\"2.0\" size=\"%2\" url=\"%3\" "
                          "result=\"true\" module_type=\"basic\" description=\"%1 update\"%4/>\n")
        .arg(name, size, url, silent ? QStringLiteral(" SilentInstall=\"TRUE\"") : QString());
}

// The modal download-and-install list, when one is open and visible.
dlgfound* listOnScreen()
{
    auto* list = qobject_cast<dlgfound*>(QApplication::activeModalWidget());
    return list && list->isVisible() ? list : nullptr;
}

} // namespace

class ListStart : public InstallRun
{
protected:
    void SetUp() override
    {
        InstallRun::SetUp();
        ASSERT_TRUE(server.isListening());
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
        manager = std::make_unique<CReaderModuleManager>(QStringLiteral("Update List"));
        QObject::connect(manager.get(), &CReaderModuleManager::sSendInstallProgress, &outcomes, &OutcomeLog::record);
    }

    HttpTestServer server;
    OutcomeLog outcomes;
};

TEST_F(ListStart, ListIsOnScreenWhileASilentModuleDownloadsFirst)
{
    // The silent package arrives slowly (about a second); the ordinary one
    // after it is missing and fails at once.
    const QByteArray silent = package(setupFor({"Silent.pkg"}).c_str(), {{"Silent.pkg", std::string(600, 's')}});
    HttpTestServer::Reply slow = HttpTestServer::Reply::ok(silent);
    slow.throttleBytes = silent.size() / 20 + 1;
    slow.throttleIntervalMs = 50;
    server.setRoute("/pkg/Silent.kzip", slow);
    offer(addon(QStringLiteral("Silent"), server.url(QStringLiteral("/pkg/Silent.kzip")).toString(),
                QString::number(silent.size()), true)
          + addon(QStringLiteral("Plain"), server.url(QStringLiteral("/pkg/Plain.kzip")).toString(),
                  QStringLiteral("10"), false));
    ASSERT_EQ(manager->CountSelModules(), 2);
    ASSERT_TRUE(manager->GetSelModule(0)->SilentInstall);

    // What the user sees at the moment the silent package is asked for, and
    // all the while its body comes in.
    bool onScreenAtRequest = false;
    QObject::connect(&server, &HttpTestServer::requestReceived, [&](const QByteArray& path) {
        if (path == "/pkg/Silent.kzip")
            onScreenAtRequest = listOnScreen() != nullptr;
    });
    int samplesDuringBody = 0;
    int samplesOffScreen = 0;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        const qint64 sent = server.bodyBytesSent("/pkg/Silent.kzip");
        if (sent > 0 && sent < silent.size()) {
            ++samplesDuringBody;
            if (!listOnScreen())
                ++samplesOffScreen;
        }
        // Both modules have ended: the user closes the list ("Close" asks nothing).
        if (outcomes.finals().size() >= 2) {
            if (dlgfound* list = listOnScreen())
                list->findChild<QPushButton*>(QStringLiteral("btn_close"))->click();
        }
    });
    sampler.start(20);
    // The list is the modal widget the user meets first; how far the silent
    // package had come by then is recorded.
    qint64 silentBytesWhenSeen = -1;
    ModalAnswerer answerer;
    answerer.answer([&](QWidget*) { silentBytesWhenSeen = server.bodyBytesSent("/pkg/Silent.kzip"); },
                    QStringLiteral("dlgfound"));
    // The test's own limit: a list still open after it is closed by force.
    QTimer::singleShot(30000, [] {
        if (auto* list = qobject_cast<dlgfound*>(QApplication::activeModalWidget()))
            list->reject();
    });

    bool flag = false;
    ASSERT_TRUE(CReaderModuleManager::ModuleCallback("Update List", manager.get(), flag));
    sampler.stop();

    EXPECT_EQ(answerer.pending(), 0) << "the list never came on screen";
    EXPECT_GE(silentBytesWhenSeen, 0);
    EXPECT_LT(silentBytesWhenSeen, silent.size()) << "the list showed only after the silent package had arrived";
    EXPECT_TRUE(onScreenAtRequest);
    EXPECT_GT(samplesDuringBody, 0);
    EXPECT_EQ(samplesOffScreen, 0);
    // The order of the downloads is the selection's: the silent module first.
    const QList<HttpTestServer::Request> requests = server.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests.at(0).path, QByteArray("/pkg/Silent.kzip"));
    EXPECT_EQ(requests.at(1).path, QByteArray("/pkg/Plain.kzip"));
    EXPECT_EQ(outcomes.finals(), QStringList({"Silent Pack:100", "Plain Pack:-1"}));
    EXPECT_EQ(installedNames(), QStringList({"Silent.pkg"}));
}

TEST_F(ListStart, PausedBeforeTheFirstRequestStartsOnContinue)
{
    // Pause pressed before the list has asked for anything: nothing goes out
    // until Continue, which then starts the first module.
    server.setFallback([](const HttpTestServer::Request&) {
        HttpTestServer::Reply reply;
        reply.neverAnswer = true;
        return reply;
    });
    offer(addon(QStringLiteral("Alpha"), server.url(QStringLiteral("/pkg/Alpha.kzip")).toString(),
                QStringLiteral("10"), false));
    {
        dlgfound list("Update List", true, false, false, false, manager.get());
        EXPECT_EQ(list.downloadState(), dlgfound::StateDownloading);
        list.OnDownload();   // Pause, before the event loop has run
        EXPECT_EQ(list.downloadState(), dlgfound::StateSuspended);
        QTest::qWait(200);
        EXPECT_EQ(server.requestCount(), 0);
        list.OnDownload();   // Continue
        EXPECT_EQ(list.downloadState(), dlgfound::StateDownloading);
        EXPECT_TRUE(server.waitForRequests(1));
        EXPECT_EQ(server.requests().at(0).path, QByteArray("/pkg/Alpha.kzip"));
    }
    // The waiting transfer goes before the isolated folders do.
    delete manager->GetDownloadWindow();
    QCoreApplication::processEvents();
}
