#include "ComboBoxFS.h"

#include "AUILibConfig.h"
#include "ComboBoxFSImplQt.h"

namespace AUILib {

ComboBoxFS::impl::impl() : widget_(new ComboBoxFSQt) {}

ComboBoxFS::impl::~impl() = default;

QWidget* ComboBoxFS::impl::GetWndPtr() { return widget_.data(); }

ComboBoxFS::ComboBoxFS() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeComboBoxFS); }

ComboBoxFS::~ComboBoxFS() = default;

bool ComboBoxFS::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ComboBoxFS::GetBaseImpl() const { return impl_; }

SkinManager* ComboBoxFS::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
