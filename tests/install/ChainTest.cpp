// The download window's chain through the module manager, against the
// loopback server and the stand-in installer: one outcome per module, in
// order, and the chain always moves on.
#include "InstallFixture.h"

#include "HttpTestServer.h"

#include <QSignalSpy>

namespace {

QString addon(const QString& name, const QString& title, const QString& size, const QString& url,
              const QString& type = QStringLiteral("service"))
{
    return QStringLiteral("<addon name=\"%1\" title=\"%2\" version=\"2.0\" size=\"%3\" url=\"%4\" "
                          "result=\"true\" module_type=\"%5\" description=\"%2 update\"/>\n")
        .arg(name, title, size, url, type);
}

} // namespace

class Chain : public InstallRun
{
protected:
    void SetUp() override
    {
        InstallRun::SetUp();
        ASSERT_TRUE(server.isListening());
        // The cached package's 3 s start-install wait becomes 300 ms.
        env.set("UPDATER_TIME_SCALE", "0.1");
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
        manager = std::make_unique<CReaderModuleManager>(QStringLiteral("Update List"));
        ASSERT_NE(manager->GetDownloadWindow(), nullptr);
        QObject::connect(manager.get(), &CReaderModuleManager::sSendInstallProgress, &outcomes, &OutcomeLog::record);
        // The download-and-install list's part: a package found complete on
        // disk is installed when the manager relays it.
        DlgDownload* window = manager->GetDownloadWindow();
        QObject::connect(manager.get(), &CReaderModuleManager::sSendInstallPkg, window,
                         [window](const QString& path) {
                             window->hide();
                             window->installHasDownloadUpdates(path);
                         });
    }

    QString url(const char* path) const { return server.url(QLatin1String(path)).toString(); }

    HttpTestServer server;
    OutcomeLog outcomes;
};

TEST_F(Chain, ThreeModulesTwoInstallersMissingAndCachedEachEndOnce)
{
    const QByteArray alpha = package(setupFor({"Alpha-1.pkg", "Alpha-2.pkg"}).c_str(),
                                     {{"Alpha-1.pkg", "first"}, {"Alpha-2.pkg", "second"}});
    const QByteArray gamma = package(setupFor({"Gamma.pkg"}).c_str(), {{"Gamma.pkg", "gamma"}});
    server.setRoute("/pkg/A.kzip", alpha);
    // B answers 404; C is already complete in the download folder.
    writeFile(updaterFolder() + QStringLiteral("C.kzip"), gamma);
    standin.addRule(QStringLiteral("Alpha-2"), 0, true, 300);   // the two installers end at different times

    offer(addon("A", "Alpha", QString::number(alpha.size()), url("/pkg/A.kzip?sig=abc"))
          + addon("B", "Beta", QStringLiteral("10"), url("/pkg/B.kzip"), QStringLiteral("basic"))
          + addon("C", "Gamma", QString::number(gamma.size()) + QStringLiteral("B"), url("/pkg/C.kzip")));
    ASSERT_EQ(manager->CountSelModules(), 3);
    QSignalSpy downloads(manager.get(), &CReaderModuleManager::sSendDownloadProgress);

    manager->Download(manager->GetSelModule(2));   // any selected module starts the chain at the first
    ASSERT_TRUE(outcomes.waitForFinals(3)) << outcomes.events.join(' ').toStdString();
    QTest::qWait(400);   // nothing more may follow

    EXPECT_EQ(outcomes.finals(), QStringList({"Alpha:100", "Beta:-1", "Gamma:100"}));
    EXPECT_EQ(outcomes.valuesOf("Alpha"), QList<int>({0, 20, 90, 100}));
    EXPECT_EQ(outcomes.valuesOf("Beta"), QList<int>({-1}));
    // The cached package reports the start of its install twice: when it is
    // found, and when the list hands it back.
    EXPECT_EQ(outcomes.valuesOf("Gamma"), QList<int>({0, 0, 20, 90, 100}));

    // Alpha's two installers start together; Gamma's only after both ended.
    QStringList names = installedNames();
    ASSERT_EQ(names.size(), 3);
    EXPECT_EQ(names.takeLast(), QStringLiteral("Gamma.pkg"));
    names.sort();
    EXPECT_EQ(names, QStringList({"Alpha-1.pkg", "Alpha-2.pkg"}));
    for (const auto& h : standin.installs())
        EXPECT_EQ(h.program, QStringLiteral("Installer"));   // not an install run: the installer itself
    EXPECT_EQ(server.requestCount("/pkg/A.kzip"), 1);
    EXPECT_EQ(server.requestCount("/pkg/B.kzip"), 1);
    EXPECT_EQ(server.requestCount("/pkg/C.kzip"), 0);
    EXPECT_EQ(server.requests("/pkg/A.kzip").at(0).target, "/pkg/A.kzip?sig=abc");
    // Stored under the address's name cut after "kzip".
    EXPECT_TRUE(QFile::exists(updaterFolder() + QStringLiteral("A.kzip")));

    EXPECT_EQ(manager->GetCurDownloadModule(), manager->GetSelModule(2));
    EXPECT_FALSE(manager->GetDownloadWindow()->isVisible());
    bool alphaComplete = false, gammaComplete = false;
    for (const QList<QVariant>& args : downloads) {
        if (args.at(1).toDouble() == 100.0) {
            alphaComplete |= args.at(0).toString() == QLatin1String("Alpha");
            gammaComplete |= args.at(0).toString() == QLatin1String("Gamma");
        }
    }
    EXPECT_TRUE(alphaComplete);
    EXPECT_TRUE(gammaComplete);
    EXPECT_TRUE(theApp->bQuit);   // a cached package ends the run when the controller returns
}

TEST_F(Chain, AddressesWithoutAUsableFileFailOneByOneOnLaterTurns)
{
    const QByteArray good = package(setupFor({"Good.pkg"}).c_str(), {{"Good.pkg", "g"}});
    server.setRoute("/pkg/Good.kzip", good);
    offer(addon("E", "Empty", "5", "")                                     // no address at all
          + addon("S", "Slash", "5", url("/pkg/"))                          // no file name
          + addon("P", "Parent", "5", url("/pkg/.."))                       // would be the data root
          + addon("G", "Good", QString::number(good.size()), url("/pkg/Good.kzip")));
    ASSERT_EQ(manager->CountSelModules(), 4);

    QSignalSpy closed(manager.get(), &CReaderModuleManager::sSendInstallProgress);
    manager->Download(manager->GetSelModule(0));
    // Refusals are reported from the event loop, not inside Download().
    EXPECT_TRUE(outcomes.events.isEmpty());
    ASSERT_TRUE(outcomes.waitForFinals(4)) << outcomes.events.join(' ').toStdString();
    EXPECT_EQ(outcomes.finals(), QStringList({"Empty:-1", "Slash:-1", "Parent:-1", "Good:100"}));
    EXPECT_EQ(installedNames(), QStringList({"Good.pkg"}));
    EXPECT_TRUE(QDir(env.agentDataRoot()).exists());
}

// The downloads and unpack folders below the data folder are the agent's
// own: a link planted in place of one is removed, so the package neither
// lands nor unpacks where it points, and the clean-up of old unpack folders
// does not reach there either.
class ChainLinkedFolder : public Chain, public ::testing::WithParamInterface<const char*> {};

TEST_P(ChainLinkedFolder, IsReplacedAndItsTargetKept)
{
    const QByteArray good = package(setupFor({"Good.pkg"}).c_str(), {{"Good.pkg", "g"}});
    server.setRoute("/pkg/Good.kzip", good);
    const QString elsewhere = env.root() + QStringLiteral("/elsewhere");
    writeFile(elsewhere + QStringLiteral("/uncompress/keep.txt"), "kept");
    const QString linked = env.agentDataRoot() + QLatin1String(GetParam());
    QDir().mkpath(QFileInfo(linked).path());
    ASSERT_TRUE(QFile::link(elsewhere, linked));

    offer(addon("G", "Good", QString::number(good.size()), url("/pkg/Good.kzip")));
    manager->Download(manager->GetSelModule(0));
    ASSERT_TRUE(outcomes.waitForFinals(1)) << outcomes.events.join(' ').toStdString();
    EXPECT_EQ(outcomes.finals(), QStringList({"Good:100"}));
    EXPECT_EQ(installedNames(), QStringList({"Good.pkg"}));

    for (const QString& folder : {updaterFolder(), updaterFolder() + QStringLiteral("uncompress")}) {
        const QFileInfo info(QDir::cleanPath(folder));
        EXPECT_TRUE(info.isDir() && !info.isSymLink()) << folder.toStdString();
    }
    const QStringList left = QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList({"uncompress"}));
    EXPECT_EQ(QDir(elsewhere + QStringLiteral("/uncompress")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"keep.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Folders, ChainLinkedFolder,
                         ::testing::Values("updater", "updater/uncompress"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Downloads" : "Unpack");
                         });

TEST_F(Chain, CachedPackageNeedsAPositiveMatchingSize)
{
    const QByteArray pkg = package(setupFor({"Zero.pkg"}).c_str(), {{"Zero.pkg", "z"}});
    server.setRoute("/pkg/Zero.kzip", pkg);
    writeFile(updaterFolder() + QStringLiteral("Zero.kzip"), QByteArray());   // empty leftover
    offer(addon("Z", "Zero", "not a number", url("/pkg/Zero.kzip")));

    manager->Download(manager->GetSelModule(0));
    ASSERT_TRUE(outcomes.waitForFinals(1));
    EXPECT_EQ(server.requestCount("/pkg/Zero.kzip"), 1);   // downloaded, not taken as complete
    EXPECT_EQ(outcomes.finals(), QStringList({"Zero:100"}));
}

TEST_F(Chain, JavaScriptPluginsReplaceInstalledOnesWhereverTheyStand)
{
    server.setRoute("/js/JSStamp.js", QByteArray("stamp v2"));
    server.setRoute("/js/JSSign.js", QByteArray("sign v1"));
    const QString installed = UpdaterApp::GetAppDatePath() + QStringLiteral("SilentInstall/JavaScripts/");
    writeFile(installed + QStringLiteral("JSStamp.js"), "stamp v1");
    offer(addon("J1", "Stamp", "8", url("/js/JSStamp.js"), "plugin")
          + addon("J2", "Sign", "7", url("/js/JSSign.js"), "plugin"));

    manager->Download(manager->GetSelModule(0));
    ASSERT_TRUE(outcomes.waitForFinals(2)) << outcomes.events.join(' ').toStdString();
    EXPECT_EQ(outcomes.finals(), QStringList({"Stamp:100", "Sign:100"}));

    auto read = [](const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    };
    EXPECT_EQ(read(installed + QStringLiteral("JSStamp.js")), QByteArray("stamp v2"));
    EXPECT_EQ(read(installed + QStringLiteral("JSSign.js")), QByteArray("sign v1"));
    EXPECT_FALSE(QFile::exists(updaterFolder() + QStringLiteral("JSStamp.js")));   // moved, not copied
    EXPECT_EQ(QDir(installed).entryList(QDir::Files | QDir::Hidden).size(), 2);    // no temporary left
    EXPECT_TRUE(standin.installs().isEmpty());
}

// The plug-in folder is reached from the data folder down like the agent's
// working folders: a link in place of it is removed, and the plug-in does not
// land where the link pointed.
TEST_F(Chain, PluginFolderThatIsALinkIsReplacedAndItsTargetKept)
{
    server.setRoute("/js/JSStamp.js", QByteArray("stamp v2"));
    const QString elsewhere = env.root() + QStringLiteral("/elsewhere");
    writeFile(elsewhere + QStringLiteral("/JSStamp.js"), "theirs");
    const QString installed = UpdaterApp::GetAppDatePath() + QStringLiteral("SilentInstall/JavaScripts");
    QDir().mkpath(QFileInfo(installed).path());
    ASSERT_TRUE(QFile::link(elsewhere, installed));
    offer(addon("J1", "Stamp", "8", url("/js/JSStamp.js"), "plugin"));

    manager->Download(manager->GetSelModule(0));
    ASSERT_TRUE(outcomes.waitForFinals(1)) << outcomes.events.join(' ').toStdString();
    EXPECT_EQ(outcomes.finals(), QStringList({"Stamp:100"}));
    const QFileInfo folder(installed);
    EXPECT_TRUE(folder.isDir() && !folder.isSymLink());
    QFile placed(installed + QStringLiteral("/JSStamp.js"));
    ASSERT_TRUE(placed.open(QIODevice::ReadOnly));
    EXPECT_EQ(placed.readAll(), QByteArray("stamp v2"));
    EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"JSStamp.js"}));
    QFile theirs(elsewhere + QStringLiteral("/JSStamp.js"));
    ASSERT_TRUE(theirs.open(QIODevice::ReadOnly));
    EXPECT_EQ(theirs.readAll(), QByteArray("theirs"));
}

TEST_F(Chain, PluginThatCannotBePlacedStaysForALaterTry)
{
    server.setRoute("/js/JSStamp.js", QByteArray("stamp v2"));
    // A folder where the plug-in should go: it cannot be replaced by a file.
    QDir().mkpath(UpdaterApp::GetAppDatePath() + QStringLiteral("SilentInstall/JavaScripts/JSStamp.js/inner"));
    offer(addon("J1", "Stamp", "8", url("/js/JSStamp.js"), "plugin"));

    manager->Download(manager->GetSelModule(0));
    ASSERT_TRUE(outcomes.waitForFinals(1));
    EXPECT_EQ(outcomes.finals(), QStringList({"Stamp:-1"}));
    EXPECT_TRUE(QFile::exists(updaterFolder() + QStringLiteral("JSStamp.js")));
}

TEST_F(Chain, RestartedChainIgnoresTheAbandonedTransfer)
{
    const QByteArray pkg = package(setupFor({"Slow.pkg"}).c_str(), {{"Slow.pkg", "s"}});
    HttpTestServer::Reply slow = HttpTestServer::Reply::ok(pkg);
    slow.stallAfter = 10;   // never completes
    server.setRoute("/pkg/Slow.kzip", slow);
    offer(addon("S", "Slow", QString::number(pkg.size()), url("/pkg/Slow.kzip")));

    manager->Download(manager->GetSelModule(0));
    ASSERT_TRUE(server.waitForRequests(1));
    QTest::qWait(100);
    server.setRoute("/pkg/Slow.kzip", pkg);
    manager->Download(manager->GetSelModule(0));   // stop and start again
    ASSERT_TRUE(outcomes.waitForFinals(1));
    QTest::qWait(300);
    // The first transfer was dropped without an outcome of its own.
    EXPECT_EQ(outcomes.finals(), QStringList({"Slow:100"}));
    EXPECT_EQ(installedNames(), QStringList({"Slow.pkg"}));
}
