// XML reader: turns UTF-8 bytes into a CXML_Element tree in one pass.
//
// The reader is forgiving: it never reports where a document is wrong; it
// builds what it can and returns the root, or null when no root element can
// be read at all. It reads through IKW_BufferRead, one block at a time, so
// the same parser works on a memory buffer (CXML_DataBufAcc, one block) and
// on a file stream (CXML_DataStmAcc, blocks of up to 32768 bytes). It never
// steps back into an earlier block, and whatever it reads across a block
// boundary (names, values, text, sections, markup terminators) comes out the
// same as from one block.
//
// No DTD, no encoding declaration, no validation: the prolog, declarations
// (<!DOCTYPE ...> with or without an internal subset; any other <!...> ends
// at its first '>'), processing instructions and comments are skipped. Elements nest at most
// kMaxDepth + 1 levels; the bytes of a deeper element are read as text of
// its parent. The parser does not recurse, so no input can exhaust the stack.
#ifndef CXML_PARSER_H
#define CXML_PARSER_H

#include "CKW_ByteString.h"
#include "CKW_WideString.h"
#include "IKW_Stream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

struct _IKW_Allocator;
class CXML_Element;

// Byte classes of the reader, one table entry per byte value.
enum {
    KWCRT_XML_WhiteSpace = 0x01,   // 0x00-0x20, 0xFE, 0xFF
    KWCRT_XML_Letter = 0x02,       // A-Z, a-z, 0x80-0xFD
    KWCRT_XML_Digital = 0x04,      // 0-9
    KWCRT_XML_NameIntro = 0x08,    // A-Z, a-z, '_', ':', 0x80-0xFD
    KWCRT_XML_NameChar = 0x10,     // A-Z, a-z, 0-9, '-', '.', '_', 0x80-0xFD
    KWCRT_XML_HexChar = 0x20,      // 0-9, A-F
    KWCRT_XML_HexLowercase = 0x40, // A-F, a-f
};
extern const uint8_t g_KWCRT_XML_ByteTypes[256];

inline bool g_KWCRT_XML_IsWhiteSpace(uint8_t ch) { return (g_KWCRT_XML_ByteTypes[ch] & KWCRT_XML_WhiteSpace) != 0; }
inline bool g_KWCRT_XML_IsLetter(uint8_t ch) { return (g_KWCRT_XML_ByteTypes[ch] & KWCRT_XML_Letter) != 0; }
inline bool g_KWCRT_XML_IsDigital(uint8_t ch) { return (g_KWCRT_XML_ByteTypes[ch] & KWCRT_XML_Digital) != 0; }
inline bool g_KWCRT_XML_IsNameIntro(uint8_t ch) { return (g_KWCRT_XML_ByteTypes[ch] & KWCRT_XML_NameIntro) != 0; }
inline bool g_KWCRT_XML_IsNameChar(uint8_t ch) { return (g_KWCRT_XML_ByteTypes[ch] & KWCRT_XML_NameChar) != 0; }
inline bool g_KWCRT_XML_IsHexChar(uint8_t ch)
{
    return (g_KWCRT_XML_ByteTypes[ch] & (KWCRT_XML_HexChar | KWCRT_XML_HexLowercase)) != 0;
}

// True when, after leading white space, the data starts with '<', possibly
// behind a byte-order mark (EF BB BF, FF FE or FE FF). White space here is
// the C locale's (tab, line feed, vertical tab, form feed, carriage return,
// blank), whatever the process locale.
bool CheckFirstNonEmptyChar(const uint8_t* data, size_t size);

// Names and values are mostly a few bytes long: those are copied with a
// couple of fixed-size moves instead of a library call.
inline void CopyBytes(uint8_t* to, const uint8_t* from, size_t n)
{
    if (n >= 8 && n <= 16) {
        uint64_t head, tail;
        memcpy(&head, from, 8);
        memcpy(&tail, from + n - 8, 8);
        memcpy(to, &head, 8);
        memcpy(to + n - 8, &tail, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t head, tail;
        memcpy(&head, from, 4);
        memcpy(&tail, from + n - 4, 4);
        memcpy(to, &head, 4);
        memcpy(to + n - 4, &tail, 4);
    } else if (n < 4) {
        for (size_t i = 0; i < n; i++)
            to[i] = from[i];
    } else {
        memcpy(to, from, n);
    }
}

// Memory input: the whole buffer is one block. The bytes are not copied and
// must outlive the accessor.
class CXML_DataBufAcc : public IKW_BufferRead {
public:
    static CXML_DataBufAcc* Create(const uint8_t* data, size_t size, _IKW_Allocator* allocator);
    CXML_DataBufAcc(const uint8_t* data, size_t size, _IKW_Allocator* allocator)
        : m_pAllocator(allocator), m_pBuffer(data), m_dwSize(size), m_dwCurPos(0) {}

    void Release() override;
    bool IsEOF() override { return m_dwCurPos >= m_dwSize; }
    int64_t GetPosition() override { return (int64_t)m_dwCurPos; }
    size_t ReadBlock(void*, size_t) override { return 0; }
    int64_t SetPosition(int64_t pos) override;
    bool ReadNextBlock(bool restart = false) override;
    const uint8_t* GetBlockBuffer() override { return m_pBuffer; }
    size_t GetBlockSize() override { return m_dwSize; }
    int64_t GetBlockOffset() override { return 0; }

private:
    _IKW_Allocator* m_pAllocator;
    const uint8_t* m_pBuffer;
    size_t m_dwSize;
    size_t m_dwCurPos;
};

// File input, one block at a time. The stream is not owned. The block buffer
// is allocated once (at the block size) and reused.
class CXML_DataStmAcc : public IKW_BufferRead {
public:
    enum { kDefaultBlockSize = 32768 };

    static CXML_DataStmAcc* Create(IKW_FileRead* stream, _IKW_Allocator* allocator,
                                   size_t blockSize = kDefaultBlockSize);
    CXML_DataStmAcc(IKW_FileRead* stream, _IKW_Allocator* allocator, size_t blockSize = kDefaultBlockSize);
    ~CXML_DataStmAcc() override;

    void Release() override;
    bool IsEOF() override;
    int64_t GetPosition() override { return m_nBufOffset + (int64_t)m_dwBufSize; }
    size_t ReadBlock(void*, size_t) override { return 0; }
    int64_t SetPosition(int64_t) override { return -1; }
    bool ReadNextBlock(bool restart = false) override;
    const uint8_t* GetBlockBuffer() override { return m_pBuffer; }
    size_t GetBlockSize() override { return m_dwBufSize; }
    int64_t GetBlockOffset() override { return m_nBufOffset; }

private:
    _IKW_Allocator* m_pAllocator;
    IKW_FileRead* m_pFileRead;
    uint8_t* m_pBuffer;
    size_t m_dwBufferCapacity;
    size_t m_dwBlockSize;
    int64_t m_nBufOffset;
    size_t m_dwBufSize;
};

class CXML_Parser {
public:
    // Deepest level that is built; the root is level 0.
    enum { kMaxDepth = 511 };

    explicit CXML_Parser(_IKW_Allocator* allocator = nullptr);
    CXML_Parser(const CXML_Parser&) = delete;
    CXML_Parser& operator=(const CXML_Parser&) = delete;
    ~CXML_Parser();

    // Prepare the input; false when it is refused (nothing to read, or no
    // '<' after white space and an optional byte-order mark). The first two
    // make an accessor that the parser owns; the caller's reader is not.
    bool Init(const uint8_t* buffer, size_t size);
    bool Init(IKW_FileRead* file);
    bool Init(IKW_BufferRead* reader);
    bool Init(bool ownsAccessor);

    void SetFlags(bool saveSpaces, bool literalAmpersands, bool keepLineBreaks)
    {
        m_bSaveSpaceChars = saveSpaces;
        m_bLiteralAmpersands = literalAmpersands;
        m_bKeepLineBreaks = keepLineBreaks;
    }

    // Parses one element with its whole subtree and returns it (owned by
    // the caller, not yet attached anywhere), or null.
    CXML_Element* ParseElement(CXML_Element* parent, bool afterOpenBracket);

    bool ReadNextBlock();
    bool IsEOF();
    // Offset of the next unread byte in the whole input.
    int64_t GetOffset() const { return m_nBufferOffset + (int64_t)m_dwIndex; }

    // Most calls find no white space at all; they return without a call.
    void SkipWhiteSpaces(bool collect)
    {
        if (m_dwIndex < m_dwBufferSize && !g_KWCRT_XML_IsWhiteSpace(m_pBuffer[m_dwIndex]))
            return;
        // One blank between attributes is the next most common case.
        if (m_dwIndex + 1 < m_dwBufferSize && m_pBuffer[m_dwIndex] == ' '
            && !g_KWCRT_XML_IsWhiteSpace(m_pBuffer[m_dwIndex + 1])) {
            m_dwIndex++;
            return;
        }
        SkipWhiteSpacesSlow(collect);
    }
    void SkipWhiteSpacesSlow(bool collect);
    // Consumes input through the first occurrence of the literal (1 to 4
    // bytes), or to the end of the input.
    void SkipLiterals(const char* literal, int length);
    // After '&': the referenced character (consumed through ';').
    uint32_t GetCharRef();

    // Growable byte buffer for text gathered across blocks.
    struct Scratch {
        _IKW_Allocator* allocator = nullptr;
        uint8_t* data = nullptr;
        size_t size = 0;
        size_t capacity = 0;

        Scratch() = default;
        Scratch(const Scratch&) = delete;
        Scratch& operator=(const Scratch&) = delete;
        ~Scratch();
        bool Reserve(size_t extra);
        void Append(const uint8_t* bytes, size_t n)
        {
            if (n && (n <= capacity - size || Reserve(n))) {
                CopyBytes(data + size, bytes, n);
                size += n;
            }
        }
        void Push(uint8_t b)
        {
            if (size < capacity || Reserve(1))
                data[size++] = b;
        }
        void Clear() { size = 0; }
        CKW_ByteStringC View() const;
    };

private:
    struct OpenElement;

    // Whether a byte is left, fetching the next block when the current one
    // is used up.
    bool HaveByte() { return m_dwIndex < m_dwBufferSize || NextBlock(); }
    bool NextBlock();
    uint8_t Peek() const { return m_pBuffer[m_dwIndex]; }
    void Advance() { m_dwIndex++; }

    bool CheckStart();
    void ReadName(Scratch& prefix, Scratch& name);
    void ReadCharRefInto(Scratch& text);
    void ReadAttrValueInto(Scratch& value);
    bool ReadTagName(Scratch& prefix, Scratch& name, bool& endTag, bool afterOpenBracket);
    void SkipMarkupDeclaration();
    void SkipDoctype();
    bool ReadCDATA(Scratch& bytes);
    CXML_Element* ParseStartTag(bool& isEmpty);
    void ReadAttributes();
    long FindEarlierAttr(size_t count, bool pair, const uint8_t* prefix, size_t prefixLength, const uint8_t* name,
                         size_t nameLength) const;
    void ResolveRepeatedAttrs(size_t first);
    bool PendingMatches(size_t index, bool pair, const uint8_t* prefix, size_t prefixLength, const uint8_t* name,
                        size_t nameLength) const;
    void StoreAttributes(CXML_Element* element);
    void FillBytes(CKW_ByteStringL& out, const uint8_t* bytes, size_t size);
    const wchar_t* Decode(const uint8_t* utf8, size_t size);
    struct WideText {
        const uint8_t* utf8;
        size_t size;
        size_t chars;
        const wchar_t* wide;   // decoded into m_Wide; null: decode utf8 later
    };
    bool PrepareWide(const uint8_t* utf8, size_t size, bool trim, WideText& text);
    void FillWide(CKW_WideStringL& out, const WideText& text);
    void FlushText(CXML_Element* element);
    void FlushKeptAndText(CXML_Element* element, bool trim);
    void InsertContentSegment(bool cdata, const uint8_t* utf8, size_t size, CXML_Element* element, bool trim);
    void DestroyElement(CXML_Element* element);

    _IKW_Allocator* m_pAllocator;
    IKW_BufferRead* m_pDataAcc;
    bool m_bOwnedStream;
    bool m_bSaveSpaceChars;
    const uint8_t* m_pBuffer;
    size_t m_dwBufferSize;
    int64_t m_nBufferOffset;
    size_t m_dwIndex;
    bool m_bEOF;
    bool m_bLiteralAmpersands;
    bool m_bKeepLineBreaks;
    bool m_bStartConsumed;   // Init has read the root's '<'
    int m_nDepth;
    OpenElement* m_pStack;

    Scratch m_Text;        // pending content, as UTF-8 bytes
    Scratch m_LineBreaks;  // kept tabs, line feeds and carriage returns
    Scratch m_Prefix;
    Scratch m_Name;
    Scratch m_Value;
    Scratch m_Wide;        // decoded text before it is stored
    Scratch m_AttrBytes;   // names of the attributes of the tag being read
    Scratch m_AttrValues;  // their values, as the document's bytes
    Scratch m_AttrList;    // one record per attribute, pointing into both
    Scratch m_AttrOrder;   // sort space for tags with many attributes
    size_t m_nWideLength;
};

#endif
