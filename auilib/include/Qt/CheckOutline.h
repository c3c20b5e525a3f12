// Check boxes that stay visible on a dark palette. The style draws a box's
// outline a little darker than the window; where the view's background is
// darker still, or about as dark, that outline all but disappears. On a dark
// palette the item views and the check box draw the outline again, as far
// from the background as the light palette's outline is from white.
#pragma once

#include <QColor>

class QPainter;
class QPalette;
class QRect;
class QStyleOptionViewItem;

namespace AUILib {

// A palette whose text is lighter than its background.
bool IsDarkPalette(const QPalette& palette);

// Two fifths of the way from the background (Base) to the text: on a dark
// palette about 80 levels from the background.
QColor CheckOutlineColour(const QPalette& palette);

// The outline around box, on a dark palette only.
void DrawCheckOutline(QPainter& painter, const QRect& box, const QPalette& palette);

// The outline of an item's check box, after the item was painted; option as
// initStyleOption left it. A box with the keyboard focus keeps the style's
// highlighted outline.
void DrawItemCheckOutline(QPainter& painter, const QStyleOptionViewItem& option);

} // namespace AUILib
