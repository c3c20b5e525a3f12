// The library logger. Its entries live for the whole process, so every test
// here logs what it checks and looks only at its own entries; the exact
// text of a whole log is checked in the fresh-process test.
#include "AUILibLogger.h"
#include "LoggerTestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <clocale>
#include <locale>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace {

TEST(Logger, KeepsTheLastMessagePerCodeAndWritesInCodeOrder)
{
    AUILibLogger& logger = AUILibLogger::GetInstance();
    logger.LogException(L"order-e");
    logger.LogWarning(L"order-one");
    logger.LogFatalError(L"order-f");
    logger.LogError(L"order-two");
    logger.LogInfo(L"order-i");
    logger.LogWarning(L"order-three");
    logger.Log(static_cast<AUILibLogger::ErrorCode>(-1), L"order-below");   // codes outside 0..4: no prefix
    logger.Log(static_cast<AUILibLogger::ErrorCode>(9), L"order-beyond");

    const std::wstring text = LogText();
    EXPECT_EQ(text, L"order-below\n"
                    L"Info: order-i\n"
                    L"Warning: order-three\n"
                    L"Error: order-two\n"
                    L"Fatal Error: order-f\n"
                    L"Exception: order-e\n"
                    L"order-beyond\n");
    EXPECT_EQ(LogText(), text);   // writing keeps the entries
}

TEST(Logger, ExceptionTextIsWidenedBytewise)
{
    AUILibLogger& logger = AUILibLogger::GetInstance();
    logger.LogException(std::runtime_error("disk"));
    EXPECT_NE(LogText().find(L"Exception: disk\n"), std::wstring::npos);
    // Bytes above 0x7F keep their value instead of turning negative.
    logger.LogException(std::runtime_error("caf\xC3\xA9"));
    EXPECT_NE(LogText().find(L"Exception: caf\u00C3\u00A9\n"), std::wstring::npos);
    logger.LogException(L"");
    EXPECT_NE(LogText().find(L"Exception: \n"), std::wstring::npos);
}

TEST(Logger, FileHoldsUtf8WhateverTheLocale)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("auilib.log"));
    {
        QFile stale(path);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("stale content that must go\n");
    }
    AUILibLogger& logger = AUILibLogger::GetInstance();
    logger.LogInfo(L"Gr\u00FC\u00DFe \U0001F600");
    logger.LogWarning(std::wstring(L"half ") + static_cast<wchar_t>(0xD800) + L" pair");
    logger.LogError(L"after the bad character");

    // Under the "C" locale a wide file stream stops at the first non-ASCII
    // character; the file must not depend on it.
    const std::string savedCType = std::setlocale(LC_ALL, nullptr);
    const std::locale savedLocale = std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    AUILib::WriteLogToFile(QFile::encodeName(path).toStdString());
    std::setlocale(LC_ALL, savedCType.c_str());
    std::locale::global(savedLocale);

    const QByteArray bytes = ReadFile(path);
    EXPECT_FALSE(bytes.contains("stale"));
    EXPECT_TRUE(bytes.contains("Info: Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("Warning: half \xEF\xBF\xBD pair\n")) << bytes.constData();
    EXPECT_TRUE(bytes.contains("Error: after the bad character\n")) << bytes.constData();
}

TEST(Logger, FileInAMissingFolderIsSkippedQuietly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/auilib.log"));
    AUILibLogger::GetInstance().LogInfo(L"nowhere");
    AUILib::WriteLogToFile(QFile::encodeName(path).toStdString());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QDir(dir.filePath(QStringLiteral("missing"))).exists());
}

TEST(Logger, ThreadsLogWhileTheLogIsWritten)
{
    constexpr int kMessages = 2000;
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int code = 0; code < 4; ++code) {
        threads.emplace_back([code, &go] {
            while (!go.load())
                std::this_thread::yield();
            for (int n = 0; n < kMessages; ++n)
                AUILibLogger::GetInstance().Log(static_cast<AUILibLogger::ErrorCode>(code),
                                                L"thread " + std::to_wstring(code) + L" message " + std::to_wstring(n));
        });
    }
    // Every write sees whole entries: each line of the four codes is one
    // message, never a torn or mixed one.
    const std::wregex line(L"(Info|Warning|Error|Fatal Error): thread ([0-3]) message ([0-9]+)");
    go = true;
    for (int round = 0; round < 200; ++round) {
        std::wistringstream text(LogText());
        std::wstring entry;
        while (std::getline(text, entry)) {
            if (entry.find(L"thread ") == std::wstring::npos)
                continue;   // entries of other tests
            EXPECT_TRUE(std::regex_match(entry, line)) << std::string(entry.begin(), entry.end());
        }
    }
    for (std::thread& thread : threads)
        thread.join();
    const std::wstring text = LogText();
    for (int code = 0; code < 4; ++code) {
        const std::wstring last = L"thread " + std::to_wstring(code) + L" message " + std::to_wstring(kMessages - 1) + L"\n";
        EXPECT_NE(text.find(last), std::wstring::npos) << code;
    }
}

} // namespace
