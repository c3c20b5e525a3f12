// Arrays, segmented arrays and plex blocks.
#include "CKW_Array.h"
#include "CountingAllocator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

int UnitAt(const CKW_BasicArray& a, int i)
{
    int v;
    memcpy(&v, a.GetDataPtr(i), sizeof v);
    return v;
}

void Fill(CKW_BasicArray& a, int n)
{
    ASSERT_TRUE(a.SetSize(n, -1));
    for (int i = 0; i < n; i++)
        memcpy(a.GetDataPtr(i), &i, sizeof i);
}

} // namespace

TEST(BasicArray, UnitSizeOutsideTheLimitBecomesFour)
{
    struct {
        int given, expected;
    } cases[] = {{0x10000001, 4}, {-8, 4}, {0x10000000, 0x10000000}, {12, 12}};
    for (auto& c : cases) {
        CKW_BasicArray a(c.given, nullptr);
        EXPECT_EQ(a.GetUnitSize(), c.expected) << c.given;
    }
}

TEST(BasicArray, SizeBeyondTheByteLimitFailsAndKeepsTheUnits)
{
    CountingAllocator alloc;
    alloc.failAbove = 1 << 20;   // never really allocate 256 MB
    CKW_BasicArray a(8, &alloc);
    ASSERT_TRUE(a.SetSize(3, -1));
    memcpy(a.GetDataPtr(2), "unit two", 8);

    EXPECT_FALSE(a.SetSize(0x2000001, -1));
    EXPECT_FALSE(a.SetSize(-1, -1));
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(memcmp(a.GetDataPtr(2), "unit two", 8), 0);
    EXPECT_EQ(alloc.largestRequest, 24u);   // refused before any request

    // Exactly at the limit the request is made (and here refused by the allocator).
    EXPECT_FALSE(a.SetSize(0x2000000, -1));
    EXPECT_EQ(alloc.largestRequest, 0x10000000u);
    EXPECT_EQ(a.GetSize(), 3);
    EXPECT_EQ(memcmp(a.GetDataPtr(2), "unit two", 8), 0);
}

TEST(BasicArray, GrowsByHalfItsSizeAndZeroesNewUnits)
{
    struct {
        int from, to, expectedMax;
    } cases[] = {{10, 11, 15}, {1, 2, 2}, {1, 5, 5}, {40, 41, 60}};
    for (auto& c : cases) {
        CKW_BasicArray a(4, nullptr);
        ASSERT_TRUE(a.SetSize(c.from, -1));
        memset(a.GetDataPtr(0), 0xAB, (size_t)c.from * 4);
        ASSERT_TRUE(a.SetSize(c.to, -1));
        EXPECT_EQ(a.GetMaxSize(), c.expectedMax) << c.from << "->" << c.to;
        for (int i = c.from; i < c.to; i++)
            EXPECT_EQ(UnitAt(a, i), 0);
    }
    // A fixed step replaces the automatic one.
    CKW_BasicArray b(4, nullptr);
    ASSERT_TRUE(b.SetSize(10, 7));
    ASSERT_TRUE(b.SetSize(11, -1));
    EXPECT_EQ(b.GetMaxSize(), 17);
}

TEST(BasicArray, ShrinkKeepsTheAllocationAndRegrowthSeesZeros)
{
    CKW_BasicArray a(4, nullptr);
    Fill(a, 6);
    ASSERT_TRUE(a.RemoveAt(1, 4));   // stale bytes stay behind the end
    EXPECT_EQ(a.GetSize(), 2);
    EXPECT_EQ(a.GetMaxSize(), 6);
    EXPECT_EQ(UnitAt(a, 1), 5);
    ASSERT_TRUE(a.SetSize(6, -1));
    for (int i = 2; i < 6; i++)
        EXPECT_EQ(UnitAt(a, i), 0);
    ASSERT_TRUE(a.SetSize(0, -1));
    EXPECT_EQ(a.GetMaxSize(), 0);
    EXPECT_EQ(a.GetDataPtr(0), nullptr);
}

TEST(BasicArray, FailedReallocationLeavesTheArrayAsItWas)
{
    CountingAllocator alloc;
    CKW_BasicArray a(4, &alloc);
    Fill(a, 4);
    alloc.failAfter = 0;
    EXPECT_FALSE(a.SetSize(5, -1));
    EXPECT_EQ(a.InsertSpaceAt(1, 3), nullptr);
    EXPECT_EQ(a.GetSize(), 4);
    for (int i = 0; i < 4; i++)
        EXPECT_EQ(UnitAt(a, i), i);
}

TEST(BasicArray, InsertSpaceOpensAZeroedGap)
{
    CKW_BasicArray a(4, nullptr);
    Fill(a, 3);
    void* p = a.InsertSpaceAt(5, 2);
    EXPECT_EQ(p, a.GetDataPtr(5));
    EXPECT_EQ(a.GetSize(), 7);
    for (int i = 3; i < 7; i++)
        EXPECT_EQ(UnitAt(a, i), 0);

    p = a.InsertSpaceAt(1, 2);
    EXPECT_EQ(p, a.GetDataPtr(1));
    std::vector<int> got;
    for (int i = 0; i < a.GetSize(); i++)
        got.push_back(UnitAt(a, i));
    EXPECT_EQ(got, (std::vector<int>{0, 0, 0, 1, 2, 0, 0, 0, 0}));

    EXPECT_EQ(a.InsertSpaceAt(-1, 1), nullptr);
    EXPECT_EQ(a.InsertSpaceAt(0, 0), nullptr);
    EXPECT_EQ(a.InsertSpaceAt(0x7fffffff, 1), nullptr);
}

TEST(BasicArray, RemoveAtChecksTheRange)
{
    struct {
        int index, count;
        bool ok;
        std::vector<int> left;
    } cases[] = {
        {2, 3, true, {0, 1}},
        {2, 4, false, {0, 1, 2, 3, 4}},
        {0, 1, true, {1, 2, 3, 4}},
        {-1, 1, false, {0, 1, 2, 3, 4}},
        {1, 0, false, {0, 1, 2, 3, 4}},
        {1, 2, true, {0, 3, 4}},
    };
    for (auto& c : cases) {
        CKW_BasicArray a(4, nullptr);
        Fill(a, 5);
        EXPECT_EQ(a.RemoveAt(c.index, c.count), c.ok) << c.index << "," << c.count;
        std::vector<int> got;
        for (int i = 0; i < a.GetSize(); i++)
            got.push_back(UnitAt(a, i));
        EXPECT_EQ(got, c.left) << c.index << "," << c.count;
    }
}

TEST(BasicArray, CopyAppendAndInsertArrays)
{
    CountingAllocator one, two;
    {
        CKW_BasicArray a(4, &one);
        Fill(a, 3);
        CKW_BasicArray b(a, &two);
        EXPECT_EQ(b.GetSize(), 3);
        EXPECT_EQ(UnitAt(b, 2), 2);
        EXPECT_TRUE(b.Append(a));
        EXPECT_TRUE(b.Append(b));
        ASSERT_EQ(b.GetSize(), 12);
        EXPECT_EQ(UnitAt(b, 11), 2);
        EXPECT_TRUE(a.InsertAt(1, &a));
        std::vector<int> got;
        for (int i = 0; i < a.GetSize(); i++)
            got.push_back(UnitAt(a, i));
        EXPECT_EQ(got, (std::vector<int>{0, 0, 1, 2, 1, 2}));
        EXPECT_FALSE(a.InsertAt(0, nullptr));
        CKW_BasicArray empty(4, nullptr);
        EXPECT_TRUE(a.InsertAt(0, &empty));
        EXPECT_TRUE(a.Copy(empty));
        EXPECT_EQ(a.GetSize(), 0);
        b = a;
        EXPECT_EQ(b.GetSize(), 0);
    }
    EXPECT_TRUE(one.live.empty());
    EXPECT_TRUE(two.live.empty());
    EXPECT_EQ(one.foreignFrees + two.foreignFrees, 0);
}

// --- segmented array ---------------------------------------------------------

TEST(SegmentedArray, UnitsNeverMoveAndTheTreeDeepens)
{
    CountingAllocator alloc;
    {
        CKW_BaseSegmentedArray a(24, 16, 4, &alloc);
        std::vector<void*> addr;
        for (int i = 0; i < 300; i++) {
            void* p = a.Add();
            ASSERT_NE(p, nullptr);
            memset(p, 0, 24);
            memcpy(p, &i, sizeof i);
            addr.push_back(p);
            if (i == 15) {
                EXPECT_EQ(a.GetIndexDepth(), 0);
            }
            if (i == 16) {
                EXPECT_EQ(a.GetIndexDepth(), 1);   // 17th add makes the first index node
            }
            if (i == 63) {
                EXPECT_EQ(a.GetIndexDepth(), 1);
            }
            if (i == 64) {
                EXPECT_EQ(a.GetIndexDepth(), 2);   // 65th: 64 = 16 x 4 units filled the tree
            }
        }
        EXPECT_EQ(a.GetIndexDepth(), 3);   // 300 units = 19 segments > 16
        for (int i = 0; i < 300; i++) {
            ASSERT_EQ(a.GetAt(i), addr[i]) << i;
            int v;
            memcpy(&v, a.GetAt(i), sizeof v);
            EXPECT_EQ(v, i);
        }
        EXPECT_EQ(a.GetAt(300), nullptr);
        EXPECT_EQ(a.GetAt(-1), nullptr);

        // Iterate visits in order and stops where the callback says so.
        struct Walk {
            int next = 0;
            bool inOrder = true;
        } walk;
        void* stop = a.Iterate(
            [](void* param, void* unit) {
                Walk* w = (Walk*)param;
                int v;
                memcpy(&v, unit, sizeof v);
                w->inOrder = w->inOrder && v == w->next;
                w->next++;
                return v != 200;
            },
            &walk);
        EXPECT_TRUE(walk.inOrder);
        EXPECT_EQ(stop, addr[200]);
        walk = Walk();
        EXPECT_EQ(a.Iterate([](void* param, void*) { return ++((Walk*)param)->next > 0; }, &walk), nullptr);
        EXPECT_EQ(walk.next, 300);
    }
    EXPECT_TRUE(alloc.live.empty());
}

TEST(SegmentedArray, DeleteShiftsUnitsAndReturnsSegments)
{
    CountingAllocator alloc;
    CKW_BaseSegmentedArray a(4, 4, 2, &alloc);
    for (int i = 0; i < 20; i++)
        memcpy(a.Add(), &i, 4);
    long before = (long)alloc.live.size();
    a.Delete(3, 10);   // 20 -> 10 units: segments 3 and 4 go
    ASSERT_EQ(a.GetSize(), 10);
    std::vector<int> got;
    for (int i = 0; i < 10; i++) {
        int v;
        memcpy(&v, a.GetAt(i), 4);
        got.push_back(v);
    }
    EXPECT_EQ(got, (std::vector<int>{0, 1, 2, 13, 14, 15, 16, 17, 18, 19}));
    EXPECT_EQ((long)alloc.live.size(), before - 2);
    a.Delete(5, 6);   // out of range: nothing
    EXPECT_EQ(a.GetSize(), 10);
    // Adding again after a delete refills the freed slots.
    for (int i = 10; i < 40; i++)
        memcpy(a.Add(), &i, 4);
    for (int i = 10; i < 40; i++) {
        int v;
        memcpy(&v, a.GetAt(i), 4);
        ASSERT_EQ(v, i);
    }
    a.Delete(0, 40);
    EXPECT_EQ(a.GetSize(), 0);
    for (int i = 0; i < 9; i++)
        memcpy(a.Add(), &i, 4);
    int v;
    memcpy(&v, a.GetAt(8), 4);
    EXPECT_EQ(v, 8);
    a.RemoveAll();
    EXPECT_TRUE(alloc.live.empty());

    CKW_BaseSegmentedArray flat(4, 8, 4, &alloc);
    for (int i = 0; i < 5; i++)
        flat.Add();
    flat.Delete(0, 5);   // the only segment is returned
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(flat.GetAt(0), nullptr);
}

TEST(SegmentedArray, FailedAddKeepsWhatWasThere)
{
    // Fail the n-th block request of the next Add, for every n that the Add
    // needs, at every growth step of a small tree.
    for (int units = 0; units <= 40; units++) {
        for (int failAt = 0; failAt < 4; failAt++) {
            CountingAllocator alloc;
            CKW_BaseSegmentedArray a(4, 2, 2, &alloc);
            for (int i = 0; i < units; i++)
                memcpy(a.Add(), &i, 4);
            size_t liveBefore = alloc.live.size();
            int depthBefore = a.GetIndexDepth();
            alloc.failAfter = failAt;
            void* p = a.Add();
            alloc.failAfter = -1;
            if (!p) {
                EXPECT_EQ(a.GetSize(), units);
                EXPECT_EQ(a.GetIndexDepth(), depthBefore);
                EXPECT_EQ(alloc.live.size(), liveBefore) << units << "/" << failAt;
            } else {
                memcpy(p, &units, 4);
            }
            int n = a.GetSize();
            for (int i = 0; i < n; i++) {
                int v;
                memcpy(&v, a.GetAt(i), 4);
                ASSERT_EQ(v, i) << units << "/" << failAt;
            }
            // And it goes on working.
            int next = n;
            memcpy(a.Add(), &next, 4);
            int v;
            memcpy(&v, a.GetAt(n), 4);
            EXPECT_EQ(v, n);
            a.RemoveAll();
            EXPECT_TRUE(alloc.live.empty());
        }
    }
}

// --- plex ------------------------------------------------------------------------

TEST(Plex, BlocksChainInFrontAndFreeTogether)
{
    CountingAllocator alloc;
    CKW_Plex* head = nullptr;
    CKW_Plex* first = CKW_Plex::Create(&alloc, head, 10, 12);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(alloc.largestRequest, 128u);
    EXPECT_EQ((uint8_t*)first->data(), (uint8_t*)first + 8);
    memset(first->data(), 0x5A, 120);
    CKW_Plex* second = CKW_Plex::Create(&alloc, head, 4, 4);
    EXPECT_EQ(head, second);
    EXPECT_EQ(second->pNext, first);
    EXPECT_EQ(first->pNext, nullptr);

    // A data size that wraps 32 bits is refused, head untouched.
    EXPECT_EQ(CKW_Plex::Create(&alloc, head, 0x10000, 0x10000), nullptr);
    alloc.failAfter = 0;
    EXPECT_EQ(CKW_Plex::Create(&alloc, head, 1, 1), nullptr);
    EXPECT_EQ(head, second);

    head->FreeDataChain(&alloc);
    EXPECT_TRUE(alloc.live.empty());

    CKW_Plex* plain = nullptr;
    ASSERT_NE(CKW_Plex::Create(nullptr, plain, 3, 3), nullptr);
    plain->FreeDataChain(nullptr);
}
