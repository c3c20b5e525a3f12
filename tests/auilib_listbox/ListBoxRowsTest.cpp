// Rows and cells: inserting with and without sorting, deleting with pinned
// rows, finding, and what the list answers once its table is gone.
#include "ListBoxTestKit.h"

#include "AgnosticUIException.h"
#include "SignalRecorder.h"

#include <QHeaderView>

namespace {

using AUILib::ListBox;

TEST_F(ListBoxTest, NewListHasOneColumnHiddenHeadersSingleSelectionAndShortRows)
{
    EXPECT_EQ(list->GetControlType(), AUILib::ControlTypeListBox);
    EXPECT_EQ(list->GetColumnsCount(), 1);
    EXPECT_EQ(table()->columnCount(), 1);
    EXPECT_TRUE(table()->horizontalHeader()->isHidden());
    EXPECT_TRUE(table()->verticalHeader()->isHidden());
    EXPECT_TRUE(list->IsSingleSelection());
    EXPECT_EQ(list->GetCheckMode(), ListBox::CheckNone);
    EXPECT_FALSE(list->IsSortingEnabled());
    EXPECT_EQ(table()->verticalHeader()->defaultSectionSize(), 14);
    EXPECT_EQ(list->GetColumnsWidth(), std::vector<int>{-1});
    EXPECT_EQ(list->Count(), 0);
}

struct InsertCase {
    const char* name;
    bool sorting;
    int row;             // where InsertItem is asked to put "m"
    int expectedRow;     // what it returns
    std::list<std::wstring> order;
};

TEST_F(ListBoxTest, InsertItemPutsTheRowWhereAskedOrWhereTheSortPutsIt)
{
    const InsertCase cases[] = {
        {"unsorted at end (-1)", false, -1, 3, {L"c", L"a", L"x", L"m"}},
        {"unsorted at 0", false, 0, 0, {L"m", L"c", L"a", L"x"}},
        {"unsorted in the middle", false, 2, 2, {L"c", L"a", L"m", L"x"}},
        {"unsorted past the end", false, 9, -1, {L"c", L"a", L"x"}},
        {"sorted at end (-1)", true, -1, 2, {L"a", L"c", L"m", L"x"}},
        {"sorted at 0", true, 0, 2, {L"a", L"c", L"m", L"x"}},
        {"sorted in the middle", true, 1, 2, {L"a", L"c", L"m", L"x"}},
        {"sorted past the end", true, 9, -1, {L"a", L"c", L"x"}},
    };
    for (const InsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        list->Clear();
        Fill({L"c", L"a", L"x"});
        if (c.sorting)
            list->SortColumn(0, ListBox::SortAscending, true);
        EXPECT_EQ(list->InsertItem(c.row, L"m"), c.expectedRow);
        EXPECT_EQ(Column0(), c.order);
        list->SortingEnable(false);
    }
}

TEST_F(ListBoxTest, InsertedRowsFollowADescendingSortAndKeepEqualTextsInInsertionOrder)
{
    list->SetColumnsCount(2);
    list->SortColumn(0, ListBox::SortDescending, true);
    std::list<std::wstring> b1{L"b", L"1"}, a{L"a", L"x"}, c{L"c", L"x"}, b2{L"b", L"2"};
    EXPECT_EQ(list->AddItemEx(b1), 0);
    EXPECT_EQ(list->AddItemEx(a), 1);
    EXPECT_EQ(list->AddItemEx(c), 0);
    EXPECT_EQ(list->AddItemEx(b2), 2);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"c", L"b", L"b", L"a"}));
    EXPECT_EQ(list->GetItem(1, 1), L"1");
    EXPECT_EQ(list->GetItem(2, 1), L"2");
    // Qt's own resort agrees with where the rows were put.
    table()->sortByColumn(0, Qt::DescendingOrder);
    EXPECT_EQ(list->GetItem(1, 1), L"1");
    EXPECT_EQ(list->GetItem(2, 1), L"2");
}

TEST_F(ListBoxTest, AddItemExFillsMissingTextsAndAddRowNeedsTexts)
{
    list->SetColumnsCount(3);
    std::list<std::wstring> two{L"one", L"two"};
    const int row = list->AddItemEx(two);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(list->GetItemEx(row), (std::list<std::wstring>{L"one", L"two", L""}));
    ASSERT_NE(table()->item(row, 2), nullptr);

    std::list<std::wstring> none;
    EXPECT_EQ(list->AddRow(none, {AUILib::any(1)}), -1);
    EXPECT_EQ(list->Count(), 1);
}

TEST_F(ListBoxTest, DeleteItemsChecksItsRangeBeforeTouchingThePinnedRows)
{
    Fill({L"a", L"b", L"c", L"d"});
    list->DisableSortingForRow(2);  // c to the top
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"c", L"a", L"b", L"d"}));
    EXPECT_FALSE(list->DeleteItems(0, 9));
    EXPECT_FALSE(list->DeleteItems(-1, 1));
    EXPECT_FALSE(list->DeleteItems(1, 0));
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(list->GetImpl()->pinnedCount, 1);

    EXPECT_TRUE(list->DeleteItems(0, 2));
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"b", L"d"}));
    EXPECT_EQ(list->GetImpl()->pinnedCount, 0);

    list->DisableSortingForRow(1);
    EXPECT_TRUE(list->DeleteItem(0));
    EXPECT_EQ(list->GetImpl()->pinnedCount, 0);
    EXPECT_FALSE(list->DeleteItem(5));
}

TEST_F(ListBoxTest, DisableSortingForRowPinsOnlyUnpinnedRowsThatExist)
{
    Fill({L"a", L"b"});
    for (int row : {-1, 2, 7}) {
        list->DisableSortingForRow(row);
        EXPECT_EQ(list->Count(), 2) << row;
        EXPECT_EQ(list->GetImpl()->pinnedCount, 0) << row;
    }
    list->DisableSortingForRow(1);
    list->DisableSortingForRow(0);  // already pinned: stays as it is
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"b", L"a"}));
    EXPECT_EQ(list->GetImpl()->pinnedCount, 1);
}

TEST_F(ListBoxTest, DeleteSelItemsDeletesTheLastRunFirst)
{
    Fill({L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"});
    list->SetSingleSelection(false);
    for (int row : {1, 2, 3, 7})
        list->SetSel(row, true);
    std::vector<int> removedFirstRows;
    QObject::connect(table()->model(), &QAbstractItemModel::rowsRemoved,
                     [&](const QModelIndex&, int first, int) { removedFirstRows.push_back(first); });
    EXPECT_TRUE(list->DeleteSelItems());
    EXPECT_EQ(removedFirstRows, (std::vector<int>{7, 1}));
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"0", L"4", L"5", L"6", L"8"}));
}

TEST_F(ListBoxTest, FindStringStartsAfterStartAndWraps)
{
    Fill({L"apple", L"banana", L"apricot", L"cherry"});
    const struct {
        int start;
        const wchar_t* text;
        int found;
    } cases[] = {
        {-5, L"ap", 0}, {-1, L"ap", 0}, {0, L"ap", 2}, {2, L"ap", 0}, {3, L"ap", 0}, {3, L"ch", 3},
        {0, L"zz", -1}, {9, L"BAN", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list->FindString(c.text, c.start), c.found) << c.start << " " << QString::fromWCharArray(c.text).toStdString();
    EXPECT_EQ(list->GetItemIndex(L"CHERRY"), 3);
    EXPECT_EQ(list->GetItemIndex(L"cher"), -1);
}

TEST_F(ListBoxTest, SetItemTextNeedsACellAndSetItemTextExMakesListCells)
{
    list->SetColumnsCount(3);
    list->AddItem(L"a");
    EXPECT_FALSE(list->SetItemText(0, 1, L"x"));
    EXPECT_FALSE(list->SetItemText(4, L"x"));
    std::list<std::wstring> texts{L"A", L"B", L"C", L"dropped"};
    EXPECT_FALSE(list->SetItemTextEx(3, texts));
    EXPECT_TRUE(list->SetItemTextEx(0, texts));
    EXPECT_EQ(list->GetItemEx(0), (std::list<std::wstring>{L"A", L"B", L"C"}));
    EXPECT_NE(dynamic_cast<AUILib::CustomQTableWidgetItem*>(table()->item(0, 1)), nullptr);
    EXPECT_TRUE(list->SetItemText(0, 1, L"b"));
    EXPECT_EQ(list->GetItem(0, 1), L"b");
}

TEST_F(ListBoxTest, ClearFiresNoSelectionSignalsAndKeepsTheirBlockedFlags)
{
    Fill({L"a", L"b"});
    list->SetSel(1, true);
    list->OnRowSelectionChanged.SetBlocked(true);
    SignalRecorder<int> rows(list->OnRowSelectionChanged);
    SignalRecorder<> changes(list->OnSelectionChanged);
    list->Clear();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(rows.Count(), 0u);
    EXPECT_EQ(changes.Count(), 0u);
    EXPECT_TRUE(list->OnRowSelectionChanged.IsBlocked());
    EXPECT_FALSE(list->OnSelectionChanged.IsBlocked());
}

TEST_F(ListBoxTest, OperationsOnAGoneTableAnswerNeutrallyAndMappingsThrow)
{
    Fill({L"a"});
    window.reset();  // takes the table with it
    EXPECT_EQ(list->Count(), -1);
    EXPECT_EQ(list->AddItem(L"b"), -1);
    EXPECT_EQ(list->GetItem(0, 0), L"");
    EXPECT_FALSE(list->DeleteItem(0));
    EXPECT_FALSE(list->DeleteSelItems());
    EXPECT_FALSE(list->IsSingleSelection());
    EXPECT_EQ(list->FindString(L"a", 0), -1);
    EXPECT_EQ(list->HitTest(AUILib::Point{1, 1}, nullptr, nullptr), -1);
    list->SetSel(0, true);
    list->ClearSel();
    list->SetColumnsCount(3);
    EXPECT_FALSE(list->GetItemData(0).has_value());
    EXPECT_THROW(list->GetImpl()->ScreenToClient(AUILib::Point{0, 0}), AUILib::AgnosticUIException);
    EXPECT_THROW(list->Create(nullptr), AUILib::AgnosticUIException);
}

TEST(ListBoxFactory, TableAndListFormClassesMakeListBoxes)
{
    auto list = std::make_shared<ListBox>();
    EXPECT_EQ(list->GetBaseImpl()->GetWndPtr()->metaObject()->className(), std::string("AUILib::ListBoxQt"));
}

} // namespace
