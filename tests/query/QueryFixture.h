#pragma once
// A run of the agent inside the test process: an isolated environment, a
// parsed command line, the controller published as theApp, and a module
// manager of the run's type. Tests that touch the schedule file hold a
// ScheduleFileGuard.
#include "CReaderModuleManager.h"
#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "IsolatedEnv.h"
#include "QtPrinters.h"
#include "ReaderSettings.h"
#include "ScheduleFileGuard.h"
#include "UpdaterApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>
#include <memory>

class QueryRun : public ::testing::Test
{
protected:
    ~QueryRun() override
    {
        manager.reset();
        theApp = nullptr;
        app.reset();
        cmd.reset();
    }

    // Parses the command text, publishes the controller and makes the manager
    // with the command line's type (or the given one).
    void start(const QString& commandText, const QString& managerType = QString())
    {
        manager.reset();
        theApp = nullptr;
        cmd = std::make_unique<CSetup_CommandLine>();
        cmd->ProcessCmdLine(commandText);
        app = std::make_unique<UpdaterApp>(cmd.get());
        theApp = app.get();
        const QString type = managerType.isNull() ? QString::fromStdString(cmd->GetUpdaterType()) : managerType;
        manager = std::make_unique<CReaderModuleManager>(type);
    }

    // The reader bundle's executable folder; "UpdaterInfo.xml" is read from
    // its "../Resources".
    QString readerPath() const { return env.root() + QStringLiteral("/Reader.app/Contents/MacOS"); }

    void writeUpdaterInfo(const QByteArray& xml)
    {
        const QString dir = env.root() + QStringLiteral("/Reader.app/Contents/Resources");
        QDir().mkpath(dir);
        QDir().mkpath(readerPath());
        QFile file(dir + QStringLiteral("/UpdaterInfo.xml"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(xml);
    }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = env.root() + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QByteArray fixture(const char* name)
    {
        QFile file(QStringLiteral(UPDATER_SOURCE_DIR "/tests/query/fixtures/") + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        return file.readAll();
    }

    // Switches the reader's settings to the "Classic" layout.
    void useClassicLayout()
    {
        setReaderLayout(false);
    }

    // Names of the available modules, in order.
    QStringList availableNames() const
    {
        QStringList names;
        for (int i = 0; i < manager->CountAvailableModule(); ++i)
            names << QString::fromStdString(manager->GetAvailabletModule(i)->name);
        return names;
    }

    IsolatedEnv env;
    std::unique_ptr<CSetup_CommandLine> cmd;
    std::unique_ptr<UpdaterApp> app;
    std::unique_ptr<CReaderModuleManager> manager;
};
