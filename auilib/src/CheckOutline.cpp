#include "CheckOutline.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QWidget>

namespace AUILib {

bool IsDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Text).lightness() > palette.color(QPalette::Base).lightness();
}

QColor CheckOutlineColour(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const auto towardText = [](int from, int to) { return from + (to - from) * 2 / 5; };
    return QColor(towardText(base.red(), text.red()), towardText(base.green(), text.green()),
                  towardText(base.blue(), text.blue()));
}

void DrawCheckOutline(QPainter& painter, const QRect& box, const QPalette& palette)
{
    if (box.isEmpty() || !IsDarkPalette(palette))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(CheckOutlineColour(palette));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.restore();
}

void DrawItemCheckOutline(QPainter& painter, const QStyleOptionViewItem& option)
{
    if (!(option.features & QStyleOptionViewItem::HasCheckIndicator))
        return;
    if ((option.state & QStyle::State_HasFocus) && (option.state & QStyle::State_KeyboardFocusChange))
        return;
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    DrawCheckOutline(painter, style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, widget),
                     option.palette);
}

} // namespace AUILib
