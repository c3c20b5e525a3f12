#include "DoubleSpinEdit.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "DoubleSpinEditImplQt.h"
#include "WideQt.h"

namespace AUILib {

DoubleSpinEdit::impl::impl(DoubleSpinEdit& owner) : widget_(new DoubleSpinEditQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), QOverload<double>::of(&QDoubleSpinBox::valueChanged),
                    [this](double value) { OnValueChanged(value); });
    widget_.Connect(widget_.Get(), &DoubleSpinEditQt::arrowValueChanged,
                    [this](double value, double step) { OnArrowValueChanged(value, step); });
}

DoubleSpinEdit::impl::~impl() = default;

QWidget* DoubleSpinEdit::impl::GetWndPtr() { return widget_.data(); }

void DoubleSpinEdit::impl::OnValueChanged(double value)
{
    DoubleSpinEdit* owner = widget_.Owner();
    if (!owner)
        return;
    // A handler may drop the control, and with it this object.
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnValueChanged.Emit(value);
}

void DoubleSpinEdit::impl::OnArrowValueChanged(double value, double step)
{
    DoubleSpinEdit* owner = widget_.Owner();
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnArrowValueChanged.Emit(value, step);
}

DoubleSpinEdit::DoubleSpinEdit() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeDoubleSpinEdit); }

DoubleSpinEdit::~DoubleSpinEdit() { impl_->ForgetOwner(); }

bool DoubleSpinEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size DoubleSpinEdit::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> DoubleSpinEdit::GetBaseImpl() const { return impl_; }

SkinManager* DoubleSpinEdit::GetSkinManager() { return GetGlobalSkinManager(); }

void DoubleSpinEdit::SetRange(double minimum, double maximum)
{
    // Held across the change: a value handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (DoubleSpinEditQt* widget = hold->GetWidget())
        widget->setRange(minimum, maximum);
}

double DoubleSpinEdit::GetValue()
{
    DoubleSpinEditQt* widget = impl_->GetWidget();
    return widget ? widget->value() : 0.0;
}

void DoubleSpinEdit::SetValue(double value)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (DoubleSpinEditQt* widget = hold->GetWidget())
        widget->setValue(value);
}

void DoubleSpinEdit::SetStep(double step)
{
    if (DoubleSpinEditQt* widget = impl_->GetWidget())
        widget->SetStep(step);
}

void DoubleSpinEdit::SetPrecision(int decimals)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (DoubleSpinEditQt* widget = hold->GetWidget())
        widget->setDecimals(decimals);
}

void DoubleSpinEdit::SetSuffix(std::wstring suffix)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (DoubleSpinEditQt* widget = hold->GetWidget())
        widget->setSuffix(ToQString(suffix));
}

std::wstring DoubleSpinEdit::GetSuffix()
{
    DoubleSpinEditQt* widget = impl_->GetWidget();
    return widget ? ToWide(widget->suffix()) : std::wstring();
}

void DoubleSpinEdit::SetBalloonNaNtext(const std::wstring& title, const std::wstring& text)
{
    if (DoubleSpinEditQt* widget = impl_->GetWidget())
        widget->SetBalloonTexts(ToQString(title), ToQString(text));
}

void DoubleSpinEdit::LastValidValueCorrection(bool correction)
{
    if (DoubleSpinEditQt* widget = impl_->GetWidget())
        widget->SetCorrection(correction);
}

void DoubleSpinEdit::SetBorderRadius(int) {}

void DoubleSpinEdit::SetDecimalChar(char decimal)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (DoubleSpinEditQt* widget = hold->GetWidget())
        widget->SetDecimalChar(decimal);
}

} // namespace AUILib
