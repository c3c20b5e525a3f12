// The translator over the build's enciphered fixtures and over forms and
// translation files written per case.
#include "AUILibConfig.h"
#include "Encrypter.h"
#include "LanguageFileDir.h"
#include "Translator.h"

#include <gtest/gtest.h>

#include <QMap>
#include <QStringList>

namespace {

using AUILib::Translator;
using AUILib::TrString;

std::wstring Fixtures() { return QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString(); }

class TranslatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        AUILib::SetCurrentLanguage(L"de-DE", true);
        AUILib::SetWorkingDirPath(Fixtures());
        Translator::GetInstance().ResetStringsTable();
    }
    void TearDown() override
    {
        AUILib::SetCurrentLanguage(L"de-DE", true);
        Translator::GetInstance().ResetStringsTable();
    }
};

TEST_F(TranslatorTest, NothingLoadedGivesLiteralsAndNoForm)
{
    EXPECT_EQ(std::wstring(TrString(L"", L"AUILib::BBoxOK", L"OK")), L"OK");
    EXPECT_EQ(Translator::GetInstance().TranslateUIFile(Fixtures() + L"auiresources/ui/main.ui.kw"), L"");
}

TEST_F(TranslatorTest, LookupOrderCurrentDefaultLiteral)
{
    Translator& translator = Translator::GetInstance();
    translator.LoadStrings(L"main");
    const struct {
        const wchar_t* file;
        const wchar_t* id;
        const wchar_t* expected;
    } cases[] = {
        {L"main", L"Greeting", L"Grüß Gott"},
        {L"main", L"DefaultOnly", L"Default text"},
        {L"main", L"EmptyHere", L"Only in English"},   // empty in the current table counts as absent
        {L"main", L"Nowhere", L"literal"},
        {L"", L"AUILib::BBoxOK", L"Übernehmen"},
        {L"", L"AUILib::BBoxCancel", L"Abbrechen"},
        {L"", L"AUILib::BBoxRetry", L"Retry"},
        {L"other", L"Greeting", L"literal"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.id).toStdString());
        EXPECT_EQ(std::wstring(TrString(c.file, c.id, L"literal")), c.expected);
    }
    EXPECT_EQ(translator.GetText(L"main", L"DefaultOnly", L"de-DE"), L"");
    EXPECT_EQ(translator.GetDefaultText(L"main", L"DefaultOnly"), L"Default text");
    EXPECT_EQ(translator.GetMergedUnit().GetFiles().count(L"main.ui"), 1u);

    // A language change empties everything: the application loads again.
    AUILib::SetCurrentLanguage(L"fr-FR", true);
    EXPECT_EQ(std::wstring(TrString(L"main", L"Greeting", L"literal")), L"literal");
    EXPECT_TRUE(translator.GetMergedUnit().GetFiles().empty());
    EXPECT_TRUE(translator.GetLoadedFiles().empty());
}

TEST_F(TranslatorTest, EnglishLoadsNoTranslationFileButAppendDoes)
{
    AUILib::SetCurrentLanguage(L"en-US", true);
    Translator& translator = Translator::GetInstance();
    translator.LoadStrings(L"extra");
    EXPECT_TRUE(translator.GetLoadedFiles().empty());
    EXPECT_EQ(std::wstring(TrString(L"", L"AUILib::BBoxOK", L"x")), L"OK");
    translator.AppendStrings(L"main", L"extra");
    EXPECT_EQ(translator.GetLoadedFiles(), std::set<std::wstring>{AUILib::GetTranslationFilePath(L"extra")});
    ASSERT_EQ(translator.GetMergedUnit().GetFiles().count(L"extra.ui"), 1u);
    EXPECT_EQ(translator.GetMergedUnit().GetFiles().at(L"extra.ui").at(3), L"Extra text");
    // Appending main's English strings under main: the default table reads
    // the appended file under the first name's path.
    EXPECT_EQ(std::wstring(TrString(L"main", L"Greeting", L"x")), L"x");
    translator.AppendStrings(L"main", L"main");
    EXPECT_EQ(std::wstring(TrString(L"main", L"Greeting", L"x")), L"Hello");
}

TEST_F(TranslatorTest, FailedTranslationFileIsNotRetriedUntilReset)
{
    LanguageFileDir dir;
    AUILib::SetWorkingDirPath(dir.Path());
    Translator& translator = Translator::GetInstance();
    translator.LoadStrings(L"late");
    const QByteArray ts = "<TS language=\"de-DE\"><context><message><location filename=\"late.ui\" line=\"1\"/>"
                          "<translation>Spät</translation></message></context></TS>";
    ASSERT_TRUE(dir.WriteEnciphered("lang/de-DE/late_de-DE.ts.kw", ts));
    translator.LoadStrings(L"late");
    EXPECT_TRUE(translator.GetMergedUnit().GetFiles().empty());
    translator.ResetStringsTable();
    translator.LoadStrings(L"late");
    EXPECT_EQ(translator.GetMergedUnit().GetFiles().count(L"late.ui"), 1u);
}

struct Pair {
    int line;
    const char* text;
};

QByteArray TsFor(const std::vector<Pair>& pairs)
{
    QByteArray messages;
    for (const Pair& p : pairs)
        messages += "<message><location filename=\"f.ui\" line=\"" + QByteArray::number(p.line) +
                    "\"/><translation>" + p.text + "</translation></message>";
    return "<TS language=\"de-DE\"><context>" + messages + "</context></TS>";
}

QByteArray Numbered(int count, const QMap<int, QByteArray>& special, const QByteArray& end = "\n")
{
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += (special.contains(i) ? special[i] : "line " + QByteArray::number(i)) + end;
    return out;
}

struct RewriteCase {
    const char* name;
    QByteArray form;
    std::vector<Pair> pairs;
    QByteArray expected;   // empty: the form comes back unchanged
};

TEST_F(TranslatorTest, TranslateUIFileTable)
{
    const QByteArray e12 = "   <string>old</string>";
    const QMap<int, QByteArray> spread{{12, "  <string notr=\"x\">a"}, {13, "b"}, {14, "c</string> tail"}};
    QMap<int, QByteArray> three{{5, "<string>five</string>"}, {9, "<string>nine</string>"}};
    QMap<int, QByteArray> nineWithout = three;
    nineWithout[9] = "no element here";
    const std::vector<RewriteCase> cases = {
        {"indented single line", Numbered(20, {{12, e12}}), {{12, "T"}},
         Numbered(20, {{12, "<string>T</string>"}})},
        {"single line, empty translation", Numbered(20, {{12, e12}}), {{12, ""}}, ""},
        {"spread over three lines", Numbered(20, spread), {{12, "T"}},
         Numbered(20, {{12, ""}, {13, ""}, {14, "<string>T</string>"}})},
        {"spread, empty translation", Numbered(20, spread), {{12, ""}},
         Numbered(20, {{12, ""}, {13, ""}, {14, "c</string> tail"}})},
        {"past the end stops", Numbered(300, three), {{5, "F"}, {9, "N"}, {400, "X"}},
         Numbered(300, {{5, "<string>F</string>"}, {9, "<string>N</string>"}})},
        {"line without element stops", Numbered(300, nineWithout), {{5, "F"}, {9, "N"}},
         Numbered(300, {{5, "<string>F</string>"}, {9, "no element here"}})},
        {"negative comes last and stops", Numbered(20, {{3, "<string>x</string>"}}), {{-1, "M"}, {3, "T"}},
         Numbered(20, {{3, "<string>T</string>"}})},
        {"zero stops at once", Numbered(20, {{3, "<string>x</string>"}}), {{0, "Z"}, {3, "T"}}, ""},
        {"unclosed element runs to the end", Numbered(4, {{3, "<string>x"}}), {{3, "T"}},
         Numbered(3, {{3, ""}}) + "<string>T</string>\n"},
        {"carriage returns kept", Numbered(5, {{2, "<string>x</string>"}}, "\r\n"), {{2, "T"}},
         Numbered(5, {{2, "<string>x</string>"}}, "\r\n").replace("<string>x</string>\r", "<string>T</string>")},
        {"last line without line end", "<a>\n<string>x</string>", {{2, "T"}}, "<a>\n<string>T</string>"},
    };
    LanguageFileDir dir;
    AUILib::SetWorkingDirPath(dir.Path());
    Translator& translator = Translator::GetInstance();
    for (const RewriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        translator.ResetStringsTable();
        ASSERT_TRUE(dir.WriteEnciphered("lang/de-DE/case_de-DE.ts.kw", TsFor(c.pairs)));
        ASSERT_TRUE(dir.WriteEnciphered("forms/f.ui.kw", c.form));
        translator.LoadStrings(L"case");
        const std::wstring out = translator.TranslateUIFile(dir.PathOf("forms/f.ui.kw"));
        EXPECT_EQ(QString::fromStdWString(out).toUtf8(), c.expected.isEmpty() ? c.form : c.expected);
    }
    // A form the translations do not name, and a form that cannot be read.
    ASSERT_TRUE(dir.WriteEnciphered("forms/g.ui.kw", "<string>x</string>\n"));
    EXPECT_EQ(translator.TranslateUIFile(dir.PathOf("forms/g.ui.kw")), L"");
    EXPECT_EQ(translator.TranslateUIFile(dir.PathOf("forms/missing.ui.kw")), L"");
}

TEST_F(TranslatorTest, ReadTranslationFileBothFormats)
{
    LanguageFileDir dir;
    ASSERT_TRUE(dir.WriteEnciphered("e.ts.kw", "Grüße"));
    ASSERT_TRUE(dir.WritePlain("p.ts", "\xEF\xBB\xBFGrüße"));
    Translator& translator = Translator::GetInstance();
    EXPECT_EQ(translator.ReadTranslationFile(dir.PathOf("e.ts.kw")), L"Grüße");
    EXPECT_EQ(translator.ReadTranslationFile(dir.PathOf("p.ts")), L"");
    AUILib::SetCurrentLanguage(L"de-DE", false);
    EXPECT_EQ(translator.ReadTranslationFile(dir.PathOf("p.ts")), L"\uFEFFGrüße");
    EXPECT_EQ(translator.ReadTranslationFile(dir.PathOf("missing.ts")), L"");
}

} // namespace
