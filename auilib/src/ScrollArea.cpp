#include "ScrollArea.h"

#include "AUILibConfig.h"
#include "ScrollAreaImplQt.h"

namespace AUILib {

ScrollArea::impl::impl() : widget_(new ScrollAreaQt) {}

ScrollArea::impl::~impl() = default;

QWidget* ScrollArea::impl::GetWndPtr() { return widget_.data(); }

ScrollArea::ScrollArea() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeScrollArea); }

ScrollArea::~ScrollArea() = default;

bool ScrollArea::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ScrollArea::GetBaseImpl() const { return impl_; }

SkinManager* ScrollArea::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
