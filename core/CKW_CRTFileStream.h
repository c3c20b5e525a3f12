// Reference-counted file stream over a platform file, with an optional window
// onto part of the file, and the path object that opens such streams.
//
// Every stream operation holds the stream's own recursive mutex, so one stream
// may be shared by threads. Positioned reads and writes succeed only when the
// whole request moved; with a window set, they must lie inside it.
#ifndef CKW_CRTFILESTREAM_H
#define CKW_CRTFILESTREAM_H

#include "CKW_WideString.h"
#include "IKW_Stream.h"
#include "KW_Object.h"
#include "KW_Platform.h"

class CKW_CRTFileStream : public IKW_FileStream, public CKW_Object {
public:
    // Takes over the opened access; it is released with the same allocator.
    CKW_CRTFileStream(IKWCRT_FileAccess* access, _IKW_Allocator* allocator);
    ~CKW_CRTFileStream() override;

    void Release() override;
    IKW_FileStream* Retain() override;
    bool IsEOF() override;
    int64_t GetPosition() override;
    int64_t SetPosition(int64_t position) override;
    size_t ReadBlock(void* buffer, size_t size) override;
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override;
    int64_t GetSize() override;
    bool SetRange(int64_t offset, int64_t size) override;
    void ClearRange() override;
    bool WriteBlock(const void* buffer, int64_t offset, size_t size) override;
    bool WriteBlock(const void* buffer, size_t size) override;
    bool Flush() override;

private:
    // Requests of size bytes at offset within the stream: the absolute file
    // offset, or -1 when the request leaves the window (or the file's range).
    int64_t ToFileOffset(int64_t offset, size_t size);

    _KW_MUTEX m_Mutex;
    _IKW_Allocator* m_pAllocator;
    IKWCRT_FileAccess* m_pFileAccess;
    int32_t m_nRefCount;
    bool m_bUseRange;
    int64_t m_nRangeOffset;
    int64_t m_nRangeSize;
};

class CKW_CRTFileAccess : public IKW_FileAccess, public CKW_Object {
public:
    CKW_CRTFileAccess() : m_pAllocator(nullptr), m_nRefCount(0) {}
    ~CKW_CRTFileAccess() override {}

    void Release() override;
    IKW_FileAccess* Retain() override;
    void GetPath(CKW_WideString& path) override;
    IKW_FileStream* CreateFileStream(uint32_t mode) override;
    bool Init(const CKW_WideStringC& path, _IKW_Allocator* allocator) override;

private:
    CKW_WideString m_Path;
    _IKW_Allocator* m_pAllocator;
    int32_t m_nRefCount;
};

// Open modes: KW_FILEMODE_* of IKW_Stream.h. Null when the file cannot be
// opened (or memory runs out). A null path is an empty one.
IKW_FileStream* KW_CreateFileStream(const char* path, uint32_t mode, _IKW_Allocator* allocator);
IKW_FileStream* KW_CreateFileStream(const wchar_t* path, uint32_t mode, _IKW_Allocator* allocator);
// An existing file, read only.
IKW_FileRead* KW_CreateFileRead(const char* path, _IKW_Allocator* allocator);
IKW_FileRead* KW_CreateFileRead(const wchar_t* path, _IKW_Allocator* allocator);
// A file emptied (or created) for writing.
IKW_FileWrite* KW_CreateFileWrite(const char* path, _IKW_Allocator* allocator);
IKW_FileWrite* KW_CreateFileWrite(const wchar_t* path, _IKW_Allocator* allocator);
// Null for an empty path or one holding a zero character.
IKW_FileAccess* KW_CreateDefaultFileAccess(const CKW_WideStringC& path, _IKW_Allocator* allocator);

#endif // CKW_CRTFILESTREAM_H
