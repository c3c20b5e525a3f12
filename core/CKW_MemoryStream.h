// Growable in-memory file stream: one contiguous block, or a list of equal
// blocks (segmented) that never moves data when it grows.
//
// A stream over a caller's buffer that it does not own never reallocates or
// frees it: growth copies the data into a new block, which the stream owns.
// A failed growth keeps the data, keeps no memory it took for that write and
// returns false. Bytes between the old end of the data and a write beyond it
// read as zero. A stream's data ends at or before kMaxSize (4 GiB): a write
// that would end beyond it fails and changes nothing, so a sparse write far
// out cannot reserve memory for everything before it.
#ifndef CKW_MEMORYSTREAM_H
#define CKW_MEMORYSTREAM_H

#include "CKW_Array.h"
#include "IKW_Stream.h"
#include "KW_Object.h"
#include "KW_Platform.h"

class IKW_MemoryStream : public IKW_FileStream {
public:
    virtual bool IsContiguous() = 0;
    // First block size and growth step (in segmented mode also the block size).
    virtual void SetSizeHints(size_t firstSize, size_t growthStep) = 0;
    // The first data block, or null.
    virtual uint8_t* GetBuffer() = 0;
    // Contiguous streams only: the buffer becomes the stream's data. Blocks
    // the stream owned are freed, except the one the buffer lies in, which
    // goes with the buffer (the stream keeps it when taking it over, else the
    // caller); a buffer inside such a block past its start cannot be taken
    // over and is refused, leaving the stream as it was. To keep the blocks,
    // take them with GetBuffer and DetachBuffer first.
    virtual void AttachBuffer(uint8_t* buffer, size_t size, bool takeOver) = 0;
    // Contiguous streams only: forgets the data without freeing it (the caller
    // took it with GetBuffer); the stream is left empty.
    virtual void DetachBuffer() = 0;
};

class CKW_MemoryStream : public IKW_MemoryStream, public CKW_Object {
public:
    static const uint32_t kContiguous = 1;
    static const uint32_t kOwnsBlocks = 2;
    static const size_t kDefaultGrowth = 65536;
    // The largest end of data (window offset included) a write may reach.
    static const uint64_t kMaxSize = uint64_t(1) << 32;

    CKW_MemoryStream(bool contiguous, _IKW_Allocator* allocator);
    // Over a caller's buffer (contiguous). takeOver: the buffer came from the
    // allocator (the default manager when none) and the stream may grow and
    // free it; otherwise it stays the caller's.
    CKW_MemoryStream(uint8_t* buffer, size_t size, bool takeOver, _IKW_Allocator* allocator);
    ~CKW_MemoryStream() override;

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

    bool IsContiguous() override;
    void SetSizeHints(size_t firstSize, size_t growthStep) override;
    uint8_t* GetBuffer() override;
    void AttachBuffer(uint8_t* buffer, size_t size, bool takeOver) override;
    void DetachBuffer() override;

private:
    uint8_t* Block(int index) const;
    void* AllocBlock(size_t size);
    void FreeBlock(void* block);
    void FreeBlocks();
    bool GrowContiguous(uint64_t end);
    bool GrowSegmented(uint64_t end);
    // Calls visit(span, length) for each piece of [offset, offset + size)
    // as it lies in the blocks.
    template <typename Visit>
    void ForEachSpan(uint64_t offset, size_t size, Visit visit) const;
    void CopyOut(uint64_t offset, uint8_t* out, size_t size) const;
    void CopyIn(uint64_t offset, const uint8_t* in, size_t size);
    void ZeroFill(uint64_t from, uint64_t to);

    _KW_MUTEX m_Mutex;
    CKW_BasicArray m_Blocks;
    int32_t m_nRefCount;
    uint64_t m_nTotalSize;
    uint64_t m_nCurSize;
    uint64_t m_nCurPos;
    uint64_t m_nGrowSize;
    uint32_t m_dwFlags;
    bool m_bUseRange;
    uint64_t m_nRangeOffset;
    uint64_t m_nRangeSize;
};

IKW_MemoryStream* KW_CreateMemoryStream(bool contiguous, _IKW_Allocator* allocator);
IKW_MemoryStream* KW_CreateMemoryStream(uint8_t* buffer, size_t size, bool takeOver, _IKW_Allocator* allocator);

#endif // CKW_MEMORYSTREAM_H
