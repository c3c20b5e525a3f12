#include "Dialog.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "AgnosticUIException.h"
#include "Button.h"
#include "DialogImplQt.h"
#include "DialogQt.h"
#include "Translator.h"
#include "WideQt.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLayout>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace AUILib {

Dialog::Dialog(const std::wstring& uiName, QWidget* parent, unsigned long flags, double screenRatio)
    : screenRatio_(screenRatio), uiPath_(uiName)
{
    SetControlType(ControlTypeDialog);
    SetParentWindow(parent);
    const std::wstring text = Translator::GetInstance().TranslateUIFile(uiName);
    impl_ = std::shared_ptr<impl>(new impl(this, static_cast<unsigned>(flags ? flags : GetDefaultDialogStyle()), parent));
    const bool translated = !text.empty();
    const bool built = translated ? impl_->CreateFromUI(text, 0, parent) : impl_->CreateFromUI(uiName, parent);
    if (!built) {
        impl_->DetachOwner();
        impl_->DiscardWindow();
        throw AgnosticUIException(kDialogSourceFile, translated ? kDialogLineLoadTranslated : kDialogLineLoadFromPath,
                                  kCreateFromUiFailsMessage);
    }
}

Dialog::~Dialog()
{
    if (!impl_)
        return;
    // Only this dialog's own ties to the window go; the window lives on as
    // a plain dialog until it closes.
    impl_->DetachOwner();
    impl_->DisconnectApp();
}

QWidget* Dialog::GetWndPtr() const { return impl_ ? impl_->GetWndPtr() : nullptr; }

std::shared_ptr<BaseImpl> Dialog::GetBaseImpl() const { return impl_; }

SkinManager* Dialog::GetSkinManager() { return GetGlobalSkinManager(); }

void Dialog::Show(bool show, bool repaint)
{
    if (GetWndPtr())
        impl_->Show(show, repaint);
}

void Dialog::ShowButKeepHiddenChildren(bool show) { Show(show, true); }

void Dialog::Enable(bool enable, bool recursive)
{
    if (GetWndPtr())
        impl_->Enable(enable, recursive);
}

void Dialog::Update()
{
    if (GetWndPtr())
        BaseGUIObject::Update();
}

void Dialog::Update(const Region& region)
{
    if (GetWndPtr())
        BaseGUIObject::Update(region);
}

void Dialog::Repaint()
{
    if (GetWndPtr())
        BaseGUIObject::Repaint();
}

void Dialog::Repaint(const Region& region)
{
    if (GetWndPtr())
        BaseGUIObject::Repaint(region);
}

void Dialog::UpdateWindow()
{
    if (QWidget* window = GetWndPtr())
        window->update();
}

int Dialog::DoModal()
{
    modal_ = true;
    QWidget* window = GetWndPtr();
    if (!window)
        return 0;
    InitializeControls();
    window->setWindowModality(Qt::ApplicationModal);
    return static_cast<QDialog*>(window)->exec();
}

void Dialog::DoModeless(bool stayOnTop)
{
    modal_ = false;
    QWidget* window = GetWndPtr();
    if (!window)
        return;
    InitializeControls();
    if (stayOnTop && window->parent())
        impl_->SetWindowsToStayOnTop();
    if (GetWndPtr())
        impl_->Show(true, true);
}

void Dialog::DoModeless(QWidget* parent, bool stayOnTop)
{
    modal_ = false;
    QWidget* window = GetWndPtr();
    if (!window)
        return;
    // Re-parented with its own flags, it stays a top-level dialog.
    window->setParent(parent, window->windowFlags());
    DoModeless(stayOnTop);
}

void Dialog::CreateTabWindow(QWidget* parent, bool)
{
    if (QWidget* window = GetWndPtr())
        window->setParent(parent, Qt::Widget);
    modal_ = false;
    if (GetWndPtr()) {
        InitializeControls();
        if (GetWndPtr())
            impl_->Show(true, true);
    }
}

void Dialog::CreateTabWindowEx(BaseGUIObject* placeholder, bool)
{
    if (!placeholder)
        return;
    QWidget* window = GetWndPtr();
    QWidget* place = placeholder->GetPlatformWindow();
    if (place && window) {
        QWidget* parent = place->parentWidget();
        window->setParent(parent, Qt::Widget);
        if (parent && parent->layout()) {
            if (QLayoutItem* item = parent->layout()->replaceWidget(place, window, Qt::FindChildrenRecursively)) {
                if (QWidget* old = item->widget()) {
                    old->setParent(nullptr);
                    old->deleteLater();
                }
                delete item;
            }
        }
    }
    modal_ = false;
    if (GetWndPtr()) {
        InitializeControls();
        if (GetWndPtr())
            impl_->Show(true, true);
    }
}

void Dialog::Done(DoneState state)
{
    QWidget* window = GetWndPtr();
    if (!window)
        throw AgnosticUIException(kDialogImplHeaderFile, kDialogImplLineDone, kInvalidControlMessage);
    static_cast<QDialog*>(window)->done(state);
}

std::shared_ptr<BaseGUIObject> Dialog::GetElementByName(const std::wstring& name) const
{
    return impl_ ? impl_->GetElementByName(name) : nullptr;
}

bool Dialog::AttachControl(const std::shared_ptr<BaseGUIObject>& control)
{
    return impl_ ? impl_->AttachControl(control) : false;
}

std::shared_ptr<BaseGUIObject> Dialog::GetFocusedCtrlPtr() const
{
    QWidget* focus = QApplication::focusWidget();
    return focus ? GetElementByName(ToWide(focus->objectName())) : nullptr;
}

void Dialog::SetFocusToCtrl(BaseGUIObject* ctrl)
{
    if (!ctrl)
        return;
    if (QWidget* widget = ctrl->GetBaseImpl()->GetWndPtr())
        widget->setFocus(Qt::OtherFocusReason);
}

void Dialog::SetDefaultButton(Button* button) { impl_->SetDefaultButton(button); }

QString BuildToolTipText(const QString& textIn, const QString& title, int maxWidth)
{
    QString text = textIn;
    QString prefix = title.isEmpty() ? QString() : QStringLiteral("<b>") + title + QStringLiteral("</b><br>");
    if (maxWidth > 0) {
        const QFont font = QToolTip::font();
        QFont bold = font;
        bold.setWeight(75);
        const QFontMetrics metrics(font);
        const int limit = std::max(maxWidth, QFontMetrics(bold).horizontalAdvance(title));
        if (metrics.horizontalAdvance(text) > limit && text.length() > 1) {
            static const QRegularExpression blank(QStringLiteral("\\s"));
            int i = 1;
            do {
                if (i < text.length() && text.at(i) == QLatin1Char('\n')) {
                    prefix += text.left(i) + QStringLiteral("<br>");
                    text = text.mid(i + 1);
                    i = 0;
                }
                if (metrics.horizontalAdvance(text.left(i + 1)) > limit + 2) {
                    const int j = text.lastIndexOf(blank, i);
                    if (j > 0)
                        i = j + 1;
                    prefix += text.left(i) + QStringLiteral("<br>");
                    text = text.mid(i);
                    i = 0;
                }
                ++i;
            } while (i < text.length());
        }
    }
    return QStringLiteral("<div style = 'white-space:pre'>") + prefix + text + QStringLiteral("</div>");
}

void Dialog::SetToolTip(const std::shared_ptr<BaseGUIObject>& ctrl, const std::wstring& text,
                        const std::wstring& title, int maxWidth, QRect* area)
{
    BaseGUIObject* target = ctrl ? ctrl.get() : this;
    auto impl = std::dynamic_pointer_cast<BaseImplQt>(target->GetBaseImpl());
    if (!impl)
        return;
    QRect rect;
    if (area) {
        rect = *area;
    } else {
        const Rect client = target->GetClientRect();
        rect = QRect(QPoint(client.left, client.top), QPoint(client.right, client.bottom));
    }
    impl->ToolTips().push_back(BaseImplQt::ToolTipEntry{BuildToolTipText(ToQString(text), ToQString(title), maxWidth), rect});
    if (ctrl) {
        if (QWidget* widget = ctrl->GetBaseImpl()->GetWndPtr())
            widget->setAccessibleName(ToQString(text));
    }
}

void Dialog::SetWindowTitle(const std::wstring& title)
{
    if (QWidget* window = GetWndPtr())
        window->setWindowTitle(ToQString(title));
}

void Dialog::SetBackgroundColor(int colour)
{
    QWidget* window = GetWndPtr();
    if (!window)
        return;
    QPalette palette = window->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(QRgb(0xFF000000u | (colour & 0xFFFFFF)))));
    window->setAutoFillBackground(true);
    window->setPalette(palette);
}

int Dialog::GetBackgroundColor() const
{
    QWidget* window = GetWndPtr();
    if (!window)
        return 0;
    return static_cast<int>(window->palette().brush(QPalette::Window).color().rgb());
}

void Dialog::SetCursorType(CursorTypes type)
{
    if (type == CursorCustom && !impl_->CustomCursor().pixmap().isNull()) {
        QGuiApplication::setOverrideCursor(impl_->CustomCursor());
        return;
    }
    if (type == CursorNormal) {
        QWidget* window = GetWndPtr();
        if (window && window->cursor().shape() != Qt::ArrowCursor)
            QGuiApplication::setOverrideCursor(QCursor(AUILibUtils::GetPlattformCursorType(static_cast<CursorTypes>(15))));
        QGuiApplication::restoreOverrideCursor();
        return;
    }
    QGuiApplication::setOverrideCursor(QCursor(AUILibUtils::GetPlattformCursorType(type)));
}

bool Dialog::LoadCustomCursor(const std::wstring& path, int hotX, int hotY)
{
    const QPixmap pixmap(ToQString(path));
    if (pixmap.isNull())
        return false;
    impl_->CustomCursor() = QCursor(pixmap, hotX, hotY);
    return true;
}

bool Dialog::LoadCustomCursor(const unsigned char* data, int length, int hotX, int hotY, ImageTypes type)
{
    if (!data || length < 1 || type != ImagePNG)
        return false;
    QImage image;
    if (!image.loadFromData(data, length, "PNG"))
        return false;
    const QPixmap pixmap = QPixmap::fromImage(image);
    if (pixmap.isNull())
        return false;
    impl_->CustomCursor() = QCursor(pixmap, hotX, hotY);
    return true;
}

void Dialog::ResizeDialogAccordingScreen(BaseGUIObject* ctrl)
{
    const double r = screenRatio_;
    QWidget* window = GetWndPtr();
    if (!window || !window->layout() || window->layout()->count() < 1 || !ctrl)
        return;
    QLayoutItem* first = window->layout()->itemAt(0);
    auto* area = first ? qobject_cast<QScrollArea*>(first->widget()) : nullptr;
    if (!area || !(ctrl == this || ctrl->GetParentWindow() == area))
        return;
    impl_->Show(true, true);
    window = GetWndPtr();
    if (!window || !area->widget() || !area->widget()->layout() || !window->layout())
        return;

    const QSize hint = area->widget()->sizeHint();
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect screenGeometry = screen->geometry();
    const int sw = screenGeometry.width();
    const int sh = screenGeometry.height();
    const int dw = window->frameGeometry().width() - window->geometry().width();
    const int dh = window->frameGeometry().height() - window->geometry().height();
    if (dw < 0 || dh < 0)
        return;
    const int fw = area->frameWidth();
    const QMargins margins = window->layout()->contentsMargins();
    const int L = margins.left(), T = margins.top(), R = margins.right(), B = margins.bottom();
    const int vbw = area->verticalScrollBar()->sizeHint().width();
    const int hbh = area->horizontalScrollBar()->sizeHint().height();

    int areaW = hint.width() + 2 * fw;
    int areaH = hint.height() + 2 * fw;
    const int needW = L + R + dw + areaW;
    const int needH = T + B + dh + dw + areaH;
    const double maxW = sw * r;
    const double maxH = sh * r;

    int winW = 0;
    int winH = 0;
    const bool wide = needW > maxW;
    if (wide) {
        winW = static_cast<int>(maxW - dw - 2 * fw);
        areaW = winW - (L + dw + R);
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
        area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        winW = hint.width() + dw + L + R;
    }
    if (needH > maxH) {
        winH = static_cast<int>(sh * r - dw - dh - 2 * fw);
        areaH = winH - (dw + T + B);
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        areaW += vbw;
        winW += vbw;
    } else {
        area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        winH = hint.height() + dw + T + B;
    }
    if (wide) {
        winH += hbh;
        areaH += hbh;
    }
    area->setMinimumSize(areaW, areaH);
    area->setMaximumSize(areaW, areaH);
    const QPoint topLeft = window->frameGeometry().topLeft();
    window->layout()->setSizeConstraint(QLayout::SetNoConstraint);
    window->setMinimumSize(winW, winH);
    window->setMaximumSize(winW, winH);
    if (!positioned_)
        window->move(topLeft);
    positioned_ = true;
}

} // namespace AUILib
