// The per-document arena: blocks keep their bytes through growth, the last
// block is taken back, large blocks are really resized and freed, and whole
// trees (parsed, edited, cloned, written) live in it.
#include "CXML_Arena.h"
#include "CXML_Element.h"
#include "CountingAllocator.h"
#include "XmlRoundTrip.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

void Fill(void* p, size_t size, uint8_t seed)
{
    for (size_t i = 0; i < size; i++)
        ((uint8_t*)p)[i] = (uint8_t)(seed + i);
}

bool Holds(const void* p, size_t size, uint8_t seed)
{
    for (size_t i = 0; i < size; i++) {
        if (((const uint8_t*)p)[i] != (uint8_t)(seed + i))
            return false;
    }
    return true;
}

} // namespace

// Realloc never loses what a block holds: grown in place when it is the
// last block, copied otherwise, and across the small/large boundary both
// ways. Every block is aligned for the tree's records.
TEST(XmlArena, ReallocKeepsTheBytes)
{
    CXML_Arena arena(4096);
    _IKW_Allocator* a = &arena;
    struct Step {
        size_t from, to;
        bool last;   // the block is the last one carved when it is resized
    } steps[] = {
        {24, 100, true},  {24, 100, false}, {100, 24, false}, {8, 2000, false},
        {16, 900, false}, {900, 5000, true}, {5000, 20000, false}, {20000, 300, false}, {0, 40, true},
    };
    for (const Step& s : steps) {
        void* p = a->Alloc(a, s.from);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ((uintptr_t)p % 8, 0u);
        Fill(p, s.from, (uint8_t)s.to);
        void* other = s.last ? nullptr : a->Alloc(a, 16);
        if (other)
            Fill(other, 16, 99);
        void* q = a->Realloc(a, p, s.to);
        ASSERT_NE(q, nullptr) << s.from << " -> " << s.to;
        EXPECT_EQ((uintptr_t)q % 8, 0u);
        size_t kept = s.from < s.to ? s.from : s.to;
        EXPECT_TRUE(Holds(q, kept, (uint8_t)s.to)) << s.from << " -> " << s.to;
        Fill(q, s.to, 7);   // the whole new size is usable
        if (other) {
            EXPECT_TRUE(Holds(other, 16, 99)) << s.from << " -> " << s.to;
            a->Free(a, other);
        }
        a->Free(a, q);
    }
}

// Freeing the block carved last gives its room to the next one; any other
// free keeps the memory until the arena goes. Large blocks are heap blocks
// of their own, returned when freed.
TEST(XmlArena, LastBlockIsTakenBackAndLargeBlocksAreFreed)
{
    CXML_Arena arena(4096);
    _IKW_Allocator* a = &arena;
    void* first = a->Alloc(a, 32);
    void* second = a->Alloc(a, 32);
    a->Free(a, second);
    EXPECT_EQ(a->Alloc(a, 32), second);
    a->Free(a, first);   // not the last: stays
    EXPECT_NE(a->Alloc(a, 32), first);
    const size_t chunks = arena.GetHeapBlocks();

    void* large = a->Alloc(a, 100000);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(arena.GetHeapBlocks(), chunks + 1);
    large = a->Realloc(a, large, 300000);
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(arena.GetHeapBlocks(), chunks + 1);
    a->Free(a, large);
    EXPECT_EQ(arena.GetHeapBlocks(), chunks);

    a->Free(a, nullptr);
    arena.Reset();
    EXPECT_EQ(arena.GetHeapBlocks(), 0u);
    EXPECT_NE(a->Alloc(a, 10), nullptr);
}

// The parse table's documents give the same trees in an arena, through the
// memory accessor and the stream accessor, and so do clones, edits and the
// written text of a tree in an arena.
TEST(XmlArena, TreesInAnArenaAreTheSame)
{
    const char* const docs[] = {
        "<?xml version='1.0'?><!DOCTYPE r [<!ENTITY x 'a>b'>]><r a='1' b='&amp;' p:c='\xC3\xA9'>"
        "<m n='x'>text<![CDATA[c]]]]><![CDATA[>]]></m><m/>tail &#x263A;<!-- c --></r>",
        "<a>  spaced  <b x='1' x='2' q:x='3'/>\n<c>\xF0\x9F\x98\x80</c></a>",
    };
    for (const char* doc : docs) {
        size_t size = strlen(doc);
        CXML_Element* plain = CXML_Element::Parse(doc, size, true);
        const std::string want = XmlDump(plain);
        CXML_Arena arena(1024);
        CXML_Element* root = CXML_Element::Parse(doc, size, true, nullptr, &arena);
        EXPECT_EQ(XmlDump(root), want);
        MemoryFileRead file(doc);
        CXML_Element* streamed = CXML_Element::Parse(&file, true, nullptr, &arena);
        EXPECT_EQ(XmlDump(streamed), want);

        // Edits that grow strings and arrays in place or by copying.
        for (int i = 0; i < 200; i++) {
            std::string name = "k" + std::to_string(i % 50);
            std::wstring value(i + 1, L'v');
            root->SetAttrValue(CKW_ByteStringC(name.c_str()), CKW_WideStringC(value.data(), (int)value.size()));
            plain->SetAttrValue(CKW_ByteStringC(name.c_str()), CKW_WideStringC(value.data(), (int)value.size()));
            root->AddChildContent(CKW_WideStringC(value.data(), (int)value.size()), i % 2);
            plain->AddChildContent(CKW_WideStringC(value.data(), (int)value.size()), i % 2);
        }
        EXPECT_EQ(XmlDump(root), XmlDump(plain));
        CXML_Element* copy = root->Clone(&arena);
        CXML_Element* plainCopy = plain->Clone(nullptr);
        EXPECT_EQ(XmlDump(copy), XmlDump(plainCopy));
        for (bool noLineBreaks : {true, false}) {
            EXPECT_TRUE(root->OutputStream(false, noLineBreaks) == plain->OutputStream(false, noLineBreaks));
            XmlRoundTrip trip = XmlComposeAndParse(root, noLineBreaks, &arena);
            EXPECT_EQ(trip.actual, trip.expected);
        }
        CXML_Element::Destroy(copy);
        CXML_Element::Destroy(streamed);
        CXML_Element::Destroy(root);
        delete plainCopy;
        delete plain;
    }
}

// A tree in an arena lets its own strings and content go with the arena, but
// a child made with another allocator is still returned to it, subtree and
// all, when the tree is destroyed or emptied.
TEST(XmlArena, ForeignChildrenAreReleasedWithTheTree)
{
    CountingAllocator alloc;
    CXML_Arena arena(1024);
    const char doc[] = "<r a='1'><m n='x'>text</m>tail</r>";
    CXML_Element* root = CXML_Element::Parse(doc, sizeof doc - 1, false, nullptr, &arena);
    ASSERT_NE(root, nullptr);
    for (CXML_Element* parent : {root, root->GetElement(0)}) {
        CXML_Element* foreign = new (&alloc) CXML_Element(CKW_ByteStringC("f"), &alloc);
        foreign->SetAttrValue("k", CKW_WideStringC(L"v", 1));
        foreign->AddChildContent(CKW_WideStringC(L"t", 1), false);
        foreign->AddChildElement(new (&alloc) CXML_Element(CKW_ByteStringC("g"), &alloc));
        ASSERT_TRUE(parent->AddChildElement(foreign));
    }
    EXPECT_EQ(XmlDump(root), "r{a=1}[m{n=x}[\"text\",f{k=v}[\"t\",g]],\"tail\",f{k=v}[\"t\",g]]");
    root->GetElement(0)->Empty();
    EXPECT_EQ(XmlDump(root->GetElement(0)), "");
    EXPECT_FALSE(alloc.live.empty());
    CXML_Element::Destroy(root);
    EXPECT_TRUE(alloc.live.empty());
    EXPECT_EQ(alloc.foreignFrees, 0);
}
