// Base64 both ways: the standard vectors with their null-output lengths, a
// replaced coder and padding (wide forms only), and the string forms.
#include "CKW_Base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

const unsigned char* U(const char* s) { return reinterpret_cast<const unsigned char*>(s); }

std::string EncodeChars(const CKW_Base64Encoder& coder, const std::string& data)
{
    const int n = coder.Encode(U(data.data()), (int)data.size(), (char*)nullptr);
    std::string out(n + 1, '?');
    EXPECT_EQ(n, coder.Encode(U(data.data()), (int)data.size(), &out[0]));
    EXPECT_EQ('?', out[n]);   // nothing beyond the announced length
    out.resize(n);
    return out;
}

std::string DecodeChars(const CKW_Base64Decoder& coder, const std::string& text)
{
    const int n = coder.Decode(text.data(), (int)text.size(), nullptr);
    std::string out(n + 1, '?');
    EXPECT_EQ(n, coder.Decode(text.data(), (int)text.size(), (unsigned char*)&out[0]));
    EXPECT_EQ('?', out[n]);
    out.resize(n);
    return out;
}

TEST(Base64Test, Vectors)
{
    struct Case {
        std::string data, text;
    };
    const Case cases[] = {
        {"", ""},
        {"f", "Zg=="},
        {"fo", "Zm8="},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {"Man", "TWFu"},
        {"Ma", "TWE="},
        {"M", "TQ=="},
        {std::string("\0\xff\xfe\x80", 4), "AP/+gA=="},
    };
    CKW_Base64Encoder encoder;
    CKW_Base64Decoder decoder;
    for (const Case& c : cases) {
        EXPECT_EQ(c.text, EncodeChars(encoder, c.data));
        EXPECT_EQ(c.data, DecodeChars(decoder, c.text)) << c.text;
    }
    EXPECT_EQ(8, encoder.Encode(U("abcd"), 4, (char*)nullptr));
    EXPECT_EQ(0, encoder.Encode(U("abcd"), -1, (char*)nullptr));
}

TEST(Base64Test, ShortAndOddInput)
{
    CKW_Base64Decoder decoder;
    EXPECT_EQ("Ma", DecodeChars(decoder, "TWE"));
    EXPECT_EQ("M", DecodeChars(decoder, "TQ"));
    EXPECT_EQ("\x4c", DecodeChars(decoder, "T"));
    EXPECT_EQ("", DecodeChars(decoder, "===="));
    EXPECT_EQ(2, decoder.Decode("TWE=", 4, nullptr));
    EXPECT_EQ(1, decoder.Decode("T", 1, nullptr));
    // Outside the alphabet: garbage bits, never a read or write out of place.
    EXPECT_EQ(3u, DecodeChars(decoder, "\xc3\xa9!*").size());
}

TEST(Base64Test, RoundTripOfRandomData)
{
    std::mt19937 rng(1);
    CKW_Base64Encoder encoder;
    CKW_Base64Decoder decoder;
    for (int length = 0; length < 200; ++length) {
        std::string data(length, '\0');
        for (char& c : data)
            c = (char)rng();
        const std::string text = EncodeChars(encoder, data);
        EXPECT_EQ((length + 2) / 3 * 4, (int)text.size());
        EXPECT_EQ(data, DecodeChars(decoder, text));
    }
}

wchar_t ShiftedEncoder(int v) { return (wchar_t)(0x4E00 + v); }
uint8_t ShiftedDecoder(wchar_t ch) { return (uint8_t)(ch - 0x4E00); }

TEST(Base64Test, CustomCoderAndPaddingChangeOnlyTheWideForms)
{
    CKW_Base64Encoder encoder('*');
    encoder.SetEncoder(ShiftedEncoder);
    CKW_Base64Decoder decoder('*');
    decoder.SetDecoder(ShiftedDecoder);

    EXPECT_EQ("TWE=", EncodeChars(encoder, "Ma"));
    EXPECT_EQ("Ma", DecodeChars(decoder, "TWE="));

    wchar_t wide[4];
    ASSERT_EQ(4, encoder.Encode(U("Ma"), 2, wide));
    const wchar_t expected[4] = {0x4E00 + 19, 0x4E00 + 22, 0x4E00 + 4, L'*'};
    EXPECT_EQ(0, wmemcmp(expected, wide, 4));
    unsigned char bytes[4] = {};
    EXPECT_EQ(2, decoder.Decode(wide, 4, nullptr));
    ASSERT_EQ(2, decoder.Decode(wide, 4, bytes));
    EXPECT_EQ('M', bytes[0]);
    EXPECT_EQ('a', bytes[1]);

    // The string forms follow the object: UTF-8 of the custom characters.
    CKW_ByteString text;
    EXPECT_EQ(10, encoder.Encode(CKW_ByteStringC("Ma"), text));
    CKW_ByteString back;
    EXPECT_EQ(2, decoder.Decode(CKW_ByteStringC(text), back));
    EXPECT_EQ("Ma", back);
}

TEST(Base64Test, StringForms)
{
    CKW_Base64Encoder encoder;
    CKW_Base64Decoder decoder;
    CKW_WideString wide(L"untouched");
    EXPECT_EQ(0, encoder.Encode(CKW_ByteStringC(""), wide));
    EXPECT_EQ(L"untouched", wide);
    EXPECT_EQ(8, encoder.Encode(CKW_ByteStringC("foobar"), wide));
    EXPECT_EQ(L"Zm9vYmFy", wide);

    CKW_ByteString bytes("untouched");
    EXPECT_EQ(0, decoder.Decode(CKW_WideStringC(L"=="), bytes));
    EXPECT_EQ("untouched", bytes);
    EXPECT_EQ(6, decoder.Decode(CKW_WideStringC(wide), bytes));
    EXPECT_EQ("foobar", bytes);

    CKW_ByteString text;
    EXPECT_EQ(4, encoder.Encode(CKW_ByteStringC("\0\x01", 2), text));
    EXPECT_EQ("AAE=", text);
    EXPECT_EQ(2, decoder.Decode(CKW_ByteStringC(text), bytes));
    EXPECT_EQ(CKW_ByteStringC("\0\x01", 2), CKW_ByteStringC(bytes));
}

} // namespace
