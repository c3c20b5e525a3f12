// Pictures of the fixture form's push buttons in every look, under a light
// and a dark application palette. The prepared sheets keep their fixed
// colours under both; unstyled buttons follow the palette.
#include "ButtonTestKit.h"

#include "AUILibConfig.h"
#include "AppLook.h"
#include "ButtonBox.h"
#include "ButtonBoxQt.h"
#include "DarkPalette.h"
#include "PicturePixels.h"
#include "PngBytes.h"
#include "Dialog.h"
#include "RecordingContextMenu.h"
#include "Screenshot.h"
#include "Translator.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QTest>

namespace {

using AUILib::Button;

QByteArray PicturePng()
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(43, 144, 255));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(2, 2, 20, 20);
    painter.end();
    return PngOf(image);
}

QString SavePanel(const QPalette& palette, const QString& name)
{
    const AppPalette look(palette);
    AUILib::SetCurrentLanguage(L"en-US", true);
    AUILib::SetWorkingDirPath(QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString());
    AUILib::Translator::GetInstance().ResetStringsTable();

    QString path;
    {
        AUILib::Dialog dialog(QString(AUILIB_FIXTURES_ENCIPHERED "/auiresources/ui/buttons.ui.kw").toStdWString());
        QPointer<QWidget> window = dialog.GetWndPtr();
        const QByteArray png = PicturePng();
        for (int style = 0; style <= 9; ++style) {
            Button* button = dialog.GetControlPtr<Button*>(L"btnStyle" + std::to_wstring(style));
            button->SetStyle(static_cast<Button::ButtonStyle>(style));
            if (style == Button::IconAboveText || style == Button::RoundedIconAboveText || style == Button::IconOnly)
                button->LoadPicture(reinterpret_cast<const unsigned char*>(png.constData()), png.size(),
                                    AUILib::ImagePNG, AUILib::ScaleKeep, 24, false);
        }
        // The two default sheets, the gradient one also disabled.
        for (const wchar_t* name : {L"btnGradient", L"btnStandard", L"btnDisabled"})
            ImplOf(*dialog.GetControlPtr<Button*>(name)).ApplyDefaultStyleSheet();
        Button* menu = dialog.GetControlPtr<Button*>(L"btnMenu");
        menu->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
        menu->SetStyle(Button::HoverBorder);

        auto* box = dialog.GetControlPtr<AUILib::ButtonBox*>(L"buttonBox");
        box->GetButton(AUILib::Ok)->SetStyle(Button::Rounded);
        box->GetButton(AUILib::Cancel)->SetBackgroundColor(0xFFE8F0FEu, true);

        dialog.DoModeless();
        QApplication::setActiveWindow(window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        EXPECT_TRUE(qobject_cast<AUILib::ButtonBoxQt*>(box->GetBaseImpl()->GetWndPtr())->IsSized());
        path = saveScreenshot(window, name);
        // What the panel shows: the window in its palette, the icon-only
        // button's picture, the Cancel button's own background.
        const QImage picture = window->grab().toImage();
        EXPECT_EQ(QColor(picture.pixel(1, 1)), palette.color(QPalette::Window));
        QWidget* iconOnly = dialog.GetControlPtr<Button*>(L"btnStyle" + std::to_wstring(Button::IconOnly))->GetPlatformWindow();
        EXPECT_GT(PixelsNear(picture, RectInWindow(iconOnly), QColor(43, 144, 255)), 100);
        QWidget* cancel = box->GetButton(AUILib::Cancel)->GetPlatformWindow();
        const QRect cancelRect = RectInWindow(cancel);
        EXPECT_GT(PixelsNear(picture, cancelRect, QColor(0xE8, 0xF0, 0xFE)), cancelRect.width() * cancelRect.height() / 2);
        delete window.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return path;
}

TEST(ButtonScreenshot, LightAndDarkPanels)
{
    const QString light = SavePanel(QApplication::style()->standardPalette(), QStringLiteral("auilib_button_panel_light"));
    const QString dark = SavePanel(DarkPalette(), QStringLiteral("auilib_button_panel_dark"));
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_GT(QFileInfo(light).size(), 0);
    EXPECT_GT(QFileInfo(dark).size(), 0);
}

} // namespace
