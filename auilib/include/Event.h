// Library events: the small records the event filter hands to a control's
// event procedure instead of Qt events, and the library's own key codes.
#pragma once

#include "AUILibTypes.h"

#include <cstdint>
#include <string>

namespace AUILib {

class Event {
public:
    // Qt's QEvent numbers wherever a Qt event stands behind the record; any
    // other Qt type may be carried by a plain Event.
    enum Type : int32_t {
        Timer = 1,
        MouseButtonPress = 2,
        MouseButtonRelease = 3,
        MouseButtonDblClick = 4,
        MouseMove = 5,
        KeyPress = 6,
        KeyRelease = 7,
        FocusIn = 8,
        FocusOut = 9,
        MouseLeave = 11,
        Paint = 12,
        Resize = 14,
        Show = 17,
        Hide = 18,
        WindowActivate = 24,
        WindowDeactivate = 25,
        Wheel = 31,
        ApplicationPaletteChange = 38,
        ContextMenu = 82,
        DpiChange = 1001,
        Moving = 1002,
    };

    enum Key : int32_t {
        Key_None = 0,
        Key_Backspace = 1,
        Key_Tab = 2,
        Key_Clear = 3,
        Key_Return = 4,
        Key_Shift = 5,
        Key_Control = 6,
        Key_Alt = 7,
        Key_Pause = 8,
        Key_CapsLock = 9,
        Key_KanaLock = 10,
        Key_Kanji = 15,
        Key_Escape = 17,
        Key_ModeSwitch = 21,
        Key_Space = 22,
        Key_PageUp = 23,
        Key_PageDown = 24,
        Key_End = 25,
        Key_Home = 26,
        Key_Left = 27,
        Key_Up = 28,
        Key_Right = 29,
        Key_Down = 30,
        Key_Select = 31,
        Key_Printer = 32,
        Key_Execute = 33,
        Key_Print = 34,
        Key_Insert = 35,
        Key_Delete = 36,
        Key_Help = 37,
        Key_A = 48,  // Key_A + n is the n-th letter, up to Key_Z
        Key_Z = 73,
        Key_Meta = 74,
        Key_Menu = 75,
        Key_Sleep = 76,
        Key_0 = 77,  // Key_0 + n is the digit n, up to Key_9
        Key_9 = 86,
        Key_Multiply = 87,
        Key_Add = 88,
        Key_Subtract = 90,
        Key_Decimal = 91,
        Key_Divide = 92,
        Key_F1 = 93,  // Key_F1 + n - 1 is Fn, up to Key_F24
        Key_F10 = 102,
        Key_F24 = 116,
        Key_NumLock = 117,
        Key_ScrollLock = 118,
        Key_Massyo = 119,
        Key_Touroku = 120,
        Key_Back = 127,
        Key_Forward = 128,
        Key_Refresh = 129,
        Key_Stop = 130,
        Key_Search = 131,
        Key_Favorites = 132,
        Key_HomePage = 133,
        Key_VolumeMute = 134,
        Key_VolumeDown = 135,
        Key_VolumeUp = 136,
        Key_MediaNext = 137,
        Key_MediaPrevious = 138,
        Key_MediaStop = 139,
        Key_MediaPlay = 140,
        Key_LaunchMail = 141,
        Key_LaunchMedia = 142,
        Key_Launch0 = 143,
        Key_Launch1 = 144,
        Key_Comma = 147,
        Key_Period = 149,
    };

    // Qt's modifier bits; key events carry only these three.
    enum Modifier : uint32_t {
        NoModifier = 0,
        ShiftModifier = 0x02000000,
        ControlModifier = 0x04000000,
        AltModifier = 0x08000000,
    };

    explicit Event(Type type) : type(type) {}

    Type type;
};

class TimerEvent : public Event {
public:
    explicit TimerEvent(int id) : Event(Timer), id(id) {}
    int32_t id;
};

class MouseEvent : public Event {
public:
    MouseEvent(Event::Type type, const Point& position, unsigned buttons, unsigned modifiers)
        : Event(type), position(position), buttons(buttons), modifiers(modifiers)
    {
    }
    Point position;
    uint32_t buttons;
    uint32_t modifiers;
};

class KeyEvent : public Event {
public:
    // Stores the corrected text (see CorrectedText), not the given one.
    KeyEvent(Event::Type type, Event::Key key, Event::Modifier modifiers, const std::wstring& text,
             int nativeKey);

    bool IsSpecialKey() const;
    // Special keys carry no text and Backspace always carries U+0008, so a
    // procedure can insert the text of any key event as it stands.
    std::wstring CorrectedText(const std::wstring& text) const;

    Key key;
    Modifier modifiers;
    int32_t nativeKey;
    std::wstring text;
};

class FocusEvent : public Event {
public:
    explicit FocusEvent(Event::Type type) : Event(type) {}
};

class MouseLeaveEvent : public Event {
public:
    MouseLeaveEvent() : Event(MouseLeave) {}
};

class PaintEvent : public Event {
public:
    PaintEvent() : Event(Paint) {}
};

class ResizeEvent : public Event {
public:
    ResizeEvent(const Size& oldSize, const Size& newSize) : Event(Resize), oldSize(oldSize), newSize(newSize) {}
    Size oldSize;
    Size newSize;
};

class ShowEvent : public Event {
public:
    ShowEvent() : Event(Show) {}
};

class HideEvent : public Event {
public:
    HideEvent() : Event(Hide) {}
};

class WindowActivateEvent : public Event {
public:
    WindowActivateEvent() : Event(WindowActivate) {}
};

class WindowDeactivateEvent : public Event {
public:
    WindowDeactivateEvent() : Event(WindowDeactivate) {}
};

class MouseWheelEvent : public Event {
public:
    MouseWheelEvent(short delta, Point position, unsigned buttons, unsigned modifiers)
        : Event(Wheel), delta(delta), position(position), buttons(buttons), modifiers(modifiers)
    {
    }
    int16_t delta;  // eighths of a degree, 120 per notch; negative backwards
    Point position;
    uint32_t buttons;
    uint32_t modifiers;
};

class ApplicationPaletteChangeEvent : public Event {
public:
    ApplicationPaletteChangeEvent() : Event(ApplicationPaletteChange) {}
};

class ContextMenuEvent : public Event {
public:
    ContextMenuEvent() : Event(ContextMenu) {}
};

class DpiChangeEvent : public Event {
public:
    explicit DpiChangeEvent(int value) : Event(DpiChange), value(value) {}
    int32_t value;
};

class MovingEvent : public Event {
public:
    MovingEvent() : Event(Moving) {}
};

// The library key code of a Qt key code, Key_None for keys the library does
// not know. Comma and period become Key_Decimal when they are the decimal
// point of the input method's locale; this needs a running QGuiApplication.
Event::Key SysKeyToAUIKey(int qtKey);

} // namespace AUILib
