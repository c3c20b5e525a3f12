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
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

std::shared_ptr<BaseImpl> ScrollArea::GetBaseImpl() const { return impl_; }

SkinManager* ScrollArea::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
