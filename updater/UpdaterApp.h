#pragma once
// The engine's controller. Only the data-folder helpers exist so far; the
// controller proper (job choice, module manager, dialogs) is built on top.
#include <QObject>
#include <QString>

class UpdaterApp : public QObject
{
    Q_OBJECT
public:
    // Per-user data root: <generic data>/Velto Software/<Continuous|Classic>/
    static QString GetAppDateRootPath();
    // The product's data folder: the root + "Velto PDF Reader/".
    static QString GetAppDatePath();
};
