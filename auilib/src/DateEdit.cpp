#include "DateEdit.h"

#include "AUILibConfig.h"
#include "DateEditImplQt.h"

namespace AUILib {

DateEdit::impl::impl() : widget_(new DateEditQt) {}

DateEdit::impl::~impl() = default;

QWidget* DateEdit::impl::GetWndPtr() { return widget_.data(); }

DateEdit::DateEdit() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeDateEdit); }

DateEdit::~DateEdit() = default;

bool DateEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> DateEdit::GetBaseImpl() const { return impl_; }

SkinManager* DateEdit::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
