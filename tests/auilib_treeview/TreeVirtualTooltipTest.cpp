// Tooltips of virtual items: set through the control or the node, shown when
// a tooltip event reaches the view's viewport in a dialog made from a form.
#include "TreeFormScene.h"

#include "ControlGoneKit.h"
#include "TreeModel.h"
#include "VirtTreeItem.h"

#include <QHelpEvent>
#include <QStandardItem>
#include <QToolTip>

#include <string>

using AUILib::VirtTreeItem;

namespace {

class TreeVirtualTooltip : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(scene_.tree);
        ASSERT_TRUE(scene_.ShowActive());
        tree_ = scene_.tree.get();
        tree_->SetVirtualMode(true);
        v0 = tree_->AddVirtualTreeItem(L"V0", nullptr);
        v0a = tree_->AddVirtualTreeItem(L"V0a", v0);
        v1 = tree_->AddVirtualTreeItem(L"V1", nullptr);
        tree_->UpdateVirtualView();
        tree_->SetExpanded(v0, true);
    }
    void TearDown() override { QToolTip::hideText(); }

    // Sends a tooltip event to the viewport at a point; the text shown after.
    QString TipAt(const QPoint& at)
    {
        QWidget* viewport = scene_.view->viewport();
        QHelpEvent help(QEvent::ToolTip, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
    QPoint On(VirtTreeItem* item)
    {
        auto* model = qobject_cast<AUILib::TreeModel*>(scene_.view->model());
        return scene_.view->visualRect(model->IndexOf(item)).center();
    }

    treekit::TreeFormScene scene_;
    AUILib::TreeView* tree_ = nullptr;
    VirtTreeItem *v0 = nullptr, *v0a = nullptr, *v1 = nullptr;
};

TEST_F(TreeVirtualTooltip, SetThroughTheControlOrTheNode)
{
    EXPECT_TRUE(tree_->SetItemTooltip(v0, L"first"));
    EXPECT_EQ(v0->GetTooltip(), L"first");
    v0a->SetTooltip(L"second");
    EXPECT_EQ(v0a->GetTooltip(), L"second");
    EXPECT_TRUE(tree_->SetItemTooltip(v0, L""));
    EXPECT_EQ(v0->GetTooltip(), L"");
    EXPECT_FALSE(tree_->SetItemTooltip(static_cast<VirtTreeItem*>(nullptr), L"x"));
    // Out of virtual mode the nodes are gone: refused before any is read.
    tree_->SetVirtualMode(false);
    EXPECT_FALSE(tree_->SetItemTooltip(v1, L"x"));
}

TEST_F(TreeVirtualTooltip, TooltipEventShowsTheItemsText)
{
    tree_->SetItemTooltip(v0, L"tip of V0");
    v0a->SetTooltip(L"tip of V0a");
    struct Case {
        const char* name;
        std::function<QPoint()> at;
        const char* shown;   // "" none
    };
    const Case cases[] = {
        {"top-level item", [&] { return On(v0); }, "tip of V0"},
        {"child item", [&] { return On(v0a); }, "tip of V0a"},
        {"back to the first item", [&] { return On(v0); }, "tip of V0"},
        {"item without a tooltip", [&] { return On(v1); }, ""},
        {"below the items", [&] { return QPoint(20, scene_.view->viewport()->height() - 3); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString shown = TipAt(c.at());
        if (*c.shown) {
            EXPECT_EQ(shown, QString::fromUtf8(c.shown));
        } else {
            // Hidden after Qt's short delay.
            for (int i = 0; i < 100 && QToolTip::isVisible(); ++i)
                QTest::qWait(20);
            EXPECT_FALSE(QToolTip::isVisible()) << QToolTip::text().toStdString();
        }
    }
}

TEST_F(TreeVirtualTooltip, TooltipOfAnItemChangedWhileShown)
{
    v1->SetTooltip(L"old");
    EXPECT_EQ(TipAt(On(v1)), QStringLiteral("old"));
    tree_->SetItemTooltip(v1, L"new");
    EXPECT_EQ(TipAt(On(v1)), QStringLiteral("new"));
}

TEST_F(TreeVirtualTooltip, StandardModeTooltipThroughTheSameEvent)
{
    tree_->SetVirtualMode(false);
    QStandardItem* item = tree_->InsertItem(L"plain", nullptr, AUILib::TreeItemLast);
    tree_->SetItemTooltip(item, L"standard tip");
    const QRect r = scene_.view->visualRect(item->index());
    EXPECT_TRUE(TipAt(QPoint(r.right() - 3, r.center().y())).contains(QStringLiteral("standard tip")));
}

TEST_F(TreeVirtualTooltip, AfterTheControlIsGoneTheEventIsHarmless)
{
    v0->SetTooltip(L"tip of V0");
    const QPoint at = On(v0);
    QPointer<AUILib::TreeViewQt> view = scene_.view;
    scene_.tree.reset();
    scene_.dialog.reset();
    tree_ = nullptr;
    ASSERT_TRUE(view);
    TipAt(at);
    RunPostedAndDeferredDeletes();
}

} // namespace
