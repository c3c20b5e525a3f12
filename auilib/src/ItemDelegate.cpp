#include "ItemDelegate.h"

#include "CheckOutline.h"
#include "ListBoxImplQt.h"
#include "WideQt.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>

namespace AUILib {

ItemDelegate::~ItemDelegate() { DeleteEditors(); }

void ItemDelegate::DeleteEditors()
{
    // Editor controls are deleted here; the library's headers for them are
    // only needed in the editor code.
    DeleteEditorControls();
}

void ItemDelegate::CloseEditors()
{
    CloseEditorWidgets();
    textBeforeEdit.clear();
}

void ItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    QStyledItemDelegate::paint(painter, option, index);
    DrawItemCheckOutline(*painter, opt);
    if (!owner)
        return;
    painter->save();
    const QRect cell = option.rect;
    const QPalette palette;
    if (owner->underlineItems) {
        painter->setPen(QPen(QBrush(palette.color(QPalette::Midlight)), 1.0, Qt::SolidLine, Qt::SquareCap,
                             Qt::BevelJoin));
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    }
    ListBoxQt* table = owner->Table();
    if (!owner->rowButtonImage.isNull() && index.column() == owner->columnCount) {
        if (table && !table->item(index.row(), index.column()))
            table->setItem(index.row(), index.column(), new QTableWidgetItem(QString(), 0));
        if (opt.state & QStyle::State_Selected)
            painter->fillRect(cell, palette.brush(QPalette::Light));
        const QImage& image = owner->rowButtonImage;
        painter->drawImage(cell.left() + (cell.width() - image.width()) / 2,
                           cell.top() + (cell.height() - image.height()) / 2, image);
    }
    if ((opt.state & QStyle::State_Selected) && !opt.icon.isNull()) {
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        const int m = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, widget) + 1;
        const int w = opt.decorationSize.width();
        const int h = opt.decorationSize.height();
        const int dy = ((cell.bottom() - cell.top() + 1) - h) / 2;
        int x;
        if (!(opt.features & QStyleOptionViewItem::HasCheckIndicator)) {
            painter->fillRect(QRect(QPoint(cell.left(), cell.top()), QPoint(cell.left() + w + 2 * m, cell.bottom())),
                              palette.brush(QPalette::Light));
            x = cell.left() + m;
        } else {
            const QRect check = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
            x = cell.left() + 2 * check.left() + check.width() + m;
            painter->fillRect(QRect(QPoint(x - m, cell.top()), QPoint(x - m + w + 2 * m, cell.bottom())),
                              palette.brush(QPalette::Light));
        }
        painter->drawPixmap(x, cell.top() + dy, opt.icon.pixmap(opt.decorationSize, QIcon::Normal, QIcon::Off));
    }
    painter->restore();
}

void ItemDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    const auto* table = qobject_cast<const QTableWidget*>(editor->parentWidget());
    const int headerHeight = table && !table->horizontalHeader()->isHidden() ? table->horizontalHeader()->height() : 0;
    int left = 1;
    ListBoxQt* listTable = owner ? owner->Table() : nullptr;
    // The first column's text starts after its check box and picture; the
    // other columns' cells have neither, and the first column's offset
    // would push their editors out of the cell.
    if (table && listTable && index.column() == 0)
        left = listTable->TextRect(index.row()).left() + 1;
    const QRect rect = option.rect;
    editor->setGeometry(QRect(QPoint(rect.left() + left, rect.top() + headerHeight + 1),
                              QPoint(rect.right() + 1, rect.bottom() + headerHeight - 1)));
}

} // namespace AUILib
