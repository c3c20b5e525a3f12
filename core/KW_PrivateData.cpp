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
    // The old value's free callback may change the list: move its records
    // (the record pointer is then stale), take the key out, or store under
    // the key again. What it stored is replaced in turn, so every value the
    // key held is freed once and the new one ends up stored.
    while (KW_PRIVATEDATA* record = Find(moduleId)) {
        // Storing what is already stored must not free it: the caller keeps
        // using it, and the list would free it a second time later.
        if (record->data == data || !record->data) {
            record->data = data;
            record->callback = callback;
            record->isObject = isObject;
            return;
        }
        KW_PRIVATEDATA old = *record;
        record->data = nullptr;   // a re-entrant call frees it once only
        old.FreeData();
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
    // A callback may touch the list: remove keys (freed ones too), store new
    // ones, clear it again. Each record leaves the list before its data is
    // freed, so nothing it does skips a record or reaches a freed value.
    while (m_DataList.GetSize() > 0) {
        KW_PRIVATEDATA record = *static_cast<KW_PRIVATEDATA*>(m_DataList.GetDataPtr(0));
        m_DataList.RemoveAt(0, 1);
        record.FreeData();
    }
    m_DataList.SetSize(0, -1);
}
