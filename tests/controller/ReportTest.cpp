// Reports to the reader: the text on the local socket and the marker files.
#include "CSetup_CommandLine.h"
#include "FakeReader.h"
#include "IsolatedEnv.h"
#include "ReaderReport.h"
#include "UpdaterApp.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString markerFolder(const IsolatedEnv& env)
{
    return env.systemRoot() + QStringLiteral("/usr/local/share/velto/Velto PDF Reader/ACUpdate/");
}

CSetup_CommandLine parsed(const QString& text)
{
    CSetup_CommandLine commandLine;
    commandLine.ProcessCmdLine(text);
    return commandLine;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

TEST(ReaderReport, EachStateSendsItsExactTextOnItsOwnConnection)
{
    IsolatedEnv env;
    FakeReader reader;
    ASSERT_TRUE(reader.isListening());
    QDir().mkpath(markerFolder(env));
    CSetup_CommandLine commandLine = parsed(QStringLiteral("-updater -type \"Update List\""));
    UpdaterApp app(&commandLine);

    const QStringList expected = {"errornetwork", "update finished", "close", "autoclose"};
    for (int state = 0; state <= 3; ++state)
        app.NotifyMainCallBack(static_cast<UPDATE_CHECK_STATE>(state));
    // A number outside the enumeration sends nothing.
    app.NotifyMainCallBack(static_cast<UPDATE_CHECK_STATE>(4));

    ASSERT_TRUE(reader.waitForMessages(4));
    EXPECT_EQ(reader.messages(), expected);
    // One socket object serves every report.
    EXPECT_EQ(app.findChildren<QLocalSocket*>().size(), 1);
    // Without an internal update address no marker is left.
    EXPECT_TRUE(QDir(markerFolder(env)).isEmpty());
}

TEST(ReaderReport, MarkerFileOnlyWithInternalUpdateAddress)
{
    struct Case {
        const char* commandText;
        bool marker;
    };
    const Case cases[] = {
        {"-updater -type \"Update List\" -InternalUpdateURL https://updates.example.test/x", true},
        {"-updater -type \"Update List\"", false},
        {"", false},
    };
    for (const Case& c : cases) {
        IsolatedEnv env;   // no reader listening: the report fails, the marker does not
        QDir().mkpath(markerFolder(env));
        const QString marker = markerFolder(env) + QStringLiteral("VeltoDataupdatefinished.txt");
        if (c.marker) {
            // A stale marker with content is truncated.
            QFile stale(marker);
            ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
            stale.write("old");
        }
        CSetup_CommandLine commandLine = parsed(QString::fromUtf8(c.commandText));
        UpdaterApp app(&commandLine);
        app.NotifyMainCallBack(UPDATE_CHECK_FINISHED);

        EXPECT_EQ(QFile::exists(marker), c.marker) << c.commandText;
        if (c.marker) {
            EXPECT_EQ(QFileInfo(marker).size(), 0) << c.commandText;
        }
        // Only the reported state's marker is touched.
        EXPECT_EQ(QDir(markerFolder(env)).entryList(QDir::Files).size(), c.marker ? 1 : 0);
    }
}

// The marker folder is shared: whatever another user plants at a marker's
// name, the marker is made anew and the file the name led to keeps its bytes.
TEST(ReaderReport, MarkerPathThatIsALinkIsNotWrittenThrough)
{
    struct Case {
        const char* name;
        int (*plant)(const char* victim, const char* marker);
    };
    const Case cases[] = {
        {"symbolic link", [](const char* victim, const char* marker) { return ::symlink(victim, marker); }},
        {"hard link", [](const char* victim, const char* marker) { return ::link(victim, marker); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IsolatedEnv env;
        QDir().mkpath(markerFolder(env));
        const QString victim = env.root() + QStringLiteral("/victim.txt");
        {
            QFile file(victim);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        const QString marker = markerFolder(env) + QStringLiteral("VeltoDataerrornetwork.txt");
        ASSERT_EQ(c.plant(QFile::encodeName(victim).constData(), QFile::encodeName(marker).constData()), 0);

        CSetup_CommandLine commandLine =
            parsed(QStringLiteral("-updater -type x -InternalUpdateURL https://updates.example.test/"));
        UpdaterApp app(&commandLine);
        app.NotifyMainCallBack(UPDATE_CHECK_ERRORNETWORK);

        EXPECT_EQ(readFile(victim), QByteArray("keep me"));
        struct stat st;
        ASSERT_EQ(::lstat(QFile::encodeName(marker).constData(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_nlink, 1u);
        EXPECT_EQ(st.st_size, 0);
    }
}

TEST(ReaderReport, ReaderThatNeverAnswersCostsOnlyTheBoundedWait)
{
    IsolatedEnv env;
    // 30 s waits become 30 ms: the report must be back long before the
    // unscaled wait could end.
    env.set("UPDATER_TIME_SCALE", "0.001");
    FakeReader reader(QStringLiteral("updater_check_state"), QByteArray{});
    ASSERT_TRUE(reader.isListening());

    QPointer<QLocalSocket> socket;
    QObject owner;
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(ReaderReport::sendText(socket, &owner, QStringLiteral("close")));
    EXPECT_LT(timer.elapsed(), 29000);
    ASSERT_TRUE(reader.waitForMessages(1));
    EXPECT_EQ(reader.messages().value(0), QStringLiteral("close"));

    // The reader answers: the same socket object goes again.
    QLocalSocket* first = socket.data();
    EXPECT_FALSE(ReaderReport::sendText(socket, &owner, QStringLiteral("errornetwork")));
    EXPECT_EQ(socket.data(), first);
}

TEST(ReaderReport, MissingReaderIsNoFailureOfTheRun)
{
    IsolatedEnv env;
    QPointer<QLocalSocket> socket;
    QObject owner;
    EXPECT_FALSE(ReaderReport::sendText(socket, &owner, QStringLiteral("close")));
    // A reader that starts later gets the next report.
    FakeReader reader;
    EXPECT_TRUE(ReaderReport::sendText(socket, &owner, QStringLiteral("update finished")));
    ASSERT_TRUE(reader.waitForMessages(1));
    EXPECT_EQ(reader.messages().value(0), QStringLiteral("update finished"));
}
