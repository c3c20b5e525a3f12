#include "ProgressBar.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "ProgressBarImplQt.h"

namespace AUILib {

ProgressBar::impl::impl(ProgressBar& owner) : widget_(new ProgressBarQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &QProgressBar::valueChanged, [this](int value) {
        ProgressBar* control = widget_.Owner();
        if (!control)
            return;
        // A handler may drop the control and with it this implementation.
        const EmissionHold hold(control->GetBaseImpl());
        control->OnValueChanged.Emit(value);
    });
}

ProgressBar::impl::~impl() = default;

QWidget* ProgressBar::impl::GetWndPtr() { return widget_.data(); }

bool ProgressBar::impl::SetValue(int value)
{
    ProgressBarQt* bar = widget_.Get();
    if (!bar || value < bar->minimum() || value > bar->maximum())
        return false;
    ChangeFlagGuard guard(*this);
    bar->setValue(value);
    return true;
}

void ProgressBar::impl::SetRange(int minimum, int maximum)
{
    if (ProgressBarQt* bar = widget_.Get()) {
        const int value = bar->value();
        if (value < minimum || value > maximum)
            SetValue(minimum);
    }
    // The value handler may have deleted the widget.
    if (ProgressBarQt* bar = widget_.Get()) {
        ChangeFlagGuard guard(*this);
        bar->setRange(minimum, maximum);
    }
}

ProgressBar::ProgressBar() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeProgressBar); }

ProgressBar::~ProgressBar() { impl_->ForgetOwner(); }

bool ProgressBar::Create(QWidget* parent)
{
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

Size ProgressBar::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> ProgressBar::GetBaseImpl() const { return impl_; }

SkinManager* ProgressBar::GetSkinManager() { return GetGlobalSkinManager(); }

void ProgressBar::SetRange(int minimum, int maximum)
{
    // Held across the change: a value handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    hold->SetRange(minimum, maximum);
}

bool ProgressBar::SetValue(int value)
{
    const std::shared_ptr<impl> hold = impl_;
    return hold->SetValue(value);
}

int ProgressBar::GetValue() const
{
    ProgressBarQt* bar = impl_->GetWidget();
    return bar ? bar->value() : 0;
}

int ProgressBar::GetMinimum() const
{
    ProgressBarQt* bar = impl_->GetWidget();
    return bar ? bar->minimum() : 0;
}

int ProgressBar::GetMaximum() const
{
    ProgressBarQt* bar = impl_->GetWidget();
    return bar ? bar->maximum() : 0;
}

} // namespace AUILib
