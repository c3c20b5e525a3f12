#pragma once
// Saves a picture of a widget for people to look at:
// <build>/screenshots/<name>.png. Returns the file path (empty on failure).
#include <QString>

class QWidget;

QString saveScreenshot(QWidget* widget, const QString& name);
