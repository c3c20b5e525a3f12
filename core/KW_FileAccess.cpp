#include "KW_FileAccess.h"

#include "CKW_ByteString.h"
#include "CKW_WideString.h"

#include <errno.h>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <string.h>
#include <unistd.h>
#include <wchar.h>

CKWCRT_FileAccess_Posix::~CKWCRT_FileAccess_Posix()
{
    Close();
}

bool KW_Path_HoldsZero(const CKW_ByteStringC& path)
{
    return path.GetLength() > 0 && memchr(path.GetPtr(), 0, static_cast<size_t>(path.GetLength())) != nullptr;
}

bool KW_Path_HoldsZero(const CKW_WideStringC& path)
{
    return path.GetLength() > 0 && wmemchr(path.GetPtr(), 0, static_cast<size_t>(path.GetLength())) != nullptr;
}

bool CKWCRT_FileAccess_Posix::Open(const CKW_ByteStringC& path, uint32_t mode)
{
    if (m_hFile != -1 || KW_Path_HoldsZero(path))
        return false;
    int flags = 0;
    int permissions = 0;
    KWCRT_Posix_GetFileMode(mode, &flags, &permissions);
    // The view need not be terminated.
    CKW_ByteString terminated(path);
    int fd;
    do {
        fd = ::open(terminated.c_str(), flags, permissions);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    m_hFile = fd;
    return true;
}

bool CKWCRT_FileAccess_Posix::Open(const CKW_WideStringC& path, uint32_t mode)
{
    if (KW_Path_HoldsZero(path))
        return false;
    CKW_ByteString utf8 = CKW_WideString(path).UTF8Encode();
    return Open(CKW_ByteStringC(utf8), mode);
}

void CKWCRT_FileAccess_Posix::Close()
{
    if (m_hFile == -1)
        return;
    ::close(m_hFile);
    m_hFile = -1;
}

void CKWCRT_FileAccess_Posix::Release(_IKW_Allocator* allocator)
{
    if (allocator) {
        this->~CKWCRT_FileAccess_Posix();
        allocator->Free(allocator, this);
    } else {
        delete this;
    }
}

int64_t CKWCRT_FileAccess_Posix::GetSize() const
{
    if (m_hFile == -1)
        return 0;
    struct stat st;
    if (fstat(m_hFile, &st) != 0)
        return 0;
    return st.st_size;
}

int64_t CKWCRT_FileAccess_Posix::GetPosition() const
{
    if (m_hFile == -1)
        return -1;
    return lseek(m_hFile, 0, SEEK_CUR);
}

int64_t CKWCRT_FileAccess_Posix::SetPosition(int64_t position)
{
    if (m_hFile == -1 || position < 0)
        return -1;
    return lseek(m_hFile, position, SEEK_SET);
}

int64_t CKWCRT_FileAccess_Posix::Read(void* buffer, size_t size)
{
    if (m_hFile == -1)
        return 0;
    ssize_t n;
    do {
        n = ::read(m_hFile, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

int64_t CKWCRT_FileAccess_Posix::Write(const void* buffer, size_t size)
{
    if (m_hFile == -1)
        return 0;
    ssize_t n;
    do {
        n = ::write(m_hFile, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

// The transfers themselves go through pread/pwrite: the offset travels with
// the call, so threads sharing the handle cannot move each other's reads and
// writes. The position is set after the bytes afterwards, as a sequential
// caller expects; with threads sharing the handle that position is simply the
// last one set.
int64_t CKWCRT_FileAccess_Posix::ReadPos(void* buffer, size_t size, int64_t position)
{
    if (m_hFile == -1 || position < 0 || GetSize() <= position)
        return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pread(m_hFile, out + done, size - done, static_cast<off_t>(position + static_cast<int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (!done)
                return -1;
            break;
        }
        if (n == 0)
            break;
        done += static_cast<size_t>(n);
    }
    SetPosition(position + static_cast<int64_t>(done));
    return static_cast<int64_t>(done);
}

int64_t CKWCRT_FileAccess_Posix::WritePos(const void* buffer, size_t size, int64_t position)
{
    if (m_hFile == -1 || position < 0)
        return 0;
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::pwrite(m_hFile, in + done, size - done, static_cast<off_t>(position + static_cast<int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (!done)
                return -1;
            break;
        }
        done += static_cast<size_t>(n);
    }
    SetPosition(position + static_cast<int64_t>(done));
    return static_cast<int64_t>(done);
}

bool CKWCRT_FileAccess_Posix::Flush()
{
    return m_hFile != -1 && fsync(m_hFile) == 0;
}

bool CKWCRT_FileAccess_Posix::Truncate(int64_t size)
{
    return m_hFile != -1 && ftruncate(m_hFile, size) == 0;
}

// ---------------------------------------------------------------------------

IKWCRT_FileAccess* KWCRT_FileAccess_Create(_IKW_Allocator* allocator)
{
    if (!allocator)
        return new CKWCRT_FileAccess_Posix;
    void* p = allocator->Alloc(allocator, sizeof(CKWCRT_FileAccess_Posix));
    return p ? ::new (p) CKWCRT_FileAccess_Posix : nullptr;
}

int KWCRT_Posix_GetFileMode(uint32_t mode, int* flags, int* permissions)
{
    int f;
    int perm;
    if (mode & KW_FILEMODE_ReadOnly) {
        f = O_RDONLY;
        perm = 0;
    } else {
        f = O_RDWR | O_CREAT;
        if (mode & KW_FILEMODE_Truncate)
            f |= O_TRUNC;
        perm = 0644;
    }
    if (flags)
        *flags = f;
    if (permissions)
        *permissions = perm;
    return f;
}

namespace {
template <typename Path>
_KW_HFILE OpenHandle(const Path& path, uint32_t mode, _IKW_Allocator* allocator)
{
    IKWCRT_FileAccess* access = KWCRT_FileAccess_Create(allocator);
    if (!access)
        return nullptr;
    if (!access->Open(path, mode)) {
        access->Release(allocator);
        return nullptr;
    }
    return access;
}
} // namespace

_KW_HFILE KW_File_Open(const CKW_ByteStringC& path, uint32_t mode, _IKW_Allocator* allocator)
{
    return OpenHandle(path, mode, allocator);
}

_KW_HFILE KW_File_Open(const CKW_WideStringC& path, uint32_t mode, _IKW_Allocator* allocator)
{
    return OpenHandle(path, mode, allocator);
}

void KW_File_Close(_KW_HFILE file, _IKW_Allocator* allocator)
{
    if (!file)
        return;
    file->Close();
    file->Release(allocator);
}

int64_t KW_File_GetSize(_KW_HFILE file) { return file->GetSize(); }
int64_t KW_File_GetPosition(_KW_HFILE file) { return file->GetPosition(); }
int64_t KW_File_SetPosition(_KW_HFILE file, int64_t position) { return file->SetPosition(position); }
int64_t KW_File_Read(_KW_HFILE file, void* buffer, size_t size) { return file->Read(buffer, size); }
int64_t KW_File_ReadPos(_KW_HFILE file, void* buffer, size_t size, int64_t position)
{
    return file->ReadPos(buffer, size, position);
}
int64_t KW_File_Write(_KW_HFILE file, const void* buffer, size_t size) { return file->Write(buffer, size); }
int64_t KW_File_WritePos(_KW_HFILE file, const void* buffer, size_t size, int64_t position)
{
    return file->WritePos(buffer, size, position);
}
bool KW_File_Flush(_KW_HFILE file) { return file->Flush(); }
bool KW_File_Truncate(_KW_HFILE file, int64_t size) { return file->Truncate(size); }
