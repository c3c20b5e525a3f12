#include "TreeViewItemDelegate.h"

#include "Edit.h"

#include <QLineEdit>

namespace AUILib {

TreeViewItemDelegate::TreeViewItemDelegate(QObject* parent, TreeView* control)
    : QStyledItemDelegate(parent), control_(control)
{
}

TreeViewItemDelegate::~TreeViewItemDelegate() = default;

QWidget* TreeViewItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void TreeViewItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!index.isValid() || !index.model() || !line)
        return;
    line->setText(index.model()->data(index, Qt::EditRole).toString());
}

} // namespace AUILib
