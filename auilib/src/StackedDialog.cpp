#include "StackedDialog.h"

#include "AUILibConfig.h"
#include "StackedDialogImplQt.h"

namespace AUILib {

StackedDialog::impl::impl() : widget_(new StackedDialogQt) {}

StackedDialog::impl::~impl() = default;

QWidget* StackedDialog::impl::GetWndPtr() { return widget_.data(); }

StackedDialog::StackedDialog() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeStackedDialog); }

StackedDialog::~StackedDialog() = default;

bool StackedDialog::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> StackedDialog::GetBaseImpl() const { return impl_; }

SkinManager* StackedDialog::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
