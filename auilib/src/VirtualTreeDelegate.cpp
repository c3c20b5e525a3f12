#include "VirtualTreeDelegate.h"

#include "CheckOutline.h"
#include "TreeModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace AUILib {

VirtualTreeDelegate::VirtualTreeDelegate(QObject* parent) : QStyledItemDelegate(parent) {}

VirtualTreeDelegate::~VirtualTreeDelegate() = default;

bool VirtualTreeDelegate::SplitBold(const QString& text, int start, int end, BoldSplit* split)
{
    if (start < 0 || end < start)
        return false;
    split->before = text.left(start);
    split->bold = text.mid(start, end - start + 1);
    split->after = text.mid(end + 1);
    return true;
}

void VirtualTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    PaintItem(painter, option, index);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    DrawItemCheckOutline(*painter, opt);
}

void VirtualTreeDelegate::PaintItem(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    auto* view = qobject_cast<QAbstractItemView*>(parent());
    auto* model = view ? qobject_cast<TreeModel*>(view->model()) : nullptr;
    VirtTreeItem* node = model ? model->ItemFromIndex(index) : nullptr;
    if (!node) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    BoldSplit split;
    const auto range = node->GetBoldTextPosition();
    if (!SplitBold(opt.text, range.first, range.second, &split)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // Background, check box, picture and selection without the text; the
    // text follows in its three weights.
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    opt.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, opt.widget);
    painter->save();
    if (opt.state & QStyle::State_Selected)
        painter->setPen(opt.palette.color(QPalette::HighlightedText));
    else
        painter->setPen(opt.palette.color(QPalette::Text));
    QFont font = opt.font;
    const auto drawPart = [&](const QString& part, int weight) {
        if (part.isEmpty())
            return;
        font.setWeight(weight);
        painter->setFont(font);
        QRect drawn;
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, part, &drawn);
        textRect.setLeft(drawn.right());
    };
    drawPart(split.before, opt.font.weight());
    drawPart(split.bold, QFont::Bold);
    drawPart(split.after, QFont::Normal);
    painter->restore();
}

QSize VirtualTreeDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (size.height() > rowHeight_) {
        rowHeight_ = size.height();
        return size;
    }
    return QSize(size.width(), rowHeight_);
}

} // namespace AUILib
