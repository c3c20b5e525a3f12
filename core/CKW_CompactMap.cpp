#include "CKW_CompactMap.h"

#include "KW_Memory.h"
#include "KW_Primitives.h"

#include <string.h>

namespace {

const int kUnitSize = 24;
const int kSegmentUnits = 16;
const int kIndexSize = 4;

const int kHashOffset = 0;
const int kLengthOffset = 4;
const int kInlineOffset = 5;
const int kLongLengthOffset = 5;
const int kLongPointerOffset = 8;
const int kValueOffset = 16;

const int kMaxInline = 11;
const uint8_t kLongKey = 255;
const uint8_t kFreeUnit = 254;
const uint32_t kFreeHash = 0xFFFFFFFF;

uint32_t UnitHash(const uint8_t* unit)
{
    uint32_t hash;
    memcpy(&hash, unit + kHashOffset, sizeof hash);
    return hash;
}

void SetUnitHash(uint8_t* unit, uint32_t hash) { memcpy(unit + kHashOffset, &hash, sizeof hash); }

void* UnitValue(const uint8_t* unit)
{
    void* value;
    memcpy(&value, unit + kValueOffset, sizeof value);
    return value;
}

void SetUnitValue(uint8_t* unit, void* value) { memcpy(unit + kValueOffset, &value, sizeof value); }

const char* LongKeyBytes(const uint8_t* unit)
{
    const char* bytes;
    memcpy(&bytes, unit + kLongPointerOffset, sizeof bytes);
    return bytes;
}

int LongKeyLength(const uint8_t* unit) { return (unit[kLongLengthOffset] << 8) | unit[kLongLengthOffset + 1]; }

// The key a used unit holds (a free unit holds none).
CKW_ByteStringC UnitKey(const uint8_t* unit)
{
    const uint8_t length = unit[kLengthOffset];
    if (length <= kMaxInline)
        return CKW_ByteStringC(unit + kInlineOffset, length);
    if (length == kLongKey)
        return CKW_ByteStringC(LongKeyBytes(unit), LongKeyLength(unit));
    return CKW_ByteStringC();
}

bool UnitHolds(const uint8_t* unit, const CKW_ByteStringC& key, uint32_t hash)
{
    if (UnitHash(unit) != hash || unit[kLengthOffset] == kFreeUnit)
        return false;
    const CKW_ByteStringC stored = UnitKey(unit);
    return stored.GetLength() == key.GetLength()
           && (key.GetLength() == 0 || memcmp(stored.GetPtr(), key.GetPtr(), key.GetLength()) == 0);
}

struct FindParam {
    const CKW_ByteStringC* key;
    uint32_t hash;
};

bool _CMapLookupCallback(void* param, void* unit)
{
    const FindParam* find = static_cast<const FindParam*>(param);
    return !UnitHolds(static_cast<const uint8_t*>(unit), *find->key, find->hash);
}

struct SetParam {
    const CKW_ByteStringC* key;
    uint32_t hash;
    uint8_t* firstFree;
};

// One pass for SetAt: stops at the key's unit and notes the first free one
// on the way.
bool SetAtCallback(void* param, void* unit)
{
    SetParam* set = static_cast<SetParam*>(param);
    uint8_t* u = static_cast<uint8_t*>(unit);
    if (u[kLengthOffset] == kFreeUnit) {
        if (!set->firstFree)
            set->firstFree = u;
        return true;
    }
    return !UnitHolds(u, *set->key, set->hash);
}

} // namespace

CKW_CMapByteStringToPtr::CKW_CMapByteStringToPtr(_IKW_Allocator* allocator)
    : m_Buffer(kUnitSize, kSegmentUnits, kIndexSize, allocator)
{
}

CKW_CMapByteStringToPtr::~CKW_CMapByteStringToPtr() { RemoveAll(); }

uint32_t CKW_CMapByteStringToPtr::CompoundHash(const CKW_ByteStringC& key)
{
    const char* bytes = key.GetCStr();
    const int n = key.GetLength();
    if (!bytes || n == 0)
        return 0;
    const uint32_t low = KW_HashCode_String_GetA(bytes, n, false) & 0xFFFF;
    uint32_t rs = 0, a = 63689;
    for (int i = 0; i < n; ++i) {
        rs = rs * a + (uint32_t)(int32_t)(signed char)bytes[i];
        a *= 378551u;
    }
    return low | (rs & 0x7FFF0000);
}

uint8_t* CKW_CMapByteStringToPtr::FindUnit(const CKW_ByteStringC& key, uint32_t hash) const
{
    FindParam param = {&key, hash};
    return (uint8_t*)m_Buffer.Iterate(_CMapLookupCallback, &param);
}

bool CKW_CMapByteStringToPtr::StoreKey(uint8_t* unit, const CKW_ByteStringC& key, uint32_t hash, void* value)
{
    const int n = key.GetLength();
    if (n > kMaxKeyLength)
        return false;
    if (n <= kMaxInline) {
        unit[kLengthOffset] = (uint8_t)n;
        if (n)
            memcpy(unit + kInlineOffset, key.GetPtr(), n);
    } else {
        _IKW_Allocator* allocator = m_Buffer.GetAllocator();
        char* copy = allocator ? (char*)allocator->Alloc(allocator, n) : (char*)KWMEM_DefaultAlloc2(n, 1, 0);
        if (!copy)
            return false;
        memcpy(copy, key.GetPtr(), n);
        unit[kLengthOffset] = kLongKey;
        unit[kLongLengthOffset] = (uint8_t)(n >> 8);
        unit[kLongLengthOffset + 1] = (uint8_t)n;
        unit[kLongLengthOffset + 2] = 0;
        memcpy(unit + kLongPointerOffset, &copy, sizeof copy);
    }
    SetUnitHash(unit, hash);
    SetUnitValue(unit, value);
    return true;
}

void CKW_CMapByteStringToPtr::FreeKey(uint8_t* unit)
{
    if (unit[kLengthOffset] == kLongKey) {
        char* copy = (char*)LongKeyBytes(unit);
        KWMEM_FreeWith(m_Buffer.GetAllocator(), copy);
    }
    unit[kLengthOffset] = kFreeUnit;
    SetUnitHash(unit, kFreeHash);
}

void CKW_CMapByteStringToPtr::SetAt(const CKW_ByteStringC& key, void* value)
{
    if (key.GetLength() > kMaxKeyLength)
        return;
    SetParam param = {&key, CompoundHash(key), nullptr};
    if (uint8_t* unit = (uint8_t*)m_Buffer.Iterate(SetAtCallback, &param)) {
        SetUnitValue(unit, value);
        return;
    }
    if (param.firstFree) {
        StoreKey(param.firstFree, key, param.hash, value);
        return;
    }
    AddValue(key, value);
}

void CKW_CMapByteStringToPtr::AddValue(const CKW_ByteStringC& key, void* value)
{
    if (key.GetLength() > kMaxKeyLength)
        return;
    uint8_t* unit = (uint8_t*)m_Buffer.Add();
    if (!unit)
        return;
    if (!StoreKey(unit, key, CompoundHash(key), value))
        m_Buffer.Delete(m_Buffer.GetSize() - 1, 1);
}

bool CKW_CMapByteStringToPtr::Lookup(const CKW_ByteStringC& key, void*& value) const
{
    const uint8_t* unit = FindUnit(key, CompoundHash(key));
    if (!unit)
        return false;
    value = UnitValue(unit);
    return true;
}

void CKW_CMapByteStringToPtr::RemoveKey(const CKW_ByteStringC& key)
{
    if (uint8_t* unit = FindUnit(key, CompoundHash(key)))
        FreeKey(unit);
}

void CKW_CMapByteStringToPtr::RemoveAll()
{
    for (int i = 0, n = m_Buffer.GetSize(); i < n; ++i) {
        uint8_t* unit = (uint8_t*)m_Buffer.GetAt(i);
        if (unit[kLengthOffset] == kLongKey)
            FreeKey(unit);
    }
    m_Buffer.RemoveAll();
}

int CKW_CMapByteStringToPtr::GetCount() const
{
    int count = 0;
    for (int i = 0, n = m_Buffer.GetSize(); i < n; ++i)
        if (((const uint8_t*)m_Buffer.GetAt(i))[kLengthOffset] != kFreeUnit)
            count++;
    return count;
}

void* CKW_CMapByteStringToPtr::NextPosition(int index) const
{
    for (int n = m_Buffer.GetSize(); index < n; ++index)
        if (((const uint8_t*)m_Buffer.GetAt(index))[kLengthOffset] != kFreeUnit)
            return (void*)(uintptr_t)(index + 1);
    return nullptr;
}

void* CKW_CMapByteStringToPtr::GetStartPosition() const { return NextPosition(0); }

void CKW_CMapByteStringToPtr::GetNextAssoc(void*& position, CKW_ByteString& key, void*& value) const
{
    if (!position)
        return;
    const int index = (int)((uintptr_t)position - 1);
    const uint8_t* unit = (const uint8_t*)m_Buffer.GetAt(index);
    if (!unit) {
        position = nullptr;
        return;
    }
    key = UnitKey(unit);
    value = UnitValue(unit);
    position = NextPosition(index + 1);
}

void* CKW_CMapByteStringToPtr::GetNextValue(void*& position) const
{
    CKW_ByteString key;
    void* value = nullptr;
    GetNextAssoc(position, key, value);
    return value;
}

// ---- CKW_CMapDWordToDWord -------------------------------------------------------

namespace {

struct Pair {
    uint32_t key;
    uint32_t value;
};

} // namespace

bool CKW_CMapDWordToDWord::Lookup(uint32_t key, uint32_t& value) const
{
    const Pair* pairs = (const Pair*)m_Buffer.GetBuffer();
    int lo = 0, hi = m_Buffer.GetSize() / 8 - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (pairs[mid].key < key) {
            lo = mid + 1;
        } else if (pairs[mid].key > key) {
            hi = mid - 1;
        } else {
            value = pairs[mid].value;
            return true;
        }
    }
    return false;
}

void CKW_CMapDWordToDWord::SetAt(uint32_t key, uint32_t value)
{
    const Pair pair = {key, value};
    const int count = m_Buffer.GetSize() / 8;
    Pair* pairs = (Pair*)m_Buffer.GetBuffer();
    if (count == 0 || pairs[count - 1].key < key) {
        m_Buffer.AppendBlock(&pair, sizeof pair);
        return;
    }
    int lo = 0, hi = count - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (pairs[mid].key < key) {
            lo = mid + 1;
        } else if (pairs[mid].key > key) {
            hi = mid - 1;
        } else {
            pairs[mid].value = value;
            return;
        }
    }
    m_Buffer.InsertBlock(lo * 8, &pair, sizeof pair);
}

void CKW_CMapDWordToDWord::GetNextAssoc(void*& position, uint32_t& key, uint32_t& value) const
{
    if (!position)
        return;
    const uintptr_t index = (uintptr_t)position - 1;
    const uintptr_t count = (uintptr_t)(m_Buffer.GetSize() / 8);
    if (index >= count) {
        position = nullptr;
        return;
    }
    const Pair* pairs = (const Pair*)m_Buffer.GetBuffer();
    key = pairs[index].key;
    value = pairs[index].value;
    position = index + 1 == count ? nullptr : (void*)(index + 2);
}

void CKW_CMapDWordToDWord::EstimateSize(uint32_t size, uint32_t growBy)
{
    // Past the buffer's 31-bit sizes the request cannot be met; cutting it
    // down to the limit would reserve 2 GiB nobody asked for. Refused.
    const int64_t limit = 0x7fffffff;
    int64_t bytes = (int64_t)size * 8, step = (int64_t)growBy * 8;
    if (bytes > limit || step > limit)
        return;
    m_Buffer.EstimateSize((int)bytes, (int)step);
}
