// The library's one conversion between wide strings and QString: valid text
// passes both ways unchanged, what is not a character becomes U+FFFD.
#include "WideQt.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>
#include <vector>

namespace {

std::vector<ushort> Utf16(const QString& text) { return std::vector<ushort>(text.utf16(), text.utf16() + text.size()); }

QString FromUnits(std::initializer_list<ushort> units)
{
    QString text;
    for (ushort unit : units)
        text.append(QChar(unit));
    return text;
}

TEST(WideQt, WideToQStringKeepsCharactersAndReplacesWhatIsNone)
{
    const struct {
        const char* name;
        std::wstring wide;
        std::vector<ushort> utf16;
    } cases[] = {
        {"empty", L"", {}},
        {"ascii", L"Ok", {'O', 'k'}},
        {"bmp ends", std::wstring{wchar_t(0xD7FF), wchar_t(0xE000), wchar_t(0xFFFF)}, {0xD7FF, 0xE000, 0xFFFF}},
        {"astral", std::wstring{wchar_t(0x1F600)}, {0xD83D, 0xDE00}},
        {"last code point", std::wstring{wchar_t(0x10FFFF)}, {0xDBFF, 0xDFFF}},
        {"embedded nul", std::wstring(L"a\0b", 3), {'a', 0, 'b'}},
        // Two wide surrogates are two non-characters, never one emoji.
        {"wide surrogate pair", std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}, {0xFFFD, 0xFFFD}},
        {"lone surrogate", std::wstring{L'x', wchar_t(0xDC00), L'y'}, {'x', 0xFFFD, 'y'}},
        {"beyond unicode", std::wstring{wchar_t(0x110000), L'z'}, {0xFFFD, 'z'}},
        {"all bits", std::wstring{static_cast<wchar_t>(-1)}, {0xFFFD}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf16(AUILib::ToQString(c.wide)), c.utf16);
    }
}

TEST(WideQt, QStringToWideJoinsPairsAndReplacesUnpairedSurrogates)
{
    const struct {
        const char* name;
        QString text;
        std::wstring wide;
    } cases[] = {
        {"empty", QString(), L""},
        {"ascii", QStringLiteral("Ok"), L"Ok"},
        {"pair", FromUnits({0xD83D, 0xDE00}), std::wstring{wchar_t(0x1F600)}},
        {"lone high at end", FromUnits({'a', 0xD83D}), std::wstring{L'a', wchar_t(0xFFFD)}},
        {"lone low", FromUnits({0xDE00, 'b'}), std::wstring{wchar_t(0xFFFD), L'b'}},
        {"reversed pair", FromUnits({0xDE00, 0xD83D}), std::wstring{wchar_t(0xFFFD), wchar_t(0xFFFD)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AUILib::ToWide(c.text), c.wide);
    }
}

TEST(WideQt, ValidTextSurvivesTheRoundTrip)
{
    const std::wstring text = std::wstring(L"Grüße, ") + wchar_t(0x4E16) + wchar_t(0x1F600) + wchar_t(0x10FFFF);
    EXPECT_EQ(AUILib::ToWide(AUILib::ToQString(text)), text);
}

} // namespace
