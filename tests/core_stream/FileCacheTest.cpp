// The chunk cache and the cached read stream, against direct reads of the
// same bytes.
#include "CKW_CRTFileStream.h"
#include "CKW_FileCache.h"
#include "CountingAllocator.h"
#include "CountingFileRead.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const int32_t kChunk = 4096;

} // namespace

TEST(FileCache, RandomReadsMatchTheFile)
{
    const std::string bytes = PatternBytes(1 << 20, 5);
    for (int32_t count : {1, 3, 8}) {
        SCOPED_TRACE(count);
        CountingFileRead file(bytes);
        std::vector<uint8_t> buffer(static_cast<size_t>(count) * kChunk);
        CKW_FileCache cache(nullptr);
        ASSERT_TRUE(cache.InitChunk(kChunk, count, buffer.data()));
        std::mt19937 random(static_cast<unsigned>(count));
        std::string out(3 * kChunk, '\0');
        for (int i = 0; i < 3000; ++i) {
            size_t size = 1 + random() % (i % 5 == 0 ? out.size() : 300);
            // Mostly near recent reads, so that chunks are found again.
            int64_t offset = i % 3 == 0 ? static_cast<int64_t>(random() % (bytes.size() - size + 1))
                                        : static_cast<int64_t>(random() % (6 * kChunk));
            ASSERT_TRUE(cache.ReadBlock(&file, &out[0], offset, size)) << offset << "+" << size;
            ASSERT_EQ(out.compare(0, size, bytes, static_cast<size_t>(offset), size), 0) << offset << "+" << size;
            ASSERT_LE(cache.GetChunksInUse(), count);
        }
        EXPECT_FALSE(cache.ReadBlock(&file, &out[0], static_cast<int64_t>(bytes.size()) - 2, 4)) << "past the end";
        EXPECT_FALSE(cache.ReadBlock(&file, &out[0], -1, 4));

        // Reads inside a cached chunk never reach the file.
        ASSERT_TRUE(cache.ReadBlock(&file, &out[0], 10 * kChunk + 1, 10));
        int reads = file.reads;
        for (int k = 0; k < 50; ++k)
            ASSERT_TRUE(cache.ReadBlock(&file, &out[0], 10 * kChunk + k, 100));
        EXPECT_EQ(file.reads, reads);
    }
}

TEST(FileCache, FailedFileReadLeavesNoStaleChunk)
{
    const std::string bytes = PatternBytes(64 * kChunk, 9);
    for (int32_t count : {1, 3}) {
        SCOPED_TRACE(count);
        CountingFileRead file(bytes);
        std::vector<uint8_t> buffer(static_cast<size_t>(count) * kChunk);
        CKW_FileCache cache(nullptr);
        ASSERT_TRUE(cache.InitChunk(kChunk, count, buffer.data()));
        char out[16];
        // Fill every slot, so that the failing load replaces a chunk.
        for (int32_t c = 0; c < count; ++c)
            ASSERT_TRUE(cache.ReadBlock(&file, out, c * kChunk, sizeof out));
        file.failAfter = 0;
        EXPECT_FALSE(cache.ReadBlock(&file, out, 40 * kChunk, sizeof out));
        EXPECT_EQ(cache.GetChunksInUse(), count - 1);
        file.failAfter = -1;
        ASSERT_TRUE(cache.ReadBlock(&file, out, 40 * kChunk, sizeof out));
        EXPECT_EQ(std::string(out, sizeof out), bytes.substr(40 * kChunk, sizeof out));
        for (int32_t c = 0; c < count; ++c) {
            ASSERT_TRUE(cache.ReadBlock(&file, out, c * kChunk, sizeof out));
            EXPECT_EQ(std::string(out, sizeof out), bytes.substr(static_cast<size_t>(c) * kChunk, sizeof out));
        }
    }
}

TEST(FileCache, SetUpAndPreCache)
{
    std::vector<uint8_t> buffer(4 * kChunk);
    CKW_FileCache cache(nullptr);
    EXPECT_FALSE(cache.InitChunk(0, 4, buffer.data()));
    EXPECT_FALSE(cache.InitChunk(kChunk, 0, buffer.data()));
    EXPECT_TRUE(cache.InitChunk(kChunk, 4, nullptr));
    EXPECT_FALSE(cache.HasTable());

    CountingFileRead file(PatternBytes(10 * kChunk + 100));
    char out[8];
    EXPECT_TRUE(cache.ReadBlock(&file, out, 5, sizeof out)) << "no table: straight to the file";
    EXPECT_EQ(file.reads, 1);
    EXPECT_FALSE(cache.PreCache(&file, 0, 2)) << "nothing to cache into";

    ASSERT_TRUE(cache.InitChunk(kChunk, 4, buffer.data()));
    EXPECT_FALSE(cache.PreCache(&file, -1, 2));
    EXPECT_FALSE(cache.PreCache(&file, 0, 0));
    EXPECT_FALSE(cache.PreCache(&file, 10 * kChunk + 100, 1));
    file.reads = 0;
    ASSERT_TRUE(cache.PreCache(&file, 9 * kChunk + 7, 4)); // stops at the file's end
    EXPECT_EQ(file.reads, 2);
    EXPECT_EQ(cache.GetChunksInUse(), 2);
    ASSERT_TRUE(cache.ReadBlock(&file, out, 10 * kChunk + 92, sizeof out));
    EXPECT_EQ(file.reads, 2);
    cache.Clear();
    EXPECT_EQ(cache.GetChunksInUse(), 0);

    // Least recently used goes first.
    ASSERT_TRUE(cache.PreCache(&file, 0, 4));
    ASSERT_TRUE(cache.ReadBlock(&file, out, 0, 1)); // chunk 0 is fresh again
    ASSERT_TRUE(cache.ReadBlock(&file, out, 5 * kChunk, 1)); // replaces chunk 1
    file.reads = 0;
    ASSERT_TRUE(cache.ReadBlock(&file, out, 0, 1));
    EXPECT_EQ(file.reads, 0);
    ASSERT_TRUE(cache.ReadBlock(&file, out, 1 * kChunk, 1));
    EXPECT_EQ(file.reads, 1);
}

TEST(FileCache, CachedFileReadOverARealFile)
{
    TempFolder dir;
    const std::string bytes = PatternBytes((1 << 20) + 123, 2);
    std::string path = dir.Write("big", bytes);
    CountingAllocator counting;
    std::vector<uint8_t> buffer(3 * kChunk);

    CKW_CachedFileRead* stream = new CKW_CachedFileRead;
    EXPECT_FALSE(stream->AttachFile(nullptr, false)) << "not initialised";
    EXPECT_FALSE(stream->Init(1024, 3, buffer.data(), counting.get())) << "chunks below 4096 bytes";
    EXPECT_TRUE(counting.live.empty());
    ASSERT_TRUE(stream->Init(kChunk, 3, buffer.data(), counting.get())) << "a failed Init leaves room for another";
    EXPECT_FALSE(stream->Init(kChunk, 3, buffer.data(), counting.get()));
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_EQ(stream->GetSize(), 0);

    IKW_FileRead* file = KW_CreateFileRead(path.c_str(), nullptr);
    ASSERT_NE(file, nullptr);
    ASSERT_TRUE(stream->AttachFile(file, true));
    EXPECT_EQ(stream->GetSize(), static_cast<int64_t>(bytes.size()));
    std::mt19937 random(77);
    std::string out(20000, '\0');
    for (int i = 0; i < 500; ++i) {
        size_t size = 1 + random() % out.size();
        int64_t offset = static_cast<int64_t>(random() % (bytes.size() - size + 1));
        ASSERT_TRUE(stream->ReadBlock(&out[0], offset, size));
        ASSERT_EQ(out.compare(0, size, bytes, static_cast<size_t>(offset), size), 0);
        ASSERT_EQ(stream->GetPosition(), offset + static_cast<int64_t>(size));
    }
    EXPECT_FALSE(stream->ReadBlock(&out[0], static_cast<int64_t>(bytes.size()) - 1, 2));
    EXPECT_FALSE(stream->ReadBlock(&out[0], int64_t(0), 0));
    EXPECT_FALSE(stream->ReadBlock(&out[0], int64_t(-1), 1));

    // Sequential reads run to the end of the file.
    ASSERT_TRUE(stream->ReadBlock(&out[0], static_cast<int64_t>(bytes.size()) - 150, 50));
    EXPECT_EQ(stream->ReadBlock(&out[0], 1000), 100u);
    EXPECT_EQ(out.substr(0, 100), bytes.substr(bytes.size() - 100));
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_EQ(stream->ReadBlock(&out[0], 1000), 0u);

    EXPECT_FALSE(stream->WriteBlock("x", int64_t(0), 1));
    EXPECT_FALSE(stream->WriteBlock("x", 1));
    EXPECT_FALSE(stream->Flush());
    EXPECT_FALSE(stream->SetRange(0, 1));
    EXPECT_EQ(stream->SetPosition(0), -1);
    EXPECT_TRUE(stream->PreCache(0, 2));

    // A replaced file that the stream owned is released; one it does not own
    // is left alone.
    CountingFileRead other(bytes.substr(0, 9000));
    ASSERT_TRUE(stream->AttachFile(&other, false));
    EXPECT_EQ(stream->GetSize(), 9000);
    ASSERT_TRUE(stream->ReadBlock(&out[0], int64_t(8000), 1000));
    EXPECT_EQ(out.substr(0, 1000), bytes.substr(8000, 1000));
    EXPECT_EQ(stream->Retain(), stream);
    stream->Release();
    stream->Release();
    EXPECT_EQ(other.released, 0);
    EXPECT_TRUE(counting.live.empty()) << "record and chunk table go back to their allocator";
    EXPECT_EQ(counting.foreignFrees, 0);

    // Without a buffer every read goes to the file.
    CountingFileRead direct(bytes.substr(0, 100));
    CKW_CachedFileRead plain;
    ASSERT_TRUE(plain.Init(kChunk, 3, nullptr, nullptr));
    ASSERT_TRUE(plain.AttachFile(&direct, false));
    ASSERT_TRUE(plain.ReadBlock(&out[0], int64_t(10), 5));
    ASSERT_TRUE(plain.ReadBlock(&out[0], int64_t(10), 5));
    EXPECT_EQ(direct.reads, 2);
}
