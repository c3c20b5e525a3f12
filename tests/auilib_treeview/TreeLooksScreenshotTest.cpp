// Pictures of the tree control's looks, light and dark: the three branch
// mark styles, item pictures, coloured and bold items, row and item
// selection, and a virtual tree with check boxes and bold ranges; each
// picture checked for what it shows.
#include "TreeTestKit.h"

#include "DarkLook.h"
#include "OutlineContrast.h"
#include "PicturePixels.h"
#include "PngBytes.h"
#include "Screenshot.h"
#include "VirtTreeItem.h"

#include <QItemSelectionModel>


namespace {

using AUILib::TreeView;

class TreeLooksFixture : public treekit::TreeFixture {
protected:
    void Shoot(const QString& name)
    {
        window_->repaint();
        EXPECT_FALSE(saveScreenshot(window_, name).isEmpty()) << name.toStdString();
    }

    // How many pixels of the item's row, across the whole view, are near
    // colour.
    int RowPixelsNear(QStandardItem* item, const QColor& colour)
    {
        const QImage image = View()->viewport()->grab().toImage();
        const QRect row = View()->visualRect(item->index());
        return PixelsNear(image, QRect(0, row.top(), image.width(), row.height()), colour);
    }

    void ShootStandard(const QString& look)
    {
        auto& t = *tree_;
        ExpandAll();
        Shoot("tree_marks_triangles_" + look);
        t.SetStyle(0, TreeView::StyleBoxMarks);
        Shoot("tree_marks_boxes_" + look);
        t.SetStyle(TreeView::StyleBoxMarks | TreeView::StyleButtons, 0);
        Shoot("tree_marks_none_" + look);
        t.SetStyle(0, TreeView::StyleButtons);

        const QByteArray green = PngBytes(16, 16, Qt::darkGreen);
        const QByteArray orange = PngBytes(16, 16, QColor(230, 140, 0));
        const auto* g = reinterpret_cast<const unsigned char*>(green.constData());
        const auto* o = reinterpret_cast<const unsigned char*>(orange.constData());
        t.AddPicture(I("A"), g, green.size(), AUILib::ImagePNG, 16, AUILib::BitmapDefault);
        t.AddPicture(I("B"), o, orange.size(), AUILib::ImagePNG, 16, AUILib::BitmapDefault);
        t.SetPicture(I("A1"), 1);
        t.SetItemTextColor(I("A2"), 0xC02020);
        t.SetItemBold(I("B1"), true);
        View()->selectionModel()->select(I("B2")->index(), QItemSelectionModel::ClearAndSelect);
        Shoot("tree_pictures_colours_item_selection_" + look);
        const QColor highlight = View()->palette().color(QPalette::Highlight);
        EXPECT_GT(RowPixelsNear(I("A"), Qt::darkGreen), 100);              // its picture
        EXPECT_GT(RowPixelsNear(I("A2"), QColor(0xC0, 0x20, 0x20)), 5);    // its text colour
        const int itemSelection = RowPixelsNear(I("B2"), highlight);
        EXPECT_GT(itemSelection, 50);
        t.SetStyle(0, TreeView::StyleRowSelect);
        View()->selectionModel()->select(I("A1a")->index(), QItemSelectionModel::ClearAndSelect);
        Shoot("tree_row_selection_" + look);
        // The whole row, wider than the item alone.
        EXPECT_GT(RowPixelsNear(I("A1a"), highlight), 2 * itemSelection);
        EXPECT_EQ(RowPixelsNear(I("B2"), highlight), 0);
    }

    void ShootVirtual(const QString& look)
    {
        auto& t = *tree_;
        t.SetVirtualMode(true);
        t.EnableVirtualItemCheckboxes(true);
        AUILib::VirtTreeItem* top = t.AddVirtualTreeItem(L"Documents", nullptr);
        AUILib::VirtTreeItem* report = t.AddVirtualTreeItem(L"annual report 2026", top);
        AUILib::VirtTreeItem* notes = t.AddVirtualTreeItem(L"meeting notes", top);
        AUILib::VirtTreeItem* tail = t.AddVirtualTreeItem(L"reversed range stays plain", top);
        t.AddVirtualTreeItem(L"Pictures", nullptr);
        t.SetBoldTextPosition(report, 7, 12);   // "report"
        t.SetBoldTextPosition(notes, 0, 6);     // "meeting"
        t.SetBoldTextPosition(tail, 9, 3);      // end before start: no bold
        t.SetCheck(report, true, true);
        t.UpdateVirtualView();
        t.SetExpanded(top, true);
        Shoot("tree_virtual_checks_bold_" + look);
        // The unchecked box of "meeting notes" stands out from the view.
        const QModelIndex notesIndex = View()->model()->index(1, 0, View()->model()->index(0, 0));
        ASSERT_EQ(notesIndex.data().toString(), QStringLiteral("meeting notes"));
        const QImage image = View()->viewport()->grab().toImage();
        EXPECT_GE(OutlineContrast(image, CheckRect(notesIndex), View()->palette().color(QPalette::Base)), 60);
    }
};

TEST_F(TreeLooksFixture, StandardLight) { ShootStandard("light"); }

TEST_F(TreeLooksFixture, VirtualLight) { ShootVirtual("light"); }

TEST_F(TreeLooksFixture, StandardDark)
{
    DarkLook look;
    ShootStandard("dark");
}

TEST_F(TreeLooksFixture, VirtualDark)
{
    DarkLook look;
    ShootVirtual("dark");
}

} // namespace
