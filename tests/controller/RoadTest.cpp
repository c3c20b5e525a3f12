// The job choice of a run, its unpack folder and how each road ends.
#include "AgentProcess.h"
#include "FakeReader.h"
#include "CSetup_CommandLine.h"
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "ModalAnswerer.h"
#include "UpdaterApp.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Job = UpdaterApp::Job;

void writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(data);
}

QString uncompressFolder(const IsolatedEnv& env)
{
    return env.agentDataRoot() + QStringLiteral("updater/uncompress/");
}

} // namespace

TEST(Roads, CommandTextChoosesTheJobAndEveryRoadEndsTheRun)
{
    struct Case {
        const char* commandText;
        Job job;
    };
    const Case cases[] = {
        {"-updater -type \"Update List\" -version 12.1.0.1", Job::CheckUpdater},
        {"-updater -type \"Auto Updater\"", Job::CheckUpdater},
        {"-run -version 12.1.0.1", Job::CheckRun},
        // "updater" clears an earlier "install"; the empty type decides.
        {"-install -updater", Job::Nothing},
        {"-updater -install -type \"Update List\"", Job::CheckUpdater},
        {"-install -KzipPath \"\"", Job::Install},
        {"-install -KzipPath \"/tmp/a.kzip||/tmp/b.kzip\"", Job::Install},
        {"-updater -type \"\"", Job::Nothing},
        {"-updater", Job::Nothing},
        {"", Job::Nothing},
        {"-insForceUpdate -run", Job::RelaunchRequest},
        {"-updater -type spellcheck,,ocr_de", Job::Component},
    };
    for (const Case& c : cases) {
        IsolatedEnv env;
        FakeReader reader;
        CSetup_CommandLine commandLine;
        commandLine.ProcessCmdLine(QString::fromUtf8(c.commandText));
        EXPECT_EQ(UpdaterApp::chooseJob(commandLine), c.job) << c.commandText;

        // The check roads query a loopback service that never answers and
        // end with the user's Cancel (which reports nothing).
        HttpTestServer service;
        service.setFallback([](const HttpTestServer::Request&) {
            HttpTestServer::Reply reply;
            reply.neverAnswer = true;
            return reply;
        });
        env.set("UPDATER_SERVICE_BASE", service.baseUrl().toUtf8());

        UpdaterApp app(&commandLine);
        ModalAnswerer answerer;   // the component road asks first: answer No
        if (c.job == Job::CheckRun || c.job == Job::CheckUpdater)
            answerer.clickButton(QStringLiteral("Cancel"), QStringLiteral("DlgUpdateChecking"));
        else if (c.job == Job::Install)   // named packages that do not exist: one warning each
            answerer.clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"))
                .clickButton(QStringLiteral("OK"), QStringLiteral("QMessageBox"));
        else
            answerer.done(0, QStringLiteral("CDlgComponentFound"));
        app.runUpdateVisible(31, 225);
        EXPECT_TRUE(app.bQuit) << c.commandText;
        // None of these roads has anything to tell the reader.
        EXPECT_TRUE(reader.messages().isEmpty()) << c.commandText;
    }
}

TEST(Roads, RollBackGivenWithThePackagePathsIsTakenOver)
{
    CSetup_CommandLine plain;
    plain.ProcessCmdLine(QStringLiteral("-install -KzipPath /tmp/a.kzip"));
    CSetup_CommandLine rollBack;
    rollBack.ProcessCmdLine(QStringLiteral("-install -KzipPath \"/tmp/a.kzip;https://r.example.test/;\""));
    EXPECT_FALSE(UpdaterApp(&plain).bRollBack);
    EXPECT_TRUE(UpdaterApp(&rollBack).bRollBack);
}

TEST(UnpackFolder, OldContentsGoAndAFolderForThisRunIsMade)
{
    IsolatedEnv env;
    writeFile(uncompressFolder(env) + QStringLiteral("1600000000/pkg/Setup.xml"), "<old/>");
    writeFile(uncompressFolder(env) + QStringLiteral("stray.txt"), "x");
    // A link left inside must not lead the clean-up outside.
    const QString outside = env.root() + QStringLiteral("/outside");
    writeFile(outside + QStringLiteral("/precious.txt"), "precious");
    ASSERT_TRUE(QFile::link(outside, uncompressFolder(env) + QStringLiteral("link")));

    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(QStringLiteral("-install -KzipPath \"\""));
    UpdaterApp app(&commandLine);
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    app.runUpdateVisible(31, 225);
    const qint64 after = QDateTime::currentSecsSinceEpoch();

    const QStringList left =
        QDir(uncompressFolder(env)).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    ASSERT_EQ(left.size(), 1) << left.join(QLatin1Char(' ')).toStdString();
    bool numeric = false;
    const qint64 seconds = left.first().toLongLong(&numeric);
    EXPECT_TRUE(numeric);
    EXPECT_GE(seconds, before);
    EXPECT_LE(seconds, after);
    EXPECT_TRUE(QFileInfo(uncompressFolder(env) + left.first()).isDir());
    EXPECT_EQ(QDir::cleanPath(app.GetUncompressPath()), QDir::cleanPath(uncompressFolder(env) + left.first()));

    QFile precious(outside + QStringLiteral("/precious.txt"));
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), QByteArray("precious"));
}

// A link in place of the agent's working folders is removed as a link: the
// clean-up of old unpack folders and this run's folder stay below the data
// folder, and the folder the link led to keeps what it held.
TEST(UnpackFolder, LinkInPlaceOfAWorkingFolderIsReplaced)
{
    for (const char* linkedName : {"updater", "updater/uncompress"}) {
        SCOPED_TRACE(linkedName);
        IsolatedEnv env;
        const QString elsewhere = env.root() + QStringLiteral("/elsewhere");
        writeFile(elsewhere + QStringLiteral("/uncompress/precious.txt"), "precious");
        writeFile(elsewhere + QStringLiteral("/precious.txt"), "precious");
        const QString linked = env.agentDataRoot() + QLatin1String(linkedName);
        QDir().mkpath(QFileInfo(linked).path());
        ASSERT_TRUE(QFile::link(elsewhere, linked));

        CSetup_CommandLine commandLine;
        commandLine.ProcessCmdLine(QStringLiteral("-install -KzipPath \"\""));
        UpdaterApp app(&commandLine);
        app.runUpdateVisible(31, 225);

        const QFileInfo run(app.GetUncompressPath());
        EXPECT_TRUE(run.isDir());
        EXPECT_EQ(QDir::cleanPath(run.path()), QDir::cleanPath(uncompressFolder(env)));
        for (const QString& folder : {env.agentDataRoot() + QStringLiteral("updater"), uncompressFolder(env)})
            EXPECT_FALSE(QFileInfo(QDir::cleanPath(folder)).isSymLink()) << folder.toStdString();
        QDirIterator it(elsewhere, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        QStringList left;
        while (it.hasNext())
            left << QDir(elsewhere).relativeFilePath(it.next());
        left.sort();
        EXPECT_EQ(left, QStringList({"precious.txt", "uncompress", "uncompress/precious.txt"}));
    }
}

TEST(UnpackFolder, NoFolderMeansNoJobAndTheRunEnds)
{
    IsolatedEnv env;
    // A file where the "updater" folder belongs: creation fails even for root.
    writeFile(env.agentDataRoot() + QStringLiteral("updater"), "not a folder");
    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(QStringLiteral("-insForceUpdate"));
    UpdaterApp app(&commandLine);
    app.runUpdateVisible(31, 225);
    EXPECT_TRUE(app.bQuit);
    EXPECT_TRUE(app.GetUncompressPath().isEmpty());
    // The job was not started: the reader version is copied only by a job.
    EXPECT_TRUE(app.GetReaderVersion().empty());
}

TEST(UnpackFolder, UnwritableUpdaterFolderEndsTheRun)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    IsolatedEnv env;
    const QString updater = env.agentDataRoot() + QStringLiteral("updater");
    ASSERT_TRUE(QDir().mkpath(updater));
    QFile::setPermissions(updater, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(QStringLiteral("-run"));
    UpdaterApp app(&commandLine);
    app.runUpdateVisible(31, 225);
    QFile::setPermissions(updater, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(app.bQuit);
    EXPECT_TRUE(app.GetUncompressPath().isEmpty());
}

// The agent as the reader starts it: runs without work end by themselves.
TEST(AgentProcess, RunsWithoutWorkEndAtOnce)
{
    const QStringList commands[] = {
        {},
        {QStringLiteral("-updater")},
        {QStringLiteral("-insForceUpdate")},
    };
    for (const QStringList& arguments : commands) {
        IsolatedEnv env;
        const AgentResult run = AgentProcess::run(arguments, 5000);
        EXPECT_TRUE(run.finished) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, 0) << (run.standardOutput + run.standardError).toStdString();
    }
}

TEST(AgentProcess, LinkInsideTheUnpackFolderLeavesItsTargetAlone)
{
    IsolatedEnv env;
    const QString outside = env.root() + QStringLiteral("/outside");
    writeFile(outside + QStringLiteral("/precious.txt"), "precious");
    QDir().mkpath(uncompressFolder(env));
    ASSERT_TRUE(QFile::link(outside, uncompressFolder(env) + QStringLiteral("link")));

    const AgentResult run = AgentProcess::run({QStringLiteral("-updater")}, 5000);
    EXPECT_EQ(run.exitCode, 0) << (run.standardOutput + run.standardError).toStdString();

    QFile precious(outside + QStringLiteral("/precious.txt"));
    ASSERT_TRUE(precious.open(QIODevice::ReadOnly));
    EXPECT_EQ(precious.readAll(), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo(uncompressFolder(env) + QStringLiteral("link")).isSymLink());
}
