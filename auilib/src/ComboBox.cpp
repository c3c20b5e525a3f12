#include "ComboBox.h"

#include "AUILibConfig.h"
#include "ComboBoxImplQt.h"

namespace AUILib {

ComboBox::impl::impl() : widget_(new ComboBoxQt) {}

ComboBox::impl::~impl() = default;

QWidget* ComboBox::impl::GetWndPtr() { return widget_.data(); }

ComboBox::ComboBox() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeComboBox); }

ComboBox::~ComboBox() = default;

bool ComboBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ComboBox::GetBaseImpl() const { return impl_; }

SkinManager* ComboBox::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
