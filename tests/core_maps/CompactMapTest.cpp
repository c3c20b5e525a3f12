// The compact byte-string map (keys told apart by hash and bytes, long keys
// stored outside their unit) and the sorted DWord map.
#include "CKW_CompactMap.h"
#include "CountingAllocator.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

void* P(uintptr_t v) { return reinterpret_cast<void*>(v); }

CKW_ByteStringC View(const std::string& s) { return CKW_ByteStringC(s.data(), static_cast<int>(s.size())); }

std::vector<std::pair<std::string, void*>> Entries(const CKW_CMapByteStringToPtr& map)
{
    std::vector<std::pair<std::string, void*>> out;
    void* pos = map.GetStartPosition();
    while (pos) {
        CKW_ByteString key;
        void* value = nullptr;
        map.GetNextAssoc(pos, key, value);
        out.emplace_back(std::string(key.c_str(), key.GetLength()), value);
    }
    return out;
}

TEST(CompactMapTest, CompoundHash)
{
    EXPECT_EQ(0x31017862u, CKW_CMapByteStringToPtr::CompoundHash("abc"));
    EXPECT_EQ(0u, CKW_CMapByteStringToPtr::CompoundHash(""));
    EXPECT_EQ(0x38291921u, CKW_CMapByteStringToPtr::CompoundHash("key60516"));
    EXPECT_EQ(0x38291921u, CKW_CMapByteStringToPtr::CompoundHash("key149800"));
}

TEST(CompactMapTest, KeysSharingAHashStayTwoEntries)
{
    CKW_CMapByteStringToPtr map;
    map.SetAt("key60516", P(1));
    map.SetAt("key149800", P(2));
    EXPECT_EQ(2, map.GetCount());
    void* v = nullptr;
    EXPECT_TRUE(map.Lookup("key60516", v));
    EXPECT_EQ(P(1), v);
    EXPECT_TRUE(map.Lookup("key149800", v));
    EXPECT_EQ(P(2), v);

    map.RemoveKey("key149800");
    EXPECT_TRUE(map.Lookup("key60516", v));
    EXPECT_EQ(P(1), v);
    EXPECT_FALSE(map.Lookup("key149800", v));
    map.SetAt("key60516", P(3));
    EXPECT_EQ(1, map.GetCount());
    EXPECT_TRUE(map.Lookup("key60516", v));
    EXPECT_EQ(P(3), v);
}

TEST(CompactMapTest, OnlyKeysOverElevenBytesLiveOutside)
{
    CountingAllocator alloc;
    {
        CKW_CMapByteStringToPtr map(&alloc);
        map.SetAt("elevenbytes", P(11));   // first segment
        EXPECT_EQ(1, alloc.allocs);
        map.SetAt("twelve bytes", P(12));
        EXPECT_EQ(2, alloc.allocs);
        map.SetAt(CKW_ByteStringC("a\0b", 3), P(3));
        EXPECT_EQ(2, alloc.allocs);
        const std::string huge(65535, 'x');
        map.SetAt(View(huge), P(4));
        EXPECT_EQ(3, alloc.allocs);
        EXPECT_EQ(65535u, alloc.largestRequest);

        const auto entries = Entries(map);
        ASSERT_EQ(4u, entries.size());
        EXPECT_EQ("elevenbytes", entries[0].first);
        EXPECT_EQ("twelve bytes", entries[1].first);
        EXPECT_EQ(std::string("a\0b", 3), entries[2].first);
        EXPECT_EQ(huge, entries[3].first);
        EXPECT_EQ(P(4), entries[3].second);
    }
    EXPECT_TRUE(alloc.live.empty());
}

TEST(CompactMapTest, KeysTooLongForTheirLengthFieldAreRefused)
{
    CKW_CMapByteStringToPtr map;
    const std::string tooLong(65536, 'y');
    map.SetAt(View(tooLong), P(1));
    map.AddValue(View(tooLong), P(1));
    EXPECT_EQ(0, map.GetCount());
    void* v = nullptr;
    EXPECT_FALSE(map.Lookup(View(tooLong), v));
    EXPECT_FALSE(map.Lookup("", v));
}

TEST(CompactMapTest, FreedUnitIsReused)
{
    CKW_CMapByteStringToPtr map;
    map.SetAt("a", P(1));
    map.SetAt("a long key, stored outside", P(2));
    map.SetAt("c", P(3));
    map.RemoveKey("a long key, stored outside");
    EXPECT_EQ(2, map.GetCount());
    map.SetAt("d", P(4));
    const auto entries = Entries(map);
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("d", entries[1].first);   // in the freed unit
    EXPECT_EQ(P(4), entries[1].second);

    // AddValue appends without looking.
    map.AddValue("a", P(5));
    EXPECT_EQ(4, map.GetCount());
    void* v = nullptr;
    EXPECT_TRUE(map.Lookup("a", v));
    EXPECT_EQ(P(1), v);   // the first unit holding the key answers
}

TEST(CompactMapTest, LongKeyWithoutMemoryIsNotStored)
{
    CountingAllocator alloc;
    {
        CKW_CMapByteStringToPtr map(&alloc);
        map.SetAt("short", P(1));
        map.SetAt("to be removed", P(2));
        map.RemoveKey("to be removed");
        alloc.failAfter = 0;
        for (int i = 0; i < 2; ++i) {
            // Into the free unit, then as an appended unit.
            map.SetAt("another long key", P(3));
            map.AddValue("yet another long key", P(4));
            EXPECT_EQ(1, map.GetCount());
            void* v = nullptr;
            EXPECT_FALSE(map.Lookup("another long key", v));
            EXPECT_FALSE(map.Lookup("", v));
            const auto entries = Entries(map);
            ASSERT_EQ(1u, entries.size());
            EXPECT_EQ("short", entries[0].first);
        }
        // Short keys need no memory of their own.
        map.SetAt("fits", P(5));
        EXPECT_EQ(2, map.GetCount());
    }
    EXPECT_TRUE(alloc.live.empty());
}

TEST(CompactMapTest, AgreesWithOracle)
{
    CountingAllocator alloc;
    {
        CKW_CMapByteStringToPtr map(&alloc);
        std::map<std::string, uintptr_t> oracle;
        std::mt19937 rng(3);
        std::uniform_int_distribution<int> op(0, 9), length(0, 16), byte(0, 2);
        for (int i = 0; i < 4000; ++i) {
            std::string key(length(rng), '\0');
            for (char& c : key)
                c = "k\0\x80"[byte(rng)];
            const int o = op(rng);
            if (o < 5) {
                map.SetAt(View(key), P(i + 1));
                oracle[key] = i + 1;
            } else if (o < 7) {
                map.RemoveKey(View(key));
                oracle.erase(key);
            } else {
                void* v = nullptr;
                auto it = oracle.find(key);
                ASSERT_EQ(it != oracle.end(), map.Lookup(View(key), v));
                EXPECT_EQ(it != oracle.end() ? P(it->second) : nullptr, v);
            }
        }
        ASSERT_EQ((int)oracle.size(), map.GetCount());
        std::map<std::string, uintptr_t> listed;
        for (const auto& e : Entries(map))
            EXPECT_TRUE(listed.emplace(e.first, (uintptr_t)e.second).second);
        EXPECT_EQ(oracle, listed);
        map.RemoveAll();
        EXPECT_EQ(nullptr, map.GetStartPosition());
        EXPECT_TRUE(alloc.live.empty());
    }
}

std::vector<std::pair<uint32_t, uint32_t>> Pairs(const CKW_CMapDWordToDWord& map)
{
    std::vector<std::pair<uint32_t, uint32_t>> out;
    void* pos = map.GetStartPosition();
    while (pos) {
        uint32_t k = 0, v = 0;
        map.GetNextAssoc(pos, k, v);
        out.emplace_back(k, v);
    }
    return out;
}

TEST(CompactMapTest, DWordMapKeepsKeysInUnsignedOrder)
{
    CKW_CMapDWordToDWord map;
    EXPECT_EQ(nullptr, map.GetStartPosition());
    map.SetAt(5, 50);
    map.SetAt(1, 10);
    map.SetAt(3, 30);
    map.SetAt(3, 31);
    using V = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ((V{{1, 10}, {3, 31}, {5, 50}}), Pairs(map));

    map.SetAt(0xFFFFFFFF, 1);
    map.SetAt(0x80000001, 2);
    map.SetAt(0x7FFFFFFF, 3);
    EXPECT_EQ((V{{1, 10}, {3, 31}, {5, 50}, {0x7FFFFFFF, 3}, {0x80000001, 2}, {0xFFFFFFFF, 1}}), Pairs(map));
    uint32_t v = 0;
    EXPECT_TRUE(map.Lookup(0x80000001, v));
    EXPECT_EQ(2u, v);
    EXPECT_TRUE(map.Lookup(0xFFFFFFFF, v));
    EXPECT_EQ(1u, v);
    EXPECT_FALSE(map.Lookup(4, v));
    EXPECT_FALSE(map.Lookup(0, v));
}

TEST(CompactMapTest, DWordMapAgreesWithOracle)
{
    CKW_CMapDWordToDWord map;
    map.EstimateSize(1000, 64);
    std::map<uint32_t, uint32_t> oracle;
    std::mt19937 rng(11);
    for (uint32_t i = 0; i < 3000; ++i) {
        const uint32_t key = rng() % 2 ? rng() : rng() % 500;
        map.SetAt(key, i);
        oracle[key] = i;
    }
    for (const auto& kv : oracle) {
        uint32_t v = 0;
        ASSERT_TRUE(map.Lookup(kv.first, v));
        EXPECT_EQ(kv.second, v);
    }
    const std::vector<std::pair<uint32_t, uint32_t>> sorted(oracle.begin(), oracle.end());
    EXPECT_EQ(sorted, Pairs(map));
}

// Room past 31-bit byte counts is refused, not cut down to a 2 GiB block.
TEST(CompactMapTest, DWordMapRefusesRoomPastTheBufferLimit)
{
    CountingAllocator alloc;
    {
        CKW_CMapDWordToDWord map(&alloc);
        map.EstimateSize(UINT_MAX, 1);
        map.EstimateSize(1, UINT_MAX);
        map.EstimateSize(0x10000000u, 0);
        EXPECT_EQ(0, alloc.allocs);
        map.SetAt(7, 70);
        uint32_t v = 0;
        EXPECT_TRUE(map.Lookup(7, v));
        EXPECT_EQ(70u, v);
    }
    EXPECT_TRUE(alloc.live.empty());
}

} // namespace
