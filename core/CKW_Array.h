// Untyped containers measured in units of a fixed byte size: a contiguous
// array, a segmented array whose units never move, and plex block chains.
// Each takes its memory from an optional allocator (null: the default
// memory manager).
#ifndef CKW_ARRAY_H
#define CKW_ARRAY_H

#include <cstddef>
#include <cstdint>

struct _IKW_Allocator;

// One contiguous run of units that grows by reallocation.
class CKW_BasicArray {
public:
    // Largest byte size the array ever allocates.
    static const int kMaxBytes = 0x10000000;

    CKW_BasicArray(int unitSize, _IKW_Allocator* allocator);
    CKW_BasicArray(const CKW_BasicArray& src, _IKW_Allocator* allocator);
    CKW_BasicArray(const CKW_BasicArray&) = delete;
    ~CKW_BasicArray();

    // Resizes to newSize units; growBy >= 0 replaces the growth step (0 =
    // automatic, half the size), -1 keeps it. New units are zero. A size
    // that is negative or beyond the byte limit, or a failed allocation,
    // returns false and leaves the array as it was.
    bool SetSize(int newSize, int growBy);
    bool Copy(const CKW_BasicArray& src);
    CKW_BasicArray& operator=(const CKW_BasicArray& src);
    bool Append(const CKW_BasicArray& src);
    // Opens a gap of count zeroed units at index; returns the address of unit
    // index, null on bad arguments or a failed growth (array unchanged).
    void* InsertSpaceAt(int index, int count);
    bool RemoveAt(int index, int count);
    bool InsertAt(int startIndex, const CKW_BasicArray* src);
    void* GetDataPtr(int index) const;

    int GetSize() const { return m_nSize; }
    int GetUnitSize() const { return m_nUnitSize; }
    int GetMaxSize() const { return m_nMaxSize; }
    _IKW_Allocator* GetAllocator() const { return m_pAllocator; }

private:
    void FreeData();

    _IKW_Allocator* m_pAllocator;
    uint8_t* m_pData;
    int m_nSize;
    int m_nMaxSize;
    int m_nGrowBy;
    int m_nUnitSize;
};

// Units kept in fixed-size segments reached through a tree of small index
// nodes: a unit never moves once added, and growth never copies.
class CKW_BaseSegmentedArray {
public:
    typedef bool (*IterateCallback)(void* param, void* unit);

    CKW_BaseSegmentedArray(int unitSize, int segmentUnits, int indexSize, _IKW_Allocator* allocator);
    CKW_BaseSegmentedArray(const CKW_BaseSegmentedArray&) = delete;
    CKW_BaseSegmentedArray& operator=(const CKW_BaseSegmentedArray&) = delete;
    ~CKW_BaseSegmentedArray();

    // Replaces the three sizes; meant for an empty array.
    void SetUnitSize(int unitSize, int segmentUnits, int indexSize);
    // Appends one unit (bytes not cleared) and returns its address; null on
    // failure, with the array left as it was.
    void* Add();
    void* GetAt(int index) const;
    // The last-level index node that holds the given segment.
    void* GetIndex(int segmentIndex) const;
    // Visits units in order until the callback returns false; returns that
    // unit, or null when every unit was visited.
    void* Iterate(IterateCallback callback, void* param) const;
    void* IterateIndex(int level, int& start, void** node, IterateCallback callback, void* param) const;
    void* IterateSegment(const uint8_t* segment, int count, IterateCallback callback, void* param) const;
    void Delete(int index, int count);
    void RemoveAll();

    int GetSize() const { return m_DataSize; }
    int GetUnitSize() const { return m_UnitSize; }
    int GetSegmentSize() const { return m_SegmentSize; }
    int GetIndexSize() const { return m_IndexSize; }
    int GetIndexDepth() const { return m_IndexDepth; }
    _IKW_Allocator* GetAllocator() const { return m_pAllocator; }

private:
    void* AllocBlock(size_t bytes) const;
    void FreeBlock(void* block) const;
    void** NewIndexNode() const;
    void FreeTree(int level, void** node) const;
    // index size ^ exponent, saturated far above any reachable unit count.
    int64_t IndexPower(int exponent) const;
    void* Segment(int segmentIndex) const;

    _IKW_Allocator* m_pAllocator;
    int m_UnitSize;
    int16_t m_SegmentSize;
    uint8_t m_IndexSize;
    uint8_t m_IndexDepth;
    int m_DataSize;
    void* m_pIndex;
};

// A raw block of a chain: the next-block pointer, then max x element size
// bytes of data.
struct CKW_Plex {
    CKW_Plex* pNext;

    // Allocates one block and links it in front of head; null on failure (or
    // a size that does not fit 32 bits), head unchanged.
    static CKW_Plex* Create(_IKW_Allocator* allocator, CKW_Plex*& head, unsigned max, unsigned elementSize);
    // Returns this block and every block after it.
    void FreeDataChain(_IKW_Allocator* allocator);
    void* data() { return this + 1; }
};

#endif
