#include "MultiLineEdit.h"

#include "AUILibConfig.h"
#include "EmissionHold.h"
#include "MultiLineEditImplQt.h"
#include "TextEditSteps.h"

#include <QFontMetrics>
#include <QTextDocument>

#include <algorithm>

namespace AUILib {

namespace {

int CodePoints(const QString& text)
{
    int count = 0;
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

} // namespace

MultiLineEdit::impl::impl(MultiLineEdit& owner) : widget_(new MultiLineEditQt, WidgetOwnership::Made, &owner)
{
    MultiLineEditQt* widget = widget_.Get();
    auto* watcher = new FocusWatcher(widget);
    widget->installEventFilter(watcher);
    focusWatcher_ = watcher;
    widget_.Connect(widget, &QPlainTextEdit::textChanged, [this] { OnTextStep(); });
    widget_.Connect(watcher, &FocusWatcher::focusChanged, [this](bool focused) { OnFocusChanged(focused); });
}

// The focus watcher is the widget's child and goes with it.
MultiLineEdit::impl::~impl() = default;

QWidget* MultiLineEdit::impl::GetWndPtr() { return widget_.data(); }

bool MultiLineEdit::impl::TrimToLimit(MultiLineEditQt& widget)
{
    if (textLimit_ < 0)
        return false;
    const QString text = widget.toPlainText();
    const int length = CodePoints(text);
    // Only what this edit added beyond the limit goes: a text that was
    // already longer (set by code, or there before the limit) loses nothing
    // of its own when the user deletes or types in it.
    int excess = std::min(length - textLimit_, length - CodePoints(lastText_));
    if (excess <= 0)
        return false;
    // The excess code points just before the cursor (what was inserted
    // last), never past the start: one removal, so a large paste cannot
    // nest one text step per character.
    QTextCursor cursor = widget.textCursor();
    const int end = cursor.position();
    int start = end;
    while (excess > 0 && start > 0) {
        --start;
        if (start > 0 && text.at(start).isLowSurrogate() && text.at(start - 1).isHighSurrogate())
            --start;
        --excess;
    }
    if (start == end)
        return false;
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();  // runs the text step again, now within the limit
    return true;
}

void MultiLineEdit::impl::OnTextStep()
{
    MultiLineEditQt* widget = widget_.Get();
    if (!widget)
        return;
    // A handler, here or in the step nested by the trim, may drop the
    // control, and with it this object.
    MultiLineEdit* owner = widget_.Owner();
    const EmissionHold hold(owner ? owner->GetBaseImpl() : nullptr);
    if (TrimToLimit(*widget)) {
        // The nested step saw the trimmed text and reported it.
        widget = widget_.Get();
        if (!widget)
            return;
    }
    const QString text = widget->toPlainText();
    if (text != lastText_) {
        // Recorded before the handlers run: one that sets the text itself
        // leaves its own text as the last one seen.
        lastText_ = text;
        if (!IsChangeInProgress() && (owner = widget_.Owner()))
            owner->OnTextEdited.Emit();
        if ((owner = widget_.Owner()))
            owner->OnTextChanged.Emit();
    }
    OnHeightStep();
}

void MultiLineEdit::impl::OnHeightStep()
{
    MultiLineEditQt* widget = widget_.Get();
    if (!adaptiveHeight_ || !widget)
        return;
    const QMargins margins = widget->contentsMargins();
    const QTextDocument* document = widget->document();
    const double height = margins.top() + margins.bottom() +
                          2 * (document->documentMargin() + widget->frameWidth()) +
                          static_cast<double>(document->lineCount()) * QFontMetrics(widget->font()).lineSpacing();
    widget->setFixedHeight(static_cast<int>(height));
}

void MultiLineEdit::impl::OnFocusChanged(bool focused)
{
    MultiLineEdit* owner = widget_.Owner();
    if (focused || !owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnFocusLost.Emit();
}

MultiLineEdit::Selection MultiLineEdit::impl::GetSel()
{
    return TextEditSteps::ReadSelection<Selection>(widget_.Get(), cursor_);
}

void MultiLineEdit::impl::SetSel(Selection selection)
{
    if (MultiLineEditQt* widget = widget_.Get())
        TextEditSteps::Select(*widget, cursor_, selection.start, selection.end);
}

void MultiLineEdit::impl::SetAdaptiveHeight(bool adaptive)
{
    adaptiveHeight_ = adaptive;
    OnHeightStep();
}

void MultiLineEdit::impl::SetLimitText(int limit)
{
    if (limit > 0)
        textLimit_ = limit;
}

MultiLineEdit::MultiLineEdit() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeMultiLineEdit); }

MultiLineEdit::~MultiLineEdit()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), the widget both of them.
    impl_->ForgetOwner();
}

bool MultiLineEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size MultiLineEdit::IdealSize() { return impl_->IdealSize(); }

Size MultiLineEdit::MinimumIdealSize() { return impl_->MinimumIdealSize(); }

std::shared_ptr<BaseImpl> MultiLineEdit::GetBaseImpl() const { return impl_; }

SkinManager* MultiLineEdit::GetSkinManager() { return GetGlobalSkinManager(); }

void MultiLineEdit::SetText(const std::wstring& text) { TextEditSteps::SetPlainText(impl_, text); }

std::wstring MultiLineEdit::GetText() { return TextEditSteps::PlainText(impl_->GetWidget()); }

void MultiLineEdit::SetStyle(flag remove, flag add) { TextEditSteps::SetStyle(impl_->GetWidget(), remove, add); }

void MultiLineEdit::SetScrollBarPolicy(ScrollBarPolicy policy)
{
    MultiLineEditQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    widget->setVerticalScrollBarPolicy(policy == ScrollBarAlwaysOff  ? Qt::ScrollBarAlwaysOff
                                       : policy == ScrollBarAlwaysOn ? Qt::ScrollBarAlwaysOn
                                                                     : Qt::ScrollBarAsNeeded);
}

MultiLineEdit::Selection MultiLineEdit::GetSel() { return impl_->GetSel(); }

void MultiLineEdit::SetSel(Selection selection) { impl_->SetSel(selection); }

void MultiLineEdit::SetAdaptiveHeight(bool adaptive) { impl_->SetAdaptiveHeight(adaptive); }

void MultiLineEdit::SetLimitText(int limit) { impl_->SetLimitText(limit); }

} // namespace AUILib
