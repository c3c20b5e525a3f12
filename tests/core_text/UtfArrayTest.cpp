// UTF-8 and UTF-16 array functions over caller buffers.
#include "KW_UTF.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::wstring chars;   // what the array decoder produces
    int consumed;         // bytes of complete characters
};

std::wstring W(std::initializer_list<uint32_t> cps)
{
    std::wstring s;
    for (uint32_t c : cps) s.push_back(static_cast<wchar_t>(c));
    return s;
}

void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name << " " << ::testing::PrintToString(c.bytes); }

class Utf8ArrayDecode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8ArrayDecode, Table)
{
    const DecodeCase& c = GetParam();
    std::vector<wchar_t> out(c.bytes.size() + 1);
    int srcLen = static_cast<int>(c.bytes.size()), dstLen = static_cast<int>(out.size());
    ASSERT_EQ(KW_UTF8Decode(c.bytes.data(), &srcLen, out.data(), &dstLen), 1);
    EXPECT_EQ(std::wstring(out.data(), dstLen), c.chars);
    EXPECT_EQ(srcLen, c.consumed);
    // Counting alone gives the same numbers.
    int countSrc = static_cast<int>(c.bytes.size()), countDst = 0;
    ASSERT_EQ(KW_UTF8Decode(c.bytes.data(), &countSrc, nullptr, &countDst), 1);
    EXPECT_EQ(countDst, static_cast<int>(c.chars.size()));
    EXPECT_EQ(countSrc, c.consumed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8ArrayDecode,
    ::testing::Values(
        DecodeCase{"ascii", "abc", L"abc", 3},
        DecodeCase{"two_byte", "\xC3\xA9", W({0xE9}), 2},
        DecodeCase{"three_byte", "\xE2\x82\xAC", W({0x20AC}), 3},
        DecodeCase{"four_byte", "\xF0\x9F\x98\x80", W({0x1F600}), 4},
        DecodeCase{"six_byte_max", "\xFD\xBF\xBF\xBF\xBF\xBF", W({0x7FFFFFFF}), 6},
        DecodeCase{"surrogate_kept", "\xED\xA0\x80", W({0xD800}), 3},
        DecodeCase{"overlong_nul", "\xC0\x80", W({0xFFFD}), 2},
        DecodeCase{"overlong_slash", "a\xC0\xAF" "b", W({'a', 0xFFFD, 'b'}), 4},
        DecodeCase{"overlong_three", "\xE0\x80\xAF", W({0xFFFD}), 3},
        DecodeCase{"overlong_four", "\xF0\x82\x82\xAC", W({0xFFFD}), 4},
        DecodeCase{"truncated_at_end", "a\xE2\x82", L"a", 1},
        DecodeCase{"truncated_then_ascii", "\xC3" "A", L"A", 2},
        DecodeCase{"stray_continuation_stops", "a\xA9" "b", L"a", 1},
        DecodeCase{"invalid_lead_stops", "a\xFE" "b", L"a", 1},
        DecodeCase{"nul_byte", std::string("a\0b", 3), W({'a', 0, 'b'}), 3}),
    [](const ::testing::TestParamInfo<DecodeCase>& info) { return std::string(info.param.name); });

TEST(Utf8Array, DecodeStopsWhenDestinationIsFull)
{
    wchar_t out[1];
    int srcLen = 2, dstLen = 1;
    ASSERT_EQ(KW_UTF8Decode("ab", &srcLen, out, &dstLen), 1);
    EXPECT_EQ(out[0], L'a');
    EXPECT_EQ(srcLen, 1);
    EXPECT_EQ(dstLen, 1);
    EXPECT_EQ(KW_UTF8Decode("ab", nullptr, out, &dstLen), -1);
}

TEST(Utf8Array, EncodeWritesWholeCodePoints)
{
    const wchar_t text[] = {L'a', static_cast<wchar_t>(0xE9), static_cast<wchar_t>(0x1F600), static_cast<wchar_t>(0x7FFFFFFF)};
    char out[32];
    int srcLen = 4, dstLen = sizeof out;
    ASSERT_EQ(KW_UTF8Encode(text, &srcLen, out, &dstLen), 1);
    EXPECT_EQ(srcLen, 4);
    EXPECT_EQ(std::string(out, dstLen), "a\xC3\xA9\xF0\x9F\x98\x80\xFD\xBF\xBF\xBF\xBF\xBF");
    // Too small for the emoji: only what was written is reported.
    srcLen = 4;
    dstLen = 5;
    ASSERT_EQ(KW_UTF8Encode(text, &srcLen, out, &dstLen), 1);
    EXPECT_EQ(srcLen, 2);
    EXPECT_EQ(dstLen, 3);
    // Counting only.
    srcLen = 4;
    dstLen = 0;
    ASSERT_EQ(KW_UTF8Encode(text, &srcLen, nullptr, &dstLen), 1);
    EXPECT_EQ(dstLen, 1 + 2 + 4 + 6);
    // Negative values are not characters and produce nothing.
    const wchar_t bad[] = {static_cast<wchar_t>(0x80000000u), L'x'};
    srcLen = 2;
    dstLen = sizeof out;
    ASSERT_EQ(KW_UTF8Encode(bad, &srcLen, out, &dstLen), 1);
    EXPECT_EQ(std::string(out, dstLen), "x");
}

TEST(Utf8Array, IsUTF8Data)
{
    struct Case {
        std::string bytes;
        bool valid;
        int length;
    } cases[] = {
        {"abc", true, 0},
        {"a\xC3\xA9" "b", true, 3},
        {"\xC3" "A", false, 0},
        {"x\xE2\x82\xAC" "y\xE2\x82", true, 4},   // unfinished sequence at the end is accepted
        {"\xA9", false, 0},
        {"a\xFF", false, 0},
    };
    for (const Case& c : cases) {
        int length = static_cast<int>(c.bytes.size());
        EXPECT_EQ(KW_IsUTF8Data(reinterpret_cast<const unsigned char*>(c.bytes.data()), &length), c.valid) << c.bytes;
        if (c.valid) {
            EXPECT_EQ(length, c.length) << c.bytes;
        }
    }
    int zero = 0;
    EXPECT_TRUE(KW_IsUTF8Data(nullptr, &zero));
}

TEST(Utf16Units, CopyFormsCombineAndSplitSurrogates)
{
    const unsigned short units[] = {0x41, 0xD83D, 0xDE00, 0xDC00, 0xD800, 0x42};
    wchar_t chars[6];
    int n = KW_UTF16ToWCharCopy(units, chars, 6);
    ASSERT_EQ(n, 5);
    EXPECT_EQ(std::wstring(chars, n), W({0x41, 0x1F600, 0xDC00, 0xD800, 0x42}));
    unsigned short back[10];
    int m = KW_WCharToUTF16Copy(chars, back, n);
    ASSERT_EQ(m, 6);
    EXPECT_EQ(std::memcmp(back, units, sizeof units), 0);
}

TEST(Utf16Units, InPlaceFormsMatchCopyForms)
{
    // Every mix of BMP characters, pairs and lone surrogates up to a few units.
    const unsigned short alphabet[] = {0x61, 0xD83D, 0xDE00, 0xFFFF};
    for (int length = 1; length <= 6; ++length) {
        int combos = 1;
        for (int i = 0; i < length; ++i) combos *= 4;
        for (int code = 0; code < combos; ++code) {
            unsigned short units[6];
            for (int i = 0, c = code; i < length; ++i, c /= 4) units[i] = alphabet[c % 4];
            wchar_t expected[6];
            int n = KW_UTF16ToWCharCopy(units, expected, length);
            wchar_t buffer[6];
            std::memcpy(buffer, units, length * 2);
            ASSERT_EQ(KW_UTF16ToWChar(buffer, length), n);
            ASSERT_EQ(std::memcmp(buffer, expected, n * sizeof(wchar_t)), 0) << "code " << code << " length " << length;
            // And back in place.
            ASSERT_EQ(KW_WCharToUTF16(buffer, n), length);
            ASSERT_EQ(std::memcmp(buffer, units, length * 2), 0);
        }
    }
}

TEST(Utf16Units, OutOfRangeValuesBecomeReplacementCharacter)
{
    const wchar_t chars[] = {static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1)};
    unsigned short units[4];
    ASSERT_EQ(KW_WCharToUTF16Copy(chars, units, 2), 2);
    EXPECT_EQ(units[0], 0xFFFD);
    EXPECT_EQ(units[1], 0xFFFD);
}

TEST(Utf16Units, SwapByteOrder)
{
    wchar_t text[] = {0x1234, 0x00FF, 0x1ABCD, 0};
    KW_SwapByteOrder(text, -1);
    EXPECT_EQ(text[0], 0x3412);
    EXPECT_EQ(text[1], 0xFF00);
    EXPECT_EQ(text[2], 0x1CDAB);
    wchar_t copy[3];
    KW_SwapByteOrderCopy(text, copy, 3);
    EXPECT_EQ(copy[0], 0x1234);
    EXPECT_EQ(copy[2], 0x1ABCD);
}

TEST(Utf8Bulk, DecoderSemanticsAndRoundTrip)
{
    // Interrupted sequences vanish, stray bytes are ignored, overlong forms
    // and zero code points become U+FFFD.
    const std::string bytes = "a\xC3" "A\xA9\xFE\xC0\x80\xE2\x82\xAC" "12345678\xF0\x9F\x98\x80\xE2";
    std::vector<wchar_t> out(bytes.size());
    size_t n = KW_UTF8DecodeBulk(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data());
    EXPECT_EQ(std::wstring(out.data(), n), W({'a', 'A', 0xFFFD, 0x20AC, '1', '2', '3', '4', '5', '6', '7', '8', 0x1F600}));

    std::wstring text = W({'h', 0xE9, 0x800, 0xFFFF, 0x10000, 0x10FFFF, 0x200000, 0x7FFFFFFF});
    std::string enc(KW_UTF8EncodedSize(text.data(), text.size()), '\0');
    ASSERT_EQ(KW_UTF8EncodeBulk(text.data(), text.size(), &enc[0]), enc.size());
    std::vector<wchar_t> dec(enc.size());
    n = KW_UTF8DecodeBulk(reinterpret_cast<const unsigned char*>(enc.data()), enc.size(), dec.data());
    EXPECT_EQ(std::wstring(dec.data(), n), text);
}

// The bulk path must give exactly what the decoder object gives, byte for
// byte, on any input: short random runs drawn so that leads, continuations,
// the never-valid bytes FE/FF and ASCII all meet each other often.
TEST(Utf8Bulk, AgreesWithTheDecoderObjectOnRandomBytes)
{
    std::mt19937 rng(16);
    std::uniform_int_distribution<int> kind(0, 5), length(0, 12);
    auto randomByte = [&]() -> unsigned char {
        switch (kind(rng)) {
        case 0: return static_cast<unsigned char>(std::uniform_int_distribution<int>(0x00, 0x7F)(rng));
        case 1:
        case 2: return static_cast<unsigned char>(std::uniform_int_distribution<int>(0x80, 0xBF)(rng));
        case 3: return static_cast<unsigned char>(std::uniform_int_distribution<int>(0xC0, 0xF7)(rng));
        case 4: return static_cast<unsigned char>(std::uniform_int_distribution<int>(0xF8, 0xFD)(rng));
        default: return static_cast<unsigned char>(std::uniform_int_distribution<int>(0xFE, 0xFF)(rng));
        }
    };
    int differences = 0;
    for (int round = 0; round < 200000; ++round) {
        std::vector<unsigned char> bytes(static_cast<size_t>(length(rng)));
        for (unsigned char& b : bytes) b = randomByte();
        CKW_UTF8Decoder decoder;
        for (unsigned char b : bytes) decoder.Input(b);
        const std::wstring expected(decoder.GetResult().GetPtr() ? decoder.GetResult().GetPtr() : L"",
                                    decoder.GetResult().GetLength());
        std::vector<wchar_t> out(bytes.size() + 1);
        const size_t n = KW_UTF8DecodeBulk(bytes.data(), bytes.size(), out.data());
        if (std::wstring(out.data(), n) != expected && ++differences <= 5)
            ADD_FAILURE() << "bytes " << ::testing::PrintToString(std::string(bytes.begin(), bytes.end()));
    }
    EXPECT_EQ(differences, 0);
    // The case that first showed the difference: FE inside a sequence.
    const unsigned char interrupted[] = {0xC3, 0xFE, 0xA9};
    wchar_t out[3];
    ASSERT_EQ(KW_UTF8DecodeBulk(interrupted, 3, out), 1u);
    EXPECT_EQ(out[0], static_cast<wchar_t>(0xE9));
}

} // namespace
