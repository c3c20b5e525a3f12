// Filter rows that act without a procedure's say: context menus, re-fitting
// on layout requests, and nothing at all once the dialog is gone.
#include "FormTestSupport.h"
#include "RecordingContextMenu.h"

#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QLabel>
#include <QScrollArea>

namespace {

TEST(FilterRows, ContextMenus)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    WindowGuard guard(dialog.GetWndPtr());
    AUILib::EventHelper* helper = dialog.Impl()->GetEventHelper();
    const struct {
        const wchar_t* control;
        int procedure;   // -1 none, else its answer
        bool shown;
        bool filtered;
    } cases[] = {
        {L"label", -1, true, false},
        {L"label", 0, true, false},
        {L"label", 1, false, true},
        {L"lineEdit", -1, false, false},   // edits show their own menu
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.procedure);
        auto control = dialog.GetElementByName(c.control);
        auto menu = std::make_shared<RecordingContextMenu>();
        control->InsertContextMenu(menu);
        if (c.procedure < 0)
            control->SetEventProcedure(nullptr);
        else
            control->SetEventProcedure([&c](AUILib::BaseGUIObject*, AUILib::Event* e) {
                EXPECT_EQ(e->type, 82);
                return c.procedure == 1;
            });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(1, 1));
        EXPECT_EQ(helper->eventFilter(control->GetPlatformWindow(), &event), c.filtered);
        EXPECT_EQ(menu->shows, c.shown ? std::vector<bool>{true} : std::vector<bool>{});
        control->RemoveContextMenu();
    }
}

TEST(FilterRows, LayoutRequestRefitsOnlyAVisibleDialog)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("scroll"));
    QWidget* window = dialog.GetWndPtr();
    WindowGuard guard(window);
    AUILib::EventHelper* helper = dialog.Impl()->GetEventHelper();
    auto* area = window->findChild<QScrollArea*>("scrollArea");
    QEvent request(QEvent::LayoutRequest);
    EXPECT_FALSE(helper->eventFilter(window, &request));
    EXPECT_NE(area->minimumSize(), area->maximumSize());   // hidden: untouched
    window->show();
    EXPECT_FALSE(helper->eventFilter(window, &request));
    EXPECT_EQ(area->minimumSize(), area->maximumSize());
    EXPECT_EQ(area->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(FilterRows, NothingRunsWithoutTheDialog)
{
    GermanStrings strings(false);
    auto dialog = std::make_unique<VetoDialog>(FormPath("main"));
    QPointer<QWidget> window = dialog->GetWndPtr();
    WindowGuard guard(window);
    std::shared_ptr<AUILib::BaseImpl> held = dialog->GetBaseImpl();
    AUILib::EventHelper* helper = dialog->Impl()->GetEventHelper();
    auto edit = dialog->GetElementByName(L"lineEdit");
    int calls = 0;
    edit->SetEventProcedure([&calls](AUILib::BaseGUIObject*, AUILib::Event*) { return ++calls, true; });
    AUILib::Signal<int> signal;
    int queued = 0;
    signal.ConnectQueued([&queued](int) { ++queued; }, edit);
    signal.Emit(1);
    dialog.reset();
    EXPECT_FALSE(helper->GetOwner());
    QCoreApplication::sendPostedEvents(edit->GetPlatformWindow());
    QFocusEvent focus(QEvent::FocusIn);
    EXPECT_FALSE(helper->eventFilter(edit->GetPlatformWindow(), &focus));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(queued, 0);
}

} // namespace
