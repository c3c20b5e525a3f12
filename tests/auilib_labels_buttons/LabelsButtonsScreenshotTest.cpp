// Pictures of the fixture form's labels, links, buttons, check boxes,
// radio buttons and button boxes in their looks, light and dark under
// Fusion: <build>/screenshots/auilib_labels_buttons_{light,dark}.png.
#include "FormTestSupport.h"
#include "LabelsButtonsKit.h"

#include "AppLook.h"
#include "Button.h"
#include "ButtonBox.h"
#include "DarkPalette.h"
#include "OutlineContrast.h"
#include "PngBytes.h"
#include "RecordingContextMenu.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QEnterEvent>
#include <QFileInfo>
#include <QPainter>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>

#include <cstdio>

namespace {

using namespace AUILib;

QByteArray DiscPng()
{
    QImage image(28, 28, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(43, 144, 255));
    painter.drawEllipse(2, 2, 24, 24);
    painter.setBrush(QColor(255, 190, 40));
    painter.drawEllipse(9, 9, 10, 10);
    painter.end();
    return PngOf(image);
}

// Every control in its look; the window shown and active. boxContrast: how
// far an unchecked box's outline stands out from the window.
QString SavePanel(const QPalette& palette, const QString& name, bool dark, int* boxContrast)
{
    const AppPalette look(palette);
    QString path;
    {
        LabelsButtonsForm form;
        const QByteArray disc = DiscPng();
        auto* paragraph = form.Named<Label>(L"lblParagraph");
        paragraph->SetWordWrap(true);
        paragraph->SetLineSpacing(140);
        form.Named<Label>(L"lblTruncated")->TruncateTextToEllipses(true);
        auto* disabled = form.Named<Label>(L"lblDisabled");
        disabled->SetTextColor(0x6432C8);
        disabled->Enable(false, false);
        form.Named<Label>(L"lblPicture")->LoadPicture(Data(disc), disc.size(), ImagePNG, ScaleKeep, 0);

        auto* visited = form.Named<HyperLinkElement>(L"lnkVisited");
        visited->SetColors(0xFF2189F7u, 0xFF8E44ADu, 0xFFE74C3Cu);
        form.Named<HyperLinkElement>(L"lnkHover")->SetColors(0xFF2189F7u, 0xFF8E44ADu, 0xFFE74C3Cu);

        form.Named<Button>(L"btnRounded")->SetStyle(Button::Rounded);
        auto* link = form.Named<Button>(L"btnLink");
        link->SetStyle(Button::Link);
        // The link style's prepared sheet has a fixed dark text; a dark
        // window gives it a light one, as an application would.
        if (dark)
            link->SetTextColor(0xFFE6E6E6u, 0xFF787878u);
        form.Named<Button>(L"btnMenu")->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
        auto* menuOff = form.Named<Button>(L"btnMenuDisabled");
        menuOff->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
        menuOff->Enable(false, false);

        auto* tristate = form.Named<CheckBox>(L"chkTristate");
        tristate->SetTristate(true);
        tristate->SetCheck(CheckBoxIndeterminate);
        auto* wrapped = form.Named<CheckBox>(L"chkWrapped");
        wrapped->SetWrap(true);
        wrapped->SetCheck(CheckBoxChecked);
        form.Named<RadioButton>(L"rdoText")->SetCheck();
        form.Named<RadioButton>(L"rdoPicture")->LoadPicture(Data(disc), disc.size(), ImagePNG, ScaleKeep, 0);
        form.Named<ButtonBox>(L"bbxStacked")->SetOrientation(true);

        EXPECT_TRUE(form.ShowActive());
        // After the show, which draws every link in its link colour.
        visited->SetVisited(true);
        QWidget* hover = form.Named<HyperLinkElement>(L"lnkHover")->GetBaseImpl()->GetWndPtr();
        QEnterEvent enter(QPointF(3, 3), QPointF(3, 3), hover->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(hover, &enter);
        path = saveScreenshot(form.Window(), name);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(hover, &leave);

        tristate->SetCheck(CheckBoxUnchecked);
        auto* box = qobject_cast<QCheckBox*>(tristate->GetBaseImpl()->GetWndPtr());
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        *boxContrast = OutlineContrast(box->grab().toImage(), indicator, box->palette().color(QPalette::Window));
    }
    return path;
}

TEST(LabelsButtonsScreenshot, LightAndDarkPanels)
{
    const QString style = QApplication::style()->objectName();
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    int lightBox = 0;
    int darkBox = 0;
    const QString light = SavePanel(QApplication::style()->standardPalette(),
                                    QStringLiteral("auilib_labels_buttons_light"), false, &lightBox);
    const QString dark = SavePanel(DarkPalette(), QStringLiteral("auilib_labels_buttons_dark"), true, &darkBox);
    QApplication::setStyle(QStyleFactory::create(style));
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_GT(QFileInfo(light).size(), 0);
    EXPECT_GT(QFileInfo(dark).size(), 0);
    std::printf("unchecked box outline: %d levels light, %d dark\n", lightBox, darkBox);
    // The dark box as clear as the light one.
    EXPECT_GE(lightBox, 40);
    EXPECT_GE(darkBox, lightBox - lightBox / 10);
}

} // namespace
