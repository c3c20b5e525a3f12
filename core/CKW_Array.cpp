#include "CKW_Array.h"

#include "KW_Memory.h"

#include <cstring>

// ---------------------------------------------------------------------------
// CKW_BasicArray

CKW_BasicArray::CKW_BasicArray(int unitSize, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0),
      m_nUnitSize(unitSize)
{
    // Compared unsigned, so a negative size is refused as well.
    if ((unsigned)unitSize > (unsigned)kMaxBytes)
        m_nUnitSize = 4;
}

CKW_BasicArray::CKW_BasicArray(const CKW_BasicArray& src, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_pData(nullptr), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0),
      m_nUnitSize(src.m_nUnitSize)
{
    if (SetSize(src.m_nSize, -1) && m_nSize > 0)
        memcpy(m_pData, src.m_pData, (size_t)m_nSize * (size_t)m_nUnitSize);
}

CKW_BasicArray::~CKW_BasicArray()
{
    FreeData();
}

void CKW_BasicArray::FreeData()
{
    KWMEM_FreeWith(m_pAllocator, m_pData);
    m_pData = nullptr;
    m_nSize = 0;
    m_nMaxSize = 0;
}

bool CKW_BasicArray::SetSize(int newSize, int growBy)
{
    // A unit size of 0 is outside the model; treat it as one byte for the
    // limit so that nothing divides by zero.
    const int64_t unit = m_nUnitSize > 0 ? m_nUnitSize : 1;
    const int64_t limit = kMaxBytes / unit;
    // An impossible request fails without touching what the array holds: an
    // element's children must survive a bad size.
    if (newSize < 0 || newSize > limit)
        return false;
    if (growBy >= 0)
        m_nGrowBy = growBy;
    if (newSize == 0) {
        FreeData();
        return true;
    }
    if (!m_pData) {
        void* p = m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, (size_t)(unit * newSize))
                               : KWMEM_DefaultAlloc2((size_t)newSize, (size_t)unit, 0);
        if (!p) {
            m_nSize = m_nMaxSize = 0;
            return false;
        }
        m_pData = (uint8_t*)p;
        memset(m_pData, 0, (size_t)(unit * newSize));
        m_nSize = m_nMaxSize = newSize;
        return true;
    }
    if (newSize <= m_nMaxSize) {
        if (newSize > m_nSize)
            memset(m_pData + unit * m_nSize, 0, (size_t)(unit * (newSize - m_nSize)));
        m_nSize = newSize;
        return true;
    }
    int64_t increment = m_nGrowBy;
    if (increment == 0) {
        increment = m_nSize / 2;
        if (increment < 1)
            increment = 1;
    }
    int64_t newMax = (int64_t)m_nMaxSize + increment;
    if (newMax < newSize)
        newMax = newSize;
    // The growth margin never carries the allocation past the limit.
    if (newMax > limit)
        newMax = limit;
    void* p = m_pAllocator ? m_pAllocator->Realloc(m_pAllocator, m_pData, (size_t)(unit * newMax))
                           : KWMEM_DefaultRealloc2(m_pData, (size_t)newMax, (size_t)unit, 0);
    if (!p)
        return false;
    m_pData = (uint8_t*)p;
    memset(m_pData + unit * m_nSize, 0, (size_t)(unit * (newMax - m_nSize)));
    m_nSize = newSize;
    m_nMaxSize = (int)newMax;
    return true;
}

bool CKW_BasicArray::Copy(const CKW_BasicArray& src)
{
    if (&src == this)
        return true;
    if (!SetSize(src.m_nSize, -1))
        return false;
    if (m_nSize > 0) {
        // Copy no more than either side holds when the unit sizes differ.
        int64_t bytes = (int64_t)src.m_nSize * m_nUnitSize;
        int64_t srcBytes = (int64_t)src.m_nSize * src.m_nUnitSize;
        memcpy(m_pData, src.m_pData, (size_t)(bytes < srcBytes ? bytes : srcBytes));
    }
    return true;
}

CKW_BasicArray& CKW_BasicArray::operator=(const CKW_BasicArray& src)
{
    Copy(src);
    return *this;
}

bool CKW_BasicArray::Append(const CKW_BasicArray& src)
{
    int oldSize = m_nSize;
    int count = src.m_nSize;
    if ((int64_t)oldSize + count > 0x7fffffff)
        return false;
    // src may be this array: remember its data after the resize.
    if (!SetSize(oldSize + count, -1))
        return false;
    if (count > 0) {
        const uint8_t* from = (&src == this) ? m_pData : src.m_pData;
        memmove(m_pData + (size_t)oldSize * m_nUnitSize, from, (size_t)count * m_nUnitSize);
    }
    return true;
}

void* CKW_BasicArray::InsertSpaceAt(int index, int count)
{
    if (index < 0 || count < 1)
        return nullptr;
    const size_t unit = (size_t)m_nUnitSize;
    if (index < m_nSize) {
        int oldSize = m_nSize;
        if ((int64_t)oldSize + count > 0x7fffffff || !SetSize(oldSize + count, -1))
            return nullptr;
        memmove(m_pData + (index + (size_t)count) * unit, m_pData + index * unit,
                (size_t)(oldSize - index) * unit);
        memset(m_pData + index * unit, 0, (size_t)count * unit);
    } else {
        if ((int64_t)index + count > 0x7fffffff || !SetSize(index + count, -1))
            return nullptr;
    }
    return m_pData + index * unit;
}

bool CKW_BasicArray::RemoveAt(int index, int count)
{
    if (index < 0 || count < 1 || (int64_t)index + count > m_nSize)
        return false;
    const size_t unit = (size_t)m_nUnitSize;
    int tail = m_nSize - index - count;
    if (tail > 0)
        memmove(m_pData + index * unit, m_pData + (index + (size_t)count) * unit, (size_t)tail * unit);
    m_nSize -= count;
    return true;
}

bool CKW_BasicArray::InsertAt(int startIndex, const CKW_BasicArray* src)
{
    if (!src)
        return false;
    if (src->m_nSize == 0)
        return true;
    int count = src->m_nSize;
    if (src == this) {
        // Inserting an array into itself: take a copy first.
        CKW_BasicArray copy(*this, m_pAllocator);
        if (copy.m_nSize != count)
            return false;
        return InsertAt(startIndex, &copy);
    }
    void* gap = InsertSpaceAt(startIndex, count);
    if (!gap)
        return false;
    int64_t bytes = (int64_t)count * m_nUnitSize;
    int64_t srcBytes = (int64_t)count * src->m_nUnitSize;
    memcpy(gap, src->m_pData, (size_t)(bytes < srcBytes ? bytes : srcBytes));
    return true;
}

void* CKW_BasicArray::GetDataPtr(int index) const
{
    if (index < 0 || index >= m_nSize || !m_pData)
        return nullptr;
    return m_pData + (size_t)index * (size_t)m_nUnitSize;
}

// ---------------------------------------------------------------------------
// CKW_BaseSegmentedArray

CKW_BaseSegmentedArray::CKW_BaseSegmentedArray(int unitSize, int segmentUnits, int indexSize,
                                               _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_UnitSize(unitSize), m_SegmentSize((int16_t)segmentUnits),
      m_IndexSize((uint8_t)indexSize), m_IndexDepth(0), m_DataSize(0), m_pIndex(nullptr)
{
}

CKW_BaseSegmentedArray::~CKW_BaseSegmentedArray()
{
    RemoveAll();
}

void CKW_BaseSegmentedArray::SetUnitSize(int unitSize, int segmentUnits, int indexSize)
{
    m_UnitSize = unitSize;
    m_SegmentSize = (int16_t)segmentUnits;
    m_IndexSize = (uint8_t)indexSize;
}

void* CKW_BaseSegmentedArray::AllocBlock(size_t bytes) const
{
    if (bytes == 0)
        return nullptr;
    return m_pAllocator ? m_pAllocator->Alloc(m_pAllocator, bytes) : KWMEM_DefaultAlloc2(bytes, 1, 0);
}

void CKW_BaseSegmentedArray::FreeBlock(void* block) const
{
    KWMEM_FreeWith(m_pAllocator, block);
}

void** CKW_BaseSegmentedArray::NewIndexNode() const
{
    void** node = (void**)AllocBlock(sizeof(void*) * (size_t)m_IndexSize);
    if (node)
        memset(node, 0, sizeof(void*) * (size_t)m_IndexSize);
    return node;
}

int64_t CKW_BaseSegmentedArray::IndexPower(int exponent) const
{
    int64_t result = 1;
    for (int i = 0; i < exponent; i++) {
        result *= m_IndexSize;
        if (result > ((int64_t)1 << 40))
            return (int64_t)1 << 40;
    }
    return result;
}

void* CKW_BaseSegmentedArray::Segment(int segmentIndex) const
{
    if (m_IndexDepth == 0)
        return segmentIndex == 0 ? m_pIndex : nullptr;
    void** node = (void**)GetIndex(segmentIndex);
    if (!node)
        return nullptr;
    return node[segmentIndex % m_IndexSize];
}

void* CKW_BaseSegmentedArray::GetIndex(int segmentIndex) const
{
    if (m_IndexDepth < 2)
        return m_pIndex;
    void** node = (void**)m_pIndex;
    int64_t rest = segmentIndex;
    for (int level = m_IndexDepth; level >= 2 && node; level--) {
        int64_t below = IndexPower(level - 1);
        int64_t slot = rest / below;
        rest %= below;
        if (slot >= m_IndexSize)
            return nullptr;
        node = (void**)node[slot];
    }
    return node;
}

void* CKW_BaseSegmentedArray::Add()
{
    if (m_SegmentSize <= 0 || m_IndexSize == 0 || m_UnitSize <= 0 || m_DataSize == 0x7fffffff)
        return nullptr;
    const int s = m_DataSize / m_SegmentSize;
    const int r = m_DataSize % m_SegmentSize;
    if (r != 0) {
        uint8_t* segment = (uint8_t*)Segment(s);
        if (!segment)
            return nullptr;
        m_DataSize++;
        return segment + (size_t)r * (size_t)m_UnitSize;
    }
    uint8_t* segment = (uint8_t*)AllocBlock((size_t)m_UnitSize * (size_t)m_SegmentSize);
    if (!segment)
        return nullptr;
    if (!m_pIndex) {
        m_pIndex = segment;
        m_IndexDepth = 0;
    } else if (m_IndexDepth == 0) {
        // A one-slot index cannot hold two segments.
        void** node = m_IndexSize < 2 ? nullptr : NewIndexNode();
        if (!node) {
            FreeBlock(segment);
            return nullptr;
        }
        node[0] = m_pIndex;
        node[1] = segment;
        m_pIndex = node;
        m_IndexDepth = 1;
    } else if (s % m_IndexSize != 0) {
        void** node = (void**)GetIndex(s - 1);
        if (!node) {
            FreeBlock(segment);
            return nullptr;
        }
        node[s % m_IndexSize] = segment;
    } else {
        bool newRoot = false;
        if ((int64_t)m_DataSize >= (int64_t)m_SegmentSize * IndexPower(m_IndexDepth)) {
            if (m_IndexDepth == 0xFF || m_IndexSize < 2) {
                FreeBlock(segment);
                return nullptr;
            }
            void** node = NewIndexNode();
            if (!node) {
                FreeBlock(segment);
                return nullptr;
            }
            node[0] = m_pIndex;
            m_pIndex = node;
            m_IndexDepth++;
            newRoot = true;
        }
        // Walk down to segment s, making the missing index nodes. When one
        // cannot be made, the nodes made here are unlinked again so that the
        // array is left exactly as it was.
        void** made[256];
        void** madeSlot[256];
        int madeCount = 0;
        void** node = (void**)m_pIndex;
        int64_t rest = s;
        bool failed = false;
        for (int level = m_IndexDepth; level >= 2; level--) {
            int64_t below = IndexPower(level - 1);
            int64_t slot = rest / below;
            rest %= below;
            void** child = (void**)node[slot];
            if (!child) {
                child = NewIndexNode();
                if (!child) {
                    failed = true;
                    break;
                }
                node[slot] = child;
                made[madeCount] = child;
                madeSlot[madeCount] = &node[slot];
                madeCount++;
            }
            node = child;
        }
        if (failed) {
            for (int i = madeCount - 1; i >= 0; i--) {
                *madeSlot[i] = nullptr;
                FreeBlock(made[i]);
            }
            if (newRoot) {
                void** root = (void**)m_pIndex;
                m_pIndex = root[0];
                FreeBlock(root);
                m_IndexDepth--;
            }
            FreeBlock(segment);
            return nullptr;
        }
        node[rest % m_IndexSize] = segment;
    }
    m_DataSize++;
    return segment;
}

void* CKW_BaseSegmentedArray::GetAt(int index) const
{
    if (index < 0 || index >= m_DataSize || m_SegmentSize <= 0)
        return nullptr;
    uint8_t* segment = (uint8_t*)Segment(index / m_SegmentSize);
    if (!segment)
        return nullptr;
    return segment + (size_t)(index % m_SegmentSize) * (size_t)m_UnitSize;
}

void* CKW_BaseSegmentedArray::Iterate(IterateCallback callback, void* param) const
{
    if (!m_pIndex || m_DataSize == 0 || !callback)
        return nullptr;
    int start = 0;
    return IterateIndex(m_IndexDepth, start, (void**)m_pIndex, callback, param);
}

void* CKW_BaseSegmentedArray::IterateIndex(int level, int& start, void** node, IterateCallback callback,
                                           void* param) const
{
    if (!node)
        return nullptr;
    if (level == 0) {
        int count = m_DataSize - start;
        if (count > m_SegmentSize)
            count = m_SegmentSize;
        if (count < 1)
            return nullptr;
        start += count;
        return IterateSegment((const uint8_t*)node, count, callback, param);
    }
    for (int i = 0; i < m_IndexSize; i++) {
        if (!node[i])
            continue;
        void* hit = IterateIndex(level - 1, start, (void**)node[i], callback, param);
        if (hit)
            return hit;
    }
    return nullptr;
}

void* CKW_BaseSegmentedArray::IterateSegment(const uint8_t* segment, int count, IterateCallback callback,
                                             void* param) const
{
    if (count < 1)
        return nullptr;
    for (int i = 0; i < count; i++) {
        void* unit = (void*)(segment + (size_t)i * (size_t)m_UnitSize);
        if (!callback(param, unit))
            return unit;
    }
    return nullptr;
}

void CKW_BaseSegmentedArray::Delete(int index, int count)
{
    if (index < 0 || count < 1 || (int64_t)index + count > m_DataSize || m_SegmentSize <= 0)
        return;
    const int oldSize = m_DataSize;
    const int newSize = oldSize - count;
    for (int i = index; i < newSize; i++)
        memcpy(GetAt(i), GetAt(i + count), (size_t)m_UnitSize);
    const int before = (oldSize + m_SegmentSize - 1) / m_SegmentSize;
    const int after = (newSize + m_SegmentSize - 1) / m_SegmentSize;
    if (m_IndexDepth == 0) {
        if (after == 0 && m_pIndex) {
            FreeBlock(m_pIndex);
            m_pIndex = nullptr;
        }
    } else {
        for (int s = after; s < before; s++) {
            void** node = (void**)GetIndex(s);
            if (!node)
                continue;
            FreeBlock(node[s % m_IndexSize]);
            node[s % m_IndexSize] = nullptr;
        }
    }
    m_DataSize = newSize;
}

void CKW_BaseSegmentedArray::FreeTree(int level, void** node) const
{
    if (!node)
        return;
    if (level > 0) {
        for (int i = 0; i < m_IndexSize; i++)
            FreeTree(level - 1, (void**)node[i]);
    }
    FreeBlock(node);
}

void CKW_BaseSegmentedArray::RemoveAll()
{
    FreeTree(m_IndexDepth, (void**)m_pIndex);
    m_pIndex = nullptr;
    m_IndexDepth = 0;
    m_DataSize = 0;
}

// ---------------------------------------------------------------------------
// CKW_Plex

CKW_Plex* CKW_Plex::Create(_IKW_Allocator* allocator, CKW_Plex*& head, unsigned max, unsigned elementSize)
{
    // The data size must fit 32 bits; a wrapped product would give a block
    // far smaller than its users write into.
    uint64_t bytes = (uint64_t)max * elementSize;
    if (bytes > 0xFFFFFFFFull)
        return nullptr;
    size_t total = (size_t)bytes + sizeof(CKW_Plex);
    void* p = allocator ? allocator->Alloc(allocator, total) : KWMEM_DefaultAlloc2(total, 1, 0);
    if (!p)
        return nullptr;
    CKW_Plex* block = (CKW_Plex*)p;
    block->pNext = head;
    head = block;
    return block;
}

void CKW_Plex::FreeDataChain(_IKW_Allocator* allocator)
{
    CKW_Plex* block = this;
    while (block) {
        CKW_Plex* next = block->pNext;
        KWMEM_FreeWith(allocator, block);
        block = next;
    }
}
