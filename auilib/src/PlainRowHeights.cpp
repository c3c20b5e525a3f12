#include "PlainRowHeights.h"

#include "CustomQTableWidgetItem.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace AUILib {

namespace {

// Three bits per column: its text (none, empty, some) and its check box.
constexpr int kBitsPerColumn = 3;
constexpr int kMaxColumns = 64 / kBitsPerColumn;

} // namespace

bool IsPlainLine(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u < 0x20 || (u >= 0x7f && u < 0xa0) || u > 0xff)
            return false;
    }
    return true;
}

bool PlainRowHeights::ShapeOf(const QTableWidget& table, int row, int left, int right, std::uint64_t* shape)
{
    const QHeaderView* header = table.horizontalHeader();
    if (right - left + 1 > kMaxColumns)
        return false;
    std::uint64_t bits = 0;
    int shift = 0;
    for (int visual = left; visual <= right; ++visual, shift += kBitsPerColumn) {
        const int column = header->logicalIndex(visual);
        if (header->isSectionHidden(column))
            continue;
        std::uint64_t cellBits = 0;
        if (const QTableWidgetItem* cell = table.item(row, column)) {
            if (const CustomQTableWidgetItem* custom = CustomQTableWidgetItem::Of(*cell)) {
                // Kept by the cell as it changes: no lookup of its roles.
                const unsigned cellShape = custom->GetShape();
                const unsigned text = cellShape & CustomQTableWidgetItem::TextMask;
                if (text == CustomQTableWidgetItem::OtherText ||
                    (cellShape & (CustomQTableWidgetItem::HasPicture | CustomQTableWidgetItem::HasFont |
                                  CustomQTableWidgetItem::HasSizeHint)))
                    return false;
                cellBits = text | ((cellShape & CustomQTableWidgetItem::HasCheck) ? 4u : 0u);
                bits |= cellBits << shift;
                continue;
            }
            if (cell->data(Qt::DecorationRole).isValid() || cell->data(Qt::FontRole).isValid() ||
                cell->data(Qt::SizeHintRole).isValid())
                return false;
            const QVariant display = cell->data(Qt::DisplayRole);
            if (!display.isNull()) {
                const QString text = display.toString();
                if (!IsPlainLine(text))
                    return false;
                cellBits = text.isEmpty() ? 1 : 2;
            }
            if (cell->data(Qt::CheckStateRole).isValid())
                cellBits |= 4;
        }
        bits |= cellBits << shift;
    }
    *shape = bits;
    return true;
}

int PlainRowHeights::Height(const QTableWidget& table, int row, bool editing, const std::function<int(int)>& measure)
{
    // An open editor's own size counts in its row. Editors live on the
    // viewport: with none there, no row has one.
    if (table.wordWrap() || editing || !table.viewport()->children().isEmpty())
        return measure(row);
    // The columns the table's own measuring reads.
    const QHeaderView* header = table.horizontalHeader();
    const int left = std::max(0, header->visualIndexAt(0));
    int right = header->visualIndexAt(table.viewport()->width());
    if (right == -1)
        right = table.columnCount() - 1;
    if (delegate_ != table.itemDelegate() || grid_ != table.showGrid() || left_ != left || right_ != right) {
        heights_.clear();
        rows_.clear();
        delegate_ = table.itemDelegate();
        grid_ = table.showGrid();
        left_ = left;
        right_ = right;
    }
    const size_t at = static_cast<size_t>(row);
    if (at < rows_.size() && rows_[at] > 0)
        return rows_[at];
    std::uint64_t shape = 0;
    if (!ShapeOf(table, row, left, right, &shape))
        return measure(row);
    auto found = heights_.find(shape);
    if (found == heights_.end())
        found = heights_.emplace(shape, measure(row)).first;
    if (row >= 0 && row < table.rowCount()) {
        if (rows_.size() < static_cast<size_t>(table.rowCount()))
            rows_.resize(static_cast<size_t>(table.rowCount()), 0);
        rows_[at] = found->second;
    }
    return found->second;
}

QSize PlainRowHeader::sectionSizeFromContents(int logicalIndex) const
{
    // Shown, each label's own width counts.
    const QAbstractItemModel* labels = model();
    if (!isHidden() || !labels)
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    // A table's row without a header item of its own shows its number.
    const auto* table = qobject_cast<const QTableWidget*>(parentWidget());
    if (table && !table->verticalHeaderItem(logicalIndex)) {
        if (!plain_.isValid())
            plain_ = QHeaderView::sectionSizeFromContents(logicalIndex);
        return plain_;
    }
    const auto role = [&](int r) { return labels->headerData(logicalIndex, Qt::Vertical, r); };
    if (role(Qt::DecorationRole).isValid() || role(Qt::FontRole).isValid() || role(Qt::SizeHintRole).isValid() ||
        !IsPlainLine(role(Qt::DisplayRole).toString()))
        return QHeaderView::sectionSizeFromContents(logicalIndex);
    if (!plain_.isValid())
        plain_ = QHeaderView::sectionSizeFromContents(logicalIndex);
    return plain_;
}

bool PlainRowHeader::event(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        plain_ = QSize();
    return QHeaderView::event(event);
}

} // namespace AUILib
