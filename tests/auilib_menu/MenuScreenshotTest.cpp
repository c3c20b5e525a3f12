// Pictures of the open menu, light and dark: a checked entry with its
// picture, a disabled entry, a separator and an open submenu.
#include "MenuTestKit.h"

#include "DarkLook.h"
#include "PicturePixels.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>

namespace {

using AUILib::ContextMenu;

QString SaveOpenMenu(const QString& name)
{
    MenuOnWindow m;
    const auto nothing = [] {};
    const int bold = m.menu->AddItem(L"Bold", nothing, ContextMenu::Checkable | ContextMenu::Checked);
    AddPicture(*m.menu, bold, QColor(43, 144, 255), true);
    AddPicture(*m.menu, bold, QColor(160, 160, 160), false);
    m.menu->AddItem(L"Italic", nothing, ContextMenu::Checkable);
    const int paste = m.menu->AddItem(L"Paste", nothing, 0);
    m.menu->EnableItem(paste, false, false);
    m.menu->AddSeparator();
    auto sub = m.menu->AddSubmenu(L"Zoom");
    sub->AddItem(L"100 %", nothing, 0);
    sub->AddItem(L"200 %", nothing, 0);
    m.menu->CheckItem(bold, true);

    QMenu* top = MenuWidget(*m.menu);
    QMenu* open = MenuWidget(*sub);
    top->popup(QPoint(20, 20));
    QAction* zoom = top->actions().last();
    top->setActiveAction(zoom);
    open->popup(top->mapToGlobal(top->actionGeometry(zoom).topRight()));
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    EXPECT_TRUE(top->isVisible());
    EXPECT_TRUE(open->isVisible());

    const QPixmap menuPicture = top->grab();
    const QPixmap subPicture = open->grab();
    const QRect zoomRect = top->actionGeometry(zoom);
    // The open submenu's entry is highlighted, off the menu's background;
    // the submenu shows its entries' texts.
    const QImage menuImage = menuPicture.toImage();
    EXPECT_LT(PixelsNear(menuImage, zoomRect, DominantColour(menuImage), 10), zoomRect.width() * zoomRect.height() / 2);
    const QImage subImage = subPicture.toImage();
    EXPECT_GT(PixelsAwayFrom(subImage, subImage.rect(), DominantColour(subImage)), 30);
    QPixmap both(menuPicture.width() + subPicture.width(),
                 std::max(menuPicture.height(), zoomRect.top() + subPicture.height()));
    both.fill(QApplication::palette().color(QPalette::Window));
    QPainter painter(&both);
    painter.drawPixmap(0, 0, menuPicture);
    painter.drawPixmap(menuPicture.width(), zoomRect.top(), subPicture);
    painter.end();
    open->close();
    top->close();

    QLabel shown;
    shown.setPixmap(both);
    shown.resize(both.size());
    return saveScreenshot(&shown, name);
}

TEST(MenuScreenshot, LightAndDark)
{
    const QString light = SaveOpenMenu(QStringLiteral("auilib_menu_open_light"));
    QString dark;
    {
        DarkLook look;
        dark = SaveOpenMenu(QStringLiteral("auilib_menu_open_dark"));
    }
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_GT(QFileInfo(light).size(), 0);
    EXPECT_GT(QFileInfo(dark).size(), 0);
}

} // namespace
