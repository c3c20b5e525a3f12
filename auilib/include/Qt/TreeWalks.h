// Walks over the tree control's standard model shared by its operations.
// Each takes the model explicitly and checks every index it is given, so a
// handle of another model or of a removed item never leads anywhere.
#pragma once

#include <QModelIndex>

#include <functional>
#include <list>

class QAbstractItemModel;
class QStandardItem;
class QStandardItemModel;

namespace AUILib {

// Rows under parent, plus, with withDescendants, the rows under each row's
// column-0 index, recursively. 0 without a model.
int CountRows(const QAbstractItemModel* model, const QModelIndex& parent, bool withDescendants);

// Appends every descendant of item in pre-order (a child, its descendants,
// then the next child). Nothing for an item outside model.
void CollectSubtree(const QStandardItemModel* model, QStandardItem* item, std::list<QStandardItem*>& out);

// Pre-order over start, its following siblings and all their descendants
// (start null: the first top-level item). Used for the checked items and
// for switching check boxes on and off.
void WalkFrom(const QStandardItemModel* model, QStandardItem* start, const std::function<void(QStandardItem*)>& visit);

} // namespace AUILib
