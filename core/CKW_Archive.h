// Tagless binary archive of numbers and strings, little-endian, with no
// header or padding: the saver writes to a memory buffer or a stream, the
// loader reads back from memory.
//
// Byte string: 4-byte signed length n, then n bytes. Wide string: a byte
// string holding its UTF-16LE text with a two-byte zero terminator.
#ifndef CKW_ARCHIVE_H
#define CKW_ARCHIVE_H

#include "CKW_ByteString.h"
#include "CKW_TextBuf.h"
#include "CKW_WideString.h"

#include <stdint.h>

class IKW_FileStream;
struct _IKW_Allocator;

class CKW_ArchiveSaver {
public:
    // Without a stream the values collect in the saver's buffer (memory from
    // allocator, null = the default manager). The stream stays the caller's.
    explicit CKW_ArchiveSaver(IKW_FileStream* stream = nullptr, _IKW_Allocator* allocator = nullptr);
    CKW_ArchiveSaver(const CKW_ArchiveSaver&) = delete;
    CKW_ArchiveSaver& operator=(const CKW_ArchiveSaver&) = delete;

    CKW_ArchiveSaver& operator<<(uint8_t value);
    CKW_ArchiveSaver& operator<<(bool value);
    CKW_ArchiveSaver& operator<<(int value);
    CKW_ArchiveSaver& operator<<(unsigned value);
    CKW_ArchiveSaver& operator<<(float value);
    CKW_ArchiveSaver& operator<<(int64_t value);
    CKW_ArchiveSaver& operator<<(const CKW_ByteStringC& text);
    // A null text saves as an empty string.
    CKW_ArchiveSaver& operator<<(const char* text);
    CKW_ArchiveSaver& operator<<(const CKW_ByteString& text);
    CKW_ArchiveSaver& operator<<(const CKW_WideString& text);
    CKW_ArchiveSaver& operator<<(const wchar_t* text);

    // Raw bytes; with a stream, its write result.
    bool Write(const void* data, int size);

    const uint8_t* GetBuffer() const { return m_SavingBuf.GetBuffer(); }
    int GetLength() const { return m_SavingBuf.GetSize(); }

private:
    // One value's bytes; a value that cannot be buffered whole is dropped.
    void Put(const void* first, int firstSize, const void* second = nullptr, int secondSize = 0);

    CKW_BinaryBuf m_SavingBuf;
    IKW_FileStream* m_pStream;
};

// Reads values in the order they were saved. A value whose bytes do not all
// remain leaves its target and the position unchanged, and so does every
// read after it: a cut archive never yields values taken from the middle of
// another.
class CKW_ArchiveLoader {
public:
    CKW_ArchiveLoader(const uint8_t* data, uint32_t size)
        : m_Current(0), m_pData(data), m_Size(data ? size : 0), m_bFailed(false)
    {
    }

    bool IsEOF() const { return m_Current >= m_Size; }
    uint32_t GetPosition() const { return m_Current; }

    CKW_ArchiveLoader& operator>>(uint8_t& value);
    CKW_ArchiveLoader& operator>>(bool& value);
    CKW_ArchiveLoader& operator>>(int& value);
    CKW_ArchiveLoader& operator>>(unsigned& value);
    CKW_ArchiveLoader& operator>>(float& value);
    CKW_ArchiveLoader& operator>>(int64_t& value);
    // A zero or negative length gives an empty string (its 4 bytes read).
    CKW_ArchiveLoader& operator>>(CKW_ByteString& text);
    CKW_ArchiveLoader& operator>>(CKW_WideString& text);

    // False, nothing read, when fewer than size bytes remain; a null buffer
    // only skips.
    bool Read(void* buffer, uint32_t size);

private:
    // Where a string's bytes start and how many there are; false when the
    // string is not all there (nothing consumed).
    bool ReadString(const uint8_t*& bytes, int& length);

    uint32_t m_Current;
    const uint8_t* m_pData;
    uint32_t m_Size;
    bool m_bFailed;
};

#endif // CKW_ARCHIVE_H
