// Shared pieces of the menu tests: a created menu on its own parent window,
// the menu's Qt window and actions, and small PNG pictures in one colour.
#pragma once

#include "ContextMenu.h"
#include "ContextMenuImplQt.h"

#include <QAction>
#include <QBuffer>
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

inline QByteArray SolidPng(const QColor& colour, int edge = 16)
{
    QImage image(edge, edge, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

inline void AddPicture(AUILib::ContextMenu& menu, int id, const QColor& colour, bool checked)
{
    const QByteArray png = SolidPng(colour);
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
