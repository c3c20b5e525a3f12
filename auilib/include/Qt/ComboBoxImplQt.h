// The implementation of ComboBox: watches its widget (never deletes a
// placed one), keeps the entries' values, the number filter and the
// balloon, and passes the widget's notifications on to the control.
#pragma once

#include "BaseImplQt.h"
#include "ComboBox.h"
#include "ComboBoxQt.h"
#include "ControlLifetime.h"
#include "ItemDataMap.h"
#include "NumericInputFilter.h"

#include <QPointer>
#include <QSize>
#include <QStyledItemDelegate>

#include <memory>
#include <string>

namespace AUILib {

class PromptsPopup;

class ComboBox::impl : public BaseImplQt {
public:
    // Draws the entries of the open list: headers on a dark band in bold,
    // separators as a line.
    class ItemDelegate : public QStyledItemDelegate {
    public:
        explicit ItemDelegate(QComboBox* parent) : QStyledItemDelegate(parent) {}
        void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
        QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    };

    explicit impl(ComboBox& owner);
    ~impl() override;

    QWidget* GetWndPtr() override;
    ComboBoxQt* GetWidget() const { return widget_.data(); }
    void ForgetOwner() { widget_.ForgetOwner(); }

    QPointer<ItemDelegate> delegate;
    NumericInputFilter numberFilter;
    ItemDataMap itemData;
    QSize iconSize{0, 0};
    int scaleMode = 0;
    std::shared_ptr<PromptsPopup> balloon;
    std::wstring lastEditText;
    bool settingText = false;

    // The common last step of both picture loaders.
    void SetPicture(int index, const QPixmap& pixmap, ScalePicture scale);

private:
    void OnEditTextChanged(const QString& text);
    void OnCurrentIndexChanged(int index);
    void OnPaste(const std::wstring& text);
    void OnCurrentIndexSelected(int index);

    // Last, so it goes first: the connections end before anything else.
    ControlLifetime<ComboBoxQt, ComboBox> widget_;
};

} // namespace AUILib
