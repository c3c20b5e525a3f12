#include "TabView.h"

#include "AUILibConfig.h"
#include "AgnosticUIException.h"
#include "ChangeFlagGuard.h"
#include "EmissionHold.h"
#include "ContainerPages.h"
#include "TabViewImplQt.h"
#include "WideQt.h"

namespace AUILib {

namespace {

// Text ends at its first NUL character, both ways.
std::wstring UpToNul(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

} // namespace

TabView::impl::impl(TabView& owner) : widget_(new TabViewQt, WidgetOwnership::Made, &owner)
{
    widget_.Connect(widget_.Get(), &QTabWidget::currentChanged, [this](int index) {
        TabView* control = widget_.Owner();
        if (!control)
            return;
        // A handler may drop the control and with it this implementation.
        const EmissionHold hold(control->GetBaseImpl());
        control->OnCurrentChanged.Emit(index);
    });
}

TabView::impl::~impl() = default;

QWidget* TabView::impl::GetWndPtr() { return widget_.data(); }

TabView::TabView() : impl_(std::make_shared<impl>(*this)) { SetControlType(ControlTypeTabView); }

TabView::~TabView() { impl_->ForgetOwner(); }

bool TabView::Create(QWidget* parent)
{
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

std::shared_ptr<BaseImpl> TabView::GetBaseImpl() const { return impl_; }

SkinManager* TabView::GetSkinManager() { return GetGlobalSkinManager(); }

void TabView::SetCurrentIndex(int index)
{
    // Held across the change: a handler may drop this control.
    const std::shared_ptr<impl> hold = impl_;
    if (TabViewQt* tabs = hold->GetWidget()) {
        ChangeFlagGuard guard(*hold);
        tabs->setCurrentIndex(index);
    }
}

void TabView::SetTabText(int index, const std::wstring& text)
{
    if (TabViewQt* tabs = impl_->GetWidget()) {
        ChangeFlagGuard guard(*impl_);
        tabs->setTabText(index, ToQString(UpToNul(text)));
    }
}

std::wstring TabView::GetTabText(int index)
{
    TabViewQt* tabs = impl_->GetWidget();
    return tabs ? UpToNul(ToWide(tabs->tabText(index))) : std::wstring();
}

void TabView::EnablePage(int index, bool enable, bool recursive)
{
    TabViewQt* tabs = impl_->GetWidget();
    if (!tabs)
        throw AgnosticUIException("", 0, kControlNotValidMessage);
    if (index < 0 || index >= tabs->count())
        return;
    const std::shared_ptr<impl> hold = impl_;
    EnablePageWidget(tabs->widget(index), enable, recursive);
}

int TabView::GetCurrentIndex()
{
    TabViewQt* tabs = impl_->GetWidget();
    return tabs ? tabs->currentIndex() : -1;
}

int TabView::GetItemCount()
{
    TabViewQt* tabs = impl_->GetWidget();
    return tabs ? tabs->count() : 0;
}

void TabView::ActivateNextTab()
{
    const int count = GetItemCount();
    if (count < 1)
        return;
    SetCurrentIndex((GetCurrentIndex() + 1) % count);
}

void TabView::ActivatePreviousTab()
{
    const int count = GetItemCount();
    if (count < 1)
        return;
    const int current = GetCurrentIndex();
    SetCurrentIndex(current > 0 ? current - 1 : count - 1);
}

} // namespace AUILib
