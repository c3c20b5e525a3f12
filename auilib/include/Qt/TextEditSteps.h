// What the multi-line and the rich text edit do alike to their widgets
// (QPlainTextEdit and QTextEdit): the style bits and the selection by
// character positions.
#pragma once

#include <QFrame>
#include <QTextCursor>

#include <climits>

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

} // namespace TextEditSteps
} // namespace AUILib
