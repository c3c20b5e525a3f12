// Shared pieces of the menu tests: a created menu on its own parent window,
// the menu's Qt window and actions, and a picture of one colour on an item.
#pragma once

#include "ContextMenu.h"
#include "ContextMenuImplQt.h"
#include "PngBytes.h"

#include <QAction>
#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <memory>

inline QMenu* MenuWidget(AUILib::ContextMenu& menu)
{
    return menu.GetImpl() ? menu.GetImpl()->GetCtrl().data() : nullptr;
}

inline QAction* ActionAt(AUILib::ContextMenu& menu, int position)
{
    QMenu* widget = MenuWidget(menu);
    return widget && position < widget->actions().size() ? widget->actions().at(position) : nullptr;
}

inline void AddPicture(AUILib::ContextMenu& menu, int id, const QColor& colour, bool checked)
{
    const QByteArray png = PngBytes(16, 16, colour);
    menu.AddPictureToItem(id, reinterpret_cast<const unsigned char*>(png.constData()), png.size(), AUILib::ImagePNG, 0,
                          AUILib::BitmapDefault, checked);
}

// The colour in the middle of the action's icon; invalid without an icon.
inline QColor IconColour(const QAction* action)
{
    if (!action || action->icon().isNull())
        return QColor();
    const QImage image = action->icon().pixmap(16, 16).toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

class MenuOnWindow {
public:
    MenuOnWindow() : window(new QWidget), menu(std::make_shared<AUILib::ContextMenu>())
    {
        window->setGeometry(100, 100, 200, 150);
        menu->Create(window);
    }
    ~MenuOnWindow()
    {
        menu.reset();
        delete window.data();
    }
    MenuOnWindow(const MenuOnWindow&) = delete;
    MenuOnWindow& operator=(const MenuOnWindow&) = delete;

    QPointer<QWidget> window;
    std::shared_ptr<AUILib::ContextMenu> menu;
};
