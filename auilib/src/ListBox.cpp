#include "ListBox.h"

#include "AUILibConfig.h"
#include "ListBoxImplQt.h"

namespace AUILib {

ListBoxImpl::ListBoxImpl() : widget_(new ListBoxQt) {}

ListBoxImpl::~ListBoxImpl() = default;

QWidget* ListBoxImpl::GetWndPtr() { return widget_.data(); }

ListBox::ListBox() : impl_(std::make_shared<ListBoxImpl>()) { SetControlType(ControlTypeListBox); }

ListBox::~ListBox() = default;

bool ListBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ListBox::GetBaseImpl() const { return impl_; }

SkinManager* ListBox::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
