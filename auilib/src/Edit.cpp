#include "Edit.h"

#include "AUILibConfig.h"
#include "EditImplQt.h"

namespace AUILib {

Edit::impl::impl() : widget_(new EditQt) {}

Edit::impl::~impl() = default;

QWidget* Edit::impl::GetWndPtr() { return widget_.data(); }

Edit::Edit() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeEdit); }

Edit::~Edit() = default;

bool Edit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> Edit::GetBaseImpl() const { return impl_; }

SkinManager* Edit::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
