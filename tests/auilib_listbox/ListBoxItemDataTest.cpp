// Item data beside the rows: values follow their rows through sorting, per
// column, and removing or replacing them.
#include "ListBoxTestKit.h"

// ItemDataMap.h uses size_t without including its header.
#include <cstddef>

#include "ItemDataMap.h"

namespace {

using AUILib::any;
using AUILib::any_cast;
using AUILib::ListBox;

int IntOf(const any& value) { return value.has_value() ? any_cast<int>(value) : -999; }

TEST_F(ListBoxTest, InsertRowPutsItsDataOnTheSortedRow)
{
    list->SetColumnsCount(3);
    for (bool sorting : {false, true}) {
        SCOPED_TRACE(sorting ? "sorted" : "unsorted");
        list->Clear();
        list->SortingEnable(false);
        std::list<std::wstring> m{L"m", L"m1", L"m2"}, c{L"c", L"c1", L"c2"};
        list->AddRow(m, {any(10), any(11), any(12)});
        list->AddRow(c, {any(20), any(21), any(22)});
        if (sorting)
            list->SortColumn(0, ListBox::SortAscending, true);
        std::list<std::wstring> a{L"a", L"a1", L"a2"};
        const int row = list->InsertRow(-1, a, {any(30), any(31), any(32)});
        EXPECT_EQ(row, sorting ? 0 : 2);
        EXPECT_EQ(list->GetItem(row, 0), L"a");
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(IntOf(list->GetItemDataEx(row, column)), 30 + column) << column;
        EXPECT_EQ(IntOf(list->GetItemData(row)), 30);
        const int mRow = list->GetItemIndex(L"m");
        EXPECT_EQ(IntOf(list->GetItemDataEx(mRow, 2)), 12);
        EXPECT_FALSE(list->GetItemDataEx(mRow, 3).has_value());
        EXPECT_FALSE(list->GetItemDataEx(9, 0).has_value());
    }
}

TEST_F(ListBoxTest, AddItemDataFollowsItsRowAndRemovingTwiceFails)
{
    list->SortColumn(0, ListBox::SortDescending, true);
    list->AddItem(L"b", any(std::wstring(L"bee")));
    list->AddItem(L"a");
    list->AddItem(L"c", any(3));
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"c", L"b", L"a"}));
    EXPECT_EQ(any_cast<std::wstring>(list->GetItemData(1)), L"bee");
    EXPECT_EQ(IntOf(list->GetItemData(0)), 3);
    EXPECT_FALSE(list->GetItemData(2).has_value());

    EXPECT_TRUE(list->RemoveItemData(0));
    EXPECT_FALSE(list->RemoveItemData(0));
    EXPECT_FALSE(list->GetItemData(0).has_value());
    EXPECT_FALSE(list->RemoveItemData(2));  // never had any
    EXPECT_FALSE(list->RemoveItemData(7));
}

TEST_F(ListBoxTest, SetItemDataReplacesAndNeedsTheFirstCell)
{
    list->SetColumnsCount(2);
    std::list<std::wstring> texts{L"a", L"a1"};
    list->AddItemEx(texts, any(1));
    EXPECT_TRUE(list->SetItemData(0, any(2)));
    EXPECT_EQ(IntOf(list->GetItemData(0)), 2);
    EXPECT_FALSE(list->SetItemData(3, any(2)));

    EXPECT_TRUE(list->SetItemDataEx(0, 1, any(5)));
    EXPECT_EQ(IntOf(list->GetItemDataEx(0, 1)), 5);
    EXPECT_FALSE(list->SetItemDataEx(0, 2, any(5)));
    list->AddItem(L"single");  // no second cell to hold a value
    EXPECT_FALSE(list->SetItemDataEx(1, 1, any(5)));
    list->DeleteItem(1);

    // A row whose first cell is missing takes no data.
    table()->insertRow(1);
    table()->setItem(1, 1, list->GetImpl()->MakeCell("only second"));
    EXPECT_FALSE(list->SetItemData(1, any(9)));
    EXPECT_FALSE(list->SetItemDataEx(1, 1, any(9)));
    EXPECT_EQ(table()->item(1, 1)->data(Qt::UserRole).toInt(), 0);

    // Clearing keeps the store; new rows never reuse an id.
    const int next = list->GetImpl()->itemData->GetNextId();
    list->Clear();
    list->AddItem(L"new", any(1));
    EXPECT_EQ(table()->item(0, 0)->data(Qt::UserRole).toInt(), next);
}

TEST_F(ListBoxTest, SortFunctionGetsBothRowsTextsAndData)
{
    list->SetColumnsCount(2);
    std::list<std::wstring> x{L"x", L"two"}, y{L"y", L"one"}, z{L"z", L"three"};
    list->AddRow(x, {any(), any(2)});
    list->AddRow(y, {any(), any(1)});
    list->AddRow(z, {any(), any(3)});
    bool sawData = true;
    int calls = 0;
    list->SetColumnSortFunc(1, [&](std::wstring, any a, std::wstring, any b) {
        ++calls;
        sawData = sawData && a.has_value() && b.has_value();
        return IntOf(a) < IntOf(b);
    });
    list->SortColumn(1, ListBox::SortAscending, true);
    EXPECT_GT(calls, 0);
    EXPECT_TRUE(sawData);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"y", L"x", L"z"}));
    list->SortColumn(1, ListBox::SortDescending, true);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"z", L"x", L"y"}));
}

} // namespace
