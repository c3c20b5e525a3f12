// Chained hash maps against std::unordered_map, their growth, their memory
// and the hashes whose values callers may have stored.
#include "CKW_HashMap.h"
#include "CountingAllocator.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>
#include <string>
#include <unordered_map>

namespace {

void* P(uintptr_t v) { return reinterpret_cast<void*>(v); }

CKW_ByteStringC View(const std::string& s) { return CKW_ByteStringC(s.data(), static_cast<int>(s.size())); }

std::string Str(const CKW_ByteString& s) { return std::string(s.c_str(), s.GetLength()); }

// Short keys with zero bytes and a small alphabet, so that keys repeat and
// removed keys come back.
std::string RandomKey(std::mt19937& rng)
{
    std::uniform_int_distribution<int> length(0, 6), byte(0, 3);
    std::string key(length(rng), '\0');
    for (char& c : key)
        c = "a\0\xff" "b"[byte(rng)];
    return key;
}

TEST(HashMapTest, HashesKeepTheirValues)
{
    CKW_MapPtrToPtr pointers;
    EXPECT_EQ(0x94F6B3C6u, pointers.HashKey(P(0x0000000100020003ull)));
    unsigned bucket = 99;
    EXPECT_EQ(nullptr, pointers.GetAssocAt(P(0x0000000100020003ull), bucket));
    EXPECT_EQ(6u, bucket);

    CKW_MapByteStringToPtr strings;
    EXPECT_EQ(96354u, strings.HashKey("abc"));
    EXPECT_EQ(0u, strings.HashKey(""));
    EXPECT_EQ(0xFFu, strings.HashKey(CKW_ByteStringC("\xff", 1)));   // bytes count unsigned
    EXPECT_EQ(nullptr, strings.GetAssocAt("abc", bucket));
    EXPECT_EQ(2u, bucket);
}

TEST(HashMapTest, PointerMapAgreesWithOracle)
{
    CountingAllocator alloc;
    {
        CKW_MapPtrToPtr map(32, &alloc);
        std::unordered_map<uintptr_t, uintptr_t> oracle;
        std::mt19937 rng(17);
        std::uniform_int_distribution<int> op(0, 9);
        // Keys differ in every 16-bit lane, so all four parts of the hash matter.
        std::uniform_int_distribution<uint64_t> key(0, 3000);
        for (int i = 0; i < 20000; ++i) {
            const uint64_t k = key(rng) * 0x0001000100010001ull;
            const int o = op(rng);
            if (o < 5) {
                map[P(k)] = P(i + 1);
                oracle[k] = i + 1;
            } else if (o < 7) {
                EXPECT_EQ(oracle.erase(k) == 1, map.RemoveKey(P(k)));
            } else {
                void* v = P(0xdead);
                auto it = oracle.find(k);
                ASSERT_EQ(it != oracle.end(), map.Lookup(P(k), v));
                EXPECT_EQ(it != oracle.end() ? P(it->second) : P(0xdead), v);
                EXPECT_EQ(it != oracle.end() ? P(it->second) : nullptr, map.GetValueAt(P(k)));
            }
            ASSERT_EQ((int)oracle.size(), map.GetCount());
        }
        std::set<uintptr_t> seen;
        void* pos = P(~uintptr_t(0));
        while (pos) {
            void *k = nullptr, *v = nullptr;
            map.GetNextAssoc(pos, k, v);
            EXPECT_TRUE(seen.insert((uintptr_t)k).second);
            EXPECT_EQ(P(oracle.at((uintptr_t)k)), v);
        }
        EXPECT_EQ(oracle.size(), seen.size());
        // Entries come out of 32-entry blocks; the rest are tables.
        EXPECT_LT(alloc.allocs, 3001 / 32 + 1 + 20);
    }
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(0, alloc.foreignFrees);
}

TEST(HashMapTest, ByteStringMapAgreesWithOracle)
{
    ScopedCountingDefault heap;   // the keys' own blocks
    CountingAllocator alloc;
    {
        CKW_MapByteStringToPtr map(16, &alloc);
        std::unordered_map<std::string, uintptr_t> oracle;
        std::mt19937 rng(5);
        std::uniform_int_distribution<int> op(0, 9);
        for (int i = 0; i < 20000; ++i) {
            const std::string k = RandomKey(rng);
            const int o = op(rng);
            if (o < 5) {
                map[View(k)] = P(i + 1);
                oracle[k] = i + 1;
            } else if (o < 7) {
                EXPECT_EQ(oracle.erase(k) == 1, map.RemoveKey(View(k)));
            } else {
                void* v = nullptr;
                auto it = oracle.find(k);
                ASSERT_EQ(it != oracle.end(), map.Lookup(View(k), v));
                EXPECT_EQ(it != oracle.end() ? P(it->second) : nullptr, v);
            }
            ASSERT_EQ((int)oracle.size(), map.GetCount());
        }
        ASSERT_GT(oracle.size(), 1000u);
        std::set<std::string> seen;
        void* pos = P(~uintptr_t(0));
        while (pos) {
            CKW_ByteString k;
            void* v = nullptr;
            map.GetNextAssoc(pos, k, v);
            EXPECT_TRUE(seen.insert(Str(k)).second);
            EXPECT_EQ(P(oracle.at(Str(k))), v);
        }
        EXPECT_EQ(oracle.size(), seen.size());
        pos = P(~uintptr_t(0));
        size_t values = 0;
        while (pos) {
            map.GetNextValue(pos);
            values++;
        }
        EXPECT_EQ(oracle.size(), values);
        EXPECT_LT(alloc.allocs, 5461 / 16 + 1 + 20);   // 4^0 + ... + 4^6 keys at most
    }
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(0u, heap.LiveBlocks());
}

TEST(HashMapTest, TableDoublesWhenTheCountReachesItsSize)
{
    CKW_MapPtrToPtr pointers;
    CKW_MapByteStringToPtr strings;
    for (int i = 1; i <= 40; ++i) {
        pointers[P(i * 8)] = P(i);
        strings[std::to_string(i).c_str()] = P(i);
        const unsigned expected = i < 16 ? 16 : i < 32 ? 32 : 64;
        EXPECT_EQ(expected, pointers.GetHashTableSize()) << i;
        EXPECT_EQ(expected, strings.GetHashTableSize()) << i;
    }
    for (int i = 1; i <= 40; ++i) {
        EXPECT_EQ(P(i), pointers.GetValueAt(P(i * 8)));
        void* v = nullptr;
        EXPECT_TRUE(strings.Lookup(std::to_string(i).c_str(), v));
        EXPECT_EQ(P(i), v);
    }
}

TEST(HashMapTest, TableStopsGrowingPastTenThousandBuckets)
{
    CKW_MapPtrToPtr grown;
    for (int i = 1; i <= 40000; ++i)
        grown[P(i)] = P(i);
    EXPECT_EQ(16384u, grown.GetHashTableSize());

    CKW_MapByteStringToPtr sized;
    sized.InitHashTable(20011);
    for (int i = 0; i < 30000; ++i)
        sized[std::to_string(i).c_str()] = P(i + 1);
    EXPECT_EQ(20011u, sized.GetHashTableSize());
    EXPECT_EQ(30000, sized.GetCount());
    void* v = nullptr;
    EXPECT_TRUE(sized.Lookup("29999", v));
    EXPECT_EQ(P(30000), v);
}

TEST(HashMapTest, RemovingTheLastEntryReturnsAllMemory)
{
    CountingAllocator alloc;
    CKW_MapPtrToPtr map(4, &alloc);
    for (int i = 1; i <= 20; ++i)
        map[P(i)] = P(i);
    EXPECT_EQ(32u, map.GetHashTableSize());
    for (int i = 20; i >= 2; --i)
        map.RemoveKey(P(i));
    EXPECT_FALSE(alloc.live.empty());
    EXPECT_TRUE(map.RemoveKey(P(1)));
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_FALSE(map.RemoveKey(P(1)));

    // The next entry makes a table of the kept size.
    const long before = alloc.allocs;
    map[P(5)] = P(6);
    EXPECT_EQ(32u, map.GetHashTableSize());
    EXPECT_EQ(before + 2, alloc.allocs);   // one table, one block
    EXPECT_EQ(P(6), map.GetValueAt(P(5)));
}

TEST(HashMapTest, FreedEntriesAreReused)
{
    CountingAllocator alloc;
    CKW_MapByteStringToPtr map(8, &alloc);
    for (int i = 0; i < 8; ++i)
        map[std::to_string(i).c_str()] = P(i + 1);
    const long before = alloc.allocs;
    for (int round = 0; round < 100; ++round) {
        map.RemoveKey("3");
        map["x"] = P(round);
        map.RemoveKey("x");
        map["3"] = P(4);
    }
    EXPECT_EQ(before, alloc.allocs);
    EXPECT_EQ(8, map.GetCount());
}

TEST(HashMapTest, FailedGrowthLeavesTheMapWorking)
{
    CountingAllocator alloc;
    alloc.failAfter = 2;   // the first table and the first block
    CKW_MapPtrToPtr map(64, &alloc);
    for (int i = 1; i <= 64; ++i)
        map[P(i)] = P(i + 100);
    EXPECT_EQ(16u, map.GetHashTableSize());   // could not grow, still answers
    EXPECT_EQ(64, map.GetCount());
    for (int i = 1; i <= 64; ++i)
        EXPECT_EQ(P(i + 100), map.GetValueAt(P(i)));

    // No room for a 65th entry: the caller writes into a scratch slot.
    void*& slot = map[P(1000)];
    slot = P(7);
    EXPECT_EQ(64, map.GetCount());
    void* v = nullptr;
    EXPECT_FALSE(map.Lookup(P(1000), v));
}

TEST(HashMapTest, NothingStoredWithoutMemory)
{
    ScopedCountingDefault heap;
    CountingAllocator alloc;
    alloc.failAfter = 0;
    {
        CKW_MapByteStringToPtr map(10, &alloc);
        map["key"] = P(1);
        EXPECT_EQ(0, map.GetCount());
        void* pos = P(~uintptr_t(0));
        EXPECT_EQ(nullptr, map.GetCurrentAssoc(pos));
        EXPECT_EQ(nullptr, pos);

        // Table and block succeed, the key's own copy does not.
        alloc.failAfter = -1;
        heap.sys.failNext = true;
        map["a long enough key"] = P(2);
        EXPECT_EQ(0, map.GetCount());
        void* v = nullptr;
        EXPECT_FALSE(map.Lookup("", v));
        EXPECT_FALSE(map.Lookup("a long enough key", v));
        EXPECT_TRUE(alloc.live.empty());
    }
    EXPECT_EQ(0u, heap.LiveBlocks());
}

TEST(HashMapTest, InitHashTableDropsEntriesItCouldNotReach)
{
    ScopedCountingDefault heap;
    CountingAllocator alloc;
    {
        CKW_MapByteStringToPtr map(10, &alloc);
        map["one"] = P(1);
        map["two"] = P(2);
        map.InitHashTable(101, false);
        EXPECT_EQ(0, map.GetCount());
        EXPECT_TRUE(alloc.live.empty());
        map["three"] = P(3);
        EXPECT_EQ(101u, map.GetHashTableSize());
        EXPECT_EQ(1, map.GetCount());
    }
    EXPECT_EQ(0u, heap.LiveBlocks());
}

// A table size past what any request may ask for is refused: the map keeps
// its entries and its table and goes on storing, for both kinds of keys.
TEST(HashMapTest, InitHashTableRefusesASizeNoTableCanHave)
{
    ScopedCountingDefault heap;
    {
        CKW_MapPtrToPtr pointers(10);
        CKW_MapByteStringToPtr strings(10);
        pointers[P(1)] = P(10);
        strings["one"] = P(1);
        const unsigned size = pointers.GetHashTableSize();
        const int allocs = heap.sys.allocs;
        for (unsigned huge : {UINT_MAX, 0x10000000u}) {
            pointers.InitHashTable(huge);
            strings.InitHashTable(huge, false);
            EXPECT_EQ(size, pointers.GetHashTableSize()) << huge;
            EXPECT_EQ(1, pointers.GetCount()) << huge;
            EXPECT_EQ(1, strings.GetCount()) << huge;
        }
        EXPECT_EQ(allocs, heap.sys.allocs);
        pointers[P(2)] = P(20);
        strings["two"] = P(2);
        void* v = nullptr;
        EXPECT_TRUE(pointers.Lookup(P(2), v) && v == P(20));
        EXPECT_TRUE(strings.Lookup("one", v) && v == P(1));
        EXPECT_TRUE(strings.Lookup("two", v) && v == P(2));
    }
    EXPECT_EQ(0u, heap.LiveBlocks());
}

} // namespace
