// Parsing a large update reply: 2,000 module elements judged against a
// 200-entry local module list. Goal: well under a second per parse.
#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "IsolatedEnv.h"
#include "UpdaterApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <clocale>

static void BM_ParseLargeReply(benchmark::State& state)
{
    IsolatedEnv env;
    const QString resources = env.root() + QStringLiteral("/Reader.app/Contents/Resources");
    QDir().mkpath(resources);
    QDir().mkpath(env.root() + QStringLiteral("/Reader.app/Contents/MacOS"));
    QByteArray info = "<modules>";
    for (int i = 0; i < 200; ++i)
        info += QStringLiteral("<updater_info name=\"M%1\" version=\"1.%1\"><file path=\"/p/%1\"/></updater_info>")
                    .arg(i).toUtf8();
    info += "</modules>";
    QFile infoFile(resources + QStringLiteral("/UpdaterInfo.xml"));
    infoFile.open(QIODevice::WriteOnly);
    infoFile.write(info);
    infoFile.close();

    QByteArray reply = "<addons>";
    for (int i = 0; i < 2000; ++i)
        reply += QStringLiteral("<addon name=\"M%1\" title=\"Module %1\" version=\"1.%2\" size=\"1048576\" result=\"true\""
                                " module_type=\"basic\" url=\"https://cdn.example/pkg/M%1.kzip\" description=\"d\"/>")
                     .arg(i).arg(i + 1).toUtf8();
    reply += "</addons>";
    const QString replyPath = env.root() + QStringLiteral("/reply.xml");
    QFile replyFile(replyPath);
    replyFile.open(QIODevice::WriteOnly);
    replyFile.write(reply);
    replyFile.close();

    CSetup_CommandLine cmd;
    cmd.ProcessCmdLine(QStringLiteral("-updater -type \"Update List\" -version 11.2 -readerpath \"%1\"")
                           .arg(env.root() + QStringLiteral("/Reader.app/Contents/MacOS")));
    UpdaterApp app(&cmd);
    theApp = &app;
    CReaderModuleManager manager(QStringLiteral("Update List"));
    for (auto _ : state) {
        manager.OnPaserModuleInfo(replyPath);
        benchmark::DoNotOptimize(manager.CountAvailableModule());
    }
    state.counters["modules"] = manager.CountAvailableModule();
    theApp = nullptr;
}
BENCHMARK(BM_ParseLargeReply)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
