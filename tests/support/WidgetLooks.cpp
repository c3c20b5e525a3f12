#include "WidgetLooks.h"

#include "MyApplication.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

AgentLook::AgentLook() : m_sheet(qApp->styleSheet()), m_font(QApplication::font())
{
    MyApplication::applyButtonStyle();
    MyApplication::applyFont();
}

AgentLook::~AgentLook()
{
    qApp->setStyleSheet(m_sheet);
    QApplication::setFont(m_font);
}

QStringList childrenOutside(const QWidget* dialog)
{
    QStringList outside;
    const QRect area = dialog->rect();
    for (const QWidget* child : dialog->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(dialog) || child->isWindow())
            continue;
        const QRect where(child->mapTo(dialog, QPoint(0, 0)), child->size());
        if (!area.contains(where)) {
            outside << QStringLiteral("%1 (%2) %3,%4 %5x%6")
                           .arg(child->objectName(), QLatin1String(child->metaObject()->className()))
                           .arg(where.x()).arg(where.y()).arg(where.width()).arg(where.height());
        }
    }
    return outside;
}

namespace {

int luminance(QRgb pixel)
{
    return (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000;
}

// The middle third of the height, inside a margin of a sixth of the width.
QRect middleBand(const QImage& image)
{
    return QRect(image.width() / 6, image.height() / 3, image.width() * 2 / 3, image.height() / 3);
}

} // namespace

int backgroundLuminance(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    const QRect band = middleBand(image);
    return luminance(image.pixel(band.left(), band.center().y()));
}

int textContrast(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    const QRect band = middleBand(image);
    const int background = luminance(image.pixel(band.left(), band.center().y()));
    int most = 0;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        for (int x = band.left(); x <= band.right(); ++x)
            most = std::max(most, std::abs(luminance(image.pixel(x, y)) - background));
    }
    return most;
}

QStringList textsCut(const QWidget* window)
{
    QStringList cut;
    const auto check = [&](const QWidget* w, const QSize& needed) {
        if (needed.width() <= w->width() && needed.height() <= w->height())
            return;
        cut << QStringLiteral("%1 (%2): needs %3x%4, has %5x%6")
                   .arg(w->objectName(), QLatin1String(w->metaObject()->className()))
                   .arg(needed.width()).arg(needed.height()).arg(w->width()).arg(w->height());
    };
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        check(label, label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width()))
                                       : label->sizeHint());
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(window) && !button->text().isEmpty())
            check(button, button->sizeHint());
    }
    return cut;
}
