#pragma once
// A dark application palette for screenshots of the dark appearance, read
// under the Fusion style (which follows the palette in every control).
#include <QColor>
#include <QPalette>

inline QPalette DarkPalette()
{
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(45, 45, 48));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    dark.setColor(QPalette::Button, QColor(60, 60, 64));
    dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
    dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
    dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    dark.setColor(QPalette::Highlight, QColor(38, 110, 200));
    dark.setColor(QPalette::HighlightedText, QColor(255, 255, 255));
    dark.setColor(QPalette::Link, QColor(90, 160, 255));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    return dark;
}

// The dark palette with dark shades as well, for pictures of frames, lines
// and gridlines, which Qt draws with the shading roles: left unset, those
// keep their light defaults.
inline QPalette DarkPaletteWithShades()
{
    QPalette dark = DarkPalette();
    dark.setColor(QPalette::Light, QColor(80, 80, 84));
    dark.setColor(QPalette::Midlight, QColor(70, 70, 74));
    dark.setColor(QPalette::Mid, QColor(60, 60, 64));
    dark.setColor(QPalette::Dark, QColor(25, 25, 27));
    return dark;
}
