// Scrolling a row into view, selecting on focus, column names, a row's text
// colour, pictures in other columns than the first, and the row drag switch.
#include "ListBoxTestKit.h"

#include "TempFolder.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QScrollBar>

#include <functional>

namespace {

using AUILib::ListBox;

TEST_F(ListBoxTest, EnsureVisibleScrollsAnExistingRowIntoAShortList)
{
    for (int row = 0; row < 30; ++row)
        list->AddItem(L"row " + std::to_wstring(row));
    table()->setGeometry(0, 0, 200, 70);
    QApplication::processEvents();
    QScrollBar* bar = table()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    const auto shown = [&](int row) {
        return table()->viewport()->rect().contains(table()->visualRect(table()->model()->index(row, 0)));
    };
    ASSERT_FALSE(shown(25));

    const struct {
        int row;
        bool found;
    } cases[] = {{25, true}, {0, true}, {29, true}, {-1, false}, {30, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const int before = bar->value();
        EXPECT_EQ(list->EnsureVisible(c.row), c.found);
        if (c.found)
            EXPECT_TRUE(shown(c.row));
        else
            EXPECT_EQ(bar->value(), before);
    }
    // A row already in view moves nothing.
    const int before = bar->value();
    const int first = table()->rowAt(0);
    EXPECT_TRUE(list->EnsureVisible(first + 1));
    EXPECT_EQ(bar->value(), before);

    window.reset();   // takes the table with it
    EXPECT_FALSE(list->EnsureVisible(0));
}

TEST_F(ListBoxTest, FocusInSelectsTheCurrentRowOnlyWithSelectOnFocusOn)
{
    const struct {
        bool on;
        std::list<int> selected;
    } cases[] = {{false, {}}, {true, {2}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.on);
        TearDown();
        SetUp();
        Fill({L"a", L"b", L"c"});
        list->SelectItemOnSetFocus(c.on);
        table()->setCurrentCell(2, 0, QItemSelectionModel::NoUpdate);
        table()->clearSelection();
        for (Qt::FocusReason reason : {Qt::TabFocusReason, Qt::OtherFocusReason}) {
            QFocusEvent focus(QEvent::FocusIn, reason);
            QApplication::sendEvent(table(), &focus);
            EXPECT_EQ(list->SelectedItemsIndexes(), c.selected);
        }
        // Clicks select as ever.
        ClickRow(1);
        EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{1});
    }
}

TEST_F(ListBoxTest, EnableColumnNamesShowsAndHidesTheHeaderAboveTheRows)
{
    list->SetColumnsCount(2);
    Fill({L"a"});
    QHeaderView* header = table()->horizontalHeader();
    ASSERT_TRUE(header->isHidden());
    const int rowsTop = table()->viewport()->geometry().top();
    list->EnableColumnNames(true);
    QApplication::processEvents();
    EXPECT_FALSE(header->isHidden());
    EXPECT_GT(table()->viewport()->geometry().top(), rowsTop);
    EXPECT_EQ(table()->viewport()->geometry().top(), rowsTop + header->height());
    list->EnableColumnNames(false);
    QApplication::processEvents();
    EXPECT_TRUE(header->isHidden());
    EXPECT_EQ(table()->viewport()->geometry().top(), rowsTop);
    // Naming a column shows the header again.
    list->SetColumnName(1, L"Second");
    EXPECT_FALSE(header->isHidden());
}

TEST_F(ListBoxTest, SetItemTextColorColoursTheRowsFirstCellOpaque)
{
    list->SetColumnsCount(2);
    std::list<std::wstring> texts{L"a", L"a1"};
    list->AddItemEx(texts);
    list->AddItemEx(texts);
    const struct {
        AUILib::RGBColor colour;
        QColor expected;
    } cases[] = {{0x123456, QColor(0x12, 0x34, 0x56)}, {0x80FF0000, QColor(0xFF, 0, 0)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.colour);
        list->SetItemTextColor(1, c.colour);
        const QVariant foreground = table()->item(1, 0)->data(Qt::ForegroundRole);
        ASSERT_TRUE(foreground.canConvert<QBrush>());
        EXPECT_EQ(foreground.value<QBrush>().style(), Qt::SolidPattern);
        EXPECT_EQ(foreground.value<QBrush>().color(), c.expected);
    }
    EXPECT_FALSE(table()->item(0, 0)->data(Qt::ForegroundRole).isValid());
    list->SetItemTextColor(7, 0x123456);   // no such row
    list->SetItemTextColor(-1, 0x123456);
    EXPECT_FALSE(table()->item(0, 0)->data(Qt::ForegroundRole).isValid());
}

TEST_F(ListBoxTest, PicturesGoToTheCellOfTheColumnAsked)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsValid());
    const QByteArray png = PicturePng(24, Qt::green);
    const std::string file = folder.Write("cell.png", png.toStdString());
    const std::wstring path = QString::fromStdString(file).toStdWString();

    const struct {
        const char* name;
        std::function<void(ListBox&, int row, int column)> add;
    } cases[] = {
        {"file", [&](ListBox& l, int row, int column) { l.AddPictureEx(row, column, path, 24, AUILib::BitmapDefault); }},
        {"bytes",
         [&](ListBox& l, int row, int column) {
             l.AddPictureEx(row, column, Bytes(png), png.size(), AUILib::ImagePNG, 24, AUILib::BitmapDefault);
         }},
        {"system icon", [&](ListBox& l, int row, int column) { l.AddPictureSysIconEx(row, column, path); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        list->SetColumnsCount(3);
        for (int row = 0; row < 2; ++row) {
            std::list<std::wstring> texts{L"first", L"x", L"third"};
            list->AddItemEx(texts);
        }
        list->ResizeColumnToContent(1, true);
        const int widthBefore = table()->columnWidth(1);

        c.add(*list, 1, 1);
        EXPECT_FALSE(table()->item(1, 1)->icon().isNull());
        // The same column of another row, and the row's other columns.
        for (const std::pair<int, int>& other : {std::make_pair(0, 1), std::make_pair(1, 0), std::make_pair(1, 2)})
            EXPECT_TRUE(table()->item(other.first, other.second)->icon().isNull())
                << other.first << "," << other.second;
        // The column fitted to its content makes room for the picture.
        EXPECT_GT(table()->columnWidth(1), widthBefore);

        // A cell that is not there is left alone.
        c.add(*list, 5, 1);
        c.add(*list, 0, 3);
        EXPECT_EQ(list->Count(), 2);
        EXPECT_EQ(table()->columnCount(), 3);
    }
}

TEST_F(ListBoxTest, IsEnableRowsDragAndDropAnswersTheLastSwitch)
{
    EXPECT_FALSE(list->IsEnableRowsDragAndDrop());
    const struct {
        bool on;
        QAbstractItemView::DragDropMode mode;
    } cases[] = {{true, QAbstractItemView::InternalMove}, {true, QAbstractItemView::InternalMove},
                 {false, QAbstractItemView::NoDragDrop}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.on);
        list->EnableRowsDragAndDrop(c.on);
        EXPECT_EQ(list->IsEnableRowsDragAndDrop(), c.on);
        EXPECT_EQ(table()->dragDropMode(), c.mode);
        EXPECT_EQ(table()->dragEnabled(), c.on);
    }
    // With the table gone the switch has nothing to act on and stays.
    list->EnableRowsDragAndDrop(true);
    window.reset();
    list->EnableRowsDragAndDrop(false);
    EXPECT_TRUE(list->IsEnableRowsDragAndDrop());
}

} // namespace
