#include "DrawElement.h"

#include "AUILibConfig.h"
#include "DrawElementImplQt.h"

namespace AUILib {

DrawElement::impl::impl() : widget_(new DrawElementQt) {}

DrawElement::impl::~impl() = default;

QWidget* DrawElement::impl::GetWndPtr() { return widget_.data(); }

DrawElement::DrawElement() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeDrawElement); }

DrawElement::~DrawElement() = default;

bool DrawElement::Create(QWidget* parent)
{
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> DrawElement::GetBaseImpl() const { return impl_; }

SkinManager* DrawElement::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
