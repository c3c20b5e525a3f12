// Check boxes: the spread of a box click through the tree and Shift ranges
// of siblings in check mode 1, clicked at the style's check rectangles.
#include "TreeTestKit.h"

#include "SignalRecorder.h"

using AUILib::TreeItemLast;
using AUILib::TreeView;

namespace {

class TreeCheckTest : public treekit::TreeFixture {
protected:
    void SetUp() override
    {
        TreeFixture::SetUp();
        tree_->SetCheckMode(1);
        ExpandAll();
    }
    // Six siblings c1..c6 under P, one child under Q.
    void AddSiblings()
    {
        items_["P"] = tree_->InsertItem(L"P", nullptr, TreeItemLast);
        for (int i = 1; i <= 6; ++i) {
            const std::string name = "c" + std::to_string(i);
            items_[name] = tree_->InsertItem(std::wstring(name.begin(), name.end()), I("P"), TreeItemLast);
        }
        items_["Q"] = tree_->InsertItem(L"Q", nullptr, TreeItemLast);
        items_["q1"] = tree_->InsertItem(L"q1", I("Q"), TreeItemLast);
        ExpandAll();
    }
    std::string Six() { return Checks({"c1", "c2", "c3", "c4", "c5", "c6"}); }
    std::string Tracked()
    {
        std::list<QStandardItem*> tracked(Impl()->trackedSelection.begin(), Impl()->trackedSelection.end());
        return Names(tracked);
    }
};

TEST_F(TreeCheckTest, CheckModeMakesItemsCheckableAndExcludesDragAndDrop)
{
    EXPECT_EQ(tree_->GetCheckMode(), 1);
    EXPECT_TRUE(I("A1a")->isCheckable());
    EXPECT_TRUE(tree_->IsSetMultiSelection());
    EXPECT_TRUE(tree_->InsertItem(L"new", I("B"), TreeItemLast)->isCheckable());
    EXPECT_FALSE(tree_->EnableRowsDragAndDrop(true));
    EXPECT_FALSE(tree_->IsEnableRowsDragAndDrop());
    tree_->SetCheckMode(0);
    EXPECT_FALSE(I("A1a")->isCheckable());
    EXPECT_TRUE(tree_->IsSetMultiSelection());
}

TEST_F(TreeCheckTest, PartialStateReadsAsChecked)
{
    I("B1")->setData(Qt::PartiallyChecked, Qt::CheckStateRole);
    EXPECT_TRUE(tree_->GetCheck(I("B1")));
    tree_->SetCheck(I("B2"), true);
    EXPECT_EQ(Names(tree_->CheckedItems()), "B1,B2");
}

TEST_F(TreeCheckTest, BoxClicksSpreadDownAndUp)
{
    SignalRecorder<QStandardItem*> checkClicked(tree_->OnItemCheckClicked);
    SignalRecorder<QStandardItem*> clicked(tree_->OnItemClicked);
    const std::initializer_list<const char*> all = {"A", "A1", "A1a", "A2", "B", "B1", "B2"};

    Click(CheckPoint(I("A")));   // a parent: all its descendants follow
    EXPECT_EQ(Checks(all), "1111000");
    Click(CheckPoint(I("A2")));  // an uncheck: the parent follows
    EXPECT_EQ(Checks(all), "0110000");
    Click(CheckPoint(I("A2")));  // the last unchecked child: the parent follows
    EXPECT_EQ(Checks(all), "1111000");
    Click(CheckPoint(I("B1")));  // not yet all children
    EXPECT_EQ(Checks(all), "1111010");
    Click(CheckPoint(I("B2")));
    EXPECT_EQ(Checks(all), "1111111");

    ASSERT_EQ(checkClicked.Count(), 5u);
    EXPECT_EQ(std::get<0>(checkClicked.Records()[0]), I("A"));
    EXPECT_EQ(clicked.Count(), 0u);   // no OnItemClicked without Shift
    EXPECT_EQ(Names(tree_->CheckedItems()), "A,A1,A1a,A2,B,B1,B2");
}

TEST_F(TreeCheckTest, ShiftRangesOfSiblings)
{
    AddSiblings();
    struct Step {
        const char* item;
        bool onBox;
        bool shift;
        const char* checks;
    };
    // Each table opens a range at the first (plain) box click.
    const std::vector<std::vector<Step>> tables = {
        // extend, then shrink
        {{"c1", true, false, "100000"}, {"c4", false, true, "111100"}, {"c6", false, true, "111111"},
         {"c3", false, true, "111000"}},
        // cross: from a middle anchor to the other side
        {{"c3", true, false, "001000"}, {"c5", false, true, "001110"}, {"c1", false, true, "111000"}},
        // a box Shift-click extends like a text one
        {{"c2", true, false, "010000"}, {"c4", true, true, "011100"}},
    };
    for (size_t t = 0; t < tables.size(); ++t) {
        SCOPED_TRACE(t);
        for (const char* name : {"c1", "c2", "c3", "c4", "c5", "c6"})
            tree_->SetCheck(I(name), false);
        QTest::keyRelease(View(), Qt::Key_Shift);   // closes any range
        for (const Step& step : tables[t]) {
            SCOPED_TRACE(step.item);
            const QPoint at = step.onBox ? CheckPoint(I(step.item)) : TextPoint(I(step.item));
            Click(at, step.shift ? Qt::ShiftModifier : Qt::NoModifier);
            EXPECT_EQ(Six(), step.checks);
        }
    }
    EXPECT_EQ(Tracked(), "c3");   // c4 was checked by its own box
    // Releasing Shift closes the range.
    QTest::keyRelease(View(), Qt::Key_Shift);
    EXPECT_EQ(Tracked(), "");
    EXPECT_EQ(Impl()->anchorItem, nullptr);
}

TEST_F(TreeCheckTest, ShiftClickUnderAnotherParentChangesNothingButReports)
{
    AddSiblings();
    SignalRecorder<QStandardItem*> clicked(tree_->OnItemClicked);
    SignalRecorder<> ended(tree_->OnSelectionEnd);
    Click(CheckPoint(I("c2")));
    Click(TextPoint(I("q1")), Qt::ShiftModifier);
    EXPECT_EQ(Six(), "010000");
    EXPECT_FALSE(tree_->GetCheck(I("q1")));
    ASSERT_EQ(clicked.Count(), 1u);
    EXPECT_EQ(std::get<0>(clicked.Last()), I("q1"));
    EXPECT_EQ(ended.Count(), 1u);
}

TEST_F(TreeCheckTest, OtherCheckModesDoNotSpread)
{
    tree_->SetCheckMode(2);
    SignalRecorder<QStandardItem*> clicked(tree_->OnItemClicked);
    SignalRecorder<> ended(tree_->OnSelectionEnd);
    Click(CheckPoint(I("A")));
    EXPECT_EQ(Checks({"A", "A1", "A2"}), "100");
    EXPECT_EQ(clicked.Count(), 1u);
    EXPECT_EQ(ended.Count(), 1u);
}

TEST_F(TreeCheckTest, CheckHandlerThatRemovesTheItemOrDestroysTheControl)
{
    tree_->OnItemCheckClicked.Connect([this](QStandardItem* item) { tree_->RemoveItem(item); });
    Click(CheckPoint(I("A1")));
    EXPECT_EQ(treekit::Nested(*tree_), "A(A2),B(B1,B2)");
    tree_->OnItemCheckClicked.DisconnectAll();
    tree_->OnItemCheckClicked.Connect([this](QStandardItem*) { tree_.reset(); });
    Click(CheckPoint(I("B")));
    EXPECT_EQ(tree_, nullptr);
}

} // namespace
