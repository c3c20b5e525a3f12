// Read caches for slow files: fixed-size chunks of a file kept in a caller's
// buffer (least recently used chunk replaced), and a read-only stream that
// reads a file through such a cache.
#ifndef CKW_FILECACHE_H
#define CKW_FILECACHE_H

#include "IKW_Stream.h"
#include "KW_Object.h"
#include "KW_Platform.h"

class CKW_FileCache {
public:
    struct Chunk {
        uint8_t* buffer;
        int64_t offset; // a multiple of the chunk size
        uint32_t stamp; // last use
    };

    explicit CKW_FileCache(_IKW_Allocator* allocator);
    ~CKW_FileCache();
    CKW_FileCache(const CKW_FileCache&) = delete;
    CKW_FileCache& operator=(const CKW_FileCache&) = delete;

    // buffer holds chunkCount x chunkSize bytes and stays the caller's. A null
    // buffer sets up nothing (reads go to the file) and succeeds; a chunk size
    // or count below 1 fails.
    bool InitChunk(int32_t chunkSize, int32_t chunkCount, uint8_t* buffer);
    // Forgets every chunk.
    void Clear();
    void Empty();

    // The entry holding the chunk at chunkOffset, or null with index set to
    // where it would be inserted.
    Chunk* SearchChunk(int32_t& index, int64_t chunkOffset);
    // Loads the chunk into the least recently used slot and moves it to the
    // insertion index (updated to its final place). Null when the file read
    // fails: the slot is then dropped, so no stale bytes stand for the chunk.
    Chunk* CacheChunk(int32_t& index, int64_t chunkOffset, IKW_FileRead* file);
    int32_t FindMiniRefChunk() const;

    // False for a request outside the file or a failed file read.
    bool ReadBlock(IKW_FileRead* file, void* buffer, int64_t offset, size_t size);
    // Loads (or touches) count chunks from the one holding offset.
    bool PreCache(IKW_FileRead* file, int64_t offset, int32_t count);

    bool HasTable() const { return m_pChunks != nullptr; }
    int32_t GetChunkSize() const { return m_nChunkSize; }
    int32_t GetChunksInUse() const { return m_nUsed; }

private:
    friend class CKW_CachedFileRead;
    Chunk* Touch(int32_t index);
    void DropChunk(int32_t index);

    _IKW_Allocator* m_pAllocator;
    int32_t m_nChunkSize;
    int32_t m_nChunkCount;
    int32_t m_nUsed;
    int32_t m_nLastHit;
    uint32_t m_nStamp;
    Chunk* m_pChunks;
};

// A reference-counted, read-only stream over an attached file, reading
// through a chunk cache. Every operation holds the stream's own mutex.
class CKW_CachedFileRead : public IKW_FileStream, public CKW_Object {
public:
    CKW_CachedFileRead();
    ~CKW_CachedFileRead() override;

    // Once; a chunk size below 4096 with a buffer fails. Without a buffer
    // reads go straight to the file. A failed Init leaves the stream as it was.
    bool Init(int32_t chunkSize, int32_t chunkCount, uint8_t* buffer, _IKW_Allocator* allocator);
    // takeOver: the stream releases the file when it is replaced or destroyed.
    bool AttachFile(IKW_FileRead* file, bool takeOver);
    bool PreCache(int64_t offset, int32_t count);

    void Release() override;
    IKW_FileStream* Retain() override;
    bool IsEOF() override;
    int64_t GetPosition() override;
    size_t ReadBlock(void* buffer, size_t size) override;
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override;
    int64_t GetSize() override;
    bool WriteBlock(const void* buffer, int64_t offset, size_t size) override;
    bool WriteBlock(const void* buffer, size_t size) override;
    bool Flush() override;

private:
    struct Private {
        explicit Private(_IKW_Allocator* allocator) : cache(allocator) {}
        CKW_FileCache cache;
        IKW_FileRead* file = nullptr;
        int64_t position = 0;
        bool takeOver = false;
    };

    _KW_MUTEX m_Mutex;
    Private* m_pPrivate;
    int32_t m_nRefCount;
};

#endif // CKW_FILECACHE_H
