// Compact maps: byte-string keys in a segmented array of 24-byte units
// (CKW_CMapByteStringToPtr), and a sorted array of 32-bit pairs searched by
// bisection (CKW_CMapDWordToDWord).
//
// CKW_CMapByteStringToPtr unit layout (kept for whoever reads units raw):
//   0  compound hash (uint32, at most 0x7FFFFFFF; 0xFFFFFFFF on a free unit)
//   4  length byte: 0..11 key stored inline, 255 key stored outside, 254 free
//   5  inline key bytes (up to 11), or for an outside key its length as a
//      big-endian 16-bit number at 5 and the pointer to its copy at 8
//   16 value
// Lookups scan the units in order; a key matches when its hash and its bytes
// are equal. Units are never removed: a freed unit is reused by SetAt. Keys
// longer than 65535 bytes are not stored. Positions are 1 + the unit index
// (0: none).
#ifndef CKW_COMPACTMAP_H
#define CKW_COMPACTMAP_H

#include "CKW_Array.h"
#include "CKW_ByteString.h"
#include "CKW_TextBuf.h"

#include <stdint.h>

struct _IKW_Allocator;

class CKW_CMapByteStringToPtr {
public:
    static const int kMaxKeyLength = 0xFFFF;

    explicit CKW_CMapByteStringToPtr(_IKW_Allocator* allocator = nullptr);
    ~CKW_CMapByteStringToPtr();
    CKW_CMapByteStringToPtr(const CKW_CMapByteStringToPtr&) = delete;
    CKW_CMapByteStringToPtr& operator=(const CKW_CMapByteStringToPtr&) = delete;

    // Replaces the value of an equal key, else stores the key in the first
    // free unit or a new one. Nothing is stored when the key is too long or
    // its copy cannot be made.
    void SetAt(const CKW_ByteStringC& key, void* value);
    // Appends a unit without looking for the key or a free unit.
    void AddValue(const CKW_ByteStringC& key, void* value);
    bool Lookup(const CKW_ByteStringC& key, void*& value) const;
    void RemoveKey(const CKW_ByteStringC& key);
    void RemoveAll();
    int GetCount() const;

    void* GetStartPosition() const;
    void GetNextAssoc(void*& position, CKW_ByteString& key, void*& value) const;
    void* GetNextValue(void*& position) const;

    // The 31-bit compound hash that identifies a key's units.
    static uint32_t CompoundHash(const CKW_ByteStringC& key);

private:
    // The first used unit holding key, or null.
    uint8_t* FindUnit(const CKW_ByteStringC& key, uint32_t hash) const;
    // Writes key and value into unit; false (unit untouched) when the key
    // cannot be stored.
    bool StoreKey(uint8_t* unit, const CKW_ByteStringC& key, uint32_t hash, void* value);
    void FreeKey(uint8_t* unit);
    void* NextPosition(int index) const;

    CKW_BaseSegmentedArray m_Buffer;
};

class CKW_CMapDWordToDWord {
public:
    explicit CKW_CMapDWordToDWord(_IKW_Allocator* allocator = nullptr) : m_Buffer(allocator) {}

    bool Lookup(uint32_t key, uint32_t& value) const;
    void SetAt(uint32_t key, uint32_t value);
    void* GetStartPosition() const { return m_Buffer.GetSize() >= 8 ? (void*)1 : nullptr; }
    void GetNextAssoc(void*& position, uint32_t& key, uint32_t& value) const;
    // Reserves room for size pairs and sets the growth step to growBy pairs;
    // a size or step past 31-bit byte counts is refused (nothing changes).
    void EstimateSize(uint32_t size, uint32_t growBy);

private:
    CKW_BinaryBuf m_Buffer;
};

#endif // CKW_COMPACTMAP_H
