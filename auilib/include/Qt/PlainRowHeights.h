// The heights of a table's rows whose contents cannot change their height.
//
// A row fitted to its contents is measured by laying out the text of each
// of its cells; at the first layout of a large list that was nearly all of
// its cost, although almost every row has the same height. A row whose
// cells hold at most one line of plain Latin text, with no picture, font or
// size of their own, no wrapping and no open editor, is as tall as every
// other row of the same shape (which cells hold text, which are empty,
// which have a check box): it is measured once per shape. Every other row
// is measured as before.
#pragma once

#include <QHeaderView>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

class QAbstractItemDelegate;
class QTableWidget;

namespace AUILib {

// One line the table's own font draws: no line break, nothing a fallback
// font (with its own line height) would draw.
bool IsPlainLine(const QString& text);

class PlainRowHeights {
public:
    // The height of row: from the shape's stored height, or from measure
    // (the table's own measuring) when the row is not plain or its shape is
    // new. editing: the table has an editor open.
    int Height(const QTableWidget& table, int row, bool editing, const std::function<int(int)>& measure);
    // The font or style changed: every shape is measured again.
    void Clear()
    {
        heights_.clear();
        rows_.clear();
    }
    // Rows or cells may have changed: each row's shape is read again. The
    // table lays its rows out several times before its first paint; between
    // changes those passes read each row once.
    void ForgetRows() { rows_.clear(); }

private:
    // False when the row must be measured.
    static bool ShapeOf(const QTableWidget& table, int row, int left, int right, std::uint64_t* shape);

    std::unordered_map<std::uint64_t, int> heights_;
    // The height of each plain row read since the last change; 0 unknown.
    std::vector<int> rows_;
    // What the stored heights were measured with, besides font and style.
    QPointer<QAbstractItemDelegate> delegate_;
    bool grid_ = false;
    // The visual columns read.
    int left_ = -1;
    int right_ = -1;
};

// The list's vertical header. Hidden, it still measures each row's label
// (its number) to fit the row, laying out the text of every label: a plain
// label is as tall as any other, so it is measured once.
class PlainRowHeader : public QHeaderView {
public:
    explicit PlainRowHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {}

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    bool event(QEvent* event) override;

private:
    mutable QSize plain_;
};

} // namespace AUILib
