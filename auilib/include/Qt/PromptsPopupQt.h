// The window of a balloon tip: a frameless tool-tip label with a rounded
// body and a small tail pointing up, that watches its target widget and the
// target's window to hide, follow or reappear.
#pragma once

#include <QBasicTimer>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QRect>

namespace AUILib {

class PromptsPopupQt : public QLabel {
    Q_OBJECT

public:
    PromptsPopupQt();
    ~PromptsPopupQt() override;

    // Watches parent's window and parent (replacing the widgets watched
    // before in those roles), places the label under parent and applies the
    // look. displayTime in milliseconds, -1 for the long time.
    void Attach(QWidget* parent, bool hideOnActivity, int displayTime);
    // Places the label for the anchor (global) unless it is on screen
    // already, then shows it and starts the display timer.
    void Place(const QPoint& anchor);
    void Close();

    bool IsMarkedShown() const { return displayed_; }
    int DisplayTime() const { return displayTime_; }
    bool HidesOnActivity() const { return hideOnActivity_; }
    QRect BodyRect() const { return body_; }
    QWidget* WatchedParent() const { return watchedParent_.widget.data(); }
    QWidget* WatchedWindow() const { return watchedWindow_.widget.data(); }

    static constexpr int kTailOffset = 5;
    static constexpr int kTailWidth = 10;
    static constexpr int kTailHeight = 10;
    static constexpr int kCornerRadius = 5;
    static constexpr int kMargin = 10;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Watch {
        QPointer<QWidget> widget;
        QMetaObject::Connection destroyed;
    };
    void Retarget(Watch& role, const Watch& otherRole, QWidget* widget);

    bool hideOnActivity_ = false;
    QBasicTimer timer_;
    int displayTime_ = 50000;
    Watch watchedParent_;
    Watch watchedWindow_;
    bool displayed_ = false;
    QRect body_;
};

} // namespace AUILib
