// The window of a balloon tip: a frameless tool-tip label that watches its
// target widget and the target's window to hide, follow or reappear.
#pragma once

#include <QBasicTimer>
#include <QImage>
#include <QLabel>
#include <QPointer>

namespace AUILib {

class PromptsPopupQt : public QLabel {
    Q_OBJECT

public:
    PromptsPopupQt();
    ~PromptsPopupQt() override;

    // Watches parent and its window (replacing the widgets watched before)
    // and places the label under parent.
    void Attach(QWidget* parent, bool hideOnActivity, int displayTime);
    // Shows the content at the global position and starts the timer.
    void Place(const QPoint& globalPosition);
    void Close();

    bool IsMarkedShown() const { return displayed_; }
    int DisplayTime() const { return displayTime_; }
    bool HidesOnActivity() const { return hideOnActivity_; }
    void SetIcon(const QImage& icon);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Watch(QPointer<QWidget>& slot, QWidget* widget);

    bool hideOnActivity_ = false;
    QBasicTimer timer_;
    int displayTime_ = 50000;
    QPointer<QWidget> watchedParent_;
    QPointer<QWidget> watchedWindow_;
    bool displayed_ = false;
    QImage icon_;
};

} // namespace AUILib
