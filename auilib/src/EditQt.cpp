#include "EditQt.h"

#include "AUILibUtils.h"
#include "ContextMenu.h"
#include "Edit.h"
#include "EmissionHold.h"
#include "IcoBytes.h"
#include "WideQt.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPixmap>

#include <list>
#include <memory>
#include <set>

namespace AUILib {

EditQt::EditQt() : QLineEdit(nullptr) {}

EditQt::~EditQt() = default;

void EditQt::EnableExtendedButton(const QString& normalIcon, const QString& hoverIcon)
{
    if (buttonEnabled_)
        return;
    normalIcon_ = QIcon(normalIcon);
    hoverIcon_ = QIcon(hoverIcon);
    QAction* action = addAction(normalIcon_, QLineEdit::TrailingPosition);
    connect(action, &QAction::triggered, this, [this] {
        Edit* owner = GetOwner();
        if (!owner)
            return;
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnExtendedButtonClicked.Emit();
    });
    connect(action, &QAction::hovered, this, [this] {
        if (button_)
            button_->setIcon(hoverIcon_);
        hoverShown_ = true;
    });
    button_ = findChild<QToolButton*>();
    buttonEnabled_ = true;
}

void EditQt::ExtendedButtonSetImage(const QString& normalIcon, const QString& hoverIcon)
{
    if (!buttonEnabled_ || !button_)
        return;
    normalIcon_ = QIcon(normalIcon);
    hoverIcon_ = QIcon(hoverIcon);
    button_->setIcon(normalIcon_);
}

void EditQt::ExtendedButtonSetImage(const unsigned char* data, int length, int type, bool hover)
{
    if (!data || length <= 0)
        return;
    QIcon icon;
    if (type == ImageICO) {
        if (QImage::fromData(data, length, "ICO").isNull())
            return;  // QIcon takes any file it cannot read for an empty icon
        icon = IconFromIcoBytes(data, length);
    } else {
        QPixmap pixmap;
        pixmap.loadFromData(data, static_cast<uint>(length),
                            AUILibUtils::ImageTypeToStr(static_cast<ImageTypes>(type)).c_str());
        pixmap.setDevicePixelRatio(devicePixelRatioF());
        if (!pixmap.isNull())
            icon = QIcon(pixmap);
    }
    if (icon.isNull())
        return;  // undecodable bytes leave the icon as it was
    if (hover)
        hoverIcon_ = icon;
    else
        normalIcon_ = icon;
    if (button_)
        button_->setIcon(normalIcon_);
}

void EditQt::Paste()
{
    // Read-only: no paste happens, so nobody hears of one.
    if (isReadOnly())
        return;
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    QPointer<EditQt> alive(this);
    if (Edit* owner = GetOwner()) {
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnPaste.Emit(ToWide(text));
    }
    if (alive)
        insert(text);
}

void EditQt::mouseMoveEvent(QMouseEvent* event)
{
    if (buttonEnabled_ && hoverShown_) {
        if (button_)
            button_->setIcon(normalIcon_);
        hoverShown_ = false;
    }
    QLineEdit::mouseMoveEvent(event);
}

void EditQt::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void EditQt::contextMenuEvent(QContextMenuEvent* event)
{
    QPointer<EditQt> alive(this);
    const QPoint globalPosition = event->globalPos();
    if (Edit* owner = GetOwner()) {
        const EmissionHold hold(owner->GetBaseImpl());
        owner->OnContextMenu.Emit();
    }
    if (!alive)
        return;
    Edit* owner = GetOwner();
    if (std::shared_ptr<ContextMenu> menu = owner ? owner->GetContextMenu() : nullptr) {
        // The caller's menu replaces the standard one even when it is empty:
        // then nothing shows.
        if (menu->Count() > 0)
            ShowCallerMenu(*menu);
        return;
    }
    ShowStandardMenu(globalPosition);
}

void EditQt::ShowCallerMenu(ContextMenu& menu)
{
    const std::list<int> readOnlyIds = menu.ItemsDisabledIfReadOnly();
    const std::list<int> clipboardIds = menu.ItemsDisabledIfEmptyClipBoard();
    std::set<int> ids(readOnlyIds.begin(), readOnlyIds.end());
    ids.insert(clipboardIds.begin(), clipboardIds.end());
    for (int id : ids)
        menu.EnableItem(id, true, false);
    if (isReadOnly()) {
        for (int id : readOnlyIds)
            menu.EnableItem(id, false, false);
    }
    if (QGuiApplication::clipboard()->text().isEmpty()) {
        for (int id : clipboardIds)
            menu.EnableItem(id, false, false);
    }
    menu.Show(true);
}

void EditQt::ShowStandardMenu(const QPoint& globalPosition)
{
    QMenu* menu = createStandardContextMenu();
    const QString paste = QLineEdit::tr("&Paste");
    for (QAction* action : menu->actions()) {
        if (!action->text().startsWith(paste))
            continue;
        action->disconnect();
        action->setShortcut(QKeySequence::Paste);
        connect(action, &QAction::triggered, this, &EditQt::Paste, Qt::DirectConnection);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

} // namespace AUILib
