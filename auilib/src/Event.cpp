#include "Event.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QLocale>

namespace AUILib {

namespace {

// Qt's function, navigation, modifier, media and Japanese input keys (all
// from 0x01000000 up); unlisted ones have no library code.
Event::Key FunctionKey(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return static_cast<Event::Key>(Event::Key_F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Backspace: return Event::Key_Backspace;
    case Qt::Key_Tab: return Event::Key_Tab;
    case Qt::Key_Clear: return Event::Key_Clear;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Event::Key_Return;
    case Qt::Key_Shift: return Event::Key_Shift;
    case Qt::Key_Control: return Event::Key_Control;
    case Qt::Key_Alt: return Event::Key_Alt;
    case Qt::Key_Pause: return Event::Key_Pause;
    case Qt::Key_CapsLock: return Event::Key_CapsLock;
    case Qt::Key_Kana_Lock: return Event::Key_KanaLock;
    case Qt::Key_Kanji: return Event::Key_Kanji;
    case Qt::Key_Escape: return Event::Key_Escape;
    case Qt::Key_Mode_switch: return Event::Key_ModeSwitch;
    case Qt::Key_PageUp: return Event::Key_PageUp;
    case Qt::Key_PageDown: return Event::Key_PageDown;
    case Qt::Key_End: return Event::Key_End;
    case Qt::Key_Home: return Event::Key_Home;
    case Qt::Key_Left: return Event::Key_Left;
    case Qt::Key_Up: return Event::Key_Up;
    case Qt::Key_Right: return Event::Key_Right;
    case Qt::Key_Down: return Event::Key_Down;
    case Qt::Key_Select: return Event::Key_Select;
    case Qt::Key_Printer: return Event::Key_Printer;
    case Qt::Key_Execute: return Event::Key_Execute;
    case Qt::Key_Print: return Event::Key_Print;
    case Qt::Key_Insert: return Event::Key_Insert;
    case Qt::Key_Delete: return Event::Key_Delete;
    case Qt::Key_Help: return Event::Key_Help;
    case Qt::Key_Meta: return Event::Key_Meta;
    case Qt::Key_Menu: return Event::Key_Menu;
    case Qt::Key_Sleep: return Event::Key_Sleep;
    case Qt::Key_NumLock: return Event::Key_NumLock;
    case Qt::Key_ScrollLock: return Event::Key_ScrollLock;
    case Qt::Key_Massyo: return Event::Key_Massyo;
    case Qt::Key_Touroku: return Event::Key_Touroku;
    case Qt::Key_Back: return Event::Key_Back;
    case Qt::Key_Forward: return Event::Key_Forward;
    case Qt::Key_Refresh: return Event::Key_Refresh;
    case Qt::Key_Stop: return Event::Key_Stop;
    case Qt::Key_Search: return Event::Key_Search;
    case Qt::Key_Favorites: return Event::Key_Favorites;
    case Qt::Key_HomePage: return Event::Key_HomePage;
    case Qt::Key_VolumeMute: return Event::Key_VolumeMute;
    case Qt::Key_VolumeDown: return Event::Key_VolumeDown;
    case Qt::Key_VolumeUp: return Event::Key_VolumeUp;
    case Qt::Key_MediaNext: return Event::Key_MediaNext;
    case Qt::Key_MediaPrevious: return Event::Key_MediaPrevious;
    case Qt::Key_MediaStop: return Event::Key_MediaStop;
    case Qt::Key_MediaPlay: return Event::Key_MediaPlay;
    case Qt::Key_LaunchMail: return Event::Key_LaunchMail;
    case Qt::Key_LaunchMedia: return Event::Key_LaunchMedia;
    case Qt::Key_Launch0: return Event::Key_Launch0;
    case Qt::Key_Launch1: return Event::Key_Launch1;
    default: return Event::Key_None;
    }
}

// The decimal point of the input method's locale, 0 when it is not a
// Latin-1 character or there is no application to ask.
int InputDecimalPoint()
{
    if (!qGuiApp)
        return 0;
    const QInputMethod* inputMethod = QGuiApplication::inputMethod();
    if (!inputMethod)
        return 0;
    const int point = inputMethod->locale().decimalPoint().unicode();
    return point > 255 ? 0 : point;
}

Event::Key PrintableKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<Event::Key>(Event::Key_A + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<Event::Key>(Event::Key_0 + (qtKey - Qt::Key_0));
    switch (qtKey) {
    case Qt::Key_Space: return Event::Key_Space;
    case Qt::Key_Asterisk: return Event::Key_Multiply;
    case Qt::Key_Plus: return Event::Key_Add;
    case Qt::Key_Minus: return Event::Key_Subtract;
    case Qt::Key_Slash: return Event::Key_Divide;
    case Qt::Key_Comma:
        return InputDecimalPoint() == ',' ? Event::Key_Decimal : Event::Key_Comma;
    case Qt::Key_Period:
        return InputDecimalPoint() == '.' ? Event::Key_Decimal : Event::Key_Period;
    default: return Event::Key_None;
    }
}

} // namespace

Event::Key SysKeyToAUIKey(int qtKey)
{
    if (qtKey >= 0x01000000)
        return FunctionKey(qtKey);
    return PrintableKey(qtKey);
}

KeyEvent::KeyEvent(Event::Type type, Event::Key key, Event::Modifier modifiers, const std::wstring& text,
                   int nativeKey)
    : Event(type), key(key), modifiers(modifiers), nativeKey(nativeKey)
{
    this->text = CorrectedText(text);
}

bool KeyEvent::IsSpecialKey() const
{
    switch (key) {
    case Key_Tab:
    case Key_Return:
    case Key_Shift:
    case Key_Control:
    case Key_CapsLock:
    case Key_Escape:
    case Key_Print:
    case Key_Insert:
    case Key_Delete:
    case Key_NumLock:
    case Key_ScrollLock:
        return true;
    default:
        break;
    }
    if (key >= Key_PageUp && key <= Key_Down)
        return true;
    if (key >= Key_F1 && key <= Key_F24)
        return key != Key_F10;
    // Two codes that no Qt key produces, still special for callers that build
    // key events themselves.
    return key == 125 || key == 126;
}

std::wstring KeyEvent::CorrectedText(const std::wstring& text) const
{
    if (key == Key_Backspace)
        return std::wstring(1, L'\b');
    if (IsSpecialKey())
        return std::wstring();
    return text;
}

} // namespace AUILib
