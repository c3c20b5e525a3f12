#include "Edit.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "ContextMenu.h"
#include "EditImplQt.h"
#include "EmissionHold.h"
#include "PromptsPopup.h"
#include "WideQt.h"

#include <QCompleter>
#include <QScopedValueRollback>

#include <algorithm>

namespace AUILib {

// ---- implementation ----

Edit::impl::CompleterHolder::~CompleterHolder() { delete completer; }

Edit::impl::impl(Edit& owner) : widget_(new EditQt, WidgetOwnership::Made, &owner)
{
    EditQt* widget = widget_.Get();
    focusWatcher = new FocusWatcher(widget);
    widget->installEventFilter(focusWatcher);
    // In this order: the step corrects the text before anyone hears of it.
    widget_.Connect(widget, &QLineEdit::textChanged, [this](const QString& text) { OnWidgetTextChanged(text); });
    widget_.Connect(widget, &QLineEdit::textChanged, [this](const QString& text) { EmitTextChanged(text); });
    widget_.Connect(widget, &QLineEdit::textEdited, [this](const QString& text) { EmitTextEdited(text); });
    widget_.Connect(focusWatcher.data(), &FocusWatcher::focusChanged, [this](bool focused) { EmitFocusLost(focused); });
}

Edit::impl::~impl() = default;

QWidget* Edit::impl::GetWndPtr() { return widget_.data(); }

void Edit::impl::OnWidgetTextChanged(const QString& text)
{
    EditQt* widget = widget_.Get();
    if (!widget || writingBack)
        return;
    // The write-backs below notify again; a handler there may drop the
    // control, and with it this object.
    Edit* owner = widget_.Owner();
    const EmissionHold hold(owner ? owner->GetBaseImpl() : nullptr);
    QPointer<EditQt> alive(widget);

    const int position = widget->cursorPosition();
    const QString suffixText = ToQString(suffix);
    QString number = text;
    if (!suffixText.isEmpty() && !number.isEmpty()) {
        if (IsChangeInProgress()) {
            // Code wrote the text: it is the new number, with or without the
            // suffix, never the last one.
            if (number.endsWith(suffixText))
                number.chop(suffixText.size());
        } else if (number.contains(suffixText) && position != number.size()) {
            number.chop(suffixText.size());
        } else if (const int typedOver = TypedOverSuffix(text, position); typedOver >= 0) {
            // The user typed over (or deleted) a selection from the number
            // into the suffix: what was typed replaces that part of the
            // number and the suffix comes back whole.
            number = text.left(typedOver);
        } else {
            // The user cut into the suffix or typed behind it.
            number = lastText;
            if (lastText.isEmpty()) {
                ChangeFlagGuard guard(*this);
                const QScopedValueRollback<bool> writing(writingBack, true);
                widget->setText(suffixText);
                if (!alive)
                    return;
            }
        }
    }
    std::wstring filtered = ToWide(number);
    int refused = 0;
    if (IsChangeInProgress())
        filter.Filter(filtered, false);
    else
        refused = static_cast<int>(filter.FilterEdit(filtered, ToWide(lastText), false));
    lastText = ToQString(filtered);
    if (suffixText.isEmpty() && lastText == text)
        return;
    {
        ChangeFlagGuard guard(*this);
        const QScopedValueRollback<bool> writing(writingBack, true);
        widget->setText(lastText + suffixText);
        if (!alive)
            return;
    }
    // The cursor stays behind what the user typed and the edit kept.
    widget->setCursorPosition(std::max(0, position - refused));
}

int Edit::impl::TypedOverSuffix(const QString& text, int position) const
{
    const QString before = lastText + ToQString(suffix);
    const int shorter = std::min(text.size(), before.size());
    int head = 0;
    while (head < shorter && text.at(head) == before.at(head))
        ++head;
    // The typed text ends at the cursor.
    const int tailLimit = std::min(shorter - head, text.size() - position);
    int tail = 0;
    while (tail < tailLimit && text.at(text.size() - 1 - tail) == before.at(before.size() - 1 - tail))
        ++tail;
    const bool startsInNumber = head <= lastText.size();
    const bool reachesSuffix = before.size() - tail > lastText.size();
    if (!startsInNumber || !reachesSuffix)
        return -1;
    return text.size() - tail;
}

void Edit::impl::EmitTextChanged(const QString& text)
{
    Edit* owner = widget_.Owner();
    EditQt* widget = widget_.Get();
    // A notification whose text the step has replaced since: the nested
    // one already told the text that is shown.
    if (!owner || !widget || widget->text() != text)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnTextChanged.Emit(ToWide(text));
}

void Edit::impl::EmitTextEdited(const QString& text)
{
    Edit* owner = widget_.Owner();
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnTextEdited.Emit(ToWide(text));
}

void Edit::impl::EmitFocusLost(bool focused)
{
    Edit* owner = widget_.Owner();
    if (focused || !owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnFocusLost.Emit();
}

// ---- control ----

Edit::Edit() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeEdit); }

Edit::~Edit()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), the widget both of them.
    impl_->ForgetOwner();
}

bool Edit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size Edit::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> Edit::GetBaseImpl() const { return impl_; }

SkinManager* Edit::GetSkinManager() { return GetGlobalSkinManager(); }

QWidget* Edit::GetWndPtr() { return impl_->GetWidget(); }

void Edit::SetTextAlign(TextAlign align)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    if (align == TextAlignLeft)
        widget->setAlignment(Qt::AlignLeft);
    else if (align == TextAlignCenter)
        widget->setAlignment(Qt::AlignHCenter);
    else
        widget->setAlignment(Qt::AlignRight);
}

void Edit::SetSelectAll()
{
    if (EditQt* widget = impl_->GetWidget()) {
        QPointer<EditQt> alive(widget);
        widget->setFocus(Qt::OtherFocusReason);
        if (alive)
            widget->selectAll();
    }
}

void Edit::SetFocus()
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setFocus(Qt::OtherFocusReason);
}

void Edit::SetLimitText(int limit)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setMaxLength(limit);
}

void Edit::SetReadOnly(bool readOnly)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setReadOnly(readOnly);
}

bool Edit::IsReadOnly()
{
    EditQt* widget = impl_->GetWidget();
    return widget && widget->isReadOnly();
}

void Edit::OnlyNumbers(bool enable, int min, int max, std::shared_ptr<PromptsPopup> invalidPopup,
                       std::shared_ptr<PromptsPopup> rangePopup)
{
    impl_->filter.SetInteger(enable, min, max, std::move(invalidPopup), std::move(rangePopup));
}

void Edit::OnlyNumbers(bool enable, double min, double max, std::shared_ptr<PromptsPopup> invalidPopup, int decimals)
{
    impl_->filter.SetFloating(enable, min, max, std::move(invalidPopup), nullptr, decimals);
}

void Edit::OnlyNumbers(bool enable, double min, double max, std::shared_ptr<PromptsPopup> invalidPopup,
                       std::shared_ptr<PromptsPopup> rangePopup, int decimals)
{
    impl_->filter.SetFloating(enable, min, max, std::move(invalidPopup), std::move(rangePopup), decimals);
}

int Edit::IsSetOnlyNumbers() { return impl_->filter.Mode(); }

namespace {

void SetRoleColour(QWidget* widget, QPalette::ColorRole role, QRgb colour)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, role, QBrush(QColor(colour)));
    widget->setPalette(palette);
}

} // namespace

void Edit::SetBackgroundColor(int colour)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    impl_->colour = colour;
    widget->setAutoFillBackground(true);
    SetRoleColour(widget, widget->backgroundRole(), static_cast<QRgb>(colour));
}

int Edit::GetBackgroundColor() { return impl_->colour; }

void Edit::SetTextColor(int colour)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    impl_->colour = colour;
    widget->setAutoFillBackground(true);
    SetRoleColour(widget, widget->foregroundRole(), static_cast<QRgb>(colour));
}

void Edit::SetPlaceHolderTextColor(RGBColor colour)
{
    if (EditQt* widget = impl_->GetWidget())
        SetRoleColour(widget, QPalette::PlaceholderText, colour);
}

int Edit::GetTextColor() { return impl_->colour; }

bool Edit::ShowBalloonTip(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return false;
    if (!impl_->balloon)
        impl_->balloon = std::make_unique<PromptsPopup>();
    PromptsPopup& balloon = *impl_->balloon;
    balloon.Create(widget, text, 0, 3000, true);
    balloon.SetTitle(title);
    balloon.SetTitleIcon(icon);
    balloon.Show(true, -1, -1);
    return true;
}

bool Edit::HideBalloonTip()
{
    if (impl_->balloon)
        impl_->balloon->Show(false, -1, -1);
    return true;
}

void Edit::SetText(const std::wstring& text)
{
    // Held across the change: a text handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    QPointer<EditQt> widget = hold->GetWidget();
    if (!widget)
        return;
    {
        ChangeFlagGuard guard(*hold);
        widget->setText(ToQString(text));
    }
    if (!widget)
        return;
    widget->home(true);
    widget->deselect();
}

std::wstring Edit::GetText()
{
    EditQt* widget = impl_->GetWidget();
    return widget ? ToWide(widget->text()) : std::wstring();
}

void Edit::SetPasswordMode(PasswordMode mode)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setEchoMode(mode == PasswordHidden ? QLineEdit::Password : QLineEdit::Normal);
}

int Edit::GetPasswordMode()
{
    EditQt* widget = impl_->GetWidget();
    return widget && widget->echoMode() == QLineEdit::Password ? 1 : 0;
}

void Edit::SetFrameMode(bool frame)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setFrame(frame);
}

bool Edit::GetFrameMode()
{
    EditQt* widget = impl_->GetWidget();
    return widget && widget->hasFrame();
}

void Edit::InsertContextMenu(const std::shared_ptr<ContextMenu>& menu) { impl_->contextMenu = menu; }

void Edit::RemoveContextMenu() { impl_->contextMenu.reset(); }

std::shared_ptr<ContextMenu> Edit::GetContextMenu() { return impl_->contextMenu; }

void Edit::SetCursorPosition(int position)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget || position < 0)
        return;
    widget->setCursorPosition(std::min(position, widget->text().size()));
    widget->setFocus(Qt::OtherFocusReason);
}

int Edit::GetCursorPosition()
{
    EditQt* widget = impl_->GetWidget();
    return widget ? widget->cursorPosition() : 0;
}

void Edit::SetSelection(int start, int length)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    start = std::max(start, 0);
    const int textLength = widget->text().size();
    if (static_cast<unsigned>(length - start) > static_cast<unsigned>(textLength))
        length = textLength - start;
    widget->setSelection(start, length);
}

int Edit::SelectionLength()
{
    EditQt* widget = impl_->GetWidget();
    return widget ? widget->selectionLength() : 0;
}

int Edit::SelectionStart()
{
    EditQt* widget = impl_->GetWidget();
    return widget ? widget->selectionStart() : 0;
}

void Edit::SetAutoComplete(const std::vector<std::wstring>& words)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    auto holder = std::make_unique<impl::CompleterHolder>();
    for (const std::wstring& word : words)
        holder->words.append(ToQString(word));
    holder->completer = new QCompleter(holder->words);
    holder->completer->setCaseSensitivity(Qt::CaseInsensitive);
    holder->lineEdit = widget;
    widget->setCompleter(holder->completer);
    // The replaced holder takes its completer along.
    impl_->completer = std::move(holder);
}

void Edit::EnableAutoComplete(bool enable)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget || !impl_->completer)
        return;
    widget->setCompleter(enable ? impl_->completer->completer : nullptr);
}

void Edit::SetSuffix(std::wstring suffix)
{
    EditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    QString text = widget->text();
    const QString old = ToQString(impl_->suffix);
    if (!old.isEmpty()) {
        const int at = text.lastIndexOf(old);
        if (at >= 0)
            text.remove(at, old.size());
    }
    impl_->suffix = suffix;
    SetText(ToWide(text) + suffix);
}

void Edit::SetPlaceHolderText(std::wstring text)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setPlaceholderText(ToQString(text));
}

void Edit::SetBorderColor(unsigned colour)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->setStyleSheet(QStringLiteral("border-style: outset; border-width: 1px;  border-color:") +
                              QColor(static_cast<QRgb>(colour)).name(QColor::HexArgb) + QStringLiteral(";"));
}

void Edit::SetBorderRadius(int) {}

void Edit::EnableExtendedButton(std::wstring normalIcon, std::wstring hoverIcon)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->EnableExtendedButton(ToQString(normalIcon), ToQString(hoverIcon));
}

void Edit::ExtendedButtonSetImage(std::wstring normalIcon, std::wstring hoverIcon)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->ExtendedButtonSetImage(ToQString(normalIcon), ToQString(hoverIcon));
}

void Edit::ExtendedButtonSetImage(const unsigned char* data, int length, ImageTypes type, bool hover)
{
    if (EditQt* widget = impl_->GetWidget())
        widget->ExtendedButtonSetImage(data, length, type, hover);
}

} // namespace AUILib
