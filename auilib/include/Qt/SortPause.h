// While the list box adds, moves or removes rows the table must not sort
// them: the list box puts each row where a resort would (SortedInsertionRow)
// and the order stays as it was. Qt sorts on its own when a cell of the sort
// column is set and resorts everything when sorting is switched back on;
// hiding the sort column for the change avoids both. The header's signals
// are held so that no resort is triggered by the indicator itself.
#pragma once

#include <QHeaderView>
#include <QPointer>
#include <QSignalBlocker>
#include <QTableWidget>

namespace AUILib {

class SortPause {
public:
    explicit SortPause(QTableWidget* table) : table_(table)
    {
        if (!table_ || !table_->isSortingEnabled())
            return;
        QHeaderView* header = table_->horizontalHeader();
        column_ = header->sortIndicatorSection();
        order_ = header->sortIndicatorOrder();
        const QSignalBlocker block(header);
        header->setSortIndicator(-1, order_);
        paused_ = true;
    }
    ~SortPause()
    {
        if (!paused_ || !table_)
            return;
        QHeaderView* header = table_->horizontalHeader();
        const QSignalBlocker block(header);
        header->setSortIndicator(column_, order_);
    }
    SortPause(const SortPause&) = delete;
    SortPause& operator=(const SortPause&) = delete;

private:
    QPointer<QTableWidget> table_;
    bool paused_ = false;
    int column_ = -1;
    Qt::SortOrder order_ = Qt::AscendingOrder;
};

} // namespace AUILib
