// The private part of ContextMenu: the menu window, watched only (its Qt
// parent owns it).
#pragma once

#include "ContextMenu.h"
#include "ContextMenuQt.h"

#include <QPointer>

namespace AUILib {

class ContextMenu::impl {
public:
    explicit impl(QWidget* parent) : menu_(new ContextMenuQt(parent)) {}

    QPointer<ContextMenuQt> GetCtrl() const { return menu_; }

private:
    QPointer<ContextMenuQt> menu_;
};

} // namespace AUILib
