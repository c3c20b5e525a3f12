#include "ButtonBox.h"

#include "AUILibConfig.h"
#include "BaseImpl.h"
#include "Button.h"
#include "ButtonBoxImplQt.h"

#include <QPushButton>

namespace AUILib {

ButtonBox::impl::impl() : widget_(new ButtonBoxQt) {}

ButtonBox::impl::~impl()
{
    while (!buttons_.empty())
        buttons_.pop_back();
}

QWidget* ButtonBox::impl::GetWndPtr() { return widget_.data(); }

ButtonBox::ButtonBox() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeButtonBox); }

ButtonBox::~ButtonBox() = default;

bool ButtonBox::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> ButtonBox::GetBaseImpl() const { return impl_; }

SkinManager* ButtonBox::GetSkinManager() { return GetGlobalSkinManager(); }

void ButtonBox::SetOrientation(bool vertical)
{
    if (ButtonBoxQt* box = impl_->GetWidget())
        box->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
}

std::shared_ptr<Button> ButtonBox::GetButton(StandardButton which)
{
    ButtonBoxQt* box = impl_->GetWidget();
    if (!box)
        return nullptr;
    QPushButton* wanted = box->button(static_cast<QDialogButtonBox::StandardButton>(which));
    if (!wanted)
        return nullptr;
    for (const std::shared_ptr<Button>& button : impl_->GetButtons()) {
        if (qobject_cast<QPushButton*>(button->GetBaseImpl()->GetWndPtr()) == wanted)
            return button;
    }
    return nullptr;
}

} // namespace AUILib
