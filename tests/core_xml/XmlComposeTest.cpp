// The XML writer: trees to bytes in both line-break modes, the three output
// forms, and compose -> parse round trips over generated trees.
#include "CXML_Arena.h"
#include "CXML_Composer.h"
#include "CXML_Element.h"
#include "CountingAllocator.h"
#include "IKW_Stream.h"
#include "XmlRoundTrip.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

CKW_WideString W(const std::wstring& text)
{
    return CKW_WideString(text.data(), (int)text.size());
}

// A sink that keeps every block written to it.
class MemoryFileWrite : public IKW_FileWrite {
public:
    void Release() override {}
    bool WriteBlock(const void* buffer, size_t size) override
    {
        bytes.append((const char*)buffer, size);
        writes++;
        return true;
    }
    bool Flush() override { return true; }
    int64_t GetSize() override { return (int64_t)bytes.size(); }
    bool WriteBlock(const void* buffer, int64_t offset, size_t size) override
    {
        if (offset != (int64_t)bytes.size())
            return false;
        return WriteBlock(buffer, size);
    }

    std::string bytes;
    int writes = 0;
};

struct ComposeCase {
    const char* name;
    std::function<void(CXML_Element&)> build;   // on an element named "a"
    bool raw;
    const char* flat;     // no line breaks
    const char* broken;   // "\r\n" before each tag's '>'
};

const ComposeCase kComposeCases[] = {
    {"empty element with an escaped attribute",
     [](CXML_Element& a) { a.SetAttrValue("x", W(L"1<2")); }, false,
     "<a x=\"1&lt;2\"/>", "<a x=\"1&lt;2\"\r\n/>"},
    {"attribute escapes <, &, the double quote and the white space readers would turn into blanks",
     [](CXML_Element& a) { a.SetAttrValue("v", W(L"\"&'>\n\t\r\x7F")); }, false,
     "<a v=\"&quot;&amp;'>&#x0A;&#x09;&#x0D;\x7F\"/>", "<a v=\"&quot;&amp;'>&#x0A;&#x09;&#x0D;\x7F\"\r\n/>"},
    {"spaces at the edges of content",
     [](CXML_Element& a) { a.AddChildContent(W(L" a b "), false); }, false,
     "<a>&#x20;a b&#x20;</a>", "<a\r\n>&#x20;a b&#x20;</a\r\n>"},
    {"a lone space is an edge",
     [](CXML_Element& a) { a.AddChildContent(W(L" "), false); }, false,
     "<a>&#x20;</a>", "<a\r\n>&#x20;</a\r\n>"},
    {"content escapes",
     [](CXML_Element& a) { a.AddChildContent(W(L"x>y<z&\"'\t\r\n"), false); }, false,
     "<a>x&gt;y&lt;z&amp;&quot;&apos;&#x09;&#x0D;&#x0A;</a>",
     "<a\r\n>x&gt;y&lt;z&amp;&quot;&apos;&#x09;&#x0D;&#x0A;</a\r\n>"},
    {"characters without a utf-8 form are written, as U+FFFD, so spaces beside them are inside",
     [](CXML_Element& a) {
         const wchar_t text[] = {(wchar_t)-1, ' ', 'x', ' ', ' ', (wchar_t)-2};
         a.AddChildContent(CKW_WideStringC(text, 6), false);
     },
     false, "<a>\xEF\xBF\xBD x  \xEF\xBF\xBD</a>", "<a\r\n>\xEF\xBF\xBD x  \xEF\xBF\xBD</a\r\n>"},
    {"control characters xml cannot hold become U+FFFD, in content, attributes and sections",
     [](CXML_Element& a) {
         a.AddChildContent(CKW_WideStringC(L"\x00\x1F\x0B", 3), false);
         a.AddChildContent(CKW_WideStringC(L"\x01\t", 2), true);
         a.SetAttrValue("v", CKW_WideStringC(L"\x00\x08\t", 3));
     },
     false, "<a v=\"\xEF\xBF\xBD\xEF\xBF\xBD&#x09;\">\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD<![CDATA[\xEF\xBF\xBD\t]]></a>",
     "<a v=\"\xEF\xBF\xBD\xEF\xBF\xBD&#x09;\"\r\n>\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD<![CDATA[\xEF\xBF\xBD\t]]></a\r\n>"},
    {"surrogates, U+FFFE, U+FFFF and code points past U+10FFFF become U+FFFD, also raw",
     [](CXML_Element& a) {
         const wchar_t text[] = {0xD800, 'x', 0xDFFF, 0xFFFE, 0xFFFF, 0x10FFFF, 0x110000};
         a.AddChildContent(CKW_WideStringC(text, 7), false);
         a.SetAttrValue("v", CKW_WideStringC(text, 3));
     },
     true, "<a v=\"\xEF\xBF\xBDx\xEF\xBF\xBD\">\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xF4\x8F\xBF\xBF\xEF\xBF\xBD</a>",
     "<a v=\"\xEF\xBF\xBDx\xEF\xBF\xBD\"\r\n>\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xF4\x8F\xBF\xBF\xEF\xBF\xBD</a\r\n>"},
    {"raw content",
     [](CXML_Element& a) { a.AddChildContent(W(L" <b>&amp; "), false); }, true,
     "<a> <b>&amp; </a>", "<a\r\n> <b>&amp; </a\r\n>"},
    {"utf-8, and characters without a utf-8 form as U+FFFD",
     [](CXML_Element& a) {
         const wchar_t text[] = {0xE9, (wchar_t)0x1F600, (wchar_t)-5, 'x', (wchar_t)0x7FFFFFFF};
         a.AddChildContent(CKW_WideStringC(text, 5), false);
         a.SetAttrValue("v", CKW_WideStringC(text, 4));
     },
     false, "<a v=\"\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx\">\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx\xEF\xBF\xBD</a>",
     "<a v=\"\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx\"\r\n>\xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBDx\xEF\xBF\xBD</a\r\n>"},
    {"cdata is written as it is",
     [](CXML_Element& a) { a.AddChildContent(W(L"a]]b <&> "), true); }, false,
     "<a><![CDATA[a]]b <&> ]]></a>", "<a\r\n><![CDATA[a]]b <&> ]]></a\r\n>"},
    {"cdata holding ]]> is split across sections",
     [](CXML_Element& a) { a.AddChildContent(W(L"a]]>b]]]>"), true); }, false,
     "<a><![CDATA[a]]]]><![CDATA[>b]]]]]><![CDATA[>]]></a>",
     "<a\r\n><![CDATA[a]]]]><![CDATA[>b]]]]]><![CDATA[>]]></a\r\n>"},
    {"cdata under raw content is still split",
     [](CXML_Element& a) { a.AddChildContent(W(L"]]>"), true); }, true,
     "<a><![CDATA[]]]]><![CDATA[>]]></a>", "<a\r\n><![CDATA[]]]]><![CDATA[>]]></a\r\n>"},
    {"prefixes and a child",
     [](CXML_Element& a) {
         a.SetTag("p:item");
         a.SetAttrValue("q:id", W(L"7"));
         a.AddChildElement(new (a.GetAllocator()) CXML_Element(CKW_ByteStringC("q"), a.GetAllocator()));
     },
     false, "<p:item q:id=\"7\"><q/></p:item>", "<p:item q:id=\"7\"\r\n><q\r\n/></p:item\r\n>"},
    {"children in order",
     [](CXML_Element& a) {
         a.AddChildContent(W(L"t"), false);
         CXML_Element* b = new (a.GetAllocator()) CXML_Element(CKW_ByteStringC("b"), a.GetAllocator());
         b->AddChildContent(W(L"u"), true);
         a.AddChildElement(b);
         a.AddChildContent(W(L""), false);
     },
     false, "<a>t<b><![CDATA[u]]></b></a>", "<a\r\n>t<b\r\n><![CDATA[u]]></b\r\n></a\r\n>"},
    {"attribute names that are not xml names are refused",
     [](CXML_Element& a) {
         EXPECT_FALSE(a.SetAttrValue("", W(L"1")));
         EXPECT_FALSE(a.SetAttrValue("2b", W(L"2")));
         EXPECT_FALSE(a.SetAttrValue("-p:c", W(L"3")));
         EXPECT_TRUE(a.SetAttrValue("p:c", W(L"4")));
     },
     false, "<a p:c=\"4\"/>", "<a p:c=\"4\"\r\n/>"},
};

std::string Str(const CKW_ByteStringC& text)
{
    return std::string((const char*)text.GetPtr(), (size_t)text.GetLength());
}

} // namespace

// Every form gives the same bytes: the returned string, the allocator-bound
// string (made with the element's allocator) and the stream.
TEST(XmlCompose, TreesToBytesInBothLineBreakModes)
{
    for (const ComposeCase& c : kComposeCases) {
        CountingAllocator alloc;
        CXML_Element* plain = new CXML_Element(CKW_ByteStringC("a"));
        CXML_Element* bound = new (&alloc) CXML_Element(CKW_ByteStringC("a"), &alloc);
        c.build(*plain);
        c.build(*bound);
        for (bool noLineBreaks : {true, false}) {
            const std::string want = noLineBreaks ? c.flat : c.broken;
            EXPECT_EQ(Str(plain->OutputStream(c.raw, noLineBreaks)), want) << c.name;

            CKW_ByteStringL out;
            bound->OutputStream(out, c.raw, noLineBreaks);
            EXPECT_EQ(Str(out), want) << c.name;
            EXPECT_EQ(alloc.live.count(out.m_Ptr), 1u) << c.name;
            out.Empty(&alloc);

            MemoryFileWrite file;
            bound->OutputStream(&file, c.raw, noLineBreaks);
            EXPECT_EQ(file.bytes, want) << c.name;
        }
        delete plain;
        CXML_Element::Destroy(bound);
        EXPECT_TRUE(alloc.live.empty()) << c.name;
        EXPECT_EQ(alloc.foreignFrees, 0) << c.name;
    }
}

// With a stream the text goes out element by element, not in one block at
// the end; a null stream writes nothing.
TEST(XmlCompose, StreamReceivesTheTextElementByElement)
{
    const std::string doc = "<r><m n='1'>one</m><m n='2'><v>x</v></m><m n='3'/></r>";
    CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size());
    ASSERT_NE(root, nullptr);
    MemoryFileWrite file;
    root->OutputStream(&file, false, true);
    EXPECT_EQ(file.bytes, "<r><m n=\"1\">one</m><m n=\"2\"><v>x</v></m><m n=\"3\"/></r>");
    EXPECT_EQ(file.bytes, Str(root->OutputStream(false, true)));
    // The start of each m and of v hands over what came before it; the
    // rest goes out at the end.
    EXPECT_EQ(file.writes, 5);
    root->OutputStream((IKW_FileWrite*)nullptr, false, true);

    // The composer itself hands its text to the string when there is no
    // stream, and leaves the string alone when there is one.
    CXML_Composer composer(nullptr, false, true);
    CKW_ByteStringL out;
    composer.Compose(root->GetElement(2), nullptr, out);
    EXPECT_EQ(Str(out), "<m n=\"3\"/>");
    MemoryFileWrite second;
    CXML_Composer streaming(nullptr, false, true);
    streaming.Compose(root->GetElement(2), &second, out);
    EXPECT_EQ(second.bytes, "<m n=\"3\"/>");
    EXPECT_EQ(Str(out), "<m n=\"3\"/>");
    out.Empty(nullptr);
    delete root;
}

// A tree far deeper than any stack frame budget is written in full.
TEST(XmlCompose, DeepTreeIsWrittenWithoutRecursion)
{
    const int depth = 200000;
    CXML_Element* root = new CXML_Element(CKW_ByteStringC("e"));
    CXML_Element* e = root;
    for (int i = 1; i < depth; i++) {
        CXML_Element* child = new CXML_Element(CKW_ByteStringC("e"));
        e->AddChildElement(child);
        e = child;
    }
    e->AddChildContent(W(L"x"), false);
    CKW_ByteString text = root->OutputStream(false, true);
    std::string want;
    for (int i = 0; i < depth; i++)
        want += "<e>";
    want += "x";
    for (int i = 0; i < depth; i++)
        want += "</e>";
    EXPECT_TRUE(Str(text) == want);
    delete root;
}

namespace {

// Random trees, built through the element's own editing operations, with
// every kind of character the writer escapes or cannot write.
class TreeGenerator {
public:
    explicit TreeGenerator(uint32_t seed) : m_State(seed) {}

    CXML_Element* Make(_IKW_Allocator* allocator)
    {
        CXML_Element* root = new (allocator) CXML_Element(allocator);
        Fill(root, 0);
        return root;
    }

private:
    uint32_t Next()
    {
        m_State ^= m_State << 13;
        m_State ^= m_State >> 17;
        m_State ^= m_State << 5;
        return m_State;
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

    std::string Name()
    {
        static const char* const names[] = {"a", "b", "item", "x-y.z", "_u", "\xC3\xA9t\xC3\xA9", "n1", "2b", "-x"};
        static const char* const prefixes[] = {"", "", "", "p", "xmlns", "q"};
        std::string prefix = prefixes[Below(6)];
        std::string name = names[Below(9)];
        return prefix.empty() ? name : prefix + ":" + name;
    }

    std::wstring Text(bool cdata)
    {
        static const wchar_t pieces[] = {'a', ' ', ' ', '\t', '\n', '\r', '<', '>', '&', '"', '\'', ']', ']',
                                         0,   0xE9, 0x263A, 0x1F600, 0xFFFD, 0x10FFFF, 0x7FFFFFFF};
        std::wstring text;
        uint32_t length = Below(12);
        for (uint32_t i = 0; i < length; i++) {
            uint32_t pick = Below(sizeof pieces / sizeof pieces[0] + 2);
            if (pick == sizeof pieces / sizeof pieces[0])
                text += (wchar_t)-(int)(1 + Below(1000));   // no UTF-8 form
            else if (pick == sizeof pieces / sizeof pieces[0] + 1)
                text += cdata ? L"]]>" : L"&amp;";
            else
                text += pieces[pick];
        }
        return text;
    }

    void Fill(CXML_Element* e, int depth)
    {
        // Names that are not XML names ("2b", "-x") are refused; the
        // element then keeps a name of its own.
        if (!e->SetTag(CKW_ByteStringC(Name().c_str())))
            e->SetTag("e");
        for (uint32_t n = Below(5); n > 0; n--)
            e->SetAttrValue(CKW_ByteStringC(Name().c_str()), CKW_WideStringC(W(Text(false))));
        uint32_t children = depth < 5 ? Below(6) : 0;
        for (uint32_t i = 0; i < children; i++) {
            uint32_t kind = Below(3);
            if (kind == 0) {
                CXML_Element* child = new (e->GetAllocator()) CXML_Element(e->GetAllocator());
                Fill(child, depth + 1);
                if (!e->AddChildElement(child))
                    CXML_Element::Destroy(child);
            } else {
                e->AddChildContent(CKW_WideStringC(W(Text(kind == 2))), kind == 2);
            }
        }
    }

    uint32_t m_State;
};

} // namespace

TEST(XmlCompose, GeneratedTreesReadBackTheSame)
{
    // Trees made with default memory, a counting allocator and an arena, read
    // back into default memory and into an arena.
    CountingAllocator alloc;
    for (uint32_t seed = 1; seed <= 1500; seed++) {
        CXML_Arena arena(2048);
        TreeGenerator generator(seed);
        _IKW_Allocator* made = seed % 3 == 0 ? nullptr : seed % 3 == 1 ? (_IKW_Allocator*)&alloc : &arena;
        CXML_Element* root = generator.Make(made);
        for (bool noLineBreaks : {true, false}) {
            XmlRoundTrip trip = XmlComposeAndParse(root, noLineBreaks, seed % 2 ? &arena : nullptr);
            ASSERT_EQ(trip.actual, trip.expected) << "seed " << seed << " text " << trip.text;
        }
        CXML_Element::Destroy(root);
    }
    EXPECT_TRUE(alloc.live.empty());
}
