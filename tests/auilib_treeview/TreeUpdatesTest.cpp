// Switching the tree's updates off and on: the view follows, the batch forms
// leave the setting as they found it, and the column is not refit while
// updates are off.
#include "TreeTestKit.h"

#include <QHeaderView>

using AUILib::TreeItemLast;
using AUILib::TreeView;

namespace {

class TreeUpdatesTest : public treekit::TreeFixture {
protected:
    int ColumnWidth() { return View()->header()->sectionSize(0); }
};

TEST_F(TreeUpdatesTest, ViewFollowsAndBatchesKeepTheSetting)
{
    struct Case {
        const char* name;
        std::function<void(TreeView&)> batch;
    };
    const Case batches[] = {
        {"AddItems",
         [](TreeView& t) {
             TreeView::ItemEntries entries{{L"x", AUILib::any(), -1}};
             t.AddItems(entries);
         }},
        {"InsertItems",
         [this](TreeView& t) {
             TreeView::ItemEntries entries{{L"y", AUILib::any(), -1}, {L"z", AUILib::any(), -1}};
             t.InsertItems(entries, I("B"), TreeItemLast);
         }},
        {"AddSubItems",
         [this](TreeView& t) {
             TreeView::ItemEntries entries{{L"w", AUILib::any(), -1}};
             t.AddSubItems(entries, I("A1"));
         }},
    };
    for (bool enabled : {false, true, false}) {
        tree_->SetUpdatesEnabled(enabled);
        EXPECT_EQ(View()->updatesEnabled(), enabled);
        for (const Case& c : batches) {
            SCOPED_TRACE(std::string(c.name) + (enabled ? " on" : " off"));
            c.batch(*tree_);
            EXPECT_EQ(View()->updatesEnabled(), enabled);
        }
    }
}

TEST_F(TreeUpdatesTest, ColumnIsRefitOnlyWhileUpdatesAreOn)
{
    const std::wstring wide(60, L'W');
    const int before = ColumnWidth();
    tree_->SetUpdatesEnabled(false);
    QStandardItem* added = tree_->InsertItem(wide, nullptr, TreeItemLast);
    tree_->SetItemText(I("B1"), wide + L"!");
    EXPECT_EQ(ColumnWidth(), before);
    tree_->SetUpdatesEnabled(true);
    tree_->SetItemText(added, wide + L"!!");
    EXPECT_GT(ColumnWidth(), before);
}

TEST_F(TreeUpdatesTest, WrappedRowHeightsWaitForUpdates)
{
    tree_->EnableWordWrapText(true);
    tree_->SetUpdatesEnabled(false);
    QStandardItem* item = tree_->InsertItem(L"several words to wrap in a narrow column", nullptr, TreeItemLast);
    EXPECT_FALSE(item->data(Qt::SizeHintRole).isValid());
    tree_->SetUpdatesEnabled(true);
    tree_->SetItemText(item, L"several words to wrap in a narrow column again");
    EXPECT_TRUE(item->data(Qt::SizeHintRole).isValid());
}

TEST_F(TreeUpdatesTest, AfterTheWidgetIsGone)
{
    delete View();
    tree_->SetUpdatesEnabled(false);
    tree_->SetUpdatesEnabled(true);
    EXPECT_EQ(tree_->InsertItem(L"x", nullptr, TreeItemLast), nullptr);
}

} // namespace
