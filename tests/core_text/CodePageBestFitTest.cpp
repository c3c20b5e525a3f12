// Which mappings the code-page tables hold: the published pages' round-trip
// mappings, not the one-way "best fit" encodings that the C library's iconv
// adds (the tables' generator reads iconv, so iconv cannot be the judge here).
// The rows were checked by hand against the published tables, and every run
// checks them again against Qt's codecs (ICU's Windows-compatible tables).
#include "KW_CodePage.h"

#include <QByteArray>
#include <QString>
#include <QTextCodec>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct MappingRow {
    const char* name;
    unsigned short codePage;
    const char* codec;       // Qt's name for the page
    char32_t codePoint;
    std::string bytes;       // empty: the page has no code for it
};

void PrintTo(const MappingRow& row, std::ostream* os) { *os << row.name; }

const MappingRow kRows[] = {
    // Best-fit encodings left out: a yen sign is not a backslash, an overline
    // is not a tilde, a cent sign is not the full-width one.
    {"cp932_yen_sign_has_no_code", 932, "windows-932", 0x00A5, ""},
    {"cp932_overline_has_no_code", 932, "windows-932", 0x203E, ""},
    {"cp932_cent_sign_has_no_code", 932, "windows-932", 0x00A2, ""},
    {"cp932_em_dash_has_no_code", 932, "windows-932", 0x2014, ""},
    {"cp1258_grave_tone_mark_has_no_code", 1258, "windows-1258", 0x0340, ""},
    {"cp1258_acute_tone_mark_has_no_code", 1258, "windows-1258", 0x0341, ""},
    // The round-trip mappings those stood in for.
    {"cp932_backslash", 932, "windows-932", 0x005C, "\x5C"},
    {"cp932_tilde", 932, "windows-932", 0x007E, "\x7E"},
    {"cp932_fullwidth_cent", 932, "windows-932", 0xFFE0, "\x81\x91"},
    {"cp932_horizontal_bar", 932, "windows-932", 0x2015, "\x81\x5C"},
    {"cp932_small_roman_one", 932, "windows-932", 0x2170, "\xFA\x40"},
    {"cp1258_combining_grave", 1258, "windows-1258", 0x0300, "\xCC"},
    {"cp1258_combining_acute", 1258, "windows-1258", 0x0301, "\xEC"},
    {"cp1258_euro", 1258, "windows-1258", 0x20AC, "\x80"},
};

class CodePageMappings : public ::testing::TestWithParam<MappingRow> {};

TEST_P(CodePageMappings, HoldRoundTripsOnly)
{
    const MappingRow& row = GetParam();
    const wchar_t ch = static_cast<wchar_t>(row.codePoint);

    char out[4] = {};
    int srcLen = 1, dstLen = sizeof out;
    const int result = KW_EncodeString(row.codePage, &ch, &srcLen, out, &dstLen, true);
    EXPECT_EQ(result, row.bytes.empty() ? 0 : 1);
    EXPECT_EQ(std::string(out, result == 1 ? dstLen : 0), row.bytes);
    if (!row.bytes.empty()) {
        wchar_t decoded[2] = {};
        int byteLen = static_cast<int>(row.bytes.size()), charLen = 2;
        ASSERT_EQ(KW_DecodeString(row.codePage, row.bytes.data(), &byteLen, decoded, &charLen, true), 1);
        EXPECT_EQ(charLen, 1);
        EXPECT_EQ(decoded[0], ch);
    }

    // The oracle agrees with the row.
    QTextCodec* codec = QTextCodec::codecForName(row.codec);
    ASSERT_NE(codec, nullptr) << row.codec;
    QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
    const QString text = QString::fromUcs4(&row.codePoint, 1);
    const QByteArray encoded = codec->fromUnicode(text.constData(), text.size(), &state);
    EXPECT_EQ(state.invalidChars == 0 ? encoded.toStdString() : std::string(), row.bytes);
}

INSTANTIATE_TEST_SUITE_P(Rows, CodePageMappings, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<MappingRow>& info) { return std::string(info.param.name); });

// The same holds through the character maps: best-fit characters become the
// page's default character instead of a different ASCII one.
TEST(CodePageMaps, BestFitCharactersBecomeTheDefault)
{
    int srcLen = 3, dstLen = 3;
    const wchar_t path[] = {L'a', 0x00A5, L'b'};
    char out[3];
    ASSERT_EQ(KW_EncodeString(932, path, &srcLen, out, &dstLen, false), 1);
    EXPECT_EQ(std::string(out, dstLen), "a?b");
}

} // namespace
