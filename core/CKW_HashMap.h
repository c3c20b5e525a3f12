// Chained hash maps: pointer keys (CKW_MapPtrToPtr) and byte-string keys
// (CKW_MapByteStringToPtr), both mapping to pointer values.
//
// Entries are carved out of plex blocks and recycled through a free list, so a
// map makes no heap request per entry (a byte-string key still owns its
// string block). The bucket table doubles whenever the count reaches its size,
// up to 16384 buckets; a caller expecting more entries sizes the table first
// with InitHashTable. Memory comes from the map's allocator (null = the
// default memory manager).
//
// Iteration: start with the position (void*)-1 and call GetNextAssoc until the
// position becomes null. A map is used by one thread at a time.
#ifndef CKW_HASHMAP_H
#define CKW_HASHMAP_H

#include "CKW_ByteString.h"

#include <stddef.h>
#include <stdint.h>

struct _IKW_Allocator;
struct CKW_Plex;

class CKW_MapPtrToPtr {
public:
    struct CAssoc {
        CAssoc* pNext;
        void* key;
        void* value;
    };

    explicit CKW_MapPtrToPtr(int blockSize = 10, _IKW_Allocator* allocator = nullptr);
    ~CKW_MapPtrToPtr();
    CKW_MapPtrToPtr(const CKW_MapPtrToPtr&) = delete;
    CKW_MapPtrToPtr& operator=(const CKW_MapPtrToPtr&) = delete;

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    unsigned GetHashTableSize() const { return m_nHashTableSize; }

    bool Lookup(void* key, void*& value) const;
    void* GetValueAt(void* key) const;
    // The value slot of key, made (value null) when absent. When the map
    // cannot grow, a scratch slot is returned instead and the map is unchanged.
    void*& operator[](void* key);
    bool RemoveKey(void* key);
    void RemoveAll();

    void GetNextAssoc(void*& position, void*& key, void*& value) const;
    CAssoc* GetCurrentAssoc(void*& position) const;

    // Sets the bucket count (0 keeps the current one); entries still held are
    // removed first. allocateNow makes the table at once.
    // A size whose table would pass the request limit is refused (no change).
    void InitHashTable(unsigned hashSize, bool allocateNow = true);
    unsigned HashKey(void* key) const;
    CAssoc* GetAssocAt(void* key, unsigned& bucket) const;

protected:
    CAssoc* NewAssoc();
    void FreeAssoc(CAssoc* assoc);
    void ExpandHashTable();

private:
    CAssoc* NextAfter(const CAssoc* assoc) const;

    _IKW_Allocator* m_pAllocator;
    CAssoc** m_pHashTable;
    unsigned m_nHashTableSize;
    int m_nCount;
    CAssoc* m_pFreeList;
    CKW_Plex* m_pBlocks;
    int m_nBlockSize;
};

class CKW_MapByteStringToPtr {
public:
    struct CAssoc {
        CAssoc* pNext;
        uint32_t nBucket;
        // The key's full hash, kept in what would be padding so that a chain
        // walk compares bytes only for a likely match.
        uint32_t nHash;
        CKW_ByteString key;
        void* value;
    };

    explicit CKW_MapByteStringToPtr(int blockSize = 10, _IKW_Allocator* allocator = nullptr);
    ~CKW_MapByteStringToPtr();
    CKW_MapByteStringToPtr(const CKW_MapByteStringToPtr&) = delete;
    CKW_MapByteStringToPtr& operator=(const CKW_MapByteStringToPtr&) = delete;

    int GetCount() const { return m_nCount; }
    bool IsEmpty() const { return m_nCount == 0; }
    unsigned GetHashTableSize() const { return m_nHashTableSize; }

    bool Lookup(const CKW_ByteStringC& key, void*& value) const;
    // As CKW_MapPtrToPtr::operator[]; a key whose copy cannot be made is not
    // stored either.
    void*& operator[](const CKW_ByteStringC& key);
    bool RemoveKey(const CKW_ByteStringC& key);
    void RemoveAll();

    void GetNextAssoc(void*& position, CKW_ByteString& key, void*& value) const;
    CAssoc* GetCurrentAssoc(void*& position) const;
    void* GetNextValue(void*& position) const;

    // A size whose table would pass the request limit is refused (no change).
    void InitHashTable(unsigned hashSize, bool allocateNow = true);
    unsigned HashKey(const CKW_ByteStringC& key) const;
    CAssoc* GetAssocAt(const CKW_ByteStringC& key, unsigned& bucket) const;

protected:
    CAssoc* NewAssoc();
    void FreeAssoc(CAssoc* assoc);
    void ExpendHashTable();

private:
    CAssoc* FindAssoc(const CKW_ByteStringC& key, unsigned hash, unsigned& bucket) const;
    CAssoc* NextAfter(const CAssoc* assoc) const;

    _IKW_Allocator* m_pAllocator;
    CAssoc** m_pHashTable;
    unsigned m_nHashTableSize;
    int m_nCount;
    CAssoc* m_pFreeList;
    CKW_Plex* m_pBlocks;
    int m_nBlockSize;
};

#endif // CKW_HASHMAP_H
