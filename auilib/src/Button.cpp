#include "Button.h"

#include "AUILibConfig.h"
#include "ButtonImplQt.h"
#include "ButtonQt.h"

namespace AUILib {

namespace {

constexpr int kArrowMargin = 3;

ButtonQt* NewButtonWidget(Button* owner)
{
    auto* widget = new ButtonQt;
    widget->SetArrowMargin(kArrowMargin);
    widget->SetOwner(owner);
    return widget;
}

} // namespace

Button::impl::impl(QPushButton* widget) : widget_(widget) {}

Button::impl::~impl() = default;

QWidget* Button::impl::GetWndPtr() { return widget_.data(); }

Button::Button() : impl_(std::make_shared<impl>(NewButtonWidget(this))) { SetControlType(ControlTypeButton); }

Button::Button(QPushButton* widget) : impl_(std::make_shared<impl>(widget)) { SetControlType(ControlTypeButton); }

Button::~Button()
{
    if (auto* widget = qobject_cast<ButtonQt*>(impl_->GetWidget())) {
        if (widget->GetOwner() == this)
            widget->SetOwner(nullptr);
    }
}

bool Button::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> Button::GetBaseImpl() const { return impl_; }

SkinManager* Button::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
