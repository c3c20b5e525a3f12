// The tree control's item delegate: makes the label editor, a single-line
// Edit control placed over the item's row. It may outlive its control; the
// control's implementation clears the control pointer when it goes.
#pragma once

#include <QStyledItemDelegate>

#include <memory>

namespace AUILib {

class Edit;
class TreeView;

class TreeViewItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    TreeViewItemDelegate(QObject* parent, TreeView* control);
    ~TreeViewItemDelegate() override;

    // As the base, with check boxes outlined on a dark palette.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    // The editor is a child of the view, not of its viewport: the row's
    // viewport rectangle is moved by the viewport's offset (the header,
    // the frame), so the editor covers its own row.
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    TreeView* GetControl() const { return control_; }
    void SetControl(TreeView* control) { control_ = control; }
    // The editor control of the open label editor; null when none.
    Edit* GetEditor() const { return editor_.get(); }
    void DestroyEditor() const { editor_.reset(); }

private:
    TreeView* control_;
    // Made by the const createEditor, hence mutable.
    mutable std::shared_ptr<Edit> editor_;
};

} // namespace AUILib
