#include "GroupBox.h"

#include "AUILibConfig.h"
#include "GroupBoxImplQt.h"
#include "WideQt.h"

#include <QRect>

namespace AUILib {

GroupBox::impl::impl() : widget_(new GroupBoxQt) {}

GroupBox::impl::~impl() = default;

QWidget* GroupBox::impl::GetWndPtr() { return widget_.data(); }

void GroupBox::impl::Show(bool show, bool)
{
    QWidget* box = RequireWidget();
    box->setVisible(show);
    QWidget* target = box->parentWidget() ? box->parentWidget() : box;
    target->repaint(QRect(0, 0, box->width(), box->height()));
}

GroupBox::GroupBox() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeGroupBox); }

GroupBox::~GroupBox() = default;

bool GroupBox::Create(QWidget* parent)
{
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

Size GroupBox::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> GroupBox::GetBaseImpl() const { return impl_; }

SkinManager* GroupBox::GetSkinManager() { return GetGlobalSkinManager(); }

void GroupBox::SetText(const std::wstring& text)
{
    if (GroupBoxQt* box = impl_->GetWidget())
        box->setTitle(ToQString(text));
}

std::wstring GroupBox::GetText() const
{
    GroupBoxQt* box = impl_->GetWidget();
    return box ? ToWide(box->title()) : std::wstring();
}

void GroupBox::SetColors(unsigned long, unsigned long) {}

} // namespace AUILib
