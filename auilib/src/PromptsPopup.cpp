#include "PromptsPopup.h"

#include "BalloonMarkup.h"
#include "PromptsPopupImplQt.h"
#include "WideQt.h"

#include <QApplication>
#include <QBuffer>
#include <QDesktopWidget>
#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QMoveEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyleHintReturnMask>
#include <QStyleOption>
#include <QTextDocument>
#include <QToolTip>
#include <QUrl>

#include <algorithm>

namespace AUILib {

namespace {

constexpr int kLongDisplayTime = 50000;
constexpr int kIconEdge = 16;

QString IconAsBase64(const QImage& icon)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    icon.save(&buffer, "PNG", 100);
    return QString::fromLatin1(bytes.toBase64());
}

} // namespace

// ---- the popup window ----

PromptsPopupQt::PromptsPopupQt() : QLabel(nullptr) {}

PromptsPopupQt::~PromptsPopupQt()
{
    if (timer_.isActive())
        timer_.stop();
}

void PromptsPopupQt::Retarget(Watch& role, const Watch& otherRole, QWidget* widget)
{
    if (!widget || role.widget == widget)
        return;
    QWidget* previous = role.widget.data();
    // The widget left behind may still be watched in the other role: it
    // keeps the filter then. Its destroyed connection of this role goes
    // either way, so its end no longer takes the label along.
    if (previous && previous != otherRole.widget)
        previous->removeEventFilter(this);
    QObject::disconnect(role.destroyed);
    role.widget = widget;
    widget->installEventFilter(this);
    widget->setAttribute(Qt::WA_MouseTracking);
    role.destroyed = connect(widget, &QObject::destroyed, this, &QObject::deleteLater);
}

void PromptsPopupQt::Attach(QWidget* parent, bool hideOnActivity, int displayTime)
{
    Retarget(watchedWindow_, watchedParent_, parent->window());
    Retarget(watchedParent_, watchedWindow_, parent);
    setParent(parent);
    hideOnActivity_ = hideOnActivity;
    displayTime_ = displayTime == -1 ? kLongDisplayTime : displayTime;
    setStyleSheet(QStringLiteral("QLabel{border-radius: %1px; margin: %2px; margin-top:%3px;}")
                      .arg(kCornerRadius)
                      .arg(kMargin)
                      .arg(kCornerRadius + kTailHeight + kMargin));
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setPalette(QToolTip::palette());
    ensurePolished();
    setAlignment(Qt::AlignLeft);
    setIndent(1);
    setWindowFlags(windowFlags() | Qt::ToolTip | Qt::FramelessWindowHint);
    setWindowOpacity(style()->styleHint(QStyle::SH_ToolTipLabel_Opacity, nullptr, this) / 255.0);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void PromptsPopupQt::Place(const QPoint& anchor)
{
    if (isVisible())
        return;  // on screen: keeps its place and its running timer
    const int w = width();
    const int h = height();
    int x = anchor.x() + 2;
    int y = anchor.y() + 21;
    if (QDesktopWidget* desktop = QApplication::desktop()) {
        QWidget* screenOf = watchedParent_.widget ? watchedParent_.widget.data() : this;
        const QRect screen = desktop->screenGeometry(screenOf);
        const int left = screen.left();
        const int top = screen.top();
        const int right = screen.left() + screen.width();
        const int bottom = screen.top() + screen.height();
        if (anchor.x() + 2 + w > right)
            x = anchor.x() - w - 2;
        if (anchor.y() + 21 + h > bottom)
            y = std::max(anchor.y() - h - 3, top);
        else if (anchor.y() + 21 < top)
            y = top;
        if (x + w > right)
            x = std::max(right - w, left);
        else if (x < left)
            x = left;
        if (y + h > bottom)
            y = bottom - h;
    }
    move(x, y);
    timer_.start(displayTime_, this);
    displayed_ = true;
    show();
    body_ = QRect(0, 0, width(), height());
}

void PromptsPopupQt::Close()
{
    hide();
    displayed_ = false;
}

bool PromptsPopupQt::eventFilter(QObject* watched, QEvent* event)
{
    if (hideOnActivity_ && watched == watchedParent_.widget) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Leave:
            hide();
            break;
        case QEvent::MouseMove: {
            const QRect area(0, 0, width(), height());
            const QPoint at = static_cast<QMouseEvent*>(event)->localPos().toPoint();
            if ((width() != 0 || height() != 0) && !area.contains(at))
                hide();
            break;
        }
        default:
            break;
        }
    }
    if (watched == watchedWindow_.widget) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove:
        case QEvent::Paint:
        case QEvent::UpdateRequest:
            if (!hideOnActivity_ && displayed_)
                show();
            break;
        case QEvent::Move:
            if (displayed_) {
                auto* moveEvent = static_cast<QMoveEvent*>(event);
                move(pos() + moveEvent->pos() - moveEvent->oldPos());
            }
            break;
        case QEvent::Close:
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            displayed_ = false;
            hide();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PromptsPopupQt::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timer_.timerId()) {
        QLabel::timerEvent(event);
        return;
    }
    timer_.stop();
    if (isVisible()) {
        displayed_ = false;
        hide();
    }
}

void PromptsPopupQt::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Base));
        const int top = body_.top() + kTailHeight + kCornerRadius;
        QPainterPath path;
        path.addRoundedRect(QRectF(QPointF(body_.left(), top), QPointF(body_.right(), body_.bottom())),
                            kCornerRadius, kCornerRadius, Qt::AbsoluteSize);
        QPolygonF tail;
        tail << QPointF(body_.left() + kTailOffset, top) << QPointF(body_.left() + kTailOffset + kTailWidth, top)
             << QPointF(body_.left() + kTailOffset + kTailWidth / 2.0, top - kTailHeight);
        path.addPolygon(tail);
        path.setFillRule(Qt::WindingFill);
        painter.drawPath(path);
    }
    QLabel::paintEvent(event);
}

void PromptsPopupQt::resizeEvent(QResizeEvent* event)
{
    QStyleOption option;
    option.initFrom(this);
    QStyleHintReturnMask mask;
    if (style()->styleHint(QStyle::SH_ToolTip_Mask, &option, this, &mask))
        setMask(mask.region);
    QLabel::resizeEvent(event);
}

// ---- the private part ----

PromptsPopup::impl::impl() : label_(new PromptsPopupQt) {}

// The label belongs to its Qt parent (every impl got one in Create).
PromptsPopup::impl::~impl() = default;

// ---- the popup ----

PromptsPopup::PromptsPopup() = default;

PromptsPopup::~PromptsPopup() = default;

bool PromptsPopup::Create(QWidget* parent, const std::wstring& text, int, int duration, bool hideOnActivity)
{
    if (!parent)
        return false;
    if (!impl_)
        impl_ = std::make_unique<impl>();
    PromptsPopupQt* label = impl_->GetLabel();
    if (!label)
        return false;  // a watched widget went and took the label along
    label->Attach(parent, hideOnActivity, duration);
    impl_->parent = parent;
    impl_->text = text;
    return true;
}

void PromptsPopup::Show(bool show, int x, int y)
{
    PromptsPopupQt* label = impl_ ? impl_->GetLabel() : nullptr;
    if (!label)
        return;
    if (!show) {
        label->Close();
        return;
    }
    QPoint anchor(x, y);
    if (x < 0 || y < 0) {
        QWidget* parent = label->WatchedParent();
        anchor = parent ? parent->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
    }

    const QString text = ToQString(impl_->text);
    QString withBreaks = text;
    withBreaks.replace(QLatin1String("\n"), QLatin1String("<br>"));
    const QString title = ToQString(impl_->title);
    const bool hasIcon = impl_->iconKind != impl::NoIcon;
    // The icon goes into its frame before title and text join it, so a
    // "%0" of the caller's text stays as written.
    auto frame = [&](const char* head) {
        return QString::fromLatin1(head).arg(IconAsBase64(impl_->icon), 0, QLatin1Char(' '));
    };
    using namespace BalloonMarkup;
    if (!title.isEmpty() && hasIcon) {
        label->setText(frame(kTitleIconHead) + title + QLatin1String(kTitleIconMiddle) + withBreaks +
                       QLatin1String(kTitleIconTail));
    } else if (!title.isEmpty()) {
        label->setText(QLatin1String(kTitleHead) + title + QLatin1String(kTitleMiddle) + text +
                       QLatin1String(kTitleTail));
    } else if (!hasIcon) {
        label->setText(text);
    } else {
        label->setText(frame(kIconHead) + withBreaks + QLatin1String(kIconTail));
    }

    if (title.isEmpty()) {
        const QFontMetrics metrics(label->font());
        const int extra = metrics.descent() == 2 && metrics.ascent() > 10 ? 1 : 0;
        label->setWordWrap(Qt::mightBeRichText(label->text()));
        QSize hint = label->sizeHint();
        QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen && hint.width() > screen->geometry().width() && !label->wordWrap()) {
            label->setWordWrap(true);
            hint = label->sizeHint();
        }
        label->resize(hint.width() + 1, hint.height() + extra);
    } else if (!label->testAttribute(Qt::WA_Resized)) {
        // Never sized by hand: show() would fit it to its content anyway;
        // fitting it now lets the placement reckon with the real size.
        label->adjustSize();
    }
    label->Place(anchor);
}

void PromptsPopup::SetTitleIcon(BalloonTipIconType icon)
{
    if (!impl_)
        return;
    const bool standard = icon >= BalloonTipInformation && icon <= BalloonTipCritical;
    impl_->standardPixmap = standard ? static_cast<QStyle::StandardPixmap>(icon + 8) : QStyle::SP_CustomBase;
    impl_->icon = QApplication::style()
                      ->standardIcon(impl_->standardPixmap)
                      .pixmap(kIconEdge, kIconEdge, QIcon::Normal, QIcon::Off)
                      .toImage();
    impl_->iconKind = standard ? impl::StandardIcon : impl::NoIcon;
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
    PromptsPopupQt* label = impl_ ? impl_->GetLabel() : nullptr;
    return label && label->isVisible();
}

} // namespace AUILib
