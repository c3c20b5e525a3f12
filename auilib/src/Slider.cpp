#include "Slider.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "SliderImplQt.h"

namespace AUILib {

namespace {

// Emits a signal of the control, holding the control's implementation:
// a handler may drop the control, and with it the implementation.
template <typename SignalMember, typename... Args>
void EmitFromOwner(Slider* owner, SignalMember Slider::*signal, Args... args)
{
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    (owner->*signal).Emit(args...);
}

} // namespace

Slider::impl::impl(Slider& owner) : widget_(new SliderQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &QAbstractSlider::sliderReleased,
                    [this] { EmitFromOwner(widget_.Owner(), &Slider::OnSliderReleased); });
    widget_.Connect(widget_.Get(), &QAbstractSlider::valueChanged,
                    [this](int value) { EmitFromOwner(widget_.Owner(), &Slider::OnValueChanged, value); });
}

Slider::impl::~impl() = default;

QWidget* Slider::impl::GetWndPtr() { return widget_.data(); }

Slider::Slider() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeSlider); }

Slider::~Slider() { impl_->ForgetOwner(); }

bool Slider::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size Slider::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> Slider::GetBaseImpl() const { return impl_; }

SkinManager* Slider::GetSkinManager() { return GetGlobalSkinManager(); }

void Slider::SetPageSize(int size)
{
    if (auto* widget = impl_->GetWidget())
        widget->setPageStep(size);
}

void Slider::SetLineSize(int size)
{
    if (auto* widget = impl_->GetWidget())
        widget->setSingleStep(size);
}

void Slider::SetRange(int minimum, int maximum)
{
    // Held across the change: a value handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (auto* widget = hold->GetWidget())
        widget->setRange(minimum, maximum);
}

void Slider::SetValue(int value)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (auto* widget = hold->GetWidget())
        widget->setValue(value);
}

int Slider::GetValue()
{
    auto* widget = impl_->GetWidget();
    return widget ? widget->value() : 0;
}

} // namespace AUILib
