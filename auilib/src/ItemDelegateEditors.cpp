// The delegate's in-place editors: a single-line edit or a combo box control
// placed on the table over the edited cell.
#include "ItemDelegate.h"

#include "ComboBox.h"
#include "Edit.h"
#include "EmissionHold.h"
#include "ListBoxImplQt.h"
#include "WideQt.h"

#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QTimer>

namespace AUILib {

namespace {

QWidget* WidgetOf(const BaseGUIObject* control)
{
    const std::shared_ptr<BaseImpl> impl = control ? control->GetBaseImpl() : nullptr;
    return impl ? impl->GetWndPtr() : nullptr;
}

} // namespace

void ItemDelegate::DeleteEditorControls()
{
    comboEditor.reset();
    editEditor.reset();
}

void ItemDelegate::CloseEditorWidgets()
{
    // Each emission may end the edit and drop both controls: read them again.
    if (QWidget* widget = WidgetOf(editEditor.get()))
        emit closeEditor(widget, QAbstractItemDelegate::NoHint);
    if (QWidget* widget = WidgetOf(comboEditor.get()))
        emit closeEditor(widget, QAbstractItemDelegate::NoHint);
}

void ItemDelegate::PrepareEditor(QWidget* widget, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    widget->setFont(option.font);
    owner->ApplySelectionDisplay(false);
    owner->editRow = index.row();
    owner->editColumn = index.column();
}

QWidget* ItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    if (!owner || !index.isValid() || !index.model() || !parent)
        return nullptr;
    const int row = index.row();
    const int column = index.column();
    textBeforeEdit.clear();
    textBeforeEdit = ToWide(index.model()->data(index, Qt::EditRole).toString());

    const auto columnMode = owner->columnEditModes.find(column);
    const bool hasColumnMode = columnMode != owner->columnEditModes.end();
    if (hasColumnMode && columnMode->second == ListBox::EditNone)
        return nullptr;

    ListBoxQt* table = owner->GetWidget();
    int itemMode = ListBox::EditText;
    if (table && row < table->rowCount() && column <= owner->columnCount) {
        const auto* cell = dynamic_cast<const CustomQTableWidgetItem*>(table->item(row, column));
        if (cell)
            itemMode = (cell->flags() & Qt::ItemIsEditable) ? cell->GetEditMode() : ListBox::EditNone;
    }
    if (column != 0 && owner->editItems != ListBox::EditableAllColumns)
        return nullptr;

    // The editor lives on the table itself, not on its viewport.
    QWidget* host = parent->parentWidget() ? parent->parentWidget() : parent;
    ListBox* control = owner->Owner();
    const EmissionHold hold(control ? control->GetBaseImpl() : nullptr);

    if (itemMode == ListBox::EditCombo || (hasColumnMode && columnMode->second == ListBox::EditCombo)) {
        comboEditor = std::make_shared<ComboBox>();
        QWidget* widget = comboEditor->Create(host) ? WidgetOf(comboEditor.get()) : nullptr;
        if (widget) {
            PrepareEditor(widget, option, index);
            const std::shared_ptr<ComboBox> editor = comboEditor;
            if (control)
                control->OnCellEditorCreated.Emit(row, column, editor.get());
            return WidgetOf(editor.get());
        }
        comboEditor.reset();
    }
    if (!(itemMode == ListBox::EditText || !hasColumnMode || columnMode->second == ListBox::EditText))
        return nullptr;
    if (!owner)
        return nullptr;
    editEditor = std::make_shared<Edit>();
    QWidget* widget = editEditor->Create(host) ? WidgetOf(editEditor.get()) : nullptr;
    if (!widget) {
        editEditor.reset();
        return nullptr;
    }
    PrepareEditor(widget, option, index);
    const ListBox::Editable editable = owner->editItems;
    if (editable != ListBox::EditableOff)
        widget->setAttribute(Qt::WA_MacShowFocusRect, false);
    if (editable == ListBox::EditableFrameless) {
        editEditor->SetFrameMode(false);
    } else if (editable == ListBox::EditableBorder || editable == ListBox::EditableAllColumns) {
        const QColor highlight = QPalette().color(QPalette::Highlight);
        widget->setStyleSheet(widget->styleSheet() +
                              QStringLiteral("border: 1px solid #%1;").arg(QString::number(highlight.rgb(), 16)));
    }
    const std::shared_ptr<Edit> editor = editEditor;
    // A handler may delete the table, and this delegate with it.
    const QPointer<const ItemDelegate> alive(this);
    if (control && editable != ListBox::EditableAllColumns)
        control->OnEditorCreated.Emit(row, editor.get());
    if (control && alive && owner)
        control->OnCellEditorCreated.Emit(row, column, editor.get());
    return alive ? WidgetOf(editor.get()) : nullptr;
}

void ItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (!index.isValid() || !index.model() || !editEditor)
        return;
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line)
        return;
    line->setText(index.model()->data(index, Qt::EditRole).toString());
    if (owner && owner->editItems == ListBox::EditableFrameless) {
        // The editor is the timer's context: it may close before the timer
        // fires, and then nothing runs.
        QTimer::singleShot(0, line, [line] { line->deselect(); });
    }
}

} // namespace AUILib
