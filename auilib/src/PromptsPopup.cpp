#include "PromptsPopup.h"

#include "PromptsPopupImplQt.h"
#include "WideQt.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QToolTip>
#include <QUrl>

namespace AUILib {

namespace {

constexpr int kLongDisplayTime = 50000;
constexpr int kIconEdge = 16;
constexpr int kMargin = 6;

} // namespace

// ---- the popup window ----

PromptsPopupQt::PromptsPopupQt() : QLabel(nullptr)
{
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    setAutoFillBackground(true);
    setAlignment(Qt::AlignLeft);
    setContentsMargins(kMargin, kMargin, kMargin, kMargin);
}

PromptsPopupQt::~PromptsPopupQt()
{
    if (timer_.isActive())
        timer_.stop();
}

void PromptsPopupQt::Watch(QPointer<QWidget>& slot, QWidget* widget)
{
    if (!widget || slot == widget)
        return;
    if (slot)
        slot->removeEventFilter(this);
    slot = widget;
    widget->installEventFilter(this);
    widget->setAttribute(Qt::WA_MouseTracking);
    connect(widget, &QObject::destroyed, this, &QObject::deleteLater);
}

void PromptsPopupQt::Attach(QWidget* parent, bool hideOnActivity, int displayTime)
{
    Watch(watchedWindow_, parent->window());
    Watch(watchedParent_, parent);
    // setParent resets the window flags: give them with it.
    setParent(parent, windowFlags() | Qt::ToolTip | Qt::FramelessWindowHint);
    hideOnActivity_ = hideOnActivity;
    displayTime_ = displayTime == -1 ? kLongDisplayTime : displayTime;
}

void PromptsPopupQt::SetIcon(const QImage& icon)
{
    icon_ = icon;
    const int left = icon_.isNull() ? kMargin : kMargin + kIconEdge + kMargin;
    setContentsMargins(left, kMargin, kMargin, kMargin);
}

void PromptsPopupQt::Place(const QPoint& globalPosition)
{
    adjustSize();
    move(globalPosition);
    show();
    raise();
    displayed_ = true;
    timer_.start(displayTime_, this);
}

void PromptsPopupQt::Close()
{
    timer_.stop();
    hide();
    displayed_ = false;
}

bool PromptsPopupQt::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == watchedParent_ && hideOnActivity_) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Leave:
            Close();
            break;
        case QEvent::MouseMove:
            if (!geometry().contains(static_cast<QMouseEvent*>(event)->globalPos()))
                Close();
            break;
        default:
            break;
        }
    }
    if (watched == watchedWindow_ && displayed_) {
        switch (event->type()) {
        case QEvent::Move: {
            auto* moveEvent = static_cast<QMoveEvent*>(event);
            move(pos() + moveEvent->pos() - moveEvent->oldPos());
            break;
        }
        case QEvent::Close:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            Close();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Paint:
        case QEvent::UpdateRequest:
            if (!hideOnActivity_ && !isVisible())
                show();
            break;
        default:
            break;
        }
    }
    return false;
}

void PromptsPopupQt::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == timer_.timerId()) {
        Close();
        return;
    }
    QLabel::timerEvent(event);
}

void PromptsPopupQt::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (icon_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QRect(kMargin, kMargin, kIconEdge, kIconEdge), icon_);
}

// ---- the private part ----

PromptsPopup::impl::impl() : label_(new PromptsPopupQt) {}

PromptsPopup::impl::~impl() = default;

PromptsPopupQt* PromptsPopup::impl::EnsureLabel()
{
    if (!label_)
        label_ = new PromptsPopupQt;
    return label_.data();
}

// ---- the popup ----

PromptsPopup::PromptsPopup() = default;

PromptsPopup::~PromptsPopup() = default;

bool PromptsPopup::Create(QWidget* parent, const std::wstring& text, int, int duration, bool hideOnActivity)
{
    if (!parent)
        return false;
    if (!impl_)
        impl_ = std::make_unique<impl>();
    impl_->EnsureLabel()->Attach(parent, hideOnActivity, duration);
    impl_->parent = parent;
    impl_->text = text;
    return true;
}

void PromptsPopup::Show(bool show, int x, int y)
{
    if (!impl_)
        return;
    PromptsPopupQt* label = impl_->GetLabel();
    if (!label)
        return;
    if (!show) {
        label->Close();
        return;
    }
    QString content = ToQString(impl_->text).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    if (!impl_->title.empty())
        content = QStringLiteral("<b>") + ToQString(impl_->title).toHtmlEscaped() + QStringLiteral("</b><br>") + content;
    label->setTextFormat(Qt::RichText);
    label->setText(content);
    label->SetIcon(impl_->iconKind == impl::NoIcon ? QImage() : impl_->icon);
    QPoint position(x, y);
    if (x < 0 || y < 0) {
        QWidget* target = label->parentWidget();
        position = target ? target->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    }
    label->Place(position);
}

void PromptsPopup::SetTitleIcon(BalloonTipIconType icon)
{
    if (!impl_)
        return;
    if (icon >= BalloonTipInformation && icon <= BalloonTipCritical) {
        impl_->standardPixmap = static_cast<QStyle::StandardPixmap>(icon + 8);
        impl_->icon = QApplication::style()->standardIcon(impl_->standardPixmap).pixmap(kIconEdge, kIconEdge).toImage();
        impl_->iconKind = impl::StandardIcon;
    } else {
        impl_->standardPixmap = QStyle::SP_CustomBase;
        impl_->icon = QImage();
        impl_->iconKind = impl::NoIcon;
    }
}

void PromptsPopup::SetTitleIcon(const std::wstring& path)
{
    if (!impl_)
        return;
    const QUrl url(ToQString(path), QUrl::TolerantMode);
    if (!url.isValid())
        return;
    impl_->icon = QImage(url.path(QUrl::FullyDecoded));
    impl_->iconKind = impl::ImageIcon;
}

bool PromptsPopup::SetTitleIcon(const unsigned char* data, int size)
{
    if (!impl_ || !data || size <= 0)
        return false;
    QImage image;
    if (!image.loadFromData(data, size))
        return false;
    impl_->icon = image;
    impl_->iconKind = impl::ImageIcon;
    return true;
}

void PromptsPopup::SetTitle(const std::wstring& title)
{
    if (impl_ && !title.empty())
        impl_->title = title;
}

bool PromptsPopup::IsDisplayed() const
{
    if (!impl_)
        return false;
    PromptsPopupQt* label = impl_->GetLabel();
    return label && label->isVisible();
}

} // namespace AUILib
