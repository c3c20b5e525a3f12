#include "Slider.h"

#include "AUILibConfig.h"
#include "SliderImplQt.h"

namespace AUILib {

Slider::impl::impl() : widget_(new SliderQt) {}

Slider::impl::~impl() = default;

QWidget* Slider::impl::GetWndPtr() { return widget_.data(); }

Slider::Slider() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeSlider); }

Slider::~Slider() = default;

bool Slider::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> Slider::GetBaseImpl() const { return impl_; }

SkinManager* Slider::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
