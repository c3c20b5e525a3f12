// Sorting with the caller's comparison, in both modes: only the chosen
// level (or subtree) moves, and the view keeps its selection, current
// index and expansion on the same items.
#include "TreeTestKit.h"

#include "TreeModel.h"
#include "VirtTreeItem.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include <functional>
#include <set>
#include <utility>
#include <vector>

using AUILib::any;
using AUILib::VirtTreeItem;

namespace {

class TreeSortFixture : public treekit::TreeFixture {
protected:
    // Descending by text, recording every (text, data) the callback saw.
    void SortDescending(QStandardItem* root, bool recursive)
    {
        tree_->SetSortFunc(AUILib::TreeView::SortCallback(
            [this](std::wstring left, any leftData, std::wstring right, any rightData) {
                seen_.insert({QString::fromStdWString(left).toStdString(), DataText(leftData)});
                seen_.insert({QString::fromStdWString(right).toStdString(), DataText(rightData)});
                return left > right;
            }));
        tree_->SortChildren(root, recursive);
    }
    static std::string DataText(const any& value)
    {
        return value.has_value() ? std::to_string(AUILib::any_cast<int>(value)) : "-";
    }
    std::string Seen()
    {
        std::string out;
        for (const auto& pair : seen_)
            out += (out.empty() ? "" : " ") + pair.first + "=" + pair.second;
        return out;
    }
    std::set<std::pair<std::string, std::string>> seen_;
};

TEST_F(TreeSortFixture, ScopeDecidesWhatMoves)
{
    struct Case {
        const char* root;   // null: the top level
        bool recursive;
        const char* tree;
        const char* seen;
    } cases[] = {
        {nullptr, false, "B(B1,B2),A(A1(A1a),A2)", "A=- B=7"},
        {"A", false, "B(B1,B2),A(A2,A1(A1a))", "A1=- A2=-"},
        {"A", true, "B(B1,B2),A(A2,A1(A1a))", "A1=- A2=-"},
        {"B", true, "B(B2,B1),A(A2,A1(A1a))", "B1=- B2=-"},
    };
    tree_->SetItemData(I("B"), any(7));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.root ? c.root : "null") + (c.recursive ? " recursive" : ""));
        seen_.clear();
        SortDescending(c.root ? I(c.root) : nullptr, c.recursive);
        EXPECT_EQ(treekit::Nested(*tree_), c.tree);
        EXPECT_EQ(Seen(), c.seen);
    }
    // The whole tree from the top.
    SortDescending(nullptr, true);
    EXPECT_EQ(treekit::Nested(*tree_), "B(B2,B1),A(A2,A1(A1a))");
}

TEST_F(TreeSortFixture, FalseCallbackOrNoCallbackKeepsTheOrder)
{
    const std::string start = treekit::Nested(*tree_);
    tree_->SortChildren(nullptr, true);   // no callback yet
    EXPECT_EQ(treekit::Nested(*tree_), start);
    tree_->SetSortFunc(AUILib::TreeView::SortCallback([](std::wstring, any, std::wstring, any) { return false; }));
    tree_->SortChildren(nullptr, true);
    EXPECT_EQ(treekit::Nested(*tree_), start);
    // Sorting twice with the same indicator still sorts.
    SortDescending(nullptr, false);
    SortDescending(nullptr, false);
    EXPECT_EQ(treekit::Nested(*tree_), "B(B1,B2),A(A1(A1a),A2)");
}

TEST_F(TreeSortFixture, MovedCopiesObeyTheComparison)
{
    // A2 moves under B: the copy is a new item, made by the control.
    ASSERT_TRUE(View()->MoveItems({I("A2")}, I("B2"), false));
    ASSERT_EQ(treekit::Nested(*tree_), "A(A1(A1a)),B(B1,B2,A2)");
    QStandardItem* b = Impl()->Model()->item(1);
    SortDescending(b, false);
    EXPECT_EQ(treekit::Nested(*tree_), "A(A1(A1a)),B(B2,B1,A2)");
    EXPECT_EQ(Seen(), "A2=- B1=- B2=-");
}

TEST_F(TreeSortFixture, ItemsTheControlDidNotMakeAndTheModelsOwnSort)
{
    // A plain item the control never made, first among A's children: the
    // comparison still sees its text (and no value) when it is the other side.
    Impl()->Model()->item(0)->insertRow(0, new QStandardItem(QStringLiteral("C")));
    tree_->SetItemData(I("A2"), any(5));
    SortDescending(I("A"), false);
    EXPECT_EQ(treekit::Nested(*tree_), "A(C,A2,A1(A1a)),B(B1,B2)");
    EXPECT_EQ(Seen(), "A1=- A2=5 C=-");
    // A sort the model starts itself keeps the last scope and reads the
    // items as they are now, not as the control's last sort found them.
    ASSERT_TRUE(tree_->SetItemText(I("A1"), L"Z1"));
    ASSERT_TRUE(tree_->SetItemData(I("A2"), any(6)));
    seen_.clear();
    Impl()->Model()->sort(0);
    EXPECT_EQ(treekit::Nested(*tree_), "A(Z1(A1a),C,A2),B(B1,B2)");
    EXPECT_EQ(Seen(), "A2=6 C=- Z1=-");
}

class TreeVirtualSortFixture : public treekit::TreeFixture {
protected:
    void SetUp() override
    {
        TreeFixture::SetUp();
        tree_->SetVirtualMode(true);
        auto& t = *tree_;
        for (const wchar_t* top : {L"T1", L"T3", L"T2"}) {
            VirtTreeItem* node = t.AddVirtualTreeItem(top, nullptr);
            for (const wchar_t* child : {L"c1", L"c3", L"c2"})
                t.AddVirtualTreeItem(std::wstring(top) + child, node);
        }
        t.UpdateVirtualView();
    }
    AUILib::TreeModel* VModel() { return qobject_cast<AUILib::TreeModel*>(View()->model()); }
    std::string Order(VirtTreeItem* node)
    {
        std::string out;
        for (VirtTreeItem* child : node->GetChildItems()) {
            out += (out.empty() ? "" : ",") + QString::fromStdWString(child->GetText()).toStdString();
            if (child->ChildCount())
                out += "(" + Order(child) + ")";
        }
        return out;
    }
};

TEST_F(TreeVirtualSortFixture, WholeTreeSortKeepsSelectionCurrentAndExpansion)
{
    auto& t = *tree_;
    VirtTreeItem* t3 = t.GetChildItem(t.RootItem(), 1);
    VirtTreeItem* t3c1 = t.GetChildItem(t3, 0);
    VirtTreeItem* t1c2 = t.GetChildItem(t.GetChildItem(t.RootItem(), 0), 2);
    t.SetExpanded(t3, true);
    View()->selectionModel()->select(VModel()->IndexOf(t3c1), QItemSelectionModel::ClearAndSelect);
    View()->selectionModel()->setCurrentIndex(VModel()->IndexOf(t1c2), QItemSelectionModel::NoUpdate);
    ASSERT_TRUE(t.SetSortFunc(AUILib::TreeView::VirtualSortCallback(
        [](VirtTreeItem* a, VirtTreeItem* b) { return a->GetText() > b->GetText(); })));
    t.SortVirtChildren(nullptr, true);
    EXPECT_EQ(Order(t.RootItem()), "T3(T3c3,T3c2,T3c1),T2(T2c3,T2c2,T2c1),T1(T1c3,T1c2,T1c1)");
    for (VirtTreeItem* top : t.RootItem()->GetChildItems()) {
        for (VirtTreeItem* child : top->GetChildItems()) {
            const QModelIndex index = VModel()->IndexOf(child);
            EXPECT_EQ(VModel()->parent(index).row(), top->Row());
            EXPECT_EQ(VModel()->index(index.row(), 0, VModel()->parent(index)), index);
        }
    }
    const QModelIndexList selected = View()->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(VModel()->ItemFromIndex(selected.front()), t3c1);
    EXPECT_EQ(VModel()->ItemFromIndex(View()->currentIndex()), t1c2);
    EXPECT_TRUE(t.IsExpanded(t3));
    EXPECT_EQ(t.GetChildItem(t.RootItem(), 0), t3);
    EXPECT_FALSE(t.IsExpanded(t.GetChildItem(t.RootItem(), 1)));
    View()->grab();
}

TEST_F(TreeVirtualSortFixture, ScopedVirtualSorts)
{
    auto& t = *tree_;
    ASSERT_TRUE(t.SetSortFunc(AUILib::TreeView::VirtualSortCallback(
        [](VirtTreeItem* a, VirtTreeItem* b) { return a->GetText() < b->GetText(); })));
    VirtTreeItem* t3 = t.GetChildItem(t.RootItem(), 1);
    t.SortVirtChildren(t3, false);
    EXPECT_EQ(Order(t.RootItem()), "T1(T1c1,T1c3,T1c2),T3(T3c1,T3c2,T3c3),T2(T2c1,T2c3,T2c2)");
    t.SortVirtChildren(nullptr, false);
    EXPECT_EQ(Order(t.RootItem()), "T1(T1c1,T1c3,T1c2),T2(T2c1,T2c3,T2c2),T3(T3c1,T3c2,T3c3)");
}

} // namespace

// The model and its items stay with the widget when the control goes: a
// sort of the orphaned view (by anyone) leaves the order and reads nothing
// of the control.
TEST_F(TreeSortFixture, SortingTheOrphanedViewLeavesTheOrder)
{
    const struct {
        const char* name;
        std::function<void()> before;
        std::function<void(QTreeView*)> sort;
    } cases[] = {
        {"comparison set, view sorts", [this] { SortDescending(I("A"), false); },
         [](QTreeView* view) { view->sortByColumn(0, Qt::AscendingOrder); }},
        {"values shown, model sorts",
         [this] {
             tree_->SetItemData(I("A1"), any(1));
             tree_->SetItemData(I("B"), any(2));
             SortDescending(nullptr, true);
         },
         [](QTreeView* view) { view->model()->sort(0, Qt::DescendingOrder); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.before();
        const std::string order = treekit::Nested(*tree_);
        QPointer<QTreeView> view = View();
        tree_.reset();
        ASSERT_TRUE(view);
        c.sort(view);
        EXPECT_EQ(treekit::Nested(static_cast<QStandardItemModel*>(view->model())->invisibleRootItem()), order);
    }
}
