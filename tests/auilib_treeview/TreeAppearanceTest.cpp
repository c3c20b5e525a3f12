// The tree control's look: style-sheet rules in the order they were made,
// style flags, font merging and item fonts and colours.
#include "TreeTestKit.h"

#include "AUILibTypes.h"
#include "CustomStyle.h"
#include "PngBytes.h"

namespace {

using AUILib::FontData;
using AUILib::TreeView;

class TreeAppearanceFixture : public treekit::TreeFixture {};

TEST_F(TreeAppearanceFixture, StyleSheetRulesAndTheInactiveFlag)
{
    auto& t = *tree_;
    const QString initial = View()->styleSheet();
    t.SetBackgroundColor(0xFF102030u);
    t.SetBackgroundColor(0xFF405060u);
    t.SetItemHeight(24);
    t.SetItemHeight(0);   // ignored
    t.SetSelectionColors(0x000000, -1);
    EXPECT_EQ(View()->styleSheet(),
              initial + "QTreeView{background-color:#102030;}QTreeView{background-color:#405060;}"
                        "QTreeView::item { height: 24px }"
                        "QTreeView{selection-background-color: transparent; selection-color:#000000;}");
    EXPECT_EQ(t.GetItemHeight(), 24);
    t.SetSelectionColors(0x112233, 0xAABBCC);
    EXPECT_TRUE(View()->styleSheet().endsWith(
        "QTreeView{selection-background-color: #aabbcc; selection-color:#112233;}"));
    // Adding 16 drops the appended rules; removing it adds the inactive one.
    t.SetStyle(0, TreeView::StyleKeepInactive);
    EXPECT_EQ(View()->styleSheet(), initial);
    t.SetStyle(TreeView::StyleKeepInactive, 0);
    EXPECT_EQ(View()->styleSheet(), initial + "QTreeView::item:!active { background-color: transparent; }");
    EXPECT_EQ(Impl()->Style()->GetFlags() & AUILib::CustomStyle::InactiveSelectionKept, 0);
    // -1 is taken as a colour (white), as callers have it.
    t.SetTextColor(-1, false);
    EXPECT_TRUE(View()->styleSheet().endsWith("QTreeView{color:#ffffff;}"));
}

TEST_F(TreeAppearanceFixture, StyleFlagsReachTheStyleAndTheView)
{
    auto& t = *tree_;
    ExpandAll();
    const QRect row = View()->visualRect(I("A1")->index());
    const AUILib::Point onButton{row.left() - 2, row.center().y()};
    unsigned flags = 0;
    t.HitTest(onButton, &flags);
    EXPECT_TRUE(flags & TreeView::HitButton);
    t.SetStyle(TreeView::StyleButtons, 0);
    EXPECT_TRUE(Impl()->Style()->GetFlags() & AUILib::CustomStyle::NoBranchMarks);
    flags = 0;
    t.HitTest(onButton, &flags);
    EXPECT_FALSE(flags & TreeView::HitButton);
    EXPECT_EQ(View()->style(), Impl()->Style());
    t.SetStyle(0, TreeView::StyleButtons | TreeView::StyleBoxMarks | TreeView::StyleRowSelect);
    EXPECT_FALSE(Impl()->Style()->GetFlags() & AUILib::CustomStyle::NoBranchMarks);
    EXPECT_TRUE(Impl()->Style()->GetFlags() & AUILib::CustomStyle::BoxBranchMarks);
    EXPECT_EQ(View()->selectionBehavior(), QAbstractItemView::SelectRows);
    t.SetStyle(0, TreeView::StyleCheckBoxes);
    EXPECT_EQ(t.GetCheckMode(), 1);
    EXPECT_TRUE(I("A1a")->isCheckable());
    t.SetStyle(TreeView::StyleCheckBoxes, 0);
    EXPECT_EQ(t.GetCheckMode(), 0);
    EXPECT_FALSE(I("A1a")->isCheckable());
    // Both at once: added first, then removed.
    t.SetStyle(TreeView::StyleRowSelect, TreeView::StyleRowSelect);
    EXPECT_EQ(View()->selectionBehavior(), QAbstractItemView::SelectItems);
}

TEST_F(TreeAppearanceFixture, FontMergeTable)
{
    auto& t = *tree_;
    FontData base;
    base.faceName = L"DejaVu Sans";
    base.pointSize = 10;
    base.bold = 0;
    base.italic = 1;
    base.underline = 0;
    t.SetFont(base, false);
    const FontData start = t.GetFont();
    ASSERT_EQ(start.italic, 1);
    for (const int flag : {-1, 0, 1}) {
        for (const double size : {-1.0, 0.0, 12.0}) {
            for (const bool face : {false, true}) {
                SCOPED_TRACE(std::to_string(flag) + " " + std::to_string(size) + " " + std::to_string(face));
                t.SetFont(base, false);
                FontData change;
                change.bold = change.italic = change.underline = flag;
                change.pointSize = size;
                if (face)
                    change.faceName = L"DejaVu Serif";
                t.SetFont(change, false);
                const FontData now = t.GetFont();
                EXPECT_EQ(now.bold, flag < 0 ? 0 : flag);
                EXPECT_EQ(now.italic, flag < 0 ? 1 : flag);
                EXPECT_EQ(now.underline, flag < 0 ? 0 : flag);
                EXPECT_NEAR(now.pointSize, size > 0 ? 12.0 : 10.0, 0.5);   // QFontInfo rounds to pixels
                EXPECT_EQ(View()->font().family(), face ? "DejaVu Serif" : "DejaVu Sans");
            }
        }
    }
}

TEST_F(TreeAppearanceFixture, ItemFontsBoldAndColours)
{
    auto& t = *tree_;
    for (const auto& weight : {std::make_pair(57, false), std::make_pair(58, true)}) {
        QFont font;
        font.setWeight(weight.first);
        I("A1")->setData(font, Qt::FontRole);
        EXPECT_EQ(t.IsItemBold(I("A1")), weight.second) << weight.first;
    }
    t.SetItemBold(I("B"), true);
    EXPECT_TRUE(t.IsItemBold(I("B")));
    EXPECT_FALSE(t.IsItemBold(I("B1")));
    FontData italic;
    italic.italic = 1;
    t.SetItemFont(I("B1"), italic);
    EXPECT_EQ(t.GetItemFont(I("B1")).italic, 1);
    EXPECT_EQ(t.GetItemFont(I("B1")).bold, 0);
    t.SetItemTextColor(I("A2"), 0xC00000);
    EXPECT_EQ(t.GetItemTextColor(I("A2")), 0xC00000);
    EXPECT_EQ(t.GetItemTextColor(I("B2")), t.GetTextColor());
    t.SetTextColor(0x0000C0, true);
    EXPECT_EQ(t.GetItemTextColor(I("A2")), 0x0000C0);
    EXPECT_EQ(t.GetTextColor(), 0x0000C0);
    EXPECT_EQ(t.GetItemTextColor(AUILib::TreeItemRoot), -1);
}

TEST_F(TreeAppearanceFixture, RemovedItemsLeaveFontColourAndPictureLists)
{
    auto& t = *tree_;
    FontData font;
    font.bold = 1;
    t.SetItemFont(I("A1a"), font);
    t.SetItemTextColor(I("A1a"), 0x00FF00);
    const QByteArray png = PngBytes();
    t.AddPicture(I("A1a"), reinterpret_cast<const unsigned char*>(png.constData()), png.size(), AUILib::ImagePNG,
                 16, AUILib::BitmapDefault);
    ASSERT_TRUE(t.RemoveItem(I("A")));
    EXPECT_TRUE(Impl()->fontItems.empty());
    EXPECT_TRUE(Impl()->colourItems.empty());
    t.SetFont(font, true);
    t.SetTextColor(0x123456, true);
    // New items may take the freed addresses: none inherits the picture.
    for (int i = 0; i < 8; ++i) {
        QStandardItem* fresh = t.InsertItem(L"fresh", I("B"), AUILib::TreeItemLast);
        EXPECT_EQ(Impl()->PicturesIfAny()->ItemPicture(fresh), -1);
        EXPECT_EQ(t.GetItemPicturePath(fresh), L"");
    }
}

TEST_F(TreeAppearanceFixture, VirtualModeRefusesTheStandardLook)
{
    auto& t = *tree_;
    t.SetVirtualMode(true);
    const QString sheet = View()->styleSheet();
    t.SetItemHeight(30);
    t.SetBackgroundColor(0xFF000000u);
    EXPECT_EQ(View()->styleSheet(), sheet);
    EXPECT_EQ(t.GetFont().pointSize, -1.0);
}

} // namespace
