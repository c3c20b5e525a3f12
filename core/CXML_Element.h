// XML element tree: one element with its namespace prefix and tag name, its
// attributes (names as bytes, values as wide text) and its ordered children,
// each a child element or a run of content text.
//
// Trees come from CXML_Element::Parse (CXML_Parser.cpp) or are built by hand.
// An element owns its attributes, content and child elements; destroying it
// destroys the whole subtree. Everything it owns is drawn from the allocator
// it was made with (null: the default memory manager).
//
// Names are matched by bytes, case-sensitively; an empty requested prefix
// matches any stored prefix. Operations taking one name split it at the
// first ':' into prefix and local name.
#ifndef CXML_ELEMENT_H
#define CXML_ELEMENT_H

#include "CKW_Array.h"
#include "CKW_ByteString.h"
#include "CKW_WideString.h"

#include <cstddef>
#include <cstdint>

struct _IKW_Allocator;
class IKW_FileRead;
class IKW_BufferRead;
class IKW_FileWrite;

// Splits at the first ':'; without one the whole text is the name and prefix
// is left as it was. An empty full name leaves both unchanged.
void KW_XML_SplitQualifiedName(const CKW_ByteStringC& full, CKW_ByteStringC& prefix, CKW_ByteStringC& name);

// An XML 1.0 name without ':' in well-formed UTF-8: a name start character
// followed by name characters.
bool KW_XML_IsLocalName(const CKW_ByteStringC& name);
// A local name, or two local names joined by one ':' (prefix and name).
bool KW_XML_IsQualifiedName(const CKW_ByteStringC& name);

struct CXML_AttrItem {
    CKW_ByteStringL m_QSpaceName;   // prefix
    CKW_ByteStringL m_AttrName;
    CKW_WideStringL m_Value;

    bool Matches(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const;
    void Empty(_IKW_Allocator* allocator);
};

// Attribute list in insertion order; the array is made on the first SetAt.
class CXML_AttrMap {
public:
    CXML_AttrMap() : m_pMap(nullptr) {}
    CXML_AttrMap(const CXML_AttrMap&) = delete;
    CXML_AttrMap& operator=(const CXML_AttrMap&) = delete;

    // Replaces the value of the first attribute matching by name, else
    // appends a new one. False when memory ran out (nothing changed).
    bool SetAt(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, const CKW_WideStringC& value,
               _IKW_Allocator* allocator);
    const CKW_WideStringL* Lookup(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const;
    int GetSize() const;
    CXML_AttrItem& GetAt(int index) const;
    void RemoveAt(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, _IKW_Allocator* allocator);
    void RemoveAll(_IKW_Allocator* allocator);

private:
    friend class CXML_Parser;
    // For an empty map: makes the list with count zeroed items in one
    // allocation and returns the first; null when memory ran out.
    CXML_AttrItem* AllocItems(int count, _IKW_Allocator* allocator);

    CKW_BasicArray* m_pMap;
};

class CXML_Element {
public:
    enum ChildType { Invalid = 0, Element = 1, Content = 2 };

    explicit CXML_Element(_IKW_Allocator* allocator = nullptr);
    CXML_Element(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, _IKW_Allocator* allocator = nullptr);
    CXML_Element(const CKW_ByteStringC& qualifiedName, _IKW_Allocator* allocator = nullptr);
    CXML_Element(const CXML_Element&) = delete;
    CXML_Element& operator=(const CXML_Element&) = delete;
    ~CXML_Element();

    // Records come from the default memory manager (as CKW_Object does) or,
    // with the placement form, from the given allocator. Free a record made
    // with an allocator through Destroy (or its destructor and the
    // allocator's Free entry).
    static void* operator new(size_t size) noexcept;
    static void* operator new(size_t size, _IKW_Allocator* allocator) noexcept;
    static void operator delete(void* p) noexcept;
    static void operator delete(void* p, _IKW_Allocator* allocator) noexcept;
    // Destroys an element and returns its record to the allocator it was
    // made with (null: the default memory manager).
    static void Destroy(CXML_Element* element);

    // --- Parsing (CXML_Parser.cpp). The caller owns the root: destroy it
    // with Destroy(root), or delete it when no allocator was given.
    static CXML_Element* Parse(const void* buffer, size_t size, bool saveSpaces = false,
                               int64_t* parsedSize = nullptr, _IKW_Allocator* allocator = nullptr,
                               bool literalAmpersands = false, bool keepLineBreaks = false);
    static CXML_Element* Parse(IKW_FileRead* file, bool saveSpaces = false, int64_t* parsedSize = nullptr,
                               _IKW_Allocator* allocator = nullptr, bool literalAmpersands = false,
                               bool keepLineBreaks = false);
    static CXML_Element* Parse(IKW_BufferRead* reader, bool saveSpaces = false, int64_t* parsedSize = nullptr,
                               _IKW_Allocator* allocator = nullptr, bool literalAmpersands = false,
                               bool keepLineBreaks = false);

    // --- Writing (CXML_Composer.cpp): the element and its subtree as UTF-8
    // XML text. rawContent writes content unescaped; unless noLineBreaks is
    // set, every '>' closing a tag is preceded by "\r\n". The second form
    // makes out with the element's allocator; the third writes to the stream
    // (nothing for a null one).
    CKW_ByteString OutputStream(bool rawContent, bool noLineBreaks) const;
    void OutputStream(CKW_ByteStringL& out, bool rawContent, bool noLineBreaks) const;
    void OutputStream(IKW_FileWrite* file, bool rawContent, bool noLineBreaks) const;

    void Empty();
    CXML_Element* Clone(_IKW_Allocator* allocator) const;

    // --- Tag and namespace
    // A name that is not an XML name (KW_XML_IsLocalName, a prefix being
    // optional) could turn into markup when written: it is refused (false)
    // and the tag stays as it was. An empty qualified name empties the tag.
    bool SetTag(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name);
    bool SetTag(const CKW_ByteStringC& qualifiedName);
    CKW_ByteString GetTagName(bool qualified = false) const;
    void GetTagName(CKW_ByteStringL& out, bool qualified = false) const;
    CKW_ByteString GetNamespace(bool qualified = false) const;
    void GetNamespace(CKW_ByteStringL& out, bool qualified = false) const;
    CKW_ByteString GetNamespaceURI(const CKW_ByteStringC& prefix) const;
    void GetNamespaceURI(const CKW_ByteStringC& prefix, CKW_ByteStringL& out) const;

    // --- Attributes
    int CountAttrs() const;
    void GetAttrByIndex(int index, CKW_ByteString& prefix, CKW_ByteString& name, CKW_WideString& value) const;
    void GetAttrByIndex(int index, CKW_ByteStringL& prefix, CKW_ByteStringL& name, CKW_WideStringL& value) const;
    bool HasAttr(const CKW_ByteStringC& qualifiedName) const;
    bool GetAttrValue(const CKW_ByteStringC& qualifiedName, CKW_WideString& value) const;
    CKW_WideString GetAttrValue(const CKW_ByteStringC& qualifiedName) const;
    bool GetAttrValue(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, CKW_WideString& value) const;
    const CKW_WideStringL* GetAttrValuePtr(const CKW_ByteStringC& qualifiedName) const;
    const CKW_WideStringL* GetAttrValuePtr(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const;
    bool GetAttrInteger(const CKW_ByteStringC& qualifiedName, int& value) const;
    bool GetAttrInteger(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, int& value) const;
    bool GetAttrFloat(const CKW_ByteStringC& qualifiedName, float& value) const;
    bool GetAttrFloat(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, float& value) const;
    // A name that is not a qualified XML name (KW_XML_IsQualifiedName) is
    // refused (false) and nothing is stored.
    bool SetAttrValue(const CKW_ByteStringC& qualifiedName, const CKW_WideStringC& value);
    bool SetAttrValue(const CKW_ByteStringC& qualifiedName, int value);
    bool SetAttrValue(const CKW_ByteStringC& qualifiedName, unsigned value);
    bool SetAttrValue(const CKW_ByteStringC& qualifiedName, float value);
    void RemoveAttr(const CKW_ByteStringC& qualifiedName);

    // --- Children
    unsigned CountChildren() const;
    unsigned GetChildType(unsigned index) const;
    CXML_Element* GetElement(unsigned index) const;
    CKW_WideString GetContent(unsigned index) const;
    const CKW_WideStringL* GetContentPtr(unsigned index) const;
    unsigned CountElements(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name) const;
    CXML_Element* GetElement(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name, int index = 0) const;
    unsigned FindElement(CXML_Element* child) const;
    // The element takes ownership of child once it is added; when it cannot
    // be added (out of memory, or it already has a parent, or it is this
    // element or one of its ancestors) the caller keeps it and its parent is
    // left unchanged. Returns whether it was added.
    bool AddChildElement(CXML_Element* child);
    bool AddChildContent(const CKW_WideStringC& text, bool cdata);
    bool InsertChildElement(unsigned index, CXML_Element* child);
    bool InsertChildContent(unsigned index, const CKW_WideStringC& text, bool cdata);
    void RemoveChild(unsigned index);
    void RemoveChildren();

    CXML_Element* GetParent() const { return m_pParent; }
    _IKW_Allocator* GetAllocator() const { return m_Children.GetAllocator(); }
    // Whether content child index came from (or is to be written as) CDATA.
    bool IsContentCDATA(unsigned index) const;

private:
    bool CanAdopt(const CXML_Element* child) const;
    void StoreTag(const CKW_ByteStringC& prefix, const CKW_ByteStringC& name);
    friend class CXML_Parser;
    friend class CXML_Composer;

    struct ContentNode {
        bool m_bCDATA;
        CKW_WideStringL m_Content;
    };

    static CXML_Element* ShallowCopy(const CXML_Element* source, _IKW_Allocator* allocator);
    bool AppendChild(ChildType type, void* child);
    bool InsertChild(unsigned index, ChildType type, void* child);
    void* ChildAt(unsigned index, ChildType type) const;
    void ReleaseChild(ChildType type, void* child);
    ContentNode* NewContent(const CKW_WideStringC& text, bool cdata);
    void FreeRecord(void* record) const;

    CXML_Element* m_pParent;
    CKW_ByteStringL m_QSpaceName;
    CKW_ByteStringL m_TagName;
    CXML_AttrMap m_AttrMap;
    CKW_BasicArray m_Children;
};

#endif
