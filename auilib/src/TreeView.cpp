#include "TreeView.h"

#include "AUILibConfig.h"
#include "TreeViewImplQt.h"

namespace AUILib {

TreeView::impl::impl() : widget_(new TreeViewQt) {}

TreeView::impl::~impl() = default;

QWidget* TreeView::impl::GetWndPtr() { return widget_.data(); }

TreeView::TreeView() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeTreeView); }

TreeView::~TreeView() = default;

bool TreeView::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> TreeView::GetBaseImpl() const { return impl_; }

SkinManager* TreeView::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
