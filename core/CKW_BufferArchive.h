// A fixed-size output buffer that hands each full buffer to a sink
// (DoWork); CKW_FileBufferArchive's sink is a write stream.
#ifndef CKW_BUFFERARCHIVE_H
#define CKW_BUFFERARCHIVE_H

#include "CKW_ByteString.h"
#include "KW_Object.h"

#include <stddef.h>
#include <stdint.h>

class IKW_StreamWrite;
struct _IKW_Allocator;

class IKW_BufferArchive {
public:
    // The buffer is allocated on first use (allocator null: the default
    // manager). A size of 0 or less makes every append fail.
    IKW_BufferArchive(int bufferSize, _IKW_Allocator* allocator);
    virtual ~IKW_BufferArchive();
    IKW_BufferArchive(const IKW_BufferArchive&) = delete;
    IKW_BufferArchive& operator=(const IKW_BufferArchive&) = delete;

    // Forgets pending bytes and returns the buffer.
    virtual void Clear();
    virtual bool DoWork(const void* data, size_t size) = 0;

    // Copies data in, handing each full buffer to DoWork. Returns size; 0 for
    // no data; -1 when the buffer cannot be made, DoWork fails, or size does
    // not fit an int.
    int AppendBlock(const void* data, size_t size);
    int AppendByte(uint8_t byte) { return AppendBlock(&byte, 1); }
    // Decimal text, no terminator.
    int AppendDWord(uint32_t value);
    int AppendInt64(int64_t value);
    int AppendString(const CKW_ByteStringC& text) { return AppendBlock(text.GetPtr(), (size_t)text.GetLength()); }

    // Hands the pending bytes to DoWork; they are dropped either way.
    bool Flush();

    int GetLength() const { return m_Length; }

protected:
    _IKW_Allocator* m_pAllocator;
    int m_BufSize;
    uint8_t* m_pBuffer;
    int m_Length;
};

class CKW_FileBufferArchive : public IKW_BufferArchive, public CKW_Object {
public:
    CKW_FileBufferArchive(int bufferSize, _IKW_Allocator* allocator);
    ~CKW_FileBufferArchive() override;

    // False for a null stream. A stream held with take over is released
    // first; with takeOver the archive releases the new one when done.
    bool AttachFile(IKW_StreamWrite* stream, bool takeOver);
    // Opens the file for writing and holds it with take over; false for a
    // null path or a file that cannot be opened.
    bool AttachFile(const wchar_t* path);
    bool AttachFile(const char* path);

    // Writes through the stream: false without one, true for nothing to do.
    bool DoWork(const void* data, size_t size) override;
    // Writes the pending bytes, then flushes the stream.
    bool Flush();
    // Lets the stream go (releasing one held with take over) and drops the
    // pending bytes unwritten.
    void Clear() override;

private:
    void LetStreamGo();

    IKW_StreamWrite* m_pFile;
    bool m_bTakeOver;
};

#endif // CKW_BUFFERARCHIVE_H
