#include "Splitter.h"

#include "AUILibConfig.h"
#include "SplitterImplQt.h"

namespace AUILib {

Splitter::impl::impl() : widget_(new SplitterQt) {}

Splitter::impl::~impl() = default;

QWidget* Splitter::impl::GetWndPtr() { return widget_.data(); }

Splitter::Splitter() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeSplitter); }

Splitter::~Splitter() = default;

bool Splitter::Create(QWidget* parent)
{
    BaseGUIObject::SetParentWindow(parent);
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> Splitter::GetBaseImpl() const { return impl_; }

SkinManager* Splitter::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
