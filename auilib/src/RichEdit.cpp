#include "RichEdit.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "RichEditImplQt.h"
#include "TextEditSteps.h"
#include "WideQt.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QTextCharFormat>

namespace AUILib {

RichEdit::impl::impl(RichEdit& owner) : widget_(new RichEditQt, WidgetOwnership::Made, &owner)
{
    RichEditQt* widget = widget_.Get();
    widget->setAcceptRichText(false);
    widget_.Connect(widget, &QTextEdit::textChanged, [this] { OnTextStep(); });
    // Unlike the multi-line edit, a new rich edit does not wrap.
    widget->setLineWrapMode(QTextEdit::NoWrap);
    cursor_ = widget->textCursor();
}

RichEdit::impl::~impl() = default;

QWidget* RichEdit::impl::GetWndPtr() { return widget_.data(); }

void RichEdit::impl::OnTextStep()
{
    RichEdit* owner = widget_.Owner();
    if (!owner)
        return;
    // A handler may drop the control, and with it this object.
    const EmissionHold hold(owner->GetBaseImpl());
    if (!IsChangeInProgress())
        owner->OnTextEdited.Emit();
    if ((owner = widget_.Owner()))
        owner->OnTextChanged.Emit();
}

RichEdit::Selection RichEdit::impl::GetSel()
{
    return TextEditSteps::ReadSelection<Selection>(widget_.Get(), cursor_);
}

void RichEdit::impl::SetSel(Selection selection)
{
    if (RichEditQt* widget = widget_.Get())
        TextEditSteps::Select(*widget, cursor_, selection.start, selection.end);
}

RichEdit::CharFormat_ RichEdit::impl::GetSelectionCharFormat()
{
    CharFormat_ result;
    RichEditQt* widget = widget_.Get();
    if (!widget)
        return result;
    cursor_ = widget->textCursor();
    const QTextCharFormat format = cursor_.charFormat();
    result.color = static_cast<int>(format.foreground().color().rgb() & 0xFFFFFF);
    result.faceName = ToWide(format.fontFamily());
    result.size = static_cast<int>(format.fontPointSize());
    result.flags = 0;
    if (format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() == QFont::Bold)
        result.flags |= CharBold;
    if (format.fontItalic())
        result.flags |= CharItalic;
    if (format.fontStrikeOut())
        result.flags |= CharStrikeOut;
    if (format.fontUnderline())
        result.flags |= CharUnderline;
    return result;
}

void RichEdit::impl::SetSelectionCharFormat(const CharFormat_& format)
{
    RichEditQt* widget = widget_.Get();
    if (!widget)
        return;
    cursor_ = widget->textCursor();
    const int start = cursor_.selectionStart();
    if (start < 0 || start >= cursor_.selectionEnd())
        return;
    QTextCharFormat replacement;
    if (format.size >= 0)
        replacement.setFontPointSize(format.size);
    if (format.color >= 0) {
        const QColor color(qRgb((format.color >> 16) & 0xFF, (format.color >> 8) & 0xFF, format.color & 0xFF));
        replacement.setForeground(QBrush(color, Qt::SolidPattern));
    }
    if (format.flags & CharBold)
        replacement.setFontWeight(QFont::Bold);
    if (format.flags & CharItalic)
        replacement.setFontItalic(true);
    if (format.flags & CharStrikeOut)
        replacement.setFontStrikeOut(true);
    if (format.flags & CharUnderline)
        replacement.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    if (format.flags == 0) {
        replacement.setUnderlineStyle(QTextCharFormat::NoUnderline);
        replacement.setFontStrikeOut(false);
        replacement.setFontItalic(false);
        replacement.setFontWeight(QFont::Normal);
    }
    if (!format.faceName.empty())
        replacement.setFontFamily(ToQString(format.faceName));
    // A format set by code is no edit of the user's.
    ChangeFlagGuard guard(*this);
    cursor_.setCharFormat(replacement);
}

RichEdit::RichEdit() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeRichEdit); }

RichEdit::~RichEdit()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), the widget both of them.
    impl_->ForgetOwner();
}

bool RichEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size RichEdit::IdealSize() { return impl_->IdealSize(); }

Size RichEdit::MinimumIdealSize() { return impl_->MinimumIdealSize(); }

std::shared_ptr<BaseImpl> RichEdit::GetBaseImpl() const { return impl_; }

SkinManager* RichEdit::GetSkinManager() { return GetGlobalSkinManager(); }

void RichEdit::SetText(const std::wstring& text) { TextEditSteps::SetPlainText(impl_, text); }

std::wstring RichEdit::GetText() { return TextEditSteps::PlainText(impl_->GetWidget()); }

void RichEdit::SetStyle(flag remove, flag add) { TextEditSteps::SetStyle(impl_->GetWidget(), remove, add); }

RichEdit::Selection RichEdit::GetSel() { return impl_->GetSel(); }

void RichEdit::SetSel(Selection selection) { impl_->SetSel(selection); }

RichEdit::CharFormat_ RichEdit::GetSelectionCharFormat() { return impl_->GetSelectionCharFormat(); }

void RichEdit::SetSelectionCharFormat(CharFormat_ format)
{
    // Held across the change: a text handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    hold->SetSelectionCharFormat(format);
}

bool RichEdit::acceptRichText()
{
    RichEditQt* widget = impl_->GetWidget();
    return widget && widget->acceptRichText();
}

void RichEdit::setAcceptRichText(bool accept)
{
    if (RichEditQt* widget = impl_->GetWidget())
        widget->setAcceptRichText(accept);
}

} // namespace AUILib
