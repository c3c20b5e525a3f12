#include "SpinEdit.h"

#include "AUILibConfig.h"
#include "SpinEditImplQt.h"

namespace AUILib {

SpinEdit::impl::impl() : widget_(new SpinEditQt) {}

SpinEdit::impl::~impl() = default;

QWidget* SpinEdit::impl::GetWndPtr() { return widget_.data(); }

SpinEdit::SpinEdit() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeSpinEdit); }

SpinEdit::~SpinEdit() = default;

bool SpinEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> SpinEdit::GetBaseImpl() const { return impl_; }

SkinManager* SpinEdit::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
