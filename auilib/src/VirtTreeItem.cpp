#include "VirtTreeItem.h"

#include "WideQt.h"

namespace AUILib {

VirtTreeItem::VirtTreeItem(VirtTreeItem* parent) : parent_(parent) {}

VirtTreeItem::~VirtTreeItem()
{
    RemoveChilds();
}

void VirtTreeItem::AppendChild(VirtTreeItem* child)
{
    child->level_ = parent_ ? level_ + 1 : 0;
    child->row_ = children_.size();
    children_.append(child);
}

void VirtTreeItem::RemoveChilds()
{
    qDeleteAll(children_);
    children_.clear();
}

VirtTreeItem* VirtTreeItem::Child(int i) const
{
    if (i < 0 || i >= children_.size())
        return nullptr;
    return children_.at(i);
}

void VirtTreeItem::SetTooltip(const std::wstring& text)
{
    if (text.empty())
        tooltip_.reset();
    else if (tooltip_)
        *tooltip_ = text;
    else
        tooltip_ = std::make_unique<std::wstring>(text);
}

const std::wstring& VirtTreeItem::GetTooltip() const
{
    static const std::wstring none;
    return tooltip_ ? *tooltip_ : none;
}

void VirtTreeItem::SetIcon(int index)
{
    if (index >= 0)
        icon_ = index;
}

void VirtTreeItem::SetBoldTextPosition(int start, int end)
{
    if (start >= 0)
        boldStart_ = start;
    if (end >= 0)
        boldEnd_ = end;
}

QVariant VirtTreeItem::Data(int role, int column) const
{
    if (column != 0)
        return QVariant();
    if (role == Qt::DisplayRole)
        return ToQString(text_);
    if (role == Qt::CheckStateRole)
        return QVariant(checked_ ? 2 : 0);
    return QVariant();
}

} // namespace AUILib
