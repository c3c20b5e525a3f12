// Reports focus changes of the widget it is installed on (its parent).
#pragma once

#include <QObject>

namespace AUILib {

class FocusWatcher : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void focusChanged(bool focused);
};

} // namespace AUILib
