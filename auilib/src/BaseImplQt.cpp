#include "BaseImplQt.h"

#include "AgnosticUIException.h"
#include "PromptsPopup.h"
#include "WideQt.h"

#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QFrame>
#include <QPointer>
#include <QSizePolicy>
#include <QWidget>

namespace AUILib {

namespace {

Size ToSize(const QSize& size) { return Size{size.width(), size.height()}; }

constexpr int kBalloonTime = 3000;
constexpr int kBalloonLongTime = -1;  // the popup's own long time

} // namespace

BaseImplQt::BaseImplQt() = default;

BaseImplQt::~BaseImplQt() = default;

QWidget* BaseImplQt::RequireWidget()
{
    QWidget* widget = GetWndPtr();
    if (!widget)
        throw AgnosticUIException("", 0, kControlNotValidMessage);
    return widget;
}

QWidget* BaseImplQt::RequireWidget() const { return const_cast<BaseImplQt*>(this)->RequireWidget(); }

// Showing, hiding and enabling send the widget events whose handlers may
// delete it: what follows the change asks whether it is still there.
void BaseImplQt::Show(bool show, bool repaint)
{
    const QPointer<QWidget> widget = RequireWidget();
    // isVisible() would also answer for a widget whose parent is hidden;
    // the state attributes say what was set on the widget itself.
    const bool visibleState = widget->testAttribute(Qt::WA_WState_Visible);
    const bool stateSet = visibleState || widget->testAttribute(Qt::WA_WState_Hidden);
    if (stateSet && visibleState == show)
        return;
    const bool dialog = qobject_cast<QDialog*>(widget) != nullptr;
    if (dialog && !show)
        savedGeometry_ = widget->geometry();
    widget->setVisible(show);
    if (!widget)
        return;
    if (dialog && !savedGeometry_.isNull())
        widget->setGeometry(savedGeometry_);
    if (repaint)
        widget->repaint();
}

bool BaseImplQt::IsVisible() { return RequireWidget()->isVisible(); }

void BaseImplQt::Enable(bool enable, bool recursive)
{
    const QPointer<QWidget> widget = RequireWidget();
    if (recursive)
        EnableChildren(widget, enable);
    else
        widget->setEnabled(enable);
    if (widget)
        widget->repaint();
}

bool BaseImplQt::IsEnabled() { return RequireWidget()->isEnabled(); }

int BaseImplQt::GetLogicalPixelsX() { return RequireWidget()->logicalDpiX(); }

int BaseImplQt::GetLogicalPixelsY() { return RequireWidget()->logicalDpiY(); }

Rect BaseImplQt::GetWindowRect()
{
    QWidget* widget = RequireWidget();
    const QRect frame = widget->frameGeometry();
    const QPoint global = widget->mapToGlobal(QPoint(0, widget->geometry().height() - frame.height()));
    return Rect{global.x(), global.y(), global.x() + frame.width() - 1, global.y() + frame.height() - 1};
}

Rect BaseImplQt::GetClientRect()
{
    QWidget* widget = RequireWidget();
    QSize size = widget->geometry().size();
    if (auto* frame = qobject_cast<QFrame*>(widget))
        size = frame->contentsRect().size();
    return Rect{0, 0, size.width() - 1, size.height() - 1};
}

Point BaseImplQt::ScreenToClient(Point point)
{
    QWidget* widget = RequireWidget();
    QPoint local = widget->mapFromGlobal(QPoint(point.x, point.y));
    if (auto* frame = qobject_cast<QFrame*>(widget))
        local -= QPoint(frame->frameWidth(), GetFrarmeWidth());
    return Point{local.x(), local.y()};
}

Point BaseImplQt::ClientToScreen(Point point)
{
    QWidget* widget = RequireWidget();
    QPoint global = widget->mapToGlobal(QPoint(point.x, point.y));
    if (auto* frame = qobject_cast<QFrame*>(widget))
        global += QPoint(frame->frameWidth(), GetFrarmeWidth());
    return Point{global.x(), global.y()};
}

Size BaseImplQt::IdealSize() { return ToSize(RequireWidget()->sizeHint()); }
Size BaseImplQt::MinimumIdealSize() { return ToSize(RequireWidget()->minimumSizeHint()); }
Size BaseImplQt::MinimumSize() { return ToSize(RequireWidget()->minimumSize()); }
Size BaseImplQt::MaximumSize() { return ToSize(RequireWidget()->maximumSize()); }
void BaseImplQt::SetMinimumSize(const Size& size) { RequireWidget()->setMinimumSize(size.width, size.height); }
void BaseImplQt::SetMaximumSize(const Size& size) { RequireWidget()->setMaximumSize(size.width, size.height); }

void BaseImplQt::MoveWindow(int x, int y, int width, int height, bool)
{
    QWidget* widget = RequireWidget();
    if (auto* frame = dynamic_cast<QFrame*>(widget))
        widget->move(x + frame->lineWidth(), y + frame->lineWidth());
    else
        widget->move(x, y);
    widget->resize(width, height);
    savedGeometry_ = widget->geometry();
}

int BaseImplQt::GetFrarmeWidth()
{
    QWidget* widget = RequireWidget();
    if (auto* frame = qobject_cast<QFrame*>(widget))
        return frame->frameWidth();
    return (widget->frameGeometry().width() - widget->geometry().width()) / 2;
}

int BaseImplQt::SetTimer(unsigned, unsigned elapse)
{
    return RequireWidget()->startTimer(static_cast<int>(elapse), Qt::CoarseTimer);
}

void BaseImplQt::KillTimer(unsigned id) { RequireWidget()->killTimer(static_cast<int>(id)); }
void BaseImplQt::Update() { RequireWidget()->update(); }
void BaseImplQt::Update(const Region& region) { RequireWidget()->update(QRegion(region.region)); }
void BaseImplQt::Repaint() { RequireWidget()->repaint(); }
void BaseImplQt::Repaint(const Region& region) { RequireWidget()->repaint(QRegion(region.region)); }

SizePolicy BaseImplQt::GetSizePolicy() const
{
    const QSizePolicy qt = RequireWidget()->sizePolicy();
    SizePolicy policy{};
    policy.horizontalStretch = static_cast<uint32_t>(qt.horizontalStretch()) & 0xFF;
    policy.verticalStretch = static_cast<uint32_t>(qt.verticalStretch()) & 0xFF;
    policy.horizontalPolicy = static_cast<uint32_t>(qt.horizontalPolicy()) & 0xF;
    policy.verticalPolicy = static_cast<uint32_t>(qt.verticalPolicy()) & 0xF;
    policy.controlType = static_cast<uint32_t>(qt.controlType()) & 0x1F;
    policy.heightForWidth = qt.hasHeightForWidth() ? 1 : 0;
    policy.widthForHeight = qt.hasWidthForHeight() ? 1 : 0;
    policy.retainSizeWhenHidden = qt.retainSizeWhenHidden() ? 1 : 0;
    return policy;
}

void BaseImplQt::SetSizePolicy(const SizePolicy& policy)
{
    QWidget* widget = RequireWidget();
    // The field holds one flag; its bit number is Qt's control-type index.
    int index = 0;
    for (uint32_t field = policy.controlType; field > 1; field >>= 1)
        ++index;
    QSizePolicy qt(static_cast<QSizePolicy::Policy>(policy.horizontalPolicy),
                   static_cast<QSizePolicy::Policy>(policy.verticalPolicy),
                   static_cast<QSizePolicy::ControlType>(1u << index));
    qt.setHorizontalStretch(static_cast<int>(policy.horizontalStretch));
    qt.setVerticalStretch(static_cast<int>(policy.verticalStretch));
    qt.setHeightForWidth(policy.heightForWidth != 0);
    qt.setWidthForHeight(policy.widthForHeight != 0);
    qt.setRetainSizeWhenHidden(false);
    widget->setSizePolicy(qt);
}

void BaseImplQt::SetAcceptDrops(bool accept)
{
    QWidget* widget = GetWndPtr();
    if (!widget)
        return;
    widget->setAcceptDrops(accept);
    acceptDrops_ = accept;
}

bool BaseImplQt::IsAcceptDrops() { return acceptDrops_; }

void BaseImplQt::SetTrackMouseEvent()
{
    QWidget* widget = GetWndPtr();
    if (!widget)
        return;
    widget->setAttribute(Qt::WA_Hover);
    SetTrackMouseEventFlag(true);
}

bool BaseImplQt::IsTrackMouseEvent() { return trackMouse_; }
void BaseImplQt::SetTrackMouseEventFlag(bool track) { trackMouse_ = track; }

int BaseImplQt::GetWidthForText(std::wstring& text, FontData* font)
{
    if (font) {
        QFont qfont;
        qfont.setPointSizeF(font->pointSize);
        qfont.setFamily(ToQString(font->faceName));
        return QFontMetrics(qfont).horizontalAdvance(ToQString(text));
    }
    return RequireWidget()->fontMetrics().horizontalAdvance(ToQString(text));
}

std::shared_ptr<PromptsPopup> BaseImplQt::BalloonPopup()
{
    if (!balloonPopup_)
        balloonPopup_ = std::make_shared<PromptsPopup>();
    return balloonPopup_;
}

bool BaseImplQt::ShowBalloon(const std::wstring& text, bool autoHide, bool keepShown,
                             const std::function<void(PromptsPopup&)>& decorate)
{
    std::shared_ptr<PromptsPopup> popup = BalloonPopup();
    if (!popup->Create(GetWndPtr(), text, 0, keepShown ? kBalloonLongTime : kBalloonTime, autoHide))
        return false;
    decorate(*popup);
    popup->Show(true, -1, -1);
    return true;
}

bool BaseImplQt::ShowBalloonTipEx(const std::wstring& text, const std::wstring& iconPath, bool, bool keepShown)
{
    return ShowBalloon(text, true, keepShown, [&](PromptsPopup& popup) { popup.SetTitleIcon(iconPath); });
}

bool BaseImplQt::ShowBalloonTipEx(const std::wstring& text, const unsigned char* iconData, int iconSize, bool,
                                  bool keepShown)
{
    return ShowBalloon(text, true, keepShown,
                       [&](PromptsPopup& popup) { popup.SetTitleIcon(iconData, iconSize); });
}

bool BaseImplQt::ShowBalloonTipEx(const std::wstring& text, BalloonTipIconType icon, bool, bool keepShown)
{
    return ShowBalloon(text, false, keepShown, [&](PromptsPopup& popup) { popup.SetTitleIcon(icon); });
}

bool BaseImplQt::ShowBalloonTipEx(const std::wstring& title, const std::wstring& text,
                                  const std::wstring& iconPath, bool, bool keepShown)
{
    return ShowBalloon(text, true, keepShown, [&](PromptsPopup& popup) {
        popup.SetTitle(title);
        popup.SetTitleIcon(iconPath);
    });
}

bool BaseImplQt::ShowBalloonTipEx(const std::wstring& title, const std::wstring& text,
                                  const unsigned char* iconData, int iconSize, bool, bool keepShown)
{
    return ShowBalloon(text, true, keepShown, [&](PromptsPopup& popup) {
        popup.SetTitleIcon(iconData, iconSize);
        popup.SetTitle(title);
    });
}

bool BaseImplQt::ShowBalloonTipEx(const std::wstring& title, const std::wstring& text, BalloonTipIconType icon,
                                  bool, bool keepShown)
{
    return ShowBalloon(text, false, keepShown, [&](PromptsPopup& popup) {
        popup.SetTitle(title);
        popup.SetTitleIcon(icon);
    });
}

bool BaseImplQt::HideBalloonTipEx()
{
    if (!balloonPopup_)
        return false;
    balloonPopup_->Show(false, -1, -1);
    return true;
}

bool BaseImplQt::IsBalloonTipDisplayed() { return balloonPopup_ && balloonPopup_->IsDisplayed(); }

void BaseImplQt::OnSkinColorChanged() {}

bool BaseImplQt::ShowToolTipAt(Point) { return false; }

bool BaseImplQt::SetParent(QWidget* parent)
{
    RequireWidget()->setParent(parent);
    return true;
}

void BaseImplQt::ExtensionHook() {}

int32_t* BaseImplQt::GetExtensionValue() { return &extensionValue_; }

FontData BaseImplQt::GetFont() { return FontData{}; }

void BaseImplQt::EnableChildren(QWidget* widget, bool enable)
{
    if (!widget)
        return;
    // Collected before anything changes; a change handler may delete a child.
    std::vector<QPointer<QWidget>> descendants;
    for (QWidget* descendant : widget->findChildren<QWidget*>())
        descendants.emplace_back(descendant);
    widget->setEnabled(enable);
    for (const QPointer<QWidget>& descendant : descendants) {
        if (descendant)
            descendant->setEnabled(enable);
    }
}

} // namespace AUILib
