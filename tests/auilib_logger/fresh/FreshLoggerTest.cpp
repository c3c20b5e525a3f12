// The whole text of the log, from a process whose logger has never been
// used: nothing written before any entry, then only the last message per code.
#include "AUILibLogger.h"
#include "LoggerTestSupport.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sstream>

namespace {

// One test: the steps share the process-wide logger and must run in order.
TEST(FreshLogger, FromNoEntriesToTheLastMessagePerCode)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("auilib.log"));
    const std::string bytePath = QFile::encodeName(path).toStdString();
    {
        QFile stale(path);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("stale");
    }

    EXPECT_EQ(LogText(), L"");
    AUILib::WriteLogToFile(bytePath);   // still empties the file
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(ReadFile(path), QByteArray());

    AUILibLogger& logger = AUILibLogger::GetInstance();
    logger.LogWarning(L"one");
    logger.LogError(L"two");
    logger.LogWarning(L"three");
    EXPECT_EQ(LogText(), L"Warning: three\nError: two\n");

    logger.LogInfo(L"");
    logger.LogError(L"\u00E9chec");
    EXPECT_EQ(LogText(), L"Info: \nWarning: three\nError: \u00E9chec\n");
    AUILib::WriteLogToFile(bytePath);
    EXPECT_EQ(ReadFile(path), QByteArray("Info: \nWarning: three\nError: \xC3\xA9" "chec\n"));
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
