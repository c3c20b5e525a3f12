#include "TreeWalks.h"

#include <QStandardItemModel>

namespace AUILib {

int CountRows(const QAbstractItemModel* model, const QModelIndex& parent, bool withDescendants)
{
    if (!model || (parent.isValid() && parent.model() != model))
        return 0;
    const int rows = model->rowCount(parent);
    int count = rows;
    if (withDescendants) {
        for (int row = 0; row < rows; ++row)
            count += CountRows(model, model->index(row, 0, parent), true);
    }
    return count;
}

void CollectSubtree(const QStandardItemModel* model, QStandardItem* item, std::list<QStandardItem*>& out)
{
    if (!model || !item || item->model() != model || !item->index().isValid())
        return;
    for (int row = 0; row < item->rowCount(); ++row) {
        QStandardItem* child = item->child(row, 0);
        if (!child)
            continue;
        out.push_back(child);
        CollectSubtree(model, child, out);
    }
}

namespace {

void WalkSiblings(QStandardItem* first, const std::function<void(QStandardItem*)>& visit)
{
    QStandardItem* parent = first->parent();
    const QStandardItemModel* model = first->model();
    for (int row = first->row();; ++row) {
        QStandardItem* item = parent ? parent->child(row, 0) : model->item(row, 0);
        if (!item)
            break;
        visit(item);
        if (QStandardItem* child = item->child(0, 0))
            WalkSiblings(child, visit);
    }
}

} // namespace

void WalkFrom(const QStandardItemModel* model, QStandardItem* start, const std::function<void(QStandardItem*)>& visit)
{
    if (!model)
        return;
    if (!start)
        start = model->item(0, 0);
    if (!start || start->model() != model || !start->index().isValid())
        return;
    WalkSiblings(start, visit);
}

} // namespace AUILib
