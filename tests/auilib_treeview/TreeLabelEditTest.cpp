// The label editor: a single-line Edit over the item's row, its signals,
// and the right-click menu.
#include "TreeTestKit.h"

#include "ContextMenu.h"
#include "Edit.h"
#include "SignalRecorder.h"
#include "TreeViewItemDelegate.h"

#include <QLineEdit>

#include <cstdlib>
#include <QMenu>
#include <QTimer>

using AUILib::Edit;
using AUILib::TreeView;

namespace {

class TreeLabelEditTest : public treekit::TreeFixture {
protected:
    std::vector<std::string> log_;
    void Log()
    {
        tree_->OnItemTextChanged.Connect([this](QStandardItem*, std::wstring text) {
            log_.push_back("changed " + QString::fromStdWString(text).toStdString());
        });
        tree_->OnItemTextEdited.Connect([this](QStandardItem*, std::wstring before, std::wstring after) {
            log_.push_back("edited " + QString::fromStdWString(before).toStdString() + ">" +
                           QString::fromStdWString(after).toStdString());
        });
        tree_->OnLabelEditBegin.Connect([this](QStandardItem* item) { log_.push_back("begin " + item->text().toStdString()); });
        tree_->OnEditorCreated.Connect([this](QStandardItem*, Edit* edit) { log_.push_back(edit ? "editor" : "no editor"); });
        tree_->OnLabelEditEnd.Connect([this](QStandardItem* item) { log_.push_back("end " + item->text().toStdString()); });
    }
};

TEST_F(TreeLabelEditTest, EditAndSave)
{
    Log();
    ExpandAll();
    Edit* edit = tree_->EditLabel(I("A2"));
    ASSERT_NE(edit, nullptr);
    auto* line = qobject_cast<QLineEdit*>(edit->GetBaseImpl()->GetWndPtr());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QStringLiteral("A2"));
    EXPECT_EQ(line->selectedText(), QStringLiteral("A2"));
    // Over its own row although the view shows a header.
    const QRect row = View()->visualRect(I("A2")->index());
    const QPoint rowInView = View()->viewport()->mapTo(View(), row.topLeft());
    EXPECT_EQ(line->parentWidget(), View());
    EXPECT_LE(std::abs(line->geometry().top() - rowInView.y()), 2);
    EXPECT_EQ(line->height(), row.height() + 2);

    edit->SetText(L"renamed");
    tree_->EndEditLabel(true);
    EXPECT_EQ(tree_->GetItemText(I("A2")), L"renamed");
    EXPECT_EQ(log_, (std::vector<std::string>{"begin A2", "editor", "changed renamed", "edited A2>renamed",
                                              "end renamed"}));
    EXPECT_EQ(Impl()->editedItem, nullptr);
}

TEST_F(TreeLabelEditTest, EndWithoutSavingKeepsTheText)
{
    Edit* edit = tree_->EditLabel(I("B"));
    ASSERT_NE(edit, nullptr);
    edit->SetText(L"dropped");
    SignalRecorder<QStandardItem*> ended(tree_->OnLabelEditEnd);
    tree_->EndEditLabel(false);
    EXPECT_EQ(tree_->GetItemText(I("B")), L"B");
    EXPECT_EQ(ended.Count(), 1u);
}

TEST_F(TreeLabelEditTest, NotEditable)
{
    tree_->DisableEditLabel(I("B"), true);
    EXPECT_TRUE(tree_->IsDisabledEditLabel(I("B")));
    SignalRecorder<QStandardItem*> began(tree_->OnLabelEditBegin);
    EXPECT_EQ(tree_->EditLabel(I("B")), nullptr);
    EXPECT_EQ(began.Count(), 0u);
    EXPECT_FALSE(tree_->IsDisabledEditLabel(nullptr));
    EXPECT_EQ(tree_->EditLabel(nullptr), nullptr);
    tree_->EndEditLabel(true);   // nothing open
}

TEST_F(TreeLabelEditTest, EditTriggers)
{
    EXPECT_FALSE(tree_->IsEnabledEditItems());
    tree_->EnableEditItems(true);
    EXPECT_TRUE(tree_->IsEnabledEditItems());
    EXPECT_EQ(View()->editTriggers(), QAbstractItemView::DoubleClicked);
    tree_->EnableEditItems(false);
    EXPECT_FALSE(tree_->IsEnabledEditItems());
}

TEST_F(TreeLabelEditTest, BeginHandlerThatDestroysTheControl)
{
    tree_->OnLabelEditBegin.Connect([this](QStandardItem*) { tree_.reset(); });
    TreeView* raw = tree_.get();
    EXPECT_EQ(raw->EditLabel(I("A")), nullptr);
    EXPECT_EQ(tree_, nullptr);
}

TEST_F(TreeLabelEditTest, RightClickShowsTheMenu)
{
    auto menu = std::make_shared<AUILib::ContextMenu>();
    ASSERT_TRUE(menu->Create(window_));
    menu->AddItem(L"Rename", std::function<void()>([] {}), 0);
    tree_->InsertContextMenu(menu);
    std::vector<std::string> order;
    tree_->OnItemRightClicked.Connect([&order](QStandardItem* item) { order.push_back("right " + item->text().toStdString()); });
    bool menuShown = false;
    QTimer::singleShot(50, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menuShown = popup->isVisible();
            popup->close();
        }
    });
    Click(TextPoint(I("B")), Qt::NoModifier, Qt::RightButton);
    EXPECT_EQ(order, std::vector<std::string>{"right B"});
    EXPECT_TRUE(menuShown);
}

} // namespace
