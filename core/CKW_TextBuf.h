// Growable buffers on which text is assembled: raw bytes (CKW_BinaryBuf),
// byte text with number appenders (CKW_ByteTextBuf), wide text
// (CKW_WideTextBuf, 4 bytes per character), and the fixed-capacity inline
// byte buffer (CKW_StringBufBase / CKW_StringBufT<N>), which never allocates.
//
// Memory comes from the buffer's allocator (null = the default manager).
// Sizes are signed 32-bit byte counts checked in 64 bits: a negative size, a
// total past 2^31 - 1 or an allocation failure makes the operation return
// false (operators append nothing) and leaves the buffer as it was.
#ifndef CKW_TEXTBUF_H
#define CKW_TEXTBUF_H

#include "CKW_ByteString.h"
#include "CKW_WideString.h"

#include <stdint.h>

struct _IKW_Allocator;

class CKW_BinaryBuf {
public:
    explicit CKW_BinaryBuf(_IKW_Allocator* allocator = nullptr);
    explicit CKW_BinaryBuf(int size, _IKW_Allocator* allocator = nullptr);
    ~CKW_BinaryBuf();
    CKW_BinaryBuf(const CKW_BinaryBuf&) = delete;
    CKW_BinaryBuf& operator=(const CKW_BinaryBuf&) = delete;

    // Pre-sizes the buffer and fixes the growth step (0 = automatic).
    bool EstimateSize(int size, int step = 0);
    // Room for addSize more bytes after the data: grows to the needed size
    // rounded up to the step (automatic: a quarter of the current size, at
    // least 128 bytes).
    bool ExpandBuf(int addSize);
    bool CopyData(const void* data, int size);
    // A null data pointer only reserves: the data size grows, bytes unset.
    bool AppendBlock(const void* data, int size);
    bool InsertBlock(int position, const void* data, int size);
    bool AppendFill(unsigned char byte, int count);
    void Delete(int start, int count);
    void Clear() { m_DataSize = 0; }
    // The caller takes the memory. The allocated size is kept, so appends
    // that would fit in it fail until a buffer is attached again.
    void DetachBuffer();
    // The buffer must come from this buffer's allocator; a block of the
    // default system manager may be any malloc block.
    void AttachData(void* buffer, int size);
    // Takes other's block together with other's allocator.
    void TakeOver(CKW_BinaryBuf& other);

    CKW_ByteStringC GetByteString() const { return CKW_ByteStringC(m_pBuffer, m_DataSize); }
    void GetByteStringL(CKW_ByteStringL& out) const;

    uint8_t* GetBuffer() const { return m_pBuffer; }
    int GetSize() const { return m_DataSize; }
    int GetAllocSize() const { return m_AllocSize; }
    _IKW_Allocator* GetAllocator() const { return m_pAllocator; }

protected:
    void FreeBuffer();

    _IKW_Allocator* m_pAllocator;
    int m_AllocStep;
    uint8_t* m_pBuffer;
    int m_DataSize;
    int m_AllocSize;
};

class CKW_ByteTextBuf : public CKW_BinaryBuf {
public:
    explicit CKW_ByteTextBuf(_IKW_Allocator* allocator = nullptr) : CKW_BinaryBuf(allocator) {}

    CKW_ByteTextBuf& operator<<(const CKW_ByteStringC& text);
    CKW_ByteTextBuf& operator<<(const char* text) { return *this << CKW_ByteStringC(text); }
    CKW_ByteTextBuf& operator<<(const CKW_ByteString& text) { return *this << CKW_ByteStringC(text); }
    CKW_ByteTextBuf& operator<<(int value);
    // Written through the signed conversion: 4294967295 appears as "-1".
    CKW_ByteTextBuf& operator<<(unsigned int value);
    CKW_ByteTextBuf& operator<<(long long value);
    // Narrowed to float and written by KW_ftoa.
    CKW_ByteTextBuf& operator<<(double value);
    CKW_ByteTextBuf& operator<<(const CKW_ByteTextBuf& other);
    CKW_ByteTextBuf& operator=(const CKW_ByteStringC& text);
};

class CKW_WideTextBuf : public CKW_BinaryBuf {
public:
    explicit CKW_WideTextBuf(_IKW_Allocator* allocator = nullptr) : CKW_BinaryBuf(allocator) {}

    bool AppendChar(wchar_t ch) { return AppendBlock(&ch, sizeof ch); }
    CKW_WideTextBuf& operator<<(const CKW_WideStringC& text);
    CKW_WideTextBuf& operator<<(const CKW_WideString& text);
    CKW_WideTextBuf& operator<<(const wchar_t* text);
    CKW_WideTextBuf& operator<<(const CKW_WideTextBuf& other);
    CKW_WideTextBuf& operator<<(int value);
    CKW_WideTextBuf& operator<<(double value);
    CKW_WideTextBuf& operator=(const CKW_WideStringC& text);

    // Characters in use (the data size counts bytes).
    int GetLength() const { return m_DataSize / static_cast<int>(sizeof(wchar_t)); }
    CKW_WideStringC GetWideString() const
    {
        return CKW_WideStringC(reinterpret_cast<const wchar_t*>(m_pBuffer), GetLength());
    }
    void GetWideStringL(CKW_WideStringL& out) const;
};

// Fixed-capacity byte text held inline by its owner; never grows, never
// allocates: what does not fit is cut off.
class CKW_StringBufBase {
public:
    void Copy(const CKW_ByteStringC& text);
    void Append(const CKW_ByteStringC& text);
    // As CKW_ByteString::FormatInteger (1 signed, 2 hexadecimal, 4 capitals).
    void Append(int value, unsigned flags);

    int GetSize() const { return m_Size; }
    int GetLimit() const { return m_Limit; }
    CKW_ByteStringC GetStringC() const { return CKW_ByteStringC(m_pChars, m_Size); }

protected:
    CKW_StringBufBase(char* chars, int limit) : m_Limit(limit < 0 ? 0 : limit), m_Size(0), m_pChars(chars) {}
    CKW_StringBufBase(const CKW_StringBufBase&) = delete;
    CKW_StringBufBase& operator=(const CKW_StringBufBase&) = delete;

    int m_Limit;
    int m_Size;
    char* m_pChars;
};

template <int N>
class CKW_StringBufT : public CKW_StringBufBase {
public:
    CKW_StringBufT() : CKW_StringBufBase(m_Chars, N) {}

private:
    char m_Chars[N];
};

#endif // CKW_TEXTBUF_H
