#pragma once
// A visible check inside the test process: an isolated world, the loopback
// service, a fake reader recording reports, the parsed command line and the
// controller published as theApp. The reader bundle and the crafted replies
// live in tests/check/fixtures/.
#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "FakeReader.h"
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "QtPrinters.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

// The path the update service's query goes to on the global host.
constexpr const char* kServicePath = "/addons/get_addons.php";

inline QString fixturePath(const QString& name)
{
    return QStringLiteral(UPDATER_SOURCE_DIR "/tests/check/fixtures/") + name;
}

inline QByteArray fixture(const QString& name)
{
    QFile file(fixturePath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

// The fixture reader's executable folder (its "../Resources" holds UpdaterInfo.xml).
inline QString fixtureReaderPath()
{
    return fixturePath(QStringLiteral("Reader.app/Contents/MacOS"));
}

// Runs deferred deletions now: a released manager is gone afterwards.
inline void flushDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class CheckRun : public ::testing::Test
{
protected:
    CheckRun()
    {
        env.set("UPDATER_SERVICE_BASE", server.baseUrl().toUtf8());
        reader = std::make_unique<FakeReader>();
    }
    ~CheckRun() override
    {
        delete manager.data();
        theApp = nullptr;
        app.reset();
        cmd.reset();
        reader.reset();
    }

    // Parses "-updater -type <type> -version 11.0.0.0 -readerpath <fixture>"
    // and publishes the controller.
    void start(const QString& type, const QString& version = QStringLiteral("11.0.0.0"))
    {
        cmd = std::make_unique<CSetup_CommandLine>();
        cmd->ProcessCmdLine(QStringLiteral("-updater -type \"%1\" -version %2 -readerpath \"%3\"")
                                .arg(type, version, fixtureReaderPath()));
        app = std::make_unique<UpdaterApp>(cmd.get());
        theApp = app.get();
    }

    // A manager of the run's type, owned by the test unless a dialog releases it.
    CReaderModuleManager* makeManager()
    {
        manager = new CReaderModuleManager(QString::fromStdString(cmd->GetUpdaterType()));
        return manager;
    }

    // A manager whose available list comes from a reply file (no network).
    CReaderModuleManager* managerFromReply(const QByteArray& reply)
    {
        makeManager();
        const QString path = env.root() + QStringLiteral("/reply.xml");
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reply);
        file.close();
        manager->OnPaserModuleInfo(path);
        return manager;
    }

    IsolatedEnv env;
    HttpTestServer server;
    std::unique_ptr<FakeReader> reader;
    std::unique_ptr<CSetup_CommandLine> cmd;
    std::unique_ptr<UpdaterApp> app;
    QPointer<CReaderModuleManager> manager;
};
