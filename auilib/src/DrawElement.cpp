#include "DrawElement.h"

#include "AUILibConfig.h"
#include "DrawElementImplQt.h"

#include <QImage>

namespace AUILib {

namespace {

constexpr RGBColor kOpaqueBlack = 0xFF000000u;

} // namespace

DrawElement::impl::impl(DrawElement& owner) : widget_(new DrawElementQt, WidgetOwnership::Made, &owner) {}

DrawElement::impl::~impl() = default;

QWidget* DrawElement::impl::GetWndPtr() { return widget_.data(); }

DrawElement::DrawElement() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeDrawElement); }

DrawElement::~DrawElement()
{
    // The pad may outlive the control; it must not point at it.
    impl_->ForgetOwner();
}

bool DrawElement::Create(QWidget* parent) { return impl_->SetParent(parent); }

std::shared_ptr<BaseImpl> DrawElement::GetBaseImpl() const { return impl_; }

SkinManager* DrawElement::GetSkinManager() { return GetGlobalSkinManager(); }

QImage* DrawElement::GetImage()
{
    DrawElementQt* widget = impl_->GetWidget();
    return widget ? widget->GetImage().release() : nullptr;
}

void DrawElement::ResetImage()
{
    if (DrawElementQt* widget = impl_->GetWidget())
        widget->ResetImage();
}

void DrawElement::DrawImage(const QImage* image, int x, int y)
{
    DrawElementQt* widget = impl_->GetWidget();
    if (widget && image)
        widget->DrawImage(*image, x, y);
}

void DrawElement::SetBorder(bool border)
{
    if (DrawElementQt* widget = impl_->GetWidget())
        widget->SetBorder(border);
}

bool DrawElement::IsSetBorder()
{
    DrawElementQt* widget = impl_->GetWidget();
    return widget && widget->IsSetBorder();
}

void DrawElement::SetLineColor(RGBColor colour)
{
    if (DrawElementQt* widget = impl_->GetWidget())
        widget->SetLineColor(QColor(static_cast<QRgb>(colour)));
}

RGBColor DrawElement::GetLineColor()
{
    DrawElementQt* widget = impl_->GetWidget();
    return widget ? widget->GetLineColor().rgb() : kOpaqueBlack;
}

void DrawElement::UpdateLinesColor(RGBColor colour)
{
    if (DrawElementQt* widget = impl_->GetWidget())
        widget->UpdateLinesColor(QColor(static_cast<QRgb>(colour)));
}

} // namespace AUILib
