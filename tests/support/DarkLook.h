#pragma once
// A dark application palette under the Fusion style for the pictures of a
// test, the earlier style and palette put back when it goes.
#include <QApplication>
#include <QPalette>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>

class DarkLook
{
public:
    DarkLook() : m_palette(QApplication::palette()), m_styleName(QApplication::style()->objectName())
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
        dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 64));
        dark.setColor(QPalette::ToolTipText, QColor(230, 230, 230));
        dark.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
        dark.setColor(QPalette::Highlight, QColor(38, 110, 200));
        dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
        dark.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
        dark.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
        QApplication::setPalette(dark);
    }
    ~DarkLook()
    {
        if (QStyle* style = QStyleFactory::create(m_styleName))
            QApplication::setStyle(style);
        QApplication::setPalette(m_palette);
    }
    DarkLook(const DarkLook&) = delete;
    DarkLook& operator=(const DarkLook&) = delete;

private:
    QPalette m_palette;
    QString m_styleName;
};
