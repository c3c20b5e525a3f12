// A window of recently seen bytes of a stream.
#ifndef CKW_BYTESCACHE_H
#define CKW_BYTESCACHE_H

#include "IKW_Stream.h"
#include "KW_Object.h"

// A span of stream bytes.
struct KW_BytesRange {
    int64_t offset;
    int64_t size;
};

class IKW_BytesCache {
public:
    // Fills the window with up to its capacity of the file's bytes at offset.
    virtual void LoadFromFile(IKW_FileRead* file, int64_t offset, size_t size) = 0;
    // Copies the part of the request that the window holds to
    // destination + (its offset - request offset); returns that part
    // ({request offset, 0} when there is none, or when the request ends
    // beyond the last stream offset). Bytes and loads that would end there
    // are refused as well: the window keeps what it has (a load caches
    // nothing).
    virtual KW_BytesRange ReadCached(void* destination, const KW_BytesRange& request) = 0;
    virtual void PutBytes(const void* data, int64_t offset, size_t size) = 0;
    virtual void ClearCache() = 0;
    virtual ~IKW_BytesCache() {}
};

class CKW_ContinuousBytesCache : public IKW_BytesCache, public CKW_Object {
public:
    CKW_ContinuousBytesCache() : m_pBuffer(nullptr), m_nStart(0), m_nLength(0), m_nCapacity(0) {}
    ~CKW_ContinuousBytesCache() override;

    void LoadFromFile(IKW_FileRead* file, int64_t offset, size_t size) override;
    KW_BytesRange ReadCached(void* destination, const KW_BytesRange& request) override;
    // Bytes that touch the window extend it (the oldest bytes on the far side
    // give way when it is full); others replace it.
    void PutBytes(const void* data, int64_t offset, size_t size) override;
    void ClearCache() override;

    int64_t GetStart() const { return m_nStart; }
    size_t GetLength() const { return m_nLength; }

private:
    friend CKW_ContinuousBytesCache* KW_CreateContinuousBytesCache(size_t capacity);

    uint8_t* m_pBuffer;
    int64_t m_nStart;
    size_t m_nLength;
    size_t m_nCapacity;
};

// Null when capacity is 0 or memory runs out.
CKW_ContinuousBytesCache* KW_CreateContinuousBytesCache(size_t capacity);

#endif // CKW_BYTESCACHE_H
