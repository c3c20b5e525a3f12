#include "CKW_HashMap.h"

#include "CKW_Array.h"
#include "KW_Memory.h"

#include <new>
#include <string.h>

namespace {

const unsigned kDefaultTableSize = 16;
// The table stops doubling once it is larger than this (at 16384 buckets).
const unsigned kGrowthLimit = 10000;

bool TableSizeAllowed(unsigned size)
{
    return size <= KWMEM_MAX_REQUEST / sizeof(void*);
}

void** AllocTable(_IKW_Allocator* allocator, unsigned size)
{
    void* p = allocator ? allocator->Alloc(allocator, (size_t)size * sizeof(void*))
                        : KWMEM_DefaultAlloc2(size, sizeof(void*), 0);
    if (p)
        memset(p, 0, (size_t)size * sizeof(void*));
    return (void**)p;
}

// Carves a new plex block into entries and returns them as a free list in
// address order; null when the block cannot be made.
template <typename Assoc>
Assoc* NewBlock(_IKW_Allocator* allocator, CKW_Plex*& blocks, int blockSize)
{
    CKW_Plex* block = CKW_Plex::Create(allocator, blocks, (unsigned)blockSize, sizeof(Assoc));
    if (!block)
        return nullptr;
    Assoc* first = (Assoc*)block->data();
    Assoc* list = nullptr;
    for (int i = blockSize - 1; i >= 0; --i) {
        first[i].pNext = list;
        list = &first[i];
    }
    return list;
}

// Returned when an entry cannot be made, so that a caller writing through
// the reference writes nowhere that matters.
void*& ScratchSlot()
{
    static thread_local void* slot;
    slot = nullptr;
    return slot;
}

} // namespace

// ---- CKW_MapPtrToPtr ---------------------------------------------------------

CKW_MapPtrToPtr::CKW_MapPtrToPtr(int blockSize, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_pHashTable(nullptr), m_nHashTableSize(kDefaultTableSize), m_nCount(0),
      m_pFreeList(nullptr), m_pBlocks(nullptr), m_nBlockSize(blockSize < 1 ? 1 : blockSize)
{
}

CKW_MapPtrToPtr::~CKW_MapPtrToPtr() { RemoveAll(); }

unsigned CKW_MapPtrToPtr::HashKey(void* key) const
{
    uint64_t v = (uint64_t)(uintptr_t)key;
    uint32_t a = (uint32_t)(v & 0xFFFF) * 1313u + (uint32_t)((v >> 16) & 0xFFFF);
    uint32_t b = a * 1313u + (uint32_t)((v >> 32) & 0xFFFF);
    return b * 1313u + (uint32_t)(v >> 48);
}

CKW_MapPtrToPtr::CAssoc* CKW_MapPtrToPtr::GetAssocAt(void* key, unsigned& bucket) const
{
    bucket = HashKey(key) % m_nHashTableSize;
    if (!m_pHashTable)
        return nullptr;
    for (CAssoc* assoc = m_pHashTable[bucket]; assoc; assoc = assoc->pNext)
        if (assoc->key == key)
            return assoc;
    return nullptr;
}

bool CKW_MapPtrToPtr::Lookup(void* key, void*& value) const
{
    unsigned bucket;
    CAssoc* assoc = GetAssocAt(key, bucket);
    if (!assoc)
        return false;
    value = assoc->value;
    return true;
}

void* CKW_MapPtrToPtr::GetValueAt(void* key) const
{
    unsigned bucket;
    CAssoc* assoc = GetAssocAt(key, bucket);
    return assoc ? assoc->value : nullptr;
}

void*& CKW_MapPtrToPtr::operator[](void* key)
{
    unsigned bucket;
    if (CAssoc* hit = GetAssocAt(key, bucket))
        return hit->value;
    if (!m_pHashTable) {
        m_pHashTable = (CAssoc**)AllocTable(m_pAllocator, m_nHashTableSize);
        if (!m_pHashTable)
            return ScratchSlot();
    }
    CAssoc* assoc = NewAssoc();
    if (!assoc) {
        if (m_nCount == 0)
            RemoveAll();   // gives back the table made just now
        return ScratchSlot();
    }
    assoc->key = key;
    assoc->pNext = m_pHashTable[bucket];
    m_pHashTable[bucket] = assoc;
    ExpandHashTable();
    return assoc->value;
}

CKW_MapPtrToPtr::CAssoc* CKW_MapPtrToPtr::NewAssoc()
{
    if (!m_pFreeList) {
        m_pFreeList = NewBlock<CAssoc>(m_pAllocator, m_pBlocks, m_nBlockSize);
        if (!m_pFreeList)
            return nullptr;
    }
    CAssoc* assoc = m_pFreeList;
    m_pFreeList = assoc->pNext;
    m_nCount++;
    assoc->pNext = nullptr;
    assoc->key = nullptr;
    assoc->value = nullptr;
    return assoc;
}

void CKW_MapPtrToPtr::FreeAssoc(CAssoc* assoc)
{
    if (!assoc || !m_pHashTable)
        return;
    CAssoc** link = &m_pHashTable[HashKey(assoc->key) % m_nHashTableSize];
    while (*link && *link != assoc)
        link = &(*link)->pNext;
    if (!*link)
        return;   // not an entry of this map
    *link = assoc->pNext;
    assoc->pNext = m_pFreeList;
    m_pFreeList = assoc;
    if (--m_nCount == 0)
        RemoveAll();
}

bool CKW_MapPtrToPtr::RemoveKey(void* key)
{
    unsigned bucket;
    CAssoc* assoc = GetAssocAt(key, bucket);
    if (!assoc)
        return false;
    FreeAssoc(assoc);
    return true;
}

void CKW_MapPtrToPtr::RemoveAll()
{
    KWMEM_FreeWith(m_pAllocator, m_pHashTable);
    m_pHashTable = nullptr;
    m_nCount = 0;
    m_pFreeList = nullptr;
    if (m_pBlocks)
        m_pBlocks->FreeDataChain(m_pAllocator);
    m_pBlocks = nullptr;
}

void CKW_MapPtrToPtr::ExpandHashTable()
{
    if (m_nHashTableSize > kGrowthLimit || (unsigned)m_nCount < m_nHashTableSize || !m_pHashTable)
        return;
    const unsigned newSize = m_nHashTableSize * 2;
    CAssoc** table = (CAssoc**)AllocTable(m_pAllocator, newSize);
    if (!table)
        return;
    for (unsigned i = 0; i < m_nHashTableSize; ++i) {
        CAssoc* assoc = m_pHashTable[i];
        while (assoc) {
            CAssoc* next = assoc->pNext;
            unsigned bucket = HashKey(assoc->key) % newSize;
            assoc->pNext = table[bucket];
            table[bucket] = assoc;
            assoc = next;
        }
    }
    KWMEM_FreeWith(m_pAllocator, m_pHashTable);
    m_pHashTable = table;
    m_nHashTableSize = newSize;
}

void CKW_MapPtrToPtr::InitHashTable(unsigned hashSize, bool allocateNow)
{
    // A table past the request limit can never be made: the map would keep a
    // size no table backs and store nothing. Refused, and the map is left
    // as it was.
    if (!TableSizeAllowed(hashSize))
        return;
    // Entries of the old table could not be reached any more: drop them
    // properly rather than leave a count that no table backs.
    RemoveAll();
    if (hashSize != 0)
        m_nHashTableSize = hashSize;
    if (allocateNow)
        m_pHashTable = (CAssoc**)AllocTable(m_pAllocator, m_nHashTableSize);
}

CKW_MapPtrToPtr::CAssoc* CKW_MapPtrToPtr::NextAfter(const CAssoc* assoc) const
{
    if (assoc->pNext)
        return assoc->pNext;
    for (unsigned i = HashKey(assoc->key) % m_nHashTableSize + 1; i < m_nHashTableSize; ++i)
        if (m_pHashTable[i])
            return m_pHashTable[i];
    return nullptr;
}

CKW_MapPtrToPtr::CAssoc* CKW_MapPtrToPtr::GetCurrentAssoc(void*& position) const
{
    CAssoc* assoc = (CAssoc*)position;
    if (!assoc || !m_pHashTable) {
        position = nullptr;
        return nullptr;
    }
    if (position == (void*)-1) {
        assoc = nullptr;
        for (unsigned i = 0; i < m_nHashTableSize && !assoc; ++i)
            assoc = m_pHashTable[i];
        if (!assoc) {
            position = nullptr;
            return nullptr;
        }
    }
    position = NextAfter(assoc);
    return assoc;
}

void CKW_MapPtrToPtr::GetNextAssoc(void*& position, void*& key, void*& value) const
{
    if (CAssoc* assoc = GetCurrentAssoc(position)) {
        key = assoc->key;
        value = assoc->value;
    }
}

// ---- CKW_MapByteStringToPtr ----------------------------------------------------

static_assert(sizeof(CKW_MapByteStringToPtr::CAssoc) == 32, "the cached hash fits the entry's padding");

CKW_MapByteStringToPtr::CKW_MapByteStringToPtr(int blockSize, _IKW_Allocator* allocator)
    : m_pAllocator(allocator), m_pHashTable(nullptr), m_nHashTableSize(kDefaultTableSize), m_nCount(0),
      m_pFreeList(nullptr), m_pBlocks(nullptr), m_nBlockSize(blockSize < 1 ? 1 : blockSize)
{
}

CKW_MapByteStringToPtr::~CKW_MapByteStringToPtr() { RemoveAll(); }

unsigned CKW_MapByteStringToPtr::HashKey(const CKW_ByteStringC& key) const
{
    uint32_t h = 0;
    const uint8_t* p = key.GetPtr();
    for (int i = 0, n = key.GetLength(); i < n; ++i)
        h = h * 31u + p[i];
    return h;
}

CKW_MapByteStringToPtr::CAssoc* CKW_MapByteStringToPtr::GetAssocAt(const CKW_ByteStringC& key,
                                                                   unsigned& bucket) const
{
    return FindAssoc(key, HashKey(key), bucket);
}

CKW_MapByteStringToPtr::CAssoc* CKW_MapByteStringToPtr::FindAssoc(const CKW_ByteStringC& key, unsigned hash,
                                                                  unsigned& bucket) const
{
    bucket = hash % m_nHashTableSize;
    if (!m_pHashTable)
        return nullptr;
    const int length = key.GetLength();
    for (CAssoc* assoc = m_pHashTable[bucket]; assoc; assoc = assoc->pNext)
        if (assoc->nHash == hash && assoc->key.GetLength() == length
            && (length == 0 || memcmp(assoc->key.c_str(), key.GetPtr(), length) == 0))
            return assoc;
    return nullptr;
}

bool CKW_MapByteStringToPtr::Lookup(const CKW_ByteStringC& key, void*& value) const
{
    unsigned bucket;
    CAssoc* assoc = GetAssocAt(key, bucket);
    if (!assoc)
        return false;
    value = assoc->value;
    return true;
}

void*& CKW_MapByteStringToPtr::operator[](const CKW_ByteStringC& key)
{
    const unsigned hash = HashKey(key);
    unsigned bucket;
    if (CAssoc* hit = FindAssoc(key, hash, bucket))
        return hit->value;
    if (!m_pHashTable) {
        m_pHashTable = (CAssoc**)AllocTable(m_pAllocator, m_nHashTableSize);
        if (!m_pHashTable)
            return ScratchSlot();
    }
    CAssoc* assoc = NewAssoc();
    if (assoc) {
        assoc->nHash = hash;
        assoc->key = key;
        if (assoc->key.GetLength() != key.GetLength()) {
            // The key's copy failed: an entry must never stand for another key.
            assoc->pNext = m_pHashTable[bucket];
            m_pHashTable[bucket] = assoc;
            assoc->nBucket = bucket;
            FreeAssoc(assoc);
            assoc = nullptr;
        }
    }
    if (!assoc) {
        if (m_nCount == 0)
            RemoveAll();
        return ScratchSlot();
    }
    assoc->nBucket = bucket;
    assoc->pNext = m_pHashTable[bucket];
    m_pHashTable[bucket] = assoc;
    ExpendHashTable();
    return assoc->value;
}

CKW_MapByteStringToPtr::CAssoc* CKW_MapByteStringToPtr::NewAssoc()
{
    if (!m_pFreeList) {
        m_pFreeList = NewBlock<CAssoc>(m_pAllocator, m_pBlocks, m_nBlockSize);
        if (!m_pFreeList)
            return nullptr;
    }
    CAssoc* assoc = m_pFreeList;
    m_pFreeList = assoc->pNext;
    m_nCount++;
    assoc->pNext = nullptr;
    assoc->nBucket = 0;
    assoc->nHash = 0;
    new (&assoc->key) CKW_ByteString();
    assoc->value = nullptr;
    return assoc;
}

void CKW_MapByteStringToPtr::FreeAssoc(CAssoc* assoc)
{
    if (!assoc || !m_pHashTable || assoc->nBucket >= m_nHashTableSize)
        return;
    CAssoc** link = &m_pHashTable[assoc->nBucket];
    while (*link && *link != assoc)
        link = &(*link)->pNext;
    if (!*link)
        return;   // not an entry of this map
    *link = assoc->pNext;
    assoc->key.~CKW_ByteString();
    assoc->pNext = m_pFreeList;
    m_pFreeList = assoc;
    if (--m_nCount == 0)
        RemoveAll();
}

bool CKW_MapByteStringToPtr::RemoveKey(const CKW_ByteStringC& key)
{
    unsigned bucket;
    CAssoc* assoc = GetAssocAt(key, bucket);
    if (!assoc)
        return false;
    FreeAssoc(assoc);
    return true;
}

void CKW_MapByteStringToPtr::RemoveAll()
{
    if (m_pHashTable) {
        for (unsigned i = 0; i < m_nHashTableSize; ++i)
            for (CAssoc* assoc = m_pHashTable[i]; assoc; assoc = assoc->pNext)
                assoc->key.~CKW_ByteString();
        KWMEM_FreeWith(m_pAllocator, m_pHashTable);
        m_pHashTable = nullptr;
    }
    m_nCount = 0;
    m_pFreeList = nullptr;
    if (m_pBlocks)
        m_pBlocks->FreeDataChain(m_pAllocator);
    m_pBlocks = nullptr;
}

void CKW_MapByteStringToPtr::ExpendHashTable()
{
    if (m_nHashTableSize > kGrowthLimit || (unsigned)m_nCount < m_nHashTableSize || !m_pHashTable)
        return;
    const unsigned newSize = m_nHashTableSize * 2;
    CAssoc** table = (CAssoc**)AllocTable(m_pAllocator, newSize);
    if (!table)
        return;
    for (unsigned i = 0; i < m_nHashTableSize; ++i) {
        CAssoc* assoc = m_pHashTable[i];
        while (assoc) {
            CAssoc* next = assoc->pNext;
            assoc->nHash = HashKey(assoc->key);
            unsigned bucket = assoc->nHash % newSize;
            assoc->nBucket = bucket;
            assoc->pNext = table[bucket];
            table[bucket] = assoc;
            assoc = next;
        }
    }
    KWMEM_FreeWith(m_pAllocator, m_pHashTable);
    m_pHashTable = table;
    m_nHashTableSize = newSize;
}

void CKW_MapByteStringToPtr::InitHashTable(unsigned hashSize, bool allocateNow)
{
    // A table past the request limit can never be made: the map would keep a
    // size no table backs and store nothing. Refused, and the map is left
    // as it was.
    if (!TableSizeAllowed(hashSize))
        return;
    // Entries of the old table could not be reached any more, nor their keys
    // released: drop them properly first.
    RemoveAll();
    if (hashSize != 0)
        m_nHashTableSize = hashSize;
    if (allocateNow)
        m_pHashTable = (CAssoc**)AllocTable(m_pAllocator, m_nHashTableSize);
}

CKW_MapByteStringToPtr::CAssoc* CKW_MapByteStringToPtr::NextAfter(const CAssoc* assoc) const
{
    if (assoc->pNext)
        return assoc->pNext;
    for (unsigned i = assoc->nBucket + 1; i < m_nHashTableSize; ++i)
        if (m_pHashTable[i])
            return m_pHashTable[i];
    return nullptr;
}

CKW_MapByteStringToPtr::CAssoc* CKW_MapByteStringToPtr::GetCurrentAssoc(void*& position) const
{
    CAssoc* assoc = (CAssoc*)position;
    if (!assoc || !m_pHashTable) {
        position = nullptr;
        return nullptr;
    }
    if (position == (void*)-1) {
        assoc = nullptr;
        for (unsigned i = 0; i < m_nHashTableSize && !assoc; ++i)
            assoc = m_pHashTable[i];
        if (!assoc) {
            position = nullptr;
            return nullptr;
        }
    }
    position = NextAfter(assoc);
    return assoc;
}

void CKW_MapByteStringToPtr::GetNextAssoc(void*& position, CKW_ByteString& key, void*& value) const
{
    if (CAssoc* assoc = GetCurrentAssoc(position)) {
        key = assoc->key;
        value = assoc->value;
    }
}

void* CKW_MapByteStringToPtr::GetNextValue(void*& position) const
{
    CAssoc* assoc = GetCurrentAssoc(position);
    return assoc ? assoc->value : nullptr;
}
