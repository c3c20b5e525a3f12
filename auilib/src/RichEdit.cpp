#include "RichEdit.h"

#include "AUILibConfig.h"
#include "RichEditImplQt.h"

namespace AUILib {

RichEdit::impl::impl() : widget_(new RichEditQt) {}

RichEdit::impl::~impl() = default;

QWidget* RichEdit::impl::GetWndPtr() { return widget_.data(); }

RichEdit::RichEdit() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeRichEdit); }

RichEdit::~RichEdit() = default;

bool RichEdit::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> RichEdit::GetBaseImpl() const { return impl_; }

SkinManager* RichEdit::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
