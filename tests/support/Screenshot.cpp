#include "Screenshot.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

QString saveScreenshot(QWidget* widget, const QString& name)
{
    const QString folder = QStringLiteral(UPDATER_BINARY_DIR) + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    if (!widget->isVisible())
        widget->show();
    // Let layouts and style sheets settle before grabbing.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget->grab().save(path) ? path : QString();
}
