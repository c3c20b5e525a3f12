#include "GroupBox.h"

#include "AUILibConfig.h"
#include "GroupBoxImplQt.h"

namespace AUILib {

GroupBox::impl::impl() : widget_(new GroupBoxQt) {}

GroupBox::impl::~impl() = default;

QWidget* GroupBox::impl::GetWndPtr() { return widget_.data(); }

GroupBox::GroupBox() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeGroupBox); }

GroupBox::~GroupBox() = default;

bool GroupBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> GroupBox::GetBaseImpl() const { return impl_; }

SkinManager* GroupBox::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
