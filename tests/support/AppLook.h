#pragma once
// The application's look changed for one scope of a picture test and put
// back when the scope ends: its palette alone, or the Fusion style with a
// palette (Fusion follows the palette in every control).
#include <QApplication>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

class AppPalette
{
public:
    explicit AppPalette(const QPalette& palette) : m_saved(QApplication::palette())
    {
        QApplication::setPalette(palette);
    }
    ~AppPalette() { QApplication::setPalette(m_saved); }
    AppPalette(const AppPalette&) = delete;
    AppPalette& operator=(const AppPalette&) = delete;

private:
    QPalette m_saved;
};

class FusionLook
{
public:
    explicit FusionLook(const QPalette& palette)
        : m_palette(QApplication::palette()), m_styleName(QApplication::style()->objectName())
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(palette);
    }
    ~FusionLook()
    {
        if (QStyle* style = QStyleFactory::create(m_styleName))
            QApplication::setStyle(style);
        QApplication::setPalette(m_palette);
    }
    FusionLook(const FusionLook&) = delete;
    FusionLook& operator=(const FusionLook&) = delete;

private:
    QPalette m_palette;
    QString m_styleName;
};

// Fusion with its own light palette, the counterpart of DarkLook, so that a
// light picture and a dark one differ only in their colours.
class LightLook : public FusionLook
{
public:
    LightLook() : FusionLook(FusionPalette()) {}

private:
    static QPalette FusionPalette()
    {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        return fusion->standardPalette();
    }
};
