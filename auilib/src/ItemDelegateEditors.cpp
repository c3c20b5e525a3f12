// The delegate's in-place editors: a single-line edit or a combo box control
// placed on the table over the edited cell.
#include "ItemDelegate.h"

#include "ListBoxImplQt.h"

namespace AUILib {

void ItemDelegate::DeleteEditorControls() {}

void ItemDelegate::CloseEditorWidgets() {}

QWidget* ItemDelegate::createEditor(QWidget*, const QStyleOptionViewItem&, const QModelIndex&) const
{
    return nullptr;
}

void ItemDelegate::setEditorData(QWidget*, const QModelIndex&) const {}

} // namespace AUILib
