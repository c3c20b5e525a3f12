#include "HyperLinkElement.h"

#include "AUILibConfig.h"
#include "HyperLinkElementImplQt.h"

namespace AUILib {

HyperLinkElementImpl::HyperLinkElementImpl() : widget_(new HyperLinkElementQt) {}

HyperLinkElementImpl::~HyperLinkElementImpl() = default;

QWidget* HyperLinkElementImpl::GetWndPtr() { return widget_.data(); }

HyperLinkElement::HyperLinkElement() : impl_(std::make_shared<HyperLinkElementImpl>()) { SetControlType(ControlTypeHyperLinkElement); }

HyperLinkElement::~HyperLinkElement() = default;

bool HyperLinkElement::Create(QWidget* parent)
{
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> HyperLinkElement::GetBaseImpl() const { return impl_; }

SkinManager* HyperLinkElement::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
