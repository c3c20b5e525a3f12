#include "CKW_MemoryStream.h"

#include <new>
#include <string.h>

namespace {
const size_t kMinimumHint = 4096;
}

CKW_MemoryStream::CKW_MemoryStream(bool contiguous, _IKW_Allocator* allocator)
    : m_Blocks(sizeof(uint8_t*), allocator), m_nRefCount(1), m_nTotalSize(0), m_nCurSize(0), m_nCurPos(0),
      m_nGrowSize(kDefaultGrowth), m_dwFlags((contiguous ? kContiguous : 0u) | kOwnsBlocks), m_bUseRange(false),
      m_nRangeOffset(0), m_nRangeSize(0)
{
    KWCRT_Mutex_Initialize(&m_Mutex);
}

CKW_MemoryStream::CKW_MemoryStream(uint8_t* buffer, size_t size, bool takeOver, _IKW_Allocator* allocator)
    : CKW_MemoryStream(true, allocator)
{
    AttachBuffer(buffer, size, takeOver);
}

CKW_MemoryStream::~CKW_MemoryStream()
{
    FreeBlocks();
    KW_Mutex_Destroy(&m_Mutex);
}

uint8_t* CKW_MemoryStream::Block(int index) const
{
    return *static_cast<uint8_t**>(m_Blocks.GetDataPtr(index));
}

void* CKW_MemoryStream::AllocBlock(size_t size)
{
    _IKW_Allocator* allocator = m_Blocks.GetAllocator();
    return allocator ? allocator->Alloc(allocator, size) : KWMEM_DefaultAlloc2(size, 1, 0);
}

void CKW_MemoryStream::FreeBlock(void* block)
{
    KWMEM_FreeWith(m_Blocks.GetAllocator(), block);
}

void CKW_MemoryStream::FreeBlocks()
{
    if (m_dwFlags & kOwnsBlocks) {
        for (int i = 0; i < m_Blocks.GetSize(); ++i)
            FreeBlock(Block(i));
    }
    m_Blocks.SetSize(0, -1);
}

void CKW_MemoryStream::Release()
{
    KW_Mutex_Lock(&m_Mutex);
    bool last = --m_nRefCount == 0;
    KW_Mutex_Unlock(&m_Mutex);
    if (!last)
        return;
    _IKW_Allocator* allocator = m_Blocks.GetAllocator();
    if (allocator) {
        this->~CKW_MemoryStream();
        allocator->Free(allocator, this);
    } else {
        delete this;
    }
}

IKW_FileStream* CKW_MemoryStream::Retain()
{
    CKW_MutexLocker lock(&m_Mutex);
    ++m_nRefCount;
    return this;
}

int64_t CKW_MemoryStream::GetSize()
{
    CKW_MutexLocker lock(&m_Mutex);
    return static_cast<int64_t>(m_bUseRange ? m_nRangeSize : m_nCurSize);
}

int64_t CKW_MemoryStream::GetPosition()
{
    CKW_MutexLocker lock(&m_Mutex);
    return static_cast<int64_t>(m_bUseRange ? m_nCurPos - m_nRangeOffset : m_nCurPos);
}

bool CKW_MemoryStream::IsEOF()
{
    CKW_MutexLocker lock(&m_Mutex);
    return GetPosition() >= GetSize();
}

int64_t CKW_MemoryStream::SetPosition(int64_t position)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (position < 0 || position > GetSize())
        return -1;
    m_nCurPos = static_cast<uint64_t>(position) + (m_bUseRange ? m_nRangeOffset : 0);
    return position;
}

bool CKW_MemoryStream::SetRange(int64_t offset, int64_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (offset < 0 || size < 0 || static_cast<uint64_t>(offset) > m_nCurSize
        || static_cast<uint64_t>(size) > m_nCurSize - static_cast<uint64_t>(offset))
        return false;
    m_nRangeOffset = static_cast<uint64_t>(offset);
    m_nRangeSize = static_cast<uint64_t>(size);
    m_bUseRange = true;
    m_nCurPos = m_nRangeOffset;
    return true;
}

void CKW_MemoryStream::ClearRange()
{
    CKW_MutexLocker lock(&m_Mutex);
    m_bUseRange = false;
}

template <typename Visit>
void CKW_MemoryStream::ForEachSpan(uint64_t offset, size_t size, Visit visit) const
{
    if (m_dwFlags & kContiguous) {
        visit(Block(0) + offset, size);
        return;
    }
    int index = static_cast<int>(offset / m_nGrowSize);
    uint64_t inBlock = offset % m_nGrowSize;
    while (size > 0) {
        size_t n = static_cast<size_t>(m_nGrowSize - inBlock);
        if (n > size)
            n = size;
        visit(Block(index) + inBlock, n);
        size -= n;
        ++index;
        inBlock = 0;
    }
}

void CKW_MemoryStream::CopyOut(uint64_t offset, uint8_t* out, size_t size) const
{
    ForEachSpan(offset, size, [&out](uint8_t* span, size_t n) {
        memcpy(out, span, n);
        out += n;
    });
}

void CKW_MemoryStream::CopyIn(uint64_t offset, const uint8_t* in, size_t size)
{
    ForEachSpan(offset, size, [&in](uint8_t* span, size_t n) {
        memcpy(span, in, n);
        in += n;
    });
}

void CKW_MemoryStream::ZeroFill(uint64_t from, uint64_t to)
{
    if (m_dwFlags & kContiguous) {
        memset(Block(0) + from, 0, static_cast<size_t>(to - from));
        return;
    }
    int index = static_cast<int>(from / m_nGrowSize);
    uint64_t inBlock = from % m_nGrowSize;
    uint64_t left = to - from;
    while (left > 0) {
        uint64_t n = m_nGrowSize - inBlock;
        if (n > left)
            n = left;
        memset(Block(index) + inBlock, 0, static_cast<size_t>(n));
        left -= n;
        ++index;
        inBlock = 0;
    }
}

bool CKW_MemoryStream::ReadBlock(void* buffer, int64_t offset, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (offset < 0 || !buffer || size == 0)
        return false;
    uint64_t at = static_cast<uint64_t>(offset);
    if (m_bUseRange) {
        if (at > UINT64_MAX - m_nRangeOffset)
            return false;
        at += m_nRangeOffset;
    }
    if (at > m_nCurSize || size > m_nCurSize - at)
        return false;
    m_nCurPos = at + size;
    CopyOut(at, static_cast<uint8_t*>(buffer), size);
    return true;
}

size_t CKW_MemoryStream::ReadBlock(void* buffer, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (m_nCurSize <= m_nCurPos || !buffer)
        return 0;
    uint64_t end = m_nCurSize;
    if (m_bUseRange && m_nRangeOffset + m_nRangeSize < end)
        end = m_nRangeOffset + m_nRangeSize;
    if (m_nCurPos >= end)
        return 0;
    if (size > end - m_nCurPos)
        size = static_cast<size_t>(end - m_nCurPos);
    CopyOut(m_nCurPos, static_cast<uint8_t*>(buffer), size);
    m_nCurPos += size;
    return size;
}

bool CKW_MemoryStream::GrowContiguous(uint64_t end)
{
    if (end <= m_nTotalSize)
        return true;
    uint64_t steps = end / m_nGrowSize + (end % m_nGrowSize ? 1 : 0);
    if (steps > UINT64_MAX / m_nGrowSize)
        return false;
    uint64_t capacity = steps * m_nGrowSize;
    if (capacity > SIZE_MAX)
        return false;
    _IKW_Allocator* allocator = m_Blocks.GetAllocator();
    if (m_Blocks.GetSize() == 0) {
        void* block = AllocBlock(static_cast<size_t>(capacity));
        if (!block)
            return false;
        if (!m_Blocks.SetSize(1, -1)) {
            FreeBlock(block);
            return false;
        }
        *static_cast<void**>(m_Blocks.GetDataPtr(0)) = block;
        m_dwFlags |= kOwnsBlocks;
    } else if (m_dwFlags & kOwnsBlocks) {
        void* block = allocator ? allocator->Realloc(allocator, Block(0), static_cast<size_t>(capacity))
                                : KWMEM_DefaultRealloc2(Block(0), static_cast<size_t>(capacity), 1, 0);
        if (!block)
            return false; // the old block (and the data) stays
        *static_cast<void**>(m_Blocks.GetDataPtr(0)) = block;
    } else {
        // The caller's buffer is not ours to move or free: copy the data out.
        void* block = AllocBlock(static_cast<size_t>(capacity));
        if (!block)
            return false;
        uint64_t keep = m_nCurSize < m_nTotalSize ? m_nCurSize : m_nTotalSize;
        if (keep)
            memcpy(block, Block(0), static_cast<size_t>(keep));
        *static_cast<void**>(m_Blocks.GetDataPtr(0)) = block;
        m_dwFlags |= kOwnsBlocks;
    }
    m_nTotalSize = capacity;
    return true;
}

bool CKW_MemoryStream::GrowSegmented(uint64_t end)
{
    if (end <= m_nTotalSize)
        return true;
    uint64_t more = (end - m_nTotalSize) / m_nGrowSize + ((end - m_nTotalSize) % m_nGrowSize ? 1 : 0);
    int count = m_Blocks.GetSize();
    if (more > static_cast<uint64_t>(CKW_BasicArray::kMaxBytes / sizeof(uint8_t*)) - count)
        return false;
    if (!m_Blocks.SetSize(count + static_cast<int>(more), -1))
        return false;
    for (uint64_t i = 0; i < more; ++i) {
        void* block = AllocBlock(static_cast<size_t>(m_nGrowSize));
        if (!block) {
            // The write fails as a whole: blocks made for it would only hold
            // memory that no data ever reaches.
            for (uint64_t j = 0; j < i; ++j)
                FreeBlock(Block(count + static_cast<int>(j)));
            m_Blocks.SetSize(count, -1);
            return false;
        }
        *static_cast<void**>(m_Blocks.GetDataPtr(count + static_cast<int>(i))) = block;
    }
    m_nTotalSize += more * m_nGrowSize;
    return true;
}

bool CKW_MemoryStream::WriteBlock(const void* buffer, int64_t offset, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!buffer || size == 0 || offset < 0)
        return false;
    uint64_t at = static_cast<uint64_t>(offset);
    if (m_bUseRange) {
        if (at > UINT64_MAX - m_nRangeOffset)
            return false;
        at += m_nRangeOffset;
    }
    if (at > kMaxSize || size > kMaxSize - at)
        return false;
    uint64_t end = at + size;
    bool grown = (m_dwFlags & kContiguous) ? GrowContiguous(end) : GrowSegmented(end);
    if (!grown)
        return false;
    if (at > m_nCurSize)
        ZeroFill(m_nCurSize, at);
    CopyIn(at, static_cast<const uint8_t*>(buffer), size);
    m_nCurPos = end;
    if (end > m_nCurSize)
        m_nCurSize = end;
    return true;
}

bool CKW_MemoryStream::WriteBlock(const void* buffer, size_t size)
{
    CKW_MutexLocker lock(&m_Mutex);
    return WriteBlock(buffer, GetSize(), size);
}

bool CKW_MemoryStream::Flush()
{
    return true;
}

bool CKW_MemoryStream::IsContiguous()
{
    CKW_MutexLocker lock(&m_Mutex);
    return (m_dwFlags & kContiguous) != 0;
}

void CKW_MemoryStream::SetSizeHints(size_t firstSize, size_t growthStep)
{
    CKW_MutexLocker lock(&m_Mutex);
    bool contiguous = (m_dwFlags & kContiguous) != 0;
    if (contiguous && m_Blocks.GetSize() == 0) {
        // Capacity stays 0: the first write sizes this block to its needs.
        void* block = AllocBlock(firstSize > kMinimumHint ? firstSize : kMinimumHint);
        if (block) {
            if (m_Blocks.SetSize(1, -1)) {
                *static_cast<void**>(m_Blocks.GetDataPtr(0)) = block;
                m_dwFlags |= kOwnsBlocks;
            } else {
                FreeBlock(block);
            }
        }
    }
    if (contiguous || m_Blocks.GetSize() == 0)
        m_nGrowSize = growthStep > kMinimumHint ? growthStep : kMinimumHint;
}

uint8_t* CKW_MemoryStream::GetBuffer()
{
    CKW_MutexLocker lock(&m_Mutex);
    return m_Blocks.GetSize() ? Block(0) : nullptr;
}

void CKW_MemoryStream::AttachBuffer(uint8_t* buffer, size_t size, bool takeOver)
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!(m_dwFlags & kContiguous))
        return;
    // Blocks the stream owns have no other owner: dropping them would leak
    // them. The buffer being attached may lie in one of them (taken with
    // GetBuffer, perhaps past a header): that block lives on under the new
    // data. Only its start can be handed back to the allocator, so a buffer
    // inside it cannot be taken over.
    if (m_dwFlags & kOwnsBlocks) {
        int holder = -1;
        for (int i = 0; i < m_Blocks.GetSize() && holder < 0; ++i) {
            const uintptr_t start = reinterpret_cast<uintptr_t>(Block(i));
            const uintptr_t at = reinterpret_cast<uintptr_t>(buffer);
            if (buffer && at >= start && at - start < (m_nTotalSize ? m_nTotalSize : 1))
                holder = i;
        }
        if (holder >= 0 && takeOver && buffer != Block(holder))
            return;
        for (int i = 0; i < m_Blocks.GetSize(); ++i) {
            if (i != holder)
                FreeBlock(Block(i));
        }
    }
    m_Blocks.SetSize(0, -1);
    m_nTotalSize = 0;
    m_nCurSize = 0;
    if (buffer && m_Blocks.SetSize(1, -1)) {
        *static_cast<void**>(m_Blocks.GetDataPtr(0)) = buffer;
        m_nTotalSize = size;
        m_nCurSize = size;
    }
    m_nCurPos = 0;
    m_dwFlags = kContiguous | (takeOver ? kOwnsBlocks : 0u);
    m_bUseRange = false;
}

void CKW_MemoryStream::DetachBuffer()
{
    CKW_MutexLocker lock(&m_Mutex);
    if (!(m_dwFlags & kContiguous))
        return;
    m_Blocks.SetSize(0, -1);
    m_nTotalSize = 0;
    m_nCurSize = 0;
    m_nCurPos = 0;
    m_dwFlags = kOwnsBlocks;
    m_bUseRange = false;
}

// ---------------------------------------------------------------------------

namespace {
template <typename... Args>
IKW_MemoryStream* MakeStream(_IKW_Allocator* allocator, Args... args)
{
    if (!allocator)
        return new CKW_MemoryStream(args..., nullptr);
    void* p = allocator->Alloc(allocator, sizeof(CKW_MemoryStream));
    return p ? ::new (p) CKW_MemoryStream(args..., allocator) : nullptr;
}
} // namespace

IKW_MemoryStream* KW_CreateMemoryStream(bool contiguous, _IKW_Allocator* allocator)
{
    return MakeStream(allocator, contiguous);
}

IKW_MemoryStream* KW_CreateMemoryStream(uint8_t* buffer, size_t size, bool takeOver, _IKW_Allocator* allocator)
{
    return MakeStream(allocator, buffer, size, takeOver);
}
