// One enciphered form holding the fourteen range and container controls,
// loaded through Dialog: every control is found under its name with its
// type, the lines take their direction from the form, and pictures of the
// form and of each control are saved under a light and a dark palette
// (Fusion): the group box with both lines, the date edit with its drop-down
// picture, the drawing pad after a stroke.
#include "AppLook.h"
#include "DarkPalette.h"
#include "RangesTestKit.h"
#include "Screenshot.h"
#include "TempFolder.h"
#include "WindowGuard.h"

#include "AUILibConfig.h"
#include "ChildDialog.h"
#include "DateEdit.h"
#include "Dialog.h"
#include "DrawElement.h"
#include "ProgressBar.h"
#include "SpinEdit.h"
#include "StackedDialog.h"
#include "TabView.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QPainter>
#include <QPointer>

#include <sys/stat.h>

#include <memory>
#include <string>

using namespace AUILib;

namespace {

std::wstring FormPath()
{
    return QStringLiteral(AUILIB_FIXTURES_ENCIPHERED "/auiresources/ui/rangescontainers.ui.kw").toStdWString();
}

struct Expected {
    const wchar_t* name;
    ControlType type;
    const char* widgetClass;
};

// The fourteen controls, and the pages and panels that are child dialogs.
const Expected kControls[] = {
    {L"groupBox", ControlTypeGroupBox, "AUILib::GroupBoxQt"},
    {L"lineVertical", ControlTypeLine, "AUILib::LineQt"},
    {L"lineHorizontal", ControlTypeLine, "AUILib::LineQt"},
    {L"progressBar", ControlTypeProgressBar, "AUILib::ProgressBarQt"},
    {L"childDialog", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
    {L"stackedDialog", ControlTypeStackedDialog, "AUILib::StackedDialogQt"},
    {L"tabView", ControlTypeTabView, "AUILib::TabViewQt"},
    {L"splitter", ControlTypeSplitter, "AUILib::SplitterQt"},
    {L"scrollArea", ControlTypeScrollArea, "AUILib::ScrollAreaQt"},
    {L"spinEdit", ControlTypeSpinEdit, "AUILib::SpinEditQt"},
    {L"doubleSpinEdit", ControlTypeDoubleSpinEdit, "AUILib::DoubleSpinEditQt"},
    {L"slider", ControlTypeSlider, "AUILib::SliderQt"},
    {L"scrollBar", ControlTypeScrollBar, "AUILib::ScrollBarQt"},
    {L"dateEdit", ControlTypeDateEdit, "AUILib::DateEditQt"},
    {L"drawElement", ControlTypeDrawElement, "AUILib::DrawElementQt"},
    {L"tabFirst", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
    {L"tabSecond", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
    {L"stackFirst", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
    {L"stackSecond", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
    {L"splitterRight", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
    {L"scrollContents", ControlTypeChildDialog, "AUILib::ChildDialogQt"},
};

template <typename T>
std::shared_ptr<T> Find(const Dialog& dialog, const wchar_t* name)
{
    return std::dynamic_pointer_cast<T>(dialog.GetElementByName(name));
}

QWidget* WidgetNamed(const Dialog& dialog, const wchar_t* name)
{
    auto control = dialog.GetElementByName(name);
    return control ? control->GetBaseImpl()->GetWndPtr() : nullptr;
}

TEST(RangesContainersForm, EveryControlIsFoundWithItsType)
{
    Dialog dialog(FormPath());
    WindowGuard guard(dialog.GetWndPtr());
    for (const Expected& e : kControls) {
        SCOPED_TRACE(QString::fromWCharArray(e.name).toStdString());
        auto control = dialog.GetElementByName(e.name);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->GetControlType(), e.type);
        EXPECT_EQ(control->GetName(), e.name);
        QWidget* widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_TRUE(widget);
        EXPECT_STREQ(widget->metaObject()->className(), e.widgetClass);
        EXPECT_EQ(widget->objectName(), QString::fromWCharArray(e.name));
        EXPECT_TRUE(dialog.GetWndPtr()->isAncestorOf(widget));
    }

    // The lines take their direction from the form and stand in the box.
    QWidget* box = WidgetNamed(dialog, L"groupBox");
    auto* vertical = qobject_cast<QFrame*>(WidgetNamed(dialog, L"lineVertical"));
    auto* horizontal = qobject_cast<QFrame*>(WidgetNamed(dialog, L"lineHorizontal"));
    ASSERT_TRUE(vertical && horizontal);
    EXPECT_EQ(vertical->frameShape(), QFrame::VLine);
    EXPECT_EQ(horizontal->frameShape(), QFrame::HLine);
    EXPECT_EQ(vertical->frameShadow(), QFrame::Plain);
    EXPECT_TRUE(box->isAncestorOf(vertical));
    EXPECT_TRUE(box->isAncestorOf(horizontal));

    // The pages the form put into the containers are reached through them.
    auto tabs = Find<TabView>(dialog, L"tabView");
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->GetItemCount(), 2);
    EXPECT_EQ(tabs->GetTabText(1), L"Second");
    auto stack = Find<StackedDialog>(dialog, L"stackedDialog");
    ASSERT_TRUE(stack);
    EXPECT_EQ(stack->GetPage(0), WidgetNamed(dialog, L"stackFirst"));
    EXPECT_EQ(stack->GetPage(1), WidgetNamed(dialog, L"stackSecond"));
    EXPECT_EQ(stack->GetPage(2), nullptr);
    auto bar = Find<ProgressBar>(dialog, L"progressBar");
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->GetValue(), 40);
}

// Whether the middle column of a vertical line's picture holds a pixel of
// the line's colour, which the edge column does not.
bool DrawsVerticalLine(QWidget* line)
{
    const QImage image = line->grab().toImage();
    const QColor ink = line->palette().color(QPalette::WindowText);
    const int y = image.height() / 2;
    return image.height() > image.width() && image.pixelColor(image.width() / 2, y) == ink &&
           image.pixelColor(0, y) != ink;
}

// Loads the form under look, fills it and saves the pictures; returns the
// paths (empty on a failure).
QStringList SavePictures(const QString& look, const QString& dropPicture)
{
    QStringList paths;
    Dialog dialog(FormPath());
    QWidget* window = dialog.GetWndPtr();
    WindowGuard guard(window);

    // The integer spin edit keeps a 64-bit range of its own, which the form's
    // Qt properties do not reach: its value is set here.
    auto spin = Find<SpinEdit>(dialog, L"spinEdit");
    spin->SetRange(0, 500);
    spin->SetValue(12);
    auto date = Find<DateEdit>(dialog, L"dateEdit");
    KwDateTime day;
    day.year = 2024;
    day.month = 2;
    day.day = 29;
    EXPECT_TRUE(date->SetDateTime(day));
    date->LoadPicture(dropPicture.toStdWString());
    EXPECT_TRUE(date->GetWndPtr()->styleSheet().contains(QStringLiteral("url(")));
    Find<ChildDialog>(dialog, L"childDialog")->SetBackgroundColor(0x2E8B57);
    Find<ChildDialog>(dialog, L"scrollContents")->SetBackgroundColor(0xB0C4DE);
    Find<ProgressBar>(dialog, L"progressBar")->SetValue(65);

    dialog.DoModeless();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    QWidget* pad = WidgetNamed(dialog, L"drawElement");
    DragAlong(pad, {QPoint(20, 60), QPoint(60, 25), QPoint(100, 65), QPoint(140, 25), QPoint(185, 60)});
    EXPECT_NE(std::unique_ptr<QImage>(Find<DrawElement>(dialog, L"drawElement")->GetImage()), nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(DrawsVerticalLine(WidgetNamed(dialog, L"lineVertical")));

    paths << saveScreenshot(window, QStringLiteral("auilib_ranges_containers_form_") + look);
    for (const Expected& e : kControls) {
        if (e.type == ControlTypeChildDialog && QString::fromWCharArray(e.name) != QLatin1String("childDialog"))
            continue;   // pages and panels show in their containers
        paths << saveScreenshot(WidgetNamed(dialog, e.name),
                                QStringLiteral("auilib_ranges_containers_%1_%2")
                                    .arg(QString::fromWCharArray(e.name), look));
    }
    return paths;
}

TEST(RangesContainersForm, LightAndDarkPicturesOfEveryControl)
{
    TempFolder temp;
    ASSERT_TRUE(temp.IsValid());
    const std::string folder = temp.Path("drop pictures");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const QString picture = QString::fromStdString(folder + "/calendar.png");
    ASSERT_TRUE(WriteDropPicture(picture, QColor(170, 60, 40), QColor(250, 226, 220)));

    QStringList light, dark;
    {
        LightLook look;
        light = SavePictures(QStringLiteral("light"), picture);
    }
    {
        FusionLook look(DarkPaletteWithShades());
        dark = SavePictures(QStringLiteral("dark"), picture);
    }
    // The form, then the fourteen controls with both lines.
    ASSERT_EQ(light.size(), 16);
    ASSERT_EQ(dark.size(), 16);
    for (int i = 0; i < light.size(); ++i) {
        SCOPED_TRACE(light[i].toStdString());
        ASSERT_FALSE(light[i].isEmpty());
        ASSERT_FALSE(dark[i].isEmpty());
        EXPECT_GT(QFileInfo(light[i]).size(), 0);
        EXPECT_GT(QFileInfo(dark[i]).size(), 0);
    }
    // The dark form is darker than the light one where the window shows.
    const QImage lightForm(light[0]);
    const QImage darkForm(dark[0]);
    EXPECT_GT(qGray(lightForm.pixel(2, 2)), qGray(darkForm.pixel(2, 2)) + 100);
}

} // namespace
