// UpdaterApp: a thin entry point over the agent library. One run does one job,
// chosen by the command line.
#include "CRegister.h"
#include "CSetup_CommandLine.h"
#include "CUpdateCertFile.h"
#include "CUP_Log.h"
#include "ConsoleUser.h"
#include "LanguageFiles.h"
#include "MyApplication.h"
#include "UpdaterApp.h"

#include <QDebug>
#include <QStringList>
#include <clocale>

namespace {

const QString kTrustListPrefix = QStringLiteral("-downloadTrustCertfile");
const QString kNextCheckPrefix = QStringLiteral("setnextautoupdatetime:");
const QString kDisableInternetPrefix = QStringLiteral("checkbDisableInternet");
const QString kUpdaterKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");

} // namespace

int main(int argc, char* argv[])
{
    // The agent's images are compiled into its static library.
    Q_INIT_RESOURCE(res);
    CUP_Log::CreateLog();

    // The trust-list run and the next-check time open no window (the trust
    // lists have their own lock): they must not be dropped just because an
    // agent is running, which a slow trust-list server can make last minutes.
    const QString first = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    const bool windowless = first.startsWith(kTrustListPrefix) || first.startsWith(kNextCheckPrefix);
    // The console user's shell tools run while the application starts up;
    // the language choice waits for their answer. The trust-list run has no
    // use for it.
    if (!first.startsWith(kTrustListPrefix))
        StartConsoleUserLookup();
    MyApplication app(argc, argv, !windowless);
    std::setlocale(LC_NUMERIC, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    if (app.isRunning()) {
        ForgetConsoleUser();   // its thread ends before the process does
        return 0;
    }

    MyApplication::applyButtonStyle();

    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromUtf8(argv[i]);
    const QString qsCmd = words.join(QLatin1Char(' '));
    CUP_Log::PrintLog(QStringLiteral("qsCmd: ") + qsCmd);

    if (qsCmd.startsWith(kTrustListPrefix)) {
        static CSetup_CommandLine trustCommandLine;
        trustCommandLine.ProcessCmdLine(qsCmd.mid(kTrustListPrefix.size()));
        theApp = new UpdaterApp(&trustCommandLine, nullptr);
        CUpdateCertFile certFile;
        certFile.UpdateFile();
        return 0;
    }

    // The controller keeps a pointer to the run's command line until the
    // process ends.
    static CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(qsCmd);

    // A visible check makes its window while the console-user lookup still
    // runs, and takes the language once the window is up; every other job
    // takes it now.
    const UpdaterApp::Job job = UpdaterApp::chooseJob(commandLine);
    const bool check = (job == UpdaterApp::Job::CheckRun || job == UpdaterApp::Job::CheckUpdater)
                       && !qsCmd.startsWith(kNextCheckPrefix) && !qsCmd.startsWith(kDisableInternetPrefix);
    LanguageChoice language;
    if (!check)
        language = InstallReaderLanguage();

    MyApplication::applyFont();

    if (!qsCmd.isEmpty() && qsCmd.startsWith(kNextCheckPrefix)) {
        const QString value = qsCmd.mid(kNextCheckPrefix.size());
        if (!CRegister::regSetString(kUpdaterKey, QStringLiteral("LastDay"), value)) {
            // The reader relies on this time: say that it was not stored.
            CUP_Log::PrintLog(QStringLiteral("cannot store LastDay: ") + value);
            qWarning() << "cannot store LastDay:" << value;
            return 1;
        }
        return 0;
    }
    if (qsCmd.startsWith(kDisableInternetPrefix))
        return 0;

    theApp = new UpdaterApp(&commandLine, nullptr);
    if (check)
        theApp->SetLanguageSource(InstallReaderLanguage);
    theApp->runUpdate(language.nChooseLan, language.nChooseCountry);
    // A check that ended before its window came up never asked for the
    // language: the lookup's thread ends (and logs) before the process does.
    if (check)
        GetConsoleUser();
    if (theApp->bQuit)
        return 0;
    qDebug() << "ready to enter the  updater  main-->  eventloop ---> application.exec()";
    return app.exec();
}
