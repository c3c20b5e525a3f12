#include "ScrollBar.h"

#include "AUILibConfig.h"
#include "ScrollBarImplQt.h"

namespace AUILib {

ScrollBar::impl::impl() : widget_(new ScrollBarQt) {}

ScrollBar::impl::~impl() = default;

QWidget* ScrollBar::impl::GetWndPtr() { return widget_.data(); }

ScrollBar::ScrollBar() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeScrollBar); }

ScrollBar::~ScrollBar() = default;

bool ScrollBar::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ScrollBar::GetBaseImpl() const { return impl_; }

SkinManager* ScrollBar::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
