#include "Line.h"

#include "AUILibConfig.h"
#include "LineImplQt.h"

#include <QBrush>
#include <QColor>
#include <QPalette>

namespace AUILib {

Line::impl::impl() : widget_(new LineQt) { widget_->setFrameShadow(QFrame::Plain); }

Line::impl::~impl() = default;

QWidget* Line::impl::GetWndPtr() { return widget_.data(); }

Line::Line() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeLine); }

Line::~Line() = default;

bool Line::Create(QWidget* parent)
{
    return impl_->SetParent(parent);
}

Size Line::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> Line::GetBaseImpl() const { return impl_; }

SkinManager* Line::GetSkinManager() { return GetGlobalSkinManager(); }

void Line::SetLineColor(unsigned int colour)
{
    LineQt* line = impl_->GetWidget();
    if (!line)
        return;
    QPalette palette = line->palette();
    palette.setBrush(QPalette::All, QPalette::WindowText, QBrush(QColor(static_cast<QRgb>(colour))));
    line->setPalette(palette);
}

QWidget* Line::GetWndPtr() { return impl_->GetWndPtr(); }

} // namespace AUILib
