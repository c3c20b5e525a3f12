// The tree control in virtual mode: the switch between the models, the
// operations on nodes, and the handlers connected once per switch.
#include "TreeTestKit.h"

#include "PngBytes.h"
#include "SignalRecorder.h"
#include "TreeModel.h"
#include "VirtTreeItem.h"

#include <QItemSelectionModel>

using AUILib::VirtTreeItem;

namespace {

class TreeVirtualFixture : public treekit::TreeFixture {
protected:
    void SetUp() override
    {
        TreeFixture::SetUp();
        tree_->SetVirtualMode(true);
        ASSERT_TRUE(tree_->IsVirtualModeEnabled());
        FillVirtual();
    }

    // V0 (V0a (V0a1, V0a2), V0b), V1 (V1a)
    void FillVirtual()
    {
        auto& t = *tree_;
        v0 = t.AddVirtualTreeItem(L"V0", nullptr);
        v0a = t.AddVirtualTreeItem(L"V0a", v0);
        v0a1 = t.AddVirtualTreeItem(L"V0a1", v0a, AUILib::any(1));
        v0a2 = t.AddVirtualTreeItem(L"V0a2", v0a);
        v0b = t.AddVirtualTreeItem(L"V0b", v0);
        v1 = t.AddVirtualTreeItem(L"V1", nullptr);
        v1a = t.AddVirtualTreeItem(L"V1a", v1);
        t.UpdateVirtualView();
    }

    AUILib::TreeModel* VModel() { return qobject_cast<AUILib::TreeModel*>(View()->model()); }
    QModelIndex IndexOf(VirtTreeItem* node) { return VModel()->IndexOf(node); }

    VirtTreeItem *v0 = nullptr, *v0a = nullptr, *v0a1 = nullptr, *v0a2 = nullptr, *v0b = nullptr, *v1 = nullptr,
                 *v1a = nullptr;
};

TEST_F(TreeVirtualFixture, NodesThroughTheControl)
{
    auto& t = *tree_;
    EXPECT_EQ(t.AddVirtualTreeItem(L"", nullptr), nullptr);
    EXPECT_EQ(t.ChildCount(t.RootItem()), 2);
    EXPECT_EQ(t.GetLevel(v0), 0);
    EXPECT_EQ(t.GetLevel(v0a), 1);
    EXPECT_EQ(t.GetLevel(v0a1), 2);
    EXPECT_EQ(t.GetLevel(nullptr), -1);
    EXPECT_EQ(t.GetParentItem(v0), t.RootItem());
    EXPECT_EQ(t.GetChildItem(v0a, 1), v0a2);
    EXPECT_EQ(AUILib::any_cast<int>(t.GetItemData(v0a1)), 1);
    EXPECT_FALSE(t.SetItemData(v0a1, AUILib::any()));
    EXPECT_EQ(AUILib::any_cast<int>(t.GetItemData(v0a1)), 1);
    EXPECT_TRUE(t.SetItemText(v1a, L"renamed"));
    EXPECT_EQ(t.GetItemText(v1a), L"renamed");
    // Standard-mode operations are off in virtual mode.
    EXPECT_EQ(t.InsertItem(L"x", nullptr, AUILib::TreeItemLast), nullptr);
    EXPECT_EQ(t.Count(), 0);
}

TEST_F(TreeVirtualFixture, ExpandingANestedNodeExpandsThatNode)
{
    tree_->SetExpanded(v0, true);
    tree_->SetExpanded(v0a2, true);   // a leaf: nothing to open, but not V1 either
    tree_->SetExpanded(v0a, true);
    EXPECT_TRUE(tree_->IsExpanded(v0a));
    EXPECT_FALSE(tree_->IsExpanded(v1));   // V1 sits at V0a's row under the root
    tree_->SetExpanded(v0a, false);
    EXPECT_FALSE(tree_->IsExpanded(v0a));
    EXPECT_TRUE(tree_->IsExpanded(v0));
}

TEST_F(TreeVirtualFixture, CheckBoxesThroughTheControl)
{
    auto& t = *tree_;
    v0->SetChecked(true);
    EXPECT_FALSE(t.GetCheck(v0));   // boxes off
    EXPECT_FALSE(VModel()->data(IndexOf(v0), Qt::CheckStateRole).isValid());
    t.EnableVirtualItemCheckboxes(true);
    t.SetCheckAllVirtualItems(false);
    VModel()->setData(IndexOf(v0), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(t.GetCheck(v0a1));
    EXPECT_FALSE(t.GetCheck(v1));
    EXPECT_FALSE(t.IsCheckedAllVirtualItems());
    VModel()->setData(IndexOf(v1), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(t.IsCheckedAllVirtualItems());
    // A child off and on again: everything is checked, so all is.
    VModel()->setData(IndexOf(v0b), Qt::Checked, Qt::CheckStateRole);
    EXPECT_FALSE(t.IsCheckedAllVirtualItems());
    VModel()->setData(IndexOf(v0b), Qt::Checked, Qt::CheckStateRole);
    EXPECT_TRUE(t.GetCheck(v0b));
    EXPECT_TRUE(t.IsCheckedAllVirtualItems());
    t.SetCheck(v1a, false, false);
    EXPECT_FALSE(t.GetCheck(v1a));
    EXPECT_TRUE(t.GetCheck(v1));   // parents are not recomputed here
    t.SetCheckAllVirtualItems(true);
    EXPECT_TRUE(t.GetCheck(v1a));
    t.RemoveAllVirtualItems();
    EXPECT_TRUE(t.IsCheckedAllVirtualItems());   // an empty tree
}

TEST_F(TreeVirtualFixture, RemovingAllAfterSelectAndExpandForgetsTheNodes)
{
    tree_->SetExpanded(v0, true);
    View()->selectionModel()->select(IndexOf(v0a), QItemSelectionModel::ClearAndSelect);
    tree_->SetCurrentVirtualItem(v0b);
    EXPECT_EQ(tree_->CurrentVirtualItem(), v0b);
    tree_->RemoveAllVirtualItems();
    EXPECT_EQ(tree_->CurrentVirtualItem(), nullptr);
    EXPECT_FALSE(View()->currentIndex().isValid());
    window_->repaint();
    VModel()->RemoveAllItem();
    FillVirtual();
    EXPECT_EQ(tree_->ChildCount(tree_->RootItem()), 2);
    View()->grab();
}

TEST_F(TreeVirtualFixture, HandlersFireOnceAfterEverySwitch)
{
    auto& t = *tree_;
    // A connection the application made to the view itself survives.
    int ownExpands = 0;
    QObject::connect(View(), &QTreeView::expanded, [&ownExpands] { ++ownExpands; });
    const QByteArray png = PngBytes();
    const auto* bytes = reinterpret_cast<const unsigned char*>(png.constData());
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        if (round > 0) {
            const QPointer<QItemSelectionModel> replaced = View()->selectionModel();
            t.SetVirtualMode(false);
            EXPECT_FALSE(t.IsVirtualModeEnabled());
            EXPECT_EQ(t.RootItem(), nullptr);
            EXPECT_NE(t.InsertItem(L"standard", nullptr, AUILib::TreeItemLast), nullptr);
            t.SetVirtualMode(true);
            EXPECT_TRUE(replaced.isNull());
            EXPECT_EQ(t.Count(), 0);
            FillVirtual();
        }
        SignalRecorder<VirtTreeItem*> clicked(t.OnVirtualItemClicked);
        SignalRecorder<VirtTreeItem*> expanded(t.OnVirtualItemExpanded);
        SignalRecorder<VirtTreeItem*> selected(t.OnVirtualSelectionChanged);
        SignalRecorder<QStandardItem*> standardExpanded(t.OnItemExpanded);
        const int ownBefore = ownExpands;
        t.SetExpanded(v0, true);
        emit View()->clicked(IndexOf(v0a));
        View()->selectionModel()->select(IndexOf(v1), QItemSelectionModel::ClearAndSelect);
        EXPECT_EQ(expanded.Count(), 1u);
        EXPECT_EQ(std::get<0>(expanded.Last()), v0);
        EXPECT_EQ(clicked.Count(), 1u);
        EXPECT_EQ(std::get<0>(clicked.Last()), v0a);
        EXPECT_EQ(selected.Count(), 1u);
        EXPECT_EQ(t.CurrentVirtualItem(), v1);
        EXPECT_EQ(standardExpanded.Count(), 0u);
        EXPECT_EQ(ownExpands, ownBefore + 1);
        // Each switch starts a new picture cache.
        EXPECT_EQ(t.AddPicture(v0, bytes, png.size(), AUILib::ImagePNG, 16, AUILib::BitmapDefault), 1);
    }
}

TEST_F(TreeVirtualFixture, OperationsOfTheOtherModeAreRefused)
{
    auto& t = *tree_;
    t.SetVirtualMode(false);
    EXPECT_EQ(t.AddVirtualTreeItem(L"x", nullptr), nullptr);
    EXPECT_EQ(t.GetLevel(v0), -1);   // the node is gone; never read
    EXPECT_FALSE(t.SetSortFunc(AUILib::TreeView::VirtualSortCallback(
        [](VirtTreeItem*, VirtTreeItem*) { return false; })));
    EXPECT_TRUE(t.SetSortFunc(AUILib::TreeView::SortCallback(
        [](std::wstring, AUILib::any, std::wstring, AUILib::any) { return false; })));
    t.SetVirtualMode(true);
    EXPECT_FALSE(t.SetSortFunc(AUILib::TreeView::SortCallback(
        [](std::wstring, AUILib::any, std::wstring, AUILib::any) { return false; })));
}

TEST_F(TreeVirtualFixture, DestroyedControlLeavesAPlainView)
{
    QPointer<AUILib::TreeViewQt> view = View();
    tree_->SetExpanded(v0, true);
    tree_.reset();
    ASSERT_FALSE(view.isNull());
    emit view->clicked(view->model()->index(0, 0));
    view->expand(view->model()->index(1, 0));
    view->grab();
}

} // namespace
