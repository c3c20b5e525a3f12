#include "CXML_Element.h"

#include "CKW_ByteString.h"
#include "CXML_Arena.h"
#include "CKW_WideString.h"
#include "KW_Memory.h"
#include "KW_Primitives.h"
#include "KW_UTF.h"

#include <cstring>
#include <new>

namespace {

// Names are a few bytes long: compared with a couple of fixed-size loads
// instead of a library call.
inline bool SameBytes(const void* a, const void* b, size_t n)
{
    const uint8_t* x = (const uint8_t*)a;
    const uint8_t* y = (const uint8_t*)b;
    if (n >= 8 && n <= 16) {
        uint64_t x1, x2, y1, y2;
        memcpy(&x1, x, 8);
        memcpy(&y1, y, 8);
        memcpy(&x2, x + n - 8, 8);
        memcpy(&y2, y + n - 8, 8);
        return ((x1 ^ y1) | (x2 ^ y2)) == 0;
    }
    if (n >= 4 && n < 8) {
        uint32_t x1, x2, y1, y2;
        memcpy(&x1, x, 4);
        memcpy(&y1, y, 4);
        memcpy(&x2, x + n - 4, 4);
        memcpy(&y2, y + n - 4, 4);
        return ((x1 ^ y1) | (x2 ^ y2)) == 0;
    }
    if (n < 4) {
        for (size_t i = 0; i < n; i++) {
            if (x[i] != y[i])
                return false;
        }
        return true;
    }
    return memcmp(x, y, n) == 0;
}

// Each child takes two 8-byte units: its type, then its pointer.
typedef uint64_t ChildUnit;

void* AllocRecord(_IKW_Allocator* allocator, size_t size)
{
    return KWMEM_AllocWith(allocator, size);
}

void FreeRecordWith(_IKW_Allocator* allocator, void* record)
{
    KWMEM_FreeWith(allocator, record);
}

bool NameMatches(const CKW_ByteStringL& storedPrefix, const CKW_ByteStringL& storedName,
                 const CKW_ByteStringC& prefix, const CKW_ByteStringC& name)
{
    if (prefix.GetLength() != 0) {
        if (storedPrefix.m_Length != prefix.GetLength()
            || memcmp(storedPrefix.m_Ptr, prefix.GetPtr(), (size_t)prefix.GetLength()) != 0)
            return false;
    }
    return storedName.m_Length == name.GetLength()
           && (name.GetLength() == 0 || memcmp(storedName.m_Ptr, name.GetPtr(), (size_t)name.GetLength()) == 0);
}

CKW_WideStringC ViewOf(const CKW_WideStringL& text)
{
    return CKW_WideStringC(text.m_Ptr, text.m_Length);
}

CKW_ByteStringC ViewOf(const CKW_ByteStringL& text)
{
    return CKW_ByteStringC(text.m_Ptr, text.m_Length);
}

bool SetAsciiValue(CXML_Element* element, const CKW_ByteStringC& name, const char* text)
{
    wchar_t wide[64];
    int n = 0;
    while (text[n] && n < 63) {
        wide[n] = (wchar_t)(unsigned char)text[n];
        n++;
    }
    return element->SetAttrValue(name, CKW_WideStringC(wide, n));
}

// XML 1.0 name characters beyond ASCII (Fifth Edition).
bool IsNameStart(uint32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6)
           || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D)
           || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F)
           || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF)
           || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameFollow(uint32_t c)
{
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7
           || (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

// One character of well-formed UTF-8 (shortest form, no surrogate, at most
// U+10FFFF); 0 bytes for anything else.
int NextScalar(const uint8_t* p, const uint8_t* end, uint32_t& c)
{
    const uint8_t lead = *p;
    int n;
    uint32_t min;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, c = lead & 0x1F, min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, c = lead & 0x0F, min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, c = lead & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (end - p < n)
        return 0;
    for (int i = 1; i < n; i++) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (p[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return n;
}

} // namespace

bool KW_XML_IsLocalName(const CKW_ByteStringC& name)
{
    const uint8_t* p = name.GetPtr();
    const uint8_t* end = p + name.GetLength();
    if (p == end)
        return false;
    for (bool first = true; p < end; first = false) {
        uint32_t c;
        int n = NextScalar(p, end, c);
        if (n == 0 || !(first ? IsNameStart(c) : IsNameFollow(c)))
            return false;
        p += n;
    }
    return true;
}

bool KW_XML_IsQualifiedName(const CKW_ByteStringC& name)
{
    const uint8_t* p = name.GetPtr();
    const int length = name.GetLength();
    const void* colon = length > 0 ? memchr(p, ':', (size_t)length) : nullptr;
    if (!colon)
        return KW_XML_IsLocalName(name);
    const int at = (int)((const uint8_t*)colon - p);
    return KW_XML_IsLocalName(CKW_ByteStringC(p, at))
           && KW_XML_IsLocalName(CKW_ByteStringC(p + at + 1, length - at - 1));
}

void KW_XML_SplitQualifiedName(const CKW_ByteStringC& full, CKW_ByteStringC& prefix, CKW_ByteStringC& name)
{
    int length = full.GetLength();
    if (length == 0)
        return;
    const uint8_t* p = full.GetPtr();
    const void* colon = memchr(p, ':', (size_t)length);
    if (!colon) {
        name = full;
        return;
    }
    int at = (int)((const uint8_t*)colon - p);
    prefix = CKW_ByteStringC(p, at);
    name = CKW_ByteStringC(p + at + 1, length - at - 1);
}

// ---------------------------------------------------------------------------
// Attributes

bool CXML_AttrItem::Matches(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const
{
    return NameMatches(m_QSpaceName, m_AttrName, prefix, name);
}

void CXML_AttrItem::Empty(_IKW_Allocator* allocator)
{
    // Most attributes have no prefix: nothing to return for it.
    if (m_QSpaceName.m_Ptr)
        m_QSpaceName.Empty(allocator);
    m_AttrName.Empty(allocator);
    m_Value.Empty(allocator);
}

bool CXML_AttrMap::SetAt(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, const CKW_WideStringC& value,
                         _IKW_Allocator* allocator)
{
    int count = GetSize();
    for (int i = 0; i < count; i++) {
        CXML_AttrItem& item = GetAt(i);
        if (item.Matches(prefix, name)) {
            item.m_Value.Set(value, allocator);
            return true;
        }
    }
    if (!m_pMap) {
        void* record = AllocRecord(allocator, sizeof(CKW_BasicArray));
        if (!record)
            return false;
        m_pMap = new (record) CKW_BasicArray((int)sizeof(CXML_AttrItem), allocator);
    }
    void* unit = m_pMap->InsertSpaceAt(count, 1);
    if (!unit)
        return false;
    CXML_AttrItem* item = new (unit) CXML_AttrItem();
    item->m_QSpaceName.Set(prefix, allocator);
    item->m_AttrName.Set(name, allocator);
    item->m_Value.Set(value, allocator);
    return true;
}

CXML_AttrItem* CXML_AttrMap::AllocItems(int count, _IKW_Allocator* allocator)
{
    if (m_pMap || count < 1)
        return nullptr;
    void* record = AllocRecord(allocator, sizeof(CKW_BasicArray));
    if (!record)
        return nullptr;
    CKW_BasicArray* map = new (record) CKW_BasicArray((int)sizeof(CXML_AttrItem), allocator);
    if (!map->SetSize(count, -1)) {
        map->~CKW_BasicArray();
        FreeRecordWith(allocator, record);
        return nullptr;
    }
    m_pMap = map;
    CXML_AttrItem* items = (CXML_AttrItem*)map->GetDataPtr(0);
    for (int i = 0; i < count; i++)
        new (&items[i]) CXML_AttrItem();
    return items;
}

// Lengths are compared before any byte, so most items are passed over
// without reading their names.
const CKW_WideStringL* CXML_AttrMap::Lookup(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const
{
    int count = GetSize();
    if (count == 0)
        return nullptr;
    const CXML_AttrItem* items = (const CXML_AttrItem*)m_pMap->GetDataPtr(0);
    const int nameLength = name.GetLength();
    const int prefixLength = prefix.GetLength();
    for (int i = 0; i < count; i++) {
        const CXML_AttrItem& item = items[i];
        if (item.m_AttrName.m_Length != nameLength)
            continue;
        if (prefixLength != 0
            && (item.m_QSpaceName.m_Length != prefixLength
                || !SameBytes(item.m_QSpaceName.m_Ptr, prefix.GetPtr(), (size_t)prefixLength)))
            continue;
        if (SameBytes(item.m_AttrName.m_Ptr, name.GetPtr(), (size_t)nameLength))
            return &item.m_Value;
    }
    return nullptr;
}

int CXML_AttrMap::GetSize() const
{
    return m_pMap ? m_pMap->GetSize() : 0;
}

CXML_AttrItem& CXML_AttrMap::GetAt(int index) const
{
    return *(CXML_AttrItem*)m_pMap->GetDataPtr(index);
}

void CXML_AttrMap::RemoveAt(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, _IKW_Allocator* allocator)
{
    int count = GetSize();
    for (int i = 0; i < count; i++) {
        CXML_AttrItem& item = GetAt(i);
        if (item.Matches(prefix, name)) {
            item.Empty(allocator);
            m_pMap->RemoveAt(i, 1);
            return;
        }
    }
}

void CXML_AttrMap::RemoveAll(_IKW_Allocator* allocator)
{
    if (!m_pMap)
        return;
    // An arena takes the list and its strings back when it goes, a large
    // list too, as it does a large value. Not even reading the list record
    // matters: tearing down a parsed tree is bound by the cache lines it
    // touches.
    if (CXML_Arena::IsArena(allocator)) {
        m_pMap = nullptr;
        return;
    }
    int count = m_pMap->GetSize();
    for (int i = 0; i < count; i++)
        GetAt(i).Empty(allocator);
    m_pMap->SetSize(0, -1);
    m_pMap->~CKW_BasicArray();
    FreeRecordWith(allocator, m_pMap);
    m_pMap = nullptr;
}

// ---------------------------------------------------------------------------
// Records

void* CXML_Element::operator new(size_t size) noexcept
{
    return KWMEM_DefaultAlloc(size, 0);
}

void* CXML_Element::operator new(size_t size, _IKW_Allocator* allocator) noexcept
{
    return AllocRecord(allocator, size);
}

void CXML_Element::operator delete(void* p) noexcept
{
    if (p)
        KWMEM_DefaultFree(p, 0);
}

void CXML_Element::operator delete(void* p, _IKW_Allocator* allocator) noexcept
{
    FreeRecordWith(allocator, p);
}

void CXML_Element::Destroy(CXML_Element* element)
{
    if (!element)
        return;
    _IKW_Allocator* allocator = element->GetAllocator();
    element->~CXML_Element();
    FreeRecordWith(allocator, element);
}

void CXML_Element::FreeRecord(void* record) const
{
    FreeRecordWith(GetAllocator(), record);
}

// ---------------------------------------------------------------------------
// Construction

CXML_Element::CXML_Element(_IKW_Allocator* allocator) : m_pParent(nullptr), m_Children(8, allocator) {}

CXML_Element::CXML_Element(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, _IKW_Allocator* allocator)
    : m_pParent(nullptr), m_Children(8, allocator)
{
    SetTag(prefix, name);
}

CXML_Element::CXML_Element(const CKW_ByteStringC& qualifiedName, _IKW_Allocator* allocator)
    : m_pParent(nullptr), m_Children(8, allocator)
{
    SetTag(qualifiedName);
}

CXML_Element::~CXML_Element()
{
    Empty();
}

void CXML_Element::Empty()
{
    _IKW_Allocator* allocator = GetAllocator();
    if (CXML_Arena::IsArena(allocator)) {
        // Small blocks of an arena all go when the arena does: the names
        // are let go without a call each.
        m_QSpaceName = CKW_ByteStringL();
        m_TagName = CKW_ByteStringL();
    } else {
        m_QSpaceName.Empty(allocator);
        m_TagName.Empty(allocator);
    }
    m_AttrMap.RemoveAll(allocator);
    RemoveChildren();
}

// Copies one element's tag and attributes (not its children).
CXML_Element* CXML_Element::ShallowCopy(const CXML_Element* source, _IKW_Allocator* allocator)
{
    // The names as they are: a tree read from a document may hold names the
    // setters would refuse, and the copy must be the same tree.
    CXML_Element* copy = new (allocator) CXML_Element(allocator);
    if (!copy)
        return nullptr;
    copy->StoreTag(source->GetNamespace(true), source->GetTagName(false));
    int attrs = source->CountAttrs();
    for (int i = 0; i < attrs; i++) {
        CKW_ByteString prefix, name;
        CKW_WideString value;
        source->GetAttrByIndex(i, prefix, name, value);
        copy->m_AttrMap.SetAt(prefix, name, value, allocator);
    }
    return copy;
}

// Walks the source depth-first with an explicit list of pending pairs, so
// that a tree of any depth is copied in constant stack space.
CXML_Element* CXML_Element::Clone(_IKW_Allocator* allocator) const
{
    CXML_Element* root = ShallowCopy(this, allocator);
    if (!root)
        return nullptr;
    struct Pair {
        const CXML_Element* source;
        CXML_Element* copy;
    };
    CKW_BasicArray pending((int)sizeof(Pair), allocator);
    Pair first = {this, root};
    if (!pending.SetSize(1, -1)) {
        Destroy(root);
        return nullptr;
    }
    memcpy(pending.GetDataPtr(0), &first, sizeof first);
    while (pending.GetSize() > 0) {
        Pair pair;
        memcpy(&pair, pending.GetDataPtr(pending.GetSize() - 1), sizeof pair);
        pending.RemoveAt(pending.GetSize() - 1, 1);
        unsigned count = pair.source->CountChildren();
        for (unsigned i = 0; i < count; i++) {
            unsigned type = pair.source->GetChildType(i);
            if (type == Content) {
                const CKW_WideStringL* text = pair.source->GetContentPtr(i);
                pair.copy->AddChildContent(ViewOf(*text), false);
            } else if (type == Element) {
                const CXML_Element* child = pair.source->GetElement(i);
                CXML_Element* childCopy = ShallowCopy(child, allocator);
                if (!childCopy)
                    continue;
                if (!pair.copy->AddChildElement(childCopy)) {
                    Destroy(childCopy);
                    continue;
                }
                if (child->CountChildren() == 0)
                    continue;
                Pair next = {child, childCopy};
                void* slot = pending.InsertSpaceAt(pending.GetSize(), 1);
                if (slot)
                    memcpy(slot, &next, sizeof next);
            }
        }
    }
    return root;
}

// ---------------------------------------------------------------------------
// Tag and namespace

void CXML_Element::StoreTag(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name)
{
    _IKW_Allocator* allocator = GetAllocator();
    m_QSpaceName.Set(prefix, allocator);
    m_TagName.Set(name, allocator);
}

bool CXML_Element::SetTag(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name)
{
    if (!KW_XML_IsLocalName(name) || (prefix.GetLength() > 0 && !KW_XML_IsLocalName(prefix)))
        return false;
    StoreTag(prefix, name);
    return true;
}

bool CXML_Element::SetTag(const CKW_ByteStringC& qualifiedName)
{
    if (qualifiedName.GetLength() == 0) {
        StoreTag(CKW_ByteStringC(), CKW_ByteStringC());
        return true;
    }
    if (!KW_XML_IsQualifiedName(qualifiedName))
        return false;
    CKW_ByteStringC prefix, name;
    KW_XML_SplitQualifiedName(qualifiedName, prefix, name);
    StoreTag(prefix, name);
    return true;
}

CKW_ByteString CXML_Element::GetTagName(bool qualified) const
{
    if (qualified && m_QSpaceName.m_Length > 0) {
        CKW_ByteString result(ViewOf(m_QSpaceName));
        result += ':';
        result += ViewOf(m_TagName);
        return result;
    }
    return CKW_ByteString(ViewOf(m_TagName));
}

void CXML_Element::GetTagName(CKW_ByteStringL& out, bool qualified) const
{
    _IKW_Allocator* allocator = GetAllocator();
    if (!(qualified && m_QSpaceName.m_Length > 0)) {
        out.Set(ViewOf(m_TagName), allocator);
        return;
    }
    int length = m_QSpaceName.m_Length + 1 + m_TagName.m_Length;
    char* buffer = out.AllocBuffer(length + 1, allocator);
    if (!buffer)
        return;
    memcpy(buffer, m_QSpaceName.m_Ptr, (size_t)m_QSpaceName.m_Length);
    buffer[m_QSpaceName.m_Length] = ':';
    if (m_TagName.m_Length > 0)
        memcpy(buffer + m_QSpaceName.m_Length + 1, m_TagName.m_Ptr, (size_t)m_TagName.m_Length);
    buffer[length] = 0;
    out.m_Length = length;
}

CKW_ByteString CXML_Element::GetNamespace(bool qualified) const
{
    if (qualified)
        return CKW_ByteString(ViewOf(m_QSpaceName));
    return GetNamespaceURI(ViewOf(m_QSpaceName));
}

void CXML_Element::GetNamespace(CKW_ByteStringL& out, bool qualified) const
{
    if (qualified)
        out.Set(ViewOf(m_QSpaceName), GetAllocator());
    else
        GetNamespaceURI(ViewOf(m_QSpaceName), out);
}

CKW_ByteString CXML_Element::GetNamespaceURI(const CKW_ByteStringC& prefix) const
{
    static const CKW_ByteStringC xmlns("xmlns");
    const CKW_WideStringL* value = nullptr;
    for (const CXML_Element* e = this; e && !value; e = e->m_pParent) {
        int count = e->m_AttrMap.GetSize();
        for (int i = 0; i < count; i++) {
            const CXML_AttrItem& item = e->m_AttrMap.GetAt(i);
            bool hit = prefix.GetLength() == 0 ? ViewOf(item.m_AttrName) == xmlns
                                               : (ViewOf(item.m_QSpaceName) == xmlns
                                                  && ViewOf(item.m_AttrName) == prefix);
            if (hit) {
                value = &item.m_Value;
                break;
            }
        }
    }
    if (!value || value->m_Length == 0)
        return CKW_ByteString();
    return KW_UTF8Encode(value->m_Ptr, value->m_Length);
}

void CXML_Element::GetNamespaceURI(const CKW_ByteStringC& prefix, CKW_ByteStringL& out) const
{
    CKW_ByteString uri = GetNamespaceURI(prefix);
    out.Set(CKW_ByteStringC(uri), GetAllocator());
}

// ---------------------------------------------------------------------------
// Attributes

int CXML_Element::CountAttrs() const
{
    return m_AttrMap.GetSize();
}

void CXML_Element::GetAttrByIndex(int index, CKW_ByteString& prefix, CKW_ByteString& name,
                                  CKW_WideString& value) const
{
    if (index < 0 || index >= m_AttrMap.GetSize())
        return;
    const CXML_AttrItem& item = m_AttrMap.GetAt(index);
    prefix = ViewOf(item.m_QSpaceName);
    name = ViewOf(item.m_AttrName);
    value = ViewOf(item.m_Value);
}

void CXML_Element::GetAttrByIndex(int index, CKW_ByteStringL& prefix, CKW_ByteStringL& name,
                                  CKW_WideStringL& value) const
{
    if (index < 0 || index >= m_AttrMap.GetSize())
        return;
    _IKW_Allocator* allocator = GetAllocator();
    const CXML_AttrItem& item = m_AttrMap.GetAt(index);
    prefix.Set(ViewOf(item.m_QSpaceName), allocator);
    name.Set(ViewOf(item.m_AttrName), allocator);
    value.Set(ViewOf(item.m_Value), allocator);
}

bool CXML_Element::HasAttr(const CKW_ByteStringC& qualifiedName) const
{
    return GetAttrValuePtr(qualifiedName) != nullptr;
}

bool CXML_Element::GetAttrValue(const CKW_ByteStringC& qualifiedName, CKW_WideString& value) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(qualifiedName);
    if (!stored)
        return false;
    value = ViewOf(*stored);
    return true;
}

CKW_WideString CXML_Element::GetAttrValue(const CKW_ByteStringC& qualifiedName) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(qualifiedName);
    if (!stored)
        return CKW_WideString();
    return CKW_WideString(ViewOf(*stored));
}

bool CXML_Element::GetAttrValue(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name,
                                CKW_WideString& value) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(prefix, name);
    if (!stored)
        return false;
    value = ViewOf(*stored);
    return true;
}

const CKW_WideStringL* CXML_Element::GetAttrValuePtr(const CKW_ByteStringC& qualifiedName) const
{
    CKW_ByteStringC prefix, name;
    KW_XML_SplitQualifiedName(qualifiedName, prefix, name);
    return m_AttrMap.Lookup(prefix, name);
}

const CKW_WideStringL* CXML_Element::GetAttrValuePtr(const CKW_ByteStringC& prefix,
                                                     const CKW_ByteStringC& name) const
{
    return m_AttrMap.Lookup(prefix, name);
}

bool CXML_Element::GetAttrInteger(const CKW_ByteStringC& qualifiedName, int& value) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(qualifiedName);
    if (!stored)
        return false;
    value = stored->GetInteger();
    return true;
}

bool CXML_Element::GetAttrInteger(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, int& value) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(prefix, name);
    if (!stored)
        return false;
    value = stored->GetInteger();
    return true;
}

bool CXML_Element::GetAttrFloat(const CKW_ByteStringC& qualifiedName, float& value) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(qualifiedName);
    if (!stored)
        return false;
    value = stored->GetFloat();
    return true;
}

bool CXML_Element::GetAttrFloat(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, float& value) const
{
    const CKW_WideStringL* stored = GetAttrValuePtr(prefix, name);
    if (!stored)
        return false;
    value = stored->GetFloat();
    return true;
}

bool CXML_Element::SetAttrValue(const CKW_ByteStringC& qualifiedName, const CKW_WideStringC& value)
{
    if (!KW_XML_IsQualifiedName(qualifiedName))
        return false;
    CKW_ByteStringC prefix, name;
    KW_XML_SplitQualifiedName(qualifiedName, prefix, name);
    m_AttrMap.SetAt(prefix, name, value, GetAllocator());
    return true;
}

bool CXML_Element::SetAttrValue(const CKW_ByteStringC& qualifiedName, int value)
{
    char buffer[32];
    KWSYS_itoa(value, buffer, 10);
    return SetAsciiValue(this, qualifiedName, buffer);
}

bool CXML_Element::SetAttrValue(const CKW_ByteStringC& qualifiedName, unsigned value)
{
    char buffer[32];
    KWSYS_i64toa((long long)value, buffer, 10);
    return SetAsciiValue(this, qualifiedName, buffer);
}

bool CXML_Element::SetAttrValue(const CKW_ByteStringC& qualifiedName, float value)
{
    char buffer[64];
    int length = KW_ftoa(value, buffer, 0);
    if (length < 0)
        length = 0;
    if (length > 63)
        length = 63;
    buffer[length] = 0;
    return SetAsciiValue(this, qualifiedName, buffer);
}

void CXML_Element::RemoveAttr(const CKW_ByteStringC& qualifiedName)
{
    CKW_ByteStringC prefix, name;
    KW_XML_SplitQualifiedName(qualifiedName, prefix, name);
    m_AttrMap.RemoveAt(prefix, name, GetAllocator());
}

// ---------------------------------------------------------------------------
// Children

unsigned CXML_Element::CountChildren() const
{
    return (unsigned)(m_Children.GetSize() / 2);
}

unsigned CXML_Element::GetChildType(unsigned index) const
{
    if (index >= CountChildren())
        return Invalid;
    const ChildUnit* unit = (const ChildUnit*)m_Children.GetDataPtr((int)(index * 2));
    return (unsigned)unit[0];
}

void* CXML_Element::ChildAt(unsigned index, ChildType type) const
{
    if (index >= CountChildren())
        return nullptr;
    const ChildUnit* unit = (const ChildUnit*)m_Children.GetDataPtr((int)(index * 2));
    if (unit[0] != (ChildUnit)type)
        return nullptr;
    return (void*)(uintptr_t)unit[1];
}

CXML_Element* CXML_Element::GetElement(unsigned index) const
{
    return (CXML_Element*)ChildAt(index, Element);
}

CKW_WideString CXML_Element::GetContent(unsigned index) const
{
    const ContentNode* node = (const ContentNode*)ChildAt(index, Content);
    if (!node)
        return CKW_WideString();
    return CKW_WideString(ViewOf(node->m_Content));
}

const CKW_WideStringL* CXML_Element::GetContentPtr(unsigned index) const
{
    const ContentNode* node = (const ContentNode*)ChildAt(index, Content);
    return node ? &node->m_Content : nullptr;
}

bool CXML_Element::IsContentCDATA(unsigned index) const
{
    const ContentNode* node = (const ContentNode*)ChildAt(index, Content);
    return node && node->m_bCDATA;
}

unsigned CXML_Element::CountElements(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const
{
    unsigned matches = 0;
    unsigned count = CountChildren();
    for (unsigned i = 0; i < count; i++) {
        const CXML_Element* child = GetElement(i);
        if (child && NameMatches(child->m_QSpaceName, child->m_TagName, prefix, name))
            matches++;
    }
    return matches;
}

CXML_Element* CXML_Element::GetElement(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name,
                                       int index) const
{
    if (index < 0)
        return nullptr;
    unsigned count = CountChildren();
    for (unsigned i = 0; i < count; i++) {
        CXML_Element* child = GetElement(i);
        if (child && NameMatches(child->m_QSpaceName, child->m_TagName, prefix, name)) {
            if (index == 0)
                return child;
            index--;
        }
    }
    return nullptr;
}

unsigned CXML_Element::FindElement(CXML_Element* child) const
{
    unsigned count = CountChildren();
    for (unsigned i = 0; i < count; i++) {
        if (child && GetElement(i) == child)
            return i;
    }
    return 0xFFFFFFFF;
}

bool CXML_Element::AppendChild(ChildType type, void* child)
{
    int size = m_Children.GetSize();
    if (size > 0x7fffffff - 2 || !m_Children.SetSize(size + 2, -1))
        return false;
    ChildUnit* unit = (ChildUnit*)m_Children.GetDataPtr(size);
    unit[0] = (ChildUnit)type;
    unit[1] = (ChildUnit)(uintptr_t)child;
    return true;
}

bool CXML_Element::InsertChild(unsigned index, ChildType type, void* child)
{
    if (index > 0x3ffffffe)
        return false;
    ChildUnit* unit = (ChildUnit*)m_Children.InsertSpaceAt((int)(index * 2), 2);
    if (!unit)
        return false;
    unit[0] = (ChildUnit)type;
    unit[1] = (ChildUnit)(uintptr_t)child;
    return true;
}

// A child already in a tree would be owned (and destroyed) twice, and the
// element itself or one of its ancestors would close a cycle that no walk of
// the tree ends.
bool CXML_Element::CanAdopt(const CXML_Element* child) const
{
    if (!child || child->m_pParent || child == this)
        return false;
    // Without a parent the child can only be the root of this tree, which
    // has children: a new leaf, as the reader and Clone add, needs no walk
    // up a deep tree.
    if (child->CountChildren() == 0)
        return true;
    for (const CXML_Element* e = m_pParent; e; e = e->m_pParent) {
        if (e == child)
            return false;
    }
    return true;
}

bool CXML_Element::AddChildElement(CXML_Element* child)
{
    if (!CanAdopt(child))
        return false;
    if (!AppendChild(Element, child))
        return false;
    child->m_pParent = this;
    return true;
}

CXML_Element::ContentNode* CXML_Element::NewContent(const CKW_WideStringC& text, bool cdata)
{
    void* record = AllocRecord(GetAllocator(), sizeof(ContentNode));
    if (!record)
        return nullptr;
    ContentNode* node = new (record) ContentNode();
    node->m_bCDATA = cdata;
    node->m_Content.Set(text, GetAllocator());
    return node;
}

bool CXML_Element::AddChildContent(const CKW_WideStringC& text, bool cdata)
{
    ContentNode* node = NewContent(text, cdata);
    if (!node)
        return false;
    if (!AppendChild(Content, node)) {
        ReleaseChild(Content, node);
        return false;
    }
    return true;
}

bool CXML_Element::InsertChildElement(unsigned index, CXML_Element* child)
{
    if (!CanAdopt(child))
        return false;
    if (!InsertChild(index, Element, child))
        return false;
    child->m_pParent = this;
    return true;
}

bool CXML_Element::InsertChildContent(unsigned index, const CKW_WideStringC& text, bool cdata)
{
    ContentNode* node = NewContent(text, cdata);
    if (!node)
        return false;
    if (!InsertChild(index, Content, node)) {
        ReleaseChild(Content, node);
        return false;
    }
    return true;
}

// Destroys a subtree without recursing: the element children of each element
// are detached onto a pending list (linked through their parent pointers)
// before the element itself is destroyed, so any depth is torn down in
// constant stack space.
void CXML_Element::ReleaseChild(ChildType type, void* child)
{
    if (!child)
        return;
    if (type == Content) {
        ContentNode* node = (ContentNode*)child;
        node->m_Content.Empty(GetAllocator());
        node->~ContentNode();
        FreeRecord(node);
        return;
    }
    if (type != Element)
        return;
    CXML_Element* pending = (CXML_Element*)child;
    pending->m_pParent = nullptr;
    while (pending) {
        CXML_Element* e = pending;
        pending = e->m_pParent;
        unsigned count = e->CountChildren();
        for (unsigned i = 0; i < count; i++) {
            ChildUnit* unit = (ChildUnit*)e->m_Children.GetDataPtr((int)(i * 2));
            if (unit[0] == (ChildUnit)Element) {
                CXML_Element* grandchild = (CXML_Element*)(uintptr_t)unit[1];
                unit[0] = (ChildUnit)Invalid;
                unit[1] = 0;
                if (grandchild) {
                    grandchild->m_pParent = pending;
                    pending = grandchild;
                }
            }
        }
        Destroy(e);
    }
}

void CXML_Element::RemoveChild(unsigned index)
{
    if (index >= CountChildren())
        return;
    ChildUnit* unit = (ChildUnit*)m_Children.GetDataPtr((int)(index * 2));
    ChildType type = (ChildType)unit[0];
    void* child = (void*)(uintptr_t)unit[1];
    m_Children.RemoveAt((int)(index * 2), 2);
    ReleaseChild(type, child);
}

void CXML_Element::RemoveChildren()
{
    // Content of an arena goes with the arena; child elements are always
    // released, as one made elsewhere may have been added.
    const bool arena = CXML_Arena::IsArena(GetAllocator());
    unsigned count = CountChildren();
    for (unsigned i = 0; i < count; i++) {
        ChildUnit* unit = (ChildUnit*)m_Children.GetDataPtr((int)(i * 2));
        if (arena && unit[0] == (ChildUnit)Content)
            continue;
        ReleaseChild((ChildType)unit[0], (void*)(uintptr_t)unit[1]);
    }
    m_Children.SetSize(0, -1);
}
