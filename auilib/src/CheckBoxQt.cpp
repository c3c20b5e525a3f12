#include "CheckBoxQt.h"

#include "CheckOutline.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QWindow>

namespace AUILib {

namespace {

// Space between the indicator and the text, as QCheckBox leaves it.
constexpr int kTextGap = 3;
constexpr int kIconGap = 4;

} // namespace

void CheckBoxQt::paintEvent(QPaintEvent* e)
{
    PaintBox(e);
    QStyleOptionButton option;
    initStyleOption(&option);
    QPainter painter(this);
    DrawCheckOutline(painter, style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this), palette());
}

void CheckBoxQt::PaintBox(QPaintEvent* e)
{
    if (!wrap_) {
        QCheckBox::paintEvent(e);
        return;
    }
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QStyle* proxy = style()->proxy();

    QStyleOptionButton indicator = option;
    indicator.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    proxy->drawPrimitive(QStyle::PE_IndicatorCheckBox, &indicator, &painter, this);
    const int indicatorExtent = indicator.rect.right() - indicator.rect.left();

    int alignment = static_cast<int>(QStyle::visualAlignment(option.direction, Qt::AlignLeft | Qt::AlignVCenter));
    if (!proxy->styleHint(QStyle::SH_UnderlineShortcut, &option, this))
        alignment |= Qt::TextHideMnemonic;

    QRect textRect = option.rect;
    if (!option.icon.isNull()) {
        const QIcon::Mode mode = (option.state & QStyle::State_Enabled) ? QIcon::Normal : QIcon::Disabled;
        QWindow* window = this->window()->windowHandle();
        const QPixmap pixmap = option.icon.pixmap(window, option.iconSize, mode, QIcon::Off);
        proxy->drawItemPixmap(&painter, option.rect, alignment, pixmap);
        const int iconWidth = option.iconSize.width();
        if (option.direction == Qt::RightToLeft)
            textRect.setRight(textRect.right() - iconWidth - kIconGap);
        else
            textRect.setLeft(textRect.left() + iconWidth + kIconGap);
    }
    if (!option.text.isEmpty()) {
        textRect.setLeft(textRect.left() + indicatorExtent + kTextGap);
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextHideMnemonic,
                         option.text);
    }
}

bool CheckBoxQt::hitButton(const QPoint& pos) const
{
    if (!wrap_)
        return QCheckBox::hitButton(pos);
    QStyleOptionButton option;
    initStyleOption(&option);
    return option.rect.contains(pos);
}

} // namespace AUILib
