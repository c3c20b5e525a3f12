// In-memory write buffer of fixed capacity. Writes that still fit are kept;
// once the data outgrows the capacity the stream only counts (GetSize keeps
// growing), and reads return only the bytes it actually holds.
#ifndef CKW_LIMITCACHESTREAM_H
#define CKW_LIMITCACHESTREAM_H

#include "IKW_Stream.h"
#include "KW_Object.h"

class CKW_LimitCacheStream : public IKW_FileStream, public CKW_Object {
public:
    // A buffer of expectedSize + extra bytes is made only when expectedSize is
    // not 0 and expectedSize + extra is at most limit.
    CKW_LimitCacheStream(size_t expectedSize, size_t limit, size_t extra);
    ~CKW_LimitCacheStream() override;

    void Release() override;
    IKW_FileStream* Retain() override;
    bool IsEOF() override;
    int64_t GetPosition() override;
    int64_t SetPosition(int64_t position) override;
    size_t ReadBlock(void* buffer, size_t size) override;
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override;
    int64_t GetSize() override;
    bool WriteBlock(const void* buffer, int64_t offset, size_t size) override;
    bool WriteBlock(const void* buffer, size_t size) override;
    bool Flush() override;

    // The buffer (null when none) and the number of leading bytes it holds.
    const uint8_t* GetBuffer() const { return m_pBuffer; }
    size_t GetHeldSize() const { return m_nHeld; }

private:
    bool Fits(size_t size) const;

    uint8_t* m_pBuffer;
    uint64_t m_nDataSize;
    int64_t m_nPosition;
    size_t m_nCapacity;
    // Bytes of the data that are in the buffer: all of them until a write no
    // longer fitted, then frozen.
    size_t m_nHeld;
};

#endif // CKW_LIMITCACHESTREAM_H
