// Pictures of a populated tree, light and dark (the dark one in the
// application's dark look):
// check boxes on a branch with some children checked and a selection, the
// label editor under a visible header, word-wrapped items.
#include "TreeTestKit.h"

#include "DarkLook.h"
#include "Edit.h"
#include "OutlineContrast.h"
#include "PicturePixels.h"
#include "Screenshot.h"

#include <QPalette>

#include <cstdio>
#include <memory>

namespace {

class TreeScreenshotTest : public treekit::TreeFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        if (GetParam())
            dark_ = std::make_unique<DarkLook>();
        TreeFixture::SetUp();
        window_->resize(260, 220);
        View()->setGeometry(0, 0, 260, 220);
        tree_->SetHeaderLabel(L"Documents");
    }
    void TearDown() override
    {
        TreeFixture::TearDown();
        dark_.reset();
    }
    QString Name(const char* what) { return QString("treeview_%1_%2").arg(what, GetParam() ? "dark" : "light"); }
    std::unique_ptr<DarkLook> dark_;
};

TEST_P(TreeScreenshotTest, CheckBoxesAndSelection)
{
    tree_->SetCheckMode(1);
    ExpandAll();
    Click(CheckPoint(I("A1a")));   // A1 follows: its only child
    Click(CheckPoint(I("B2")));
    tree_->SelectItem(I("A2"), true);
    EXPECT_EQ(Names(tree_->CheckedItems()), "A1,A1a,B2");
    EXPECT_FALSE(saveScreenshot(window_, Name("checks")).isEmpty());
    // An unchecked box stands out from the view in the dark as in the light.
    const QImage view = View()->viewport()->grab().toImage();
    const int contrast = OutlineContrast(view, CheckRect(I("B1")), View()->palette().color(QPalette::Base));
    std::printf("unchecked box outline: %d levels from the view\n", contrast);
    EXPECT_GE(contrast, 60);
}

TEST_P(TreeScreenshotTest, LabelEditorUnderAHeader)
{
    ExpandAll();
    AUILib::Edit* edit = tree_->EditLabel(I("A2"));
    ASSERT_NE(edit, nullptr);
    edit->SetText(L"Renaming A2");
    QApplication::processEvents();
    const QRect row = View()->visualRect(I("A2")->index());
    QWidget* line = edit->GetBaseImpl()->GetWndPtr();
    EXPECT_TRUE(line->geometry().contains(View()->viewport()->mapTo(View(), row.center())));
    EXPECT_FALSE(saveScreenshot(window_, Name("label_editor")).isEmpty());
    // The editor's text is drawn on its own background.
    const QImage picture = window_->grab().toImage();
    EXPECT_GT(PixelsAwayFrom(picture, RectInWindow(line), line->palette().color(QPalette::Base)), 30);
    tree_->EndEditLabel(false);
}

TEST_P(TreeScreenshotTest, WordWrappedItems)
{
    tree_->InsertItem(L"A long item text that wraps onto several lines in this narrow view", nullptr,
                      AUILib::TreeItemLast);
    tree_->InsertItem(L"Short", nullptr, AUILib::TreeItemLast);
    tree_->EnableWordWrapText(true);
    EXPECT_FALSE(saveScreenshot(window_, Name("word_wrap")).isEmpty());
    // The long item takes several lines, each with text on it.
    QModelIndex wrapped;
    for (int r = 0; r < View()->model()->rowCount(); ++r) {
        if (View()->model()->index(r, 0).data().toString().startsWith("A long"))
            wrapped = View()->model()->index(r, 0);
    }
    ASSERT_TRUE(wrapped.isValid());
    const QRect row = View()->visualRect(wrapped);
    const int line = View()->fontMetrics().height();
    ASSERT_GE(row.height(), 2 * line);
    const QImage view = View()->viewport()->grab().toImage();
    const QColor base = View()->palette().color(QPalette::Base);
    EXPECT_GT(PixelsAwayFrom(view, QRect(row.left(), row.top(), row.width(), line), base), 10);
    EXPECT_GT(PixelsAwayFrom(view, QRect(row.left(), row.bottom() - line, row.width(), line), base), 10);
}

INSTANTIATE_TEST_SUITE_P(Palettes, TreeScreenshotTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Dark" : "Light"; });

} // namespace
