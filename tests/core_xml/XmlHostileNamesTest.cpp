// Names and characters that could break the composer's text: names holding
// markup or more than one prefix, nameless elements, and characters no XML
// document can hold. The text is read back by the project's reader and by
// expat, and both must find exactly the tree that was built (with what the
// setters refused left out).
#include "CKW_WideString.h"
#include "CXML_Element.h"
#include "ExpatCanonical.h"
#include "XmlRoundTrip.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

CXML_Element* Child(CXML_Element* parent, const char* name)
{
    CXML_Element* child = new CXML_Element(CKW_ByteStringC(name));
    parent->AddChildElement(child);
    return child;
}

struct HostileCase {
    const char* what;
    std::function<void(CXML_Element&)> build;   // on an element named "r"
    const char* tree;                            // what both readers must find
};

const HostileCase kCases[] = {
    {"a tag holding markup is refused",
     [](CXML_Element& r) { EXPECT_FALSE(r.SetTag("a b=\"x\"><evil/")); }, "r{}[]"},
    {"an element made with markup for its name is left out with its subtree",
     [](CXML_Element& r) {
         CXML_Element* bad = Child(&r, "a b=\"x\"><evil/");
         EXPECT_TRUE(bad->GetTagName(true).IsEmpty());
         bad->AddChildContent(CKW_WideStringC(L"inside"), false);
         Child(bad, "deeper");
         Child(&r, "ok");
     },
     "r{}[ok{}[]]"},
    {"an emptied tag is left out, never written as </>",
     [](CXML_Element& r) {
         CXML_Element* empty = Child(&r, "e");
         EXPECT_TRUE(empty->SetTag(""));
         empty->AddChildContent(CKW_WideStringC(L"x"), false);
         r.AddChildContent(CKW_WideStringC(L"y"), false);
     },
     "r{}[\"y\",]"},
    {"attribute names holding markup, quotes, blanks or nothing are refused",
     [](CXML_Element& r) {
         for (const char* name : {"a><evil/><b", "x=\"1\" y", "a b", "a\"", "a'", "a=", "", ":", "a:", ":a", "<"})
             EXPECT_FALSE(r.SetAttrValue(CKW_ByteStringC(name), CKW_WideStringC(L"v"))) << name;
         EXPECT_FALSE(r.SetAttrValue("a><b", 5));
         EXPECT_TRUE(r.SetAttrValue("id", CKW_WideStringC(L"1")));
     },
     "r{:id=1,}[]"},
    {"at most one prefix: p:q:r is refused for tags and attributes",
     [](CXML_Element& r) {
         EXPECT_FALSE(r.SetTag("p:q:r"));
         EXPECT_FALSE(r.SetTag(CKW_ByteStringC("p"), CKW_ByteStringC("q:r")));
         EXPECT_FALSE(r.SetTag(CKW_ByteStringC("p:q"), CKW_ByteStringC("r")));
         EXPECT_FALSE(r.SetAttrValue("p:q:r", CKW_WideStringC(L"1")));
         EXPECT_TRUE(r.SetTag("p:q"));
         EXPECT_TRUE(r.SetAttrValue("p:a", CKW_WideStringC(L"2")));
     },
     "p:q{p:a=2,}[]"},
    {"names must be well-formed UTF-8 of name characters",
     [](CXML_Element& r) {
         EXPECT_TRUE(r.SetTag("\xC3\xA9t\xC3\xA9"));
         for (const char* name : {"\xC3", "a\xFF", "\xC0\xA1", "\xED\xA0\x80", "2b", "-x", ".x", "a\xC2\xA0"})
             EXPECT_FALSE(r.SetAttrValue(CKW_ByteStringC(name), CKW_WideStringC(L"v"))) << name;
         EXPECT_TRUE(r.SetAttrValue("x-y.z_1\xC2\xB7", CKW_WideStringC(L"v")));
         Child(&r, "_u");
     },
     "\xC3\xA9t\xC3\xA9{:x-y.z_1\xC2\xB7=v,}[_u{}[]]"},
    {"tab, line feed and carriage return in a value are kept, not turned into blanks",
     [](CXML_Element& r) { r.SetAttrValue("v", CKW_WideStringC(L"a\tb\nc\rd\r\n")); },
     "r{:v=a\\x09b\\x0Ac\\x0Dd\\x0D\\x0A,}[]"},
    {"characters no XML document can hold become U+FFFD wherever they stand",
     [](CXML_Element& r) {
         const wchar_t bad[] = {0, 'a', 0x0B, 0x1F, 0xD800, 0xDFFF, 0xFFFE, 0x110000, (wchar_t)-5, '\t'};
         // Without the tab: readers turn white space in a value into blanks.
         r.SetAttrValue("v", CKW_WideStringC(bad, 9));
         r.AddChildContent(CKW_WideStringC(bad, 10), false);
         Child(&r, "s")->AddChildContent(CKW_WideStringC(bad, 10), true);
     },
     "r{:v=\xEF\xBF\xBD" "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD,}"
     "[\"\xEF\xBF\xBD" "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\\x09\","
     "s{}[C\"\xEF\xBF\xBD" "a\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\\x09\",]]"},
};

} // namespace

TEST(XmlHostileNames, BothReadersFindTheTreeThatWasBuilt)
{
    for (const HostileCase& c : kCases) {
        CXML_Element root(CKW_ByteStringC("r"));
        c.build(root);
        for (bool noLineBreaks : {true, false}) {
            CKW_ByteString composed = root.OutputStream(false, noLineBreaks);
            const std::string text(composed.c_str(), (size_t)composed.GetLength());
            EXPECT_EQ(text.find("</>"), std::string::npos) << c.what;
            CXML_Element* back = CXML_Element::Parse(text.data(), text.size(), true);
            EXPECT_EQ(XmlCanonical(back), c.tree) << c.what << "\ntext: " << text;
            CXML_Element::Destroy(back);
            EXPECT_EQ(ExpatCanonical::Read(text), c.tree) << c.what << "\ntext: " << text;
        }
    }
}

// Names that only the project's reader takes (it is lenient, and stored
// documents may rely on that): names such as "", "2b", "a:" (from ':="v"',
// '2b="v"', 'b:="v"'), invalid UTF-8, and characters that cannot stand in a
// name (U+00D7, U+200B). The composer leaves such elements (with their
// subtrees) and attributes out, so that any reader takes its text; a clone
// keeps them.
TEST(XmlHostileNames, NamesOnlyTheReaderTakesAreLeftOut)
{
    struct Case {
        const char* what;
        std::string document;
        const char* read;      // the reader's tree of the document
        const char* written;   // what both readers find in the composer's text
    } cases[] = {
        {"empty and digit-led names", "<r :=\"1\" :2b=\"2\" b:=\"3\" ok=\"4\"><2b><x/></2b><a:2b/><k/></r>",
         "r{:=1,:2b=2,b:=3,:ok=4,}[2b{}[x{}[]]a:2b{}[]k{}[]]", "r{:ok=4,}[k{}[]]"},
        {"invalid UTF-8", "<r a\xC3=\"1\" b=\"2\"><x\xC3/><y\xC3\xA9/></r>",
         "r{:a\xC3=1,:b=2,}[x\xC3{}[]y\xC3\xA9{}[]]", "r{:b=2,}[y\xC3\xA9{}[]]"},
        {"characters no name may hold", "<r a\xC3\x97=\"1\" b=\"2\"><x\xE2\x80\x8B>t</x\xE2\x80\x8B><y/></r>",
         "r{:a\xC3\x97=1,:b=2,}[x\xE2\x80\x8B{}[\"t\",]y{}[]]", "r{:b=2,}[y{}[]]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CXML_Element* root = CXML_Element::Parse(c.document.data(), c.document.size(), true);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(XmlCanonical(root), c.read);
        CXML_Element* copy = root->Clone(nullptr);
        EXPECT_EQ(XmlCanonical(copy), c.read);
        for (bool noLineBreaks : {true, false}) {
            CKW_ByteString composed = copy->OutputStream(false, noLineBreaks);
            const std::string text(composed.c_str(), (size_t)composed.GetLength());
            CXML_Element* back = CXML_Element::Parse(text.data(), text.size(), true);
            EXPECT_EQ(XmlCanonical(back), c.written) << text;
            CXML_Element::Destroy(back);
            EXPECT_EQ(ExpatCanonical::Read(text), c.written) << text;
        }
        CXML_Element::Destroy(copy);
        CXML_Element::Destroy(root);
    }

    // A root without an XML name leaves nothing to write.
    const std::string document = "<a\xC3\x97><b/></a\xC3\x97>";
    CXML_Element* root = CXML_Element::Parse(document.data(), document.size(), true);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->OutputStream(false, false).GetLength(), 0);
    CXML_Element::Destroy(root);
}
