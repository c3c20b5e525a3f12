// Pictures of the list box under a light and a dark application palette:
// header pictures, check boxes, cell pictures, row buttons and a selection;
// gridlines; a hidden selection; each checked for what it shows.
#include "ListBoxTestKit.h"

#include "AppLook.h"
#include "ComboBox.h"
#include "DarkPalette.h"
#include "Edit.h"
#include "OutlineContrast.h"
#include "PicturePixels.h"
#include "Screenshot.h"

#include <QHeaderView>
#include <QStyleOptionViewItem>

#include <memory>

namespace {

using AUILib::ListBox;

struct Look {
    const char* name;
    QPalette palette;
};

class ListBoxScreenshotTest : public ::testing::TestWithParam<int> {
protected:
    static Look LookOf(int index) { return index == 0 ? Look{"light", QPalette()} : Look{"dark", DarkPaletteWithShades()}; }

    // The dark pictures in the application's dark look (the Fusion style).
    void SetUp() override
    {
        saved_ = QApplication::palette();
        if (GetParam() == 0)
            QApplication::setPalette(LookOf(GetParam()).palette);
        else
            dark_ = std::make_unique<FusionLook>(LookOf(GetParam()).palette);
    }
    void TearDown() override
    {
        dark_.reset();
        QApplication::setPalette(saved_);
    }

    // A three-column list with everything the list box draws.
    std::shared_ptr<ListBox> MakeFullList(QWidget* window)
    {
        auto list = std::make_shared<ListBox>();
        list->Create(window);
        list->GetImpl()->GetWidget()->setGeometry(0, 0, 420, 200);
        list->SetColumnsCount(3);
        list->SetCheckMode(ListBox::CheckUser);
        const wchar_t* names[] = {L"Name", L"Size", L"Kind"};
        const QColor colours[] = {QColor(220, 60, 60), QColor(60, 160, 60), QColor(60, 90, 220)};
        for (int column = 0; column < 3; ++column) {
            list->SetColumnName(column, names[column]);
            const QByteArray png = PicturePng(12, colours[column]);
            list->AddPictureToHeader(column, Bytes(png), png.size(), AUILib::ImagePNG, 12, AUILib::BitmapDefault);
            list->SetHeaderPictureAlign(column, ListBox::HeaderPictureRight);
        }
        const wchar_t* rows[][3] = {{L"report.pdf", L"1.2 MB", L"Document"},
                                    {L"photo.png", L"845 KB", L"Picture"},
                                    {L"notes.txt", L"3 KB", L"Text"},
                                    {L"archive.zip", L"12 MB", L"Archive"}};
        for (int row = 0; row < 4; ++row) {
            std::list<std::wstring> texts(std::begin(rows[row]), std::end(rows[row]));
            list->AddItemEx(texts);
            const QByteArray png = PicturePng(14, colours[row % 3]);
            list->AddPicture(row, Bytes(png), png.size(), AUILib::ImagePNG, 14, AUILib::BitmapDefault);
        }
        list->SetCheck(0, true);
        list->SetCheck(2, true);
        const QByteArray button = PicturePng(12, QColor(240, 170, 30));
        list->AddRowButton(Bytes(button), button.size(), AUILib::ImagePNG);
        list->SetSel(1, true);
        return list;
    }

    // The check box of a row's first cell, as the style places it.
    static QRect CheckRectOf(QTableView* table, int row)
    {
        QStyleOptionViewItem option;
        option.initFrom(table);
        option.rect = table->visualRect(table->model()->index(row, 0));
        option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasCheckIndicator;
        return table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    }
    static QRect RowRect(QTableView* table, int row)
    {
        const QRect first = table->visualRect(table->model()->index(row, 0));
        return QRect(0, first.top(), table->viewport()->width(), first.height());
    }
    QString Name(const char* what) const { return QString("listbox_%1_%2").arg(what, LookOf(GetParam()).name); }

private:
    QPalette saved_;
    std::unique_ptr<FusionLook> dark_;
};

TEST_P(ListBoxScreenshotTest, HeaderPicturesChecksCellPicturesRowButtonsAndSelection)
{
    QWidget window;
    window.resize(420, 200);
    auto list = MakeFullList(&window);
    AUILib::ListBoxQt* table = list->GetImpl()->GetWidget();
    const QColor highlight = table->palette().color(QPalette::Highlight);
    EXPECT_FALSE(saveScreenshot(&window, Name("full")).isEmpty());
    // The unchecked box of the last row stands out from the view, in the
    // dark as in the light; the selected row is highlighted.
    QImage view = table->viewport()->grab().toImage();
    EXPECT_GE(OutlineContrast(view, CheckRectOf(table, 3), table->palette().color(QPalette::Base)), 60);
    EXPECT_GT(PixelsNear(view, RowRect(table, 1), highlight), 200);
    const int plainRowInk = PixelsNear(view, RowRect(table, 3), highlight);

    list->SetShowGridlines(true);
    EXPECT_FALSE(saveScreenshot(&window, Name("gridlines")).isEmpty());
    // Lines between the columns and rows: more changed pixels than two
    // lines across the whole view.
    const QImage plain = view;
    view = table->viewport()->grab().toImage();
    int changed = 0;
    for (int y = 0; y < view.height(); ++y) {
        for (int x = 0; x < view.width(); ++x)
            changed += view.pixel(x, y) != plain.pixel(x, y);
    }
    EXPECT_GT(changed, view.width() + view.height());

    list->SetShowGridlines(false);
    list->UnderlineItems(true);
    list->ShowSelection(false);
    EXPECT_FALSE(saveScreenshot(&window, Name("selection_hidden_underlined")).isEmpty());
    view = table->viewport()->grab().toImage();
    EXPECT_LE(PixelsNear(view, RowRect(table, 1), highlight), plainRowInk);   // no highlight left
}

TEST_P(ListBoxScreenshotTest, OpenEditAndComboEditorsOnTheirCells)
{
    QWidget window;
    window.resize(420, 200);
    auto list = MakeFullList(&window);
    list->SetEditItems(ListBox::EditableAllColumns);
    list->SetColumnEditMode(2, ListBox::EditCombo);
    list->OnCellEditorCreated.Connect([](int, int, AUILib::BaseGUIObject* editor) {
        if (auto* combo = dynamic_cast<AUILib::ComboBox*>(editor)) {
            for (const wchar_t* kind : {L"Document", L"Picture", L"Text", L"Archive"})
                combo->AddItem(kind, AUILib::any());
        }
    });
    AUILib::ListBoxQt* table = list->GetImpl()->GetWidget();
    table->edit(table->model()->index(0, 0));
    ASSERT_TRUE(list->GetImpl()->delegate->editEditor);
    EXPECT_FALSE(saveScreenshot(&window, Name("edit_editor")).isEmpty());
    // The editor shows the cell's text.
    QWidget* line = list->GetImpl()->delegate->editEditor->GetBaseImpl()->GetWndPtr();
    EXPECT_GT(PixelsAwayFrom(window.grab().toImage(), RectInWindow(line), line->palette().color(QPalette::Base)), 20);
    list->GetImpl()->delegate->CloseEditors();
    QApplication::processEvents();

    table->edit(table->model()->index(1, 2));
    ASSERT_TRUE(list->GetImpl()->delegate->comboEditor);
    // The editor lies on its own cell (in the table's coordinates).
    QWidget* combo = list->GetImpl()->delegate->comboEditor->GetBaseImpl()->GetWndPtr();
    const QRect cell = table->visualRect(table->model()->index(1, 2)).translated(table->viewport()->pos());
    EXPECT_TRUE(cell.adjusted(-2, -2, 2, 2).contains(combo->geometry()))
        << combo->geometry().x() << "," << combo->geometry().width() << " in " << cell.x() << "," << cell.width();
    EXPECT_FALSE(saveScreenshot(&window, Name("combo_editor")).isEmpty());
    list->GetImpl()->delegate->CloseEditors();
}

INSTANTIATE_TEST_SUITE_P(Looks, ListBoxScreenshotTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "light" : "dark");
                         });

} // namespace
