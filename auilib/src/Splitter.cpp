#include "Splitter.h"

#include "AUILibConfig.h"
#include "SplitterImplQt.h"

#include <QList>

namespace AUILib {

Splitter::impl::impl() : widget_(new SplitterQt) {}

Splitter::impl::~impl() = default;

QWidget* Splitter::impl::GetWndPtr() { return widget_.data(); }

Splitter::Splitter() : impl_(std::make_shared<impl>()) { SetControlType(ControlTypeSplitter); }

Splitter::~Splitter() = default;

bool Splitter::Create(QWidget* parent)
{
    // Placed first: a gone widget throws before anything is recorded.
    const bool placed = impl_->SetParent(parent);
    BaseGUIObject::SetParentWindow(parent);
    return placed;
}

Size Splitter::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> Splitter::GetBaseImpl() const { return impl_; }

SkinManager* Splitter::GetSkinManager() { return GetGlobalSkinManager(); }

bool Splitter::DynamicResizing()
{
    SplitterQt* splitter = impl_->GetWidget();
    return splitter ? splitter->opaqueResize() : false;
}

void Splitter::SetDynamicResizing(bool dynamic)
{
    if (SplitterQt* splitter = impl_->GetWidget())
        splitter->setOpaqueResize(dynamic);
}

void Splitter::SetSizes(std::list<int> sizes)
{
    SplitterQt* splitter = impl_->GetWidget();
    if (!splitter)
        return;
    QList<int> qtSizes;
    for (int size : sizes)
        qtSizes.append(size);
    splitter->setSizes(qtSizes);
}

void Splitter::SetHandleWidth(int pixels)
{
    if (SplitterQt* splitter = impl_->GetWidget())
        splitter->setHandleWidth(pixels);
}

void Splitter::AddView(BaseGUIObject*) {}

std::vector<BaseGUIObject*> Splitter::GetViews() { return {}; }

} // namespace AUILib
