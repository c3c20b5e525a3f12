// The 848-word twister's sequence, the system-drawn sources and GUIDs.
#include "KW_Random.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <set>
#include <vector>

namespace {

TEST(RandomTest, TwisterSequence)
{
    void* state = KW_Random_MT_Start(5489);
    ASSERT_NE(nullptr, state);
    std::vector<uint32_t> words;
    for (int i = 0; i < 2000; ++i)
        words.push_back(KW_Random_MT_Generate(state));
    KW_Random_MT_Close(state);
    EXPECT_EQ(386868661u, words[0]);
    EXPECT_EQ(1437503590u, words[1]);
    EXPECT_EQ(1110257047u, words[2]);
    // Across the first regeneration of the 848 words, and well past it.
    EXPECT_EQ(2749966752u, words[847]);
    EXPECT_EQ(3455191406u, words[848]);
    EXPECT_EQ(1194231712u, words[1999]);

    void* again = KW_Random_MT_Start(5489);
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(words[i], KW_Random_MT_Generate(again));
    KW_Random_MT_Close(again);
    EXPECT_EQ(0u, KW_Random_MT_Generate(nullptr));
}

TEST(RandomTest, SourcesFillWhatTheyAreAskedFor)
{
    uint32_t words[9];
    const uint32_t marker = 0x5A5A5A5A;
    using Fill = void (*)(uint32_t*, int32_t);
    const Fill crypto = [](uint32_t* buffer, int32_t count) { EXPECT_TRUE(KW_Random_GenerateCrypto(buffer, count)); };
    for (Fill generate : {Fill(KW_Random_GenerateBase), crypto, Fill(KW_Random_GenerateMT)}) {
        std::fill(std::begin(words), std::end(words), marker);
        generate(words, 0);
        generate(words, -3);
        EXPECT_EQ(marker, words[0]);
        generate(words, 8);
        EXPECT_EQ(marker, words[8]);
        std::set<uint32_t> distinct(words, words + 8);
        EXPECT_GT(distinct.size(), 4u);   // not one repeated word
    }
}

TEST(RandomTest, CryptoWordsDoNotRepeatAcrossCalls)
{
    // Seeding from the clock would give equal words to calls made together.
    std::set<uint32_t> seen;
    for (int i = 0; i < 1000; ++i) {
        uint32_t w[2];
        KW_Random_GenerateCrypto(w, 2);
        seen.insert(w[0]);
        seen.insert(w[1]);
    }
    EXPECT_GT(seen.size(), 1990u);
}

// When the system's source fails, the crypto words are refused, never made
// from the clock-seeded C library generator.
TEST(RandomTest, CryptoFailsWhenTheSystemSourceFails)
{
    struct Case {
        const char* what;
        KW_RANDOM_SOURCE source;
        bool ok;
    } cases[] = {
        {"source fails at once", [](void*, size_t) { return false; }, false},
        {"source fails part way", [](void* buffer, size_t size) {
             std::memset(buffer, 0xAB, size / 2);
             return false;
         }, false},
        {"source delivers", [](void* buffer, size_t size) {
             std::memset(buffer, 0xCD, size);
             return true;
         }, true},
    };
    for (const Case& c : cases) {
        uint32_t words[4] = {1, 2, 3, 4};
        KW_RANDOM_SOURCE previous = KW_Random_SetSystemSource(c.source);
        const bool ok = KW_Random_GenerateCrypto(words, 4);
        KW_Random_SetSystemSource(previous);
        EXPECT_EQ(ok, c.ok) << c.what;
        for (uint32_t w : words)
            EXPECT_EQ(w, c.ok ? 0xCDCDCDCDu : 0u) << c.what;
    }
    uint32_t word = 0;
    EXPECT_TRUE(KW_Random_GenerateCrypto(&word, 0)) << "nothing asked, nothing to fail";
    EXPECT_FALSE(KW_Random_GenerateCrypto(nullptr, 1));
    EXPECT_TRUE(KW_Random_GenerateCrypto(&word, 1)) << "the system's source is back";
}

// From the system's source, and with it failing: identifiers made in a
// tight loop never repeat either way.
TEST(RandomTest, GuidsAreDistinctVersionFour)
{
    struct Case {
        const char* what;
        KW_RANDOM_SOURCE source;   // null: the system's own
        int count;
    } cases[] = {
        {"system source", nullptr, 200000},
        {"system source failing", [](void*, size_t) { return false; }, 100000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KW_RANDOM_SOURCE previous = KW_Random_SetSystemSource(c.source);
        std::set<std::array<uint8_t, 16>> seen;
        std::set<uint8_t> byte8;
        int repeated = 0;
        bool version4 = true;
        for (int i = 0; i < c.count; ++i) {
            std::array<uint8_t, 16> guid;
            KW_GUID_CreateV4(guid.data());
            version4 = version4 && (guid[6] & 0xF0) == 0x40;
            byte8.insert(guid[8]);
            repeated += seen.insert(guid).second ? 0 : 1;
        }
        KW_Random_SetSystemSource(previous);
        EXPECT_TRUE(version4);
        EXPECT_EQ(repeated, 0);
        EXPECT_GT(byte8.size(), 200u);   // no variant bits forced
    }
}

} // namespace
