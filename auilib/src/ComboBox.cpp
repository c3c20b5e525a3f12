#include "ComboBox.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ChangeFlagGuard.h"
#include "ComboBoxImplQt.h"
#include "PromptsPopup.h"
#include "WideQt.h"

#include <QCompleter>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTemporaryFile>
#include <QAbstractItemView>

#include <algorithm>

namespace AUILib {

namespace {

bool IsUnset(const FontData& data)
{
    return data.faceName.empty() && data.pointSize == -1.0 && data.bold == -1 && data.italic == -1 &&
           data.underline == -1;
}

QStandardItem* ItemAt(QComboBox* widget, int index)
{
    auto* items = widget ? qobject_cast<QStandardItemModel*>(widget->model()) : nullptr;
    if (!items || index < 0 || index >= widget->count())
        return nullptr;
    return items->item(index, widget->modelColumn());
}

} // namespace

ComboBox::ComboBox() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeComboBox); }

ComboBox::~ComboBox()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), the widget both of them.
    impl_->ForgetOwner();
}

bool ComboBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size ComboBox::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> ComboBox::GetBaseImpl() const { return impl_; }

SkinManager* ComboBox::GetSkinManager() { return GetGlobalSkinManager(); }

QWidget* ComboBox::GetWndPtr() { return impl_->GetWidget(); }

int ComboBox::AddItem(const std::wstring& text, any value) { return InsertItem(Count(), text, std::move(value)); }

int ComboBox::AddSeparator(const std::wstring& text, any value)
{
    return InsertSeparator(Count(), text, std::move(value));
}

int ComboBox::InsertItem(int index, const std::wstring& text, any value)
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    if (!widget)
        return -1;
    index = std::max(0, std::min(index, widget->count()));
    QVariant userData;
    if (value.has_value())
        userData = QVariant(hold->itemData.Add(0, value));
    // The first entry becomes current: that is the code's change.
    ChangeFlagGuard guard(*hold);
    widget->insertItem(index, QIcon(), ToQString(text), userData);
    return index;
}

int ComboBox::InsertSeparator(int index, const std::wstring& text, any value)
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    if (!widget)
        return -1;
    if (text.empty()) {
        ChangeFlagGuard guard(*hold);
        widget->insertSeparator(index);
        return index;
    }
    const int row = InsertItem(index, text, std::move(value));
    if (QStandardItem* item = ItemAt(hold->GetWidget(), row)) {
        item->setData(QStringLiteral("header"), Qt::AccessibleDescriptionRole);
        item->setSelectable(false);
        item->setEnabled(false);
        item->setEditable(false);
        QFont font;
        font.setFamily(QStringLiteral("Arial"));
        item->setData(font, Qt::FontRole);
    }
    return index;
}

void ComboBox::AddPicture(int index, const std::wstring& path, ScalePicture scale, Size size, BitmapType)
{
    if (!impl_->GetWidget())
        return;
    const QString file = ToQString(path);
    QPixmap pixmap;
    if (QFileInfo(file).completeSuffix().toUpper() == QLatin1String("ICO"))
        pixmap = AUILibUtils::SelectIcon(QIcon(file), size.height);
    else
        pixmap.load(file);
    impl_->SetPicture(index, pixmap, scale);
}

void ComboBox::AddPicture(int index, const unsigned char* data, int length, ImageTypes type, ScalePicture scale,
                          Size size, BitmapType)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    if (!data) {
        widget->setItemIcon(index, QIcon());
        return;
    }
    if (length <= 0)
        return;
    QPixmap pixmap;
    if (type == ImageICO) {
        QTemporaryFile file;
        if (!file.open() || file.write(reinterpret_cast<const char*>(data), length) != length)
            return;
        file.flush();
        const int edge = size.height >= 1 ? size.height : std::min(widget->height(), widget->width());
        pixmap = AUILibUtils::SelectIcon(QIcon(file.fileName()), edge);
        file.close();
    } else {
        pixmap.loadFromData(data, static_cast<uint>(length), AUILibUtils::ImageTypeToStr(type).c_str());
    }
    impl_->SetPicture(index, pixmap, scale);
}

void ComboBox::SetCurSel(int index)
{
    const std::shared_ptr<impl> hold = impl_;
    if (ComboBoxQt* widget = hold->GetWidget()) {
        ChangeFlagGuard guard(*hold);
        widget->setCurrentIndex(index);
    }
}

int ComboBox::GetCurSel()
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget ? widget->currentIndex() : -1;
}

std::wstring ComboBox::GetItemText(int index)
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget ? ToWide(widget->itemText(index)) : std::wstring();
}

std::wstring ComboBox::CurrentText()
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget ? ToWide(widget->currentText()) : std::wstring();
}

void ComboBox::SetCurrentText(const std::wstring& text)
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    if (!widget)
        return;
    ChangeFlagGuard guard(*hold);
    const bool wasSetting = hold->settingText;
    hold->settingText = true;
    widget->setCurrentText(ToQString(text));
    hold->settingText = wasSetting;
}

void ComboBox::Clear()
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    if (!widget)
        return;
    hold->itemData.Clear();
    ChangeFlagGuard guard(*hold);
    widget->clear();
}

void ComboBox::DeleteString(int index)
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    if (!widget)
        return;
    RemoveItemData(index);
    ChangeFlagGuard guard(*hold);
    widget->removeItem(index);
}

int ComboBox::Count()
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget ? widget->count() : -1;
}

any ComboBox::GetItemData(int index)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return any();
    return impl_->itemData.Get(widget->itemData(index, Qt::UserRole).toInt(), 0);
}

bool ComboBox::SetItemData(int index, any value)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget || index < 0 || index >= widget->count())
        return false;
    RemoveItemData(index);
    const int id = impl_->itemData.Add(0, value);
    widget->setItemData(index, QVariant(id), Qt::UserRole);
    return true;
}

bool ComboBox::RemoveItemData(int index)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget || index < 0 || index >= widget->count())
        return false;
    const QVariant before = widget->itemData(index, Qt::UserRole);
    widget->setItemData(index, QVariant(-1), Qt::UserRole);
    return before.isValid() && impl_->itemData.Erase(before.toInt());
}

void ComboBox::OnlyNumbers(bool enable, int min, int max)
{
    impl_->numberFilter.SetInteger(enable, min, max, nullptr, nullptr);
}

void ComboBox::SetMaxVisibleItems(int count)
{
    if (ComboBoxQt* widget = impl_->GetWidget())
        widget->setMaxVisibleItems(count);
}

int ComboBox::GetMaxVisibleItems()
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget ? widget->maxVisibleItems() : 0;
}

int ComboBox::FindString(const std::wstring& text, int start)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget || widget->count() == 0)
        return -1;
    // The row after start, or the first row when that is no row: the search
    // wraps round and covers start last.
    const int from = start + 1 >= 0 && start + 1 < widget->count() ? start + 1 : 0;
    QAbstractItemModel* model = widget->model();
    const QModelIndexList hits =
        model->match(model->index(from, widget->modelColumn(), widget->rootModelIndex()), Qt::DisplayRole,
                     QVariant(ToQString(text)), 1, Qt::MatchStartsWith | Qt::MatchWrap);
    return hits.isEmpty() ? -1 : hits.first().row();
}

void ComboBox::AdjustItemWidth()
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    const QFontMetrics metrics(widget->font());
    int widest = 0;
    for (int i = 0; i < widget->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(widget->itemText(i)));
    widget->view()->setFixedWidth(std::max(widest + widget->iconSize().width() + 20, widget->width()));
}

namespace {

// Completers made here belong to the box (the edit field does not take
// them); one replaced goes.
void ReplaceCompleter(QComboBox& widget, QCompleter* completer)
{
    // The edit field deletes a completer of its own itself.
    const QPointer<QCompleter> old = widget.completer();
    widget.setCompleter(completer);
    if (old && old != completer && old->parent() == &widget)
        old->deleteLater();
}

} // namespace

void ComboBox::SetAutoComplete(bool enable)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    if (!enable || !widget->isEditable()) {
        ReplaceCompleter(*widget, nullptr);
        return;
    }
    auto* completer = new QCompleter(widget->model(), widget);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    ReplaceCompleter(*widget, completer);
}

bool ComboBox::IsAutoComplete()
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget && widget->completer();
}

void ComboBox::SetEditSel(int start, int length)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (QLineEdit* edit = widget ? widget->lineEdit() : nullptr)
        edit->setSelection(start, length);
}

int ComboBox::SelectionLength()
{
    ComboBoxQt* widget = impl_->GetWidget();
    QLineEdit* edit = widget ? widget->lineEdit() : nullptr;
    return edit ? edit->selectedText().size() : -1;
}

int ComboBox::SelectionStart()
{
    ComboBoxQt* widget = impl_->GetWidget();
    QLineEdit* edit = widget ? widget->lineEdit() : nullptr;
    return edit ? edit->selectionStart() : -1;
}

void ComboBox::SetCaretPosition(int position)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (QLineEdit* edit = widget ? widget->lineEdit() : nullptr) {
        edit->setCursorPosition(position);
        widget->setFocus(Qt::OtherFocusReason);
    }
}

int ComboBox::GetCaretPosition()
{
    ComboBoxQt* widget = impl_->GetWidget();
    QLineEdit* edit = widget ? widget->lineEdit() : nullptr;
    return edit ? edit->cursorPosition() : -1;
}

void ComboBox::ShowDropDown(bool show)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    if (show && !widget->IsDropped())
        widget->showPopup();
    else if (!show && widget->IsDropped())
        widget->hidePopup();
}

bool ComboBox::GetDroppedState()
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget && widget->IsDropped();
}

void ComboBox::Enable(bool enable) { BaseGUIObject::Enable(enable, true); }

void ComboBox::SetTextColor(unsigned colour)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    const QString name = QColor(QRgb(colour | 0xFF000000u)).name(QColor::HexArgb);
    widget->setStyleSheet(widget->styleSheet() + QStringLiteral("QComboBox QAbstractItemView { color: ") + name +
                          QStringLiteral("; } QComboBox { color: ") + name + QStringLiteral("; }"));
}

void ComboBox::SetSelectedItemTextColor(unsigned colour)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    const QString name = QColor(QRgb(colour | 0xFF000000u)).name(QColor::HexArgb);
    widget->setStyleSheet(widget->styleSheet() + QStringLiteral("QComboBox QAbstractItemView { selection-color: ") +
                          name + QStringLiteral("; }"));
}

void ComboBox::SetBackgroundColor(unsigned, unsigned) {}
void ComboBox::SetDropDownButtonBackgroundColor(unsigned) {}
void ComboBox::ResetDropDownButtonBackgroundColor() {}
void ComboBox::SetBorderRadius(int) {}

void ComboBox::SetFont(FontData data)
{
    if (ComboBoxQt* widget = impl_->GetWidget())
        ApplyFontData(*widget, data);
}

void ComboBox::DisableItem(int index, bool disable)
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    QStandardItem* item = ItemAt(widget, index);
    if (!item)
        return;
    item->setEnabled(!disable);
    if (disable && widget->currentIndex() == index) {
        ChangeFlagGuard guard(*hold);
        widget->setCurrentIndex(-1);
    }
}

bool ComboBox::IsItemDisabled(int index)
{
    const QStandardItem* item = ItemAt(impl_->GetWidget(), index);
    return item && !(item->flags() & Qt::ItemIsEnabled);
}

void ComboBox::SetItemFont(int index, FontData& data)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget || index < 0 || index >= widget->count() || IsUnset(data))
        return;
    const FontData current = EntryFont(*widget, index);
    QFont font;
    const auto pick = [](int given, int held) { return given != -1 ? given : held; };
    font.setWeight(pick(data.bold, current.bold) >= 1 ? 75 : 50);
    font.setItalic(pick(data.italic, current.italic) >= 1);
    font.setUnderline(pick(data.underline, current.underline) >= 1);
    const double size = data.pointSize > 0.0 ? data.pointSize : current.pointSize;
    if (size > 0.0)
        font.setPointSizeF(size);
    const std::wstring& face = data.faceName.empty() ? current.faceName : data.faceName;
    if (!face.empty())
        font.setFamily(ToQString(face));
    widget->model()->setData(widget->model()->index(index, widget->modelColumn(), widget->rootModelIndex()), font,
                             Qt::FontRole);
}

FontData ComboBox::GetItemFont(int index)
{
    ComboBoxQt* widget = impl_->GetWidget();
    return widget ? EntryFont(*widget, index) : FontData();
}

void ComboBox::SetEditable(bool editable)
{
    const std::shared_ptr<impl> hold = impl_;
    ComboBoxQt* widget = hold->GetWidget();
    if (!widget)
        return;
    if (editable) {
        widget->setEditable(true);
        hold->lastEditText = CurrentText();
    } else {
        if (hold->balloon)
            hold->balloon->Show(false, -1, -1);
        widget->SetEditListMode(false);
        widget->repaint();
        widget->setEditable(false);
    }
    ReplaceCompleter(*widget, nullptr);
}

void ComboBox::EnableEditListMode(bool enable)
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget || !widget->isEditable())
        return;
    widget->SetEditListMode(enable);
    widget->repaint();
}

bool ComboBox::ShowBalloonTip(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon)
{
    ComboBoxQt* widget = impl_->GetWidget();
    QLineEdit* edit = widget ? widget->lineEdit() : nullptr;
    if (!edit)
        return false;
    if (!impl_->balloon)
        impl_->balloon = std::make_shared<PromptsPopup>();
    impl_->balloon->Create(edit, text, 0, 3000, true);
    impl_->balloon->SetTitle(title);
    impl_->balloon->SetTitleIcon(icon);
    impl_->balloon->Show(true, -1, -1);
    return true;
}

bool ComboBox::HideBalloonTip()
{
    ComboBoxQt* widget = impl_->GetWidget();
    if (!widget || !widget->isEditable() || !impl_->balloon)
        return false;
    impl_->balloon->Show(false, -1, -1);
    return true;
}

void ComboBox::SetAddToListOnEnterKey(bool add)
{
    if (ComboBoxQt* widget = impl_->GetWidget())
        widget->setInsertPolicy(widget->isEditable() && add ? QComboBox::InsertAtBottom : QComboBox::NoInsert);
}

} // namespace AUILib
