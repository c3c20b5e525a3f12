#include "ContextMenu.h"

#include "AUILibConfig.h"
#include "AUILibUtils.h"
#include "ContextMenuImplQt.h"

namespace AUILib {

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
    if (show || !impl_)
        return;  // no entries to pop up yet
    if (QPointer<ContextMenuQt> menu = impl_->GetCtrl())
        menu->close();
}

void ContextMenu::Show(int, int) {}

SkinManager* ContextMenu::GetSkinManager() { return GetGlobalSkinManager(); }

} // namespace AUILib
