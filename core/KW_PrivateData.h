// Data that independent modules attach to a shared object without the object
// knowing their types: each module stores one pointer under a key of its own
// (any non-null pointer), with the way to free it. The list frees what it
// holds when an entry is replaced, cleared or destroyed.
#ifndef KW_PRIVATEDATA_H
#define KW_PRIVATEDATA_H

#include "CKW_Array.h"

// Objects stored with SetPrivateObj: released through the virtual destructor.
class CKW_DestructObject {
public:
    virtual ~CKW_DestructObject() {}
};

struct KW_PRIVATEDATA {
    void* moduleId;                  // the key; never null in a list
    void* data;
    void (*callback)(void* data);    // may be null
    bool isObject;                   // data is a CKW_DestructObject*

    void FreeData();
};

class CKW_PrivateData {
public:
    CKW_PrivateData();
    ~CKW_PrivateData();
    CKW_PrivateData(const CKW_PrivateData&) = delete;
    CKW_PrivateData& operator=(const CKW_PrivateData&) = delete;

    void SetPrivateData(void* moduleId, void* data, void (*callback)(void*));
    void SetPrivateObj(void* moduleId, CKW_DestructObject* object);
    void* GetPrivateData(void* moduleId);
    // Takes the record out without freeing its data: the caller has it back.
    bool RemovePrivateData(void* moduleId);
    // Frees every record's data in order, then empties the list.
    void ClearAll();

private:
    void AddData(void* moduleId, void* data, void (*callback)(void*), bool isObject);
    KW_PRIVATEDATA* Find(void* moduleId) const;

    CKW_BasicArray m_DataList;
};

#endif // KW_PRIVATEDATA_H
