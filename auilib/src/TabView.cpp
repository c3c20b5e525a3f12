#include "TabView.h"

#include "AUILibConfig.h"
#include "TabViewImplQt.h"

namespace AUILib {

TabView::impl::impl() : widget_(new TabViewQt) {}

TabView::impl::~impl() = default;

QWidget* TabView::impl::GetWndPtr() { return widget_.data(); }

TabView::TabView() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeTabView); }

TabView::~TabView() = default;

bool TabView::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> TabView::GetBaseImpl() const { return impl_; }

SkinManager* TabView::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
