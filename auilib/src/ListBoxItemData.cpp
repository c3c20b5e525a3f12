// The list box's item data, kept in the shared item-data store.
// ItemDataMap.h uses size_t without including its header.
#include <cstddef>

#include "ItemDataMap.h"
#include "ListBoxImplQt.h"

namespace AUILib {

std::shared_ptr<ItemDataMap> MakeListBoxItemData()
{
    auto data = std::make_shared<ItemDataMap>();
    data->SetNextId(1);
    return data;
}

any ListBoxItemDataValue(const ItemDataMap* data, int id, int column)
{
    return data ? data->Get(id, column) : any();
}

int ListBoxImpl::AddData(const any& value, int column) { return itemData->Add(column, value); }

any ListBoxImpl::GetData(int id, int column) const { return itemData->Get(id, column); }

int ListBoxImpl::SetData(int id, int column, const any& value) { return itemData->Set(id, column, value); }

bool ListBoxImpl::EraseData(int id) { return itemData->Erase(id); }

} // namespace AUILib
