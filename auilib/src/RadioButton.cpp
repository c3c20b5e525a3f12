#include "RadioButton.h"

#include "AUILibConfig.h"
#include "RadioButtonImplQt.h"

namespace AUILib {

RadioButton::impl::impl() : widget_(new RadioButtonQt) {}

RadioButton::impl::~impl() = default;

QWidget* RadioButton::impl::GetWndPtr() { return widget_.data(); }

RadioButton::RadioButton() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeRadioButton); }

RadioButton::~RadioButton() = default;

bool RadioButton::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> RadioButton::GetBaseImpl() const { return impl_; }

SkinManager* RadioButton::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
