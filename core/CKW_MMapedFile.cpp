#include "CKW_MMapedFile.h"

#include "KW_FileAccess.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

int64_t KW_GetDefaultMMapSize()
{
    if (KW_DEFAULT_MMAP_SIZE == 0) {
        long page = sysconf(_SC_PAGESIZE);
        KW_DEFAULT_MMAP_SIZE = page > 0 ? page : 4096;
    }
    return KW_DEFAULT_MMAP_SIZE;
}

int64_t KW_DEFAULT_MMAP_SIZE = KW_GetDefaultMMapSize();

namespace {
const int64_t kGrowUnit = 65536;

int64_t RoundUp(int64_t value, int64_t unit)
{
    return (value + unit - 1) / unit * unit;
}

// A file grown past the process's file-size limit raises SIGXFSZ, which ends
// the process unless it is handled: such a growth is refused beforehand and
// fails like any other.
bool WithinSizeLimit(int64_t size)
{
    struct rlimit limit;
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return true;
    return static_cast<uint64_t>(size) <= static_cast<uint64_t>(limit.rlim_cur);
}

// The file is extended by its length alone: the system reads the new bytes
// as zeros (the fill value, which nothing changes) and stores no blocks for
// them until they are written.
bool Extend(int fd, int64_t size)
{
    if (!WithinSizeLimit(size))
        return false;
    int r;
    do {
        r = ftruncate(fd, size);
    } while (r != 0 && errno == EINTR);
    return r == 0;
}
} // namespace

CKW_MMapedFile* CKW_MMapedFile::Create(const CKW_WideStringC& name, int64_t offset, size_t size)
{
    return new CKW_MMapedFile(name, offset, size);
}

CKW_MMapedFile::CKW_MMapedFile(const CKW_WideStringC& name, int64_t offset, size_t size)
    : m_Name(name), m_pMemory(nullptr), m_nFileSize(0), m_hFile(-1), m_nWindowOffset(0), m_nPosition(0),
      m_nFillValue(0), m_nWindowLength(0)
{
    if (KW_Path_HoldsZero(name))
        return;
    CKW_ByteString path = m_Name.UTF8Encode();
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0700);
    } while (fd < 0 && errno == EINTR);
    if (fd < 1) {
        if (fd == 0)
            ::close(fd);
        return;
    }
    m_hFile = fd;
    struct stat st;
    if (fstat(fd, &st) == 0)
        m_nFileSize = st.st_size;
    int64_t page = KW_GetDefaultMMapSize();
    if (m_nFileSize < page || m_nFileSize % page != 0) {
        if (Extend(fd, (m_nFileSize / page + 1) * page) && fstat(fd, &st) == 0)
            m_nFileSize = st.st_size;
    }
    if (offset < 0 || size == 0 || offset >= m_nFileSize)
        return;
    uint64_t length = size;
    if (length > static_cast<uint64_t>(m_nFileSize - offset))
        length = static_cast<uint64_t>(m_nFileSize - offset);
    MapWindow(offset, length);
}

CKW_MMapedFile::~CKW_MMapedFile()
{
    Unmap();
    if (m_hFile >= 0)
        ::close(m_hFile);
}

bool CKW_MMapedFile::MapWindow(int64_t offset, uint64_t length)
{
    void* p = mmap(nullptr, static_cast<size_t>(length), PROT_READ | PROT_WRITE, MAP_SHARED, m_hFile, offset);
    if (p == MAP_FAILED) {
        m_pMemory = nullptr;
        m_nWindowOffset = 0;
        m_nWindowLength = 0;
        return false;
    }
    m_pMemory = static_cast<uint8_t*>(p);
    m_nWindowOffset = offset;
    m_nWindowLength = length;
    return true;
}

void CKW_MMapedFile::Unmap()
{
    if (m_pMemory)
        munmap(m_pMemory, static_cast<size_t>(m_nWindowLength));
    m_pMemory = nullptr;
}

bool CKW_MMapedFile::ReMap(int64_t offset, size_t size)
{
    // The end, rounded up to the growth unit, must stay a valid file size.
    if (offset < 0 || size == 0 || offset > INT64_MAX - kGrowUnit
        || size > static_cast<uint64_t>(INT64_MAX - kGrowUnit - offset))
        return false;
    int64_t end = offset + static_cast<int64_t>(size);
    if (m_pMemory && offset >= m_nWindowOffset && end <= m_nWindowOffset + static_cast<int64_t>(m_nWindowLength))
        return true;
    Unmap();
    m_nWindowOffset = 0;
    m_nWindowLength = 0;
    if (m_hFile < 0)
        return false;
    if (end > m_nFileSize) {
        int64_t newSize = RoundUp(end, kGrowUnit);
        // Under a file-size limit that is no whole number of units, the last
        // bytes below it are still reachable: the file ends where the access
        // does.
        if (!WithinSizeLimit(newSize))
            newSize = end;
        if (newSize > m_nFileSize) {
            if (!Extend(m_hFile, newSize))
                return false;
            m_nFileSize = newSize;
        }
    }
    int64_t windowOffset = offset / kGrowUnit * kGrowUnit;
    uint64_t length = static_cast<uint64_t>(RoundUp(static_cast<int64_t>(size), kGrowUnit));
    if (length > static_cast<uint64_t>(m_nFileSize - windowOffset))
        length = static_cast<uint64_t>(m_nFileSize - windowOffset);
    return MapWindow(windowOffset, length);
}

// Whether [offset, end) lies within the file. The file may have been grown
// by someone else since it was last measured.
bool CKW_MMapedFile::Covers(int64_t end)
{
    if (end <= m_nFileSize)
        return true;
    struct stat st;
    if (m_hFile >= 0 && fstat(m_hFile, &st) == 0 && st.st_size > m_nFileSize)
        m_nFileSize = st.st_size;
    return end <= m_nFileSize;
}

bool CKW_MMapedFile::Access(uint8_t* buffer, int64_t offset, size_t size, bool write)
{
    if (!buffer || offset < 0 || size == 0 || size > static_cast<uint64_t>(INT64_MAX - offset))
        return false;
    // Only a write grows the file: a read past its end has nothing to read.
    if (!write && !Covers(offset + static_cast<int64_t>(size)))
        return false;
    while (size > 0) {
        int64_t windowEnd = m_nWindowOffset + static_cast<int64_t>(m_nWindowLength);
        if (!m_pMemory || offset < m_nWindowOffset || offset >= windowEnd) {
            if (!ReMap(offset, size))
                return false;
            windowEnd = m_nWindowOffset + static_cast<int64_t>(m_nWindowLength);
            if (!m_pMemory || offset < m_nWindowOffset || offset >= windowEnd)
                return false;
        }
        size_t n = size;
        if (static_cast<uint64_t>(windowEnd - offset) < n)
            n = static_cast<size_t>(windowEnd - offset);
        uint8_t* at = m_pMemory + (offset - m_nWindowOffset);
        if (write)
            memcpy(at, buffer, n);
        else
            memcpy(buffer, at, n);
        buffer += n;
        offset += static_cast<int64_t>(n);
        size -= n;
    }
    m_nPosition = offset;
    return true;
}

bool CKW_MMapedFile::ReadBlock(void* buffer, int64_t offset, size_t size)
{
    return Access(static_cast<uint8_t*>(buffer), offset, size, false);
}

bool CKW_MMapedFile::WriteBlock(const void* buffer, int64_t offset, size_t size)
{
    // Access only reads from the buffer when writing.
    return Access(static_cast<uint8_t*>(const_cast<void*>(buffer)), offset, size, true);
}

size_t CKW_MMapedFile::ReadBlock(void* buffer, size_t size)
{
    return ReadBlock(buffer, m_nPosition, size) ? size : 0;
}

bool CKW_MMapedFile::WriteBlock(const void* buffer, size_t size)
{
    return WriteBlock(buffer, m_nPosition, size);
}

bool CKW_MMapedFile::Flush()
{
    if (m_hFile < 0)
        return false;
    if (m_pMemory && msync(m_pMemory, static_cast<size_t>(m_nWindowLength), MS_SYNC) != 0)
        return false;
    return fsync(m_hFile) == 0;
}

void CKW_MMapedFile::Release()
{
    delete this;
}

IKW_FileStream* CKW_MMapedFile::Retain()
{
    return nullptr;
}

bool CKW_MMapedFile::IsEOF()
{
    return false;
}

int64_t CKW_MMapedFile::GetPosition()
{
    return m_nPosition;
}

int64_t CKW_MMapedFile::GetSize()
{
    return m_nFileSize;
}
