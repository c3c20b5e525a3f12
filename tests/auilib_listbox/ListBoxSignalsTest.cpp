// The notifications for double clicks, changed items and header clicks,
// raised by the user's own input, and handlers of them that drop the control
// they belong to.
#include "ListBoxTestKit.h"
#include "UserDoubleClick.h"

#include "SignalRecorder.h"

#include <QHeaderView>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>
#include <functional>

namespace {

using AUILib::ListBox;

class ListBoxSignalsTest : public ListBoxTest {
public:
    void SetUp() override
    {
        ListBoxTest::SetUp();
        list->SetColumnsCount(3);
        for (const wchar_t* first : {L"a", L"b", L"c"}) {
            std::list<std::wstring> texts{first, std::wstring(first) + L"1", std::wstring(first) + L"2"};
            list->AddItemEx(texts);
        }
        QApplication::processEvents();
    }

    void DoubleClick(QPoint viewportPoint) { UserDoubleClick(table()->viewport(), viewportPoint); }

    // A click on the middle of a header section, headers shown first.
    void ClickHeader(int column)
    {
        list->EnableColumnNames(true);
        QApplication::processEvents();
        ClickHeaderOf(table(), column);
    }
    static void ClickHeaderOf(QTableWidget* table, int column)
    {
        QHeaderView* header = table->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    }

    // The centre of a row's check box, as the table's style places it.
    QPoint CheckBoxCentre(int row) const
    {
        QStyleOptionViewItem option;
        option.initFrom(table());
        option.rect = table()->visualRect(table()->model()->index(row, 0));
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = table()->item(row, 0)->text();
        return table()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table()).center();
    }
};

TEST_F(ListBoxSignalsTest, DoubleClickingACellReportsItsRowOnceAndEmptySpaceNothing)
{
    SignalRecorder<int> doubled(list->OnItemDoubleClicked);
    const struct {
        int row;
        int column;
    } cells[] = {{0, 0}, {2, 1}, {1, 2}};
    for (const auto& cell : cells) {
        SCOPED_TRACE(std::to_string(cell.row) + "," + std::to_string(cell.column));
        const size_t before = doubled.Count();
        DoubleClick(CellCentre(cell.row, cell.column));
        ASSERT_EQ(doubled.Count(), before + 1);
        EXPECT_EQ(std::get<0>(doubled.Last()), cell.row);
    }
    const size_t before = doubled.Count();
    DoubleClick(QPoint(20, 200));
    EXPECT_EQ(doubled.Count(), before);
}

TEST_F(ListBoxSignalsTest, AChangedItemReportsItsRowOnce)
{
    const struct {
        const char* name;
        int row;
        std::function<void(ListBoxSignalsTest&)> change;
    } changes[] = {
        {"text of column 0", 1, [](ListBoxSignalsTest& t) { t.list->SetItemText(1, L"renamed"); }},
        {"text of column 2", 2, [](ListBoxSignalsTest& t) { t.list->SetItemText(2, 2, L"renamed"); }},
        {"row colour", 0, [](ListBoxSignalsTest& t) { t.list->SetItemTextColor(0, 0x0000FF); }},
        {"picture in column 1", 2,
         [](ListBoxSignalsTest& t) {
             const QByteArray png = PicturePng(8, Qt::red);
             t.list->AddPictureEx(2, 1, Bytes(png), png.size(), AUILib::ImagePNG, 8, AUILib::BitmapDefault);
         }},
        {"cell text set on the table", 1, [](ListBoxSignalsTest& t) { t.table()->item(1, 1)->setText("x"); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        SignalRecorder<int> changed(list->OnItemChanged);
        c.change(*this);
        ASSERT_EQ(changed.Count(), 1u);
        EXPECT_EQ(std::get<0>(changed.Last()), c.row);
    }
    // Setting what a cell already holds changes nothing.
    SignalRecorder<int> changed(list->OnItemChanged);
    list->SetItemText(1, L"renamed");
    EXPECT_EQ(changed.Count(), 0u);
}

TEST_F(ListBoxSignalsTest, TheUserTogglingACheckBoxReportsTheRow)
{
    list->SetCheckMode(ListBox::CheckUser);
    const int row = list->AddItem(L"checked by the user");
    QApplication::processEvents();
    SignalRecorder<int> changed(list->OnItemChanged);
    Click(CheckBoxCentre(row));
    EXPECT_TRUE(list->GetCheck(row));
    ASSERT_EQ(changed.Count(), 1u);
    EXPECT_EQ(std::get<0>(changed.Last()), row);
}

TEST_F(ListBoxSignalsTest, ClickingAHeaderSectionReportsItsColumnOnce)
{
    SignalRecorder<int> headers(list->OnHeaderClicked);
    for (int column : {1, 0, 2}) {
        SCOPED_TRACE(column);
        const size_t before = headers.Count();
        ClickHeader(column);
        ASSERT_EQ(headers.Count(), before + 1);
        EXPECT_EQ(std::get<0>(headers.Last()), column);
    }
}

TEST_F(ListBoxSignalsTest, HandlersOfTheseSignalsMayDropTheirOwnControl)
{
    const struct {
        const char* name;
        std::function<void(ListBoxSignalsTest&)> connect;
        std::function<void(ListBoxSignalsTest&, AUILib::ListBoxQt*)> act;
    } cases[] = {
        {"double click", [](ListBoxSignalsTest& t) { t.list->OnItemDoubleClicked.Connect([&t](int) { t.list.reset(); }); },
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) { t.DoubleClick(t.CellCentre(1, 1)); }},
        {"user check",
         [](ListBoxSignalsTest& t) {
             t.list->SetCheckMode(ListBox::CheckUser);
             t.list->AddItem(L"d");
             t.list->OnItemChanged.Connect([&t](int) { t.list.reset(); });
         },
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) { t.Click(t.CheckBoxCentre(3)); }},
        {"program text change",
         [](ListBoxSignalsTest& t) { t.list->OnItemChanged.Connect([&t](int) { t.list.reset(); }); },
         // The last reference goes while the control's own operation runs.
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) { EXPECT_TRUE(t.list->SetItemText(0, 1, L"changed")); }},
        {"program colour change",
         [](ListBoxSignalsTest& t) { t.list->OnItemChanged.Connect([&t](int) { t.list.reset(); }); },
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) { t.list->SetItemTextColor(1, 0x00FF00); }},
        {"program picture",
         [](ListBoxSignalsTest& t) { t.list->OnItemChanged.Connect([&t](int) { t.list.reset(); }); },
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) {
             const QByteArray png = PicturePng(8, Qt::red);
             t.list->AddPictureEx(2, 1, Bytes(png), png.size(), AUILib::ImagePNG, 8, AUILib::BitmapDefault);
         }},
        {"program check",
         [](ListBoxSignalsTest& t) {
             t.list->SetCheckMode(ListBox::CheckProgram);
             t.list->AddItem(L"d");
             t.list->OnItemChanged.Connect([&t](int) { t.list.reset(); });
         },
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) { t.list->SetCheck(3, true); }},
        {"header click", [](ListBoxSignalsTest& t) { t.list->OnHeaderClicked.Connect([&t](int) { t.list.reset(); }); },
         [](ListBoxSignalsTest& t, AUILib::ListBoxQt*) { t.ClickHeader(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        QPointer<AUILib::ListBoxQt> widget = table();
        c.connect(*this);
        c.act(*this, widget);
        QApplication::processEvents();
        EXPECT_FALSE(list);
        ASSERT_TRUE(widget);
        // The table lives on in its window and still takes the user's input.
        const QPoint at = CellCentre0(widget, 0);
        UserDoubleClick(widget->viewport(), at);
        widget->item(0, 0)->setText(QStringLiteral("later"));
        QHeaderView* header = widget->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
        widget->grab();
    }
}

} // namespace

// The table and its cells stay with the window when the control goes: a
// click on the header then sorts by plain text, as the case rule last said,
// and reads nothing of the control.
TEST_F(ListBoxSignalsTest, HeaderClickAfterTheControlWentSortsByText)
{
    // Reversed, and by the rows' values where they have one.
    const AUILib::ListBox::SortFunction byValue = [](std::wstring left, AUILib::any leftValue, std::wstring right,
                                                     AUILib::any rightValue) {
        if (leftValue.has_value() && rightValue.has_value())
            return AUILib::any_cast<int>(leftValue) > AUILib::any_cast<int>(rightValue);
        return left > right;
    };
    const struct {
        const char* name;
        bool caseSensitive;
        bool sortFunction;
        bool values;
    } cases[] = {
        {"case rule only", false, false, false},
        {"sort function", true, true, false},
        {"sort function over values", true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        list->Clear();
        int value = 0;
        for (const wchar_t* text : {L"b", L"C", L"a", L"D"}) {
            std::list<std::wstring> texts{text, L"x", L"y"};
            list->AddItemEx(texts, c.values ? AUILib::any(++value) : AUILib::any());
        }
        if (c.sortFunction)
            list->SetColumnSortFunc(0, byValue);
        list->EnableColumnNames(true);
        list->SortColumn(0, AUILib::ListBox::SortAscending, c.caseSensitive);
        QPointer<AUILib::ListBoxQt> widget = table();
        list.reset();
        QApplication::processEvents();
        ASSERT_TRUE(widget);
        ClickHeaderOf(widget, 0);
        QApplication::processEvents();
        QStringList shown;
        for (int row = 0; row < widget->rowCount(); ++row)
            shown << widget->item(row, 0)->text();
        QStringList expected = shown;
        const Qt::CaseSensitivity cs = c.caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
        const bool descending = widget->horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder;
        std::sort(expected.begin(), expected.end(), [cs, descending](const QString& a, const QString& b) {
            return descending ? QString::compare(b, a, cs) < 0 : QString::compare(a, b, cs) < 0;
        });
        EXPECT_EQ(shown, expected);
    }
}
