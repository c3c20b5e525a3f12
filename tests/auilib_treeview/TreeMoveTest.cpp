// Moving items as an internal drop does: the subtree is copied through the
// control and the source removed. Called directly, since the offscreen
// platform cannot drag.
#include "TreeTestKit.h"

#include "SignalRecorder.h"

#include <QPixmap>

using AUILib::TreeView;
using treekit::Nested;

namespace {

class TreeMoveTest : public treekit::TreeFixture {
protected:
    std::vector<QStandardItem*> Items(std::initializer_list<const char*> names)
    {
        std::vector<QStandardItem*> items;
        for (const char* name : names)
            items.push_back(I(name));
        return items;
    }
};

TEST_F(TreeMoveTest, MovesAndRefusals)
{
    struct Case {
        std::initializer_list<const char*> items;
        const char* reference;   // "" for none
        bool asChild;
        const char* expected;    // "" when refused
        const char* copies;
    };
    const Case cases[] = {
        {{"B1"}, "A2", false, "A(A1(A1a),A2,B1),B(B2)", "B1"},
        {{"B1"}, "A", true, "A(B1,A1(A1a),A2),B(B2)", "B1"},
        {{"A1", "A1a"}, "B2", false, "A(A2),B(B1,B2,A1(A1a))", "A1"},   // the child goes with its parent
        {{"B2", "B1"}, "", false, "B2,B1,A(A1(A1a),A2),B", "B2,B1"},
        {{"A1a"}, "B", true, "A(A1,A2),B(A1a,B1,B2)", "A1a"},
        {{"A"}, "A1a", true, "", ""},    // into its own subtree
        {{"A"}, "A1", false, "", ""},    // beside an item inside itself
        {{"A1"}, "A1", true, "", ""},    // onto itself
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        tree_->RemoveAllItems(false);
        items_.clear();
        Fill();
        tree_->SetMultiSelection(true);   // every copy stays selected
        SignalRecorder<QStandardItem*, std::vector<QStandardItem*>&, bool> about(tree_->OnItemsAboutToMove);
        SignalRecorder<QStandardItem*, std::vector<QStandardItem*>&, bool> moved(tree_->OnItemsMoved);
        QStandardItem* reference = std::string(c.reference).empty() ? nullptr : I(c.reference);
        const bool done = View()->MoveItems(Items(c.items), reference, c.asChild);
        if (std::string(c.expected).empty()) {
            EXPECT_FALSE(done);
            EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2)");
            EXPECT_EQ(about.Count(), 0u);
            EXPECT_EQ(moved.Count(), 0u);
            continue;
        }
        EXPECT_TRUE(done);
        EXPECT_EQ(Nested(*tree_), c.expected);
        ASSERT_EQ(about.Count(), 1u);
        ASSERT_EQ(moved.Count(), 1u);
        const auto last = moved.Last();
        EXPECT_EQ(std::get<0>(last), reference);
        EXPECT_EQ(std::get<2>(last), !c.asChild);
        std::list<QStandardItem*> copies(std::get<1>(last).begin(), std::get<1>(last).end());
        EXPECT_EQ(Names(copies), c.copies);
        for (QStandardItem* copy : copies)
            EXPECT_TRUE(tree_->IsSelectedItem(copy));
        EXPECT_EQ(tree_->Count(), 7);
    }
}

TEST_F(TreeMoveTest, CopiesKeepTextIconCheckableAndOrderButNotTheCheck)
{
    tree_->SetCheckMode(2);
    tree_->SetCheck(I("A"), true);
    QPixmap pixmap(8, 8);
    pixmap.fill(Qt::red);
    I("A")->setIcon(QIcon(pixmap));
    SignalRecorder<QStandardItem*, std::vector<QStandardItem*>&, bool> moved(tree_->OnItemsMoved);
    ASSERT_TRUE(View()->MoveItems(Items({"A"}), I("B"), true));
    QStandardItem* copy = std::get<1>(moved.Last()).at(0);
    EXPECT_EQ(Nested(*tree_), "B(A(A1(A1a),A2),B1,B2)");
    EXPECT_EQ(tree_->GetItemText(copy), L"A");
    EXPECT_FALSE(copy->icon().isNull());
    EXPECT_TRUE(copy->isCheckable());
    EXPECT_FALSE(tree_->GetCheck(copy));
    EXPECT_NE(dynamic_cast<AUILib::CustStandardItem*>(copy), nullptr);
    EXPECT_TRUE(tree_->IsExpanded(I("B")));
}

TEST_F(TreeMoveTest, CopyReportsItsOwnPreviousText)
{
    SignalRecorder<QStandardItem*, std::vector<QStandardItem*>&, bool> moved(tree_->OnItemsMoved);
    ASSERT_TRUE(View()->MoveItems(Items({"B2"}), I("A"), true));
    QStandardItem* copy = std::get<1>(moved.Last()).at(0);
    SignalRecorder<QStandardItem*, std::wstring, std::wstring> edited(tree_->OnItemTextEdited);
    tree_->SetItemText(copy, L"renamed");
    ASSERT_EQ(edited.Count(), 1u);
    EXPECT_EQ(std::get<1>(edited.Last()), L"B2");
    EXPECT_EQ(std::get<2>(edited.Last()), L"renamed");
}

TEST_F(TreeMoveTest, CanMoveCallbackDecides)
{
    int asked = 0;
    tree_->SetDragAndDropCanMove([&asked](QStandardItem*, std::vector<QStandardItem*>&, bool) {
        ++asked;
        return false;
    });
    EXPECT_FALSE(View()->MoveItems(Items({"B1"}), I("A2"), false));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2)");
}

TEST_F(TreeMoveTest, HandlerThatDestroysTheControl)
{
    tree_->OnItemsAboutToMove.Connect([this](QStandardItem*, std::vector<QStandardItem*>&, bool) { tree_.reset(); });
    AUILib::TreeViewQt* view = View();
    EXPECT_FALSE(view->MoveItems(Items({"B1"}), I("A2"), false));
    EXPECT_EQ(tree_, nullptr);
}

} // namespace
