#include "TreeModel.h"

#include "PictureCache.h"

#include <QTreeView>

#include <algorithm>

namespace AUILib {

TreeModel::TreeModel(QObject* parent) : QAbstractItemModel(parent), root_(new VirtTreeItem(nullptr)), view_(parent) {}

TreeModel::~TreeModel()
{
    delete root_;
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return QModelIndex();
    VirtTreeItem* node = parent.isValid() ? ItemFromIndex(parent) : root_;
    VirtTreeItem* child = node ? node->Child(row) : nullptr;
    return child ? createIndex(row, column, child) : QModelIndex();
}

QModelIndex TreeModel::parent(const QModelIndex& index) const
{
    VirtTreeItem* node = ItemFromIndex(index);
    if (!node)
        return QModelIndex();
    VirtTreeItem* parentNode = node->ParentItem();
    if (!parentNode || parentNode == root_)
        return QModelIndex();
    return createIndex(parentNode->Row(), 0, parentNode);
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    if (!parent.isValid())
        return root_->ChildCount();
    VirtTreeItem* node = ItemFromIndex(parent);
    return node ? node->ChildCount() : 0;
}

int TreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    VirtTreeItem* node = ItemFromIndex(index);
    if (!node)
        return QVariant();
    if (role == Qt::CheckStateRole)
        return checkBoxes_ ? node->Data(role, index.column()) : QVariant();
    if (role == Qt::DecorationRole) {
        const int icon = node->GetIcon();
        if (!pictures_ || icon < 0 || icon >= static_cast<int>(pictures_->Icons().size()))
            return QVariant();
        const QIcon& picture = pictures_->Icons()[static_cast<size_t>(icon)];
        return picture.isNull() ? QVariant() : QVariant(picture);
    }
    return node->Data(role, index.column());
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole)
        return QAbstractItemModel::setData(index, value, role);
    VirtTreeItem* node = ItemFromIndex(index);
    if (!node)
        return false;
    // A click toggles: the value the view proposes is not needed. A
    // checked subtree has all its children checked: clearing the mark here
    // would leave a fully checked tree reported as not all checked.
    const bool check = !node->GetChecked();
    if (CheckSubItems(node, check ? Qt::Checked : Qt::Unchecked)) {
        node->SetCheckAll(check);
        UpdateParentCheckbox(node->ParentItem());
    }
    Update();
    return true;
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.column() == 0)
        return Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

void TreeModel::sort(int, Qt::SortOrder)
{
    if (!root_ || !sortCallback_)
        return;
    Relayout([this] { SortChildren(sortRoot_ ? sortRoot_ : root_, sortRecursive_); });
}

void TreeModel::SortChildren(VirtTreeItem* node, bool recursive)
{
    if (!node || node->ChildCount() == 0)
        return;
    // A copy, so that a callback replacing the model's callback while it
    // runs does not destroy itself. A stable sort, because it stays inside
    // the list even when the callback is no strict ordering.
    const SortCallback less = sortCallback_;
    QList<VirtTreeItem*>& children = node->GetChildItems();
    std::stable_sort(children.begin(), children.end(), less);
    for (int row = 0; row < children.size(); ++row)
        children[row]->SetRow(row);
    if (recursive) {
        for (VirtTreeItem* child : children)
            SortChildren(child, true);
    }
}

bool TreeModel::CheckSubItems(VirtTreeItem* node, Qt::CheckState state)
{
    if (!checkBoxes_ || !node)
        return false;
    bool childChanged = false;
    for (VirtTreeItem* child : node->GetChildItems())
        childChanged = CheckSubItems(child, state) || childChanged;
    // Every node of a subtree checked here has all its children checked
    // (none of an unchecked one): a parent recomputed later reads that.
    node->SetCheckAll(state == Qt::Checked);
    const bool leaf = node->ChildCount() == 0;
    if (state == Qt::Checked && leaf) {
        if (node->GetChecked())
            return childChanged;
        node->SetChecked(true);
        ++checkedCount_;
        return true;
    }
    if (state == Qt::Unchecked) {
        if (!node->GetChecked())
            return childChanged;
        node->SetChecked(false);
        if (leaf)
            --checkedCount_;
        return true;
    }
    node->SetChecked(state == Qt::Checked);
    return true;
}

void TreeModel::UpdateParentCheckbox(VirtTreeItem* node)
{
    for (; node; node = node->ParentItem()) {
        bool anyChecked = false;
        bool anyUnchecked = false;
        for (VirtTreeItem* child : node->GetChildItems()) {
            if (child->GetChecked())
                anyChecked = true;
            // A parent is checked as soon as one descendant is, so it
            // counts as fully checked only with its own mark set too.
            if (!child->GetChecked() || (child->ChildCount() > 0 && !child->IsCheckAll()))
                anyUnchecked = true;
            if (anyChecked && anyUnchecked)
                break;
        }
        node->SetChecked(anyChecked);
        node->SetCheckAll(!anyUnchecked);
    }
}

template <typename Change> void TreeModel::Relayout(Change change)
{
    emit layoutAboutToBeChanged();
    change();
    // Indexes carry their node; after a reorder their rows are stale.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        VirtTreeItem* node = ItemFromIndex(index);
        after.append(node ? createIndex(node->Row(), index.column(), node) : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void TreeModel::Update()
{
    Relayout([] {});
}

void TreeModel::clear()
{
    beginResetModel();
    root_->RemoveChilds();
    checkedCount_ = 0;
    endResetModel();
}

void TreeModel::RemoveAllItem()
{
    clear();
}

VirtTreeItem* TreeModel::ItemFromIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return nullptr;
    return static_cast<VirtTreeItem*>(index.internalPointer());
}

QModelIndex TreeModel::IndexOf(VirtTreeItem* node) const
{
    if (!node || node == root_ || !node->ParentItem())
        return QModelIndex();
    return createIndex(node->Row(), 0, node);
}

void TreeModel::CheckAllItem()
{
    for (VirtTreeItem* child : root_->GetChildItems()) {
        CheckSubItems(child, Qt::Checked);
        child->SetCheckAll(true);
    }
    Update();
}

void TreeModel::UnCheckAllItem()
{
    for (VirtTreeItem* child : root_->GetChildItems()) {
        CheckSubItems(child, Qt::Unchecked);
        child->SetCheckAll(false);
    }
    Update();
}

void TreeModel::SelectFirstItem()
{
    auto* view = qobject_cast<QTreeView*>(view_);
    if (!view || root_->ChildCount() == 0)
        return;
    const QModelIndex first = index(0, 0);
    if (!first.isValid() || view->isExpanded(first))
        return;
    view->expand(first);
    if (ItemFromIndex(first)->ChildCount() > 0)
        view->setCurrentIndex(index(0, 0, first));
}

} // namespace AUILib
