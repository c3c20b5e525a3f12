// Selection notifications, check boxes and check mode 3, focus, and handlers
// that drop the control they belong to.
#include "ListBoxTestKit.h"

#include "SignalRecorder.h"

#include <QFocusEvent>

namespace {

using AUILib::ListBox;

TEST_F(ListBoxTest, SelectingRowOneThenTwoReportsEachRowThenTheChange)
{
    Fill({L"a", L"b", L"c"});
    std::vector<std::string> order;
    list->OnRowSelectionChanged.Connect([&](int row) { order.push_back("row " + std::to_string(row)); });
    list->OnSelectionChanged.Connect([&] { order.push_back("changed"); });
    ClickRow(1);
    ClickRow(2);
    EXPECT_EQ(order, (std::vector<std::string>{"row 1", "changed", "row 1", "changed", "row 2", "changed"}));
    EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{2});
    EXPECT_EQ(list->SelectedItems(), std::list<std::wstring>{L"c"});
}

TEST_F(ListBoxTest, ClickingACellReportsItsRowAndEmptySpaceNothing)
{
    Fill({L"a", L"b"});
    SignalRecorder<int> clicked(list->OnItemClicked);
    Click(QPoint(20, 200));
    EXPECT_EQ(clicked.Count(), 0u);
    ClickRow(1);
    ASSERT_EQ(clicked.Count(), 1u);
    EXPECT_EQ(std::get<0>(clicked.Last()), 1);
}

TEST_F(ListBoxTest, SetSelKeepsOneRowInSingleModeAndAddsRowsInMultiMode)
{
    Fill({L"a", L"b", L"c"});
    list->SetSel(5, true);
    EXPECT_TRUE(list->SelectedItemsIndexes().empty());
    list->SetSel(0, true);
    list->SetSel(1, true);
    EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{1});
    list->SetSingleSelection(false);
    list->SetSel(0, true);
    EXPECT_EQ(list->SelectedItemsIndexes(), (std::list<int>{0, 1}));
    list->SetSel(1, false);
    EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{0});
}

TEST_F(ListBoxTest, ClearSelIsFramedByBeginAndEndInMultiModeOnly)
{
    Fill({L"a", L"b"});
    SignalRecorder<> begin(list->OnSelectionBegin);
    SignalRecorder<> end(list->OnSelectionEnd);
    list->SetSel(0, true);
    list->ClearSel();
    EXPECT_TRUE(list->SelectedItemsIndexes().empty());
    EXPECT_EQ(begin.Count(), 0u);
    EXPECT_EQ(end.Count(), 0u);
    list->SetSingleSelection(false);
    list->SetSel(0, true);
    list->ClearSel();
    EXPECT_EQ(begin.Count(), 1u);
    EXPECT_EQ(end.Count(), 1u);
}

TEST_F(ListBoxTest, CtrlAInMultiModeIsFramedOnce)
{
    Fill({L"a", L"b", L"c"});
    list->SetSingleSelection(false);
    table()->setFocus();
    SignalRecorder<> begin(list->OnSelectionBegin);
    SignalRecorder<> end(list->OnSelectionEnd);
    QTest::keyClick(table(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(begin.Count(), 1u);
    EXPECT_EQ(end.Count(), 1u);
    EXPECT_EQ(list->SelectedItemsIndexes(), (std::list<int>{0, 1, 2}));
}

TEST_F(ListBoxTest, CheckBoxesComeOnlyToRowsAddedAfterTheModeIsSet)
{
    Fill({L"before"});
    list->SetCheck(0, true);
    EXPECT_FALSE(list->GetCheck(0));
    EXPECT_FALSE(table()->item(0, 0)->data(Qt::CheckStateRole).isValid());

    struct {
        ListBox::CheckMode mode;
        bool userCheckable;
    } modes[] = {{ListBox::CheckUser, true}, {ListBox::CheckProgram, false}, {ListBox::CheckSelection, false}};
    for (const auto& m : modes) {
        SCOPED_TRACE(m.mode);
        list->SetCheckMode(m.mode);
        const int row = list->AddItem(L"after");
        QTableWidgetItem* cell = table()->item(row, 0);
        EXPECT_EQ(cell->checkState(), Qt::Unchecked);
        EXPECT_EQ(bool(cell->flags() & Qt::ItemIsUserCheckable), m.userCheckable);
        EXPECT_FALSE(table()->item(0, 0)->data(Qt::CheckStateRole).isValid());
    }
}

TEST_F(ListBoxTest, PartlyCheckedRowsCountForGetCheckButNotForCheckedItems)
{
    list->SetCheckMode(ListBox::CheckUser);
    Fill({L"a", L"b", L"c"});
    list->SetCheck(0, true);
    table()->item(1, 0)->setCheckState(Qt::PartiallyChecked);
    EXPECT_TRUE(list->GetCheck(0));
    EXPECT_TRUE(list->GetCheck(1));
    EXPECT_FALSE(list->GetCheck(2));
    EXPECT_EQ(list->CheckedItemsIndexes(), std::list<int>{0});
    EXPECT_EQ(list->CheckedItems(), std::list<std::wstring>{L"a"});
    list->SetCheck(0, false);
    EXPECT_TRUE(list->CheckedItems().empty());
}

TEST_F(ListBoxTest, CheckModeThreeFollowsTheSelectionAfterRowsMoved)
{
    list->SetSingleSelection(false);
    list->SetCheckMode(ListBox::CheckSelection);
    Fill({L"r0", L"r1", L"r2", L"r3", L"r4", L"r5", L"r6"});
    list->SetSel(3, true);
    list->SetSel(4, true);
    EXPECT_EQ(list->CheckedItemsIndexes(), (std::list<int>{3, 4}));
    EXPECT_TRUE(list->DeleteItem(0));
    EXPECT_EQ(list->SelectedItemsIndexes(), (std::list<int>{2, 3}));

    // Rows reported afterwards are today's rows, not the ones before the
    // delete.
    SignalRecorder<int> rows(list->OnRowSelectionChanged);
    table()->setFocus();
    QTest::keyClick(table(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyRelease(table(), Qt::Key_Shift);
    const std::list<int> selected = list->SelectedItemsIndexes();
    EXPECT_EQ(selected, (std::list<int>{2, 3, 4}));
    EXPECT_EQ(list->CheckedItemsIndexes(), selected);
    ASSERT_EQ(rows.Count(), 1u);
    EXPECT_EQ(std::get<0>(rows.Last()), 4);

    list->SetSel(2, false);
    EXPECT_FALSE(list->GetCheck(2));
}

TEST_F(ListBoxTest, FocusInSelectsTheCurrentRowWhenNothingIsSelected)
{
    Fill({L"a", L"b", L"c"});
    table()->setCurrentCell(2, 0, QItemSelectionModel::NoUpdate);
    table()->clearSelection();
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(table(), &focus);
    EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{2});
}

TEST_F(ListBoxTest, AHandlerMaySelectAgainWithoutDeadlock)
{
    Fill({L"a", L"b", L"c"});
    int calls = 0;
    list->OnRowSelectionChanged.Connect([&](int) {
        ++calls;
        list->SetSel(2, true);
    });
    ClickRow(0);
    EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{2});
    EXPECT_GE(calls, 1);
}

TEST_F(ListBoxTest, HandlersMayDropTheirOwnControl)
{
    const struct {
        const char* name;
        std::function<void(ListBoxTest&)> connect;
    } cases[] = {
        {"clicked", [](ListBoxTest& t) { t.list->OnItemClicked.Connect([&t](int) { t.list.reset(); }); }},
        {"row selection", [](ListBoxTest& t) { t.list->OnRowSelectionChanged.Connect([&t](int) { t.list.reset(); }); }},
        {"selection begin",
         [](ListBoxTest& t) {
             t.list->SetSingleSelection(false);
             t.list->OnSelectionBegin.Connect([&t] { t.list.reset(); });
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        Fill({L"a", L"b"});
        QPointer<AUILib::ListBoxQt> widget = table();
        const QPoint at = CellCentre(1, 0);
        c.connect(*this);
        QCursor::setPos(widget->viewport()->mapToGlobal(at));
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
        EXPECT_FALSE(list);
        ASSERT_TRUE(widget);
        // The table lives on in its window and still takes the user's input.
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier, CellCentre0(widget, 0));
        widget->selectRow(0);
    }
}

TEST(ListBoxUnplaced, AClickHandlerMayDropAListWhoseTableHasNoParent)
{
    // Never placed: the table goes with the control, but only once the
    // table's own click handling has returned.
    auto list = std::make_shared<ListBox>();
    list->AddItem(L"a");
    QPointer<AUILib::ListBoxQt> table = list->GetImpl()->GetWidget();
    table->resize(200, 100);
    table->show();
    QApplication::processEvents();
    bool dropped = false;
    list->OnItemClicked.Connect([&](int) {
        list.reset();
        dropped = true;
    });
    const QPoint at = CellCentre0(table, 0);
    QCursor::setPos(table->viewport()->mapToGlobal(at));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_TRUE(dropped);
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(table);
}

TEST_F(ListBoxTest, TypingSearchesOnlyWhenAutomaticSearchIsOn)
{
    Fill({L"apple", L"banana", L"cherry"});
    table()->setFocus();
    table()->setCurrentCell(0, 0);
    list->SetAutomaticSearch(false);
    QTest::keyClicks(table(), "ch");
    EXPECT_EQ(table()->currentRow(), 0);
    list->SetAutomaticSearch(true);
    QTest::keyClicks(table(), "ch");
    EXPECT_EQ(table()->currentRow(), 2);
}

TEST_F(ListBoxTest, TheTableOutlivingItsControlStillTakesClicksAndSelection)
{
    Fill({L"a", L"b", L"c"});
    list->SetCheckMode(ListBox::CheckSelection);
    list->SetSingleSelection(false);
    list->AddRowButton(Bytes(PicturePng(10, Qt::blue)), PicturePng(10, Qt::blue).size(), AUILib::ImagePNG);
    QPointer<AUILib::ListBoxQt> widget = table();
    list.reset();
    ASSERT_TRUE(widget);
    for (int row : {0, 2}) {
        const QPoint at = CellCentre0(widget, row);
        QCursor::setPos(widget->viewport()->mapToGlobal(at));
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::ShiftModifier, at);
    }
    widget->selectAll();
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    QWheelEvent wheel(QPointF(5, 5), widget->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget->viewport(), &wheel);
    widget->grab();
    EXPECT_EQ(widget->rowCount(), 3);
}

} // namespace
