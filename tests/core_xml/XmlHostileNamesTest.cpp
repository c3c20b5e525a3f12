// Names and characters that could break the composer's text: names holding
// markup or more than one prefix, nameless elements, and characters no XML
// document can hold. The text is read back by the project's reader and by
// expat, and both must find exactly the tree that was built (with what the
// setters refused left out).
#include "CKW_WideString.h"
#include "CXML_Element.h"
#include "XmlRoundTrip.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// Expat's reading of the text, in the form of XmlCanonical.
class ExpatCanonical {
public:
    // "(refused: ...)" when expat does not take the text as a document.
    static std::string Read(const std::string& text)
    {
        ExpatCanonical reader;
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetUserData(parser, &reader);
        XML_SetElementHandler(parser, Start, End);
        XML_SetCharacterDataHandler(parser, Text);
        XML_SetCdataSectionHandler(parser, [](void* r) { static_cast<ExpatCanonical*>(r)->Flush(); static_cast<ExpatCanonical*>(r)->m_InCdata = true; },
                                   [](void* r) { static_cast<ExpatCanonical*>(r)->Flush(); static_cast<ExpatCanonical*>(r)->m_InCdata = false; });
        const bool ok = XML_Parse(parser, text.data(), (int)text.size(), 1) == XML_STATUS_OK;
        std::string error = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
        XML_ParserFree(parser);
        return ok ? reader.m_Out : "(refused: " + error + ")";
    }

private:
    static std::string Quoted(const std::string& utf8)
    {
        CKW_WideString wide = CKW_WideString::FromUTF8(utf8.data(), (int)utf8.size());
        return XmlText(wide.c_str(), wide.GetLength());
    }
    static void Start(void* self, const XML_Char* name, const XML_Char** attrs)
    {
        ExpatCanonical* r = static_cast<ExpatCanonical*>(self);
        r->Flush();
        r->m_Out += name;
        r->m_Out += "{";
        for (int i = 0; attrs[i]; i += 2) {
            std::string attr = attrs[i];
            r->m_Out += attr.find(':') == std::string::npos ? ":" + attr : attr;
            r->m_Out += "=" + Quoted(attrs[i + 1]) + ",";
        }
        r->m_Out += "}[";
    }
    static void End(void* self, const XML_Char*)
    {
        ExpatCanonical* r = static_cast<ExpatCanonical*>(self);
        r->Flush();
        r->m_Out += "]";
    }
    static void Text(void* self, const XML_Char* s, int length)
    {
        ExpatCanonical* r = static_cast<ExpatCanonical*>(self);
        r->m_Pending.append(s, (size_t)length);
    }
    void Flush()
    {
        if (!m_Pending.empty())
            m_Out += (m_InCdata ? "C\"" : "\"") + Quoted(m_Pending) + "\",";
        m_Pending.clear();
    }

    std::string m_Out;
    std::string m_Pending;
    bool m_InCdata = false;
};

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

// Names that only the project's reader makes (it reads "2b" and an empty
// attribute name from ':2b="v"' and 'b:="v"') are written so that it reads
// them back the same, and a clone keeps them.
TEST(XmlHostileNames, ReaderNamesReadBackTheSame)
{
    const std::string doc = "<2b :=\"1\" :2b=\"2\" b:=\"3\"><a:2b/></2b>";
    CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size(), true);
    ASSERT_NE(root, nullptr);
    const std::string expected = XmlCanonical(root);
    EXPECT_EQ(expected, "2b{:=1,:2b=2,b:=3,}[a:2b{}[]]");
    CXML_Element* copy = root->Clone(nullptr);
    EXPECT_EQ(XmlCanonical(copy), expected);
    for (bool noLineBreaks : {true, false}) {
        XmlRoundTrip trip = XmlComposeAndParse(copy, noLineBreaks);
        EXPECT_EQ(trip.actual, expected) << trip.text;
    }
    CXML_Element::Destroy(copy);
    CXML_Element::Destroy(root);
}
