#include "Line.h"

#include "AUILibConfig.h"
#include "LineImplQt.h"

namespace AUILib {

Line::impl::impl() : widget_(new LineQt) {}

Line::impl::~impl() = default;

QWidget* Line::impl::GetWndPtr() { return widget_.data(); }

Line::Line() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeLine); }

Line::~Line() = default;

bool Line::Create(QWidget* parent)
{
    return impl_->SetParent(parent);
}

std::shared_ptr<BaseImpl> Line::GetBaseImpl() const { return impl_; }

SkinManager* Line::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
