#include "ScrollBar.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "ScrollBarImplQt.h"

#include <QPalette>

namespace AUILib {

namespace {

// Emits a signal of the control, holding the control's implementation:
// a handler may drop the control, and with it the implementation.
template <typename SignalMember, typename... Args>
void EmitFromOwner(ScrollBar* owner, SignalMember ScrollBar::*signal, Args... args)
{
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    (owner->*signal).Emit(args...);
}

} // namespace

ScrollBar::impl::impl(ScrollBar& owner) : widget_(new ScrollBarQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &QAbstractSlider::valueChanged,
                    [this](int value) { EmitFromOwner(widget_.Owner(), &ScrollBar::OnValueChanged, value); });
    widget_->setPageStep(1);
}

ScrollBar::impl::~impl() = default;

QWidget* ScrollBar::impl::GetWndPtr() { return widget_.data(); }

ScrollBar::ScrollBar() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeScrollBar); }

ScrollBar::~ScrollBar() { impl_->ForgetOwner(); }

bool ScrollBar::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size ScrollBar::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> ScrollBar::GetBaseImpl() const { return impl_; }

SkinManager* ScrollBar::GetSkinManager() { return GetGlobalSkinManager(); }

void ScrollBar::SetPageSize(int size)
{
    if (auto* widget = impl_->GetWidget())
        widget->setPageStep(size);
}

void ScrollBar::SetLineSize(int size)
{
    if (auto* widget = impl_->GetWidget())
        widget->setSingleStep(size);
}

void ScrollBar::SetRange(int minimum, int maximum)
{
    // Held across the change: a value handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (auto* widget = hold->GetWidget())
        widget->setRange(minimum, maximum);
}

void ScrollBar::SetValue(int value)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (auto* widget = hold->GetWidget())
        widget->setValue(value);
}

int ScrollBar::GetValue()
{
    auto* widget = impl_->GetWidget();
    return widget ? widget->value() : 0;
}

void ScrollBar::SetBackgroundColor(int colour)
{
    ScrollBarQt* widget = impl_->GetWidget();
    if (!widget)
        return;
    impl_->SetBackgroundColor(colour);
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    // 0xRRGGBB: the top byte is not alpha here, the colour is opaque.
    palette.setBrush(QPalette::All, widget->backgroundRole(), QBrush(QColor(static_cast<QRgb>(colour) & 0xFFFFFFu)));
    widget->setPalette(palette);
}

int ScrollBar::GetBackgroundColor() { return impl_->GetBackgroundColor(); }

} // namespace AUILib
