#include "Label.h"

#include "AUILibConfig.h"
#include "LabelImplQt.h"

namespace AUILib {

Label::impl::impl() : widget_(new LabelQt) {}

Label::impl::~impl() = default;

QWidget* Label::impl::GetWndPtr() { return widget_.data(); }

Label::Label() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeLabel); }

Label::~Label() = default;

bool Label::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> Label::GetBaseImpl() const { return impl_; }

SkinManager* Label::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
