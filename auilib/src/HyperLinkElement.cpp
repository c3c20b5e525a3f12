#include "HyperLinkElement.h"

#include "AUILibConfig.h"
#include "HyperLinkElementImplQt.h"
#include "WideQt.h"

#include <QSizePolicy>

namespace AUILib {

HyperLinkElementImpl::HyperLinkElementImpl(HyperLinkElement& owner)
    : widget_(new HyperLinkElementQt, WidgetOwnership::Made, &owner)
{
    SizePolicy policy{};
    policy.horizontalPolicy = QSizePolicy::Preferred;
    policy.verticalPolicy = QSizePolicy::Preferred;
    policy.controlType = 1;  // QSizePolicy::DefaultType
    SetSizePolicy(policy);
    widget_->setTextFormat(Qt::RichText);
    widget_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse |
                                     Qt::LinksAccessibleByKeyboard);
    SetTrackMouseEvent();
    // The link string is the URL or the blank of an empty one: not passed on.
    widget_.Connect(widget_.Get(), &QLabel::linkActivated, [this](const QString&) {
        if (HyperLinkElement* link = widget_.Owner())
            link->OnClick.Emit();
    });
}

HyperLinkElementImpl::~HyperLinkElementImpl() = default;

QWidget* HyperLinkElementImpl::GetWndPtr() { return widget_.data(); }

void HyperLinkElementImpl::SetText(const std::wstring& text)
{
    text_ = text;
    // Its own buddy: a mnemonic in the text reaches the widget as a shortcut.
    if (HyperLinkElementQt* widget = widget_)
        widget->setBuddy(widget);
}

void HyperLinkElementImpl::SetColors(RGBColor link, RGBColor visited, RGBColor hover)
{
    linkColour_ = link;
    visitedColour_ = visited;
    hoverColour_ = hover;
    DirtyAndRepaint();
}

void HyperLinkElementImpl::SetVisited(bool visited)
{
    visited_ = visited;
    DirtyAndRepaint();
}

void HyperLinkElementImpl::SetDefaultClickProcess(bool on)
{
    if (HyperLinkElementQt* widget = widget_)
        widget->setOpenExternalLinks(!on);
    DirtyAndRepaint();
}

void HyperLinkElementImpl::DirtyAndRepaint()
{
    HyperLinkElementQt* widget = widget_;
    if (!widget)
        return;
    widget->MarkDirty();
    widget->repaint();
}

HyperLinkElement::HyperLinkElement() : impl_(std::make_shared<HyperLinkElementImpl>(*this))
{
    SetControlType(ControlTypeHyperLinkElement);
}

HyperLinkElement::~HyperLinkElement()
{
    // The widget and the implementation may outlive the control: the widget
    // then stays a plain label.
    impl_->ForgetOwner();
}

bool HyperLinkElement::Create(QWidget* parent) { return impl_->SetParent(parent); }

Size HyperLinkElement::IdealSize() { return impl_->IdealSize(); }

std::shared_ptr<BaseImpl> HyperLinkElement::GetBaseImpl() const { return impl_; }

SkinManager* HyperLinkElement::GetSkinManager() { return GetGlobalSkinManager(); }

void HyperLinkElement::SetURL(const std::wstring& url) { impl_->SetURL(url); }

std::wstring HyperLinkElement::GetURL() const { return impl_->GetURL(); }

void HyperLinkElement::SetText(const std::wstring& text) { impl_->SetText(text); }

std::wstring HyperLinkElement::GetText() const { return impl_->GetText(); }

void HyperLinkElement::SetbDefaultClickProcess(bool on) { impl_->SetDefaultClickProcess(on); }

void HyperLinkElement::SetColors(RGBColor link, RGBColor visited, RGBColor hover)
{
    impl_->SetColors(link, visited, hover);
}

RGBColor HyperLinkElement::GetLinkColor() const { return impl_->GetLinkColor(); }

RGBColor HyperLinkElement::GetVisitedColor() const { return impl_->GetVisitedColor(); }

RGBColor HyperLinkElement::GetHoverColor() const { return impl_->GetHoverColor(); }

void HyperLinkElement::SetVisited(bool visited) { impl_->SetVisited(visited); }

bool HyperLinkElement::GetVisited() const { return impl_->GetVisited(); }

void HyperLinkElement::SetUnderline(bool underline) const { impl_->SetUnderline(underline); }

bool HyperLinkElement::GetUnderline() const { return impl_->GetUnderline(); }

} // namespace AUILib
