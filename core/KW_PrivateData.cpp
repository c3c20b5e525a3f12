#include "KW_PrivateData.h"

void KW_PRIVATEDATA::FreeData()
{
    if (!data)
        return;
    if (isObject)
        delete static_cast<CKW_DestructObject*>(data);
    else if (callback)
        callback(data);
}

CKW_PrivateData::CKW_PrivateData() : m_DataList(sizeof(KW_PRIVATEDATA), nullptr) {}

CKW_PrivateData::~CKW_PrivateData()
{
    ClearAll();
}

KW_PRIVATEDATA* CKW_PrivateData::Find(void* moduleId) const
{
    for (int i = 0; i < m_DataList.GetSize(); ++i) {
        auto* record = static_cast<KW_PRIVATEDATA*>(m_DataList.GetDataPtr(i));
        if (record->moduleId == moduleId)
            return record;
    }
    return nullptr;
}

void CKW_PrivateData::AddData(void* moduleId, void* data, void (*callback)(void*), bool isObject)
{
    if (!moduleId)
        return;
    if (KW_PRIVATEDATA* record = Find(moduleId)) {
        // Storing what is already stored must not free it: the caller keeps
        // using it, and the list would free it a second time later.
        if (record->data != data) {
            KW_PRIVATEDATA old = *record;
            record->data = nullptr;   // a re-entrant call frees it once only
            old.FreeData();
            // The callback may have grown (moved) or shrunk the list: the
            // record pointer is stale, so find the key again.
            record = Find(moduleId);
            if (!record) {
                AddData(moduleId, data, callback, isObject);
                return;
            }
        }
        record->data = data;
        record->callback = callback;
        record->isObject = isObject;
        return;
    }
    const int size = m_DataList.GetSize();
    if (!m_DataList.SetSize(size + 1, -1))
        return;
    auto* record = static_cast<KW_PRIVATEDATA*>(m_DataList.GetDataPtr(size));
    record->moduleId = moduleId;
    record->data = data;
    record->callback = callback;
    record->isObject = isObject;
}

void CKW_PrivateData::SetPrivateData(void* moduleId, void* data, void (*callback)(void*))
{
    AddData(moduleId, data, callback, false);
}

void CKW_PrivateData::SetPrivateObj(void* moduleId, CKW_DestructObject* object)
{
    AddData(moduleId, object, nullptr, true);
}

void* CKW_PrivateData::GetPrivateData(void* moduleId)
{
    if (!moduleId)
        return nullptr;
    KW_PRIVATEDATA* record = Find(moduleId);
    return record ? record->data : nullptr;
}

bool CKW_PrivateData::RemovePrivateData(void* moduleId)
{
    if (!moduleId)
        return false;
    for (int i = 0; i < m_DataList.GetSize(); ++i) {
        if (static_cast<KW_PRIVATEDATA*>(m_DataList.GetDataPtr(i))->moduleId == moduleId)
            return m_DataList.RemoveAt(i, 1);
    }
    return false;
}

void CKW_PrivateData::ClearAll()
{
    // A callback may touch the list (even add to it): free by index against
    // the live size, then drop every record at once.
    for (int i = 0; i < m_DataList.GetSize(); ++i) {
        auto* record = static_cast<KW_PRIVATEDATA*>(m_DataList.GetDataPtr(i));
        KW_PRIVATEDATA copy = *record;
        record->data = nullptr;   // a re-entrant ClearAll frees it once only
        copy.FreeData();
    }
    m_DataList.SetSize(0, -1);
}
