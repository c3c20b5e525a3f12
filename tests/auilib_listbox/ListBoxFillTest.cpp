// Filling a list box row by row: the rows are placed, numbered and reported
// as if each went into the table at once, whatever the list does with them
// until something reads it; reads right after the adds see them; the control
// may go with rows just added, also from a handler of the adds.
#include "ListBoxTestKit.h"

#include "SignalRecorder.h"

#include <array>
#include <random>

namespace {

using AUILib::ListBox;

// One add: AddItem of text, or AddItemEx of text and second (two columns).
struct Add {
    bool both;
    std::wstring text;
    std::wstring second;
};

struct FillCase {
    const char* name;
    int columns;
    int sortColumn;  // -1: sorting off
    ListBox::SortMode mode;
    bool caseSensitive;
    bool byFunction;  // reversed order through a sort function
    int seeded;       // rows there before the fill (AddItemEx, both cells)
    int pinned;       // of them, pinned to the top
    int added;
    bool mixed;  // some adds have no cell in column 1
};

// Texts of a few letters, in both cases and beyond Latin-1 (one outside the
// basic plane): many equal keys, and long ones that share their start.
std::vector<Add> Adds(int count, bool mixed, unsigned seed)
{
    static const wchar_t* const letters[] = {L"a", L"b", L"A", L"B", L"\u00e9", L"\U0001D11E"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> letter(0, 5);
    std::uniform_int_distribution<int> length(0, 3);
    std::vector<Add> adds;
    for (int i = 0; i < count; ++i) {
        std::wstring text;
        for (int n = std::array<int, 4>{1, 2, 5, 6}[static_cast<size_t>(length(random))]; n > 0; --n)
            text += letters[letter(random)];
        adds.push_back({!mixed || letter(random) < 4, text, std::to_wstring(i)});
    }
    return adds;
}

class ListBoxFillTest : public ListBoxTest {
public:
    struct Outcome {
        std::vector<int> returned;
        std::vector<int> changedRows;
        std::list<std::wstring> column0;
        std::list<std::wstring> column1;
    };

    // Sets the list up as the case says and adds the rows; settle reads the
    // table after every add, so that each row is in it before the next.
    Outcome Run(const FillCase& c, bool settle)
    {
        TearDown();
        SetUp();
        list->SetColumnsCount(c.columns);
        if (c.byFunction) {
            list->SetColumnSortFunc(c.sortColumn, [](std::wstring a, AUILib::any, std::wstring b, AUILib::any) {
                return b < a;
            });
        }
        for (const Add& add : Adds(c.seeded, false, 7)) {
            std::list<std::wstring> texts{add.text, add.second};
            list->AddItemEx(texts);
        }
        for (int row = 0; row < c.pinned; ++row)
            list->DisableSortingForRow(c.seeded - 1);
        if (c.sortColumn >= 0)
            list->SortColumn(c.sortColumn, c.mode, c.caseSensitive);
        Outcome outcome;
        SignalRecorder<int> changed(list->OnItemChanged);
        for (const Add& add : Adds(c.added, c.mixed, 11)) {
            std::list<std::wstring> texts{add.text, add.second};
            outcome.returned.push_back(add.both ? list->AddItemEx(texts) : list->AddItem(add.text));
            if (settle)
                table();
        }
        for (const auto& record : changed.Records())
            outcome.changedRows.push_back(std::get<0>(record));
        outcome.column0 = Column0();
        for (int row = 0; row < list->Count(); ++row)
            outcome.column1.push_back(list->GetItem(row, 1));
        return outcome;
    }
};

TEST_F(ListBoxFillTest, RowsAddedTogetherEndWhereAndAsAddingThemOneByOneLeavesThem)
{
    const FillCase cases[] = {
        {"unsorted", 2, -1, ListBox::SortAscending, true, false, 5, 0, 300, true},
        {"ascending, equal keys", 2, 0, ListBox::SortAscending, true, false, 20, 0, 300, false},
        {"descending, equal keys", 2, 0, ListBox::SortDescending, true, false, 20, 0, 300, false},
        {"a few rows into many", 2, 0, ListBox::SortAscending, true, false, 200, 0, 3, false},
        {"case insensitive", 2, 0, ListBox::SortAscending, false, false, 10, 0, 200, false},
        {"sort function", 2, 0, ListBox::SortAscending, true, true, 10, 0, 200, false},
        {"pinned rows", 2, 0, ListBox::SortAscending, true, false, 12, 3, 200, false},
        {"pinned rows, a few adds", 2, 0, ListBox::SortDescending, true, false, 12, 2, 4, false},
        {"rows without a cell in the sort column", 2, 1, ListBox::SortAscending, true, false, 10, 0, 300, true},
        {"more rows than one block holds", 2, 0, ListBox::SortAscending, true, false, 0, 0, 2500, false},
    };
    for (const FillCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome oneByOne = Run(c, true);
        const Outcome together = Run(c, false);
        EXPECT_EQ(together.returned, oneByOne.returned);
        EXPECT_EQ(together.changedRows, oneByOne.changedRows);
        EXPECT_EQ(together.column0, oneByOne.column0);
        EXPECT_EQ(together.column1, oneByOne.column1);
        ASSERT_EQ(static_cast<int>(together.column0.size()), c.seeded + c.added);
    }
}

TEST_F(ListBoxFillTest, SortedAddsReturnTheRowEachHasRightAfterItsAdd)
{
    list->SetColumnsCount(2);
    std::list<std::wstring> seeded{L"m", L"seed"};
    list->AddItemEx(seeded);
    std::list<std::wstring> pinned{L"z", L"pinned"};
    list->AddItemEx(pinned);
    list->DisableSortingForRow(1);
    list->SortColumn(0, ListBox::SortAscending, true);
    SignalRecorder<int> changed(list->OnItemChanged);
    const struct {
        const wchar_t* text;
        bool both;
        int row;
    } adds[] = {
        {L"k", true, 1},   // after the pinned row, before "m"
        {L"x", false, 3},  // no cell in column 1 sorts by column 0 all the same
        {L"k", true, 2},   // after the equal "k"
        {L"a", true, 1},
    };
    std::vector<int> expectedChanges;
    for (const auto& add : adds) {
        std::list<std::wstring> texts{add.text, L"r"};
        EXPECT_EQ(add.both ? list->AddItemEx(texts) : list->AddItem(add.text), add.row) << add.text;
        expectedChanges.insert(expectedChanges.end(), add.both ? 2 : 1, add.row);
    }
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"z", L"a", L"k", L"k", L"m", L"x"}));
    std::vector<int> changedRows;
    for (const auto& record : changed.Records())
        changedRows.push_back(std::get<0>(record));
    EXPECT_EQ(changedRows, expectedChanges);
}

TEST_F(ListBoxFillTest, ReadsRightAfterTheAddsSeeTheNewRows)
{
    list->SetCheckMode(ListBox::CheckProgram);
    list->SetSingleSelection(false);
    Fill({L"m", L"q"});
    list->SetSel(1, true);
    list->SetCheck(1, true);
    list->SortColumn(0, ListBox::SortAscending, true);
    list->AddItem(L"c", AUILib::any(3));
    list->AddItem(L"a", AUILib::any(1));
    EXPECT_EQ(list->Count(), 4);
    EXPECT_EQ(list->GetItem(0), L"a");
    EXPECT_EQ(AUILib::any_cast<int>(list->GetItemData(1)), 3);

    list->AddItem(L"b", AUILib::any(2));
    EXPECT_EQ(list->SelectedItemsIndexes(), (std::list<int>{4}));
    list->AddItem(L"d");
    EXPECT_EQ(list->CheckedItemsIndexes(), (std::list<int>{5}));
    list->AddItem(L"e");
    EXPECT_EQ(list->GetItemIndex(L"e"), 4);
    list->AddItem(L"f");
    EXPECT_EQ(list->FindString(L"f", -1), 5);
    list->AddItem(L"g");
    EXPECT_EQ(list->GetItemEx(6), (std::list<std::wstring>{L"g"}));

    // The selection moved with its row: clearing it reports the row where it is.
    list->AddItem(L"h");
    SignalRecorder<int> rows(list->OnRowSelectionChanged);
    list->ClearSel();
    ASSERT_EQ(rows.Count(), 1u);
    EXPECT_EQ(std::get<0>(rows.Last()), 9);

    // The table itself, read through the control, holds them too.
    list->AddItem(L"i");
    EXPECT_EQ(table()->rowCount(), 11);
    EXPECT_EQ(table()->item(8, 0)->text(), QStringLiteral("i"));
}

TEST_F(ListBoxFillTest, TheControlMayGoWithRowsJustAdded)
{
    const struct {
        const char* name;
        bool sorted;
        bool placed;
        bool windowFirst;  // the window, and the table with it, go first
    } cases[] = {
        {"placed, unsorted", false, true, false},
        {"placed, sorted", true, true, false},
        {"never placed, sorted", true, false, false},
        {"window goes first, sorted", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (!c.placed)
            list = std::make_shared<ListBox>();
        if (c.sorted)
            list->SortColumn(0, ListBox::SortDescending, true);
        for (const wchar_t* text : {L"b", L"c", L"a"})
            list->AddItem(text, AUILib::any(std::wstring(text)));
        QPointer<AUILib::ListBoxQt> widget = list->GetImpl()->Table();
        if (c.windowFirst) {
            window.reset();
            EXPECT_FALSE(widget);
            EXPECT_EQ(list->Count(), -1);
            EXPECT_EQ(list->GetItem(0), L"");
            EXPECT_EQ(list->AddItem(L"d"), -1);
        }
        list.reset();
        QApplication::processEvents();
        if (!c.placed || c.windowFirst) {
            EXPECT_FALSE(widget);
            continue;
        }
        // The table lives on in its window with every row the control added.
        ASSERT_TRUE(widget);
        QStringList shown;
        for (int row = 0; row < widget->rowCount(); ++row)
            shown << widget->item(row, 0)->text();
        EXPECT_EQ(shown, c.sorted ? QStringList({"c", "b", "a"}) : QStringList({"b", "c", "a"}));
        widget->grab();
    }
}

TEST_F(ListBoxFillTest, AHandlerOfTheAddsMayDropTheControl)
{
    for (bool sorted : {false, true}) {
        SCOPED_TRACE(sorted ? "sorted" : "unsorted");
        TearDown();
        SetUp();
        if (sorted)
            list->SortColumn(0, ListBox::SortAscending, true);
        QPointer<AUILib::ListBoxQt> widget = table();
        int changes = 0;
        list->OnItemChanged.Connect([this, &changes](int) {
            if (++changes == 40)
                list.reset();
        });
        for (int i = 0; i < 60 && list; ++i)
            list->AddItem(std::to_wstring(500 - i));
        EXPECT_FALSE(list);
        QApplication::processEvents();
        ASSERT_TRUE(widget);
        ASSERT_EQ(widget->rowCount(), 40);
        EXPECT_EQ(widget->item(0, 0)->text(), sorted ? QStringLiteral("461") : QStringLiteral("500"));
        widget->grab();
    }
}

} // namespace
