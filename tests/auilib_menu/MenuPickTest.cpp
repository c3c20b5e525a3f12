// Picking from the open menu: the handler runs once inside the menu's loop
// with its id, a checkable entry shows its new state's picture afterwards,
// handlers may remove their entry or drop the menu's window, and the two
// callers that show a control's menu (a dialog on right-click, a push
// button before its click) show this menu.
#include "MenuTestKit.h"

#include "AUILibConfig.h"
#include "BaseImpl.h"
#include "Button.h"
#include "Dialog.h"
#include "PopupPicker.h"
#include "SignalRecorder.h"
#include "Translator.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QTest>

#include <string>
#include <vector>

namespace {

using AUILib::ContextMenu;

// The handler may delete the menu's window while the key is pressed: no
// release goes to a window that is gone.
void PickByKeys(QWidget* popup, int downs)
{
    for (int i = 0; i < downs; ++i)
        QTest::keyClick(popup, Qt::Key_Down);
    QPointer<QWidget> alive = popup;
    QTest::keyPress(popup, Qt::Key_Return);
    if (alive)
        QTest::keyRelease(popup, Qt::Key_Return);
}

TEST(MenuPick, APickRunsItsHandlerOnceWithItsId)
{
    const struct {
        const char* how;
        std::function<void(QWidget*, ContextMenu&)> pick;
    } cases[] = {
        {"keys", [](QWidget* popup, ContextMenu&) { PickByKeys(popup, 2); }},
        {"click", [](QWidget* popup, ContextMenu& menu) {
             ClickAction(qobject_cast<QMenu*>(popup), ActionAt(menu, 2));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        MenuOnWindow m;
        std::vector<int> calls;
        int plainCalls = 0;
        m.menu->AddItem(L"Plain", [&] { ++plainCalls; }, 0);
        m.menu->AddSeparator();
        const int withId = m.menu->AddItem(L"With id", [&](int id) { calls.push_back(id); }, 0);
        PopupPicker picker([&](QWidget* popup) { c.pick(popup, *m.menu); });
        m.menu->Show(40, 50);
        EXPECT_TRUE(picker.Acted());
        EXPECT_EQ(calls, std::vector<int>{withId});
        EXPECT_EQ(plainCalls, 0);
        EXPECT_FALSE(MenuWidget(*m.menu)->isVisible());
        // Triggered outside the menu's loop, the handler runs at once.
        ActionAt(*m.menu, 0)->trigger();
        EXPECT_EQ(plainCalls, 1);
    }
}

TEST(MenuPick, ShownWhereAsked)
{
    MenuOnWindow m;
    m.menu->AddItem(L"Only", [] {}, 0);
    QPoint shownAt;
    PopupPicker picker([&](QWidget* popup) {
        shownAt = popup->pos();
        QTest::keyClick(popup, Qt::Key_Escape);
    });
    m.menu->Show(60, 70);
    EXPECT_EQ(shownAt, QPoint(60, 70));

    QCursor::setPos(120, 90);
    PopupPicker atCursor([&](QWidget* popup) {
        shownAt = popup->pos();
        QTest::keyClick(popup, Qt::Key_Escape);
    });
    m.menu->Show(true);
    EXPECT_TRUE(atCursor.Acted());
    EXPECT_EQ(shownAt, QCursor::pos());
}

TEST(MenuPick, ACheckableEntryShowsItsNewStatesPicture)
{
    MenuOnWindow m;
    int calls = 0;
    const int id = m.menu->AddItem(L"Toggle", [&] { ++calls; }, ContextMenu::Checkable | ContextMenu::Checked);
    AddPicture(*m.menu, id, Qt::red, true);
    AddPicture(*m.menu, id, Qt::blue, false);
    QAction* action = ActionAt(*m.menu, 0);
    EXPECT_EQ(IconColour(action), QColor(Qt::blue));  // the last one given shows until a refresh
    for (const bool expectChecked : {false, true}) {
        PopupPicker picker([&](QWidget* popup) { PickByKeys(popup, 1); });
        m.menu->Show(10, 10);
        EXPECT_EQ(m.menu->IsCheckedItem(id), expectChecked);
        EXPECT_EQ(IconColour(action), QColor(expectChecked ? Qt::red : Qt::blue));
    }
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(m.menu->ItemsChecked(), std::list<int>{id});
}

TEST(MenuPick, AnEntryOfASubmenuIsPickedThroughIt)
{
    MenuOnWindow m;
    std::vector<int> calls;
    m.menu->AddItem(L"Top", [&] { calls.push_back(-1); }, 0);
    auto sub = m.menu->AddSubmenu(L"Sub");
    const int inner = sub->AddItem(L"Inner", [&](int id) { calls.push_back(id); }, 0);
    PopupPicker picker([&](QWidget* popup) {
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Down);
        QTest::keyClick(popup, Qt::Key_Right);  // opens the submenu, first entry active
        QWidget* open = QApplication::activePopupWidget();
        ASSERT_EQ(open, MenuWidget(*sub));
        QTest::keyClick(open, Qt::Key_Return);
    });
    m.menu->Show(10, 10);
    EXPECT_EQ(calls, std::vector<int>{inner});
}

TEST(MenuPick, AHandlerMayRemoveItsOwnEntryOrDropTheWindow)
{
    {
        MenuOnWindow m;
        int id = -1;
        id = m.menu->AddItem(L"Once", [&] { EXPECT_TRUE(m.menu->RemoveItem(id)); }, ContextMenu::Checkable);
        AddPicture(*m.menu, id, Qt::red, true);
        QPointer<QAction> action = ActionAt(*m.menu, 0);
        PopupPicker picker([&](QWidget* popup) { PickByKeys(popup, 1); });
        m.menu->Show(10, 10);
        EXPECT_EQ(m.menu->Count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(action);
    }
    {
        MenuOnWindow m;
        m.menu->AddItem(L"Close all", [&] { delete m.window.data(); }, 0);
        PopupPicker picker([&](QWidget* popup) { PickByKeys(popup, 1); });
        m.menu->Show(10, 10);
        EXPECT_FALSE(m.window);
        EXPECT_EQ(m.menu->Count(), 0);
    }
    {
        MenuOnWindow m;
        m.menu->AddItem(L"Start over", [&] { m.menu->Create(m.window); }, ContextMenu::Checkable);
        PopupPicker picker([&](QWidget* popup) { PickByKeys(popup, 1); });
        m.menu->Show(10, 10);
        EXPECT_EQ(m.menu->Count(), 0);
    }
}

TEST(MenuPick, ClosedByShowFalse)
{
    MenuOnWindow m;
    m.menu->AddItem(L"A", [] { FAIL() << "nothing was picked"; }, 0);
    bool wasOpen = false;
    PopupPicker picker([&](QWidget* popup) {
        wasOpen = popup->isVisible();
        m.menu->Show(false);
    });
    m.menu->Show(10, 10);
    EXPECT_TRUE(wasOpen);
    EXPECT_FALSE(MenuWidget(*m.menu)->isVisible());
}

// The widget library's dialog shows a control's menu on right-click.
TEST(MenuPick, RightClickOnADialogsControlShowsItsMenu)
{
    AUILib::SetCurrentLanguage(L"en-US", true);
    AUILib::SetWorkingDirPath(QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString());
    AUILib::Translator::GetInstance().ResetStringsTable();
    AUILib::Dialog dialog(QString(AUILIB_FIXTURES_ENCIPHERED "/auiresources/ui/main.ui.kw").toStdWString());
    QPointer<QWidget> window = dialog.GetWndPtr();
    auto label = dialog.GetElementByName(L"label");
    ASSERT_TRUE(label);
    auto menu = std::make_shared<ContextMenu>();
    ASSERT_TRUE(menu->Create(window));
    std::vector<int> picked;
    const int id = menu->AddItem(L"Copy", [&](int i) { picked.push_back(i); }, 0);
    label->InsertContextMenu(menu);

    PopupPicker picker([&](QWidget* popup) {
        EXPECT_EQ(popup, MenuWidget(*menu));
        PickByKeys(popup, 1);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2));
    QApplication::sendEvent(label->GetPlatformWindow(), &event);
    EXPECT_TRUE(picker.Acted());
    EXPECT_EQ(picked, std::vector<int>{id});
    label->RemoveContextMenu();
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A push button with a drop-down menu shows it below itself, runs the
// picked entry, then reports its click.
TEST(MenuPick, AButtonShowsItsMenuBeforeItsClick)
{
    QWidget window;
    window.setGeometry(200, 150, 300, 200);
    auto button = std::make_shared<AUILib::Button>();
    button->Create(&window);
    QWidget* widget = button->GetBaseImpl()->GetWndPtr();
    widget->setGeometry(10, 20, 80, 30);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    auto menu = std::make_shared<ContextMenu>();
    menu->Create(&window);
    std::vector<std::string> order;
    menu->AddItem(L"Entry", [&] { order.push_back("entry"); }, 0);
    button->InsertMenuBar(menu, true);
    button->clicked.Connect([&] { order.push_back("clicked"); });
    QPoint shownAt;
    PopupPicker picker([&](QWidget* popup) {
        shownAt = popup->pos();
        PickByKeys(popup, 1);
    });
    QTest::mouseClick(widget, Qt::LeftButton);
    EXPECT_EQ(order, (std::vector<std::string>{"entry", "clicked"}));
    EXPECT_EQ(shownAt, widget->mapToGlobal(QPoint(0, widget->height() - 1)));
    button.reset();
}

} // namespace
