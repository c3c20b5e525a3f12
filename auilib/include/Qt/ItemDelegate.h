// The list box's item delegate: makes the in-place editors (a single-line
// edit or a combo box control), places them on the table, and paints the
// row underline, the row button and the icons of selected rows.
// It may outlive the list box's implementation: owner goes null then, and
// every operation checks it.
#pragma once

#include <QStyledItemDelegate>

#include <memory>
#include <string>

namespace AUILib {

class ComboBox;
class Edit;
class ListBoxImpl;

class ItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    ItemDelegate(QObject* parent, ListBoxImpl* impl) : QStyledItemDelegate(parent), owner(impl) {}
    ~ItemDelegate() override;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Closes any open editor (the table then ends the edit) and forgets the
    // saved text.
    void CloseEditors();
    // Deletes the editor controls; called once the table closed the editor.
    void DeleteEditors();

    ListBoxImpl* owner;
    mutable std::wstring textBeforeEdit;
    // Shared, so that the application can attach an editor to its dialog
    // (Dialog::AttachControl) and a handler can keep one alive.
    mutable std::shared_ptr<Edit> editEditor;
    mutable std::shared_ptr<ComboBox> comboEditor;
    bool showSelection = false;

private:
    void DeleteEditorControls();
    void CloseEditorWidgets();
    // Font, hidden highlight and the edited cell for a new editor widget.
    void PrepareEditor(QWidget* widget, const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace AUILib
