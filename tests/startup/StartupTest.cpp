#include "AgentProcess.h"
#include "CRegister.h"
#include "ConsoleUser.h"
#include "HttpTestServer.h"
#include "IsolatedEnv.h"
#include "LanguageFiles.h"
#include "MyApplication.h"
#include "ProcessRunner.h"
#include "UpdaterApp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPushButton>
#include <QSettings>
#include <gtest/gtest.h>
#include "ReaderSettings.h"
#include <memory>

namespace {


// The controller renews this folder in every run that reaches its job choice.
bool controllerRan()
{
    return QFileInfo::exists(UpdaterApp::GetAppDateRootPath() + QStringLiteral("updater/uncompress"));
}

} // namespace

TEST(Startup, SecondAgentHandsItsLastArgumentToTheFirst)
{
    struct Case { QStringList args; QString received; };
    const Case cases[] = {
        {{QStringLiteral("-readerpath"), QStringLiteral("/x"), QStringLiteral("last")}, QStringLiteral("last")},
        {{}, QString()},   // no arguments: an empty text
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        IsolatedEnv env;
        QLocalServer firstAgent;
        ASSERT_TRUE(firstAgent.listen(MyApplication::serverName()));

        const AgentResult run = AgentProcess::run(c.args, 10000);
        ASSERT_TRUE(run.finished) << run.standardError.toStdString();
        EXPECT_EQ(run.exitCode, 0);

        ASSERT_TRUE(firstAgent.hasPendingConnections() || firstAgent.waitForNewConnection(5000));
        std::unique_ptr<QLocalSocket> socket(firstAgent.nextPendingConnection());
        ASSERT_TRUE(socket);
        if (socket->bytesAvailable() == 0 && !c.received.isEmpty())
            socket->waitForReadyRead(5000);
        EXPECT_EQ(QString::fromUtf8(socket->readAll()), c.received);
        // The second agent did nothing else.
        EXPECT_FALSE(controllerRan());
    }
}

TEST(Startup, StaleSocketFileDoesNotBlockTheGuard)
{
    IsolatedEnv env;
    const QString socketPath = MyApplication::serverSocketPath();
    ASSERT_TRUE(socketPath.startsWith(env.tmpDir()));
    {
        QFile stale(socketPath);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    }
    const AgentResult run = AgentProcess::run({QStringLiteral("checkbDisableInternet")}, 10000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 0);
    // The agent replaced the stale file by its own server, which removes its
    // socket file when it ends; an agent that failed to listen leaves it.
    EXPECT_FALSE(QFileInfo::exists(socketPath));
}

TEST(Startup, WholeCommandPrefixes)
{
    // How the run finds the world: nobody else running, another agent holding
    // the single-instance name, or a "Classic" settings entry it cannot read
    // (so "LastDay" cannot be stored).
    enum Setup { Free, AgentRunning, ClassicUnreadable };
    struct Case {
        QStringList args;
        bool continuous;
        bool storesLastDay;
        QString lastDay;
        bool controller;
        Setup setup = Free;
        int exitCode = 0;
    };
    const Case cases[] = {
        {{QStringLiteral("setnextautoupdatetime:1700000000")}, true, true, QStringLiteral("1700000000"), false},
        {{QStringLiteral("setnextautoupdatetime:1700000000")}, false, true, QStringLiteral("1700000000"), false},
        {{QStringLiteral("setnextautoupdatetime:")}, true, true, QString(), false},
        {{QStringLiteral("setnextautoupdatetime:17"), QStringLiteral("00")}, true, true, QStringLiteral("17 00"), false},
        {{QStringLiteral("checkbDisableInternet"), QStringLiteral("-run")}, true, false, QString(), false},
        {{QStringLiteral("-downloadTrustCertfile")}, true, false, QString(), false},
        // Only a prefix at the very start selects its job.
        {{QStringLiteral("xsetnextautoupdatetime:1700000000")}, true, false, QString(), true},
        {{QStringLiteral(" -downloadTrustCertfile")}, true, false, QString(), true},
        {{}, true, false, QString(), true},
        // The next-check time opens no window: it is stored while another
        // agent runs; a windowed run still yields to that agent.
        {{QStringLiteral("setnextautoupdatetime:1700000000")}, true, true, QStringLiteral("1700000000"), false,
         AgentRunning},
        {{QStringLiteral("setnextautoupdatetime:1700000000")}, false, true, QStringLiteral("1700000000"), false,
         AgentRunning},
        {{}, true, false, QString(), false, AgentRunning},
        // A time that cannot be stored is not reported as stored.
        {{QStringLiteral("setnextautoupdatetime:1700000000")}, false, false, QString(), false, ClassicUnreadable, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.args.join(QLatin1Char('|')) + (c.continuous ? " continuous" : " Classic")
                      + QStringLiteral(" setup %1").arg(int(c.setup))).toStdString());
        IsolatedEnv env;
        setReaderLayout(c.continuous);
        QLocalServer otherAgent;
        if (c.setup == AgentRunning) {
            ASSERT_TRUE(otherAgent.listen(MyApplication::serverName()));
        }
        if (c.setup == ClassicUnreadable)
            readerSettings()->setValue(QStringLiteral("Classic"), QStringLiteral("not a dictionary"));
        const AgentResult run = AgentProcess::run(c.args, 20000);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(controllerRan(), c.controller);

        auto settings = readerSettings();
        const QVariantMap classic = settings->value(QStringLiteral("Classic")).toMap();
        if (c.continuous) {
            EXPECT_EQ(settings->contains(kLastDayName), c.storesLastDay);
            EXPECT_EQ(settings->value(kLastDayName).toString(), c.lastDay);
        } else {
            EXPECT_FALSE(settings->contains(kLastDayName));
            EXPECT_EQ(classic.contains(kLastDayName), c.storesLastDay);
            EXPECT_EQ(classic.value(kLastDayName).toString(), c.lastDay);
        }
    }
}

TEST(Startup, TrustListRunParsesTheRestOfItsCommandAlone)
{
    // It opens no window and locks its own lists, so it runs while another
    // agent holds the single-instance name too.
    for (const bool agentRunning : {false, true}) {
        SCOPED_TRACE(agentRunning ? "another agent running" : "alone");
        IsolatedEnv env;
        QLocalServer otherAgent;
        if (agentRunning) {
            ASSERT_TRUE(otherAgent.listen(MyApplication::serverName()));
        }
        HttpTestServer service;
        ASSERT_TRUE(service.isListening());
        service.setRoute("/lists/eutl.xml", QByteArray("<TrustList/>"));
        const QString list = env.root() + QStringLiteral("/eutl.xml");

        const AgentResult run = AgentProcess::run(
            {QStringLiteral("-downloadTrustCertfile"), QStringLiteral("-certeutlurl"),
             service.url(QStringLiteral("/lists/eutl.xml")).toString(), QStringLiteral("-eutlfile"), list,
             QStringLiteral("-downtype"), QStringLiteral("auto")},
            20000);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.standardOutput.trimmed(), QByteArray::number(0x10000 | 0x10000000));
        QFile fetched(list);
        ASSERT_TRUE(fetched.open(QIODevice::ReadOnly));
        EXPECT_EQ(fetched.readAll(), QByteArray("<TrustList/>"));
        EXPECT_FALSE(controllerRan());
        EXPECT_FALSE(otherAgent.waitForNewConnection(100));   // nothing was handed to another agent
    }
}

namespace {

// Stands in for who and su; records what was asked.
struct FakeShell
{
    // who's output: one line per session.
    QByteArray sessions = "alice    console  Dec 11 09:12\n";
    QByteArray home;
    QByteArray suError;
    QList<QStringList> calls;

    Platform::ProcessResult operator()(const QString& program, const QStringList& args, int)
    {
        calls << (QStringList{program} + args);
        Platform::ProcessResult r;
        r.started = r.finished = true;
        r.exitCode = 0;
        if (program == QLatin1String("/usr/bin/who")) {
            r.standardOutput = sessions;
        } else if (program == QLatin1String("/usr/bin/su")) {
            r.standardOutput = home + "\n";
            r.standardError = suError;
            r.exitCode = suError.isEmpty() ? 0 : 1;
        }
        return r;
    }
};

class ShellSeam
{
public:
    // Stands for a run of its own: the console user is looked up anew.
    explicit ShellSeam(FakeShell& shell)
    {
        ForgetConsoleUser();
        Platform::setProcessRunner([&shell](const QString& p, const QStringList& a, int t) { return shell(p, a, t); });
    }
    ~ShellSeam()
    {
        ForgetConsoleUser();
        Platform::setProcessRunner({});
    }
};

void writeLanguages(QSettings& settings, const QVariant& type, const QVariant& lan, const QVariant& country)
{
    settings.setValue(QStringLiteral("Preferences/Languages/nChooseLanType"), type);
    settings.setValue(QStringLiteral("Preferences/Languages/nChooseLan"), lan);
    settings.setValue(QStringLiteral("Preferences/Languages/nChooseCountry"), country);
}

} // namespace

TEST(Startup, LanguageComesFromTheConsoleUsersPreferenceFile)
{
    IsolatedEnv env;
    FakeShell shell;
    // Several users, one of them with two sessions: one argument for su.
    shell.sessions = "bob      ttys001  Dec 11 10:02\nalice    console  Dec 11 09:12\nalice    ttys000  Dec 11 09:30\n";
    shell.home = env.homeDir().toLocal8Bit();
    ShellSeam seam(shell);

    const QString expected = env.homeDir() + QStringLiteral("/Library/Preferences/com.velto-software.Velto.PDF.Reader.plist");
    const QString plist = GetUserPlitPath();
    EXPECT_EQ(plist, expected);
    ASSERT_EQ(shell.calls.size(), 2);
    EXPECT_EQ(shell.calls[0], (QStringList{QStringLiteral("/usr/bin/who")}));
    EXPECT_EQ(shell.calls[1], (QStringList{QStringLiteral("/usr/bin/su"), QStringLiteral("-"),
                                           QStringLiteral("alice\nbob"), QStringLiteral("-c"),
                                           QStringLiteral("echo ${HOME}")}));

    // Nothing there yet: the defaults.
    LanguageChoice choice = ReadLanguageChoice(plist);
    EXPECT_EQ(choice.nChooseLanType, 1);
    EXPECT_EQ(choice.nChooseLan, 31);
    EXPECT_EQ(choice.nChooseCountry, 225);

    QDir().mkpath(QFileInfo(plist).absolutePath());
    {
        QSettings prefs(plist, QSettings::NativeFormat);
        writeLanguages(prefs, 2, 42, QStringLiteral("82"));
        auto reader = readerSettings();
        writeLanguages(*reader, 0, 59, 108);
    }
    choice = ReadLanguageChoice(plist);
    EXPECT_EQ(choice.nChooseLanType, 2);
    EXPECT_EQ(choice.nChooseLan, 42);
    EXPECT_EQ(choice.nChooseCountry, 82);

    {
        QSettings prefs(plist, QSettings::NativeFormat);
        prefs.setValue(QStringLiteral("Preferences/Languages/nChooseLan"), QStringLiteral("German"));
    }
    EXPECT_EQ(ReadLanguageChoice(plist).nChooseLan, 0);   // not a number

    // su refuses (in another run): no plist path, and the reader's own
    // settings answer.
    shell.suError = "su: Authentication failure";
    ForgetConsoleUser();
    EXPECT_EQ(GetUserPlitPath(), QString());
    EXPECT_EQ(ReadLanguageChoice(QString()).nChooseLan, 59);
}

// The language files and the controller ask for the console user's plist
// through one lookup per run, started early on a thread of its own; each
// keeps its answer for a missing home folder (no plist, or the agent's own
// home).
TEST(Startup, OneConsoleUserLookupPerRunAnswersEveryAsker)
{
    IsolatedEnv env;
    FakeShell shell;
    shell.home = env.homeDir().toLocal8Bit();
    const QString expected = ReaderPreferencesIn(env.homeDir());
    struct Case { const char* label; QByteArray suError; QString languagePlist; QString controllerPlist; };
    const Case cases[] = {
        {"home found", QByteArray(), expected, expected},
        {"su refuses", "su: Authentication failure", QString(), ReaderPreferencesIn(QDir::homePath())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        shell.calls.clear();
        shell.suError = c.suError;
        ShellSeam seam(shell);
        StartConsoleUserLookup();
        UpdaterApp controller(nullptr);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(GetUserPlitPath(), c.languagePlist);
            EXPECT_EQ(QString::fromStdString(controller.GetCurrentUserPlist()), c.controllerPlist);
        }
        EXPECT_EQ(shell.calls.size(), 2);   // who and su, once
    }
}

// The names as `who | cut -d' ' -f1 | sort | uniq` gave them.
TEST(Startup, LoggedInUserNamesAreWhosFirstFieldsSortedAndUnique)
{
    const struct { const char* who; const char* names; } cases[] = {
        {"", ""},
        {"alice    console  Dec 11 09:12\n", "alice\n"},
        {"bob ttys001\nalice console\nbob ttys002\nalice ttys000\n", "alice\nbob\n"},
        {"carol console", "carol\n"},   // no line end after the last line
        {"dave\n", "dave\n"},            // a line without a blank is taken whole
        {" console\n", "\n"},            // an empty first field stays an (empty) line
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        EXPECT_EQ(LoggedInUserNames(QByteArray(c.who)), QByteArray(c.names));
    }
}

TEST(Startup, RealShellToolsNeverHang)
{
    IsolatedEnv env;
    env.set("UPDATER_TIME_SCALE", "0.05");
    const Platform::ProcessResult ok = Platform::runProcess(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo out; echo err >&2; exit 3")}, 30000);
    EXPECT_TRUE(ok.finished);
    EXPECT_EQ(ok.exitCode, 3);
    EXPECT_EQ(ok.standardOutput, QByteArray("out\n"));
    EXPECT_EQ(ok.standardError, QByteArray("err\n"));

    // A tool that waits for input gets none, and one that never ends is cut off.
    const Platform::ProcessResult reads = Platform::runProcess(QStringLiteral("/bin/cat"), {}, 30000);
    EXPECT_TRUE(reads.finished);
    const Platform::ProcessResult stuck = Platform::runProcess(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("sleep 60")}, 10000);
    EXPECT_TRUE(stuck.started);
    EXPECT_FALSE(stuck.finished);
    const Platform::ProcessResult missing = Platform::runProcess(QStringLiteral("/nonexistent/tool"), {}, 30000);
    EXPECT_FALSE(missing.started);
}

TEST(Startup, TranslationCataloguePaths)
{
    struct Case { QString packageType; int language; QString locale; };
    const Case cases[] = {
        {QString(), 31, QStringLiteral("en-US")},
        {QString(), 111, QStringLiteral("es-419")},
        {QString(), 66, QStringLiteral("ko-KR")},
        {QStringLiteral("zh-CN"), 25, QStringLiteral("zh-CN")},
        {QStringLiteral("zh-CN"), 42, QString()},
        {QStringLiteral("ja-JP"), 59, QStringLiteral("ja-JP")},
        {QStringLiteral("ja-JP"), 25, QString()},
        {QString(), 0, QString()},
    };
    const QString exe = QStringLiteral("/Apps/Reader.app/Contents/Frameworks/Updater.app/Contents/MacOS");
    const QString old = QStringLiteral("/Old/Updater.app/Contents/MacOS");
    for (const Case& c : cases) {
        SCOPED_TRACE((c.packageType + QLatin1Char('/') + QString::number(c.language)).toStdString());
        if (c.locale.isEmpty()) {
            EXPECT_EQ(lanFilePathFor(exe, c.packageType, c.language), QString());
            EXPECT_EQ(gLanFilePathFor(old, c.packageType, c.language), old + QStringLiteral("/../../.."));
        } else {
            EXPECT_EQ(lanFilePathFor(exe, c.packageType, c.language),
                      exe + QStringLiteral("/../../../lang/%1/brightleaf_%1.qm").arg(c.locale));
            EXPECT_EQ(gLanFilePathFor(old, c.packageType, c.language),
                      old + QStringLiteral("/../../../lang/%1/qt_%1.qm").arg(c.locale));
        }
    }
}

TEST(Startup, QtCatalogueFollowsTheOldUpdaterFolder)
{
    IsolatedEnv env;
    const QString here = QCoreApplication::applicationDirPath();
    EXPECT_TRUE(getGLanFilePath(31, 225).startsWith(here + QStringLiteral("/../../..")));
    EXPECT_EQ(getLanFilePath(31, 225).left(here.size()), here);
    ASSERT_TRUE(CRegister::regSetString(QStringLiteral("Brightleaf_UpdateOldPath"), QString(), QStringLiteral("/old/bin")));
    EXPECT_TRUE(getGLanFilePath(31, 225).startsWith(QStringLiteral("/old/bin/../../../lang/")));
}

TEST(Startup, ButtonsAreThirtyTwoPixelsAndTheFontIsTwelvePixels)
{
    const QString oldSheet = qApp->styleSheet();
    const QFont oldFont = QApplication::font();
    QPushButton plain(QStringLiteral("OK"));
    const int plainHeight = plain.sizeHint().height();

    MyApplication::applyButtonStyle();
    MyApplication::applyFont();
    QPushButton styled(QStringLiteral("OK"));
    styled.ensurePolished();
    const int styledHeight = styled.sizeHint().height();
    const int pixelSize = styled.font().pixelSize();
    const QString sheet = qApp->styleSheet();

    qApp->setStyleSheet(oldSheet);
    QApplication::setFont(oldFont);

    EXPECT_EQ(sheet, MyApplication::buttonStyleSheet());
    EXPECT_EQ(pixelSize, 12);
    // 32 pixels on screen, frame included, whatever the screen's resolution.
    EXPECT_EQ(styledHeight, 32) << "plain " << plainHeight;
}
