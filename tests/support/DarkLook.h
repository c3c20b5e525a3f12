// The dark application look of the screenshots: Fusion with a dark
// palette, the earlier style and palette back when the scope ends.
#pragma once

#include <QApplication>
#include <QPalette>
#include <QString>
#include <QStyle>
#include <QStyleFactory>

class DarkLook {
public:
    DarkLook() : palette_(QApplication::palette()), style_(QApplication::style()->objectName())
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QPalette dark;
        dark.setColor(QPalette::Window, QColor(45, 45, 48));
        dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
        dark.setColor(QPalette::Base, QColor(30, 30, 30));
        dark.setColor(QPalette::AlternateBase, QColor(40, 40, 44));
        dark.setColor(QPalette::Text, QColor(230, 230, 230));
        dark.setColor(QPalette::Button, QColor(60, 60, 64));
        dark.setColor(QPalette::ButtonText, QColor(230, 230, 230));
        dark.setColor(QPalette::Highlight, QColor(38, 110, 200));
        dark.setColor(QPalette::HighlightedText, Qt::white);
        dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
        dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
        dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
        QApplication::setPalette(dark);
    }
    ~DarkLook()
    {
        QApplication::setStyle(QStyleFactory::create(style_));
        QApplication::setPalette(palette_);
    }
    DarkLook(const DarkLook&) = delete;
    DarkLook& operator=(const DarkLook&) = delete;

private:
    QPalette palette_;
    QString style_;
};
