// Cell and header pictures, the row-button column, colours, the hit test,
// the row move behind dropping, and view switches.
#include "ListBoxTestKit.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QStyle>
#include <QTemporaryDir>

#include <set>

namespace {

using AUILib::ListBox;

class ListBoxButtonTest : public ListBoxTest {
protected:
    bool AddButton(int edge = 12)
    {
        const QByteArray png = PicturePng(edge, QColor(40, 160, 90));
        return list->AddRowButton(Bytes(png), png.size(), AUILib::ImagePNG);
    }
};

TEST_F(ListBoxButtonTest, ButtonColumnIs24PixelsOnAnEmptyListElseAsHighAsRowZero)
{
    list->SetColumnsCount(2);
    ASSERT_TRUE(AddButton());
    EXPECT_EQ(table()->columnCount(), 3);
    EXPECT_EQ(list->GetColumnsCount(), 2);
    EXPECT_EQ(table()->columnWidth(2), 24);
    EXPECT_EQ(table()->horizontalHeader()->sectionResizeMode(2), QHeaderView::Fixed);

    list->AddItem(L"a");
    const int rowHeight = table()->rowHeight(0);
    ASSERT_NE(rowHeight, 24);
    ASSERT_TRUE(AddButton(16));
    EXPECT_EQ(table()->columnCount(), 3);
    EXPECT_EQ(table()->columnWidth(2), rowHeight);

    // A rebuild of the columns keeps the button behind the last data column.
    list->SetColumnsCount(3);
    EXPECT_EQ(table()->columnCount(), 4);
    EXPECT_FALSE(list->GetImpl()->rowButtonImage.isNull());
}

TEST_F(ListBoxButtonTest, AFailedLoadKeepsTheButtonAndNullDataRemovesIt)
{
    EXPECT_TRUE(list->AddRowButton(nullptr, 0, AUILib::ImagePNG));  // nothing to remove
    EXPECT_EQ(table()->columnCount(), 1);
    ASSERT_TRUE(AddButton());
    const QByteArray junk("not a picture");
    EXPECT_FALSE(list->AddRowButton(Bytes(junk), junk.size(), AUILib::ImagePNG));
    EXPECT_FALSE(list->AddRowButton(L"/no/such/picture.png"));
    EXPECT_FALSE(list->AddRowButton(Bytes(junk), 0, AUILib::ImagePNG));
    EXPECT_EQ(table()->columnCount(), 2);
    EXPECT_FALSE(list->GetImpl()->rowButtonImage.isNull());
    EXPECT_TRUE(list->AddRowButton(nullptr, 0, AUILib::ImagePNG));
    EXPECT_EQ(table()->columnCount(), 1);
    EXPECT_TRUE(list->GetImpl()->rowButtonImage.isNull());
    EXPECT_TRUE(table()->horizontalHeader()->stretchLastSection());
}

TEST_F(ListBoxButtonTest, RowButtonFromAFileLoads)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("button.png");
    QImage image(10, 10, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(path));
    EXPECT_TRUE(list->AddRowButton(path.toStdWString()));
    EXPECT_EQ(table()->columnCount(), 2);
    EXPECT_EQ(list->GetImpl()->rowButtonImage.size(), QSize(10, 10));
}

TEST_F(ListBoxButtonTest, HitTestNamesCheckIconTextNothingAndTheButton)
{
    list->SetColumnsCount(2);
    list->SetCheckMode(ListBox::CheckUser);
    std::list<std::wstring> texts{L"a text that is long enough", L"second"};
    list->AddItemEx(texts);
    const QByteArray png = PicturePng(16, Qt::red);
    list->AddPicture(0, Bytes(png), png.size(), AUILib::ImagePNG, 16, AUILib::BitmapDefault);
    ASSERT_TRUE(AddButton());
    QApplication::processEvents();

    std::set<unsigned> seen;
    const QRect cell = table()->visualRect(table()->model()->index(0, 0));
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
        for (int x = cell.left(); x <= cell.right(); ++x) {
            unsigned flags = 0;
            int column = -2;
            EXPECT_EQ(list->HitTest(AUILib::Point{x, y}, &flags, &column), 0);
            EXPECT_EQ(column, 0);
            seen.insert(flags);
        }
    }
    EXPECT_TRUE(seen.count(8)) << "check box";
    EXPECT_TRUE(seen.count(2)) << "picture";
    EXPECT_TRUE(seen.count(4)) << "text";

    QStyleOptionViewItem option;
    ASSERT_TRUE(table()->TextOption(0, true, &option));
    const QPoint check =
        table()->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table()).center();
    unsigned flags = 0;
    int column = -2;
    EXPECT_EQ(list->HitTest(AUILib::Point{check.x(), check.y()}, &flags, &column), 0);
    EXPECT_EQ(flags & 8u, 8u);

    const QPoint text = CellCentre(0, 1);
    EXPECT_EQ(list->HitTest(AUILib::Point{text.x(), text.y()}, &flags, &column), 0);
    EXPECT_EQ(flags, 4u);
    EXPECT_EQ(column, 1);

    const QPoint button = CellCentre(0, 2);
    EXPECT_EQ(list->HitTest(AUILib::Point{button.x(), button.y()}, &flags, &column), 0);
    EXPECT_EQ(flags, 16u);
    EXPECT_EQ(column, 1);

    EXPECT_EQ(list->HitTest(AUILib::Point{5, 200}, &flags, &column), -1);
    EXPECT_EQ(flags, 1u);
    EXPECT_EQ(column, -1);
    EXPECT_EQ(list->HitTest(AUILib::Point{5, 200}, nullptr, nullptr), -1);
}

TEST_F(ListBoxButtonTest, MovingRowsTakesEveryCellAlongAndKeepsTheOrder)
{
    list->SetColumnsCount(3);
    for (const wchar_t* text : {L"r0", L"r1", L"r2", L"r3", L"r4"})
        list->AddItem(text);
    list->SetItemText(2, L"r2");
    ASSERT_TRUE(AddButton());
    window->grab();  // painting gives the button column its cells
    ASSERT_NE(table()->item(2, 3), nullptr);
    QTableWidgetItem* buttonCellOfRow3 = table()->item(3, 3);

    list->SetSingleSelection(false);
    list->SetSel(2, true);
    list->SetSel(3, true);
    QList<int> rows;
    for (int row : list->SelectedItemsIndexes())
        rows << row;
    table()->MoveRows(rows, 0);
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"r2", L"r3", L"r0", L"r1", L"r4"}));
    EXPECT_EQ(table()->item(1, 3), buttonCellOfRow3);
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(table()->item(row, 1), nullptr) << row;  // missing cells stay missing
        EXPECT_NE(table()->item(row, 3), nullptr) << row;
    }

    // Down past the end, and a row given twice moves once.
    table()->MoveRows({0, 0, 1}, 5);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"r0", L"r1", L"r4", L"r2", L"r3"}));
    table()->MoveRows({4}, 5);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"r0", L"r1", L"r4", L"r2", L"r3"}));
    EXPECT_EQ(list->Count(), 5);
}

TEST_F(ListBoxTest, ADropFromOutsideTheTableMovesNothing)
{
    Fill({L"a", L"b", L"c"});
    list->EnableRowsDragAndDrop(true);
    list->SetSel(2, true);
    QMimeData mime;
    QDropEvent drop(CellCentre(0, 0), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(table()->viewport(), &drop);
    EXPECT_EQ(Column0(), (std::list<std::wstring>{L"a", L"b", L"c"}));
}

TEST_F(ListBoxTest, DropAcceptanceFollowsRowDragAndDrop)
{
    list->SetAcceptDrops(false);
    EXPECT_FALSE(table()->acceptDrops());
    list->EnableRowsDragAndDrop(true);
    EXPECT_TRUE(table()->acceptDrops());
    list->SetAcceptDrops(false);
    EXPECT_TRUE(table()->acceptDrops());
    EXPECT_FALSE(list->GetBaseImpl()->IsAcceptDrops());
    list->EnableRowsDragAndDrop(false);
    EXPECT_FALSE(table()->acceptDrops());
    EXPECT_EQ(table()->dragDropMode(), QAbstractItemView::NoDragDrop);
}

TEST_F(ListBoxTest, PicturesNeedACellAndDataThatIsThere)
{
    Fill({L"a"});
    const QByteArray png = PicturePng(12, Qt::yellow);
    list->AddPicture(3, Bytes(png), png.size(), AUILib::ImagePNG, 12, AUILib::BitmapDefault);
    list->AddPicture(0, Bytes(png), 0, AUILib::ImagePNG, 12, AUILib::BitmapDefault);
    EXPECT_TRUE(table()->item(0, 0)->icon().isNull());
    list->AddPicture(0, Bytes(png), png.size(), AUILib::ImagePNG, 12, AUILib::BitmapDefault);
    EXPECT_FALSE(table()->item(0, 0)->icon().isNull());
    EXPECT_EQ(table()->iconSize(), QSize(12, 12));
    list->AddPictureSysIcon(0, L"/no/such/file");
    EXPECT_FALSE(table()->item(0, 0)->icon().isNull());
    list->AddPicture(0, nullptr, 0, AUILib::ImagePNG, 12, AUILib::BitmapDefault);
    EXPECT_TRUE(table()->item(0, 0)->icon().isNull());
}

TEST_F(ListBoxTest, ShowSelectionHidesTheHighlightAndBringsBackTheFirstPalette)
{
    Fill({L"a", L"b"});
    list->SetSel(1, true);
    const QPalette first = table()->palette();
    list->SetBackgroundColor(0x102030);
    EXPECT_EQ(list->GetBackgroundColor(), 0x102030);
    EXPECT_EQ(table()->palette().color(QPalette::Base), QColor(0x10, 0x20, 0x30));
    list->SetTextColor(0xF0E0D0);
    EXPECT_EQ(list->GetTextColor(), 0xF0E0D0);
    list->ShowSelection(false);
    EXPECT_EQ(table()->palette().color(QPalette::Highlight), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(table()->palette().color(QPalette::HighlightedText), QColor(0xF0, 0xE0, 0xD0));
    EXPECT_EQ(list->SelectedItemsIndexes(), std::list<int>{1});
    list->ShowSelection(true);
    EXPECT_EQ(table()->palette().color(QPalette::Base), first.color(QPalette::Base));
    EXPECT_EQ(table()->palette().color(QPalette::Highlight), first.color(QPalette::Highlight));
}

TEST_F(ListBoxTest, EditSwitchesSetTheTriggersOnlyOnAChange)
{
    EXPECT_EQ(table()->editTriggers(), QAbstractItemView::NoEditTriggers);
    for (ListBox::Editable mode : {ListBox::EditableBorder, ListBox::EditableFrameless, ListBox::EditableAllColumns}) {
        list->SetEditItems(mode);
        EXPECT_EQ(list->IsSetEditItems(), mode);
        EXPECT_EQ(table()->editTriggers(), QAbstractItemView::DoubleClicked);
    }
    list->SetEditItems(ListBox::EditableOff);
    EXPECT_EQ(table()->editTriggers(), QAbstractItemView::NoEditTriggers);
    list->SetShowGridlines(true);
    EXPECT_TRUE(table()->showGrid());
}

} // namespace
