#include "HeaderProxyStyle.h"

#include <QApplication>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QTextOption>

namespace AUILib {

void HeaderProxyStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                                   const QWidget* widget) const
{
    const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
    if (element != CE_HeaderLabel || !header || header->version < 1 || header->type != QStyleOption::SO_Header) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    if (pictureAlign.find(header->section) == pictureAlign.end() || header->icon.isNull()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const auto size = pictureSize.find(header->section);
    const QSize edge = size == pictureSize.end() ? QSize(16, 16) : size->second;
    const QPixmap picture = header->icon.pixmap(edge, QIcon::Normal, QIcon::Off);
    const int margin = (widget ? widget->style() : QApplication::style())->pixelMetric(PM_HeaderMargin, nullptr, widget);
    const int textWidth = header->fontMetrics.horizontalAdvance(header->text);

    painter->save();
    QPen pen(QPalette().brush(QPalette::Text), painter->pen().widthF(), Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter->setPen(pen);
    painter->drawPixmap(header->rect.left() + 2 * margin + textWidth, header->rect.top() + margin, picture);
    painter->drawText(QRectF(header->rect.left(), margin, header->rect.width(), header->rect.height()), header->text,
                      QTextOption());
    painter->restore();
}

} // namespace AUILib
