#include "CheckOutlineDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QWidget>

QColor CheckOutlineDelegate::outlineColour(const QPalette& palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const auto mix = [](int from, int to) { return from + (to - from) * 2 / 5; };
    return QColor(mix(base.red(), text.red()), mix(base.green(), text.green()), mix(base.blue(), text.blue()));
}

void CheckOutlineDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    if (!m_dark)
        return;
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator))
        return;
    // A box with the keyboard focus already has the style's highlighted outline.
    if ((opt.state & QStyle::State_HasFocus) && (opt.state & QStyle::State_KeyboardFocusChange))
        return;
    const QWidget* widget = opt.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect box = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
    if (box.isEmpty())
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(outlineColour(opt.palette));
    painter->drawRect(box.adjusted(0, 0, -1, -1));
    painter->restore();
}
