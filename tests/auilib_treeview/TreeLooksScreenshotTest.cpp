// Pictures of the tree control's looks, light and dark: the three branch
// mark styles, item pictures, coloured and bold items, row and item
// selection, and a virtual tree with check boxes and bold ranges.
#include "TreeTestKit.h"

#include "DarkLook.h"
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
        t.SetStyle(0, TreeView::StyleRowSelect);
        View()->selectionModel()->select(I("A1a")->index(), QItemSelectionModel::ClearAndSelect);
        Shoot("tree_row_selection_" + look);
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
