// Every item the control keeps a pointer to (range anchor and end, clicked
// and edited items, tracked selection, tooltips) is forgotten when its rows
// go, however they go. Under ASan a stale pointer fails the test.
#include "TreeTestKit.h"

#include "Edit.h"

#include <functional>

using AUILib::TreeItemLast;
using treekit::Nested;

namespace {

class TreeDanglingTest : public treekit::TreeFixture {
protected:
    // A Shift range, the label editor, a tooltip and tracked items, all on
    // the grandchildren of A.
    void OpenEverythingUnderA()
    {
        tree_->SetCheckMode(1);
        items_["A1b"] = tree_->InsertItem(L"A1b", I("A1"), TreeItemLast);
        items_["A1c"] = tree_->InsertItem(L"A1c", I("A1"), TreeItemLast);
        ExpandAll();
        Click(CheckPoint(I("A1a")));
        Click(TextPoint(I("A1c")), Qt::ShiftModifier);
        ASSERT_EQ(Impl()->anchorItem, I("A1a"));
        ASSERT_EQ(Impl()->lastClickedItem, I("A1c"));
        ASSERT_FALSE(Impl()->trackedSelection.empty());
        tree_->SetItemTooltip(I("A1a"), L"a tooltip long enough to be wrapped again at two hundred pixels");
        ASSERT_NE(tree_->EditLabel(I("A1b")), nullptr);
    }
};

TEST_F(TreeDanglingTest, GrandparentGoes)
{
    struct Case {
        const char* name;
        std::function<void()> remove;
    };
    const Case cases[] = {
        {"RemoveItem", [this] { EXPECT_TRUE(tree_->RemoveItem(I("A"))); }},
        {"MoveItems", [this] { EXPECT_TRUE(View()->MoveItems({I("A")}, I("B"), true)); }},
        {"RemoveAllItems",
         [this] {
             EXPECT_TRUE(tree_->RemoveAllItems(true));
             items_.clear();
             Fill();
             ExpandAll();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree_->RemoveAllItems(false);
        items_.clear();
        Fill();
        QTest::keyRelease(View(), Qt::Key_Shift);
        OpenEverythingUnderA();
        c.remove();
        // Every kept pointer is null or names a live item of the model.
        for (QStandardItem* kept : {Impl()->anchorItem, Impl()->lastClickedItem, Impl()->editedItem, Impl()->clickItem})
            EXPECT_TRUE(!kept || Impl()->IndexOf(kept).isValid());
        EXPECT_TRUE(Impl()->tooltips.empty());
        // And everything that reads them runs on.
        ExpandAll();
        Click(TextPoint(I("B1")), Qt::ShiftModifier);
        Click(CheckPoint(I("B2")), Qt::ShiftModifier);
        tree_->SetMultiSelection(false);
        tree_->SetItemToolTipMaxWidth(200);
        tree_->EndEditLabel(true);
        tree_->SetMultiSelection(true);
        QTest::keyRelease(View(), Qt::Key_Shift);
        EXPECT_EQ(tree_->Count() >= 3, true);
    }
}

TEST_F(TreeDanglingTest, PressedItemOfTheWidgetGoes)
{
    tree_->SetMultiSelection(true);
    tree_->EnableRowsDragAndDrop(true);
    ExpandAll();
    Click(TextPoint(I("A1a")));
    Click(TextPoint(I("A2")), Qt::ControlModifier);
    ASSERT_EQ(View()->PressedItem(), I("A2"));
    tree_->RemoveItem(I("A"));
    EXPECT_EQ(View()->PressedItem(), nullptr);
    EXPECT_TRUE(Impl()->trackedSelection.empty());
    Click(TextPoint(I("B1")));
    EXPECT_EQ(Names(tree_->SelectedItems()), "B1");
}

} // namespace
