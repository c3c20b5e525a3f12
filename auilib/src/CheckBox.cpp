#include "CheckBox.h"

#include "AUILibConfig.h"
#include "CheckBoxImplQt.h"

namespace AUILib {

CheckBox::impl::impl() : widget_(new CheckBoxQt) {}

CheckBox::impl::~impl() = default;

QWidget* CheckBox::impl::GetWndPtr() { return widget_.data(); }

CheckBox::CheckBox() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeCheckBox); }

CheckBox::~CheckBox() = default;

bool CheckBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> CheckBox::GetBaseImpl() const { return impl_; }

SkinManager* CheckBox::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
