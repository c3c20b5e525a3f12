#include "ContextMenu.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ContextMenuImplQt.h"
#include "WideQt.h"

#include <QAction>
#include <QCursor>
#include <QImage>
#include <QPointer>

namespace AUILib {

namespace {

// Runs the menu's loop at a screen point, then the picked item's handler
// (held back until the loop returned), then shows the picture of the
// entry's new state. The handler may remove its own entry, drop the menu's
// window or re-create the menu: the pick is remembered by id and looked up
// again afterwards, in the same implementation only.
void ExecMenu(ContextMenu& menu, const QPoint& at)
{
    ContextMenu::impl* impl = menu.GetImpl();
    QPointer<ContextMenuQt> widget = impl ? impl->GetCtrl() : nullptr;
    if (!widget)
        return;
    int pickedId = -1;
    const QMetaObject::Connection watch =
        QObject::connect(widget.data(), &QMenu::triggered, widget.data(), [&pickedId](QAction* action) {
            const QVariant data = action ? action->data() : QVariant();
            if (data.userType() == QMetaType::Int)
                pickedId = data.toInt();
        });
    ContextMenu::impl::ExecFrame frame(widget.data());
    QAction* returned = widget->exec(at);
    if (widget)
        QObject::disconnect(watch);
    frame.RunHeld();
    if (!returned || !widget || pickedId < 0 || menu.GetImpl() != impl)
        return;
    impl->RefreshPicture(impl->FindAction(pickedId));
}

} // namespace

ContextMenu::ContextMenu() = default;

ContextMenu::~ContextMenu() = default;

bool ContextMenu::Create(QWidget* parent)
{
    if (!parent)
        return false;
    impl_ = std::make_unique<impl>(AUILibUtils::GetWndPtrFromHandle(parent));
    return true;
}

void ContextMenu::Show(bool show)
{
    if (!impl_)
        return;
    if (show) {
        ExecMenu(*this, QCursor::pos());
        return;
    }
    if (QPointer<ContextMenuQt> menu = impl_->GetCtrl())
        menu->close();
}

void ContextMenu::Show(int x, int y)
{
    if (impl_)
        ExecMenu(*this, QPoint(x, y));
}

int ContextMenu::AddItem(const std::wstring& text, const std::function<void()>& handler, int flags)
{
    return InsertItem(impl_ ? impl_->Count() : -1, text, handler, flags);
}

int ContextMenu::AddItem(const std::wstring& text, const std::function<void(int)>& handler, int flags)
{
    return InsertItem(impl_ ? impl_->Count() : -1, text, handler, flags);
}

int ContextMenu::InsertItem(int position, const std::wstring& text, const std::function<void()>& handler, int flags)
{
    return impl_ ? impl_->InsertItem(position, ItemData(text, handler, flags)) : -1;
}

int ContextMenu::InsertItem(int position, const std::wstring& text, const std::function<void(int)>& handler,
                            int flags)
{
    return impl_ ? impl_->InsertItem(position, ItemData(text, handler, flags)) : -1;
}

int ContextMenu::AddSeparator() { return impl_ ? impl_->InsertSeparator(impl_->Count()) : -1; }

int ContextMenu::InsertSeparator(int position) { return impl_ ? impl_->InsertSeparator(position) : -1; }

bool ContextMenu::RemoveItem(int id) { return impl_ && impl_->RemoveItem(id); }

bool ContextMenu::EnableItem(int id, bool enable, bool)
{
    QAction* action = impl_ ? impl_->FindAction(id) : nullptr;
    if (!action)
        return false;
    action->setEnabled(enable);
    return true;
}

bool ContextMenu::IsEnabledItem(int id)
{
    QAction* action = impl_ ? impl_->FindAction(id) : nullptr;
    return action && action->isEnabled();
}

int ContextMenu::Count() { return impl_ ? impl_->Count() : -1; }

int ContextMenu::GetMenuItemIndex(int id) { return impl_ ? impl_->FindMenuItem(id) : -1; }

int ContextMenu::GetMenuItemID(int position) { return impl_ ? impl_->GetMenuItemID(position) : -1; }

bool ContextMenu::CheckItem(int id, bool check)
{
    QAction* action = impl_ ? impl_->FindAction(id) : nullptr;
    if (!action || !action->isCheckable())
        return false;
    action->setChecked(check);
    impl_->RefreshPicture(action);
    return true;
}

bool ContextMenu::IsCheckedItem(int id)
{
    QAction* action = impl_ ? impl_->FindAction(id) : nullptr;
    return action && action->isChecked();
}

void ContextMenu::AddPictureToItem(int id, const std::wstring& path, bool checked, int, BitmapType)
{
    if (!impl_ || !impl_->FindAction(id) || !impl_->FindRecord(id))
        return;
    QImage image;
    if (image.load(ToQString(path)))
        impl_->SetPictureData(id, image, checked);
}

void ContextMenu::AddPictureToItem(int id, const unsigned char* data, int length, ImageTypes, int, BitmapType,
                                   bool checked)
{
    // A count of zero or less is no picture (and never a huge unsigned one).
    if (!impl_ || !data || length <= 0 || !impl_->FindAction(id) || !impl_->FindRecord(id))
        return;
    QImage image;
    if (image.loadFromData(data, length))
        impl_->SetPictureData(id, image, checked);
}

std::shared_ptr<ContextMenu> ContextMenu::AddSubmenu(const std::wstring& title)
{
    return impl_ ? impl_->InsertSubmenu(-1, title, true) : nullptr;
}

std::shared_ptr<ContextMenu> ContextMenu::InsertSubmenu(int position, const std::wstring& title)
{
    return impl_ ? impl_->InsertSubmenu(position, title, false) : nullptr;
}

std::list<int> ContextMenu::ItemsDisabledIfReadOnly()
{
    return impl_ ? impl_->ItemsWithFlag(DisabledIfReadOnly) : std::list<int>();
}

std::list<int> ContextMenu::ItemsDisabledIfEmptyClipBoard()
{
    return impl_ ? impl_->ItemsWithFlag(DisabledIfEmptyClipBoard) : std::list<int>();
}

std::list<int> ContextMenu::ItemsCheckable() { return impl_ ? impl_->ItemsWithFlag(Checkable) : std::list<int>(); }

std::list<int> ContextMenu::ItemsChecked()
{
    std::list<int> checked;
    for (const int id : ItemsCheckable()) {
        QAction* action = impl_->FindAction(id);
        if (action && action->isChecked())
            checked.push_back(id);
    }
    return checked;
}

int ContextMenu::GetItemFlags(int id) { return impl_ ? impl_->GetItemFlags(id) : 0; }

SkinManager* ContextMenu::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
