#include "SpinEdit.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "SpinEditImplQt.h"
#include "WideQt.h"

namespace AUILib {

SpinEdit::impl::impl(SpinEdit& owner) : widget_(new SpinEditQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &SpinEditQt::valueChanged, [this](long long value) { OnValueChanged(value); });
    widget_.Connect(widget_.Get(), &SpinEditQt::arrowValueChanged,
                    [this](long long value, long long step) { OnArrowValueChanged(value, step); });
}

SpinEdit::impl::~impl() = default;

QWidget* SpinEdit::impl::GetWndPtr() { return widget_.data(); }

void SpinEdit::impl::OnValueChanged(long long value)
{
    SpinEdit* owner = widget_.Owner();
    if (!owner)
        return;
    // A handler may drop the control, and with it this object.
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnValueChanged.Emit(value);
}

void SpinEdit::impl::OnArrowValueChanged(long long value, long long step)
{
    SpinEdit* owner = widget_.Owner();
    if (!owner)
        return;
    const EmissionHold hold(owner->GetBaseImpl());
    owner->OnArrowValueChanged.Emit(value, step);
}

SpinEdit::SpinEdit() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeSpinEdit); }

SpinEdit::~SpinEdit()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), the widget both of them.
    impl_->ForgetOwner();
}

bool SpinEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size SpinEdit::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> SpinEdit::GetBaseImpl() const { return impl_; }

SkinManager* SpinEdit::GetSkinManager() { return GetGlobalSkinManager(); }

void SpinEdit::SetRange(long long a, long long b)
{
    // Held across the change: a value handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (SpinEditQt* widget = hold->GetWidget())
        widget->SetRange(a, b);
}

long long SpinEdit::GetValue()
{
    SpinEditQt* widget = impl_->GetWidget();
    return widget ? widget->GetValue() : 0;
}

void SpinEdit::SetValue(long long value)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (SpinEditQt* widget = hold->GetWidget())
        widget->SetValue(value);
}

void SpinEdit::SetStep(long long step)
{
    if (SpinEditQt* widget = impl_->GetWidget())
        widget->SetStep(step);
}

void SpinEdit::SetSuffix(std::wstring suffix)
{
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    if (SpinEditQt* widget = hold->GetWidget())
        widget->SetSuffix(ToQString(suffix));
}

std::wstring SpinEdit::GetSuffix()
{
    SpinEditQt* widget = impl_->GetWidget();
    return widget ? ToWide(widget->GetSuffix()) : std::wstring();
}

void SpinEdit::SetBalloonNaNtext(const std::wstring& title, const std::wstring& text)
{
    if (SpinEditQt* widget = impl_->GetWidget())
        widget->SetBalloonTexts(ToQString(title), ToQString(text));
}

void SpinEdit::LastValidValueCorrection(bool correction)
{
    if (SpinEditQt* widget = impl_->GetWidget())
        widget->SetCorrection(correction);
}

void SpinEdit::SetBorderRadius(int) {}

} // namespace AUILib
