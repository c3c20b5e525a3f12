// One package through unpack and install: the installer's exit, the install
// history's say, "Setup.xml" problems, the wait for the reader to close, and
// which program receives the installer file.
#include "InstallFixture.h"

#include "AgentProcess.h"
#include "ModalAnswerer.h"

#include <QProcess>
#include <QDirIterator>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// A process whose command line ends with the reader's name, as the reader's
// own executable does: a link named "Velto PDF Reader" to cat, started
// without arguments, blocks on its open input until it is killed.
class FakeReaderProcess
{
public:
    FakeReaderProcess()
    {
        const QString link = m_dir.path() + QStringLiteral("/Velto PDF Reader");
        QFile::link(QStringLiteral("/bin/cat"), link);
        m_process.start(link, QStringList());
        m_process.waitForStarted(5000);
    }
    ~FakeReaderProcess() { stop(); }
    bool running() const { return m_process.state() == QProcess::Running; }
    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
};

} // namespace

class Install : public InstallRun
{
protected:
    void SetUp() override
    {
        InstallRun::SetUp();
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
    }

    // Unpacks and installs a package with the given bytes on a fresh window;
    // returns after its final outcome (or the time-out).
    void installPackage(DlgDownload& window, const QByteArray& bytes, bool second = false)
    {
        const QString path = writeFile(env.root() + QStringLiteral("/%1.kzip").arg(++m_count), bytes);
        window.InstallKzip(path, unpackFolder(QString::number(m_count)), true, second);
        outcomes.waitForFinals(1);
        QTest::qWait(200);   // a second report would show by now
    }

    OutcomeLog outcomes;
    int m_count = 0;
};

TEST_F(Install, InstallerExitAndHistoryDecideTheOutcome)
{
    struct Case {
        const char* what;
        int exitCode;
        bool record;
        const char* history;   // "empty", "old" (an earlier record of the same file) or "missing"
        QList<int> values;
        bool chainGoesOn;
    };
    const Case cases[] = {
        {"exit 0 with a fresh record", 0, true, "empty", {0, 20, 90, 100}, true},
        {"exit 0 with only an old record", 0, false, "old", {0, 20, -1}, true},
        {"exit 0 without any record", 0, false, "empty", {0, 20, -1}, true},
        {"exit 1 although a record was written", 1, true, "empty", {0, 20, -1}, true},
        {"history missing", 0, false, "missing", {0, 20, -1}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        standin.clearRules();
        standin.writeEmptyHistory();
        standin.addRule(QStringLiteral("Tool.pkg"), c.exitCode, c.record);
        if (QLatin1String(c.history) == QLatin1String("old"))
            standin.writeHistoryWithRecord(QStringLiteral("Tool"), QDateTime::currentDateTimeUtc().addDays(-30));
        else if (QLatin1String(c.history) == QLatin1String("missing"))
            standin.removeHistory();

        outcomes.events.clear();
        DlgDownload window;
        recordInto(window, outcomes);
        installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}));
        EXPECT_EQ(outcomes.valuesOf(QString()), c.values);
        EXPECT_EQ(window.currentIndex(), c.chainGoesOn ? 1 : 0);
    }
}

TEST_F(Install, SeveralInstallersReportOnceWhenTheLastEnds)
{
    standin.addRule(QStringLiteral("Two.pkg"), 1, true, 300);   // the slower one fails
    DlgDownload window;
    recordInto(window, outcomes);
    installPackage(window, package(setupFor({"One.pkg", "Two.pkg"}).c_str(), {{"One.pkg", "1"}, {"Two.pkg", "2"}}));
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, -1}));
    EXPECT_EQ(window.currentIndex(), 1);   // moved on once
    QStringList names = installedNames();   // both start together, in either order
    names.sort();
    EXPECT_EQ(names, QStringList({"One.pkg", "Two.pkg"}));
}

TEST_F(Install, BrokenPackagesAndSetupFilesFailWithoutAnInstaller)
{
    struct Case {
        const char* what;
        QByteArray bytes;
        QList<int> values;
        QStringList installed;
    };
    const std::string escaping =
        "<setup><file name=\"../../escape.pkg\"/><file name=\"/abs/tool.pkg\"/><file name=\"\"/></setup>";
    const std::string mixed = "<setup><file name=\"sub/../../x.pkg\"/><file name=\"Fine.pkg\"/></setup>";
    const Case cases[] = {
        {"no Setup.xml", package(nullptr, {{"Tool.pkg", "t"}}), {0, 20, -1}, {}},
        {"empty Setup.xml", package("", {{"Tool.pkg", "t"}}), {0, 20, -1}, {}},
        {"Setup.xml not XML", package("<<<", {{"Tool.pkg", "t"}}), {0, 20, -1}, {}},
        {"no file entries", package("<setup><FILE name=\"Tool.pkg\"/></setup>", {{"Tool.pkg", "t"}}), {0, 20, -1}, {}},
        {"names leaving the folder", package(escaping.c_str(), {{"Tool.pkg", "t"}}), {0, 20, -1}, {}},
        {"one bad name among good ones", package(mixed.c_str(), {{"Fine.pkg", "f"}}), {0, 20, -1}, {"Fine.pkg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(QFileInfo(standin.installerPath()).path() + QStringLiteral("/handoffs.log"));
        outcomes.events.clear();
        DlgDownload window;
        recordInto(window, outcomes);
        installPackage(window, c.bytes);
        EXPECT_EQ(outcomes.valuesOf(QString()), c.values);
        EXPECT_EQ(window.currentIndex(), 1);
        EXPECT_EQ(installedNames(), c.installed);
    }
}

TEST_F(Install, DamagedPackageWarnsAndTheChainMovesOn)
{
    QByteArray bytes = package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}});
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x55);
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
    DlgDownload window;
    recordInto(window, outcomes);
    installPackage(window, bytes);
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(answerer.seen().at(0).title, QStringLiteral("Velto PDF Reader Updater"));
    EXPECT_TRUE(answerer.seen().at(0).texts.contains(
        QStringLiteral("Failed to extract the downloaded package. Please try again.")));
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, -1}));
    EXPECT_EQ(window.currentIndex(), 1);
    EXPECT_TRUE(standin.installs().isEmpty());
}

TEST_F(Install, InstallerThatCannotStartFails)
{
    QFile::remove(standin.installerPath());
    DlgDownload window;
    recordInto(window, outcomes);
    installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}));
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, -1}));
    EXPECT_EQ(window.currentIndex(), 1);
}

TEST_F(Install, InstallRunHandsOverThroughOpenOtherRunsToTheInstaller)
{
    struct Case { const char* command; const char* program; };
    const Case cases[] = {
        {"-install -KzipPath /nowhere.kzip", "open"},
        {"-updater -type \"Update List\" -version 11.2", "Installer"},
        {"-run -version 11.2", "Installer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        start(QString::fromLatin1(c.command));
        const int before = standin.installs().size();
        outcomes.events.clear();
        DlgDownload window;
        recordInto(window, outcomes);
        installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}));
        EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, 90, 100}));
        const auto installs = standin.installs();
        ASSERT_EQ(installs.size(), before + 1);
        EXPECT_EQ(installs.last().program, QLatin1String(c.program));
        EXPECT_TRUE(installs.last().args.value(0).endsWith(QStringLiteral("/Tool.pkg")));
    }
}

TEST_F(Install, RetryBoxWaitsWhileTheReaderRuns)
{
    FakeReaderProcess reader;
    ASSERT_TRUE(reader.running());
    DlgDownload window;
    ASSERT_TRUE(window.IsGlacierRun());

    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("Retry"), QStringLiteral("DlgMessage"));   // still running: asked again
    answerer.answer(
        [&reader](QWidget* box) {
            reader.stop();
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (b->text() == QLatin1String("Retry"))
                    b->click();
        },
        QStringLiteral("DlgMessage"));
    recordInto(window, outcomes);
    installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}), true);

    ASSERT_EQ(answerer.seen().size(), 2);
    EXPECT_TRUE(answerer.seen().at(0).texts.contains(
        QStringLiteral("Download completed. Please close Velto PDF Reader when you complete your job, and click "
                       "\"Install\".")));
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, 90, 100}));
    EXPECT_EQ(installedNames(), QStringList({"Tool.pkg"}));
    EXPECT_FALSE(window.IsGlacierRun());
}

// While the box waits, the unpack folder is moved away and a link put in
// place of "uncompress": the installer would be handed over through the link.
TEST_F(Install, UnpackFolderReplacedWhileTheRetryBoxWaitsInstallsNothing)
{
    FakeReaderProcess reader;
    ASSERT_TRUE(reader.running());
    const QString moved = env.root() + QStringLiteral("/moved");
    ModalAnswerer answerer;
    answerer.answer(
        [&](QWidget* box) {
            reader.stop();
            const QString uncompress = updaterFolder() + QStringLiteral("uncompress");
            QDir().rename(uncompress, moved);
            QFile::link(moved, uncompress);
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (b->text() == QLatin1String("Retry"))
                    b->click();
        },
        QStringLiteral("DlgMessage"));
    DlgDownload window;
    recordInto(window, outcomes);
    installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}), true);

    ASSERT_EQ(answerer.seen().size(), 1);
    ASSERT_TRUE(QFileInfo::exists(moved + QStringLiteral("/1/Tool.pkg")));   // the files are all there
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, -1}));
    EXPECT_TRUE(standin.installs().isEmpty());
}

TEST_F(Install, CancelledRetryBoxInstallsNothing)
{
    FakeReaderProcess reader;
    ASSERT_TRUE(reader.running());
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("Cancel"), QStringLiteral("DlgMessage"));
    DlgDownload window;
    recordInto(window, outcomes);
    installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}), true);
    EXPECT_EQ(answerer.seen().size(), 1);
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, -1}));
    EXPECT_EQ(window.currentIndex(), 1);
    EXPECT_TRUE(standin.installs().isEmpty());
}

TEST_F(Install, NoBoxWhenTheCallerDoesNotWaitForTheReader)
{
    FakeReaderProcess reader;
    ASSERT_TRUE(reader.running());
    ModalAnswerer answerer;
    DlgDownload window;
    recordInto(window, outcomes);
    installPackage(window, package(setupFor({"Tool.pkg"}).c_str(), {{"Tool.pkg", "t"}}), false);
    EXPECT_TRUE(answerer.seen().isEmpty());
    EXPECT_EQ(outcomes.valuesOf(QString()), QList<int>({0, 20, 90, 100}));
}

TEST(InstallRoad, AgentInstallsNamedPackagesEachFromItsOwnFolder)
{
    IsolatedEnv env;
    InstallerStandin standin(env);
    ASSERT_TRUE(standin.isReady());
    // Both packages carry a file of the same name: each installer must find
    // its own package's copy.
    auto make = [&](const char* name, const char* shared) {
        kzip::Writer writer;
        writer.addFile("Setup.xml", "<setup><file name=\"" + std::string(name) + "\"/></setup>");
        writer.addFile(name, "installer");
        writer.addFile("payload.txt", shared);
        const QString path = env.root() + QStringLiteral("/%1.kzip").arg(QLatin1String(name));
        EXPECT_TRUE(writer.writeTo(path.toStdString()));
        return path;
    };
    const QString a = make("First.pkg", "from first");
    const QString b = make("Second.pkg", "from second");

    const AgentResult run = AgentProcess::run({QStringLiteral("-install"), QStringLiteral("-KzipPath"), a + "|" + b},
                                              30000, env.processEnvironment());
    ASSERT_TRUE(run.finished) << run.standardError.toStdString();
    EXPECT_EQ(run.exitCode, 0);

    ASSERT_TRUE(standin.waitForInstalls(2));
    const auto installs = standin.installs();
    ASSERT_EQ(installs.size(), 2);
    QStringList folders;
    for (const auto& h : installs) {
        EXPECT_EQ(h.program, QStringLiteral("open"));
        const QString installer = h.args.value(0);
        EXPECT_TRUE(QFile::exists(installer)) << installer.toStdString();
        folders << QFileInfo(installer).path();
    }
    EXPECT_EQ(QFileInfo(installs.at(0).args.value(0)).fileName(), QStringLiteral("First.pkg"));
    EXPECT_EQ(QFileInfo(installs.at(1).args.value(0)).fileName(), QStringLiteral("Second.pkg"));
    EXPECT_NE(folders.at(0), folders.at(1));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(folders.at(i).startsWith(env.agentDataRoot() + QStringLiteral("updater/uncompress/")));
        QFile payload(folders.at(i) + QStringLiteral("/payload.txt"));
        ASSERT_TRUE(payload.open(QIODevice::ReadOnly));
        EXPECT_EQ(payload.readAll(), i == 0 ? QByteArray("from first") : QByteArray("from second"));
    }
}

// The run's folders are reached from the data folder down for every package:
// a link planted in place of one while the first package's box is up
// receives neither the next package nor the hand-over of its installer.
class InstallRoadLinkedFolder : public InstallRun, public ::testing::WithParamInterface<const char*> {};

TEST_P(InstallRoadLinkedFolder, NextPackageStaysBelowTheDataFolder)
{
    const QString elsewhere = env.root() + QStringLiteral("/elsewhere");
    writeFile(elsewhere + QStringLiteral("/keep.txt"), "kept");
    QByteArray damaged = package(setupFor({"First.pkg"}).c_str(), {{"First.pkg", "f"}});
    damaged[damaged.size() / 2] = char(damaged[damaged.size() / 2] ^ 0x55);
    const QString first = writeFile(env.root() + QStringLiteral("/first.kzip"), damaged);
    const QString second = writeFile(env.root() + QStringLiteral("/second.kzip"),
                                     package(setupFor({"Second.pkg"}).c_str(), {{"Second.pkg", "s"}}));
    start(QStringLiteral("-install -KzipPath ") + first + QLatin1Char('|') + second);

    ModalAnswerer answerer;
    answerer.answer(
        [&](QWidget* box) {
            const QString linked = QDir::cleanPath(QLatin1String(GetParam()) == QLatin1String("run")
                                                       ? theApp->GetUncompressPath()
                                                       : updaterFolder() + QStringLiteral("uncompress"));
            QDir(linked).removeRecursively();
            QFile::link(elsewhere, linked);
            for (QPushButton* b : box->findChildren<QPushButton*>())
                if (b->text().remove(QLatin1Char('&')) == QLatin1String("OK"))
                    b->click();
        },
        QStringLiteral("QMessageBox"));
    answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));   // a second box must not hang the test
    theApp->runUpdateVisible(31, 225);
    ASSERT_EQ(answerer.seen().size(), 1);

    ASSERT_TRUE(standin.waitForInstalls(1));
    const auto installs = standin.installs();
    ASSERT_EQ(installs.size(), 1);
    const QString installer = installs.at(0).args.value(0);
    EXPECT_EQ(QFileInfo(installer).fileName(), QStringLiteral("Second.pkg"));
    EXPECT_EQ(QFileInfo(installer).canonicalFilePath(), QDir::cleanPath(installer));   // through no link
    EXPECT_TRUE(installer.startsWith(updaterFolder() + QStringLiteral("uncompress/"))) << installer.toStdString();
    QDirIterator it(elsewhere, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList left;
    while (it.hasNext())
        left << QDir(elsewhere).relativeFilePath(it.next());
    EXPECT_EQ(left, QStringList({"keep.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Folders, InstallRoadLinkedFolder, ::testing::Values("uncompress", "run"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Unpack" : "RunFolder");
                         });
