// Pictures, light and dark: the combo box's open list with a header, a
// separator, pictures and a disabled entry; an edit-list-mode combo box;
// the file-system combo box's open list.
#include "ComboTestKit.h"

#include "ComboBoxFS.h"
#include "ComboBoxFSImplQt.h"
#include "DarkLook.h"
#include "PicturePixels.h"
#include "PngBytes.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>

namespace {

using AUILib::any;

QByteArray Dot(const QColor& colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(1, 1, 14, 14);
    painter.end();
    return PngOf(image);
}

// The box and its open list in one picture; the list's picture in *list.
QString SaveWithList(QComboBox* box, const QString& name, QImage* list)
{
    box->showPopup();
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    QWidget* shownList = box->view()->window();
    EXPECT_TRUE(shownList->isVisible());
    const QPixmap boxPicture = box->grab();
    const QPixmap listPicture = shownList->grab();
    *list = listPicture.toImage();
    QPixmap both(std::max(boxPicture.width(), listPicture.width()), boxPicture.height() + listPicture.height() + 4);
    both.fill(QApplication::palette().color(QPalette::Window));
    QPainter painter(&both);
    painter.drawPixmap(0, 0, boxPicture);
    painter.drawPixmap(0, boxPicture.height() + 4, listPicture);
    painter.end();
    box->hidePopup();
    QLabel shown;
    shown.setPixmap(both);
    shown.resize(both.size());
    return saveScreenshot(&shown, name);
}

// Each picture is checked for what it shows: the pictures of the entries,
// the colours of the look, the folders' names.
std::vector<QString> SaveAll(const QString& look, bool dark)
{
    std::vector<QString> paths;
    QImage list;
    auto followsLook = [dark](const QImage& image) {
        return dark ? MeanLightness(image) < 110 : MeanLightness(image) > 150;
    };
    {
        ComboOnWindow c;
        c.box->AddSeparator(L"Recent", any());
        c.box->AddItem(L"Report.pdf", any(1));
        c.box->AddItem(L"Slides.pdf", any(2));
        c.box->AddSeparator(L"", any());
        c.box->AddSeparator(L"Shared", any());
        c.box->AddItem(L"Budget.pdf", any(3));
        c.box->AddItem(L"Locked.pdf", any(4));
        const QByteArray blue = Dot(QColor(43, 144, 255)), orange = Dot(QColor(240, 140, 30));
        for (int row : {1, 2, 5, 6}) {
            const QByteArray& dot = row < 5 ? blue : orange;
            c.box->AddPicture(row, reinterpret_cast<const unsigned char*>(dot.constData()), dot.size(),
                              AUILib::ImagePNG, AUILib::ScaleKeep, AUILib::Size{16, 16}, AUILib::BitmapDefault);
        }
        c.box->DisableItem(6, true);
        c.box->SetCurSel(1);
        paths.push_back(SaveWithList(c.widget(), QStringLiteral("auilib_combo_list_") + look, &list));
        EXPECT_GT(PixelsNear(list, list.rect(), QColor(43, 144, 255)), 2 * 100);   // two blue dots
        EXPECT_GT(PixelsNear(list, list.rect(), QColor(240, 140, 30)), 100);       // the enabled orange one
        EXPECT_TRUE(followsLook(list)) << MeanLightness(list);
    }
    {
        ComboOnWindow c;
        c.box->AddItem(L"100 %", any());
        c.box->AddItem(L"200 %", any());
        c.box->SetEditable(true);
        c.box->SetCurSel(-1);
        c.box->EnableEditListMode(true);
        paths.push_back(saveScreenshot(c.widget(), QStringLiteral("auilib_combo_editlist_") + look));
        const QImage box = c.widget()->grab().toImage();
        EXPECT_TRUE(followsLook(box)) << MeanLightness(box);
    }
    {
        QWidget window;
        window.setGeometry(100, 100, 300, 80);
        AUILib::ComboBoxFS folders;
        folders.Create(&window);
        auto* widget = static_cast<AUILib::ComboBoxFS::impl*>(folders.GetBaseImpl().get())->GetWidget();
        widget->setGeometry(10, 10, 220, 28);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
        folders.InitComboBoxFS();
        paths.push_back(SaveWithList(widget, QStringLiteral("auilib_combo_folders_") + look, &list));
        const QColor base = widget->view()->palette().color(QPalette::Base);
        EXPECT_GT(PixelsAwayFrom(list, list.rect(), base), 100);   // the folders' names
    }
    return paths;
}

TEST(ComboScreenshot, LightAndDark)
{
    std::vector<QString> paths = SaveAll(QStringLiteral("light"), false);
    {
        DarkLook look;
        const std::vector<QString> dark = SaveAll(QStringLiteral("dark"), true);
        paths.insert(paths.end(), dark.begin(), dark.end());
    }
    ASSERT_EQ(paths.size(), 6u);
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_FALSE(path.isEmpty());
        EXPECT_GT(QFileInfo(path).size(), 0);
    }
}

} // namespace
