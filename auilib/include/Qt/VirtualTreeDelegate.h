// Paints the rows of the tree control's virtual mode: part of an item's
// text may be bold. Rows share one height, the tallest seen so far. Check
// boxes keep an outline on a dark palette.
#pragma once

#include <QStyledItemDelegate>

namespace AUILib {

class VirtualTreeDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    struct BoldSplit {
        QString before;
        QString bold;
        QString after;
    };

    explicit VirtualTreeDelegate(QObject* parent);
    ~VirtualTreeDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The three parts of text around the inclusive range start..end; false
    // when the range draws nothing in bold (a negative bound, or end before
    // start, which would draw the tail twice).
    static bool SplitBold(const QString& text, int start, int end, BoldSplit* split);

private:
    void PaintItem(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    mutable int rowHeight_ = 22;
};

} // namespace AUILib
