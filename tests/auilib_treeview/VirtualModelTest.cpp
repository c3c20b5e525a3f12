// The virtual mode's model and delegate on a real QTreeView: check
// bookkeeping, indexes of nested nodes, sorting that keeps the view's
// selection, current index and expansion on the same nodes, and resets.
#include "TreeModel.h"
#include "VirtualTreeDelegate.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using AUILib::TreeModel;
using AUILib::VirtTreeItem;
using AUILib::VirtualTreeDelegate;

namespace {

// R0 (R0a (R0a1, R0a2), R0b), R1 (R1a): three levels under the root.
class VirtualModelFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        view_ = std::make_unique<QTreeView>();
        model_ = new TreeModel(view_.get());
        view_->setModel(model_);
        r0 = Add("R0", nullptr);
        r0a = Add("R0a", r0);
        r0a1 = Add("R0a1", r0a);
        r0a2 = Add("R0a2", r0a);
        r0b = Add("R0b", r0);
        r1 = Add("R1", nullptr);
        r1a = Add("R1a", r1);
        model_->Update();
    }

    VirtTreeItem* Add(const char* text, VirtTreeItem* parent)
    {
        VirtTreeItem* under = parent ? parent : model_->Root();
        auto* node = new VirtTreeItem(under);
        node->SetText(std::wstring(text, text + std::char_traits<char>::length(text)));
        under->AppendChild(node);
        return node;
    }

    // Checked flags, then check-all flags, of every node in display order.
    std::string Flags(VirtTreeItem* node, bool all)
    {
        std::string out;
        for (VirtTreeItem* child : node->GetChildItems()) {
            out += (all ? child->IsCheckAll() : child->GetChecked()) ? '1' : '0';
            out += Flags(child, all);
        }
        return out;
    }

    std::string Nested(VirtTreeItem* node)
    {
        std::string out;
        for (VirtTreeItem* child : node->GetChildItems()) {
            if (!out.empty())
                out += ",";
            out += QString::fromStdWString(child->GetText()).toStdString();
            if (child->ChildCount() > 0)
                out += "(" + Nested(child) + ")";
        }
        return out;
    }

public:   // named by member pointers in the case tables
    std::unique_ptr<QTreeView> view_;
    TreeModel* model_ = nullptr;
    VirtTreeItem *r0, *r0a, *r0a1, *r0a2, *r0b, *r1, *r1a;
};

TEST_F(VirtualModelFixture, LevelsRowsAndIndexesOfNodes)
{
    EXPECT_EQ(r0->Level(), 0);
    EXPECT_EQ(r0a->Level(), 1);
    EXPECT_EQ(r0a2->Level(), 2);
    EXPECT_EQ(r0a2->Row(), 1);
    EXPECT_EQ(model_->rowCount(), 2);
    EXPECT_EQ(model_->rowCount(model_->IndexOf(r0a)), 2);
    // A nested node's index is its own, not the top-level node of its row.
    const QModelIndex nested = model_->IndexOf(r0a2);
    EXPECT_EQ(model_->ItemFromIndex(nested), r0a2);
    EXPECT_EQ(model_->ItemFromIndex(model_->parent(nested)), r0a);
    EXPECT_EQ(model_->index(1, 0, model_->IndexOf(r0a)), nested);
    EXPECT_FALSE(model_->IndexOf(model_->Root()).isValid());
    EXPECT_FALSE(model_->IndexOf(nullptr).isValid());
    view_->setExpanded(model_->IndexOf(r0a), true);
    EXPECT_TRUE(view_->isExpanded(model_->IndexOf(r0a)));
    EXPECT_FALSE(view_->isExpanded(model_->IndexOf(r0)));
    EXPECT_EQ(r0->Child(-1), nullptr);
    EXPECT_EQ(r0->Child(2), nullptr);
}

TEST_F(VirtualModelFixture, BoxClicksCheckSubtreeAndAncestors)
{
    model_->SetCheckBoxes(true);
    struct Case {
        const char* name;
        std::vector<VirtTreeItem* VirtualModelFixture::*> clicks;
        const char* checked;   // R0 R0a R0a1 R0a2 R0b R1 R1a
        const char* checkAll;   // a partly checked subtree keeps its ancestors from it
        int checkedLeaves;
    } cases[] = {
        {"leaf", {&VirtualModelFixture::r0a1}, "1110000", "0010000", 1},
        {"both leaves", {&VirtualModelFixture::r0a1, &VirtualModelFixture::r0a2}, "1111000", "0111000", 2},
        // Every node of a checked subtree has all its children checked.
        {"parent", {&VirtualModelFixture::r0}, "1111100", "1111100", 3},
        {"parent then a leaf off", {&VirtualModelFixture::r0, &VirtualModelFixture::r0a1}, "1101100", "0001100", 2},
        {"parent, a child off and on again",
         {&VirtualModelFixture::r0, &VirtualModelFixture::r0b, &VirtualModelFixture::r0b},
         "1111100", "1111100", 3},
        {"top with one child", {&VirtualModelFixture::r1a}, "0000011", "0000011", 1},
        {"on then off", {&VirtualModelFixture::r0a, &VirtualModelFixture::r0a}, "0000000", "0000000", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        model_->SetCheckBoxes(true);
        for (auto node : c.clicks)
            EXPECT_TRUE(model_->setData(model_->IndexOf(this->*node), 2, Qt::CheckStateRole));
        EXPECT_EQ(Flags(model_->Root(), false), c.checked);
        EXPECT_EQ(Flags(model_->Root(), true), c.checkAll);
        EXPECT_EQ(model_->CheckedCount(), c.checkedLeaves);
        EXPECT_EQ(model_->data(model_->IndexOf(r0a1), Qt::CheckStateRole).toInt(), r0a1->GetChecked() ? 2 : 0);
    }
}

TEST_F(VirtualModelFixture, BoxesOffGiveNoCheckState)
{
    r0->SetChecked(true);
    EXPECT_FALSE(model_->data(model_->IndexOf(r0), Qt::CheckStateRole).isValid());
    EXPECT_FALSE(model_->CheckSubItems(r0, Qt::Checked));
    EXPECT_EQ(model_->data(model_->IndexOf(r0), Qt::DisplayRole).toString(), "R0");
    EXPECT_EQ(int(model_->flags(model_->IndexOf(r0))), 49);
    EXPECT_EQ(int(model_->flags(QModelIndex())), 0);
}

TEST_F(VirtualModelFixture, EmptyRootCountsAsAllChecked)
{
    model_->clear();
    model_->UpdateParentCheckbox(model_->Root());
    EXPECT_TRUE(model_->Root()->IsCheckAll());
    EXPECT_FALSE(model_->Root()->GetChecked());
}

TEST_F(VirtualModelFixture, SortKeepsSelectionCurrentAndExpansionOnTheirNodes)
{
    view_->setExpanded(model_->IndexOf(r0), true);
    view_->setExpanded(model_->IndexOf(r0a), true);
    view_->selectionModel()->select(model_->IndexOf(r0a2), QItemSelectionModel::Select);
    view_->selectionModel()->setCurrentIndex(model_->IndexOf(r0b), QItemSelectionModel::NoUpdate);
    std::vector<std::pair<std::string, std::string>> seen;
    model_->SetSortFunc([](VirtTreeItem* a, VirtTreeItem* b) { return a->GetText() > b->GetText(); });
    model_->SetSortScope(nullptr, true);
    view_->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(Nested(model_->Root()), "R1(R1a),R0(R0b,R0a(R0a2,R0a1))");
    // Every node's parent index names the row the node now has.
    const std::vector<VirtTreeItem*> all{r0, r0a, r0a1, r0a2, r0b, r1, r1a};
    for (VirtTreeItem* node : all) {
        const QModelIndex index = model_->IndexOf(node);
        EXPECT_EQ(model_->index(index.row(), 0, model_->parent(index)), index);
        EXPECT_EQ(node->ParentItem()->Child(node->Row()), node);
    }
    const QModelIndexList selected = view_->selectionModel()->selectedIndexes();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(model_->ItemFromIndex(selected.front()), r0a2);
    EXPECT_EQ(model_->ItemFromIndex(view_->currentIndex()), r0b);
    EXPECT_TRUE(view_->isExpanded(model_->IndexOf(r0)));
    EXPECT_TRUE(view_->isExpanded(model_->IndexOf(r0a)));
    EXPECT_FALSE(view_->isExpanded(model_->IndexOf(r1)));
}

TEST_F(VirtualModelFixture, SortScopeAndOddCallbacks)
{
    const auto byTextDown = [](VirtTreeItem* a, VirtTreeItem* b) { return a->GetText() > b->GetText(); };
    struct Case {
        const char* name;
        VirtTreeItem* VirtualModelFixture::*root;
        bool recursive;
        const char* expected;
    } cases[] = {
        {"top only", nullptr, false, "R1(R1a),R0(R0a(R0a1,R0a2),R0b)"},
        {"children of R0", &VirtualModelFixture::r0, false, "R0(R0b,R0a(R0a1,R0a2)),R1(R1a)"},
        {"subtree of R0", &VirtualModelFixture::r0, true, "R0(R0b,R0a(R0a2,R0a1)),R1(R1a)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        model_->SetSortFunc(byTextDown);
        model_->SetSortScope(c.root ? this->*c.root : nullptr, c.recursive);
        view_->sortByColumn(0, Qt::AscendingOrder);
        EXPECT_EQ(Nested(model_->Root()), c.expected);
    }
    SetUp();
    const std::string start = Nested(model_->Root());
    model_->sort(0, Qt::AscendingOrder);   // no callback: nothing moves
    EXPECT_EQ(Nested(model_->Root()), start);
    model_->SetSortScope(nullptr, true);
    model_->SetSortFunc([](VirtTreeItem*, VirtTreeItem*) { return false; });
    model_->sort(0, Qt::AscendingOrder);
    EXPECT_EQ(Nested(model_->Root()), start);
    // No strict ordering at all: the sort still stays inside the lists.
    model_->SetSortFunc([](VirtTreeItem*, VirtTreeItem*) { return true; });
    model_->sort(0, Qt::AscendingOrder);
    EXPECT_EQ(model_->Root()->ChildCount(), 2);
}

TEST_F(VirtualModelFixture, RemovingAllAfterSelectAndExpandLeavesNoStaleIndex)
{
    view_->setExpanded(model_->IndexOf(r0), true);
    view_->setCurrentIndex(model_->IndexOf(r0a));
    view_->selectionModel()->select(model_->IndexOf(r0a1), QItemSelectionModel::Select);
    model_->RemoveAllItem();
    EXPECT_FALSE(view_->currentIndex().isValid());
    EXPECT_TRUE(view_->selectionModel()->selectedIndexes().isEmpty());
    EXPECT_EQ(model_->rowCount(), 0);
    model_->Update();
    view_->resize(200, 200);
    view_->grab();   // paints with whatever indexes the view kept
    r0 = Add("again", nullptr);
    model_->Update();
    EXPECT_EQ(model_->rowCount(), 1);
}

TEST_F(VirtualModelFixture, SelectFirstItemExpandsOnce)
{
    model_->SelectFirstItem();
    EXPECT_TRUE(view_->isExpanded(model_->IndexOf(r0)));
    EXPECT_EQ(model_->ItemFromIndex(view_->currentIndex()), r0a);
    view_->setCurrentIndex(model_->IndexOf(r1));
    model_->SelectFirstItem();
    EXPECT_EQ(model_->ItemFromIndex(view_->currentIndex()), r1);
}

TEST(VirtTreeItemTest, BoundsAndPicturesKeepOldValuesOnNegatives)
{
    VirtTreeItem node(nullptr);
    node.SetBoldTextPosition(3, -1);
    EXPECT_EQ(node.GetBoldTextPosition(), std::make_pair(3, -1));
    node.SetBoldTextPosition(-1, 5);
    EXPECT_EQ(node.GetBoldTextPosition(), std::make_pair(3, 5));
    node.SetIcon(-4);
    EXPECT_EQ(node.GetIcon(), -1);
    node.SetIcon(2);
    node.SetIcon(-1);
    EXPECT_EQ(node.GetIcon(), 2);
    node.SetData(AUILib::any(7));
    EXPECT_EQ(AUILib::any_cast<int>(node.GetData()), 7);
    node.SetChecked(true);
    EXPECT_EQ(node.Data(Qt::CheckStateRole, 0).toInt(), 2);
    EXPECT_FALSE(node.Data(Qt::CheckStateRole, 1).isValid());
}

TEST(VirtualTreeDelegateTest, BoldSplitTable)
{
    struct Case {
        int start, end;
        bool drawn;
        const char *before, *bold, *after;
    } cases[] = {
        {2, 4, true, "ab", "cde", "fg"},
        {0, 0, true, "", "a", "bcdefg"},
        {5, 20, true, "abcde", "fg", ""},
        {3, -1, false, "", "", ""},
        {-1, 3, false, "", "", ""},
        {5, 2, false, "", "", ""},   // end before start would draw the tail twice
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + ".." + std::to_string(c.end));
        VirtualTreeDelegate::BoldSplit split;
        EXPECT_EQ(VirtualTreeDelegate::SplitBold("abcdefg", c.start, c.end, &split), c.drawn);
        if (c.drawn) {
            EXPECT_EQ(split.before, c.before);
            EXPECT_EQ(split.bold, c.bold);
            EXPECT_EQ(split.after, c.after);
        }
    }
}

TEST(VirtualTreeDelegateTest, RowsGrowToTheTallestAndNeverShrinkBelow22)
{
    QTreeView view;
    TreeModel model(&view);
    view.setModel(&model);
    VirtualTreeDelegate delegate(&view);
    auto* node = new VirtTreeItem(model.Root());
    node->SetText(L"x");
    model.Root()->AppendChild(node);
    model.Update();
    QStyleOptionViewItem option;
    option.font = view.font();
    EXPECT_GE(delegate.sizeHint(option, model.index(0, 0)).height(), 22);
    option.font.setPixelSize(60);
    const int tall = delegate.sizeHint(option, model.index(0, 0)).height();
    EXPECT_GT(tall, 22);
    option.font.setPixelSize(8);
    EXPECT_EQ(delegate.sizeHint(option, model.index(0, 0)).height(), tall);
}

} // namespace
