#include "ChildDialog.h"

#include "AUILibConfig.h"
#include "ChildDialogImplQt.h"

#include <QBrush>
#include <QColor>
#include <QPalette>

namespace AUILib {

ChildDialog::impl::impl() : widget_(new ChildDialogQt) {}

ChildDialog::impl::~impl() = default;

QWidget* ChildDialog::impl::GetWndPtr() { return widget_.data(); }

void ChildDialog::impl::SetBackgroundColor(int colour)
{
    ChildDialogQt* panel = widget_.Get();
    if (!panel)
        return;
    backgroundColour_ = colour;
    QPalette palette = panel->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(static_cast<QRgb>(colour))));
    panel->setAutoFillBackground(true);
    panel->setPalette(palette);
}

ChildDialog::ChildDialog() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeChildDialog); }

ChildDialog::~ChildDialog() = default;

bool ChildDialog::Create(QWidget* parent)
{
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

std::shared_ptr<BaseImpl> ChildDialog::GetBaseImpl() const { return impl_; }

SkinManager* ChildDialog::GetSkinManager() { return GetGlobalSkinManager(); }

void ChildDialog::SetVisible(bool visible) { impl_->Show(visible, true); }

void ChildDialog::SetBackgroundColor(int colour) { impl_->SetBackgroundColor(colour); }

int ChildDialog::BackgroundColor() const { return impl_->BackgroundColor(); }

} // namespace AUILib
