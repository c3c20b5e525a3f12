#pragma once
// A dark application palette under the Fusion style for the pictures of a
// test, the earlier style and palette put back when it goes.
#include "DarkPalette.h"

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
        QApplication::setPalette(DarkPalette());
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
