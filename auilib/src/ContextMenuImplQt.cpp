#include "ContextMenuImplQt.h"

#include "AUILibUtils.h"
#include "WideQt.h"

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <algorithm>

namespace AUILib {

namespace {

// The menu loops running now, innermost last (GUI thread only).
std::vector<ContextMenu::impl::ExecFrame*>& OpenFrames()
{
    static std::vector<ContextMenu::impl::ExecFrame*> frames;
    return frames;
}

} // namespace

ContextMenu::impl::ExecFrame::ExecFrame(QObject* menu) : menu_(menu) { OpenFrames().push_back(this); }

ContextMenu::impl::ExecFrame::~ExecFrame()
{
    std::vector<ExecFrame*>& frames = OpenFrames();
    frames.erase(std::remove(frames.begin(), frames.end(), this), frames.end());
}

void ContextMenu::impl::ExecFrame::RunHeld()
{
    // Out of the list first: a handler showing a menu again runs its own.
    std::vector<std::function<void()>> held;
    held.swap(held_);
    for (const std::function<void()>& call : held)
        call();
}

bool ContextMenu::impl::Defer(QObject* action, const std::function<void()>& call)
{
    std::vector<ExecFrame*>& frames = OpenFrames();
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        QObject* menu = (*frame)->menu_.data();
        if (!menu)
            continue;
        // Submenu windows are children of their menu's window.
        for (QObject* up = action; up; up = up->parent()) {
            if (up == menu) {
                (*frame)->held_.push_back(call);
                return true;
            }
        }
    }
    return false;
}

ContextMenu::impl::impl(QWidget* parent) : menu_(new ContextMenuQt(parent)) {}

ContextMenu::impl::~impl()
{
    const int treeNext = Top()->nextId_;
    for (ItemData& record : items_) {
        if (record.submenu && record.submenu->GetImpl()) {
            impl* child = record.submenu->GetImpl();
            child->parent_ = nullptr;
            child->nextId_ = std::max(child->nextId_, treeNext);
        }
    }
}

ContextMenu::impl* ContextMenu::impl::Top()
{
    impl* top = this;
    while (top->parent_)
        top = top->parent_;
    return top;
}

int ContextMenu::impl::GetNextID() { return Top()->nextId_++; }

bool ContextMenu::impl::ActionHasId(const QAction* action, int id)
{
    if (!action)
        return false;
    const QVariant data = action->data();
    return data.userType() == QMetaType::Int && data.toInt() == id;
}

QAction* ContextMenu::impl::ActionAt(int position) const
{
    if (!menu_)
        return nullptr;
    const QList<QAction*> actions = menu_->actions();
    return position >= 0 && position < actions.size() ? actions.at(position) : nullptr;
}

int ContextMenu::impl::KeepRecord(int position, ItemData record)
{
    const int id = record.id;
    if (position >= 0 && position < static_cast<int>(items_.size()))
        items_.insert(items_.begin() + position, std::move(record));
    else
        items_.push_back(std::move(record));
    return id;
}

int ContextMenu::impl::InsertItem(int position, ItemData record)
{
    ContextMenuQt* menu = menu_.data();
    if (!menu || (!record.handler && !record.idHandler))
        return -1;
    for (const ItemData& held : items_) {
        if (held.text == record.text)
            return -1;
    }
    QAction* before = ActionAt(position);
    // A child of the menu window, so that it goes with the window and a
    // removed one can be let go later.
    QAction* action = new QAction(ToQString(record.text), menu);
    record.id = GetNextID();
    action->setData(QVariant(record.id));
    if (record.flags & Checkable) {
        action->setCheckable(true);
        action->setChecked((record.flags & (Checkable | Checked)) == (Checkable | Checked));
    }
    menu->insertAction(before, action);
    QObject::connect(
        action, &QAction::triggered, action,
        [action, handler = record.handler, idHandler = record.idHandler, id = record.id](bool) {
            std::function<void()> call;
            if (handler)
                call = handler;
            else if (idHandler)
                call = [idHandler, id] { idHandler(id); };
            if (call && !Defer(action, call))
                call();
        },
        Qt::DirectConnection);
    return KeepRecord(position, std::move(record));
}

int ContextMenu::impl::InsertSeparator(int position)
{
    ContextMenuQt* menu = menu_.data();
    if (!menu)
        return -1;
    QAction* action = menu->insertSeparator(ActionAt(position));
    if (!action)
        return -1;
    ItemData record;
    record.id = GetNextID();
    action->setData(QVariant(record.id));
    return KeepRecord(position, std::move(record));
}

std::shared_ptr<ContextMenu> ContextMenu::impl::InsertSubmenu(int position, const std::wstring& title, bool append)
{
    ContextMenuQt* menu = menu_.data();
    if (!menu)
        return nullptr;
    // Refused before anything is made: the submenu's window is a child of
    // this menu and would stay behind, hidden, for each refused call.
    QAction* before = append ? nullptr : ActionAt(position);
    if (!append && !before)
        return nullptr;
    auto submenu = std::make_shared<ContextMenu>();
    submenu->Create(AUILibUtils::GetWndPtrFromHandle(AUILibUtils::GetHandleFromWndPtr(menu)));
    impl* child = submenu->GetImpl();
    if (!child || !child->menu_)
        return nullptr;
    child->parent_ = this;
    QAction* action = nullptr;
    if (append) {
        action = menu->addMenu(child->menu_.data());
    } else {
        action = menu->insertMenu(before, child->menu_.data());
    }
    if (!action)
        return nullptr;
    action->setText(ToQString(title));
    ItemData record;
    record.text = title;
    record.submenu = submenu;
    record.id = GetNextID();
    action->setData(QVariant(record.id));
    items_.push_back(std::move(record));
    return submenu;
}

bool ContextMenu::impl::RemoveItem(int id)
{
    ContextMenuQt* menu = menu_.data();
    QAction* found = nullptr;
    if (menu) {
        for (QAction* action : menu->actions()) {
            if (ActionHasId(action, id)) {
                found = action;
                break;
            }
        }
    }
    if (found) {
        menu->removeAction(found);
        // A handler may be removing its own entry while the action is still
        // emitting; a submenu's action belongs to the submenu's window.
        if (found->parent() == menu)
            found->deleteLater();
        EraseRecord(id);
        return true;
    }
    // Copies: a removal below may drop records of this list.
    std::vector<std::shared_ptr<ContextMenu>> submenus;
    for (const ItemData& record : items_) {
        if (record.submenu)
            submenus.push_back(record.submenu);
    }
    for (const std::shared_ptr<ContextMenu>& submenu : submenus) {
        if (submenu->RemoveItem(id))
            return true;
    }
    return false;
}

bool ContextMenu::impl::EraseRecord(int id)
{
    const auto before = items_.size();
    items_.erase(std::remove_if(items_.begin(), items_.end(), [id](const ItemData& record) { return record.id == id; }),
                 items_.end());
    if (items_.size() != before)
        return true;
    for (const ItemData& record : items_) {
        impl* child = record.submenu ? record.submenu->GetImpl() : nullptr;
        if (child && child->EraseRecord(id))
            return true;
    }
    return false;
}

int ContextMenu::impl::Count() const { return menu_ ? menu_->actions().size() : 0; }

int ContextMenu::impl::FindMenuItem(int id) const
{
    if (id < 0 || !menu_)
        return -1;
    const QList<QAction*> actions = menu_->actions();
    for (int i = 0; i < actions.size(); ++i) {
        if (ActionHasId(actions.at(i), id))
            return i;
    }
    return -1;
}

int ContextMenu::impl::GetMenuItemID(int position) const
{
    const QAction* action = ActionAt(position);
    if (!action || action->data().userType() != QMetaType::Int)
        return -1;
    return action->data().toInt();
}

int ContextMenu::impl::GetItemFlags(int id) const
{
    for (const ItemData& record : items_) {
        if (record.id == id)
            return record.flags;
    }
    return 0;
}

QAction* ContextMenu::impl::FindAction(int id) const
{
    if (id < 0)
        return nullptr;
    if (menu_) {
        for (QAction* action : menu_->actions()) {
            if (ActionHasId(action, id))
                return action;
        }
    }
    for (const ItemData& record : items_) {
        impl* child = record.submenu ? record.submenu->GetImpl() : nullptr;
        if (child) {
            if (QAction* action = child->FindAction(id))
                return action;
        }
    }
    return nullptr;
}

ItemData* ContextMenu::impl::FindRecord(int id)
{
    for (ItemData& record : items_) {
        if (record.id == id)
            return &record;
    }
    for (ItemData& record : items_) {
        impl* child = record.submenu ? record.submenu->GetImpl() : nullptr;
        if (child) {
            if (ItemData* found = child->FindRecord(id))
                return found;
        }
    }
    return nullptr;
}

std::list<int> ContextMenu::impl::ItemsWithFlag(int flag) const
{
    std::list<int> ids;
    for (const ItemData& record : items_) {
        impl* child = record.submenu ? record.submenu->GetImpl() : nullptr;
        if (child)
            ids.splice(ids.end(), child->ItemsWithFlag(flag));
        else if (record.flags & flag)
            ids.push_back(record.id);
    }
    return ids;
}

void ContextMenu::impl::SetPictureData(int id, const QImage& image, bool checked)
{
    QAction* action = FindAction(id);
    ItemData* record = FindRecord(id);
    if (!action || !record)
        return;
    if (checked) {
        if (!record->checkedPicture)
            record->checkedPicture = std::make_shared<QImage>(image);
        if (action->isCheckable() && action->isChecked())
            action->setIcon(QIcon(QPixmap::fromImage(*record->checkedPicture)));
    } else {
        if (!record->uncheckedPicture)
            record->uncheckedPicture = std::make_shared<QImage>(image);
        action->setIcon(QIcon(QPixmap::fromImage(*record->uncheckedPicture)));
    }
    if (menu_)
        menu_->repaint();
}

void ContextMenu::impl::RefreshPicture(QAction* action)
{
    if (!action || action->data().userType() != QMetaType::Int)
        return;
    const ItemData* record = FindRecord(action->data().toInt());
    if (!record)
        return;
    const std::shared_ptr<QImage>& picture = action->isChecked() ? record->checkedPicture : record->uncheckedPicture;
    if (picture)
        action->setIcon(QIcon(QPixmap::fromImage(*picture)));
}

} // namespace AUILib
