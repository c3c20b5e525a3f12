#include "MultiLineEdit.h"

#include "AUILibConfig.h"
#include "MultiLineEditImplQt.h"

namespace AUILib {

MultiLineEdit::impl::impl() : widget_(new MultiLineEditQt) {}

MultiLineEdit::impl::~impl() = default;

QWidget* MultiLineEdit::impl::GetWndPtr() { return widget_.data(); }

MultiLineEdit::MultiLineEdit() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeMultiLineEdit); }

MultiLineEdit::~MultiLineEdit() = default;

bool MultiLineEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> MultiLineEdit::GetBaseImpl() const { return impl_; }

SkinManager* MultiLineEdit::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
