// Values attached to items: ids in the item's model, never reused.
#include "TreeTestKit.h"

#include "SignalRecorder.h"

using AUILib::any;
using AUILib::any_cast;
using AUILib::TreeItemLast;

namespace {

class TreeItemDataTest : public treekit::TreeFixture {
protected:
    int IdOf(QStandardItem* item) { return item->data(Qt::UserRole).toInt(); }
};

TEST_F(TreeItemDataTest, SetGetRemove)
{
    QStandardItem* item = tree_->InsertItem(L"D", nullptr, TreeItemLast, any(std::string("first")));
    EXPECT_EQ(any_cast<std::string>(tree_->GetItemData(item)), "first");
    const int firstId = IdOf(item);
    EXPECT_FALSE(tree_->SetItemData(item, any()));   // empty: refused, old value kept
    EXPECT_EQ(any_cast<std::string>(tree_->GetItemData(item)), "first");
    EXPECT_TRUE(tree_->SetItemData(item, any(42)));
    EXPECT_EQ(any_cast<int>(tree_->GetItemData(item)), 42);
    EXPECT_NE(IdOf(item), firstId);
    EXPECT_TRUE(tree_->RemoveItemData(item));
    EXPECT_FALSE(tree_->GetItemData(item).has_value());
    EXPECT_FALSE(tree_->RemoveItemData(item));
    EXPECT_EQ(IdOf(item), -1);
    EXPECT_FALSE(tree_->RemoveItemData(I("A")));   // never had one
    EXPECT_EQ(IdOf(I("A")), -1);
}

TEST_F(TreeItemDataTest, IdsAreFreshAfterRemoveAllItems)
{
    QStandardItem* before = tree_->AddItem(L"old", any(std::string("old value")));
    const int oldId = IdOf(before);
    tree_->RemoveAllItems(false);
    QStandardItem* after = tree_->AddItem(L"new");
    EXPECT_FALSE(tree_->GetItemData(after).has_value());
    tree_->SetItemData(after, any(std::string("new value")));
    EXPECT_GT(IdOf(after), oldId);
    EXPECT_EQ(Impl()->itemData.Size(), 1u);
}

TEST_F(TreeItemDataTest, RemovedSubtreesLeaveNoValues)
{
    tree_->SetItemData(I("A"), any(1));
    tree_->SetItemData(I("A1a"), any(2));
    tree_->SetItemData(I("B1"), any(3));
    tree_->RemoveItem(I("A"));
    EXPECT_EQ(Impl()->itemData.Size(), 1u);
    // A move frees the sources' values and gives the copies their own.
    tree_->SetMultiSelection(true);
    SignalRecorder<QStandardItem*, std::vector<QStandardItem*>&, bool> moved(tree_->OnItemsMoved);
    ASSERT_TRUE(View()->MoveItems({I("B1")}, I("B2"), false));
    QStandardItem* copy = std::get<1>(moved.Last()).at(0);
    EXPECT_EQ(any_cast<int>(tree_->GetItemData(copy)), 3);
    EXPECT_EQ(Impl()->itemData.Size(), 1u);
}

} // namespace
