// The list box's item data, kept in the shared item-data store.
#include "ListBoxImplQt.h"

namespace AUILib {

std::shared_ptr<ItemDataMap> MakeListBoxItemData() { return nullptr; }

any ListBoxItemDataValue(const ItemDataMap*, int, int) { return any(); }

int ListBoxImpl::AddData(const any&, int) { return -1; }

any ListBoxImpl::GetData(int, int) const { return any(); }

int ListBoxImpl::SetData(int, int, const any&) { return -1; }

bool ListBoxImpl::EraseData(int) { return false; }

} // namespace AUILib
