// What the control base keeps for others: user value, hooks, context menu,
// drop and mouse-tracking flags.
#include "AUILibConfig.h"
#include "BaseImplQt.h"
#include "CheckBox.h"
#include "ContextMenu.h"
#include "DrawElement.h"
#include "Label.h"
#include "RecordingContextMenu.h"

#include <gtest/gtest.h>

#include <QMenu>
#include <QWidget>

using namespace AUILib;

TEST(BaseGUIObject, StartsEmptyAndKeepsWhatItIsGiven)
{
    QWidget parent;
    Label label;
    EXPECT_EQ(label.GetUserValue(), nullptr);
    EXPECT_FALSE(label.EventProcedure());
    EXPECT_FALSE(label.PreTranslateMessage());
    EXPECT_FALSE(label.GetContextMenu());
    EXPECT_TRUE(label.GetName().empty());
    EXPECT_FALSE(label.OnDestroyed.IsBlocked());

    EXPECT_EQ(label.SetUserValue(&parent), &label);
    EXPECT_EQ(label.GetUserValue(), &parent);

    int events = 0;
    label.SetEventProcedure([&](BaseGUIObject* control, Event*) {
        EXPECT_EQ(control, &label);
        return ++events > 0;
    });
    ASSERT_TRUE(label.EventProcedure());
    EXPECT_TRUE(label.EventProcedure()(&label, nullptr));
    EXPECT_EQ(events, 1);
    label.SetPreTranslateMessage([](void*) { return 7; });
    EXPECT_EQ(label.PreTranslateMessage()(nullptr), 7);

    // Recording the parent window moves nothing.
    label.SetParentWindow(&parent);
    EXPECT_EQ(label.GetParentWindow(), &parent);
    EXPECT_EQ(label.GetBaseImpl()->GetWndPtr()->parentWidget(), nullptr);
    EXPECT_EQ(label.GetPlatformWindow(), label.GetBaseImpl()->GetWndPtr());
    EXPECT_EQ(label.GetPlatformHandle(), label.GetBaseImpl()->GetWndPtr());

    EXPECT_FALSE(label.SetSkinMode(SkinModeDark, true));
    EXPECT_EQ(label.GetSkinManager(), GetGlobalSkinManager());
    label.Create(&parent);
}

TEST(BaseGUIObject, HoldsOneContextMenuAtATime)
{
    DrawElement surface;
    auto first = std::make_shared<RecordingContextMenu>();
    auto second = std::make_shared<RecordingContextMenu>();
    surface.InsertContextMenu(first);
    EXPECT_EQ(surface.GetContextMenu(), first);
    surface.InsertContextMenu(second);
    EXPECT_EQ(surface.GetContextMenu(), second);
    EXPECT_EQ(first.use_count(), 1);  // the earlier menu was let go

    // Whoever shows the attached menu reaches the double.
    surface.GetContextMenu()->Show(true);
    surface.GetContextMenu()->Show(10, 20);
    EXPECT_EQ(second->shows, std::vector<bool>{true});
    ASSERT_EQ(second->shownAt.size(), 1u);
    EXPECT_EQ(second->shownAt[0], QPoint(10, 20));

    surface.RemoveContextMenu();
    EXPECT_FALSE(surface.GetContextMenu());
    EXPECT_EQ(second.use_count(), 1);
    delete surface.GetBaseImpl()->GetWndPtr();
}

TEST(BaseGUIObject, AMenuIsMadeOnItsParent)
{
    QWidget parent;
    ContextMenu menu;
    EXPECT_FALSE(menu.Create(nullptr));
    EXPECT_TRUE(menu.Create(&parent));
    ASSERT_EQ(parent.findChildren<QMenu*>().size(), 1);
    EXPECT_EQ(menu.AddItem(L"Entry", [] {}, 0), 0);
    EXPECT_EQ(parent.findChildren<QMenu*>().first()->actions().size(), 1);
    menu.Show(false);
    EXPECT_FALSE(parent.findChildren<QMenu*>().first()->isVisible());
    EXPECT_EQ(menu.GetSkinManager(), GetGlobalSkinManager());
}

TEST(BaseGUIObject, DropAndTrackingFlagsChangeOnlyOnRequest)
{
    Label label;
    QWidget* widget = label.GetBaseImpl()->GetWndPtr();
    widget->setAcceptDrops(true);  // as a form may set it
    EXPECT_FALSE(label.IsAcceptDrops());
    label.SetAcceptDrops(true);
    EXPECT_TRUE(label.IsAcceptDrops());
    label.SetAcceptDrops(false);
    EXPECT_FALSE(widget->acceptDrops());

    auto impl = std::static_pointer_cast<BaseImplQt>(label.GetBaseImpl());
    EXPECT_FALSE(impl->IsTrackMouseEvent());
    label.SetTrackMouseEvent();
    EXPECT_TRUE(impl->IsTrackMouseEvent());
    EXPECT_TRUE(widget->testAttribute(Qt::WA_Hover));

    EXPECT_EQ(*impl->GetExtensionValue(), 0);
    EXPECT_FALSE(impl->ShowToolTipAt(Point{1, 1}));
    EXPECT_FALSE(impl->IsChangeInProgress());
    EXPECT_TRUE(impl->ToolTips().empty());
    // The base answers no font; a check box has none of its own (the label
    // answers its widget's).
    CheckBox box;
    EXPECT_EQ(std::static_pointer_cast<BaseImplQt>(box.GetBaseImpl())->GetFont().pointSize, -1.0);
    EXPECT_GT(impl->GetFont().pointSize, 0.0);
    delete widget;
}
