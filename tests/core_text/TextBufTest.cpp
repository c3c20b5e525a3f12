// Growable byte and wide text buffers and the fixed-capacity byte buffer.
#include "CKW_TextBuf.h"
#include "CountingAllocator.h"
#include "KW_Memory.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Bytes(const CKW_BinaryBuf& b) { return std::string(reinterpret_cast<const char*>(b.GetBuffer()), b.GetSize()); }

TEST(BinaryBuf, GrowthSteps)
{
    CKW_BinaryBuf b;
    ASSERT_TRUE(b.AppendBlock("x", 1));
    EXPECT_EQ(b.GetAllocSize(), 128);
    CKW_BinaryBuf full;
    ASSERT_TRUE(full.AppendFill('a', 1024));
    EXPECT_EQ(full.GetAllocSize(), 1024);
    ASSERT_TRUE(full.AppendBlock("b", 1));
    EXPECT_EQ(full.GetAllocSize(), 1280);
    EXPECT_EQ(full.GetSize(), 1025);

    CKW_BinaryBuf stepped;
    ASSERT_TRUE(stepped.EstimateSize(1000, 100));
    EXPECT_EQ(stepped.GetAllocSize(), 1000);
    ASSERT_TRUE(stepped.AppendFill(0, 1001));
    EXPECT_EQ(stepped.GetAllocSize(), 1100);
}

TEST(BinaryBuf, RefusesBadSizesAndKeepsContent)
{
    CKW_BinaryBuf b;
    ASSERT_TRUE(b.AppendBlock("hello", 5));
    int alloc = b.GetAllocSize();
    EXPECT_FALSE(b.ExpandBuf(-1));
    EXPECT_FALSE(b.AppendBlock("x", -1));
    EXPECT_FALSE(b.AppendFill('x', -5));
    EXPECT_FALSE(b.ExpandBuf(INT_MAX));   // past 2^31 - 1 bytes in all
    EXPECT_FALSE(b.InsertBlock(6, "x", 1));
    EXPECT_FALSE(b.InsertBlock(-1, "x", 1));
    EXPECT_FALSE(b.CopyData("x", -1));
    b.Delete(2, -1);
    b.Delete(5, 10);
    EXPECT_EQ(Bytes(b), "hello");
    EXPECT_EQ(b.GetAllocSize(), alloc);
}

TEST(BinaryBuf, EditingOperations)
{
    CKW_BinaryBuf b;
    ASSERT_TRUE(b.CopyData("world", 5));
    ASSERT_TRUE(b.InsertBlock(0, "hello ", 6));
    ASSERT_TRUE(b.AppendBlock("!", 1));
    EXPECT_EQ(Bytes(b), "hello world!");
    b.Delete(5, 6);
    EXPECT_EQ(Bytes(b), "hello!");
    CKW_BinaryBuf twelve;
    twelve.AppendFill('z', 12);
    twelve.Delete(5, 10);   // past the end: nothing
    EXPECT_EQ(twelve.GetSize(), 12);
    // A block taken from the buffer itself survives the buffer moving.
    ASSERT_TRUE(b.AppendBlock(b.GetBuffer(), b.GetSize()));
    ASSERT_TRUE(b.AppendFill('-', 300));
    ASSERT_TRUE(b.AppendBlock(b.GetBuffer(), 6));
    EXPECT_EQ(Bytes(b).substr(0, 12), "hello!hello!");
    EXPECT_EQ(Bytes(b).substr(312), "hello!");
    ASSERT_TRUE(b.InsertBlock(0, b.GetBuffer() + 6, 6));
    EXPECT_EQ(Bytes(b).substr(0, 12), "hello!hello!");
    b.Clear();
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_TRUE(b.CopyData(nullptr, 0));
}

TEST(BinaryBuf, DetachAttachTakeOver)
{
    CKW_BinaryBuf b;
    ASSERT_TRUE(b.EstimateSize(256));
    ASSERT_TRUE(b.AppendBlock("abc", 3));
    uint8_t* memory = b.GetBuffer();
    b.DetachBuffer();
    EXPECT_EQ(b.GetBuffer(), nullptr);
    EXPECT_FALSE(b.AppendBlock("0123456789", 10));
    b.AttachData(memory, 3);
    EXPECT_EQ(Bytes(b), "abc");
    EXPECT_TRUE(b.AppendBlock("d", 1));
    EXPECT_EQ(Bytes(b), "abcd");

    CKW_BinaryBuf other;
    other.TakeOver(b);
    EXPECT_EQ(Bytes(other), "abcd");
    EXPECT_EQ(b.GetBuffer(), nullptr);
    EXPECT_EQ(b.GetSize(), 0);

    CKW_ByteStringL l;
    other.GetByteStringL(l);
    EXPECT_STREQ(l.c_str(), "abcd");
    l.Empty(nullptr);
    CKW_ByteString s;
    s = other;
    EXPECT_TRUE(s == "abcd");
}

// A block taken over from a buffer of another allocator is grown and freed
// by that allocator, whichever way round.
TEST(BinaryBuf, TakeOverBringsTheAllocatorAlong)
{
    CountingAllocator counting;
    {
        CKW_BinaryBuf counted(&counting);
        ASSERT_TRUE(counted.AppendBlock("counted", 7));
        CKW_BinaryBuf plain;
        ASSERT_TRUE(plain.AppendBlock("plain", 5));
        plain.TakeOver(counted);
        EXPECT_EQ(plain.GetAllocator(), &counting);
        EXPECT_EQ(Bytes(plain), "counted");
        ASSERT_TRUE(plain.AppendFill('x', 4000));   // grows through the counting allocator
        EXPECT_EQ(counting.live.count(plain.GetBuffer()), 1u);

        CKW_BinaryBuf back;
        ASSERT_TRUE(back.AppendBlock("old", 3));
        counted.TakeOver(back);                     // a default block into the counted buffer
        EXPECT_EQ(counted.GetAllocator(), nullptr);
        EXPECT_EQ(Bytes(counted), "old");
        ASSERT_TRUE(counted.AppendFill('y', 4000));
    }
    EXPECT_TRUE(counting.live.empty());
    EXPECT_EQ(counting.foreignFrees, 0);
    EXPECT_EQ(counting.frees, counting.allocs);
}

// Under the default system manager a buffer may be handed any malloc block.
TEST(BinaryBuf, AttachedMallocBlockIsReleased)
{
    void* block = std::malloc(64);
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "malloc", 6);
    {
        CKW_BinaryBuf b;
        b.AttachData(block, 6);
        ASSERT_TRUE(b.AppendFill('!', 200));        // reallocated in place of the block
        EXPECT_EQ(Bytes(b).substr(0, 7), "malloc!");
    }
    CKW_BinaryBuf b;
    b.AttachData(std::malloc(16), 16);
    b.AttachData(std::malloc(16), 16);              // the first is freed here, the second below
}

TEST(BinaryBuf, UsesItsAllocator)
{
    _IKW_Allocator* allocator = KWMEM_GetDefAllocator();
    CKW_BinaryBuf b(16, allocator);
    EXPECT_EQ(b.GetSize(), 16);
    EXPECT_EQ(b.GetAllocator(), allocator);
    EXPECT_TRUE(b.AppendFill('x', 500));
    EXPECT_EQ(b.GetSize(), 516);
}

TEST(ByteTextBuf, Appenders)
{
    CKW_ByteTextBuf b;
    b << "n=" << 42 << " u=" << 4294967295u << " l=" << -9000000000LL << " f=" << 0.5 << " g=" << -123.456;
    EXPECT_EQ(Bytes(b), "n=42 u=-1 l=-9000000000 f=0.5 g=-123.456");
    CKW_ByteTextBuf c;
    c = CKW_ByteStringC("start:");
    c << b;
    EXPECT_EQ(Bytes(c).substr(0, 10), "start:n=42");
    c << c;
    EXPECT_EQ(c.GetSize(), 2 * (6 + b.GetSize()));
    c = CKW_ByteStringC("x");
    EXPECT_EQ(Bytes(c), "x");
}

TEST(WideTextBuf, Appenders)
{
    CKW_WideTextBuf w;
    EXPECT_TRUE(w.AppendChar(L'<'));
    w << L"\U0001F600" << CKW_WideString(L"ab") << CKW_WideString() << CKW_WideStringC(L"cd", 1) << 7 << 2.25 << L">";
    EXPECT_EQ(w.GetLength(), 1 + 1 + 2 + 1 + 1 + 4 + 1);
    EXPECT_EQ(w.GetSize(), w.GetLength() * 4);
    CKW_WideStringC view = w.GetWideString();
    EXPECT_EQ(std::wstring(view.GetPtr(), view.GetLength()), L"<\U0001F600abc72.25>");
    w << w;
    EXPECT_EQ(w.GetLength(), 22);
    w = CKW_WideStringC(L"fresh");
    EXPECT_EQ(std::wstring(w.GetWideString().GetPtr(), w.GetLength()), L"fresh");
    CKW_WideStringL l;
    w.GetWideStringL(l);
    EXPECT_EQ(std::wstring(l.c_str()), L"fresh");
    l.Empty(nullptr);
}

TEST(StringBufBase, FixedCapacity)
{
    CKW_StringBufT<4> b;
    b.Copy("abcdef");
    EXPECT_EQ(std::string(b.GetStringC().GetCStr(), b.GetSize()), "abcd");
    b.Append("xyz");
    EXPECT_EQ(b.GetSize(), 4);
    CKW_StringBufT<20> n;
    n.Copy("v");
    n.Append(255, 6);
    n.Append(-255, 1);
    n.Append(-1, 0);
    EXPECT_EQ(std::string(n.GetStringC().GetCStr(), n.GetSize()), "vFF-2554294967295");
    CKW_StringBufT<3> small;
    small.Append(12345, 1);
    EXPECT_EQ(std::string(small.GetStringC().GetCStr(), small.GetSize()), "123");

    // It never allocates, numbers included.
    ScopedCountingDefault heap;
    const int before = heap.sys.allocs;   // the manager's own record
    CKW_StringBufT<40> quiet;
    quiet.Copy("n=");
    quiet.Append(INT_MIN, 1);
    quiet.Append(-1, 2);
    quiet.Append(0, 0);
    EXPECT_EQ(std::string(quiet.GetStringC().GetCStr(), quiet.GetSize()), "n=-2147483648ffffffff0");
    EXPECT_EQ(heap.sys.allocs, before);
}

} // namespace
