#include "CustomStyle.h"

#include <QAbstractItemView>
#include <QCommonStyle>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionViewItem>

namespace AUILib {

namespace {

bool SelectsItems(const QWidget* widget)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    return view && view->selectionBehavior() == QAbstractItemView::SelectItems;
}

} // namespace

CustomStyle::CustomStyle() : QProxyStyle(static_cast<QStyle*>(nullptr)) {}

CustomStyle::~CustomStyle() = default;

void CustomStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                                const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (!option || !painter)
        return;
    const QPalette& palette = widget ? widget->palette() : option->palette;
    switch (element) {
    case PE_PanelItemViewRow:
        if (SelectsItems(widget))
            painter->fillRect(option->rect, palette.brush(QPalette::Base));
        break;
    case PE_PanelItemViewItem: {
        if (!SelectsItems(widget) || !(option->state & State_Selected))
            break;
        // The highlight covers the item's content only, not the rest of the row.
        int x = option->rect.right();
        if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option)) {
            x = option->rect.left();
            if (!item->text.isEmpty())
                x += QFontMetrics(item->font).horizontalAdvance(item->text) + 9;
            if (!item->icon.isNull())
                x += static_cast<const QAbstractItemView*>(widget)->iconSize().width() + 5;
            if (item->features & QStyleOptionViewItem::HasCheckIndicator)
                x += subElementRect(SE_ItemViewItemCheckIndicator, option, widget).width() + 10;
        }
        painter->fillRect(QRect(QPoint(x + 1, option->rect.top()), QPoint(widget->width() - 2, option->rect.bottom())),
                          palette.brush(QPalette::Base));
        break;
    }
    case PE_IndicatorBranch:
        DrawBranch(option, painter, widget);
        break;
    default:
        break;
    }
}

void CustomStyle::DrawBranch(const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    const QPalette& palette = widget ? widget->palette() : option->palette;
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    painter->save();
    if ((option->state & State_Selected) && view && view->selectionBehavior() == QAbstractItemView::SelectRows) {
        if (option->state & State_Active)
            painter->fillRect(option->rect, palette.brush(QPalette::Highlight));
        else if (flags_ & InactiveSelectionKept)
            painter->fillRect(option->rect, palette.brush(QPalette::Inactive, QPalette::Highlight));
        else
            painter->fillRect(option->rect, palette.brush(QPalette::Base));
    } else {
        painter->fillRect(option->rect, palette.brush(QPalette::Base));
    }
    if (flags_ & NoBranchMarks) {
        painter->restore();
        return;
    }
    if ((flags_ & (BoxBranchMarks | CommonBranchMarks)) == (BoxBranchMarks | CommonBranchMarks)) {
        QCommonStyle().drawPrimitive(PE_IndicatorBranch, option, painter, widget);
        painter->restore();
        return;
    }
    if (option->state & State_Children) {
        const QRect box(QPoint(option->rect.left(), option->rect.bottom() - 18),
                        QPoint(option->rect.right(), option->rect.bottom() - 1));
        const int w = box.width();
        const int h = box.height();
        if (flags_ & BoxBranchMarks) {
            const QRect mark(QPoint(box.left() + w / 3, box.top() + h / 3),
                             QPoint(box.right() - w / 3, box.bottom() - h / 3 + 2));
            painter->setPen(palette.color(QPalette::Text));
            painter->drawRect(mark);
            const int mid = (mark.top() + mark.bottom()) / 2 + 1;
            painter->drawLine(mark.left() + 2, mid, mark.right() - 1, mid);
            if (!(option->state & State_Open)) {
                const int x = (mark.left() + mark.right()) / 2 + 1;
                painter->drawLine(x, mark.top() + 2, x, mark.bottom() - 1);
            }
        } else {
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(palette.brush(QPalette::Mid));
            QPainterPath path;
            if (option->state & State_Open) {
                const QRect r(QPoint(box.left() + w / 3, box.top() + h / 3 + 1),
                              QPoint(box.right() - w / 3 + 3, box.bottom() - h / 3 + 4));
                path.moveTo(r.topLeft());
                path.lineTo(r.topRight());
                path.lineTo(r.left() + (r.right() - r.left() + 1) / 2, r.bottom());
                path.lineTo(r.topLeft());
            } else {
                const QRect r(QPoint(box.left() + w / 3 + 1, box.top() + h / 3 - 1),
                              QPoint(box.right() - w / 3 + 3, box.bottom() - h / 3 + 4));
                path.moveTo(r.topLeft());
                path.lineTo(r.right(), r.top() + (r.bottom() - r.top() + 1) / 2);
                path.lineTo(r.bottomLeft());
                path.lineTo(r.topLeft());
            }
            painter->drawPath(path);
        }
    }
    painter->restore();
}

} // namespace AUILib
