#include "CKW_CRTFileStream.h"

#include "KW_FileAccess.h"

#include <new>
#include <string.h>
#include <wchar.h>

CKW_CRTFileStream::CKW_CRTFileStream(IKWCRT_FileAccess* access, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_pFileAccess(access), m_nRefCount(1), m_bUseRange(false), m_nRangeOffset(0),
      m_nRangeSize(0)
{
    KWCRT_Mutex_Initialize(&m_Mutex);
}

CKW_CRTFileStream::~CKW_CRTFileStream()
{
    if (m_pFileAccess)
        m_pFileAccess->Release(m_pAllocator);
    KW_Mutex_Destroy(&m_Mutex);
}

void CKW_CRTFileStream::Release()
{
    KW_Mutex_Lock(&m_Mutex);
    bool last = --m_nRefCount == 0;
    // The mutex is given up before the object (and the mutex with it) goes.
    KW_Mutex_Unlock(&m_Mutex);
    if (!last)
        return;
    if (m_pAllocator) {
        _IKW_Allocator* allocator = m_pAllocator;
        this->~CKW_CRTFileStream();
        allocator->Free(allocator, this);
    } else {
        delete this;
    }
}

IKW_FileStream* CKW_CRTFileStream::Retain()
{
    CKW_MutexLocker lock(&m_Mutex);
    ++m_nRefCount;
    return this;
}

int64_t CKW_CRTFileStream::GetSize()
{
    CKW_MutexLocker lock(&m_Mutex);
    return m_bUseRange ? m_nRangeSize : m_pFileAccess->GetSize();
}

int64_t CKW_CRTFileStream::GetPosition()
{
    CKW_MutexLocker lock(&m_Mutex);
    int64_t position = m_pFileAccess->GetPosition();
    if (m_bUseRange && position >= 0)
        position -= m_nRangeOffset;
    return position;
}

bool CKW_CRTFileStream::IsEOF()
{
    CKW_MutexLocker lock(&m_Mutex);
    return GetPosition() >= GetSize();
}

int64_t CKW_CRTFileStream::SetPosition(int64_t position)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (position < 0 || position > GetSize())
        return -1;
    int64_t absolute = m_bUseRange ? position + m_nRangeOffset : position;
    if (m_pFileAccess->SetPosition(absolute) < 0)
        return -1;
    return position;
}

size_t CKW_CRTFileStream::ReadBlock(void* buffer, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (m_bUseRange) {
        int64_t position = m_pFileAccess->GetPosition();
        int64_t end = m_nRangeOffset + m_nRangeSize;
        if (position < m_nRangeOffset || position >= end)
            return 0;
        if (static_cast<uint64_t>(end - position) < size)
            size = static_cast<size_t>(end - position);
    }
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
        int64_t n = m_pFileAccess->Read(out + done, size - done);
        if (n < 0)
            return 0;
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    return done;
}

int64_t CKW_CRTFileStream::ToFileOffset(int64_t offset, size_t size)
{
    if (offset < 0 || size > static_cast<uint64_t>(INT64_MAX - offset))
        return -1;
    if (!m_bUseRange)
        return offset;
    if (offset > m_nRangeSize || size > static_cast<uint64_t>(m_nRangeSize - offset))
        return -1;
    return offset + m_nRangeOffset;
}

bool CKW_CRTFileStream::ReadBlock(void* buffer, int64_t offset, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    int64_t at = ToFileOffset(offset, size);
    if (at < 0 || size == 0)
        return false;
    return m_pFileAccess->ReadPos(buffer, size, at) == static_cast<int64_t>(size);
}

bool CKW_CRTFileStream::WriteBlock(const void* buffer, int64_t offset, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    int64_t at = ToFileOffset(offset, size);
    if (at < 0 || size == 0)
        return false;
    return m_pFileAccess->WritePos(buffer, size, at) == static_cast<int64_t>(size);
}

bool CKW_CRTFileStream::WriteBlock(const void* buffer, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    return WriteBlock(buffer, GetSize(), size);
}

bool CKW_CRTFileStream::Flush()
{
    CKW_MutexLocker lock(&m_Mutex);
    return m_pFileAccess->Flush();
}

bool CKW_CRTFileStream::SetRange(int64_t offset, int64_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    int64_t fileSize = m_pFileAccess->GetSize();
    if (offset < 0 || size < 0 || offset > fileSize || size > fileSize - offset)
        return false;
    m_nRangeOffset = offset;
    m_nRangeSize = size;
    m_bUseRange = true;
    m_pFileAccess->SetPosition(offset);
    return true;
}

void CKW_CRTFileStream::ClearRange()
{
    CKW_MutexLocker lock(&m_Mutex);
    m_bUseRange = false;
}

// ---------------------------------------------------------------------------

void CKW_CRTFileAccess::Release()
{
    if (KW_Atom_Subtract32(&m_nRefCount, 1) != 0)
        return;
    if (m_pAllocator) {
        _IKW_Allocator* allocator = m_pAllocator;
        this->~CKW_CRTFileAccess();
        allocator->Free(allocator, this);
    } else {
        delete this;
    }
}

IKW_FileAccess* CKW_CRTFileAccess::Retain()
{
    KW_Atom_Add32(&m_nRefCount, 1);
    return this;
}

void CKW_CRTFileAccess::GetPath(CKW_WideString& path)
{
    path = m_Path;
}

IKW_FileStream* CKW_CRTFileAccess::CreateFileStream(uint32_t mode)
{
    return KW_CreateFileStream(m_Path.c_str(), mode, m_pAllocator);
}

bool CKW_CRTFileAccess::Init(const CKW_WideStringC& path, _IKW_Allocator* allocator)
{
    if (KW_Path_HoldsZero(path))
        return false;
    m_Path = path;
    m_pAllocator = allocator;
    m_nRefCount = 1;
    return true;
}

// ---------------------------------------------------------------------------

namespace {
template <typename Path>
IKW_FileStream* CreateStream(const Path& path, uint32_t mode, _IKW_Allocator* allocator)
{
    IKWCRT_FileAccess* access = KW_File_Open(path, mode, allocator);
    if (!access)
        return nullptr;
    if (!allocator) {
        CKW_CRTFileStream* stream = new CKW_CRTFileStream(access, nullptr);
        if (!stream)
            access->Release(nullptr);
        return stream;
    }
    void* p = allocator->Alloc(allocator, sizeof(CKW_CRTFileStream));
    if (!p) {
        access->Release(allocator);
        return nullptr;
    }
    return ::new (p) CKW_CRTFileStream(access, allocator);
}
} // namespace

IKW_FileStream* KW_CreateFileStream(const char* path, uint32_t mode, _IKW_Allocator* allocator)
{
    return CreateStream(CKW_ByteStringC(path ? path : "", path ? static_cast<int>(strlen(path)) : 0), mode,
                        allocator);
}

IKW_FileStream* KW_CreateFileStream(const wchar_t* path, uint32_t mode, _IKW_Allocator* allocator)
{
    return CreateStream(CKW_WideStringC(path ? path : L"", path ? static_cast<int>(wcslen(path)) : 0), mode,
                        allocator);
}

IKW_FileRead* KW_CreateFileRead(const char* path, _IKW_Allocator* allocator)
{
    return KW_CreateFileStream(path, KW_FILEMODE_ReadOnly, allocator);
}

IKW_FileRead* KW_CreateFileRead(const wchar_t* path, _IKW_Allocator* allocator)
{
    return KW_CreateFileStream(path, KW_FILEMODE_ReadOnly, allocator);
}

IKW_FileWrite* KW_CreateFileWrite(const char* path, _IKW_Allocator* allocator)
{
    IKW_FileStream* stream = KW_CreateFileStream(path, KW_FILEMODE_Truncate, allocator);
    return stream ? static_cast<IKW_FileWrite*>(stream) : nullptr;
}

IKW_FileWrite* KW_CreateFileWrite(const wchar_t* path, _IKW_Allocator* allocator)
{
    IKW_FileStream* stream = KW_CreateFileStream(path, KW_FILEMODE_Truncate, allocator);
    return stream ? static_cast<IKW_FileWrite*>(stream) : nullptr;
}

IKW_FileAccess* KW_CreateDefaultFileAccess(const CKW_WideStringC& path, _IKW_Allocator* allocator)
{
    if (path.IsEmpty() || KW_Path_HoldsZero(path))
        return nullptr;
    CKW_CRTFileAccess* access;
    if (allocator) {
        void* p = allocator->Alloc(allocator, sizeof(CKW_CRTFileAccess));
        access = p ? ::new (p) CKW_CRTFileAccess : nullptr;
    } else {
        access = new CKW_CRTFileAccess;
    }
    if (access)
        access->Init(path, allocator);
    return access;
}
