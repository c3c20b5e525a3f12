#include "StackedDialog.h"

#include "AUILibConfig.h"
#include "ChangeFlagGuard.h"
#include "ContainerPages.h"
#include "StackedDialogImplQt.h"

namespace AUILib {

StackedDialog::impl::impl() : widget_(new StackedDialogQt) {}

StackedDialog::impl::~impl() = default;

QWidget* StackedDialog::impl::GetWndPtr() { return widget_.data(); }

StackedDialogQt* StackedDialog::impl::RequireStack()
{
    RequireWidget();
    return widget_.Get();
}

StackedDialog::StackedDialog() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeStackedDialog); }

StackedDialog::~StackedDialog() = default;

bool StackedDialog::Create(QWidget* parent)
{
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

std::shared_ptr<BaseImpl> StackedDialog::GetBaseImpl() const { return impl_; }

SkinManager* StackedDialog::GetSkinManager() { return GetGlobalSkinManager(); }

void StackedDialog::SetCurrentIndex(int index)
{
    const std::shared_ptr<impl> hold = impl_;
    if (StackedDialogQt* stack = hold->GetWidget()) {
        ChangeFlagGuard guard(*hold);
        stack->setCurrentIndex(index);
    }
}

int StackedDialog::GetCurrentIndex()
{
    StackedDialogQt* stack = impl_->GetWidget();
    return stack ? stack->currentIndex() : 0;
}

QWidget* StackedDialog::GetPage(int index)
{
    StackedDialogQt* stack = impl_->RequireStack();
    if (index < 0 || index >= stack->count())
        return nullptr;
    return stack->widget(index);
}

void StackedDialog::AddChildDialog(ChildDialog*) {}

int StackedDialog::InsertChildDialog(int index, QWidget* page)
{
    StackedDialogQt* stack = impl_->GetWidget();
    if (!stack)
        return 0;
    // Qt's stack dereferences the page: a null one is refused here.
    if (!page)
        return -1;
    const std::shared_ptr<impl> hold = impl_;
    ChangeFlagGuard guard(*hold);
    return stack->insertWidget(index, page);
}

void StackedDialog::EnablePage(int index, bool enable, bool recursive)
{
    StackedDialogQt* stack = impl_->RequireStack();
    if (index < 0 || index >= stack->count())
        return;
    const std::shared_ptr<impl> hold = impl_;
    EnablePageWidget(stack->widget(index), enable, recursive);
}

} // namespace AUILib
