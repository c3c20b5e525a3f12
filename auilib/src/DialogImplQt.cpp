#include "DialogImplQt.h"

#include "AUILibConfig.h"
#include "Button.h"
#include "ButtonBoxImplQt.h"
#include "DialogQt.h"
#include "Encrypter.h"
#include "EventHelper.h"
#include "FormEnumProps.h"
#include "FormLimits.h"
#include "KwQUiLoader.h"
#include "WideQt.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGuiApplication>
#include <QHash>
#include <QPushButton>

#include <algorithm>

namespace AUILib {

namespace {

constexpr unsigned kKeepFlagsBit = 0x80;   // inside the window-type mask, used by no Qt type

unsigned AppliedFlags(unsigned flags)
{
    if (flags & kKeepFlagsBit) {
        flags &= ~kKeepFlagsBit;
    } else {
        flags &= ~static_cast<unsigned>(Qt::WindowMaximizeButtonHint);
        flags |= Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    }
    if (!(flags & Qt::WindowTitleHint))
        flags |= Qt::FramelessWindowHint;
    return flags;
}

} // namespace

Dialog::impl::impl(Dialog* owner, unsigned flags, QWidget* parent)
    : QObject(nullptr),
      window_(new DialogQt(owner, parent)),
      windowFlags_(flags),
      owner_(owner),
      eventHelper_(new EventHelper(owner))
{
    controls_.max_load_factor(1.0f);
    created_ = window_.data();
}

Dialog::impl::~impl() { delete eventHelper_; }

void Dialog::impl::Show(bool show, bool repaint)
{
    if (window_)
        BaseImplQt::Show(show, repaint);
}

bool Dialog::impl::IsVisible() { return window_ && BaseImplQt::IsVisible(); }

void Dialog::impl::Enable(bool enable, bool recursive)
{
    if (window_)
        BaseImplQt::Enable(enable, recursive);
}

bool Dialog::impl::IsEnabled() { return window_ && BaseImplQt::IsEnabled(); }
int Dialog::impl::GetLogicalPixelsX() { return window_ ? BaseImplQt::GetLogicalPixelsX() : 0; }
int Dialog::impl::GetLogicalPixelsY() { return window_ ? BaseImplQt::GetLogicalPixelsY() : 0; }
Rect Dialog::impl::GetWindowRect() { return window_ ? BaseImplQt::GetWindowRect() : Rect{}; }
Rect Dialog::impl::GetClientRect() { return window_ ? BaseImplQt::GetClientRect() : Rect{}; }

// The window is no frame, so no frame width is taken off or added.
Point Dialog::impl::ScreenToClient(Point point)
{
    if (!window_)
        return Point{};
    const QPoint local = window_->mapFromGlobal(QPoint(point.x, point.y));
    return Point{local.x(), local.y()};
}

Point Dialog::impl::ClientToScreen(Point point)
{
    if (!window_)
        return Point{};
    const QPoint global = window_->mapToGlobal(QPoint(point.x, point.y));
    return Point{global.x(), global.y()};
}

Size Dialog::impl::IdealSize() { return window_ ? BaseImplQt::IdealSize() : Size{}; }
Size Dialog::impl::MinimumIdealSize() { return window_ ? BaseImplQt::MinimumIdealSize() : Size{}; }
Size Dialog::impl::MinimumSize() { return window_ ? BaseImplQt::MinimumSize() : Size{}; }
Size Dialog::impl::MaximumSize() { return window_ ? BaseImplQt::MaximumSize() : Size{}; }

void Dialog::impl::SetMinimumSize(const Size& size)
{
    if (window_)
        BaseImplQt::SetMinimumSize(size);
}

void Dialog::impl::SetMaximumSize(const Size& size)
{
    if (window_)
        BaseImplQt::SetMaximumSize(size);
}

void Dialog::impl::MoveWindow(int x, int y, int width, int height, bool repaint)
{
    if (window_)
        BaseImplQt::MoveWindow(x, y, width, height, repaint);
}

int Dialog::impl::GetFrarmeWidth() { return window_ ? BaseImplQt::GetFrarmeWidth() : 0; }
int Dialog::impl::SetTimer(unsigned id, unsigned elapse) { return window_ ? BaseImplQt::SetTimer(id, elapse) : 0; }

void Dialog::impl::KillTimer(unsigned id)
{
    if (window_)
        BaseImplQt::KillTimer(id);
}

void Dialog::impl::Update()
{
    if (window_)
        BaseImplQt::Update();
}

void Dialog::impl::Update(const Region& region)
{
    if (window_)
        BaseImplQt::Update(region);
}

void Dialog::impl::Repaint()
{
    if (window_)
        BaseImplQt::Repaint();
}

void Dialog::impl::Repaint(const Region& region)
{
    if (window_)
        BaseImplQt::Repaint(region);
}

SizePolicy Dialog::impl::GetSizePolicy() const { return window_ ? BaseImplQt::GetSizePolicy() : SizePolicy{}; }

void Dialog::impl::SetSizePolicy(const SizePolicy& policy)
{
    if (window_)
        BaseImplQt::SetSizePolicy(policy);
}

int Dialog::impl::GetWidthForText(std::wstring& text, FontData* font)
{
    return window_ || font ? BaseImplQt::GetWidthForText(text, font) : 0;
}

bool Dialog::impl::SetParent(QWidget* parent) { return window_ && BaseImplQt::SetParent(parent); }

bool Dialog::impl::CreateFromUI(const std::wstring& path, QWidget* parent)
{
    return CreateFromUI(Encrypter::ReadAndDecryptFile(path), 0, parent);
}

bool Dialog::impl::CreateFromUI(const std::wstring& text, unsigned long, QWidget* parent)
{
    if (text.empty())
        return false;
    const QByteArray form = ToQString(text).toUtf8();
    if (!FormWithinLimits(form)) {
        window_ = nullptr;   // as for any form the reader refuses
        return false;
    }
    QBuffer buffer;
    buffer.setData(form);
    buffer.open(QIODevice::ReadOnly);
    QWidget* root = nullptr;
    {
        KwQUiLoader loader(this);
        root = loader.load(&buffer, parent);
    }
    window_ = qobject_cast<QDialog*>(root);
    if (!window_) {
        // A root that is not the dialog belongs to no one: it goes here.
        delete root;
        return false;
    }
    QWidget* window = window_.data();
    // Widgets within every limit can still add up to a window wider or
    // taller than any screen (long unwrapped texts side by side, thousands
    // of buttons in a row), which would take seconds and gigabytes to show.
    const QSize least = window->minimumSizeHint();
    if (least.width() > kMaxFormExtent || least.height() > kMaxFormExtent) {
        window_ = nullptr;   // as for any form the reader refuses
        return false;
    }

    if (owner_) {
        Dialog* owner = owner_;
        windowDestroyed_ = connect(window, &QObject::destroyed, window, [owner]() { owner->OnDestroyed.Emit(owner); });
        owner_->SetUserValue(window);
    }
    if (GetLayoutRTL())
        QGuiApplication::setLayoutDirection(Qt::RightToLeft);

    windowFlags_ = AppliedFlags(windowFlags_);
    window->setWindowFlags(Qt::WindowFlags(static_cast<int>(windowFlags_)));
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    window->installEventFilter(eventHelper_);

    // Every line's orientation, read in one pass when the first line needs it.
    QHash<QString, QString> orientations;
    bool orientationsRead = false;
    const QList<QWidget*> children = window->findChildren<QWidget*>();
    for (QWidget* child : children) {
        child->setAttribute(Qt::WA_MouseTracking, true);
        child->installEventFilter(eventHelper_);
        std::shared_ptr<BaseGUIObject> control = GetElementByName(ToWide(child->objectName()));
        // Only the control made for this very widget: a repeated name maps
        // to the first widget's control.
        if (!control || control->GetBaseImpl()->GetWndPtr() != child)
            continue;
        if (control->GetControlType() == ControlTypeLine) {
            if (auto* frame = qobject_cast<QFrame*>(child)) {
                if (!orientationsRead) {
                    orientations = CollectControlEnumProps(form, QStringLiteral("orientation"));
                    orientationsRead = true;
                }
                const QString orientation = orientations.value(child->objectName());
                if (orientation == QLatin1String("Qt::Vertical"))
                    frame->setFrameShape(QFrame::VLine);
                else if (orientation == QLatin1String("Qt::Horizontal"))
                    frame->setFrameShape(QFrame::HLine);
            }
        }
        connect(child, &QObject::destroyed, child, [control]() { control->OnDestroyed.Emit(control.get()); });
        if (qobject_cast<QDialogButtonBox*>(child) && control->GetControlType() == ControlTypeButtonBox)
            WrapButtonBoxButtons(dynamic_cast<ButtonBox::impl*>(control->GetBaseImpl().get()));
    }
    closed_ = false;
    return true;
}

std::shared_ptr<BaseGUIObject> Dialog::impl::GetElementByName(const std::wstring& name) const
{
    const auto found = controls_.find(name);
    return found == controls_.end() ? nullptr : found->second;
}

bool Dialog::impl::Close()
{
    if (closed_)
        return true;
    closed_ = true;
    return window_ ? window_->close() : false;
}

void Dialog::impl::SetDefaultButton(Button* button)
{
    if (!button) {
        defaultButton_ = false;
        if (window_) {
            for (QPushButton* push : window_->findChildren<QPushButton*>()) {
                push->setAutoDefault(false);
                push->setDefault(false);
            }
        }
        return;
    }
    if (auto* push = qobject_cast<QPushButton*>(button->GetBaseImpl()->GetWndPtr()))
        push->setDefault(true);
    defaultButton_ = true;
}

void Dialog::impl::SetWindowsToStayOnTop()
{
    if (!window_)
        return;
    window_->setWindowFlags(window_->windowFlags() | Qt::WindowStaysOnTopHint);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &Dialog::impl::applicationStateChanged);
}

void Dialog::impl::applicationStateChanged(Qt::ApplicationState state)
{
    if (!window_ || !window_->isVisible())
        return;
    if (!(window_->windowFlags() & Qt::WindowStaysOnTopHint) && !stayOnTop_)
        return;
    stayOnTop_ = true;
    Qt::WindowFlags flags = window_->windowFlags() & ~Qt::WindowStaysOnTopHint;
    if (state == Qt::ApplicationActive)
        flags |= Qt::WindowStaysOnTopHint;
    window_->setWindowFlags(flags);
    Show(true, true);
}

void Dialog::impl::DisconnectApp()
{
    if (qGuiApp)
        disconnect(qGuiApp, &QGuiApplication::applicationStateChanged, this, &Dialog::impl::applicationStateChanged);
}

void Dialog::impl::DetachOwner()
{
    QObject::disconnect(windowDestroyed_);
    if (auto* window = qobject_cast<DialogQt*>(window_.data()))
        window->SetOwner(nullptr);
    if (auto* created = qobject_cast<DialogQt*>(created_.data()))
        created->SetOwner(nullptr);
    eventHelper_->SetOwner(nullptr);
    owner_ = nullptr;
}

void Dialog::impl::DiscardWindow()
{
    if (window_ && !window_->isVisible())
        delete window_.data();
    if (created_ && !created_->isVisible())
        delete created_.data();
}

bool Dialog::impl::AttachControl(const std::shared_ptr<BaseGUIObject>& control)
{
    QWidget* window = window_.data();
    if (!control || !window)
        return false;
    std::shared_ptr<BaseImpl> controlImpl = control->GetBaseImpl();
    QWidget* widget = controlImpl ? controlImpl->GetWndPtr() : nullptr;
    if (!widget || !window->isAncestorOf(widget) || widget == window)
        return false;
    std::wstring name = control->GetName();
    if (name.empty())
        name = ToWide(widget->objectName());
    if (name.empty())
        return false;
    // A name stays with a control whose widget lives; an entry whose widget
    // is gone (an editor closed earlier) gives way.
    const auto found = controls_.find(name);
    const bool again = found != controls_.end() && found->second == control;
    if (found != controls_.end() && !again) {
        std::shared_ptr<BaseImpl> holderImpl = found->second->GetBaseImpl();
        if (holderImpl && holderImpl->GetWndPtr())
            return false;
    }
    control->SetName(name);
    widget->setObjectName(ToQString(name));
    controls_[name] = control;

    widget->setAttribute(Qt::WA_MouseTracking, true);
    widget->installEventFilter(eventHelper_);
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        child->setAttribute(Qt::WA_MouseTracking, true);
        child->installEventFilter(eventHelper_);
    }
    if (again)
        return true;
    // The widget's end is reported as for the form's controls, and the
    // entry goes with it, so run-time editors do not pile up in the map.
    attached_.Add(connect(widget, &QObject::destroyed, this, [this, control, name]() {
        const auto entry = controls_.find(name);
        if (entry != controls_.end() && entry->second == control)
            controls_.erase(entry);
        control->OnDestroyed.Emit(control.get());
    }));
    return true;
}

Dialog::impl::AttachedConnections::~AttachedConnections()
{
    for (const QMetaObject::Connection& connection : list)
        QObject::disconnect(connection);
}

void Dialog::impl::AttachedConnections::Add(QMetaObject::Connection connection)
{
    // Connections of widgets already gone are dropped as new ones come.
    list.erase(std::remove_if(list.begin(), list.end(), [](const QMetaObject::Connection& c) { return !c; }),
               list.end());
    list.push_back(std::move(connection));
}

} // namespace AUILib
