// The model of the tree control's virtual mode: one column over a tree of
// VirtTreeItem nodes. Nodes are added without notifications; Update tells
// the view with one layout change. An index carries its node.
#pragma once

#include "VirtTreeItem.h"

#include <QAbstractItemModel>

#include <functional>

namespace AUILib {

class PictureCache;

class TreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    using SortCallback = std::function<bool(VirtTreeItem*, VirtTreeItem*)>;

    explicit TreeModel(QObject* parent);
    ~TreeModel() override;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Both arguments are ignored: the order is the sort callback's.
    void sort(int column, Qt::SortOrder order) override;

    bool CheckSubItems(VirtTreeItem* node, Qt::CheckState state);
    void UpdateParentCheckbox(VirtTreeItem* node);
    // Tells the view that nodes were added, changed or reordered.
    void Update();
    void clear();
    // Drops every node; a reset like clear, so that no view keeps indexes
    // to freed nodes.
    void RemoveAllItem();
    VirtTreeItem* Root() const { return root_; }
    VirtTreeItem* ItemFromIndex(const QModelIndex& index) const;
    // The node's own index (its row under its own parent); invalid for
    // null and the root. Found from the node, never by a walk.
    QModelIndex IndexOf(VirtTreeItem* node) const;
    void CheckAllItem();
    void UnCheckAllItem();
    void SelectFirstItem();

    void SetCheckBoxes(bool on) { checkBoxes_ = on; }
    bool HasCheckBoxes() const { return checkBoxes_; }
    int CheckedCount() const { return checkedCount_; }
    void SetPictures(PictureCache* pictures) { pictures_ = pictures; }
    PictureCache* Pictures() const { return pictures_; }
    void SetSortFunc(const SortCallback& callback) { sortCallback_ = callback; }
    void SetSortScope(VirtTreeItem* root, bool recursive)
    {
        sortRoot_ = root;
        sortRecursive_ = recursive;
    }
    void SortChildren(VirtTreeItem* node, bool recursive);

private:
    // Runs change between the two layout signals and moves every
    // persistent index to its node's current row.
    template <typename Change> void Relayout(Change change);

    VirtTreeItem* root_;
    bool checkBoxes_ = false;
    int checkedCount_ = 0;
    QObject* view_;
    PictureCache* pictures_ = nullptr;
    SortCallback sortCallback_;
    bool sortRecursive_ = false;
    VirtTreeItem* sortRoot_ = nullptr;
};

} // namespace AUILib
