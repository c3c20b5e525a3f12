// One file stream (and one platform handle) shared by threads doing
// positioned reads and writes; each thread checks its reads against its own
// shadow copy of its part of the file. The suite name ends in "Threads" so
// the thread-sanitizer run can pick it out.
#include "CKW_CRTFileStream.h"
#include "CKW_ByteString.h"
#include "KW_FileAccess.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>
#include <vector>

TEST(FileStreamThreads, SharedStreamPositionedTransfers)
{
    const int kThreads = 4;
    const size_t kQuarter = 16384;
    TempFolder dir;
    std::string path = dir.Write("shared", std::string(kThreads * kQuarter, '\0'));
    IKW_FileStream* stream = KW_CreateFileStream(path.c_str(), KW_FILEMODE_ReadWrite, nullptr);
    ASSERT_NE(stream, nullptr);

    std::vector<std::string> shadows(kThreads, std::string(kQuarter, '\0'));
    std::atomic<int> mismatches{0};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            IKW_FileStream* mine = stream->Retain();
            std::mt19937 random(1234 + t);
            std::string& shadow = shadows[t];
            const int64_t base = static_cast<int64_t>(t * kQuarter);
            std::string buffer(512, '\0');
            for (int i = 0; i < 400; ++i) {
                size_t size = 1 + random() % 512;
                size_t at = random() % (kQuarter - size + 1);
                if (random() % 2) {
                    for (size_t k = 0; k < size; ++k)
                        buffer[k] = static_cast<char>(random());
                    if (!mine->WriteBlock(buffer.data(), base + static_cast<int64_t>(at), size))
                        ++failures;
                    shadow.replace(at, size, buffer.data(), size);
                } else {
                    if (!mine->ReadBlock(&buffer[0], base + static_cast<int64_t>(at), size))
                        ++failures;
                    else if (buffer.compare(0, size, shadow, at, size) != 0)
                        ++mismatches;
                }
                mine->GetSize();
                mine->GetPosition();
            }
            mine->Release();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    stream->Release();

    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(mismatches.load(), 0);
    std::string expected;
    for (const std::string& shadow : shadows)
        expected += shadow;
    EXPECT_EQ(TempFolder::Read(path), expected);
}

// Eight threads on one handle of the platform file, each reading and writing
// its own part at its own offsets: every transfer must move the bytes at the
// offset it names, whatever the others do to the handle's position.
TEST(FileStreamThreads, EightThreadsPositionedTransfersOnOneHandle)
{
    const int kThreads = 8;
    const size_t kPart = 8192;
    TempFolder dir;
    const std::string original = PatternBytes(kThreads * kPart, 7);
    std::string path = dir.Write("handle", original);
    _KW_HFILE file = KW_File_Open(CKW_ByteStringC(path.c_str()), KW_FILEMODE_ReadWrite, nullptr);
    ASSERT_NE(file, nullptr);

    std::vector<std::string> parts(kThreads);
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        parts[t] = original.substr(t * kPart, kPart);
        threads.emplace_back([&, t] {
            std::mt19937 random(99 + t);
            std::string& part = parts[t];
            const int64_t base = static_cast<int64_t>(t * kPart);
            std::string buffer(256, '\0');
            for (int i = 0; i < 2000; ++i) {
                const size_t size = 1 + random() % 256;
                const size_t at = random() % (kPart - size + 1);
                if (i % 4 == 0) {
                    for (size_t k = 0; k < size; ++k)
                        buffer[k] = static_cast<char>(random());
                    if (KW_File_WritePos(file, buffer.data(), size, base + static_cast<int64_t>(at))
                        != static_cast<int64_t>(size))
                        ++wrong;
                    part.replace(at, size, buffer.data(), size);
                } else if (KW_File_ReadPos(file, &buffer[0], size, base + static_cast<int64_t>(at))
                               != static_cast<int64_t>(size)
                           || buffer.compare(0, size, part, at, size) != 0) {
                    ++wrong;
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    KW_File_Close(file, nullptr);

    EXPECT_EQ(wrong.load(), 0);
    std::string expected;
    for (const std::string& part : parts)
        expected += part;
    EXPECT_TRUE(TempFolder::Read(path) == expected) << "the file holds every thread's last writes";
}
