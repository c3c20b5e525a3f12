#include "CheckBox.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ChangeFlagGuard.h"
#include "CheckBoxImplQt.h"
#include "WideQt.h"

namespace AUILib {

CheckBox::impl::impl(CheckBox& owner) : widget_(new CheckBoxQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &QAbstractButton::clicked, [this](bool) {
        if (CheckBox* control = widget_.Owner())
            control->OnClicked.Emit();
    });
}

CheckBox::impl::~impl() = default;

QWidget* CheckBox::impl::GetWndPtr() { return widget_.data(); }

CheckBox::CheckBox() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeCheckBox); }

CheckBox::~CheckBox()
{
    // The implementation may outlive the control (a caller holding
    // GetBaseImpl), a placed widget both of them.
    impl_->ForgetOwner();
}

bool CheckBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

Size CheckBox::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> CheckBox::GetBaseImpl() const { return impl_; }

SkinManager* CheckBox::GetSkinManager() { return GetGlobalSkinManager(); }

void CheckBox::SetCheck(CheckBoxStates state)
{
    CheckBoxQt* box = impl_->GetWidget();
    if (!box)
        return;
    if (state == CheckBoxIndeterminate && !box->isTristate())
        return;
    box->setCheckState(AUILibUtils::ChBStateToQtChBState(state));
}

CheckBoxStates CheckBox::GetCheck()
{
    CheckBoxQt* box = impl_->GetWidget();
    return box ? AUILibUtils::QtChBStateToChBState(box->checkState()) : CheckBoxUnchecked;
}

void CheckBox::SetTristate(bool tristate)
{
    if (CheckBoxQt* box = impl_->GetWidget())
        box->setTristate(tristate);
}

void CheckBox::SetTextColor(unsigned int) {}

void CheckBox::SetText(const std::wstring& text)
{
    CheckBoxQt* box = impl_->GetWidget();
    if (!box)
        return;
    ChangeFlagGuard guard(*impl_);
    box->setText(ToQString(text));
}

std::wstring CheckBox::GetText() const
{
    CheckBoxQt* box = impl_->GetWidget();
    return box ? ToWide(box->text()) : std::wstring();
}

void CheckBox::SetWrap(bool wrap)
{
    if (CheckBoxQt* box = impl_->GetWidget())
        box->SetWrap(wrap);
}

void CheckBox::SetMinimumHeight(unsigned int height)
{
    if (CheckBoxQt* box = impl_->GetWidget())
        box->setMinimumHeight(static_cast<int>(qMin(height, static_cast<unsigned int>(QWIDGETSIZE_MAX))));
}

void CheckBox::SetBorderRadius(int) {}

} // namespace AUILib
