#include "CXML_Parser.h"

#include "CKW_ByteString.h"
#include "CKW_WideString.h"
#include "CXML_Element.h"
#include "KW_Memory.h"
#include "KW_UTF.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <new>

// clang-format off
const uint8_t g_KWCRT_XML_ByteTypes[256] = {
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x10, 0x00,
    0x34, 0x34, 0x34, 0x34, 0x34, 0x34, 0x34, 0x34, 0x34, 0x34, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x7A, 0x7A, 0x7A, 0x7A, 0x7A, 0x7A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x00, 0x00, 0x00, 0x00, 0x18,
    0x00, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x5A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A,
    0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x1A, 0x01, 0x01,
};
// clang-format on

namespace {


// White space as the C locale's isspace sees it, whatever the process locale.
inline bool IsCSpace(uint8_t b)
{
    return b == ' ' || (b >= 9 && b <= 13);
}

// Largest run of text the parser gathers in one piece; bytes beyond it are
// dropped (wide strings count their length in 32 bits).
const size_t kMaxScratch = 0x1FFFFFF0;

} // namespace

CXML_Parser::Scratch::~Scratch()
{
    KWMEM_FreeWith(allocator, data);
}

bool CXML_Parser::Scratch::Reserve(size_t extra)
{
    if (extra <= capacity - size)
        return true;
    if (extra > kMaxScratch - size)
        return false;
    size_t want = capacity ? capacity : 64;
    while (want < size + extra)
        want *= 2;
    if (want > kMaxScratch)
        want = kMaxScratch;
    void* p = allocator ? allocator->Realloc(allocator, data, want) : KWMEM_DefaultRealloc(data, want, 0);
    if (!p)
        return false;
    data = (uint8_t*)p;
    capacity = want;
    return true;
}

CKW_ByteStringC CXML_Parser::Scratch::View() const
{
    return CKW_ByteStringC(data, (int)size);
}

// ---------------------------------------------------------------------------

bool CheckFirstNonEmptyChar(const uint8_t* data, size_t size)
{
    if (!data || size == 0)
        return false;
    size_t i = 0;
    while (i < size && IsCSpace(data[i]))
        i++;
    if (i >= size)
        return false;
    switch (data[i]) {
    case '<':
        return true;
    case 0xEF:
        return i + 3 < size && data[i + 1] == 0xBB && data[i + 2] == 0xBF && data[i + 3] == '<';
    case 0xFF:
        return i + 2 < size && data[i + 1] == 0xFE && data[i + 2] == '<';
    case 0xFE:
        return i + 2 < size && data[i + 1] == 0xFF && data[i + 2] == '<';
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Memory accessor

CXML_DataBufAcc* CXML_DataBufAcc::Create(const uint8_t* data, size_t size, _IKW_Allocator* allocator)
{
    void* record = KWMEM_AllocWith(allocator, sizeof(CXML_DataBufAcc));
    if (!record)
        return nullptr;
    return new (record) CXML_DataBufAcc(data, size, allocator);
}

void CXML_DataBufAcc::Release()
{
    _IKW_Allocator* allocator = m_pAllocator;
    this->~CXML_DataBufAcc();
    KWMEM_FreeWith(allocator, this);
}

int64_t CXML_DataBufAcc::SetPosition(int64_t pos)
{
    if (pos < 0 || (uint64_t)pos > m_dwSize)
        return -1;
    m_dwCurPos = (size_t)pos;
    return pos;
}

bool CXML_DataBufAcc::ReadNextBlock(bool restart)
{
    if (restart)
        m_dwCurPos = 0;
    if (m_dwCurPos < m_dwSize) {
        m_dwCurPos = m_dwSize;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Stream accessor

CXML_DataStmAcc* CXML_DataStmAcc::Create(IKW_FileRead* stream, _IKW_Allocator* allocator, size_t blockSize)
{
    void* record = KWMEM_AllocWith(allocator, sizeof(CXML_DataStmAcc));
    if (!record)
        return nullptr;
    return new (record) CXML_DataStmAcc(stream, allocator, blockSize);
}

CXML_DataStmAcc::CXML_DataStmAcc(IKW_FileRead* stream, _IKW_Allocator* allocator, size_t blockSize)
    : m_pAllocator(allocator), m_pFileRead(stream), m_pBuffer(nullptr), m_dwBufferCapacity(0),
      m_dwBlockSize(blockSize ? blockSize : (size_t)kDefaultBlockSize), m_nBufOffset(0), m_dwBufSize(0)
{
}

CXML_DataStmAcc::~CXML_DataStmAcc()
{
    KWMEM_FreeWith(m_pAllocator, m_pBuffer);
}

void CXML_DataStmAcc::Release()
{
    _IKW_Allocator* allocator = m_pAllocator;
    this->~CXML_DataStmAcc();
    KWMEM_FreeWith(allocator, this);
}

bool CXML_DataStmAcc::IsEOF()
{
    return !m_pFileRead || m_nBufOffset + (int64_t)m_dwBufSize >= m_pFileRead->GetSize();
}

bool CXML_DataStmAcc::ReadNextBlock(bool restart)
{
    if (!m_pFileRead)
        return false;
    if (restart) {
        m_nBufOffset = 0;
        m_dwBufSize = 0;
    }
    int64_t offset = m_nBufOffset + (int64_t)m_dwBufSize;
    int64_t total = m_pFileRead->GetSize();
    m_nBufOffset = offset;
    m_dwBufSize = 0;
    if (total <= offset)
        return false;
    uint64_t left = (uint64_t)(total - offset);
    size_t size = left < m_dwBlockSize ? (size_t)left : m_dwBlockSize;
    // The buffer is sized for the block actually read: a file that grows
    // between two blocks gets a larger buffer, never a write past its end.
    if (size > m_dwBufferCapacity) {
        KWMEM_FreeWith(m_pAllocator, m_pBuffer);
        m_pBuffer = (uint8_t*)(m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, size)
                                            : KWMEM_DefaultAlloc2(size, 1, 0));
        m_dwBufferCapacity = m_pBuffer ? size : 0;
        if (!m_pBuffer)
            return false;
    }
    if (!m_pFileRead->ReadBlock(m_pBuffer, offset, size))
        return false;
    m_dwBufSize = size;
    return true;
}

// ---------------------------------------------------------------------------
// Parser

struct CXML_Parser::OpenElement {
    CXML_Element* element;
    bool attached;
};

CXML_Parser::CXML_Parser(_IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_pDataAcc(nullptr), m_bOwnedStream(false), m_bSaveSpaceChars(false),
      m_pBuffer(nullptr), m_dwBufferSize(0), m_nBufferOffset(0), m_dwIndex(0), m_bEOF(false),
      m_bLiteralAmpersands(false), m_bKeepLineBreaks(false), m_bStartConsumed(false), m_nDepth(0),
      m_pStack(nullptr), m_nWideLength(0)
{
    for (Scratch* s : {&m_Text, &m_LineBreaks, &m_Prefix, &m_Name, &m_Value, &m_Wide, &m_AttrBytes, &m_AttrValues,
                       &m_AttrList, &m_AttrOrder})
        s->allocator = allocator;
}

CXML_Parser::~CXML_Parser()
{
    if (m_pDataAcc && m_bOwnedStream)
        m_pDataAcc->Release();
    KWMEM_FreeWith(m_pAllocator, m_pStack);
}

bool CXML_Parser::Init(const uint8_t* buffer, size_t size)
{
    if (!buffer || size == 0 || !CheckFirstNonEmptyChar(buffer, size))
        return false;
    m_pDataAcc = CXML_DataBufAcc::Create(buffer, size, m_pAllocator);
    if (!m_pDataAcc)
        return false;
    return Init(true);
}

bool CXML_Parser::Init(IKW_FileRead* file)
{
    if (!file)
        return false;
    m_pDataAcc = CXML_DataStmAcc::Create(file, m_pAllocator);
    if (!m_pDataAcc)
        return false;
    return Init(true);
}

bool CXML_Parser::Init(IKW_BufferRead* reader)
{
    if (!reader)
        return false;
    m_pDataAcc = reader;
    return Init(false);
}

bool CXML_Parser::Init(bool ownsAccessor)
{
    m_bOwnedStream = ownsAccessor;
    m_pBuffer = nullptr;
    m_dwBufferSize = 0;
    m_nBufferOffset = 0;
    m_dwIndex = 0;
    m_bEOF = false;
    if (!m_pDataAcc)
        return false;
    return CheckStart();
}

bool CXML_Parser::NextBlock()
{
    if (m_bEOF || !m_pDataAcc)
        return false;
    // Leave the position at the end of the block just used, so that the
    // offset reported at the end of the input is the input's size.
    m_nBufferOffset += (int64_t)m_dwBufferSize;
    m_dwIndex = 0;
    m_dwBufferSize = 0;
    if (!m_pDataAcc->ReadNextBlock(false)) {
        m_bEOF = true;
        return false;
    }
    const uint8_t* block = m_pDataAcc->GetBlockBuffer();
    size_t size = m_pDataAcc->GetBlockSize();
    if (!block || size == 0) {
        m_bEOF = true;
        return false;
    }
    m_pBuffer = block;
    m_dwBufferSize = size;
    m_nBufferOffset = m_pDataAcc->GetBlockOffset();
    return true;
}

bool CXML_Parser::ReadNextBlock()
{
    m_dwIndex = m_dwBufferSize;
    return NextBlock();
}

bool CXML_Parser::IsEOF()
{
    return !HaveByte();
}

// Consumes white space, an optional byte-order mark and the first '<'; the
// root is then read from the byte after it. Works across blocks, so a file
// read in small blocks is accepted exactly when its bytes in memory are.
bool CXML_Parser::CheckStart()
{
    while (HaveByte() && IsCSpace(Peek()))
        Advance();
    if (!HaveByte())
        return false;
    static const uint8_t bomUtf8[] = {0xBB, 0xBF};
    static const uint8_t bomLE[] = {0xFE};
    static const uint8_t bomBE[] = {0xFF};
    const uint8_t* rest = nullptr;
    size_t restSize = 0;
    switch (Peek()) {
    case '<':
        break;
    case 0xEF:
        rest = bomUtf8;
        restSize = 2;
        break;
    case 0xFF:
        rest = bomLE;
        restSize = 1;
        break;
    case 0xFE:
        rest = bomBE;
        restSize = 1;
        break;
    default:
        return false;
    }
    if (rest) {
        Advance();
        for (size_t i = 0; i < restSize; i++) {
            if (!HaveByte() || Peek() != rest[i])
                return false;
            Advance();
        }
        if (!HaveByte() || Peek() != '<')
            return false;
    }
    Advance();
    m_bStartConsumed = true;
    return true;
}

void CXML_Parser::SkipWhiteSpacesSlow(bool collect)
{
    const bool keep = collect && m_bKeepLineBreaks;
    while (HaveByte()) {
        const uint8_t* p = m_pBuffer + m_dwIndex;
        const uint8_t* end = m_pBuffer + m_dwBufferSize;
        while (p < end && g_KWCRT_XML_IsWhiteSpace(*p)) {
            if (keep && (*p == 9 || *p == 10 || *p == 13))
                m_LineBreaks.Push(*p);
            p++;
        }
        m_dwIndex = (size_t)(p - m_pBuffer);
        if (p < end)
            return;
    }
}

// Consumes input up to and including the first occurrence of the literal
// (at most four bytes). A match may start inside a partial match, so
// "]]]>" ends at its "]]>" and "??>" at its "?>".
void CXML_Parser::SkipLiterals(const char* literal, int length)
{
    if (length < 1 || length > 4)
        return;
    uint32_t want = 0;
    for (int i = 0; i < length; i++)
        want = (want << 8) | (uint8_t)literal[i];
    const uint32_t mask = length == 4 ? 0xFFFFFFFFu : ((1u << (8 * length)) - 1);
    const uint8_t last = (uint8_t)literal[length - 1];
    uint32_t window = 0;
    int seen = 0;
    while (HaveByte()) {
        const uint8_t* p = m_pBuffer + m_dwIndex;
        const uint8_t* end = m_pBuffer + m_dwBufferSize;
        while (p < end) {
            // Jump to the next possible final byte; the bytes skipped can
            // only matter as the start of a match ending there.
            const uint8_t* hit = (const uint8_t*)memchr(p, last, (size_t)(end - p));
            if (!hit) {
                for (const uint8_t* q = end - 4 > p ? end - 4 : p; q < end; q++)
                    window = (window << 8) | *q;
                seen += (int)(end - p);
                p = end;
                break;
            }
            for (const uint8_t* q = hit - 3 > p ? hit - 3 : p; q <= hit; q++)
                window = (window << 8) | *q;
            seen += (int)(hit + 1 - p);
            p = hit + 1;
            if (seen >= length && (window & mask) == want) {
                m_dwIndex = (size_t)(p - m_pBuffer);
                return;
            }
        }
        m_dwIndex = (size_t)(p - m_pBuffer);
    }
}

void CXML_Parser::ReadName(Scratch& prefix, Scratch& name)
{
    prefix.Clear();
    name.Clear();
    while (HaveByte()) {
        const uint8_t* p = m_pBuffer + m_dwIndex;
        const uint8_t* end = m_pBuffer + m_dwBufferSize;
        const uint8_t* start = p;
        while (p < end && g_KWCRT_XML_IsNameChar(*p))
            p++;
        name.Append(start, (size_t)(p - start));
        m_dwIndex = (size_t)(p - m_pBuffer);
        if (p == end)
            continue;
        if (*p != ':')
            return;
        // Each ':' makes what came before it the prefix: "a:b:c" is b, c.
        prefix.Clear();
        prefix.Append(name.data, name.size);
        name.Clear();
        m_dwIndex++;
    }
}

// After '&': a character reference or one of the five named entities,
// consumed through ';' (or to the end of the input). Appends the character
// to text as UTF-8.
void CXML_Parser::ReadCharRefInto(Scratch& text)
{
    uint32_t value = 0;
    if (HaveByte() && Peek() == '#') {
        Advance();
        bool hex = false;
        if (HaveByte() && Peek() == 'x') {
            hex = true;
            Advance();
        }
        while (HaveByte()) {
            uint8_t b = Peek();
            Advance();
            if (b == ';')
                break;
            if (hex) {
                if (b >= '0' && b <= '9')
                    value = value * 16 + (uint32_t)(b - '0');
                else if (b >= 'a' && b <= 'f')
                    value = value * 16 + (uint32_t)(b - 'a' + 10);
                else if (b >= 'A' && b <= 'F')
                    value = value * 16 + (uint32_t)(b - 'A' + 10);
            } else if (b >= '0' && b <= '9') {
                value = value * 10 + (uint32_t)(b - '0');
            }
        }
    } else {
        char name[5];
        size_t length = 0;
        while (HaveByte()) {
            uint8_t b = Peek();
            Advance();
            if (b == ';')
                break;
            if (length < sizeof name)
                name[length] = (char)b;
            length++;
        }
        struct {
            const char* name;
            uint32_t value;
        } static const entities[] = {{"gt", '>'}, {"lt", '<'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
        for (const auto& entity : entities) {
            if (strlen(entity.name) == length && memcmp(entity.name, name, length) == 0) {
                value = entity.value;
                break;
            }
        }
    }
    // Values past the 31-bit range are not characters of any encoding.
    if (value >= 0x80000000u)
        value = 0xFFFD;
    char utf8[8];
    int n = KW_UTF8PutChar((wchar_t)value, utf8);
    for (int i = 0; i < n; i++)
        text.Push((uint8_t)utf8[i]);
}

uint32_t CXML_Parser::GetCharRef()
{
    Scratch one;
    one.allocator = m_pAllocator;
    ReadCharRefInto(one);
    if (one.size == 0)
        return 0;
    wchar_t ch = 0;
    wchar_t out[8];
    size_t n = KW_UTF8DecodeBulk(one.data, one.size, out);
    if (n > 0)
        ch = out[0];
    return (uint32_t)ch;
}

void CXML_Parser::ReadAttrValueInto(Scratch& value)
{
    if (!HaveByte())
        return;
    const uint8_t quote = Peek();
    if (quote != '"' && quote != '\'')
        return;
    Advance();
    while (HaveByte()) {
        const uint8_t* p = m_pBuffer + m_dwIndex;
        const uint8_t* end = m_pBuffer + m_dwBufferSize;
        const uint8_t* start = p;
        while (p < end && *p != quote && *p != '&')
            p++;
        value.Append(start, (size_t)(p - start));
        m_dwIndex = (size_t)(p - m_pBuffer);
        if (p == end)
            continue;
        Advance();
        if (*p == quote)
            return;
        ReadCharRefInto(value);
    }
}

// Skips the rest of a DOCTYPE declaration: quoted literals and an internal
// subset in brackets, with the comments and processing instructions inside
// it, are passed over whole, so a '>' inside them does not end it.
void CXML_Parser::SkipDoctype()
{
    int depth = 0;
    uint8_t quote = 0;
    uint32_t window = 0;
    while (HaveByte()) {
        uint8_t b = Peek();
        Advance();
        if (quote) {
            if (b == quote)
                quote = 0;
            continue;
        }
        window = (window << 8) | b;
        if (depth > 0) {
            if (window == 0x3C212D2Du) {   // "<!--"
                SkipLiterals("-->", 3);
                window = 0;
                continue;
            }
            if ((window & 0xFFFF) == 0x3C3Fu) {   // "<?"
                SkipLiterals("?>", 2);
                window = 0;
                continue;
            }
        }
        if (b == '"' || b == '\'')
            quote = b;
        else if (b == '[')
            depth++;
        else if (b == ']' && depth > 0)
            depth--;
        else if (b == '>' && depth == 0)
            return;
    }
}

// After "<!" in a prolog or in content: a comment when "--" follows, a
// DOCTYPE (in either letter case, as HTML pages write it), or any other
// declaration, which ends at its first '>': an apostrophe in a note such as
// "<! it's >" is not a quote and must not swallow the document.
void CXML_Parser::SkipMarkupDeclaration()
{
    if (HaveByte() && Peek() == '-') {
        Advance();
        if (HaveByte() && Peek() == '-') {
            Advance();
            SkipLiterals("-->", 3);
            return;
        }
        SkipLiterals(">", 1);
        return;
    }
    static const char keyword[] = "DOCTYPE";
    for (int i = 0; i < 7; i++) {
        if (!HaveByte())
            return;
        if ((Peek() & 0xDF) != (uint8_t)keyword[i]) {
            SkipLiterals(">", 1);
            return;
        }
        Advance();
    }
    SkipDoctype();
}

// After "<![": a CDATA section's text up to "]]>" (exclusive) goes into
// bytes and true is returned; any other "<![" is a declaration, skipped to
// its first '>'.
bool CXML_Parser::ReadCDATA(Scratch& bytes)
{
    static const char marker[] = "CDATA[";
    for (int i = 0; i < 6; i++) {
        if (!HaveByte())
            return false;
        if (Peek() != (uint8_t)marker[i]) {
            SkipLiterals(">", 1);
            return false;
        }
        Advance();
    }
    bytes.Clear();
    while (HaveByte()) {
        const uint8_t* p = m_pBuffer + m_dwIndex;
        const uint8_t* end = m_pBuffer + m_dwBufferSize;
        const uint8_t* hit = (const uint8_t*)memchr(p, '>', (size_t)(end - p));
        const uint8_t* stop = hit ? hit + 1 : end;
        bytes.Append(p, (size_t)(stop - p));
        m_dwIndex = (size_t)(stop - m_pBuffer);
        if (hit && bytes.size >= 3 && memcmp(bytes.data + bytes.size - 3, "]]>", 3) == 0) {
            bytes.size -= 3;
            return true;
        }
    }
    // An unterminated section keeps what it holds.
    return true;
}

bool CXML_Parser::ReadTagName(Scratch& prefix, Scratch& name, bool& endTag, bool afterOpenBracket)
{
    endTag = false;
    prefix.Clear();
    name.Clear();
    for (;;) {
        if (!afterOpenBracket) {
            bool found = false;
            while (HaveByte()) {
                const uint8_t* p = m_pBuffer + m_dwIndex;
                const uint8_t* end = m_pBuffer + m_dwBufferSize;
                const uint8_t* hit = (const uint8_t*)memchr(p, '<', (size_t)(end - p));
                if (hit) {
                    m_dwIndex = (size_t)(hit + 1 - m_pBuffer);
                    found = true;
                    break;
                }
                m_dwIndex = m_dwBufferSize;
            }
            if (!found)
                return false;
        }
        afterOpenBracket = false;
        if (!HaveByte())
            return false;
        uint8_t b = Peek();
        if (b == '!') {
            Advance();
            SkipMarkupDeclaration();
            continue;
        }
        if (b == '?') {
            Advance();
            SkipLiterals("?>", 2);
            continue;
        }
        if (b == '/') {
            Advance();
            endTag = true;
        }
        ReadName(prefix, name);
        return true;
    }
}

void CXML_Parser::DestroyElement(CXML_Element* element)
{
    CXML_Element::Destroy(element);
}

namespace {

// One attribute of the tag being read: offsets into the parser's scratch
// buffers (names and values as the document's bytes).
struct PendingAttr {
    size_t prefix, prefixLength, name, nameLength, value, valueLength;
};

} // namespace

namespace {

// Up to this many attributes a tag's repeated names are found by scanning
// the earlier ones as each attribute is read; past it the rest are resolved
// at the end of the tag by sorting, so that no tag, however many attributes
// it has or however their names are chosen, costs more than n log n.
const size_t kScanLimit = 16;

} // namespace

bool CXML_Parser::PendingMatches(size_t index, bool pair, const uint8_t* prefix, size_t prefixLength,
                                 const uint8_t* name, size_t nameLength) const
{
    const PendingAttr& earlier = ((const PendingAttr*)m_AttrList.data)[index];
    if (earlier.nameLength != nameLength || (pair && earlier.prefixLength != prefixLength))
        return false;
    if (pair && prefixLength && memcmp(m_AttrBytes.data + earlier.prefix, prefix, prefixLength) != 0)
        return false;
    return nameLength == 0 || memcmp(m_AttrBytes.data + earlier.name, name, nameLength) == 0;
}

// The earlier attribute that a new one replaces, by the name rule of the
// element's attribute list: an unprefixed name matches the first attribute
// of that local name, a prefixed one only the same prefix and name. -1 when
// there is none.
long CXML_Parser::FindEarlierAttr(size_t count, bool pair, const uint8_t* prefix, size_t prefixLength,
                                  const uint8_t* name, size_t nameLength) const
{
    // Lengths first, without a call: most earlier attributes differ there.
    const PendingAttr* list = (const PendingAttr*)m_AttrList.data;
    for (size_t i = 0; i < count; i++) {
        if (list[i].nameLength != nameLength || (pair && list[i].prefixLength != prefixLength))
            continue;
        if (PendingMatches(i, pair, prefix, prefixLength, name, nameLength))
            return (long)i;
    }
    return -1;
}

// Applies the name rule to the attributes from first on, which were kept
// as read, against everything before them. The first attribute with a given
// key (local name for an unprefixed attribute, prefix and name for a
// prefixed one) is always kept, so each later one goes to the first of its
// key, found by sorting; the last value wins. Without memory for the sort
// the same is done by scanning.
void CXML_Parser::ResolveRepeatedAttrs(size_t first)
{
    PendingAttr* list = (PendingAttr*)m_AttrList.data;
    const size_t count = m_AttrList.size / sizeof(PendingAttr);
    const uint8_t* bytes = m_AttrBytes.data;
    const size_t kRemoved = (size_t)-1;
    // Sorted entries carry the first eight bytes of the names they compare,
    // so that most comparisons need no memory beyond the entry.
    struct Entry {
        uint64_t key1, key2;
        size_t index;
    };
    auto head8 = [bytes](size_t at, size_t length) {
        uint64_t key = 0;
        for (size_t i = 0; i < 8; i++)
            key = (key << 8) | (i < length ? bytes[at + i] : 0);
        return key;
    };
    auto tail = [list, bytes](size_t a, size_t b, bool pair) {
        const PendingAttr& x = list[a];
        const PendingAttr& y = list[b];
        if (pair) {
            if (x.prefixLength != y.prefixLength)
                return x.prefixLength < y.prefixLength ? -1 : 1;
            int c = memcmp(bytes + x.prefix, bytes + y.prefix, x.prefixLength);
            if (c)
                return c;
        }
        if (x.nameLength != y.nameLength)
            return x.nameLength < y.nameLength ? -1 : 1;
        return x.nameLength ? memcmp(bytes + x.name, bytes + y.name, x.nameLength) : 0;
    };
    m_AttrOrder.Clear();
    if (count < ((size_t)-1) / (2 * sizeof(Entry)) && m_AttrOrder.Reserve(count * (sizeof(Entry) + sizeof(size_t)))) {
        size_t* target = (size_t*)m_AttrOrder.data;
        Entry* order = (Entry*)(target + count);
        for (size_t i = 0; i < count; i++)
            target[i] = i;
        for (int pass = 0; pass < 2; pass++) {
            const bool pair = pass == 1;
            size_t n = 0;
            for (size_t i = 0; i < count; i++) {
                const PendingAttr& attr = list[i];
                if (!pair)
                    order[n++] = {head8(attr.name, attr.nameLength), (uint64_t)attr.nameLength, i};
                else if (attr.prefixLength)
                    order[n++] = {head8(attr.prefix, attr.prefixLength), head8(attr.name, attr.nameLength), i};
            }
            std::sort(order, order + n, [&tail, pair](const Entry& x, const Entry& y) {
                if (x.key1 != y.key1)
                    return x.key1 < y.key1;
                if (x.key2 != y.key2)
                    return x.key2 < y.key2;
                int c = tail(x.index, y.index, pair);
                return c != 0 ? c < 0 : x.index < y.index;
            });
            // Each run of equal keys starts with its first attribute.
            size_t head = n ? order[0].index : 0;
            for (size_t k = 1; k < n; k++) {
                size_t i = order[k].index;
                if (tail(head, i, pair) != 0) {
                    head = i;
                    continue;
                }
                if (i >= first && (list[i].prefixLength != 0) == pair)
                    target[i] = head;
            }
        }
        for (size_t i = first; i < count; i++) {
            if (target[i] == i)
                continue;
            list[target[i]].value = list[i].value;
            list[target[i]].valueLength = list[i].valueLength;
            list[i].nameLength = kRemoved;
        }
    } else {
        for (size_t i = first; i < count; i++) {
            const bool pair = list[i].prefixLength != 0;
            long earlier = FindEarlierAttr(i, pair, bytes + list[i].prefix, list[i].prefixLength, bytes + list[i].name,
                                           list[i].nameLength);
            if (earlier < 0)
                continue;
            list[earlier].value = list[i].value;
            list[earlier].valueLength = list[i].valueLength;
            list[i].nameLength = kRemoved;   // matches nothing from now on
        }
    }
    size_t kept = first;
    for (size_t i = first; i < count; i++) {
        if (list[i].nameLength != kRemoved)
            list[kept++] = list[i];
    }
    m_AttrList.size = kept * sizeof(PendingAttr);
}

// Reads the attributes of a start tag into the scratch buffers. A later
// attribute that matches an earlier one by name replaces its value, as
// storing them one by one would.
void CXML_Parser::ReadAttributes()
{
    m_AttrBytes.Clear();
    m_AttrValues.Clear();
    m_AttrList.Clear();
    size_t resolveFrom = 0;   // 0: every attribute so far is resolved
    for (;;) {
        SkipWhiteSpaces(false);
        if (!HaveByte() || !g_KWCRT_XML_IsNameIntro(Peek()))
            break;
        ReadName(m_Prefix, m_Name);
        SkipWhiteSpaces(false);
        if (!HaveByte() || Peek() != '=')
            break;
        Advance();
        SkipWhiteSpaces(false);
        // The value's bytes stay UTF-8 until the attribute is stored, where
        // they are decoded straight into the value's own block.
        PendingAttr attr;
        attr.value = m_AttrValues.size;
        ReadAttrValueInto(m_AttrValues);
        attr.valueLength = m_AttrValues.size - attr.value;
        size_t count = m_AttrList.size / sizeof(PendingAttr);
        if (!resolveFrom && count < kScanLimit) {
            long earlier = FindEarlierAttr(count, m_Prefix.size != 0, m_Prefix.data, m_Prefix.size, m_Name.data,
                                           m_Name.size);
            if (earlier >= 0) {
                PendingAttr& replaced = ((PendingAttr*)m_AttrList.data)[earlier];
                replaced.value = attr.value;
                replaced.valueLength = attr.valueLength;
                continue;
            }
        } else if (!resolveFrom) {
            resolveFrom = count;
        }
        attr.prefix = m_AttrBytes.size;
        attr.prefixLength = m_Prefix.size;
        m_AttrBytes.Append(m_Prefix.data, m_Prefix.size);
        attr.name = m_AttrBytes.size;
        attr.nameLength = m_Name.size;
        m_AttrBytes.Append(m_Name.data, m_Name.size);
        if (m_AttrBytes.size != attr.name + attr.nameLength)
            continue;   // out of memory: the attribute is dropped
        m_AttrList.Append((const uint8_t*)&attr, sizeof attr);
    }
    if (resolveFrom)
        ResolveRepeatedAttrs(resolveFrom);
}

// Stores bytes into out (empty on entry): the same string, in a block of the
// same size, as CKW_ByteStringL::Set makes.
void CXML_Parser::FillBytes(CKW_ByteStringL& out, const uint8_t* bytes, size_t size)
{
    if (size == 0 || size > (size_t)CKW_ByteString::kMaxLength)
        return;
    char* p = (char*)(m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, size + 1) : KWMEM_DefaultAlloc2(size + 1, 1, 0));
    if (!p)
        return;
    CopyBytes((uint8_t*)p, bytes, size);
    p[size] = 0;
    out.m_Ptr = p;
    out.m_Length = (int)size;
}

// Stores the attributes read by ReadAttributes in one list of exactly their
// number.
void CXML_Parser::StoreAttributes(CXML_Element* element)
{
    int count = (int)(m_AttrList.size / sizeof(PendingAttr));
    if (count == 0)
        return;
    CXML_AttrItem* items = element->m_AttrMap.AllocItems(count, m_pAllocator);
    if (!items)
        return;
    const PendingAttr* list = (const PendingAttr*)m_AttrList.data;
    for (int i = 0; i < count; i++) {
        const PendingAttr& attr = list[i];
        FillBytes(items[i].m_QSpaceName, m_AttrBytes.data + attr.prefix, attr.prefixLength);
        FillBytes(items[i].m_AttrName, m_AttrBytes.data + attr.name, attr.nameLength);
        WideText value;
        if (PrepareWide(m_AttrValues.data + attr.value, attr.valueLength, false, value))
            FillWide(items[i].m_Value, value);
    }
}

// Reads the attributes and the end of a start tag whose name has been read.
// Returns the element, or null (nothing built) when the tag is malformed.
CXML_Element* CXML_Parser::ParseStartTag(bool& isEmpty)
{
    isEmpty = true;
    CXML_Element* element = new (m_pAllocator) CXML_Element(m_pAllocator);
    if (!element)
        return nullptr;
    // The names as read: the reader takes names the setters would refuse.
    element->StoreTag(m_Prefix.View(), m_Name.View());
    ReadAttributes();
    SkipWhiteSpaces(false);
    if (!HaveByte()) {
        StoreAttributes(element);
        return element;
    }
    uint8_t b = Peek();
    Advance();
    if (b == '/') {
        SkipLiterals(">", 1);
        StoreAttributes(element);
        return element;
    }
    if (b == '>') {
        isEmpty = false;
        StoreAttributes(element);
        return element;
    }
    DestroyElement(element);
    return nullptr;
}

// Decodes UTF-8 into the wide scratch buffer; the length is m_nWideLength.
const wchar_t* CXML_Parser::Decode(const uint8_t* utf8, size_t size)
{
    m_nWideLength = 0;
    if (size == 0)
        return nullptr;
    m_Wide.Clear();
    if (!m_Wide.Reserve(size * sizeof(wchar_t)))
        return nullptr;
    m_nWideLength = KW_UTF8DecodeBulk(utf8, size, (wchar_t*)m_Wide.data);
    return (const wchar_t*)m_Wide.data;
}

namespace {

inline bool IsTrimmed(uint32_t ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n';
}

bool IsAscii(const uint8_t* s, size_t n)
{
    uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        memcpy(&word, s + i, 8);
        any |= word;
    }
    for (; i < n; i++)
        any |= s[i];
    return (any & 0x8080808080808080ull) == 0;
}

} // namespace

// Measures the text that utf8 decodes to, with its trailing " \t\r\n"
// dropped when trim is set; false when nothing is left. ASCII text (one
// character per byte) is widened later straight into its own block; anything
// else is decoded into the scratch buffer now.
bool CXML_Parser::PrepareWide(const uint8_t* utf8, size_t size, bool trim, WideText& text)
{
    text.utf8 = utf8;
    text.wide = nullptr;
    text.chars = 0;
    if (size == 0)
        return false;
    if (IsAscii(utf8, size)) {
        if (trim) {
            while (size > 0 && IsTrimmed(utf8[size - 1]))
                size--;
        }
        text.size = size;
        text.chars = size;
        return size > 0;
    }
    const wchar_t* wide = Decode(utf8, size);
    size_t length = m_nWideLength;
    if (trim) {
        while (length > 0 && IsTrimmed((uint32_t)wide[length - 1]))
            length--;
    }
    text.wide = wide;
    text.chars = length;
    return length > 0;
}

// Stores a prepared text into out (empty on entry): the same string, in a
// block of the same size, as CKW_WideStringL::Set makes of the decoded text.
void CXML_Parser::FillWide(CKW_WideStringL& out, const WideText& text)
{
    if (text.wide) {
        out.Set(CKW_WideStringC(text.wide, (int)text.chars), m_pAllocator);
        return;
    }
    size_t chars = text.chars;
    if (chars == 0 || chars > (size_t)CKW_WideString::kMaxLength)
        return;
    wchar_t* p = (wchar_t*)(m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, (chars + 1) * sizeof(wchar_t))
                                         : KWMEM_DefaultAlloc2(chars + 1, sizeof(wchar_t), 0));
    if (!p)
        return;
    for (size_t i = 0; i < chars; i++)
        p[i] = (wchar_t)text.utf8[i];
    p[chars] = 0;
    out.m_Ptr = p;
    out.m_Length = (int)chars;
}

void CXML_Parser::InsertContentSegment(bool cdata, const uint8_t* utf8, size_t size, CXML_Element* element,
                                       bool trim)
{
    if (!element)
        return;
    WideText text;
    if (!PrepareWide(utf8, size, trim, text))
        return;
    // The node first, then its text, as AddChildContent does.
    _IKW_Allocator* allocator = element->GetAllocator();
    void* record = KWMEM_AllocWith(allocator, sizeof(CXML_Element::ContentNode));
    if (!record)
        return;
    CXML_Element::ContentNode* node = new (record) CXML_Element::ContentNode();
    node->m_bCDATA = cdata;
    FillWide(node->m_Content, text);
    if (!element->AppendChild(CXML_Element::Content, node))
        element->ReleaseChild(CXML_Element::Content, node);
}

// Stores the pending text as a content segment of element (trimmed at its
// end unless spaces are saved) and clears it.
void CXML_Parser::FlushText(CXML_Element* element)
{
    InsertContentSegment(false, m_Text.data, m_Text.size, element, !m_bSaveSpaceChars);
    m_Text.Clear();
}

// Text gathered since the last line-break flush: the kept line breaks come
// first, then the pending text.
void CXML_Parser::FlushKeptAndText(CXML_Element* element, bool trim)
{
    if (m_LineBreaks.size) {
        m_LineBreaks.Append(m_Text.data, m_Text.size);
        InsertContentSegment(false, m_LineBreaks.data, m_LineBreaks.size, element, trim);
        m_LineBreaks.Clear();
    } else {
        InsertContentSegment(false, m_Text.data, m_Text.size, element, trim);
    }
    m_Text.Clear();
}

CXML_Element* CXML_Parser::ParseElement(CXML_Element* /*parent*/, bool afterOpenBracket)
{
    const int baseDepth = m_nDepth;
    if (baseDepth > kMaxDepth)
        return nullptr;
    if (m_bStartConsumed) {
        afterOpenBracket = true;
        m_bStartConsumed = false;
    }
    if (!HaveByte())
        return nullptr;
    bool endTag = false;
    if (!ReadTagName(m_Prefix, m_Name, endTag, afterOpenBracket) || endTag || m_Name.size == 0)
        return nullptr;
    bool isEmpty = true;
    CXML_Element* root = ParseStartTag(isEmpty);
    if (!root || isEmpty)
        return root;

    // The open elements, root first. Nesting is bounded, so the stack is too.
    const int capacity = kMaxDepth - baseDepth + 1;
    if (!m_pStack) {
        m_pStack = (OpenElement*)KWMEM_AllocWith(m_pAllocator, sizeof(OpenElement) * (kMaxDepth + 1));
        if (!m_pStack)
            return root;
    }
    OpenElement* stack = m_pStack;
    int top = 0;
    stack[0].element = root;
    stack[0].attached = true;
    m_Text.Clear();
    m_LineBreaks.Clear();
    if (!m_bSaveSpaceChars)
        SkipWhiteSpaces(true);

    for (;;) {
        CXML_Element* current = stack[top].element;
        // Text up to the next markup.
        bool atMarkup = false;
        while (HaveByte()) {
            const uint8_t* p = m_pBuffer + m_dwIndex;
            const uint8_t* end = m_pBuffer + m_dwBufferSize;
            const uint8_t* start = p;
            if (m_bLiteralAmpersands) {
                const uint8_t* hit = (const uint8_t*)memchr(p, '<', (size_t)(end - p));
                p = hit ? hit : end;
            } else {
                while (p < end && *p != '<' && *p != '&')
                    p++;
            }
            m_Text.Append(start, (size_t)(p - start));
            m_dwIndex = (size_t)(p - m_pBuffer);
            if (p == end)
                continue;
            Advance();
            if (*p == '<') {
                atMarkup = true;
                break;
            }
            ReadCharRefInto(m_Text);
        }
        bool closeCurrent = !atMarkup;   // the input ended
        if (atMarkup) {
            if (!HaveByte()) {
                closeCurrent = true;
            } else {
                uint8_t b = Peek();
                if (b == '?') {
                    Advance();
                    SkipLiterals("?>", 2);
                    SkipWhiteSpaces(false);
                    continue;
                }
                if (b == '!') {
                    Advance();
                    // Text before a comment, section or declaration is kept
                    // as its own segment.
                    FlushText(current);
                    if (HaveByte() && Peek() == '[') {
                        Advance();
                        if (ReadCDATA(m_Value))
                            InsertContentSegment(true, m_Value.data, m_Value.size, current, false);
                    } else {
                        SkipMarkupDeclaration();
                    }
                    SkipWhiteSpaces(false);
                    continue;
                }
                if (b == '/') {
                    Advance();
                    ReadName(m_Prefix, m_Name);   // not compared with the open element's
                    SkipWhiteSpaces(false);
                    SkipLiterals(">", 1);
                    closeCurrent = true;
                } else {
                    // A child element.
                    if (m_bKeepLineBreaks && m_LineBreaks.size)
                        FlushKeptAndText(current, false);
                    else
                        FlushText(current);
                    if (top + 1 >= capacity)
                        continue;   // too deep: its bytes are read as text
                    ReadName(m_Prefix, m_Name);
                    if (m_Name.size == 0)
                        continue;
                    CXML_Element* child = ParseStartTag(isEmpty);
                    if (!child)
                        continue;
                    bool attached = current->AddChildElement(child);
                    if (isEmpty) {
                        if (!attached)
                            DestroyElement(child);
                        SkipWhiteSpaces(true);
                        continue;
                    }
                    top++;
                    stack[top].element = child;
                    stack[top].attached = attached;
                    if (!m_bSaveSpaceChars)
                        SkipWhiteSpaces(true);
                    continue;
                }
            }
        }
        if (closeCurrent) {
            if (m_bKeepLineBreaks)
                FlushKeptAndText(current, !m_bSaveSpaceChars);
            else
                FlushText(current);
            if (top == 0)
                return root;
            if (!stack[top].attached)
                DestroyElement(current);
            top--;
            SkipWhiteSpaces(true);
        }
    }
}

// ---------------------------------------------------------------------------
// Entry points

static CXML_Element* RunParser(CXML_Parser& parser, bool saveSpaces, int64_t* parsedSize, bool literalAmpersands,
                               bool keepLineBreaks)
{
    parser.SetFlags(saveSpaces, literalAmpersands, keepLineBreaks);
    CXML_Element* root = parser.ParseElement(nullptr, false);
    if (parsedSize)
        *parsedSize = parser.GetOffset();
    return root;
}

CXML_Element* CXML_Element::Parse(const void* buffer, size_t size, bool saveSpaces, int64_t* parsedSize,
                                  _IKW_Allocator* allocator, bool literalAmpersands, bool keepLineBreaks)
{
    CXML_Parser parser(allocator);
    if (!parser.Init((const uint8_t*)buffer, size))
        return nullptr;
    return RunParser(parser, saveSpaces, parsedSize, literalAmpersands, keepLineBreaks);
}

CXML_Element* CXML_Element::Parse(IKW_FileRead* file, bool saveSpaces, int64_t* parsedSize,
                                  _IKW_Allocator* allocator, bool literalAmpersands, bool keepLineBreaks)
{
    if (!file)
        return nullptr;
    CXML_Parser parser(allocator);
    if (!parser.Init(file))
        return nullptr;
    return RunParser(parser, saveSpaces, parsedSize, literalAmpersands, keepLineBreaks);
}

CXML_Element* CXML_Element::Parse(IKW_BufferRead* reader, bool saveSpaces, int64_t* parsedSize,
                                  _IKW_Allocator* allocator, bool literalAmpersands, bool keepLineBreaks)
{
    if (!reader)
        return nullptr;
    CXML_Parser parser(allocator);
    if (!parser.Init(reader))
        return nullptr;
    return RunParser(parser, saveSpaces, parsedSize, literalAmpersands, keepLineBreaks);
}
