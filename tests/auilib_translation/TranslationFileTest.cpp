// Readers of translation files and string tables, in the plain format (the
// enciphered path is the same after reading; TranslatorTest covers it).
#include "AUILibConfig.h"
#include "LanguageFileDir.h"
#include "LanguageFileXml.h"
#include "QtTSLoader.h"
#include "TranslationStringTable.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

using Pairs = std::map<std::wstring, std::map<std::uint64_t, std::wstring>>;

std::optional<Pairs> PairsOf(const std::unique_ptr<TSTranslationUnit>& unit)
{
    if (!unit)
        return std::nullopt;
    Pairs pairs;
    for (const auto& file : unit->GetFiles())
        pairs[file.first] = std::map<std::uint64_t, std::wstring>(file.second.begin(), file.second.end());
    return pairs;
}

QByteArray Ts(const QByteArray& language, const QByteArray& messages)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n<TS version=\"2.1\" language=\"" + language +
           "\">\n<context>\n<name>C</name>\n" + messages + "</context>\n</TS>\n";
}

QByteArray Message(const QByteArray& file, const QByteArray& line, const QByteArray& translation)
{
    return "<message><location filename=\"" + file + "\" line=\"" + line + "\"/><source>s</source><translation>" +
           translation + "</translation></message>\n";
}

std::uint64_t Negative(int line) { return static_cast<std::uint64_t>(static_cast<std::int64_t>(line)); }

class LanguageFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        AUILib::SetCurrentLanguage(L"de-DE", false);
        AUILib::SetWorkingDirPath(dir.Path());
    }
    void TearDown() override { AUILib::SetCurrentLanguage(L"de-DE", true); }

    LanguageFileDir dir;
};

struct TsCase {
    const char* name;
    QByteArray bytes;
    std::optional<Pairs> expected;
};

TEST_F(LanguageFiles, TranslationFileTable)
{
    const QByteArray bom("\xEF\xBB\xBF");
    const std::vector<TsCase> cases = {
        {"language written with underscore", Ts("de_DE", Message("main.ui", "3", "x")), std::nullopt},
        {"language of another country", Ts("de-AT", Message("main.ui", "3", "x")), std::nullopt},
        {"folder part dropped", Ts("de-DE", Message("../forms/main.ui", "3", "Drei")),
         Pairs{{L"main.ui", {{3, L"Drei"}}}}},
        {"backslashes are no separator", Ts("de-DE", Message("..\\forms\\main.ui", "3", "Drei")),
         Pairs{{L"..\\forms\\main.ui", {{3, L"Drei"}}}}},
        {"first message for a line wins",
         Ts("de-DE", Message("a.ui", "5", "first") + Message("b/a.ui", "5", "second") + Message("a.ui", "6", "six")),
         Pairs{{L"a.ui", {{5, L"first"}, {6, L"six"}}}}},
        {"blank before the number", Ts("de-DE", Message("a.ui", " 7", "x")), Pairs{{L"a.ui", {{7, L"x"}}}}},
        {"letters after the number", Ts("de-DE", Message("a.ui", "12abc", "x")), Pairs{{L"a.ui", {{12, L"x"}}}}},
        {"negative line sorts last", Ts("de-DE", Message("a.ui", "-3", "n") + Message("a.ui", "4", "p")),
         Pairs{{L"a.ui", {{4, L"p"}, {Negative(-3), L"n"}}}}},
        {"no digits discards the file", Ts("de-DE", Message("a.ui", "1", "ok") + Message("a.ui", "abc", "x")),
         std::nullopt},
        {"2^31 discards the file", Ts("de-DE", Message("a.ui", "2147483648", "x")), std::nullopt},
        {"-2^31 is read", Ts("de-DE", Message("a.ui", "-2147483648", "x")),
         Pairs{{L"a.ui", {{Negative(-2147483647 - 1), L"x"}}}}},
        {"markup characters escaped, quotes kept",
         Ts("de-DE", Message("a.ui", "1", "a &lt; b &amp; c &gt; d \"q\" 'x'")),
         Pairs{{L"a.ui", {{1, L"a &lt; b &amp; c &gt; d \"q\" 'x'"}}}}},
        {"numeric reference above U+007F", Ts("de-DE", Message("a.ui", "1", "caf&#233; &#x1F600;")),
         Pairs{{L"a.ui", {{1, L"caf\u00E9 \U0001F600"}}}}},
        {"numeric reference below U+0080", Ts("de-DE", Message("a.ui", "1", "&#60;&#x41;")),
         Pairs{{L"a.ui", {{1, L"&lt;A"}}}}},
        {"reference to a surrogate", Ts("de-DE", Message("a.ui", "1", "&#xD800;")), std::nullopt},
        {"characters whose low byte is markup",
         Ts("de-DE", Message("\xC4\xA2\xC4\xBC.ui", "1", "\xC4\xA2\xC4\xBC\xC4\xA6\xC4\xA0")),
         Pairs{{L"\u0122\u013C.ui", {{1, L"\u0122\u013C\u0126\u0120"}}}}},
        {"byte-order mark", bom + Ts("de-DE", Message("a.ui", "1", "x")), Pairs{{L"a.ui", {{1, L"x"}}}}},
        {"empty translation adds its pair", Ts("de-DE", Message("a.ui", "2", "")), Pairs{{L"a.ui", {{2, L""}}}}},
        {"unfinished translation used, later one wins",
         Ts("de-DE",
            "<message><location filename=\"a.ui\" line=\"1\"/><translation>one</translation>"
            "<translation type=\"unfinished\">two</translation></message>"),
         Pairs{{L"a.ui", {{1, L"two"}}}}},
        {"every location of a message",
         Ts("de-DE",
            "<message><location filename=\"a.ui\" line=\"1\"/><location line=\"9\"/>"
            "<location filename=\"b.ui\" line=\"2\"/><translation>t</translation></message>"),
         Pairs{{L"a.ui", {{1, L"t"}}}, {L"b.ui", {{2, L"t"}}}}},
        {"no TS element", "<XS language=\"de-DE\"/>", std::nullopt},
        {"TS without language", "<TS><context><message/></context></TS>", std::nullopt},
        {"not XML", "just some text", std::nullopt},
        {"context without messages", Ts("de-DE", ""), Pairs{}},
    };
    for (const TsCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(dir.WritePlain("t.ts", c.bytes));
        QtTSLoader loader;
        EXPECT_EQ(PairsOf(loader.LoadTranslationUnit(dir.PathOf("t.ts"))), c.expected);
    }
}

TEST_F(LanguageFiles, TranslationFileMissingOrBadUtf8)
{
    QtTSLoader loader;
    EXPECT_FALSE(loader.LoadTranslationUnit(dir.PathOf("missing.ts")));
    // Text up to the bad byte is read; the document is then cut short.
    ASSERT_TRUE(dir.WritePlain("bad.ts", Ts("de-DE", Message("a.ui", "1", "x\xC0\xAF"))));
    EXPECT_FALSE(loader.LoadTranslationUnit(dir.PathOf("bad.ts")));
}

TEST_F(LanguageFiles, UnitAppendKeepsFirstAndCopiesDeep)
{
    TSTranslationUnit first;
    first.AddMessageFromTS(L"a.ui", 1, L"first");
    first.AddMessageFromTS(L"a.ui", -1, L"minus");
    TSTranslationUnit second;
    second.AddMessageFromTS(L"a.ui", 1, L"second");
    second.AddMessageFromTS(L"a.ui", 2, L"two");
    second.AddMessageFromTS(L"b.ui", 3, L"three");
    TSTranslationUnit copy = first;
    first.AppendTsTranslationUnit(second);
    EXPECT_EQ(first.GetFiles().at(L"a.ui"),
              (TSTranslationUnit::Lines{{1, L"first"}, {2, L"two"}, {Negative(-1), L"minus"}}));
    EXPECT_EQ(first.GetFiles().at(L"b.ui"), (TSTranslationUnit::Lines{{3, L"three"}}));
    EXPECT_EQ(copy.GetFiles().size(), 1u);
    EXPECT_EQ(copy.GetFiles().at(L"a.ui").size(), 2u);
}

QByteArray Table(const QByteArray& root, const QByteArray& language, const QByteArray& body)
{
    return "<?xml version=\"1.0\"?>\n<" + root + " language=\"" + language + "\">" + body + "</" + root + ">";
}

struct FontState {
    std::wstring face;
    long long height;
    unsigned charset;
    bool operator==(const FontState& o) const { return face == o.face && height == o.height && charset == o.charset; }
};

FontState CurrentFont()
{
    auto font = AUILib::GetFontInfo();
    return {font->faceName, static_cast<long long>(font->height), font->charSet};
}

void SetFont(const FontState& state)
{
    auto font = AUILib::GetFontInfo();
    font->faceName = state.face;
    font->height = state.height;
    font->charSet = static_cast<uint8_t>(state.charset);
}

struct TableCase {
    const char* name;
    QByteArray bytes;
    TranslationStringTable::IdTable expected;
    FontState font;
};

TEST_F(LanguageFiles, StringTableTable)
{
    const FontState saved = CurrentFont();
    const FontState start{L"Start", 1, 2};
    const QByteArray entries = "<StringTable><string id=\"a\">A</string><string id=\"b\">B</string></StringTable>";
    const std::vector<TableCase> cases = {
        {"current language", Table("Strings", "de-DE", entries), {{L"a", L"A"}, {L"b", L"B"}}, start},
        {"default language", Table("Strings", "en-US", entries), {{L"a", L"A"}, {L"b", L"B"}}, start},
        {"other language", Table("Strings", "fr-FR", entries + "<Font><PreFont FaceName=\"X\"/></Font>"), {}, start},
        {"underscore language", Table("Strings", "de_DE", entries), {}, start},
        {"root of any name", Table("Whatever", "de-DE", entries), {{L"a", L"A"}, {L"b", L"B"}}, start},
        {"font without string table",
         Table("Strings", "de-DE", "<Font><PreFont FaceName=\"Face\" Height=\"12\"/></Font>"), {}, start},
        {"font applied",
         Table("Strings", "de-DE",
               "<Font><PreFont FaceName=\"Face\" Height=\"-13\" Charset=\"300\" Other=\"x\"/></Font>" + entries),
         {{L"a", L"A"}, {L"b", L"B"}},
         {L"Face", -13, 300 & 0xFF}},
        {"bad height keeps face and entries",
         Table("Strings", "de-DE", "<Font><PreFont FaceName=\"Face\" Height=\"tall\" Charset=\"1\"/></Font>" + entries),
         {{L"a", L"A"}, {L"b", L"B"}},
         {L"Face", 1, 2}},
        {"duplicate, missing and empty ids",
         Table("Strings", "de-DE",
               "<StringTable><string id=\"a\">first</string><string>no id</string><string id=\"a\">second</string>"
               "<string id=\"e\"/><other id=\"o\">sibling of any name</other></StringTable>"),
         {{L"a", L"first"}, {L"e", L""}, {L"o", L"sibling of any name"}},
         start},
        {"low-byte markup characters in ids and texts",
         Table("Strings", "de-DE",
               "<StringTable><string id=\"\xC4\xA2\">\xC4\xBC&#233;</string></StringTable>"),
         {{L"\u0122", L"\u013C\u00E9"}},
         start},
        {"malformed", Table("Strings", "de-DE", entries + "<unclosed"), {}, start},
    };
    for (const TableCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetFont(start);
        ASSERT_TRUE(dir.WritePlain("s.xml", c.bytes));
        TranslationStringTable strings;
        TranslationStringTable::IdTable table;
        strings.AppendStringTable(dir.PathOf("s.xml"), table);
        EXPECT_EQ(table, c.expected);
        EXPECT_TRUE(CurrentFont() == c.font);
    }
    SetFont(saved);
}

TEST_F(LanguageFiles, StringTableLoadRetriesMissingFileAppendKeepsEmpty)
{
    TranslationStringTable strings;
    const std::wstring path = dir.PathOf("later.xml");
    strings.LoadStringTable(path);
    EXPECT_EQ(strings.GetTables().count(path), 0u);
    ASSERT_TRUE(dir.WritePlain("later.xml", Table("S", "de-DE", "<StringTable><string id=\"k\">v</string></StringTable>")));
    strings.LoadStringTable(path);
    EXPECT_EQ(strings.GetText(path, L"k"), std::optional<std::wstring>(L"v"));
    // Held tables are not read again.
    ASSERT_TRUE(dir.WritePlain("later.xml", Table("S", "de-DE", "<StringTable><string id=\"k\">new</string></StringTable>")));
    strings.LoadStringTable(path);
    EXPECT_EQ(strings.GetText(path, L"k"), std::optional<std::wstring>(L"v"));
    EXPECT_EQ(strings.GetText(path, L"absent"), std::nullopt);
    EXPECT_EQ(strings.GetText(L"elsewhere", L"k"), std::nullopt);

    strings.AppendStringTable(L"key", dir.PathOf("missing.xml"));
    ASSERT_EQ(strings.GetTables().count(L"key"), 1u);
    EXPECT_TRUE(strings.GetTables().at(L"key").empty());
    strings.AppendStringTable(L"key", path);
    EXPECT_EQ(strings.GetText(L"key", L"k"), std::optional<std::wstring>(L"new"));
}

} // namespace
