// The Qt widget of ListBox: a table made with no parent (ListBox::Create
// places it), with the list box's own mouse, key, focus, wheel and drop
// handling. owner goes null when the control goes; every handler checks it.
#pragma once

#include "AUILibTypes.h"
#include "PlainRowHeights.h"

#include <QStyleOptionViewItem>
#include <QTableWidget>

namespace AUILib {

class ListBox;

class ListBoxQt : public QTableWidget {
    Q_OBJECT

public:
    explicit ListBoxQt(ListBox* control);
    // Frees the cells in the order they lie in memory. Qt frees them in row
    // order, which after a sort is all over the heap: on a large list the
    // allocator's work then grew faster than the list.
    ~ListBoxQt() override;

    // The cell at a viewport point, or null; each out-pointer may be null.
    QTableWidgetItem* HitTest(Point point, unsigned* hitFlags, int* column, Size* size);

    // Moves the given rows (each once, in their order) to targetRow with
    // all their cells, then removes the sources. The drop handling calls it;
    // tests call it directly since offscreen cannot drag.
    void MoveRows(QList<int> rows, int targetRow);

    // The view option of the cell at (row, 0) as the style lays out its text,
    // icon and check box; checkBox says whether the list box shows boxes.
    bool TextOption(int row, bool checkBox, QStyleOptionViewItem* option) const;
    // The text rectangle of row's first cell; empty without a cell.
    QRect TextRect(int row) const;

    ListBox* owner;
    bool selectingOnFocus = false;
    bool hadFocus = false;
    bool selectItemOnSetFocus = true;
    bool leftButtonMoved = false;
    bool automaticSearch = true;
    bool pressedOnSelection = false;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    void changeEvent(QEvent* event) override;
    // Rows the list box added are in the table before it handles anything.
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

public:
    void keyboardSearch(const QString& search) override;
    // Rows fit their contents; rows that cannot differ are measured once.
    int sizeHintForRow(int row) const override;
    // Rows or cells changed without the model saying so.
    void ForgetRowHeights() { plainRows_.ForgetRows(); }

private:
    void FlushOwnerRows();

    mutable PlainRowHeights plainRows_;
};

} // namespace AUILib
