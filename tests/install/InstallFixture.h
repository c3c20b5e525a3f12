#pragma once
// A run of the agent inside the test process with the stand-in installer in
// place: isolated folders, a parsed command line, the controller published
// as theApp, Kzip packages built on the fly, and a recorder of the install
// outcomes that a download window reports.
#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "DlgDownload.h"
#include "InstallerStandin.h"
#include "IsolatedEnv.h"
#include "QtPrinters.h"
#include "KzipWriter.h"
#include "UpdaterApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPair>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

// Every SignalInstallProgress (or the manager's relay of it) as "title:value".
class OutcomeLog : public QObject
{
public:
    void record(const QString& title, int value) { events << QStringLiteral("%1:%2").arg(title).arg(value); }
    // The events of one title, values only.
    QList<int> valuesOf(const QString& title) const
    {
        QList<int> out;
        for (const QString& e : events) {
            if (e.section(QLatin1Char(':'), 0, -2) == title)
                out << e.section(QLatin1Char(':'), -1).toInt();
        }
        return out;
    }
    // "title:value" of every final outcome (-1 or 100), in order.
    QStringList finals() const
    {
        QStringList out;
        for (const QString& e : events) {
            if (e.endsWith(QLatin1String(":-1")) || e.endsWith(QLatin1String(":100")))
                out << e;
        }
        return out;
    }
    bool waitForFinals(int count, int timeoutMs = 15000) const
    {
        return QTest::qWaitFor([&] { return finals().size() >= count; }, timeoutMs);
    }
    QStringList events;
};

class InstallRun : public ::testing::Test
{
protected:
    InstallRun() : standin(env) {}
    ~InstallRun() override
    {
        manager.reset();
        theApp = nullptr;
        app.reset();
        cmd.reset();
    }

    void SetUp() override { ASSERT_TRUE(standin.isReady()) << InstallerStandin::executable().toStdString(); }

    // Parses the command text and publishes the controller.
    void start(const QString& commandText)
    {
        manager.reset();
        theApp = nullptr;
        cmd = std::make_unique<CSetup_CommandLine>();
        cmd->ProcessCmdLine(commandText);
        app = std::make_unique<UpdaterApp>(cmd.get());
        theApp = app.get();
    }

    // A package whose "Setup.xml" is `setupXml` (none when null), with the
    // other files given.
    static QByteArray package(const char* setupXml, const std::map<std::string, std::string>& files = {})
    {
        kzip::Writer writer;
        if (setupXml)
            writer.addFile("Setup.xml", setupXml);
        for (const auto& f : files)
            writer.addFile(f.first, f.second);
        const std::string bytes = writer.package();
        return QByteArray(bytes.data(), int(bytes.size()));
    }

    // "Setup.xml" naming the given installer files.
    static std::string setupFor(const QStringList& names)
    {
        QString xml = QStringLiteral("<?xml version=\"1.0\"?>\n<setup>\n");
        for (const QString& n : names)
            xml += QStringLiteral("  <file name=\"%1\" parameter=\"-q\" iscommon=\"true\"/>\n").arg(n);
        return (xml + QStringLiteral("</setup>\n")).toStdString();
    }

    QString writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        return path;
    }

    // Has the manager parse a reply of the given addons and selects all of them.
    void offer(const QString& addons)
    {
        const QString reply = writeFile(env.root() + QStringLiteral("/reply.xml"),
                                        (QStringLiteral("<addons>\n") + addons + QStringLiteral("</addons>\n")).toUtf8());
        manager->OnPaserModuleInfo(reply);
        for (int i = 0; i < manager->CountAvailableModule(); ++i)
            manager->AddSelModule(manager->GetAvailabletModule(i));
    }

    QString updaterFolder() const { return env.agentDataRoot() + QStringLiteral("updater/"); }
    // A fresh unpack folder (the Kzip unpacker keeps its temporary files in
    // "updater/uncompress/").
    QString unpackFolder(const QString& name) const
    {
        const QString folder = updaterFolder() + QStringLiteral("uncompress/") + name;
        QDir().mkpath(folder);
        return folder;
    }

    static void recordInto(DlgDownload& window, OutcomeLog& log)
    {
        QObject::connect(&window, &DlgDownload::SignalInstallProgress, &log, &OutcomeLog::record);
    }

    // Names of the installer files handed over, in order.
    QStringList installedNames() const
    {
        QStringList names;
        for (const auto& h : standin.installs())
            names << QFileInfo(h.args.value(0)).fileName();
        return names;
    }

    IsolatedEnv env;
    InstallerStandin standin;
    std::unique_ptr<CSetup_CommandLine> cmd;
    std::unique_ptr<UpdaterApp> app;
    std::unique_ptr<CReaderModuleManager> manager;
};
