// The XML reader: one table of documents and flags with the tree each gives,
// run through the memory accessor, the stream accessor at every block size,
// a reader cut at every offset, and a real file.
#include "CXML_Arena.h"
#include "CXML_Element.h"
#include "CXML_Parser.h"
#include "CountingAllocator.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace {

enum Flags { None = 0, SaveSpaces = 1, LiteralAmp = 2, KeepBreaks = 4 };

struct Case {
    const char* name;
    std::string input;
    int flags;
    const char* tree;
};

std::string S(const char* bytes) { return bytes; }
template <size_t N>
std::string B(const char (&bytes)[N]) { return std::string(bytes, N - 1); }

const Case kCases[] = {
    // Start of the document.
    {"leading white space", S("  \r\n<a/>"), None, "a"},
    {"utf8 byte-order mark", S("\xEF\xBB\xBF<a/>"), None, "a"},
    {"text before the root is refused", S("x<a/>"), None, "(null)"},
    {"only white space", S(" \t\n"), None, "(null)"},
    {"end tag as root", S("</a>"), None, "(null)"},
    {"empty root name", S("< a/>"), None, "(null)"},
    {"prolog and comment", S("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- made by hand -->\n<root a='1'>t</root>"),
     None, "root{a=1}[\"t\"]"},
    {"doctype before the root", S("<!DOCTYPE r><r/>"), None, "r"},
    {"doctype with internal subset",
     S("<!DOCTYPE r [\n <!ENTITY x \"a>b\">\n <!-- ] > ' -->\n <?pi ]>?>\n]>\n<r>t</r>"), None, "r[\"t\"]"},
    {"doctype with quoted id", S("<!DOCTYPE r SYSTEM 'x>y.dtd'><r/>"), None, "r"},
    {"processing instruction ends at its own ?>", S("<?pi x?\?><a>t</a>"), None, "a[\"t\"]"},
    {"quote in a declaration before the root", S("<! it's a note><r>x</r>"), None, "r[\"x\"]"},
    {"quote in a declaration inside content", S("<r><!X it's>y</r>"), None, "r[\"y\"]"},
    {"quote in a lone-dash declaration", S("<r>x<!- it's>y</r>"), None, "r[\"x\",\"y\"]"},
    {"quote in a non-cdata section", S("<r><![X[ it's ]>y</r>"), None, "r[\"y\"]"},
    {"small-letter doctype keeps its quotes", S("<!doctype r SYSTEM 'x>y'><r/>"), None, "r"},

    // Attributes.
    {"both quote kinds", S("<a x=\"1\" y='2' z = \"3\"/>"), None, "a{x=1,y=2,z=3}"},
    {"references in values", S("<a v=\"&quot;q&amp;&#x263A;&#65;&apos;&lt;&gt;\"/>"), None, "a{v=\\x22q&\xE2\x98\xBA" "A'<>}"},
    {"ampersand flag does not touch values", S("<a v='&amp;'/>"), LiteralAmp, "a{v=&}"},
    {"prefixed names", S("<p:item xmlns:p='urn:x' p:id='7'/>"), None, "p:item{xmlns:p=urn:x,p:id=7}"},
    {"later unprefixed name replaces prefixed", S("<a p:x=\"1\" x=\"2\"/>"), None, "a{p:x=2}"},
    {"prefixed name does not replace unprefixed", S("<a x=\"1\" p:x=\"2\"/>"), None, "a{x=1,p:x=2}"},
    {"attribute without value is dropped", S("<a b>x</a>"), None, "a[\"x\"]"},
    {"name after a bare attribute fails the tag", S("<a b c='1'>x</a>"), None, "(null)"},
    {"unquoted value is empty", S("<a b=c>x</a>"), None, "a{b=}[\"x\"]"},
    {"unterminated value runs to the end", S("<a b=\"xyz"), None, "a{b=xyz}"},
    {"utf-8 value", S("<a v='\xC3\xA9\xF0\x9F\x98\x80'/>"), None, "a{v=\xC3\xA9\xF0\x9F\x98\x80}"},
    {"several colons keep the last prefix", S("<a:b:c/>"), None, "b:c"},

    // Content.
    {"entities and character references", S("<a>x &lt; y &#65;&#x42;</a>"), None, "a[\"x < y AB\"]"},
    {"literal ampersands", S("<a>x &lt; y &#65;</a>"), LiteralAmp, "a[\"x &lt; y &#65;\"]"},
    {"unknown entity gives U+0000", S("<a>&foo;</a>"), None, "a[\"\\x00\"]"},
    {"capital X reads decimal", S("<a>&#X41;</a>"), None, "a[\")\"]"},
    {"spaces trimmed", S("<a>  text  </a>"), None, "a[\"text\"]"},
    {"spaces saved", S("<a>  text  </a>"), SaveSpaces, "a[\"  text  \"]"},
    {"text around children", S("<a> x <b/> y </a>"), None, "a[\"x\",b,\"y\"]"},
    {"text before a comment is kept", S("<a>one<!-- c -->two</a>"), None, "a[\"one\",\"two\"]"},
    {"comment ends at the first -->", S("<a><!-- x ---></a>"), None, "a"},
    {"unterminated comment", S("<a>x<!-- never"), None, "a[\"x\"]"},
    {"cdata", S("<a><![CDATA[<b>]]></a>"), None, "a[C\"<b>\"]"},
    {"empty cdata gives nothing", S("<a><![CDATA[]]></a>"), None, "a"},
    {"cdata ending in brackets", S("<a><![CDATA[a]]]></a>"), None, "a[C\"a]\"]"},
    {"cdata keeps spaces and markup", S("<a>one<![CDATA[ <x> & ]]>three</a>"), None, "a[\"one\",C\" <x> & \",\"three\"]"},
    {"unterminated cdata keeps its text", S("<a><![CDATA[abc"), None, "a[C\"abc\"]"},
    {"other sections are declarations", S("<a><![IGNORE[ x ]]>t</a>"), None, "a[\"t\"]"},
    {"declaration inside content", S("<a>x<!DOCTYPE y [ <!ENTITY z \"]>\"> ]>t</a>"), None, "a[\"x\",\"t\"]"},
    {"processing instruction inside content", S("<a>x<?pi ?\?>y</a>"), None, "a[\"xy\"]"},
    {"utf-8 content", S("<a>caf\xC3\xA9 \xE2\x82\xAC</a>"), None, "a[\"caf\xC3\xA9 \xE2\x82\xAC\"]"},
    {"lone '<' in text", S("<a>1 < 2</a>"), None, "a[\"1\",\" 2\"]"},
    {"keep line breaks", S("<a>\n  <b/>\n</a>"), KeepBreaks, "a[\"\\x0A\",b]"},
    {"keep line breaks with text", S("<a>\r\n x\n<b/></a>"), KeepBreaks, "a[\"\\x0D\\x0Ax\\x0A\",b]"},

    // Structure.
    {"missing end tag", S("<a><b></a>"), None, "a[b]"},
    {"end tags are not compared", S("<a><b>x</c>y</d>"), None, "a[b[\"x\"],\"y\"]"},
    {"nested elements", S("<r><m n='1'><v>2</v></m><m n='2'/></r>"), None, "r[m{n=1}[v[\"2\"]],m{n=2}]"},
    {"bad tag end drops the child", S("<a><b c d='1'>y</b>x</a>"), None, "a[\"='1'>y\"]"},
    {"nul bytes are white space", B("<a>\0x\0</a>"), None, "a[\"x\\x00\"]"},
};

std::string ParseMemory(const Case& c, int64_t* parsed, _IKW_Allocator* allocator = nullptr)
{
    CXML_Element* root = CXML_Element::Parse(c.input.data(), c.input.size(), c.flags & SaveSpaces, parsed, allocator,
                                             c.flags & LiteralAmp, c.flags & KeepBreaks);
    std::string dump = XmlDump(root);
    CXML_Element::Destroy(root);
    return dump;
}

std::string ParseReader(const Case& c, IKW_BufferRead* reader, int64_t* parsed)
{
    CXML_Element* root = CXML_Element::Parse(reader, c.flags & SaveSpaces, parsed, nullptr, c.flags & LiteralAmp,
                                             c.flags & KeepBreaks);
    std::string dump = XmlDump(root);
    delete root;
    return dump;
}

} // namespace

TEST(XmlParse, TableThroughMemory)
{
    for (const Case& c : kCases) {
        int64_t parsed = -1;
        EXPECT_EQ(ParseMemory(c, &parsed), c.tree) << c.name;
    }
}

// The whole table again with every tree in a per-document arena, through
// memory and through small stream blocks.
TEST(XmlParse, TableThroughAnArena)
{
    for (const Case& c : kCases) {
        CXML_Arena arena(1024);
        int64_t parsed = -1;
        EXPECT_EQ(ParseMemory(c, &parsed, &arena), c.tree) << c.name;
        for (size_t block : {1, 3, 7}) {
            MemoryFileRead file(c.input);
            CXML_DataStmAcc* acc = CXML_DataStmAcc::Create(&file, &arena, block);
            CXML_Element* root = CXML_Element::Parse(acc, c.flags & SaveSpaces, nullptr, &arena,
                                                     c.flags & LiteralAmp, c.flags & KeepBreaks);
            EXPECT_EQ(XmlDump(root), c.tree) << c.name << " block " << block;
            CXML_Element::Destroy(root);
            acc->Release();
        }
    }
}

// The stream accessor at every block size from 1 byte up to the whole
// document, and a reader cut once at every offset: every result, and the
// parsed size, is the memory accessor's.
TEST(XmlParse, TableThroughEveryBlockBoundary)
{
    for (const Case& c : kCases) {
        int64_t expectedParsed = -1;
        std::string expected = ParseMemory(c, &expectedParsed);
        for (size_t block = 1; block <= c.input.size() + 1; block++) {
            MemoryFileRead file(c.input);
            CXML_DataStmAcc* acc = CXML_DataStmAcc::Create(&file, nullptr, block);
            int64_t parsed = -1;
            EXPECT_EQ(ParseReader(c, acc, &parsed), expected) << c.name << " block " << block;
            if (expected != "(null)") {
                EXPECT_EQ(parsed, expectedParsed) << c.name << " block " << block;
            }
            acc->Release();
        }
        for (size_t cut = 0; cut <= c.input.size(); cut++) {
            SplitBufferRead reader(c.input, {cut});
            int64_t parsed = -1;
            EXPECT_EQ(ParseReader(c, &reader, &parsed), expected) << c.name << " cut " << cut;
            if (expected != "(null)") {
                EXPECT_EQ(parsed, expectedParsed) << c.name << " cut " << cut;
            }
        }
    }
}

TEST(XmlParse, TableThroughARealFile)
{
    char dir[] = "/tmp/core_xml_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string path = std::string(dir) + "/doc.xml";
    for (const Case& c : kCases) {
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << c.input;
        }
        PosixFileRead file(path);
        ASSERT_TRUE(file.IsOpen());
        CXML_Element* root = CXML_Element::Parse(&file, c.flags & SaveSpaces, nullptr, nullptr,
                                                 c.flags & LiteralAmp, c.flags & KeepBreaks);
        EXPECT_EQ(XmlDump(root), c.tree) << c.name;
        delete root;
    }
    unlink(path.c_str());
    rmdir(dir);
}

TEST(XmlParse, ParsedSizeIsTheOffsetAfterTheRoot)
{
    struct {
        std::string input;
        int64_t parsed;
    } cases[] = {
        {"<a>text</a>trailing<b/>", 11},
        {"  <a/>  ", 6},
        {"<a b c='1'>", 6},   // no root, but parsing started
        {"<a><b>", 6},
    };
    for (auto& c : cases) {
        int64_t parsed = -1;
        CXML_Element* root = CXML_Element::Parse(c.input.data(), c.input.size(), false, &parsed);
        EXPECT_EQ(parsed, c.parsed) << c.input;
        delete root;
    }
    int64_t untouched = 42;
    EXPECT_EQ(CXML_Element::Parse("x<a/>", 5, false, &untouched), nullptr);
    EXPECT_EQ(untouched, 42);
    EXPECT_EQ(CXML_Element::Parse(nullptr, 5, false, &untouched), nullptr);
    EXPECT_EQ(CXML_Element::Parse((IKW_FileRead*)nullptr), nullptr);
    EXPECT_EQ(CXML_Element::Parse((IKW_BufferRead*)nullptr), nullptr);
    EXPECT_EQ(untouched, 42);
}

TEST(XmlParse, FirstCharacterCheck)
{
    struct {
        std::string data;
        bool ok;
    } cases[] = {
        {"  \r\n<a/>", true},     {"\xEF\xBB\xBF<a/>", true}, {"\xEF\xBB\xBF", false}, {"\xEF\xBB<", false},
        {"\xFF\xFE<", true},      {"\xFE\xFF<", true},        {"\xFF\xFE", false},     {"x<a/>", false},
        {"", false},              {"   ", false},
    };
    for (auto& c : cases)
        EXPECT_EQ(CheckFirstNonEmptyChar((const uint8_t*)c.data.data(), c.data.size()), c.ok) << c.data;
    EXPECT_FALSE(CheckFirstNonEmptyChar(nullptr, 4));
}

TEST(XmlParse, StreamReadsBlocksOfAtMost32K)
{
    std::string doc = "<r>" + std::string(70000 - 7, 'x') + "</r>";
    ASSERT_EQ(doc.size(), 70000u);
    MemoryFileRead file(doc);
    CXML_Element* root = CXML_Element::Parse(&file);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetContent(0).GetLength(), 70000 - 7);
    EXPECT_EQ(file.reads, (std::vector<size_t>{32768, 32768, 4464}));
    delete root;
}

// A file that grows while it is read must not overrun the block buffer,
// whose first block was small.
TEST(XmlParse, FileGrowingWhileReadIsReadSafely)
{
    MemoryFileRead file("<r>");
    file.onRead = [](MemoryFileRead& f) {
        if (f.Bytes().size() < 100000)
            f.Bytes() += "<e>" + std::string(4000, 'y') + "</e>";
    };
    CXML_Element* root = CXML_Element::Parse(&file);
    ASSERT_NE(root, nullptr);
    EXPECT_GE(root->CountChildren(), 20u);
    for (unsigned i = 0; i < root->CountChildren(); i++)
        EXPECT_EQ(root->GetElement(i)->GetContent(0).GetLength(), 4000);
    delete root;
}

TEST(XmlParse, EveryBlockOfAnAllocatorIsReturnedToIt)
{
    CountingAllocator parseAlloc, cloneAlloc;
    for (const Case& c : kCases) {
        CXML_Element* root = CXML_Element::Parse(c.input.data(), c.input.size(), c.flags & SaveSpaces, nullptr,
                                                 &parseAlloc, c.flags & LiteralAmp, c.flags & KeepBreaks);
        EXPECT_EQ(XmlDump(root), c.tree) << c.name;
        if (root) {
            CXML_Element* copy = root->Clone(&cloneAlloc);
            ASSERT_NE(copy, nullptr);
            EXPECT_EQ(copy->GetAllocator(), &cloneAlloc);
            CXML_Element::Destroy(root);
            EXPECT_TRUE(parseAlloc.live.empty()) << c.name;
            CXML_Element::Destroy(copy);
            EXPECT_TRUE(cloneAlloc.live.empty()) << c.name;
        }
        // Through the stream accessor the accessor and its buffer come from
        // the allocator too.
        MemoryFileRead file(c.input);
        root = CXML_Element::Parse(&file, c.flags & SaveSpaces, nullptr, &parseAlloc, c.flags & LiteralAmp,
                                   c.flags & KeepBreaks);
        CXML_Element::Destroy(root);
        EXPECT_TRUE(parseAlloc.live.empty()) << c.name;
    }
    EXPECT_GT(parseAlloc.allocs, 0);
    EXPECT_GT(cloneAlloc.allocs, 0);
    EXPECT_EQ(parseAlloc.foreignFrees + cloneAlloc.foreignFrees, 0);
}

// Running out of memory at any point of a parse gives a smaller tree or
// none, never a crash or a leak.
TEST(XmlParse, AllocationFailureAtEveryStep)
{
    const std::string doc = "<?xml version='1.0'?><r a='1' b='&amp;'><m n='x'>text<![CDATA[c]]></m><m/>tail</r>";
    CountingAllocator probe;
    CXML_Element::Destroy(CXML_Element::Parse(doc.data(), doc.size(), false, nullptr, &probe));
    ASSERT_GT(probe.requests, 5);
    for (long n = 0; n <= probe.requests; n++) {
        CountingAllocator alloc;
        alloc.failAfter = n;
        CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size(), false, nullptr, &alloc);
        if (n == probe.requests) {
            EXPECT_EQ(XmlDump(root), "r{a=1,b=&}[m{n=x}[\"text\",C\"c\"],m,\"tail\"]");
        }
        CXML_Element::Destroy(root);
        EXPECT_TRUE(alloc.live.empty()) << n;
        EXPECT_EQ(alloc.foreignFrees, 0);
    }
}

// Many attributes with repeated names, with and without prefixes: the tree
// is the one that storing each attribute in turn with SetAttrValue gives
// (an unprefixed name replaces the first attribute of that local name, a
// prefixed one only its own prefix and name; the last value wins), on both
// sides of the count where the reader switches from scanning to its index.
TEST(XmlParse, RepeatedAttributesMatchStoringThemOneByOne)
{
    const char* const prefixes[] = {"", "", "p", "q", "xmlns"};
    for (int count : {3, 16, 17, 40, 3000}) {
        uint32_t seed = 12345u + (uint32_t)count;
        auto next = [&seed] { return seed = seed * 1103515245u + 12345u, seed >> 16; };
        std::string doc = "<r";
        CXML_Element expected(CKW_ByteStringC("r"));
        for (int i = 0; i < count; i++) {
            std::string prefix = prefixes[next() % 5];
            std::string name = "n" + std::to_string(next() % (count / 3 + 2));
            std::string qualified = prefix.empty() ? name : prefix + ":" + name;
            std::string value = std::to_string(i);
            doc += " " + qualified + "='" + value + "'";
            CKW_WideString wide = CKW_WideString::FromUTF8(value.c_str());
            expected.SetAttrValue(CKW_ByteStringC(qualified.c_str()), CKW_WideStringC(wide));
        }
        doc += "/>";
        CXML_Element* root = CXML_Element::Parse(doc.data(), doc.size());
        EXPECT_EQ(XmlDump(root), XmlDump(&expected)) << count << " attributes";
        delete root;
    }
}
