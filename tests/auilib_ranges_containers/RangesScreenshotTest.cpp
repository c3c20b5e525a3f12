// Pictures of the spin edits, slider, scroll bar, date edit (with its
// drop-down picture) and drawing pad (after a stroke; white by design)
// under a light and a dark application palette.
#include "AppLook.h"
#include "DarkPalette.h"
#include "PicturePixels.h"
#include "RangesTestKit.h"
#include "Screenshot.h"
#include "TempFolder.h"

#include "DateEdit.h"
#include "DateEditQt.h"
#include "DoubleSpinEdit.h"
#include "DrawElement.h"
#include "ScrollBar.h"
#include "Slider.h"
#include "SpinEdit.h"

#include <QFileInfo>
#include <QFormLayout>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>

#include <sys/stat.h>

using namespace AUILib;

namespace {

QString SavePanel(const QPalette& palette, const QString& name, const QString& picture)
{
    const AppPalette look(palette);
    QString path;
    {
        QWidget panel;
        auto* form = new QFormLayout(&panel);

        SpinEdit spin;
        spin.Create(&panel);
        spin.SetRange(0, 500);
        spin.SetSuffix(L" px");
        spin.SetValue(12);
        form->addRow(QStringLiteral("Spin edit"), spin.GetBaseImpl()->GetWndPtr());

        DoubleSpinEdit decimal;
        decimal.Create(&panel);
        decimal.SetDecimalChar(',');
        decimal.SetSuffix(L" kg");
        decimal.SetValue(2.5);
        form->addRow(QStringLiteral("Decimal spin edit"), decimal.GetBaseImpl()->GetWndPtr());

        Slider slider;
        slider.Create(&panel);
        qobject_cast<QSlider*>(slider.GetBaseImpl()->GetWndPtr())->setOrientation(Qt::Horizontal);
        slider.SetValue(40);
        form->addRow(QStringLiteral("Slider"), slider.GetBaseImpl()->GetWndPtr());

        ScrollBar bar;
        bar.Create(&panel);
        qobject_cast<QScrollBar*>(bar.GetBaseImpl()->GetWndPtr())->setOrientation(Qt::Horizontal);
        bar.SetPageSize(20);
        bar.SetValue(30);
        bar.SetBackgroundColor(0xF0C000);
        form->addRow(QStringLiteral("Scroll bar"), bar.GetBaseImpl()->GetWndPtr());

        DateEdit date;
        date.Create(&panel);
        qobject_cast<DateEditQt*>(date.GetWndPtr())->setCalendarPopup(true);
        KwDateTime day;
        day.year = 2024;
        day.month = 2;
        day.day = 29;
        date.SetDateTime(day);
        date.LoadPicture(picture.toStdWString());
        EXPECT_FALSE(date.GetWndPtr()->styleSheet().isEmpty());
        form->addRow(QStringLiteral("Date edit"), date.GetWndPtr());

        DrawElement pad;
        pad.Create(&panel);
        QWidget* padWidget = pad.GetBaseImpl()->GetWndPtr();
        padWidget->setMinimumSize(220, 90);
        form->addRow(QStringLiteral("Drawing pad"), padWidget);

        panel.resize(360, 320);
        panel.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
        pad.SetLineColor(0x2060C0);
        DragAlong(padWidget, {QPoint(20, 60), QPoint(60, 25), QPoint(100, 65), QPoint(140, 25), QPoint(190, 60)});
        EXPECT_NE(std::unique_ptr<QImage>(pad.GetImage()), nullptr);
        path = saveScreenshot(&panel, name);
        // The line drawn on the pad, in its colour.
        const QImage picture = panel.grab().toImage();
        EXPECT_GT(PixelsNear(picture, RectInWindow(padWidget), QColor(0x20, 0x60, 0xC0), 60), 100);
    }
    return path;
}

TEST(RangesScreenshot, LightAndDarkPanels)
{
    TempFolder temp;
    ASSERT_TRUE(temp.IsValid());
    const std::string folder = temp.Path("drop pictures");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const QString picture = QString::fromStdString(folder + "/calendar.png");
    ASSERT_TRUE(WriteDropPicture(picture, QColor(40, 90, 170), QColor(220, 232, 250)));

    const QString light =
        SavePanel(QApplication::style()->standardPalette(), QStringLiteral("auilib_ranges_controls_light"), picture);
    const QString dark = SavePanel(DarkPalette(), QStringLiteral("auilib_ranges_controls_dark"), picture);
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_GT(QFileInfo(light).size(), 0);
    EXPECT_GT(QFileInfo(dark).size(), 0);
}

} // namespace
