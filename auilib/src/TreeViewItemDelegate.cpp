#include "TreeViewItemDelegate.h"

#include "CheckOutline.h"
#include "Edit.h"
#include "EmissionHold.h"
#include "TreeView.h"
#include "TreeViewImplQt.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPointer>
#include <QStandardItemModel>

namespace AUILib {

TreeViewItemDelegate::TreeViewItemDelegate(QObject* parent, TreeView* control)
    : QStyledItemDelegate(parent), control_(control)
{
}

TreeViewItemDelegate::~TreeViewItemDelegate() = default;

QWidget* TreeViewItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    // The view, whose viewport Qt passes as the parent.
    QWidget* view = parent ? parent->parentWidget() : nullptr;
    auto edit = std::make_shared<Edit>();
    editor_ = edit;
    edit->Create(view);
    const QPointer<QWidget> widget = edit->GetBaseImpl()->GetWndPtr();
    if (!widget)
        return nullptr;
    const int viewportWidth = parent ? parent->width() : option.rect.width();
    widget->setFixedSize(viewportWidth - option.rect.left() + 2, option.rect.height() + 2);
    widget->setFont(option.font);

    auto* itemView = qobject_cast<QAbstractItemView*>(view);
    auto* model = itemView ? qobject_cast<QStandardItemModel*>(itemView->model()) : nullptr;
    std::shared_ptr<TreeView::impl> d =
        control_ ? std::dynamic_pointer_cast<TreeView::impl>(control_->GetBaseImpl()) : nullptr;
    if (itemView && model && d) {
        TreeView* control = control_;
        QStandardItem* item = model->itemFromIndex(index);
        d->editedItem = item;
        TreeView::impl* impl = d.get();
        const EmissionHold hold(std::move(d));
        // A handler may delete the view, and this delegate with it.
        const QPointer<const TreeViewItemDelegate> alive(this);
        control->OnLabelEditBegin.Emit(item);
        // A handler may have dropped the control or closed this editor.
        if (alive && impl->Owner() && editor_ == edit)
            control->OnEditorCreated.Emit(item, edit.get());
        if (!alive)
            return nullptr;
    }
    return widget;
}

void TreeViewItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!index.isValid() || !index.model() || !line)
        return;
    line->setText(index.model()->data(index, Qt::EditRole).toString());
}

void TreeViewItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    auto* view = editor ? qobject_cast<QAbstractItemView*>(editor->parentWidget()) : nullptr;
    if (view)
        editor->move(editor->pos() + view->viewport()->mapTo(view, QPoint(0, 0)));
}

void TreeViewItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    DrawItemCheckOutline(*painter, opt);
}

} // namespace AUILib
