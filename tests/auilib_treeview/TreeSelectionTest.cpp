// Selection through the widget: plain, Ctrl and Shift clicks, Shift+arrow
// ranges, and the order in which selection changes are reported.
#include "TreeTestKit.h"

#include "SignalRecorder.h"

using AUILib::TreeItemLast;
using AUILib::TreeView;

namespace {

class TreeSelectionTest : public treekit::TreeFixture {
protected:
    void SetUp() override
    {
        TreeFixture::SetUp();
        items_["B3"] = tree_->InsertItem(L"B3", I("B"), TreeItemLast);
        items_["B4"] = tree_->InsertItem(L"B4", I("B"), TreeItemLast);
        ExpandAll();
    }
    // Sorted: the selection model keeps no useful order.
    std::string Selected()
    {
        std::list<QStandardItem*> items = tree_->SelectedItems();
        items.sort([](QStandardItem* a, QStandardItem* b) { return a->text() < b->text(); });
        return Names(items);
    }
};

TEST_F(TreeSelectionTest, DeselectionsComeFirstAndSeeAnEmptySelection)
{
    std::vector<std::string> log;
    tree_->OnItemSelectionChanged.Connect([this, &log](QStandardItem* item) {
        log.push_back(item->text().toStdString() + " [" + Selected() + "]");
    });
    Click(TextPoint(I("A1")));
    Click(TextPoint(I("B2")));
    EXPECT_EQ(log, (std::vector<std::string>{"A1 [A1]", "A1 []", "B2 [B2]"}));
    EXPECT_TRUE(tree_->IsSelectedItem(I("B2")));
    EXPECT_FALSE(tree_->IsSelectedItem(I("A1")));
}

TEST_F(TreeSelectionTest, CtrlClicks)
{
    tree_->SetMultiSelection(true);
    Click(TextPoint(I("A")));
    Click(TextPoint(I("B1")), Qt::ControlModifier);
    EXPECT_EQ(Selected(), "A,B1");

    SignalRecorder<> began(tree_->OnSelectionBegin);
    SignalRecorder<> ended(tree_->OnSelectionEnd);
    SignalRecorder<QStandardItem*> changed(tree_->OnItemSelectionChanged);
    SignalRecorder<QStandardItem*> clicked(tree_->OnItemClicked);
    // On a child of a selected item: only the beginning is reported.
    Click(TextPoint(I("A1")), Qt::ControlModifier);
    EXPECT_EQ(Selected(), "A,B1");
    EXPECT_EQ(began.Count(), 1u);
    EXPECT_EQ(ended.Count(), 0u);
    EXPECT_EQ(changed.Count(), 0u);
    // On a selected item: deselected, reported once by the widget.
    Click(TextPoint(I("B1")), Qt::ControlModifier);
    EXPECT_EQ(Selected(), "A");
    ASSERT_EQ(changed.Count(), 1u);
    EXPECT_EQ(std::get<0>(changed.Last()), I("B1"));
    EXPECT_EQ(std::get<0>(clicked.Last()), I("B1"));
    EXPECT_EQ(ended.Count(), 1u);
    // Selecting a parent drops its selected descendants.
    Click(TextPoint(I("B2")), Qt::ControlModifier);
    Click(TextPoint(I("B")), Qt::ControlModifier);
    EXPECT_EQ(Selected(), "A,B");
}

TEST_F(TreeSelectionTest, ShiftArrowsGrowThenShrinkTheRange)
{
    tree_->SetMultiSelection(true);
    Click(TextPoint(I("B1")));
    SignalRecorder<> began(tree_->OnSelectionBegin);
    QTest::keyClick(View(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(View(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "B1,B2,B3");
    QTest::keyClick(View(), Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "B1,B2");
    QTest::keyClick(View(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(View(), Qt::Key_Up, Qt::ShiftModifier);   // past the first sibling: nothing new
    EXPECT_EQ(Selected(), "B1");
    EXPECT_EQ(began.Count(), 5u);
}

TEST_F(TreeSelectionTest, ShiftClickSelectsSiblingsOnly)
{
    tree_->SetMultiSelection(true);
    Click(TextPoint(I("B1")));
    Click(TextPoint(I("B3")), Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "B1,B2,B3");
    SignalRecorder<QStandardItem*> clicked(tree_->OnItemClicked);
    Click(TextPoint(I("A1")), Qt::ShiftModifier);   // another parent: nothing
    EXPECT_EQ(Selected(), "B1,B2,B3");
    EXPECT_EQ(clicked.Count(), 0u);
}

TEST_F(TreeSelectionTest, SingleSelectionKeepsTheLastClickedItem)
{
    tree_->SetMultiSelection(true);
    Click(TextPoint(I("A")));
    Click(TextPoint(I("B")), Qt::ControlModifier);
    Click(TextPoint(I("B2")), Qt::NoModifier);
    tree_->SelectItem(I("A"), true);
    EXPECT_EQ(Selected(), "A,B2");
    tree_->SetMultiSelection(false);
    EXPECT_EQ(Selected(), "B2");
    tree_->SelectItem(I("B2"), false);
    EXPECT_EQ(Selected(), "");
}

TEST_F(TreeSelectionTest, PlainCtrlClickWithoutCheckBoxesFiresNothingFromTheClickHandler)
{
    tree_->SetMultiSelection(true);
    SignalRecorder<> ended(tree_->OnSelectionEnd);
    SignalRecorder<QStandardItem*> clicked(tree_->OnItemClicked);
    Click(TextPoint(I("A")), Qt::ControlModifier);
    // The widget reports the Ctrl-click once; the click handler adds nothing.
    EXPECT_EQ(clicked.Count(), 1u);
    EXPECT_EQ(ended.Count(), 1u);
}

TEST_F(TreeSelectionTest, RightClickReports)
{
    SignalRecorder<QStandardItem*> right(tree_->OnItemRightClicked);
    Click(TextPoint(I("B3")), Qt::NoModifier, Qt::RightButton);
    ASSERT_EQ(right.Count(), 1u);
    EXPECT_EQ(std::get<0>(right.Last()), I("B3"));
    Click(QPoint(5, View()->viewport()->height() - 3), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(right.Count(), 1u);
}

TEST_F(TreeSelectionTest, SelectionHandlerThatDestroysTheControl)
{
    tree_->SetMultiSelection(true);
    tree_->OnItemClicked.Connect([this](QStandardItem*) { tree_.reset(); });
    Click(TextPoint(I("B1")), Qt::ControlModifier);
    EXPECT_EQ(tree_, nullptr);
    QTest::keyClick(window_->findChild<QTreeView*>(), Qt::Key_Down, Qt::ShiftModifier);
}

} // namespace
