// The element tree: lookups by name, editing, namespaces, cloning, deep
// documents.
#include "CXML_Element.h"
#include "CXML_Parser.h"
#include "CountingAllocator.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

namespace {

struct TreeDeleter {
    void operator()(CXML_Element* e) const { CXML_Element::Destroy(e); }
};
using Tree = std::unique_ptr<CXML_Element, TreeDeleter>;

Tree Parse(const std::string& doc)
{
    return Tree(CXML_Element::Parse(doc.data(), doc.size()));
}

std::string Utf8(const CKW_WideString& text)
{
    CKW_ByteString bytes = text.UTF8Encode();
    return std::string(bytes.c_str(), (size_t)bytes.GetLength());
}

} // namespace

// The reads the update engine makes on a reply.
TEST(XmlElement, ReadingAServiceReply)
{
    Tree root = Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<Updater result=\"0\" schedule=\"7\">\n"
                      "  <Module name=\"Reader\" version=\"12.1.0.1\" silent=\"TRUE\" size=\"1048576\">\n"
                      "    <Description>Fixes &amp; improvements \xE2\x80\x94 caf\xC3\xA9</Description>\n"
                      "  </Module>\n"
                      "  <Module name=\"OCR\" version=\"2.0.0.0\"/>\n"
                      "</Updater>\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(std::string(root->GetTagName(false).c_str()), "Updater");
    ASSERT_EQ(root->CountChildren(), 2u);
    CXML_Element* reader = root->GetElement(0u);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->GetParent(), root.get());
    EXPECT_EQ(reader->CountAttrs(), 4);
    EXPECT_TRUE(reader->GetAttrValue("version") == L"12.1.0.1");
    EXPECT_TRUE(reader->GetAttrValue("silent").CompareNoCase(L"true") == 0);
    int size = 0;
    EXPECT_TRUE(reader->GetAttrInteger("size", size));
    EXPECT_EQ(size, 1048576);
    EXPECT_TRUE(reader->GetAttrValue("missing").IsEmpty());
    CKW_WideString untouched(L"keep");
    EXPECT_FALSE(reader->GetAttrValue("missing", untouched));
    EXPECT_TRUE(untouched == L"keep");
    CXML_Element* desc = reader->GetElement("", "Description");
    ASSERT_NE(desc, nullptr);
    EXPECT_EQ(Utf8(desc->GetContent(0)), "Fixes & improvements \xE2\x80\x94 caf\xC3\xA9");
    EXPECT_EQ(root->CountElements("", "Module"), 2u);
    EXPECT_EQ(root->GetElement("", "Module", 1), root->GetElement(1u));
    EXPECT_EQ(root->GetElement("", "Module", 2), nullptr);
    EXPECT_EQ(root->GetElement("", "Module", -1), nullptr);
}

TEST(XmlElement, NameMatching)
{
    Tree root = Parse("<r xmlns:ns='urn:a'><b ns:name='1' plain='2'/><x:b/><c/></r>");
    ASSERT_NE(root, nullptr);
    CXML_Element* b = root->GetElement(0u);
    CKW_WideString v;
    EXPECT_TRUE(b->GetAttrValue("name", v));   // an empty prefix matches any
    EXPECT_TRUE(v == L"1");
    EXPECT_FALSE(b->GetAttrValue("x:plain", v));
    EXPECT_TRUE(b->GetAttrValue("ns", "name", v));
    EXPECT_FALSE(b->GetAttrValue("other", "name", v));
    EXPECT_TRUE(b->HasAttr("ns:name"));
    EXPECT_FALSE(b->HasAttr("Name"));   // case matters
    EXPECT_EQ(root->CountElements("", "b"), 2u);
    EXPECT_EQ(root->CountElements("x", "b"), 1u);
    EXPECT_EQ(root->GetElement("x", "b", 0), root->GetElement(1u));

    b->SetAttrValue("name", CKW_WideStringC(L"3"));   // replaces ns:name
    EXPECT_EQ(b->CountAttrs(), 2);
    EXPECT_TRUE(b->GetAttrValue("ns:name") == L"3");
    b->RemoveAttr("plain");
    EXPECT_EQ(b->CountAttrs(), 1);

    CKW_ByteString prefix("p"), name("n");
    CKW_WideString value(L"v");
    b->GetAttrByIndex(5, prefix, name, value);
    EXPECT_TRUE(prefix == "p" && name == "n" && value == L"v");
    b->GetAttrByIndex(0, prefix, name, value);
    EXPECT_TRUE(prefix == "ns" && name == "name" && value == L"3");
}

TEST(XmlElement, TagsAndNamespaces)
{
    Tree root = Parse("<r xmlns='urn:default'><g xmlns:p='urn:x'><m><p:item/></m></g></r>");
    ASSERT_NE(root, nullptr);
    CXML_Element* item = root->GetElement(0u)->GetElement(0u)->GetElement(0u);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->GetTagName(true) == "p:item");
    EXPECT_TRUE(item->GetTagName(false) == "item");
    EXPECT_TRUE(item->GetNamespace(true) == "p");
    EXPECT_TRUE(item->GetNamespace(false) == "urn:x");
    EXPECT_TRUE(item->GetNamespaceURI("p") == "urn:x");
    EXPECT_TRUE(item->GetNamespaceURI("") == "urn:default");
    EXPECT_TRUE(item->GetNamespaceURI("q").IsEmpty());
    CKW_ByteStringL tag;
    item->GetTagName(tag, true);
    EXPECT_EQ(std::string(tag.c_str()), "p:item");
    tag.Empty(nullptr);

    // At most one prefix: "a:b:c" would be read back as "c" in "b".
    CXML_Element e("a:b:c");
    EXPECT_TRUE(e.GetTagName(true).IsEmpty());
    EXPECT_TRUE(e.SetTag("a:b"));
    EXPECT_FALSE(e.SetTag("a:b:c"));
    EXPECT_FALSE(e.SetTag(CKW_ByteStringC("a"), CKW_ByteStringC("b:c")));
    EXPECT_TRUE(e.GetTagName(true) == "a:b");
    EXPECT_TRUE(e.SetTag(""));
    EXPECT_TRUE(e.GetTagName(true).IsEmpty());
}

TEST(XmlElement, ChildrenByHand)
{
    CountingAllocator alloc;
    {
        CXML_Element* root = new (&alloc) CXML_Element("root", &alloc);
        CXML_Element* first = new (&alloc) CXML_Element("e1", &alloc);
        CXML_Element* third = new (&alloc) CXML_Element("e3", &alloc);
        EXPECT_TRUE(root->AddChildElement(first));
        EXPECT_TRUE(root->AddChildContent(CKW_WideStringC(L"text"), false));
        EXPECT_TRUE(root->AddChildElement(third));
        EXPECT_FALSE(root->AddChildElement(nullptr));
        EXPECT_EQ(root->CountChildren(), 3u);
        EXPECT_EQ(root->GetElement(1u), nullptr);
        EXPECT_TRUE(root->GetContent(1) == L"text");
        EXPECT_TRUE(root->GetContent(0).IsEmpty());
        EXPECT_EQ(root->GetContentPtr(2), nullptr);
        EXPECT_EQ(root->GetChildType(3), 0u);
        EXPECT_EQ(root->FindElement(third), 2u);
        EXPECT_EQ(root->FindElement(root), 0xFFFFFFFFu);

        CXML_Element* late = new (&alloc) CXML_Element("late", &alloc);
        EXPECT_TRUE(root->InsertChildElement(5, late));
        EXPECT_EQ(root->CountChildren(), 6u);
        for (unsigned i = 3; i < 5; i++)
            EXPECT_EQ(root->GetChildType(i), 0u);
        EXPECT_EQ(root->GetElement(5u), late);
        EXPECT_EQ(late->GetParent(), root);
        EXPECT_TRUE(root->InsertChildContent(0, CKW_WideStringC(L""), true));
        EXPECT_EQ(root->GetChildType(0), 2u);
        EXPECT_TRUE(root->IsContentCDATA(0));

        root->RemoveChild(1);   // e1 with its record
        EXPECT_EQ(root->CountChildren(), 6u);
        root->RemoveChild(100);
        EXPECT_EQ(XmlDump(root), "root[C\"\",\"text\",e3,?,?,late]");

        root->SetAttrValue("n", -12);
        EXPECT_TRUE(root->GetAttrValue("n") == L"-12");
        root->SetAttrValue("n", 4000000000u);
        EXPECT_TRUE(root->GetAttrValue("n") == L"4000000000");
        root->SetAttrValue("f", 0.5f);
        EXPECT_TRUE(root->GetAttrValue("f") == L"0.5");
        float f = 0;
        EXPECT_TRUE(root->GetAttrFloat("f", f));
        EXPECT_FLOAT_EQ(f, 0.5f);

        CXML_Element* copy = root->Clone(&alloc);
        EXPECT_EQ(XmlDump(copy), "root{n=4000000000,f=0.5}[\"\",\"text\",e3,late]");   // CDATA becomes plain
        CXML_Element::Destroy(copy);

        root->Empty();
        EXPECT_EQ(root->CountChildren(), 0u);
        EXPECT_EQ(root->CountAttrs(), 0);
        CXML_Element::Destroy(root);
    }
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(alloc.foreignFrees, 0);
}

// A child that cannot be added (out of memory) keeps no parent and is left
// with the caller.
TEST(XmlElement, ParentIsSetOnlyOnceAdded)
{
    CountingAllocator alloc;
    CXML_Element* root = new (&alloc) CXML_Element("root", &alloc);
    CXML_Element child("child", nullptr);
    alloc.failAfter = 0;
    EXPECT_FALSE(root->AddChildElement(&child));
    EXPECT_EQ(child.GetParent(), nullptr);
    EXPECT_EQ(root->CountChildren(), 0u);
    alloc.failAfter = -1;
    CXML_Element::Destroy(root);
    EXPECT_TRUE(alloc.live.empty());
}

// A child that has a parent already, the element itself or one of its
// ancestors is refused by both ways of adding: it would be destroyed twice,
// or the tree would hold a cycle that writing it never leaves.
TEST(XmlElement, ChildWithAParentOrAnAncestorIsRefused)
{
    struct Case {
        const char* what;
        const char* parent;   // in the tree r[a[b],c] or the other tree o[x]
        const char* child;
    } cases[] = {
        {"a child added twice", "r", "a"},
        {"a grandchild moved up", "r", "b"},
        {"a child of another tree", "r", "x"},
        {"the element itself", "a", "a"},
        {"its parent", "b", "a"},
        {"the root of its tree", "b", "r"},
        {"a root of its own below itself", "o", "o"},
    };
    for (const Case& c : cases) {
        for (bool insert : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.what << (insert ? " (insert)" : " (add)"));
            CountingAllocator alloc;
            CXML_Element* r = CXML_Element::Parse("<r><a><b/></a><c/></r>", 22, false, nullptr, &alloc);
            CXML_Element* o = CXML_Element::Parse("<o><x/></o>", 11, false, nullptr, &alloc);
            ASSERT_NE(r, nullptr);
            ASSERT_NE(o, nullptr);
            CXML_Element* a = r->GetElement(0u);
            std::map<std::string, CXML_Element*> named = {
                {"r", r}, {"a", a}, {"b", a->GetElement(0u)}, {"c", r->GetElement(1u)}, {"o", o}, {"x", o->GetElement(0u)}};
            CXML_Element* parent = named[c.parent];
            CXML_Element* child = named[c.child];
            CXML_Element* parentBefore = child->GetParent();
            EXPECT_FALSE(insert ? parent->InsertChildElement(0, child) : parent->AddChildElement(child));
            EXPECT_EQ(child->GetParent(), parentBefore);
            EXPECT_EQ(XmlDump(r), "r[a[b],c]");
            EXPECT_EQ(XmlDump(o), "o[x]");
            EXPECT_EQ(std::string(r->OutputStream(false, true).c_str()), "<r><a><b/></a><c/></r>");
            CXML_Element::Destroy(r);
            CXML_Element::Destroy(o);
            EXPECT_TRUE(alloc.live.empty());
        }
    }
}

namespace {

std::string Nested(int levels, const char* innermost = "")
{
    std::string doc;
    for (int i = 0; i < levels; i++)
        doc += "<e>";
    doc += innermost;
    for (int i = 0; i < levels; i++)
        doc += "</e>";
    return doc;
}

int Depth(const CXML_Element* e, const CXML_Element** deepest)
{
    int depth = 1;
    while (e->GetElement(0u)) {
        e = e->GetElement(0u);
        depth++;
    }
    *deepest = e;
    return depth;
}

} // namespace

TEST(XmlElement, NestingIsBoundedAt512Levels)
{
    const CXML_Element* deepest = nullptr;
    Tree t512 = Parse(Nested(512, "x"));
    ASSERT_NE(t512, nullptr);
    EXPECT_EQ(Depth(t512.get(), &deepest), 512);
    EXPECT_EQ(XmlDump(deepest), "e[\"x\"]");

    // The 513th level is not built: its parent reads its bytes as text.
    Tree t513 = Parse(Nested(513, "x"));
    ASSERT_NE(t513, nullptr);
    EXPECT_EQ(Depth(t513.get(), &deepest), 512);
    EXPECT_EQ(XmlDump(deepest), "e[\"e>x\"]");

    // Far deeper: still 512 levels, read in one pass, all of the input
    // consumed once the root closes.
    std::string doc = Nested(200000);
    int64_t parsed = 0;
    Tree deep(CXML_Element::Parse(doc.data(), doc.size(), false, &parsed));
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(Depth(deep.get(), &deepest), 512);
    // Each refused start tag leaves "e>" behind as a text segment.
    ASSERT_EQ(deepest->CountChildren(), 200000u - 512u);
    EXPECT_TRUE(deepest->GetContent(0) == L"e>");
    EXPECT_TRUE(deepest->GetContent(200000 - 513) == L"e>");
    EXPECT_EQ(parsed, 200000 * 3 + 512 * 4);
}

// Trees built by hand may be deeper than any parsed one; tearing them down
// and copying them does not recurse.
TEST(XmlElement, DeepHandBuiltTreeIsCopiedAndDestroyed)
{
    CXML_Element* root = new CXML_Element("e");
    CXML_Element* at = root;
    for (int i = 0; i < 200000; i++) {
        CXML_Element* child = new CXML_Element("e");
        ASSERT_TRUE(at->AddChildElement(child));
        at = child;
    }
    CXML_Element* copy = root->Clone(nullptr);
    const CXML_Element* deepest = nullptr;
    EXPECT_EQ(Depth(copy, &deepest), 200001);
    delete copy;
    delete root;
}
