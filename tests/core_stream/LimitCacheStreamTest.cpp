// The fixed-capacity write buffer: what it keeps, what it counts and what
// reads may return once it has overflowed.
#include "CKW_LimitCacheStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(LimitCacheStream, KeepsWhatFitsAndCountsTheRest)
{
    CKW_LimitCacheStream* stream = new CKW_LimitCacheStream(16, 16, 0);
    ASSERT_NE(stream->GetBuffer(), nullptr);
    EXPECT_TRUE(stream->WriteBlock("0123456789", 10));
    EXPECT_TRUE(stream->WriteBlock("abcdefghij", 10)); // 20 > 16: only counted
    EXPECT_EQ(stream->GetSize(), 20);
    EXPECT_EQ(stream->GetHeldSize(), 10u);
    EXPECT_TRUE(stream->WriteBlock("", 0));
    EXPECT_TRUE(stream->WriteBlock("xyz", int64_t(0), 0));

    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(stream->ReadBlock(buffer, sizeof buffer), 10u) << "only the bytes it holds";
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_EQ(stream->GetPosition(), 10);
    EXPECT_EQ(stream->ReadBlock(buffer, sizeof buffer), 0u);
    EXPECT_FALSE(stream->IsEOF()) << "counted bytes remain";

    EXPECT_TRUE(stream->ReadBlock(buffer, int64_t(4), 6));
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_FALSE(stream->ReadBlock(buffer, int64_t(8), 4)) << "bytes 10.. were never kept";
    EXPECT_FALSE(stream->ReadBlock(buffer, int64_t(-1), 1));

    EXPECT_EQ(stream->SetPosition(1000000), 1000000);
    EXPECT_EQ(stream->ReadBlock(buffer, sizeof buffer), 0u) << "a far position reads nothing";
    EXPECT_TRUE(stream->IsEOF());
    EXPECT_EQ(stream->SetPosition(-1), -1);
    EXPECT_EQ(stream->Retain(), nullptr);
    EXPECT_TRUE(stream->Flush());
    stream->Release();
}

TEST(LimitCacheStream, InsertsAtAnOffsetWhileThereIsRoom)
{
    CKW_LimitCacheStream* stream = new CKW_LimitCacheStream(8, 64, 4);
    EXPECT_TRUE(stream->WriteBlock("adef", 4));
    EXPECT_TRUE(stream->WriteBlock("bc", int64_t(1), 2));
    EXPECT_FALSE(stream->WriteBlock("z", int64_t(7), 1)) << "beyond the data";
    EXPECT_FALSE(stream->WriteBlock("z", int64_t(-1), 1));
    char buffer[12];
    ASSERT_TRUE(stream->ReadBlock(buffer, int64_t(0), 6));
    EXPECT_EQ(std::string(buffer, 6), "abcdef");
    EXPECT_TRUE(stream->WriteBlock("0123456", int64_t(0), 7)); // 13 > 12: counted only
    EXPECT_EQ(stream->GetSize(), 13);
    ASSERT_TRUE(stream->ReadBlock(buffer, int64_t(0), 6));
    EXPECT_EQ(std::string(buffer, 6), "abcdef");
    stream->Release();
}

TEST(LimitCacheStream, WithoutABufferItOnlyCounts)
{
    struct Case {
        size_t expected, limit, extra;
        bool buffer;
    } cases[] = {{0, 100, 10, false}, {50, 100, 60, false}, {50, 100, 50, true}, {1, 1, 0, true}};
    for (const Case& c : cases) {
        CKW_LimitCacheStream stream(c.expected, c.limit, c.extra);
        EXPECT_EQ(stream.GetBuffer() != nullptr, c.buffer) << c.expected << "+" << c.extra << " of " << c.limit;
        EXPECT_TRUE(stream.WriteBlock("abc", 3));
        EXPECT_EQ(stream.GetSize(), 3);
        if (!c.buffer) {
            char byte;
            EXPECT_TRUE(stream.IsEOF());
            EXPECT_EQ(stream.GetPosition(), 3);
            EXPECT_EQ(stream.SetPosition(0), 3);
            EXPECT_EQ(stream.ReadBlock(&byte, 1), 0u);
            EXPECT_FALSE(stream.ReadBlock(&byte, int64_t(0), 1));
        }
    }
}
