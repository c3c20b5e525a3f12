// Stream interfaces of the core library.
//
// Positions, offsets and file sizes are signed 64-bit; the byte count of a
// single call is unsigned. Objects behind these interfaces are released with
// Release(), never with delete: an implementation may be reference-counted
// or live in a caller's arena.
#ifndef IKW_STREAM_H
#define IKW_STREAM_H

#include <cstddef>
#include <cstdint>

struct _IKW_Allocator;
class CKW_ByteStringC;
class CKW_WideStringC;
class CKW_WideString;

// Sequential reading.
class IKW_StreamRead {
public:
    // Drops the caller's reference (or destroys the object).
    virtual void Release() = 0;
    virtual bool IsEOF() = 0;
    virtual int64_t GetPosition() = 0;
    // Reads up to size bytes at the current position; returns the count read.
    virtual size_t ReadBlock(void* buffer, size_t size) = 0;
    // Returns the new position, or -1 when the stream cannot seek there.
    virtual int64_t SetPosition(int64_t /*position*/) { return -1; }
    virtual ~IKW_StreamRead() {}
};

// Random-access reading of a file (or of a window onto it).
class IKW_FileRead : public IKW_StreamRead {
public:
    using IKW_StreamRead::ReadBlock;
    virtual int64_t GetSize() = 0;
    // Restricts the stream to [offset, offset + size) of the file.
    virtual bool SetRange(int64_t /*offset*/, int64_t /*size*/) { return false; }
    virtual void ClearRange() {}
    // Reads exactly size bytes at offset.
    virtual bool ReadBlock(void* buffer, int64_t offset, size_t size) = 0;
};

// Sequential writing.
class IKW_StreamWrite {
public:
    virtual void Release() = 0;
    virtual bool WriteBlock(const void* buffer, size_t size) = 0;
    virtual bool Flush() = 0;
    virtual ~IKW_StreamWrite() {}
};

// Random-access writing of a file.
class IKW_FileWrite : public IKW_StreamWrite {
public:
    using IKW_StreamWrite::WriteBlock;
    virtual int64_t GetSize() = 0;
    virtual bool WriteBlock(const void* buffer, int64_t offset, size_t size) = 0;
};

// A file open for reading and writing. Release, GetSize and the writes are
// one operation each, whichever side they are reached through.
class IKW_FileStream : public IKW_FileRead, public IKW_FileWrite {
public:
    void Release() override = 0;
    int64_t GetSize() override = 0;
    // One more reference; returns the stream itself.
    virtual IKW_FileStream* Retain() = 0;
    bool WriteBlock(const void* buffer, int64_t offset, size_t size) override = 0;
    // Sequential writes append at the end of the file.
    bool WriteBlock(const void* buffer, size_t size) override
    {
        return WriteBlock(buffer, GetSize(), size);
    }
    bool Flush() override = 0;
    using IKW_FileRead::ReadBlock;
};

// Block-wise reading: the reader hands out its input one block at a time, so
// that a parser can work on a memory buffer and a file alike.
class IKW_BufferRead : public IKW_StreamRead {
public:
    // Makes the next block current (restart: from the beginning); false when
    // nothing is left.
    virtual bool ReadNextBlock(bool restart = false) = 0;
    virtual const uint8_t* GetBlockBuffer() = 0;
    virtual size_t GetBlockSize() = 0;
    // Stream offset of the current block's first byte.
    virtual int64_t GetBlockOffset() = 0;
};

// Open mode of files: bit 0 read only, bit 1 truncate. 0 opens for reading
// and writing and creates a missing file.
enum {
    KW_FILEMODE_ReadWrite = 0,
    KW_FILEMODE_ReadOnly = 1,
    KW_FILEMODE_Truncate = 2,
};

// The platform file under the file streams.
class IKWCRT_FileAccess {
public:
    virtual ~IKWCRT_FileAccess() {}
    virtual bool Open(const CKW_ByteStringC& path, uint32_t mode) = 0;
    virtual bool Open(const CKW_WideStringC& path, uint32_t mode) = 0;
    virtual void Close() = 0;
    virtual void Release(_IKW_Allocator* allocator) = 0;
    virtual int64_t GetSize() const = 0;
    virtual int64_t GetPosition() const = 0;
    virtual int64_t SetPosition(int64_t position) = 0;
    virtual int64_t Read(void* buffer, size_t size) = 0;
    virtual int64_t Write(const void* buffer, size_t size) = 0;
    virtual int64_t ReadPos(void* buffer, size_t size, int64_t position) = 0;
    virtual int64_t WritePos(const void* buffer, size_t size, int64_t position) = 0;
    virtual bool Flush() = 0;
    virtual bool Truncate(int64_t size) = 0;
};

// A path that can open file streams.
class IKW_FileAccess {
public:
    virtual void Release() = 0;
    virtual IKW_FileAccess* Retain() = 0;
    virtual void GetPath(CKW_WideString& path) = 0;
    virtual IKW_FileStream* CreateFileStream(uint32_t mode) = 0;
    virtual ~IKW_FileAccess() {}
    virtual bool Init(const CKW_WideStringC& path, _IKW_Allocator* allocator) = 0;
};

#endif
