#include "CUP_Log.h"
#include "IsolatedEnv.h"
#include "UpdaterApp.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString logPath()
{
    return UpdaterApp::GetAppDatePath() + QStringLiteral("Log/UpdaterApp/Update.log");
}

void setDebugMode(const QVariant& value)
{
    QSettings settings(QStringLiteral("Velto Software"), QStringLiteral("Velto.PDF.Reader"));
    if (value.isValid())
        settings.setValue(QStringLiteral("Preferences/General/bDebugMode"), value);
    else
        settings.remove(QStringLiteral("Preferences/General/bDebugMode"));
}

QByteArray readLog()
{
    QFile file(logPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(Log, WritesOnlyWhileDebugModeIsOne)
{
    IsolatedEnv env;
    CUP_Log::CreateLog();
    for (const QVariant& off : {QVariant(), QVariant(0), QVariant(2)}) {
        setDebugMode(off);
        CUP_Log::PrintLog(QStringLiteral("hidden"));
        EXPECT_FALSE(QFile::exists(logPath())) << off.toString().toStdString();
    }
    // Switching on while running takes effect with the next line.
    setDebugMode(1);
    CUP_Log::PrintLog(QStringLiteral("first\nsecond"));
    CUP_Log::PrintLog(QStringLiteral("third"));
    const QByteArray log = readLog();
    const QRegularExpression line(QStringLiteral(
        "^\\[CUP_Log\\]\\[[^\\]]+\\]first\nsecond\n\\[CUP_Log\\]\\[[^\\]]+\\]third\n$"));
    EXPECT_TRUE(line.match(QString::fromUtf8(log)).hasMatch()) << log.toStdString();
}

TEST(Log, AppendsAndNeverTruncates)
{
    IsolatedEnv env;
    setDebugMode(1);
    CUP_Log::CreateLog();
    CUP_Log::PrintLog(QStringLiteral("one"));
    CUP_Log::CreateLog();   // a later run prepares the same file again
    CUP_Log::PrintLog(QStringLiteral("zwei \u00e4"));
    const QString log = QString::fromUtf8(readLog());
    EXPECT_EQ(log.count(QStringLiteral("[CUP_Log]")), 2);
    EXPECT_TRUE(log.endsWith(QStringLiteral("]zwei \u00e4\n")));
}

// A log that also has another name is someone else's file as well: the line
// is dropped rather than appended to it.
TEST(Log, NeverAppendsToAFileWithAnotherName)
{
    IsolatedEnv env;
    setDebugMode(1);
    CUP_Log::CreateLog();
    const QString victim = env.root() + QStringLiteral("/victim");
    {
        QFile target(victim);
        ASSERT_TRUE(target.open(QIODevice::WriteOnly));
        target.write("not the log\n");
    }
    ASSERT_EQ(::link(QFile::encodeName(victim).constData(), QFile::encodeName(logPath()).constData()), 0);
    CUP_Log::PrintLog(QStringLiteral("line"));
    CUP_Log::PrintLog(QStringLiteral("another"));
    QFile other(victim);
    ASSERT_TRUE(other.open(QIODevice::ReadOnly));
    EXPECT_EQ(other.readAll(), QByteArray("not the log\n"));
    // Once the other name is gone the log is written again.
    ASSERT_TRUE(QFile::remove(victim));
    CUP_Log::PrintLog(QStringLiteral("third"));
    const QByteArray log = readLog();
    EXPECT_TRUE(log.startsWith("not the log\n[CUP_Log][") && log.endsWith("]third\n")) << log.toStdString();
}

TEST(Log, NeverWritesThroughALinkAtItsName)
{
    for (const bool dangling : {true, false}) {
        SCOPED_TRACE(dangling ? "dangling link" : "link to a file");
        IsolatedEnv env;
        setDebugMode(1);
        CUP_Log::CreateLog();
        const QString elsewhere = env.root() + QStringLiteral("/elsewhere");
        if (!dangling) {
            QFile target(elsewhere);
            ASSERT_TRUE(target.open(QIODevice::WriteOnly));
            target.write("not the log\n");
        }
        ASSERT_TRUE(QFile::link(elsewhere, logPath()));
        CUP_Log::PrintLog(QStringLiteral("line"));
        EXPECT_FALSE(QFileInfo(logPath()).isSymLink());
        EXPECT_TRUE(readLog().endsWith("]line\n")) << readLog().toStdString();
        QFile other(elsewhere);
        EXPECT_EQ(other.open(QIODevice::ReadOnly) ? other.readAll() : QByteArray("<missing>"),
                  dangling ? QByteArray("<missing>") : QByteArray("not the log\n"));
    }
}
