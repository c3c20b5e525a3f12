// Memory streams in both modes: a property test against a plain vector, the
// growth rules, caller buffers and failing allocators.
#include "CKW_MemoryStream.h"
#include "CountingAllocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

// What a memory stream should hold and report, kept the plain way.
struct Model {
    std::vector<uint8_t> data;
    uint64_t position = 0; // absolute
    bool range = false;
    uint64_t rangeOffset = 0;
    uint64_t rangeSize = 0;

    uint64_t Base() const { return range ? rangeOffset : 0; }
    int64_t Size() const { return static_cast<int64_t>(range ? rangeSize : data.size()); }

    void Write(int64_t offset, const uint8_t* bytes, size_t n)
    {
        uint64_t at = static_cast<uint64_t>(offset) + Base();
        if (data.size() < at + n)
            data.resize(at + n, 0);
        std::memcpy(data.data() + at, bytes, n);
        position = at + n;
    }
    bool Read(int64_t offset, uint8_t* out, size_t n)
    {
        uint64_t at = static_cast<uint64_t>(offset) + Base();
        if (at + n > data.size())
            return false;
        std::memcpy(out, data.data() + at, n);
        position = at + n;
        return true;
    }
    size_t ReadOn(uint8_t* out, size_t n)
    {
        uint64_t end = data.size();
        if (range)
            end = std::min<uint64_t>(end, rangeOffset + rangeSize);
        if (position >= end)
            return 0;
        n = static_cast<size_t>(std::min<uint64_t>(n, end - position));
        std::memcpy(out, data.data() + position, n);
        position += n;
        return n;
    }
    bool SetRange(int64_t offset, int64_t size)
    {
        if (offset < 0 || size < 0 || static_cast<uint64_t>(offset + size) > data.size())
            return false;
        range = true;
        rangeOffset = static_cast<uint64_t>(offset);
        rangeSize = static_cast<uint64_t>(size);
        position = rangeOffset;
        return true;
    }
    int64_t SetPosition(int64_t p)
    {
        if (p < 0 || p > Size())
            return -1;
        position = static_cast<uint64_t>(p) + Base();
        return p;
    }
};

void RunAgainstModel(bool contiguous, unsigned seed)
{
    IKW_MemoryStream* stream = KW_CreateMemoryStream(contiguous, nullptr);
    ASSERT_NE(stream, nullptr);
    stream->SetSizeHints(0, 1); // the smallest growth step: many blocks or reallocations
    Model model;
    std::mt19937 random(seed);
    std::vector<uint8_t> in(9000);
    std::vector<uint8_t> out(9000);
    std::vector<uint8_t> expected(9000);
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(step);
        size_t n = 1 + random() % (step % 17 == 0 ? 9000 : 300);
        int64_t limit = std::max<int64_t>(model.Size(), 1) + 2000;
        int64_t offset = static_cast<int64_t>(random() % static_cast<uint64_t>(limit));
        switch (random() % 8) {
        case 0:
        case 1:
            for (size_t k = 0; k < n; ++k)
                in[k] = static_cast<uint8_t>(random());
            ASSERT_TRUE(stream->WriteBlock(in.data(), offset, n));
            model.Write(offset, in.data(), n);
            break;
        case 2:
            for (size_t k = 0; k < n; ++k)
                in[k] = static_cast<uint8_t>(random());
            ASSERT_TRUE(stream->WriteBlock(in.data(), n)); // an append
            model.Write(model.Size(), in.data(), n);
            break;
        case 3: {
            bool ok = model.Read(offset, expected.data(), n);
            ASSERT_EQ(stream->ReadBlock(out.data(), offset, n), ok);
            if (ok) {
                ASSERT_EQ(std::memcmp(out.data(), expected.data(), n), 0);
            }
            break;
        }
        case 4: {
            size_t got = model.ReadOn(expected.data(), n);
            ASSERT_EQ(stream->ReadBlock(out.data(), n), got);
            ASSERT_EQ(std::memcmp(out.data(), expected.data(), got), 0);
            break;
        }
        case 5: {
            int64_t size = static_cast<int64_t>(random() % 3000) - 10;
            ASSERT_EQ(stream->SetRange(offset, size), model.SetRange(offset, size));
            break;
        }
        case 6:
            stream->ClearRange();
            model.range = false;
            break;
        case 7:
            ASSERT_EQ(stream->SetPosition(offset - 5), model.SetPosition(offset - 5));
            break;
        }
        ASSERT_EQ(stream->GetSize(), model.Size());
        ASSERT_EQ(stream->GetPosition(), static_cast<int64_t>(model.position - model.Base()));
    }
    stream->ClearRange();
    std::vector<uint8_t> all(model.data.size());
    ASSERT_TRUE(stream->ReadBlock(all.data(), int64_t(0), all.size()));
    EXPECT_EQ(all, model.data);
    stream->Release();
}

// Blocks asked of a counting allocator, by size.
size_t RequestsOf(const CountingAllocator& counting)
{
    return static_cast<size_t>(counting.requests);
}

} // namespace

TEST(MemoryStream, ContiguousMatchesAVector)
{
    for (unsigned seed : {1u, 2u, 3u})
        RunAgainstModel(true, seed);
}

TEST(MemoryStream, SegmentedMatchesAVector)
{
    for (unsigned seed : {4u, 5u, 6u})
        RunAgainstModel(false, seed);
}

TEST(MemoryStream, GrowthSteps)
{
    CountingAllocator counting;
    IKW_MemoryStream* contiguous = KW_CreateMemoryStream(true, counting.get());
    ASSERT_NE(contiguous, nullptr);
    EXPECT_TRUE(contiguous->IsContiguous());
    uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(contiguous->WriteBlock(bytes, int64_t(0), 10));
    EXPECT_EQ(counting.largestRequest, 65536u);
    size_t before = RequestsOf(counting);
    ASSERT_TRUE(contiguous->WriteBlock(bytes, int64_t(100), 10));
    EXPECT_EQ(RequestsOf(counting), before) << "within the capacity: no new block";
    ASSERT_TRUE(contiguous->WriteBlock(bytes, int64_t(65536), 1));
    EXPECT_EQ(counting.largestRequest, 131072u);
    uint8_t gap[90];
    ASSERT_TRUE(contiguous->ReadBlock(gap, int64_t(10), sizeof gap));
    EXPECT_EQ(std::count(gap, gap + sizeof gap, 0), 90) << "bytes never written read as zero";
    contiguous->Release();
    EXPECT_TRUE(counting.live.empty());

    IKW_MemoryStream* segmented = KW_CreateMemoryStream(false, counting.get());
    ASSERT_NE(segmented, nullptr);
    EXPECT_FALSE(segmented->IsContiguous());
    std::string data(70000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i % 253);
    long allocsBefore = counting.allocs;
    ASSERT_TRUE(segmented->WriteBlock(data.data(), int64_t(0), data.size()));
    EXPECT_GE(counting.allocs - allocsBefore, 2); // two blocks (and the block list)
    EXPECT_EQ(counting.largestRequest, 131072u) << "no block larger than the step";
    char span[10];
    ASSERT_TRUE(segmented->ReadBlock(span, int64_t(65530), sizeof span));
    EXPECT_EQ(std::string(span, 10), data.substr(65530, 10));
    segmented->Release();
    EXPECT_TRUE(counting.live.empty());
    EXPECT_EQ(counting.foreignFrees, 0);
}

TEST(MemoryStream, WindowAndRefusedRequests)
{
    IKW_MemoryStream* stream = KW_CreateMemoryStream(true, nullptr);
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i % 251);
    ASSERT_TRUE(stream->WriteBlock(data.data(), int64_t(0), data.size()));
    ASSERT_TRUE(stream->SetRange(100, 50));
    EXPECT_EQ(stream->GetSize(), 50);
    EXPECT_EQ(stream->GetPosition(), 0);
    EXPECT_FALSE(stream->IsEOF());
    char buffer[64];
    EXPECT_EQ(stream->ReadBlock(buffer, 10), 10u);
    EXPECT_EQ(std::string(buffer, 10), data.substr(100, 10));
    EXPECT_EQ(stream->GetPosition(), 10);
    EXPECT_EQ(stream->SetPosition(45), 45);
    EXPECT_EQ(stream->ReadBlock(buffer, 10), 5u) << "sequential reads stop at the window's end";
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_EQ(stream->SetPosition(51), -1);
    EXPECT_FALSE(stream->SetRange(990, 20));

    struct Case {
        const char* what;
        int64_t offset;
        size_t size;
        bool withBuffer;
    } refused[] = {
        {"nothing to write", 0, 0, true},
        {"no buffer", 0, 4, false},
        {"negative offset", -1, 4, true},
        {"end overflows", INT64_MAX, 4, true},
        {"end overflows by the size", 4, SIZE_MAX - 2, true},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(stream->WriteBlock(c.withBuffer ? "abcd" : nullptr, c.offset, c.size)) << c.what;
        EXPECT_FALSE(stream->ReadBlock(c.withBuffer ? buffer : nullptr, c.offset, c.size)) << c.what;
    }
    stream->ClearRange();
    EXPECT_EQ(stream->GetSize(), 1000);
    EXPECT_TRUE(stream->Flush());
    EXPECT_EQ(stream->Retain(), stream);
    stream->Release();
    stream->Release();
}

TEST(MemoryStream, CallerBufferIsNeverMovedOrFreed)
{
    CountingAllocator counting;
    std::vector<uint8_t> callers(100, 7);
    IKW_MemoryStream* stream = KW_CreateMemoryStream(callers.data(), callers.size(), false, counting.get());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 100);
    EXPECT_EQ(stream->GetBuffer(), callers.data());
    ASSERT_TRUE(stream->WriteBlock("xy", int64_t(10), 2));
    EXPECT_EQ(stream->GetBuffer(), callers.data()) << "room enough: written in place";
    EXPECT_EQ(callers[10], 'x');

    ASSERT_TRUE(stream->WriteBlock("tail", int64_t(200), 4));
    EXPECT_NE(stream->GetBuffer(), callers.data());
    EXPECT_EQ(counting.foreignFrees, 0) << "the caller's buffer went to the allocator";
    std::vector<uint8_t> all(204);
    ASSERT_TRUE(stream->ReadBlock(all.data(), int64_t(0), all.size()));
    EXPECT_EQ(all[0], 7);
    EXPECT_EQ(all[10], 'x');
    EXPECT_EQ(all[99], 7);
    EXPECT_EQ(all[150], 0);
    EXPECT_EQ(std::string(all.begin() + 200, all.end()), "tail");
    stream->Release();
    EXPECT_TRUE(counting.live.empty()) << "the stream frees the block it made, and only that";
    EXPECT_EQ(counting.foreignFrees, 0);
    EXPECT_EQ(callers[0], 7);

    // A buffer handed over is the stream's to grow and free.
    void* given = counting.Alloc(counting.get(), 16);
    std::memset(given, 'g', 16);
    stream = KW_CreateMemoryStream(static_cast<uint8_t*>(given), 16, true, counting.get());
    ASSERT_TRUE(stream->WriteBlock("more", int64_t(16), 4));
    char head[20];
    ASSERT_TRUE(stream->ReadBlock(head, int64_t(0), sizeof head));
    EXPECT_EQ(std::string(head, 20), std::string(16, 'g') + "more");
    stream->Release();
    EXPECT_TRUE(counting.live.empty());
    EXPECT_EQ(counting.foreignFrees, 0);
}

TEST(MemoryStream, FailedGrowthKeepsTheData)
{
    for (bool contiguous : {true, false}) {
        for (long failAfter = 0; failAfter < 6; ++failAfter) {
            SCOPED_TRACE(testing::Message() << (contiguous ? "contiguous" : "segmented") << " fail after "
                                            << failAfter);
            CountingAllocator counting;
            IKW_MemoryStream* stream = KW_CreateMemoryStream(contiguous, counting.get());
            ASSERT_NE(stream, nullptr);
            std::string first(1000, 'a');
            ASSERT_TRUE(stream->WriteBlock(first.data(), int64_t(0), first.size()));
            counting.failAfter = failAfter;
            const size_t liveBefore = counting.live.size();
            std::string big(200000, 'b');
            bool grown = stream->WriteBlock(big.data(), int64_t(500), big.size());
            counting.failAfter = -1;
            std::string expected = first;
            if (grown)
                expected = first.substr(0, 500) + big;
            else
                EXPECT_LE(counting.live.size(), liveBefore) << "a failed write keeps no block it made";
            ASSERT_EQ(stream->GetSize(), static_cast<int64_t>(expected.size()));
            std::string got(expected.size(), '\0');
            ASSERT_TRUE(stream->ReadBlock(&got[0], int64_t(0), got.size()));
            EXPECT_EQ(got, expected);
            // The stream still works once memory is back.
            EXPECT_TRUE(stream->WriteBlock(big.data(), int64_t(500), big.size()));
            stream->Release();
            EXPECT_TRUE(counting.live.empty());
            EXPECT_EQ(counting.foreignFrees, 0);
        }
    }
}

TEST(MemoryStream, SizeHintsAttachAndDetach)
{
    CountingAllocator counting;
    IKW_MemoryStream* stream = KW_CreateMemoryStream(true, counting.get());
    stream->SetSizeHints(100, 10);
    EXPECT_EQ(counting.largestRequest, 4096u) << "at least 4096 bytes";
    ASSERT_NE(stream->GetBuffer(), nullptr);
    EXPECT_EQ(stream->GetSize(), 0);
    ASSERT_TRUE(stream->WriteBlock("abc", int64_t(4095), 3));
    EXPECT_EQ(counting.largestRequest, 8192u) << "grown by 4096-byte steps";

    uint8_t* taken = stream->GetBuffer();
    stream->DetachBuffer();
    EXPECT_EQ(stream->GetBuffer(), nullptr);
    EXPECT_EQ(stream->GetSize(), 0);
    EXPECT_FALSE(stream->IsContiguous()) << "a detached stream continues segmented";
    EXPECT_EQ(taken[4095], 'a');
    counting.Free(counting.get(), taken);

    std::vector<uint8_t> mine(8, 'm');
    IKW_MemoryStream* other = KW_CreateMemoryStream(true, counting.get());
    other->AttachBuffer(mine.data(), mine.size(), false);
    EXPECT_EQ(other->GetSize(), 8);
    char buffer[8];
    EXPECT_EQ(other->ReadBlock(buffer, 8), 8u);
    EXPECT_EQ(std::string(buffer, 8), "mmmmmmmm");
    other->Release();
    stream->Release();
    EXPECT_TRUE(counting.live.empty());
    EXPECT_EQ(counting.foreignFrees, 0);
}

namespace {

// A write far beyond the data must not reserve memory for the gap when it
// cannot be kept; past the stated bound it asks for no memory at all.
TEST(MemoryStream, WritesBeyondTheBoundAreRefusedWithoutMemory)
{
    const uint64_t bound = CKW_MemoryStream::kMaxSize;
    struct Case {
        const char* what;
        uint64_t offset;
        size_t size;
    } cases[] = {
        {"one byte at 16 GiB", uint64_t(16) << 30, 1},
        {"one byte at the bound", bound, 1},
        {"ends one byte past the bound", bound - 4, 5},
    };
    for (bool contiguous : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (contiguous ? "contiguous " : "segmented ") << c.what);
            CountingAllocator counting;
            IKW_MemoryStream* stream = KW_CreateMemoryStream(contiguous, counting.get());
            ASSERT_TRUE(stream->WriteBlock("head", int64_t(0), 4));
            const long requests = counting.requests;
            const std::string bytes(c.size, 'x');
            EXPECT_FALSE(stream->WriteBlock(bytes.data(), static_cast<int64_t>(c.offset), c.size));
            EXPECT_EQ(counting.requests, requests);
            EXPECT_EQ(stream->GetSize(), 4);
            char head[4];
            ASSERT_TRUE(stream->ReadBlock(head, int64_t(0), 4));
            EXPECT_EQ(std::string(head, 4), "head");
            stream->Release();
            EXPECT_TRUE(counting.live.empty());
        }
    }
}

TEST(MemoryStream, AttachFreesTheBlocksTheStreamOwned)
{
    CountingAllocator counting;
    IKW_MemoryStream* stream = KW_CreateMemoryStream(true, counting.get());
    ASSERT_TRUE(stream->WriteBlock("owned", int64_t(0), 5));
    uint8_t* owned = stream->GetBuffer();
    ASSERT_EQ(counting.live.count(owned), 1u);
    std::vector<uint8_t> mine(8, 'm');
    stream->AttachBuffer(mine.data(), mine.size(), false);
    EXPECT_EQ(counting.live.count(owned), 0u) << "the owned block went back to the allocator";
    EXPECT_EQ(stream->GetBuffer(), mine.data());

    // Its own block attached again (taken over) stays: it is the new data.
    ASSERT_TRUE(stream->WriteBlock("grown", int64_t(100), 5));
    uint8_t* block = stream->GetBuffer();
    ASSERT_NE(block, mine.data());
    stream->AttachBuffer(block, 105, true);
    EXPECT_EQ(counting.live.count(block), 1u);
    char tail[5];
    ASSERT_TRUE(stream->ReadBlock(tail, int64_t(100), 5));
    EXPECT_EQ(std::string(tail, 5), "grown");
    stream->Release();
    EXPECT_TRUE(counting.live.empty());
    EXPECT_EQ(counting.foreignFrees, 0);
}

// A buffer lent from the stream's own block (a payload behind a header) keeps
// that block alive: it goes with the buffer to the caller, or stays the
// stream's when the buffer is the block's start; a buffer inside the block
// cannot be taken over, since only the start can be freed.
TEST(MemoryStream, AttachKeepsTheBlockTheBufferLiesIn)
{
    struct Case {
        const char* what;
        int offset;
        size_t size;
        bool takeOver;
        const char* data;      // what the stream then holds
        bool callerFrees;      // the block passed to the caller
    } cases[] = {
        {"payload lent", 3, 7, false, "payload", true},
        {"payload taken over: refused", 3, 7, true, "HDRpayload", false},
        {"whole block lent", 0, 10, false, "HDRpayload", true},
        {"whole block taken over", 0, 10, true, "HDRpayload", false},
        {"last byte lent", 9, 1, false, "d", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CountingAllocator counting;
        IKW_MemoryStream* stream = KW_CreateMemoryStream(true, counting.get());
        ASSERT_TRUE(stream->WriteBlock("HDRpayload", int64_t(0), 10));
        uint8_t* block = stream->GetBuffer();
        stream->AttachBuffer(block + c.offset, c.size, c.takeOver);
        EXPECT_EQ(counting.live.count(block), 1u) << "the block under the buffer stays";
        const std::string expected = c.data;
        char read[16] = {};
        EXPECT_EQ(stream->GetSize(), static_cast<int64_t>(expected.size()));
        ASSERT_TRUE(stream->ReadBlock(read, int64_t(0), expected.size()));
        EXPECT_EQ(std::string(read, expected.size()), expected);
        stream->Release();
        EXPECT_EQ(counting.live.count(block), c.callerFrees ? 1u : 0u);
        if (c.callerFrees)
            counting.Free(counting.get(), block);
        EXPECT_TRUE(counting.live.empty());
        EXPECT_EQ(counting.foreignFrees, 0);
    }
}

} // namespace
