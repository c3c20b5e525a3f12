// The installed font families as the library lists them.
#include "AUILibUtils.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

AUILib::FontData Named(const std::wstring& name)
{
    AUILib::FontData data;
    data.faceName = name;
    return data;
}

const AUILib::FontData* Find(const std::vector<AUILib::FontData>& fonts, const std::wstring& name)
{
    for (const AUILib::FontData& font : fonts) {
        if (font.faceName == name)
            return &font;
    }
    return nullptr;
}

TEST(FontList, CompareOrdersByFaceNameAlone)
{
    const struct { std::wstring a; std::wstring b; bool before; } kCases[] = {
        {L"a", L"b", true},    {L"b", L"a", false},   {L"ab", L"abc", true}, {L"abc", L"ab", false},
        {L"ab", L"ab", false}, {L"B", L"a", true},    {L"", L"a", true},     {L"z", L"\u00E9", true},
        {L"\U0001F600", L"\uFFFF", false},
    };
    for (const auto& c : kCases) {
        AUILib::FontData a = Named(c.a);
        AUILib::FontData b = Named(c.b);
        a.pointSize = 30;   // nothing but the name takes part
        b.bold = 1;
        EXPECT_EQ(compareFontData(a, b), c.before)
            << QString::fromStdWString(c.a).toStdString() << " / " << QString::fromStdWString(c.b).toStdString();
    }
}

TEST(FontList, SystemFontsAreSortedAndKeepWhatTheVectorHeld)
{
    std::vector<AUILib::FontData> fonts = {Named(L"zzzz held before"), Named(L"0000 held before")};
    ASSERT_TRUE(AUILibUtils::GetSystemFonts(fonts, false));
    ASSERT_GT(fonts.size(), 2u);
    EXPECT_TRUE(std::is_sorted(fonts.begin(), fonts.end(), compareFontData));
    EXPECT_EQ(fonts.front().faceName, L"0000 held before");
    EXPECT_EQ(fonts.back().faceName, L"zzzz held before");
    for (const AUILib::FontData& font : fonts) {
        ASSERT_FALSE(font.faceName.empty());
        EXPECT_NE(font.faceName[0], L'.');
        if (font.faceName.find(L"held before") != std::wstring::npos)
            continue;
        EXPECT_EQ(font.underline, 0);
        EXPECT_TRUE(font.bold == 0 || font.bold == 1);
        EXPECT_TRUE(font.italic == 0 || font.italic == 1);
        EXPECT_TRUE(font.symbolFamily == 0 || font.symbolFamily == 1);
    }
}

TEST(FontList, SymbolFamiliesAreMarkedOrLeftOut)
{
    // "DejaVu Sans" is on the symbol list and is the font Qt itself needs
    // on Debian.
    std::vector<AUILib::FontData> all;
    ASSERT_TRUE(EnumFonts(all, false));
    const AUILib::FontData* dejaVu = Find(all, L"DejaVu Sans");
    ASSERT_NE(dejaVu, nullptr);
    EXPECT_EQ(dejaVu->symbolFamily, 1);
    const AUILib::FontData* mono = Find(all, L"DejaVu Sans Mono");
    if (mono) {
        EXPECT_EQ(mono->symbolFamily, 0);   // exact names only
    }

    std::vector<AUILib::FontData> text;
    ASSERT_TRUE(EnumFonts(text, true));
    EXPECT_EQ(Find(text, L"DejaVu Sans"), nullptr);
    EXPECT_EQ(text.size(), all.size() - static_cast<std::size_t>(std::count_if(all.begin(), all.end(), [](const AUILib::FontData& f) {
                                            return f.symbolFamily == 1;
                                        })));
    for (const AUILib::FontData& font : text)
        EXPECT_EQ(font.symbolFamily, 0) << QString::fromStdWString(font.faceName).toStdString();
}

} // namespace
