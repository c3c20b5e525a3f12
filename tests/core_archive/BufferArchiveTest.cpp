// Buffer archives hand full buffers to their sink and keep the rest for
// Flush; the file variant's sink is a write stream.
#include "CKW_BufferArchive.h"
#include "CountingAllocator.h"
#include "IKW_Stream.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct RecordingArchive : IKW_BufferArchive {
    RecordingArchive(int size, _IKW_Allocator* allocator = nullptr) : IKW_BufferArchive(size, allocator) {}
    std::vector<std::string> blocks;
    bool fail = false;
    bool DoWork(const void* data, size_t size) override
    {
        if (fail)
            return false;
        blocks.emplace_back((const char*)data, size);
        return true;
    }
};

struct RecordingStream : IKW_StreamWrite {
    std::vector<std::string> blocks;
    int flushes = 0;
    int releases = 0;
    bool fail = false;
    void Release() override { releases++; }
    bool WriteBlock(const void* buffer, size_t size) override
    {
        if (fail)
            return false;
        blocks.emplace_back((const char*)buffer, size);
        return true;
    }
    bool Flush() override
    {
        flushes++;
        return !fail;
    }
};

TEST(BufferArchiveTest, FullBuffersGoToTheSink)
{
    RecordingArchive archive(4);
    EXPECT_EQ(10, archive.AppendBlock("0123456789", 10));
    EXPECT_EQ((std::vector<std::string>{"0123", "4567"}), archive.blocks);
    EXPECT_EQ(2, archive.GetLength());
    EXPECT_EQ(2, archive.AppendString("ab"));
    EXPECT_EQ(1, archive.AppendByte('!'));
    EXPECT_EQ(3u, archive.blocks.size());
    EXPECT_EQ("89ab", archive.blocks[2]);
    EXPECT_TRUE(archive.Flush());
    EXPECT_EQ("!", archive.blocks[3]);
    EXPECT_EQ(0, archive.GetLength());
    EXPECT_EQ(0, archive.AppendBlock(nullptr, 5));
    EXPECT_EQ(0, archive.AppendBlock("x", 0));
}

TEST(BufferArchiveTest, Numbers)
{
    RecordingArchive archive(64);
    EXPECT_EQ(10, archive.AppendDWord(4000000000u));
    EXPECT_EQ(1, archive.AppendDWord(0));
    EXPECT_EQ(20, archive.AppendInt64(INT64_MIN));
    archive.Flush();
    ASSERT_EQ(1u, archive.blocks.size());
    EXPECT_EQ("40000000000-9223372036854775808", archive.blocks[0]);
}

TEST(BufferArchiveTest, Failures)
{
    for (int size : {0, -4}) {
        RecordingArchive archive(size);
        EXPECT_EQ(-1, archive.AppendBlock("abc", 3));   // would never make progress
        EXPECT_TRUE(archive.blocks.empty());
    }

    RecordingArchive failing(4);
    failing.fail = true;
    EXPECT_EQ(3, failing.AppendBlock("abc", 3));
    EXPECT_EQ(-1, failing.AppendBlock("defg", 4));
    EXPECT_FALSE(failing.Flush());

    CountingAllocator alloc;
    alloc.failAfter = 0;
    RecordingArchive noMemory(4, &alloc);
    EXPECT_EQ(-1, noMemory.AppendByte(1));
}

TEST(BufferArchiveTest, ClearDropsPendingBytesAndTheBuffer)
{
    CountingAllocator alloc;
    RecordingArchive archive(8, &alloc);
    archive.AppendBlock("abc", 3);
    EXPECT_EQ(1u, alloc.live.size());
    archive.Clear();
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(0, archive.GetLength());
    archive.AppendBlock("de", 2);
    archive.Flush();
    EXPECT_EQ((std::vector<std::string>{"de"}), archive.blocks);
}

TEST(BufferArchiveTest, FileArchiveWritesThroughItsStream)
{
    RecordingStream stream;
    CKW_FileBufferArchive* archive = new CKW_FileBufferArchive(4, nullptr);
    EXPECT_EQ(-1, archive->AppendBlock("0123", 4));   // no stream yet
    EXPECT_FALSE(archive->AttachFile(nullptr, true));
    EXPECT_TRUE(archive->AttachFile(&stream, false));
    EXPECT_EQ(10, archive->AppendBlock("0123456789", 10));
    EXPECT_EQ((std::vector<std::string>{"0123", "4567"}), stream.blocks);
    EXPECT_TRUE(archive->Flush());
    EXPECT_EQ("89", stream.blocks[2]);
    EXPECT_EQ(1, stream.flushes);

    stream.fail = true;
    archive->AppendByte('x');
    EXPECT_FALSE(archive->Flush());
    EXPECT_EQ(0, archive->GetLength());
    EXPECT_EQ(1, stream.flushes);

    // Held without take over: never released by the archive.
    delete archive;
    EXPECT_EQ(0, stream.releases);
}

TEST(BufferArchiveTest, FileArchiveReleasesAStreamItTookOver)
{
    RecordingStream first, second;
    {
        CKW_FileBufferArchive archive(16, nullptr);
        EXPECT_TRUE(archive.AttachFile(&first, true));
        EXPECT_TRUE(archive.AttachFile(&first, true));   // the same one again
        EXPECT_EQ(0, first.releases);
        EXPECT_TRUE(archive.AttachFile(&second, true));
        EXPECT_EQ(1, first.releases);
        archive.AppendString("pending");
        archive.Clear();
        EXPECT_EQ(1, second.releases);
        EXPECT_TRUE(second.blocks.empty());   // pending bytes are not written
        EXPECT_FALSE(archive.Flush());
        EXPECT_TRUE(archive.AttachFile(&second, true));
    }
    EXPECT_EQ(2, second.releases);
}

TEST(BufferArchiveTest, FileArchiveWritesAFileByPath)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    const std::string path = folder.Path("archive.bin");
    {
        CKW_FileBufferArchive archive(4, nullptr);
        EXPECT_FALSE(archive.AttachFile(static_cast<const char*>(nullptr)));
        EXPECT_FALSE(archive.AttachFile(folder.Path("no-such-folder/archive.bin").c_str()));
        ASSERT_TRUE(archive.AttachFile(path.c_str()));
        archive.AppendString("0123456789");
        EXPECT_TRUE(archive.Flush());
        const std::wstring wide(path.begin(), path.end());
        ASSERT_TRUE(archive.AttachFile((wide + L".2").c_str()));   // the first file is let go
        archive.AppendString("wide");
        EXPECT_TRUE(archive.Flush());
    }
    EXPECT_EQ(TempFolder::Read(path), "0123456789");
    EXPECT_EQ(TempFolder::Read(path + ".2"), "wide");
}

} // namespace
