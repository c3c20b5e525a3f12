#include "DoubleSpinEdit.h"

#include "AUILibConfig.h"
#include "DoubleSpinEditImplQt.h"

namespace AUILib {

DoubleSpinEdit::impl::impl() : widget_(new DoubleSpinEditQt) {}

DoubleSpinEdit::impl::~impl() = default;

QWidget* DoubleSpinEdit::impl::GetWndPtr() { return widget_.data(); }

DoubleSpinEdit::DoubleSpinEdit() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeDoubleSpinEdit); }

DoubleSpinEdit::~DoubleSpinEdit() = default;

bool DoubleSpinEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> DoubleSpinEdit::GetBaseImpl() const { return impl_; }

SkinManager* DoubleSpinEdit::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
