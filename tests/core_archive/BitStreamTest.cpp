// Bit fields written and read back, most significant bit first.
#include "CKW_BitStream.h"
#include "CKW_TextBuf.h"
#include "CountingAllocator.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(BitStreamTest, ReadsAcrossByteBoundaries)
{
    const uint8_t bytes[] = {0xAB, 0xCD, 0xEF};
    CKW_BitStream bits;
    bits.Init(bytes, 3);
    EXPECT_EQ(0xAu, bits.GetBits(4));
    EXPECT_EQ(0xBCDu, bits.GetBits(12));
    EXPECT_EQ(1u, bits.GetBits(1));
    EXPECT_EQ(0xDu, bits.GetBits(4));   // 1110 1111: bits 17-20
    EXPECT_EQ(21u, bits.GetPos());
    EXPECT_EQ(0u, bits.GetBits(12));   // only 3 left
    EXPECT_EQ(21u, bits.GetPos());
    EXPECT_EQ(0x7u, bits.GetBits(3));
    EXPECT_EQ(0u, bits.GetBits(1));
    EXPECT_EQ(24u, bits.GetPos());

    const uint8_t five[] = {0x80, 0, 0, 0, 1};
    bits.Init(five, 5);
    EXPECT_EQ(0u, bits.GetBits(33));   // wider than a result
    EXPECT_EQ(0u, bits.GetPos());
    EXPECT_EQ(0x80000000u, bits.GetBits(32));
    bits.ByteAlign();
    EXPECT_EQ(32u, bits.GetPos());
    EXPECT_EQ(0u, bits.GetBits(1));
    bits.ByteAlign();
    EXPECT_EQ(40u, bits.GetPos());
    EXPECT_EQ(0u, bits.GetBits(1));
}

TEST(BitStreamTest, WriterPacksBitsMostSignificantFirst)
{
    CKW_BinaryBuf buffer;
    CKW_BitWriter writer(&buffer);
    writer.WriteBits(5, 3);
    writer.WriteBits(1, 1);
    ASSERT_GE(buffer.GetSize(), 1);
    EXPECT_EQ(0xB0, buffer.GetBuffer()[0]);
    EXPECT_EQ(4, writer.GetBitOffset());
    EXPECT_EQ(0, writer.GetByteIndex());
    EXPECT_EQ(20, buffer.GetSize());   // grows by 20 zero bytes

    writer.WriteBits(0x1FF, 0);   // ignored
    writer.WriteBits(0x1FF, -3);
    writer.WriteBits(0x1FF, 65);
    EXPECT_EQ(4, writer.GetBitOffset());
    writer.WriteBits(0xFFF, 12);   // only the low bits count
    EXPECT_EQ(0xBF, buffer.GetBuffer()[0]);
    EXPECT_EQ(0xFF, buffer.GetBuffer()[1]);
    EXPECT_EQ(2, writer.GetByteIndex());
    EXPECT_EQ(0, writer.GetBitOffset());
    writer.WriteBits(1, 1);
    writer.ByteAlign();
    EXPECT_EQ(3, writer.GetByteIndex());
    writer.ByteAlign();
    EXPECT_EQ(3, writer.GetByteIndex());
    EXPECT_EQ(0x80, buffer.GetBuffer()[2]);
}

TEST(BitStreamTest, RandomFieldsReadBackEqual)
{
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> width(1, 32), align(0, 9);
    struct Field {
        uint32_t value;
        int width;
        bool alignAfter;
    };
    std::vector<Field> fields;
    CKW_BinaryBuf buffer;
    CKW_BitWriter writer(&buffer);
    for (int i = 0; i < 5000; ++i) {
        const int w = width(rng);
        const uint32_t value = (uint32_t)rng() & (w == 32 ? 0xFFFFFFFFu : (1u << w) - 1);
        fields.push_back({value, w, align(rng) == 0});
        // Bits above the width must not leak into the stream.
        writer.WriteBits((int64_t)(((uint64_t)rng() << 32 | rng()) << w | value), w);
        if (fields.back().alignAfter)
            writer.ByteAlign();
    }
    // A 64-bit field is written whole.
    writer.WriteBits((int64_t)0x8123456789ABCDEFull, 64);

    CKW_BitStream bits;
    bits.Init(buffer.GetBuffer(), (uint32_t)writer.GetUsedBytes());
    for (const Field& f : fields) {
        ASSERT_EQ(f.value, bits.GetBits((uint32_t)f.width));
        if (f.alignAfter)
            bits.ByteAlign();
    }
    EXPECT_EQ(0x81234567u, bits.GetBits(32));
    EXPECT_EQ(0x89ABCDEFu, bits.GetBits(32));
    EXPECT_EQ(0u, bits.GetBits(1));
}

TEST(BitStreamTest, WriterWithoutRoomWritesNothing)
{
    CountingAllocator alloc;
    CKW_BinaryBuf buffer(&alloc);
    CKW_BitWriter writer(&buffer);
    alloc.failAfter = 0;
    writer.WriteBits(1, 1);
    EXPECT_EQ(0, buffer.GetSize());
    EXPECT_EQ(0, writer.GetBitOffset());
    EXPECT_EQ(0, writer.GetByteIndex());
}

} // namespace
