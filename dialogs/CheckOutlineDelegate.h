#pragma once
// Item painting of the update list with check boxes that stay visible in the
// dark appearance. The style draws a check box's outline a little darker than
// the window; on a dark palette, where the list's background is lighter than
// the window, that outline all but disappears. In the dark appearance this
// delegate draws the outline again in a colour as far from the background as
// the light appearance's outline is from its own.
#include <QColor>
#include <QStyledItemDelegate>

class QPalette;

class CheckOutlineDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setDarkMode(bool dark) { m_dark = dark; }
    bool isDarkMode() const { return m_dark; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Two fifths of the way from the list's background to its text: on the
    // dark palette about 70 levels from the background, as the light
    // appearance's outline is from white.
    static QColor outlineColour(const QPalette& palette);

private:
    bool m_dark = false;
};
