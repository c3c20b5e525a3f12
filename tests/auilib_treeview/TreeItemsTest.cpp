// Building, walking and removing items through the control.
#include "TreeTestKit.h"

#include "SignalRecorder.h"

#include "AgnosticUIException.h"

#include <QHeaderView>
#include <QPointer>

using AUILib::TreeItemFirst;
using AUILib::TreeItemLast;
using AUILib::TreeItemRoot;
using AUILib::TreeView;
using treekit::Nested;

namespace {

class TreeItemsTest : public treekit::TreeFixture {};

TEST_F(TreeItemsTest, FixtureTree)
{
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2)");
    EXPECT_EQ(tree_->Count(), 7);
    EXPECT_EQ(tree_->ChildCount(I("A"), false), 2);
    EXPECT_EQ(tree_->ChildCount(I("A"), true), 3);
    EXPECT_EQ(tree_->ChildCount(nullptr, false), 2);
    EXPECT_EQ(tree_->ChildCount(nullptr, true), 7);
}

TEST_F(TreeItemsTest, InsertItemPositions)
{
    struct Case {
        const char* parent;   // name, "" null, "Root", "First", "Last"
        const char* after;
        const char* expected; // "" for refused
    };
    const Case cases[] = {
        {"", "", "X,A(A1(A1a),A2),B(B1,B2)"},
        {"", "First", "X,A(A1(A1a),A2),B(B1,B2)"},
        {"", "Last", "A(A1(A1a),A2),B(B1,B2),X"},
        {"", "Root", "A(A1(A1a),A2),B(B1,B2),X"},
        {"", "A", "A(A1(A1a),A2),X,B(B1,B2)"},
        {"Root", "A", "A(A1(A1a),A2),X,B(B1,B2)"},
        {"", "A1", "A(A1(A1a),A2),B(B1,B2),X"},       // after has a parent: end of the top level
        {"A", "", "A(X,A1(A1a),A2),B(B1,B2)"},
        {"A", "First", "A(X,A1(A1a),A2),B(B1,B2)"},
        {"A", "Last", "A(A1(A1a),A2,X),B(B1,B2)"},
        {"A", "Root", "A(A1(A1a),A2,X),B(B1,B2)"},
        {"A", "A1", "A(A1(A1a),X,A2),B(B1,B2)"},
        {"A", "B1", "A(A1(A1a),A2,X),B(B1,B2)"},      // not a child of A: appended
        {"A1a", "", "A(A1(A1a(X)),A2),B(B1,B2)"},
        {"First", "", ""},
        {"Last", "A", ""},
    };
    auto handle = [this](const std::string& name) -> QStandardItem* {
        if (name.empty())
            return nullptr;
        if (name == "Root")
            return TreeItemRoot;
        if (name == "First")
            return TreeItemFirst;
        if (name == "Last")
            return TreeItemLast;
        return I(name);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.parent) + " / " + c.after);
        tree_->RemoveAllItems(false);
        items_.clear();
        Fill();
        QStandardItem* x = tree_->InsertItem(L"X", handle(c.parent), handle(c.after));
        if (std::string(c.expected).empty()) {
            EXPECT_EQ(x, nullptr);
            EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2)");
            EXPECT_EQ(tree_->Count(), 7);
        } else {
            ASSERT_NE(x, nullptr);
            EXPECT_EQ(Nested(*tree_), c.expected);
            EXPECT_EQ(tree_->Count(), 8);
            EXPECT_EQ(tree_->GetItemText(x), L"X");
        }
    }
}

TEST_F(TreeItemsTest, ForeignAndSpecialHandlesAreNoItems)
{
    TreeView other;
    QStandardItem* foreign = other.InsertItem(L"F", nullptr, TreeItemLast);
    ASSERT_NE(foreign, nullptr);
    QStandardItem loose(QStringLiteral("loose"));
    for (QStandardItem* bad : {foreign, &loose, TreeItemRoot, TreeItemFirst, TreeItemLast}) {
        EXPECT_EQ(tree_->InsertItem(L"X", bad == TreeItemRoot ? I("A") : bad, nullptr) != nullptr,
                  bad == TreeItemRoot);
        EXPECT_FALSE(tree_->RemoveItem(bad));
        EXPECT_EQ(tree_->GetItemText(bad), L"");
        EXPECT_FALSE(tree_->SetItemText(bad, L"Y"));
        EXPECT_EQ(tree_->GetParentItem(bad), nullptr);
        EXPECT_EQ(tree_->NextSibling(bad), nullptr);
        EXPECT_FALSE(tree_->GetCheck(bad));
        EXPECT_EQ(tree_->AddSubItem(L"Z", AUILib::any(), bad), nullptr);
    }
    EXPECT_EQ(other.Count(), 1);
    EXPECT_EQ(other.GetItemText(foreign), L"F");
}

TEST_F(TreeItemsTest, AddItemFollowsTheCurrentItem)
{
    tree_->SetCurrentItem(nullptr);
    QStandardItem* top = tree_->AddItem(L"T");
    EXPECT_EQ(tree_->GetParentItem(top), nullptr);
    tree_->SetCurrentItem(I("A"));
    tree_->AddItem(L"T2");
    tree_->SetCurrentItem(I("B1"));
    tree_->AddItem(L"S");
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2),B(B1,B2,S),T,T2");

    tree_->SetCurrentItem(nullptr);
    EXPECT_EQ(tree_->AddSubItem(L"none", AUILib::any(), nullptr), nullptr);
    tree_->SetCurrentItem(I("A2"));
    EXPECT_NE(tree_->AddSubItem(L"sub", AUILib::any(), nullptr), nullptr);
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),A2(sub)),B(B1,B2,S),T,T2");
}

TEST_F(TreeItemsTest, SingleRootRefusesASecondTopLevelItem)
{
    tree_->RemoveAllItems(false);
    tree_->SetSingleRoot(true);
    QStandardItem* root = tree_->AddItem(L"R");
    ASSERT_NE(root, nullptr);
    tree_->SetCurrentItem(nullptr);
    EXPECT_EQ(tree_->AddItem(L"R2"), nullptr);
    EXPECT_EQ(tree_->InsertItem(L"R3", nullptr, TreeItemLast), nullptr);
    EXPECT_EQ(tree_->InsertItem(L"R4", TreeItemRoot, nullptr), nullptr);
    EXPECT_NE(tree_->InsertItem(L"C", root, nullptr), nullptr);
    EXPECT_EQ(Nested(*tree_), "R(C)");
}

TEST_F(TreeItemsTest, BatchFormsKeepTheirOrder)
{
    TreeView::ItemEntries entries;
    entries.emplace_back(L"e1", AUILib::any(), -1);
    entries.emplace_back(L"e2", AUILib::any(), -1);
    entries.emplace_back(L"e3", AUILib::any(), -1);
    EXPECT_EQ(tree_->InsertItems(entries, I("A"), I("A1")), 3);
    EXPECT_EQ(tree_->AddSubItems(entries, I("B2")), 3);
    TreeView::ItemEntries none;
    EXPECT_EQ(tree_->AddItems(none), 0);
    EXPECT_EQ(Nested(*tree_), "A(A1(A1a),e1,e2,e3,A2),B(B1,B2(e1,e2,e3))");
    EXPECT_TRUE(View()->updatesEnabled());
}

TEST_F(TreeItemsTest, Navigation)
{
    EXPECT_EQ(tree_->GetRootItem(), I("A"));
    EXPECT_EQ(tree_->GetParentItem(I("A1a")), I("A1"));
    EXPECT_EQ(tree_->GetParentItem(I("A")), nullptr);
    EXPECT_EQ(tree_->GetFirstChild(I("B")), I("B1"));
    EXPECT_EQ(tree_->GetFirstChild(I("B1")), nullptr);
    EXPECT_EQ(tree_->NextSibling(I("B1")), I("B2"));
    EXPECT_EQ(tree_->NextSibling(I("B2")), nullptr);
    EXPECT_EQ(tree_->PrevSibling(I("B2")), I("B1"));
    EXPECT_EQ(tree_->PrevSibling(I("A")), nullptr);
    EXPECT_EQ(tree_->GetTopLevelItem(I("A1a")), I("A"));
    EXPECT_EQ(tree_->GetTopLevelItem(I("B")), I("B"));
    EXPECT_EQ(tree_->VisibleTopLevelItem(I("A1a")), I("A"));
    EXPECT_TRUE(tree_->ItemHasChildren(I("A1")));
    EXPECT_FALSE(tree_->ItemHasChildren(I("A1a")));
    tree_->SetExpanded(I("A"), true);
    EXPECT_TRUE(tree_->IsExpanded(I("A")));
    EXPECT_FALSE(tree_->IsExpanded(I("B")));
}

TEST_F(TreeItemsTest, RemoveItemReportsFirstThenRemovesTheSubtree)
{
    SignalRecorder<QStandardItem*> removing(tree_->OnItemRemoving);
    int countSeen = -1;
    tree_->OnItemRemoving.Connect([this, &countSeen](QStandardItem* item) {
        countSeen = tree_->Count();
        EXPECT_EQ(tree_->GetItemText(item), L"A");
    });
    EXPECT_TRUE(tree_->RemoveItem(I("A")));
    EXPECT_EQ(countSeen, 7);
    EXPECT_EQ(removing.Count(), 1u);
    EXPECT_EQ(Nested(*tree_), "B(B1,B2)");
    EXPECT_EQ(tree_->Count(), 3);
}

TEST_F(TreeItemsTest, RemovingHandlerThatRemovesTheItemItself)
{
    tree_->OnItemRemoving.Connect([this](QStandardItem* item) { tree_->RemoveItem(tree_->GetParentItem(item)); });
    EXPECT_FALSE(tree_->RemoveItem(I("A1")));
    EXPECT_EQ(Nested(*tree_), "B(B1,B2)");
}

TEST_F(TreeItemsTest, RemoveAllItemsReportsBeforeClearing)
{
    int countSeen = -1;
    tree_->OnAllItemsRemoved.Connect([this, &countSeen] { countSeen = tree_->Count(); });
    tree_->SetHeaderLabel(L"Name");
    EXPECT_TRUE(tree_->RemoveAllItems(true));
    EXPECT_EQ(countSeen, 7);
    EXPECT_EQ(tree_->Count(), 0);
    EXPECT_EQ(tree_->GetRootItem(), nullptr);
}

TEST_F(TreeItemsTest, HeaderLabelAndVisibility)
{
    EXPECT_TRUE(tree_->IsHeaderVisible());
    tree_->SetHeaderLabel(L"Name");
    EXPECT_EQ(View()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
    tree_->SetHeaderVisible(false);
    EXPECT_FALSE(tree_->IsHeaderVisible());
    EXPECT_EQ(View()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
}

TEST_F(TreeItemsTest, TextChangesReportThePreviousText)
{
    std::vector<std::string> log;
    tree_->OnItemTextChanged.Connect([&log](QStandardItem*, std::wstring text) {
        log.push_back("changed " + QString::fromStdWString(text).toStdString());
    });
    tree_->OnItemTextEdited.Connect([&log](QStandardItem*, std::wstring before, std::wstring after) {
        log.push_back("edited " + QString::fromStdWString(before).toStdString() + ">" +
                      QString::fromStdWString(after).toStdString());
    });
    EXPECT_TRUE(tree_->SetItemText(I("B1"), L"Beta"));
    EXPECT_TRUE(tree_->SetItemText(I("B1"), L"Gamma"));
    EXPECT_EQ(log, (std::vector<std::string>{"changed Beta", "edited B1>Beta", "changed Gamma", "edited Beta>Gamma"}));
}

TEST_F(TreeItemsTest, HandlerSettingTheTextAgainNeitherRecursesNorDeadlocks)
{
    int changed = 0;
    tree_->OnItemTextChanged.Connect([this, &changed](QStandardItem* item, std::wstring) {
        ++changed;
        tree_->SetItemText(item, L"again");
    });
    EXPECT_TRUE(tree_->SetItemText(I("A2"), L"first"));
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(tree_->GetItemText(I("A2")), L"again");
}

TEST_F(TreeItemsTest, HandlerThatDestroysItsControl)
{
    tree_->OnItemTextChanged.Connect([this](QStandardItem*, std::wstring) { tree_.reset(); });
    std::shared_ptr<TreeView> keep = tree_;
    QStandardItem* item = I("A2");
    keep.reset();
    tree_->SetItemText(item, L"bye");
    EXPECT_EQ(tree_, nullptr);
    // The widget stays with its window and works as a plain tree view.
    ASSERT_NE(window_->findChild<QTreeView*>(), nullptr);
    QTest::mouseClick(window_->findChild<QTreeView*>()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
}

TEST_F(TreeItemsTest, RemovingHandlerThatDestroysItsControl)
{
    tree_->OnItemRemoving.Connect([this](QStandardItem*) { tree_.reset(); });
    TreeView* raw = tree_.get();
    EXPECT_FALSE(raw->RemoveItem(I("B")));
    EXPECT_EQ(tree_, nullptr);
}

TEST_F(TreeItemsTest, WidgetGone)
{
    delete window_.data();
    QStandardItem* gone = nullptr;
    EXPECT_EQ(tree_->AddItem(L"X"), nullptr);
    EXPECT_EQ(tree_->InsertItem(L"X", nullptr, nullptr), nullptr);
    EXPECT_EQ(tree_->Count(), 0);
    EXPECT_EQ(tree_->GetRootItem(), nullptr);
    EXPECT_EQ(tree_->CurrentItem(), nullptr);
    EXPECT_FALSE(tree_->RemoveAllItems(true));
    EXPECT_FALSE(tree_->RemoveItem(gone));
    EXPECT_FALSE(tree_->IsHeaderVisible());
    EXPECT_TRUE(tree_->SelectedItems().empty());
    EXPECT_TRUE(tree_->CheckedItems().empty());
    EXPECT_EQ(tree_->GetCheckMode(), 0);
    unsigned flags = 77;
    EXPECT_EQ(tree_->HitTest(AUILib::Point{5, 5}, &flags), nullptr);
    EXPECT_EQ(flags, 77u);
    tree_->SetMultiSelection(true);
    tree_->SetItemToolTipMaxWidth(200);
    tree_->EnableWordWrapText(true);
    EXPECT_FALSE(tree_->IsEnabledWordWrapText());
    EXPECT_FALSE(tree_->EnableRowsDragAndDrop(true));
    EXPECT_THROW(tree_->Create(nullptr), AUILib::AgnosticUIException);
}

TEST_F(TreeItemsTest, ImplementationOutlivesTheControl)
{
    std::shared_ptr<AUILib::BaseImpl> kept = tree_->GetBaseImpl();
    QPointer<QTreeView> view = View();
    tree_.reset();
    ASSERT_TRUE(view);
    // The delegate no longer names the control: a plain editor, no reports.
    view->edit(view->model()->index(0, 0));
    view->model()->setData(view->model()->index(0, 0), QStringLiteral("still"));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("still"));
}

TEST_F(TreeItemsTest, ControlDestroyedBeforeItsWindow)
{
    QPointer<QTreeView> view = View();
    tree_.reset();
    ASSERT_TRUE(view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 8));
    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, QPoint(20, 8));
    QTest::keyClick(view, Qt::Key_Down, Qt::ShiftModifier);
    view->model()->setData(view->model()->index(0, 0), QStringLiteral("still"));
    EXPECT_EQ(view->model()->index(0, 0).data().toString(), QStringLiteral("still"));
}

} // namespace
