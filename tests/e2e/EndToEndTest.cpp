// Whole runs against the demo catalogue on a loopback server, with the
// stand-in installer: a download paused and continued mid-transfer, the
// component road with a failing and with a working service, and a whole
// visible update from the check to the last success icon.
#include "E2eSupport.h"

#include "DemoCatalog.h"
#include "DlgDownload.h"
#include "HttpTestServer.h"
#include "InstallerStandin.h"
#include "ModalAnswerer.h"
#include "RefusingPort.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrlQuery>
#include <functional>

namespace {

// What a download-and-install list showed when its work had ended.
struct ListOutcome
{
    bool ended = false;       // the close button came to read "Close" in time
    bool published = false;   // the controller published the list while it ran
    QStringList titles;
    QStringList icons;
    QStringList progress;
};

// Answers a download-and-install list: waits for every module to end, notes
// what it shows, then closes it with its close button.
void closeListWhenDone(QWidget* w, ListOutcome& out)
{
    auto* timer = new QTimer(w);
    auto* waited = new int(0);
    QObject::connect(timer, &QTimer::timeout, w, [w, timer, waited, &out] {
        ListView view(w);
        out.published = out.published || g_curr_dlgfound_ptr == w;
        const bool ended = view.close()->text() == QLatin1String("Close");
        if (!ended && ++*waited < 1200)   // a minute at most
            return;
        timer->stop();
        delete waited;
        out.ended = ended;
        out.titles = view.column(0);
        out.progress = view.column(2);
        for (int r = 0; r < view.rows(); ++r)
            out.icons << view.icon(r);
        if (ended)
            view.close()->click();
        else
            static_cast<QDialog*>(w)->done(0);
    });
    timer->start(50);
}

QByteArray md5Of(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex();
}

// Percent of a "Download N%" cell, -1 for any other text.
int downloadPercent(const QString& text)
{
    if (!text.startsWith(QLatin1String("Download ")) || !text.endsWith(QLatin1Char('%')))
        return -1;
    return text.mid(9, text.size() - 10).toInt();
}

} // namespace

class EndToEnd : public ::testing::Test
{
protected:
    EndToEnd() : standin(run.env) {}

    void SetUp() override
    {
        ASSERT_TRUE(standin.isReady()) << InstallerStandin::executable().toStdString();
        ASSERT_TRUE(server.isListening());
        ASSERT_TRUE(packageDir.isValid());
        run.env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
        QString error;
        ASSERT_TRUE(DemoCatalog::buildPackages(DemoCatalog::defaultModules(64 * 1024), packageDir.path(), packages,
                                               &error))
            << error.toStdString();
        DemoCatalog::mount(server, packages, 16 * 1024, 10);
    }

    void TearDown() override
    {
        // The hidden window must have finished with the server before the
        // isolated folders go.
        if (run.manager)
            delete run.manager->GetDownloadWindow();
        int seen = -1;
        while (seen != server.requestCount()) {
            seen = server.requestCount();
            QTest::qWait(200);
        }
    }

    const DemoCatalog::Package& package(const QString& name) const
    {
        for (const DemoCatalog::Package& p : packages) {
            if (p.module.name == name)
                return p;
        }
        static DemoCatalog::Package none;
        ADD_FAILURE() << "no package " << name.toStdString();
        return none;
    }

    QStringList installedNames() const
    {
        QStringList names;
        for (const auto& h : standin.installs())
            names << QFileInfo(h.args.value(0)).fileName();
        return names;
    }

    QString addonOfQuery(int index = 0) const
    {
        const QList<HttpTestServer::Request> queries = server.requests(DemoCatalog::queryPath());
        if (index >= queries.size())
            return QStringLiteral("<no query>");
        return QUrlQuery(QString::fromUtf8(queries.at(index).query))
            .queryItemValue(QStringLiteral("addon"), QUrl::FullyDecoded);
    }

    AgentRunInProcess run;
    InstallerStandin standin;
    HttpTestServer server;
    QTemporaryDir packageDir;
    QVector<DemoCatalog::Package> packages;
};

TEST_F(EndToEnd, PauseMidTransferAndContinueResumeFromTheBytesOnDisk)
{
    run.start(QStringLiteral("-updater -type \"Update List\" -version 12.1.0.1"));
    ScheduleFileGuard schedule(run.manager->GetScheduleTimePath());
    const DemoCatalog::Package& stamps = package(QStringLiteral("StampPack"));
    // Slow enough to be caught half-way: about a second and a half in all.
    HttpTestServer::Reply slow;
    slow.bodyFile = stamps.file;
    slow.throttleBytes = 1024;
    slow.throttleIntervalMs = 20;
    server.setRoute(stamps.urlPath, slow);

    QSignalSpy queried(run.manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    ASSERT_EQ(run.manager->QueryModuleInfo(nullptr, false), 0);
    ASSERT_TRUE(queried.wait(10000));
    run.manager->AddSelModule(QStringLiteral("StampPack"));
    ASSERT_EQ(run.manager->CountSelModules(), 1);

    dlgfound list("Update List", true, false, false, false, run.manager.get());
    list.show();
    ListView view(&list);
    ASSERT_EQ(view.column(0), QStringList({"Stamp Collection"}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloadPercent(view.cell(0, 2)) >= 5; }, 10000)) << view.cell(0, 2).toStdString();

    view.download()->click();
    EXPECT_EQ(view.download()->text(), QStringLiteral("Continue"));
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Suspended"));
    const QString onDisk = run.env.agentDataRoot() + QStringLiteral("updater/StampPack.kzip");
    QTest::qWait(300);   // nothing more may arrive while paused
    const qint64 kept = QFileInfo(onDisk).size();
    ASSERT_GT(kept, 0);
    ASSERT_LT(kept, stamps.size);
    EXPECT_EQ(QFileInfo(onDisk).size(), kept);
    EXPECT_EQ(view.cell(0, 2), QStringLiteral("Suspended"));
    ASSERT_EQ(server.requests(stamps.urlPath).size(), 1);

    view.download()->click();
    EXPECT_EQ(view.download()->text(), QStringLiteral("Pause"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests(stamps.urlPath).size() == 2; }, 10000));
    EXPECT_EQ(server.requests(stamps.urlPath).at(1).range, QByteArray("bytes=") + QByteArray::number(kept) + "-");

    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.icon(0).isEmpty(); }, 20000)) << view.cell(0, 2).toStdString();
    EXPECT_EQ(view.icon(0), QStringLiteral("success"));
    EXPECT_EQ(md5Of(onDisk), stamps.md5Hex);
    EXPECT_EQ(installedNames(), QStringList({"StampPackInstaller.pkg"}));
    EXPECT_EQ(view.close()->text(), QStringLiteral("Close"));
    view.close()->click();
    EXPECT_FALSE(list.isVisible());
}

TEST_F(EndToEnd, PackageAlreadyOnDiskIsInstalledThroughTheListWithoutDownloading)
{
    run.env.set("UPDATER_TIME_SCALE", "0.05");
    run.start(QStringLiteral("-updater -type \"Update List\" -version 12.1.0.1"));
    ScheduleFileGuard schedule(run.manager->GetScheduleTimePath());
    const DemoCatalog::Package& stamps = package(QStringLiteral("StampPack"));
    const QString onDisk = run.env.agentDataRoot() + QStringLiteral("updater/StampPack.kzip");
    QDir().mkpath(QFileInfo(onDisk).path());
    ASSERT_TRUE(QFile::copy(stamps.file, onDisk));

    QSignalSpy queried(run.manager.get(), &CReaderModuleManager::sQueryModuleInfoFinish);
    ASSERT_EQ(run.manager->QueryModuleInfo(nullptr, false), 0);
    ASSERT_TRUE(queried.wait(10000));
    run.manager->AddSelModule(QStringLiteral("StampPack"));

    // The window finds the package complete and hands it back through the
    // list, which hides the window and has it install the package.
    QSignalSpy handedBack(run.manager.get(), &CReaderModuleManager::sSendInstallPkg);
    dlgfound list("Update List", true, false, false, false, run.manager.get());
    ListView view(&list);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.icon(0).isEmpty(); }, 20000)) << view.cell(0, 2).toStdString();
    EXPECT_EQ(view.icon(0), QStringLiteral("success"));
    ASSERT_EQ(handedBack.count(), 1);
    EXPECT_EQ(handedBack.at(0).at(0).toString(), onDisk);
    EXPECT_FALSE(run.manager->GetDownloadWindow()->isVisible());
    EXPECT_EQ(server.requests(stamps.urlPath).size(), 0);
    EXPECT_EQ(installedNames(), QStringList({"StampPackInstaller.pkg"}));
    // Such a run ends when the controller returns.
    EXPECT_TRUE(run.app->bQuit);
}

// A query that fails or gets no answer is a connection problem, told once;
// only a service that answered without the component is "not ready".
TEST_F(EndToEnd, ComponentRoadTellsTheConnectionProblemOnceAndNotReadyOnlyWhenAnswered)
{
    const QString network = QStringLiteral("Cannot connect to the server. Please check your network connection.");
    const QString notReady =
        QStringLiteral("Unable to get this component pack. Please check if they are ready for this version.");
    const RefusingPort refused;
    ASSERT_NE(refused.port(), 0);
    enum Service { Unavailable503, Refused, Silent, Answers };
    struct Case { const char* name; Service service; const char* components; QString box; };
    const Case cases[] = {
        {"error status", Unavailable503, "OCR_nl_nl", network},
        {"connection refused", Refused, "OCR_nl_nl", network},
        {"no answer in time", Silent, "OCR_nl_nl", network},
        {"answered without the component", Answers, "OCR_xx_xx", notReady},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpTestServer service;
        DemoCatalog::mount(service, packages, 0, 10);
        run.env.set("UPDATER_SERVICE_BASE", service.baseUrl().toUtf8());
        run.env.set("UPDATER_TIME_SCALE", "0.02");   // the road waits 1.2 s, the transfer 1.8 s
        if (c.service == Unavailable503)
            service.setRoute(DemoCatalog::queryPath(), HttpTestServer::Reply::error(503, "maintenance"));
        if (c.service == Refused)
            run.env.set("UPDATER_SERVICE_BASE", refused.baseUrl());
        if (c.service == Silent) {
            HttpTestServer::Reply silent;
            silent.neverAnswer = true;
            service.setRoute(DemoCatalog::queryPath(), silent);
        }
        run.start(QStringLiteral("-updater -type \"%1\" -version 12.1.0.1").arg(QLatin1String(c.components)));
        ScheduleFileGuard schedule(run.manager->GetScheduleTimePath());

        ModalAnswerer answerer;
        answerer.clickButton(QStringLiteral("Yes"), QStringLiteral("CDlgComponentFound"));
        // The box stays up a while, long enough for the transfer's own
        // time-out to end a query that is still waiting.
        answerer.answer([](QWidget* w) {
            QTimer::singleShot(1000, w, [w] { static_cast<QMessageBox*>(w)->button(QMessageBox::Ok)->click(); });
        }, QStringLiteral("QMessageBox"));
        answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));   // a second box: must not come
        run.app->runUpdateVisible(31, 225);
        QTest::qWait(1000);   // a late outcome of the query would show up here

        EXPECT_TRUE(run.app->bQuit);
        EXPECT_EQ(answerer.pending(), 1);
        ASSERT_EQ(answerer.seen().size(), 2);
        EXPECT_EQ(answerer.seen().at(0).className, QStringLiteral("CDlgComponentFound"));
        EXPECT_EQ(answerer.seen().at(1).texts, QStringList({c.box}));
        if (c.service != Refused) {
            EXPECT_EQ(service.requestCount(DemoCatalog::queryPath()), 1);
        }
        EXPECT_TRUE(installedNames().isEmpty());
        service.closeAllConnections();
    }
}

TEST_F(EndToEnd, ComponentRoadNoFetchesNothing)
{
    run.start(QStringLiteral("-updater -type \"OCR_nl_nl\" -version 12.1.0.1"));
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("No"), QStringLiteral("CDlgComponentFound"));
    run.app->runUpdateVisible(31, 225);
    EXPECT_TRUE(run.app->bQuit);
    EXPECT_EQ(answerer.pending(), 0);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(EndToEnd, ComponentRoadOffersTheComponentsAndInstallsThem)
{
    run.start(QStringLiteral("-updater -type \"OCR_nl_nl,,StampPack\" -version 12.1.0.1"));
    ScheduleFileGuard schedule(run.manager->GetScheduleTimePath());

    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("Yes"), QStringLiteral("CDlgComponentFound"));
    ListOutcome outcome;
    answerer.answer([&](QWidget* w) { closeListWhenDone(w, outcome); }, QStringLiteral("dlgfound"));
    run.app->runUpdateVisible(31, 225);

    EXPECT_TRUE(run.app->bQuit);
    EXPECT_EQ(answerer.pending(), 0);
    ASSERT_GE(answerer.seen().size(), 1);
    EXPECT_TRUE(answerer.seen().at(0).texts.contains(
        QStringLiteral("The OCR_nl-NL/StampPack component needs to be installed.")))
        << answerer.seen().at(0).texts.join('|').toStdString();
    EXPECT_EQ(addonOfQuery(), QStringLiteral("OCR_nl_nl,,StampPack"));

    EXPECT_TRUE(outcome.ended) << outcome.progress.join('|').toStdString();
    EXPECT_TRUE(outcome.published);
    EXPECT_EQ(g_curr_dlgfound_ptr, nullptr);
    EXPECT_EQ(outcome.titles, QStringList({"OCR Dutch", "Stamp Collection"}));
    EXPECT_EQ(outcome.icons, QStringList({"success", "success"}));
    QStringList installed = installedNames();
    installed.sort();
    EXPECT_EQ(installed, QStringList({"OCR_nl_nlInstaller.pkg", "StampPackInstaller.pkg"}));
    for (const char* name : {"OCR_nl_nl", "StampPack"}) {
        const DemoCatalog::Package& p = package(QLatin1String(name));
        EXPECT_EQ(md5Of(run.env.agentDataRoot() + QStringLiteral("updater/") + QFileInfo(p.file).fileName()), p.md5Hex)
            << name;
    }
}

// The road a user takes: the check, the update list (all add-ons chosen), the
// download-and-install list, every module downloaded, unpacked, handed to the
// installer and shown with its success icon.
TEST_F(EndToEnd, WholeUpdateFromTheCheckToTheLastSuccessIcon)
{
    run.start(QStringLiteral("-updater -type \"Update List\" -version 12.1.0.1 -readerlang en-US"));
    ScheduleFileGuard schedule(run.manager->GetScheduleTimePath());

    ModalAnswerer answerer;
    QStringList offered;
    answerer.answer([&](QWidget* w) {
        auto* model = w->findChild<QTreeView*>()->model();
        auto* items = qobject_cast<QStandardItemModel*>(model);
        ASSERT_NE(items, nullptr);
        // Every add-on leaf, the OCR sub-group's included.
        std::function<void(QStandardItem*, bool)> walk = [&](QStandardItem* item, bool addons) {
            for (int r = 0; r < item->rowCount(); ++r) {
                QStandardItem* child = item->child(r, 0);
                if (!child)
                    continue;
                const bool inAddons = addons || child->text() == QLatin1String("Add-ons");
                if (child->rowCount() > 0) {
                    walk(child, inAddons);
                } else {
                    offered << child->text();
                    if (inAddons)
                        child->setCheckState(Qt::Checked);
                }
            }
        };
        walk(items->invisibleRootItem(), false);
        QMetaObject::invokeMethod(w, "OnOK");
    }, QStringLiteral("DlgUpdatesTree"));
    ListOutcome outcome;
    answerer.answer([&](QWidget* w) { closeListWhenDone(w, outcome); }, QStringLiteral("dlgfound"));
    run.app->runUpdateVisible(31, 225);

    EXPECT_EQ(answerer.pending(), 0);
    offered.sort();
    EXPECT_EQ(offered, QStringList({"Font Pack", "OCR Dutch", "Spell Check Dictionaries", "Stamp Collection",
                                    "Velto PDF Reader 12.2"}));
    EXPECT_EQ(addonOfQuery(), QStringLiteral("Update List"));
    EXPECT_TRUE(outcome.ended) << outcome.progress.join('|').toStdString();
    QStringList titles = outcome.titles;
    titles.sort();
    EXPECT_EQ(titles, QStringList({"Font Pack", "OCR Dutch", "Spell Check Dictionaries", "Stamp Collection"}));
    EXPECT_EQ(outcome.icons, QStringList({"success", "success", "success", "success"})) << outcome.progress.join('|').toStdString();
    QStringList installed = installedNames();
    installed.sort();
    EXPECT_EQ(installed, QStringList({"FontPackInstaller.pkg", "OCR_nl_nlInstaller.pkg",
                                      "StampPackInstaller.pkg", "Velto_Spell_Check_LanguageInstaller.pkg"}));
}
