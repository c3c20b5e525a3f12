// The hit test and the item rectangle: points taken from the style's own
// rectangles for the row, its button, check box and icon.
#include "TreeTestKit.h"

#include <QPixmap>

using AUILib::Point;
using AUILib::TreeView;

namespace {

class TreeHitTest : public treekit::TreeFixture {
protected:
    void SetUp() override
    {
        TreeFixture::SetUp();
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::darkGreen);
        I("B1")->setIcon(QIcon(pixmap));
        View()->setIconSize(QSize(16, 16));   // as adding a picture sets it
        ExpandAll();
    }
    QRect Row(const char* name) { return View()->visualRect(I(name)->index()); }
    // Where the control places an icon: the style's decoration rectangle
    // moved as the hit test moves it for an item without a check box.
    QPoint IconPoint(const char* name)
    {
        QStyleOptionViewItem option;
        option.initFrom(View());
        option.rect = Row(name);
        option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
        option.text = I(name)->text();
        option.icon = I(name)->icon();
        option.decorationSize = View()->iconSize();
        const QRect d = View()->style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, View());
        const int h = option.rect.bottom() - option.rect.top();
        const QRect placed(QPoint(d.left() + 6, 2 * d.top() + h - d.bottom()), QPoint(d.right() + 6, d.top() + h));
        return placed.center();
    }
};

TEST_F(TreeHitTest, FlagsByPart)
{
    struct Case {
        const char* name;
        std::function<QPoint()> at;
        bool checkBoxes;
        unsigned flags;
        const char* item;   // "" for none
    };
    const Case cases[] = {
        {"indent", [&] { return QPoint(1, Row("A1").center().y()); }, false, TreeView::HitIndent, "A1"},
        {"button", [&] { return QPoint(Row("A1").left() - 2, Row("A1").center().y()); }, false, TreeView::HitButton, "A1"},
        {"text", [&] { return TextPoint(I("A2")); }, false, TreeView::HitText, "A2"},
        {"icon", [&] { return IconPoint("B1"); }, false, TreeView::HitIcon, "B1"},
        {"check box", [&] { return CheckPoint(I("A2")); }, true, TreeView::HitCheckBox, "A2"},
        {"outside", [&] { return QPoint(5, View()->viewport()->height() - 2); }, false, TreeView::HitNowhere, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree_->SetCheckMode(c.checkBoxes ? 2 : 0);
        const QPoint at = c.at();
        unsigned flags = 0;
        QStandardItem* hit = tree_->HitTest(Point{at.x(), at.y()}, &flags);
        EXPECT_EQ(flags, c.flags);
        EXPECT_EQ(hit, std::string(c.item).empty() ? nullptr : I(c.item));
    }
    // Flags are optional.
    EXPECT_EQ(tree_->HitTest(Point{TextPoint(I("A2")).x(), TextPoint(I("A2")).y()}, nullptr), I("A2"));
}

TEST_F(TreeHitTest, ItemRectangles)
{
    const QRect row = Row("A2");
    const AUILib::Rect full = tree_->GetItemRect(I("A2"), false);
    EXPECT_EQ(full.left, row.left());
    EXPECT_EQ(full.top, row.top());
    EXPECT_EQ(full.right, row.right());
    EXPECT_EQ(full.bottom, row.bottom());
    const AUILib::Rect content = tree_->GetItemRect(I("A2"), true);
    EXPECT_EQ(content.right, row.left() + View()->sizeHintForIndex(I("A2")->index()).width() - 1);
    const AUILib::Rect none = tree_->GetItemRect(nullptr, false);
    EXPECT_EQ(none.right, -1);
    EXPECT_EQ(none.bottom, -1);
}

} // namespace
