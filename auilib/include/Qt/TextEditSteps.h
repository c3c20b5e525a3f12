// What the multi-line and the rich text edit do alike to their widgets
// (QPlainTextEdit and QTextEdit): the plain text, the style bits and the
// selection by character positions.
#pragma once

#include "ChangeFlagGuard.h"
#include "WideQt.h"

#include <QFrame>
#include <QTextCursor>

#include <climits>
#include <memory>
#include <string>

namespace AUILib {
namespace TextEditSteps {

// The style bits: 1 read-only, 2 framed, 4 visible, 8 lines wrap at the
// widget's width; each bit of bits switched on or off, in the order
// visible, read-only, framed, wrap.
template <typename Widget>
void SwitchStyleBits(Widget& widget, int bits, bool on)
{
    if (bits & 4)
        widget.setVisible(on);
    if (bits & 1)
        widget.setReadOnly(on);
    if (bits & 2)
        widget.setFrameStyle(on ? static_cast<int>(QFrame::StyledPanel) : 0);
    if (bits & 8)
        widget.setLineWrapMode(on ? Widget::WidgetWidth : Widget::NoWrap);
}

// Positions beyond int stay out of range instead of wrapping into a valid
// one; Qt refuses a position past the end.
inline int ClampPosition(long long position) { return position > INT_MAX ? INT_MAX : static_cast<int>(position); }

// Selects from start to end (-1: the end of the text) through cursor and
// hands it to the widget. cursor starts as a copy of the widget's own: a
// never-filled one is null and would swallow what the user types next.
// A negative start or end leaves the widget's selection as it is.
template <typename Widget>
void Select(Widget& widget, QTextCursor& cursor, long long start, long long end)
{
    cursor = widget.textCursor();
    cursor.clearSelection();
    if (end == -1)
        end = widget.toPlainText().size();
    if (start < 0 || end < 0)
        return;
    cursor.setPosition(ClampPosition(start));
    if (end > start)
        cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor, ClampPosition(end - start));
    widget.setTextCursor(cursor);
}

// Replaces the text as a programmatic change. The implementation is held
// across it: a text handler may drop the control.
template <typename Impl>
void SetPlainText(const std::shared_ptr<Impl>& impl, const std::wstring& text)
{
    const std::shared_ptr<Impl> hold = impl;
    ChangeFlagGuard guard(*hold);
    if (auto* widget = hold->GetWidget())
        widget->setPlainText(ToQString(text));
}

// The text, empty once the widget is gone.
template <typename Widget>
std::wstring PlainText(const Widget* widget)
{
    return widget ? ToWide(widget->toPlainText()) : std::wstring();
}

// The controls' SetStyle: the bits of add switched on, then those of remove
// off; nothing once the widget is gone.
template <typename Widget>
void SetStyle(Widget* widget, int remove, int add)
{
    if (!widget)
        return;
    SwitchStyleBits(*widget, add, true);
    SwitchStyleBits(*widget, remove, false);
}

// The widget's selection as start and end positions (an empty Selection
// once the widget is gone); cursor keeps the widget's current cursor.
template <typename Selection, typename Widget>
Selection ReadSelection(Widget* widget, QTextCursor& cursor)
{
    if (!widget)
        return Selection();
    cursor = widget->textCursor();
    Selection selection;
    selection.start = cursor.selectionStart();
    selection.end = cursor.selectionEnd();
    return selection;
}

} // namespace TextEditSteps
} // namespace AUILib
