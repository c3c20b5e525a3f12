#include "ChildDialog.h"

#include "AUILibConfig.h"
#include "ChildDialogImplQt.h"

namespace AUILib {

ChildDialog::impl::impl() : widget_(new ChildDialogQt) {}

ChildDialog::impl::~impl() = default;

QWidget* ChildDialog::impl::GetWndPtr() { return widget_.data(); }

ChildDialog::ChildDialog() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeChildDialog); }

ChildDialog::~ChildDialog() = default;

bool ChildDialog::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ChildDialog::GetBaseImpl() const { return impl_; }

SkinManager* ChildDialog::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
