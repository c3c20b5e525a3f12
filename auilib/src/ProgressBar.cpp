#include "ProgressBar.h"

#include "AUILibConfig.h"
#include "ProgressBarImplQt.h"

namespace AUILib {

ProgressBar::impl::impl() : widget_(new ProgressBarQt) {}

ProgressBar::impl::~impl() = default;

QWidget* ProgressBar::impl::GetWndPtr() { return widget_.data(); }

ProgressBar::ProgressBar() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeProgressBar); }

ProgressBar::~ProgressBar() = default;

bool ProgressBar::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ProgressBar::GetBaseImpl() const { return impl_; }

SkinManager* ProgressBar::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
