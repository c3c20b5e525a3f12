// The window of recently seen bytes, against a model of the bytes it should
// keep.
#include "CKW_BytesCache.h"
#include "CountingFileRead.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The window as plain bytes: new bytes that touch it extend it, and it keeps
// the bytes nearest the new ones up to its capacity; other bytes replace it
// with (at most capacity of) their last bytes.
struct WindowModel {
    size_t capacity;
    int64_t start = 0;
    std::string bytes;

    void Put(const std::string& data, int64_t offset)
    {
        int64_t n = static_cast<int64_t>(data.size());
        int64_t end = start + static_cast<int64_t>(bytes.size());
        bool before = offset + n == start;
        bool after = end == offset;
        if ((before || after) && data.size() < capacity) {
            if (before && start > offset) {
                bytes = (data + bytes).substr(0, capacity);
                start = offset;
            } else {
                std::string joined = bytes + data;
                size_t dropped = joined.size() > capacity ? joined.size() - capacity : 0;
                bytes = joined.substr(dropped);
                start += static_cast<int64_t>(dropped);
            }
            return;
        }
        size_t keep = data.size() < capacity ? data.size() : capacity;
        bytes = data.substr(data.size() - keep);
        start = offset + n - static_cast<int64_t>(keep);
    }
};

std::string RandomBytes(std::mt19937& random, size_t n)
{
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>('a' + random() % 26);
    return s;
}

} // namespace

TEST(BytesCache, ExamplesOfTheWindow)
{
    CKW_ContinuousBytesCache* cache = KW_CreateContinuousBytesCache(16);
    ASSERT_NE(cache, nullptr);
    cache->PutBytes("ABCDEFGH", 100, 8);
    EXPECT_EQ(cache->GetStart(), 100);
    EXPECT_EQ(cache->GetLength(), 8u);
    cache->PutBytes("IJKLMNOPQR", 108, 10);
    EXPECT_EQ(cache->GetStart(), 102);
    EXPECT_EQ(cache->GetLength(), 16u);

    char out[32] = {};
    KW_BytesRange got = cache->ReadCached(out, {98, 8});
    EXPECT_EQ(got.offset, 102);
    EXPECT_EQ(got.size, 4);
    EXPECT_EQ(std::string(out + 4, 4), "CDEF");
    got = cache->ReadCached(out, {200, 8});
    EXPECT_EQ(got.offset, 200);
    EXPECT_EQ(got.size, 0);

    cache->ClearCache();
    EXPECT_EQ(cache->GetLength(), 0u);
    got = cache->ReadCached(out, {0, 8});
    EXPECT_EQ(got.size, 0);
    delete cache;
    EXPECT_EQ(KW_CreateContinuousBytesCache(0), nullptr);
}

TEST(BytesCache, PutSequencesMatchTheModel)
{
    for (size_t capacity : {1u, 5u, 16u, 64u}) {
        SCOPED_TRACE(capacity);
        CKW_ContinuousBytesCache* cache = KW_CreateContinuousBytesCache(capacity);
        ASSERT_NE(cache, nullptr);
        WindowModel model;
        model.capacity = capacity;
        std::mt19937 random(static_cast<unsigned>(capacity));
        for (int step = 0; step < 2000; ++step) {
            size_t n = random() % (capacity * 2 + 2);
            int64_t windowEnd = model.start + static_cast<int64_t>(model.bytes.size());
            int64_t offset;
            switch (random() % 4) {
            case 0: offset = windowEnd; break;                                       // after
            case 1: offset = model.start - static_cast<int64_t>(n); break;           // before
            case 2: offset = static_cast<int64_t>(random() % 500); break;            // elsewhere
            default: offset = windowEnd + static_cast<int64_t>(random() % 3); break; // near
            }
            if (offset < 0)
                offset = 0;
            std::string data = RandomBytes(random, n);
            cache->PutBytes(data.data(), offset, n);
            model.Put(data, offset);
            ASSERT_EQ(cache->GetStart(), model.start) << "step " << step;
            ASSERT_EQ(cache->GetLength(), model.bytes.size()) << "step " << step;
            std::string out(model.bytes.size() + 4, '\0');
            KW_BytesRange got = cache->ReadCached(&out[0], {model.start - 2, static_cast<int64_t>(out.size())});
            if (model.bytes.empty()) {
                ASSERT_EQ(got.size, 0);
                continue;
            }
            ASSERT_EQ(got.offset, model.start);
            ASSERT_EQ(got.size, static_cast<int64_t>(model.bytes.size()));
            ASSERT_EQ(out.substr(2, model.bytes.size()), model.bytes) << "step " << step;
        }
        delete cache;
    }
}

TEST(BytesCache, LoadFromFileReadsAtMostTheCapacityAtTheOffset)
{
    CountingFileRead file(PatternBytes(1000));
    CKW_ContinuousBytesCache* cache = KW_CreateContinuousBytesCache(64);
    cache->LoadFromFile(&file, 300, 500);
    EXPECT_EQ(cache->GetStart(), 300);
    EXPECT_EQ(cache->GetLength(), 64u);
    char out[64];
    KW_BytesRange got = cache->ReadCached(out, {300, 64});
    EXPECT_EQ(got.size, 64);
    EXPECT_EQ(std::string(out, 64), PatternBytes(1000).substr(300, 64));

    file.failAfter = 0;
    cache->LoadFromFile(&file, 0, 10);
    EXPECT_EQ(cache->GetLength(), 0u) << "a failed read caches nothing";
    cache->LoadFromFile(nullptr, 0, 10);
    delete cache;
}

// Offsets near the end of the stream offsets: an end that does not fit is a
// request that fails, never an overflow that wraps into the window.
TEST(BytesCache, RequestsThatRunPastTheLastOffsetFail)
{
    const int64_t top = INT64_MAX - 8;
    CKW_ContinuousBytesCache* cache = KW_CreateContinuousBytesCache(16);
    ASSERT_NE(cache, nullptr);
    cache->PutBytes("ABCDEFGH", top, 8); // ends exactly at the last offset
    ASSERT_EQ(cache->GetStart(), top);
    ASSERT_EQ(cache->GetLength(), 8u);

    struct Read {
        const char* what;
        KW_BytesRange request;
        int64_t expected;
    } reads[] = {
        {"fits to the last offset", {top, 8}, 8},
        {"runs past it", {top + 4, 16}, 0},
        {"size too large for any offset", {top, INT64_MAX}, 0},
        {"below the window", {INT64_MIN, 16}, 0},
    };
    char out[16];
    for (const Read& r : reads) {
        KW_BytesRange got = cache->ReadCached(out, r.request);
        EXPECT_EQ(got.size, r.expected) << r.what;
        EXPECT_EQ(got.offset, r.request.offset) << r.what;
    }

    struct Put {
        const char* what;
        int64_t offset;
        size_t size;
    } puts[] = {
        {"after the window, past the last offset", INT64_MAX, 4},
        {"elsewhere, past the last offset", INT64_MAX - 2, 4},
        {"a size no offset holds", 0, SIZE_MAX},
    };
    for (const Put& p : puts) {
        cache->PutBytes("wxyz", p.offset, p.size);
        EXPECT_EQ(cache->GetStart(), top) << p.what;
        EXPECT_EQ(cache->GetLength(), 8u) << p.what;
    }
    ASSERT_EQ(cache->ReadCached(out, {top, 8}).size, 8);
    EXPECT_EQ(std::string(out, 8), "ABCDEFGH");

    CountingFileRead file(PatternBytes(100));
    cache->LoadFromFile(&file, INT64_MAX - 2, 16);
    EXPECT_EQ(cache->GetLength(), 0u);
    EXPECT_EQ(file.reads, 0) << "nothing to read at such an offset";
    delete cache;
}
