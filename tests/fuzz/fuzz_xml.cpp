// The XML reader on arbitrary bytes: the update engine's own call and walk,
// then the same bytes through the memory accessor, the stream accessor
// (small blocks, flags taken from the input) and into a per-document arena,
// whose trees and parsed sizes must be identical.
#include "CXML_Arena.h"
#include "CXML_Element.h"
#include "CXML_Parser.h"
#include "IKW_Stream.h"

#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

class BytesFileRead : public IKW_FileRead {
public:
    BytesFileRead(const uint8_t* data, size_t size) : m_Data(data), m_Size(size) {}
    void Release() override {}
    bool IsEOF() override { return true; }
    int64_t GetPosition() override { return 0; }
    size_t ReadBlock(void*, size_t) override { return 0; }
    int64_t GetSize() override { return (int64_t)m_Size; }
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override
    {
        if (offset < 0 || (uint64_t)offset + size > m_Size)
            return false;
        memcpy(buffer, m_Data + offset, size);
        return true;
    }

private:
    const uint8_t* m_Data;
    size_t m_Size;
};

void Dump(const CXML_Element* e, std::string& out)
{
    if (!e) {
        out += "(null)";
        return;
    }
    out += e->GetTagName(true).c_str();
    out += '{';
    for (int i = 0; i < e->CountAttrs(); i++) {
        CKW_ByteString prefix, name;
        CKW_WideString value;
        e->GetAttrByIndex(i, prefix, name, value);
        out += prefix.c_str();
        out += ':';
        out += name.c_str();
        out += '=';
        out.append((const char*)value.c_str(), (size_t)value.GetLength() * sizeof(wchar_t));
        out += ',';
    }
    out += "}[";
    for (unsigned i = 0; i < e->CountChildren(); i++) {
        if (e->GetChildType(i) == CXML_Element::Element) {
            Dump(e->GetElement(i), out);
        } else {
            const CKW_WideStringL* text = e->GetContentPtr(i);
            out += e->IsContentCDATA(i) ? "C\"" : "\"";
            out.append((const char*)text->m_Ptr, (size_t)text->m_Length * sizeof(wchar_t));
            out += '"';
        }
        out += ',';
    }
    out += ']';
}

// What the update engine does with a reply, "UpdaterInfo.xml" or "Setup.xml".
void WalkAsTheEngineDoes(const CXML_Element* root)
{
    if (!root)
        return;
    volatile size_t sink = root->GetTagName(false).GetLength();
    root->GetAttrValue("scheduleTime");
    for (unsigned i = 0; i < root->CountChildren(); i++) {
        CXML_Element* child = root->GetElement(i);
        if (!child)
            continue;
        sink = sink + (size_t)child->GetAttrValue("name").GetLength() + child->GetTagName(false).GetLength();
        for (int a = 0; a < child->CountAttrs(); a++) {
            CKW_ByteString prefix, name;
            CKW_WideString value;
            child->GetAttrByIndex(a, prefix, name, value);
            sink = sink + (size_t)value.GetLength();
        }
        for (unsigned j = 0; j < child->CountChildren(); j++) {
            if (CXML_Element* grandchild = child->GetElement(j))
                sink = sink + (size_t)grandchild->GetAttrValue("path").GetLength();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::setlocale(LC_ALL, "C");
    std::setlocale(LC_CTYPE, "C.UTF-8");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CXML_Element* root = CXML_Element::Parse(data, size, false, nullptr, nullptr, false, false);
    WalkAsTheEngineDoes(root);
    delete root;

    // Flags and block size from the input, so that the fuzzer explores them.
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < size && i < 64; i++)
        h = (h ^ data[i]) * 16777619u;
    const bool saveSpaces = h & 1, literalAmpersands = h & 2, keepLineBreaks = h & 4;
    const size_t blockSize = 1 + (h >> 8) % 40;

    int64_t memorySize = -1, streamSize = -1;
    CXML_Element* fromMemory =
        CXML_Element::Parse(data, size, saveSpaces, &memorySize, nullptr, literalAmpersands, keepLineBreaks);
    BytesFileRead file(data, size);
    CXML_DataStmAcc* acc = CXML_DataStmAcc::Create(&file, nullptr, blockSize);
    CXML_Element* fromStream =
        CXML_Element::Parse(acc, saveSpaces, &streamSize, nullptr, literalAmpersands, keepLineBreaks);
    acc->Release();

    CXML_Arena arena(1024);
    int64_t arenaSize = -1;
    CXML_Element* inArena =
        CXML_Element::Parse(data, size, saveSpaces, &arenaSize, &arena, literalAmpersands, keepLineBreaks);

    std::string a, b, c;
    Dump(fromMemory, a);
    Dump(fromStream, b);
    Dump(inArena, c);
    if (a != b || (fromMemory && memorySize != streamSize))
        abort();   // the accessors disagree
    if (a != c || memorySize != arenaSize)
        abort();   // the arena changed the tree
    if (inArena) {
        CXML_Element* copy = inArena->Clone(&arena);
        CXML_Element::Destroy(copy);
    }
    CXML_Element::Destroy(inArena);

    if (fromMemory) {
        CXML_Element* copy = fromMemory->Clone(nullptr);
        delete copy;
    }
    delete fromMemory;
    delete fromStream;
    return 0;
}
