// The event records: the type code each carries (procedures switch on it, and
// the numbers are Qt's where a Qt event stands behind the record) and the
// order of their fields.
#include "Event.h"

#include <QEvent>
#include <gtest/gtest.h>

#include <vector>

using namespace AUILib;

TEST(EventRecords, FixedTypeCodes)
{
    struct TypeCase {
        Event event;
        int code;
    };
    const std::vector<TypeCase> cases = {
        {TimerEvent(3), QEvent::Timer},
        {MouseLeaveEvent(), QEvent::Leave},
        {PaintEvent(), QEvent::Paint},
        {ResizeEvent(Size{1, 2}, Size{3, 4}), QEvent::Resize},
        {ShowEvent(), QEvent::Show},
        {HideEvent(), QEvent::Hide},
        {WindowActivateEvent(), QEvent::WindowActivate},
        {WindowDeactivateEvent(), QEvent::WindowDeactivate},
        {MouseWheelEvent(120, Point{0, 0}, 0, 0), QEvent::Wheel},
        {ApplicationPaletteChangeEvent(), QEvent::ApplicationPaletteChange},
        {ContextMenuEvent(), QEvent::ContextMenu},
        {DpiChangeEvent(144), 1001},
        {MovingEvent(), 1002},
        {FocusEvent(Event::FocusOut), QEvent::FocusOut},
        {MouseEvent(Event::MouseButtonDblClick, Point{0, 0}, 0, 0), QEvent::MouseButtonDblClick},
        {Event(static_cast<Event::Type>(QEvent::Drop)), QEvent::Drop},
    };
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(cases[i].event.type, cases[i].code) << "case " << i;
}

TEST(EventRecords, FieldsKeepTheirOrderAndSign)
{
    const ResizeEvent resize(Size{100, 50}, Size{120, 60});
    EXPECT_EQ(resize.oldSize, (Size{100, 50}));
    EXPECT_EQ(resize.newSize, (Size{120, 60}));

    const MouseWheelEvent wheel(-120, Point{-5, 7}, Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(wheel.delta, -120);
    EXPECT_EQ(wheel.position, (Point{-5, 7}));
    EXPECT_EQ(wheel.buttons, 0x2u);
    EXPECT_EQ(wheel.modifiers, 0x04000000u);

    const MouseEvent press(Event::MouseButtonPress, Point{3, 4}, Qt::LeftButton | Qt::MiddleButton, 0);
    EXPECT_EQ(press.position, (Point{3, 4}));
    EXPECT_EQ(press.buttons, 0x5u);

    EXPECT_EQ(TimerEvent(42).id, 42);
    EXPECT_EQ(DpiChangeEvent(144).value, 144);
}
