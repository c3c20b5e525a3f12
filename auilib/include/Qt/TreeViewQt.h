// The Qt widget of TreeView: a tree view that keeps a selection of its own
// on top of Qt's (Shift and Ctrl clicks, Shift+arrow ranges among
// siblings), delays drags, moves whole subtrees on an internal drop and
// turns text changes of items into the control's signals. Made with no
// parent; TreeView::Create places it. It may outlive its control: with no
// control (or no implementation) it behaves as a plain QTreeView.
#pragma once

#include "ControlLifetime.h"
#include "TreeView.h"

#include <QElapsedTimer>
#include <QTreeView>

#include <functional>
#include <memory>
#include <vector>

class QStandardItem;

namespace AUILib {

class TreeViewQt : public QTreeView, public ControlOwnerSlot<TreeView> {
    Q_OBJECT

public:
    TreeViewQt();
    ~TreeViewQt() override;

    void SelectItem(QStandardItem* item, bool setCurrent);
    void DeselectItem(QStandardItem* item, bool unused);
    bool SelectItems(QStandardItem* from, QStandardItem* to);
    void ClearSelectedItems(QStandardItem* keep);
    void ClearAllChildNodeState(QStandardItem* item);
    bool IsAnyParentSelected(QStandardItem* item);
    void SetDragAndDropCanMove(const TreeView::CanMoveCallback& canMove) { canMove_ = canMove; }

    // The item whose content rectangle lies highest (ties: the earlier one).
    QStandardItem* TopMostItem(const std::vector<QStandardItem*>& items);
    // The drop: moves items (and their subtrees) after reference, or as its
    // children when asChild; false when refused (nothing moved). Items
    // inside another listed item go with it.
    bool MoveItems(std::vector<QStandardItem*> items, QStandardItem* reference, bool asChild);
    QStandardItem* CopyItemTree(QStandardItem* source, QStandardItem* newParent, QStandardItem* after);
    // Whether a drop of items at (reference, asChild) is refused: onto or
    // into a dragged item.
    bool IsMoveRefused(const std::vector<QStandardItem*>& items, QStandardItem* reference, bool asChild);

    QStandardItem* PressedItem() const { return pressedItem_; }
    void ForgetPressedItem() { pressedItem_ = nullptr; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QVector<int>& roles = QVector<int>()) override;

private:
    // The control's implementation, held for one event; null without one.
    std::shared_ptr<TreeView::impl> Impl() const;
    QModelIndex IndexOf(QStandardItem* item) const;
    void RefitColumn();
    // A drop above or below a top-level item would add a second root.
    static bool IsBesideSingleRoot(const TreeView::impl& d, DropIndicatorPosition position, QStandardItem* target);

    QElapsedTimer pressTimer_;
    QStandardItem* pressedItem_ = nullptr;
    TreeView::CanMoveCallback canMove_;
    bool dragging_ = false;
};

} // namespace AUILib
