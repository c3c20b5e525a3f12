#pragma once
// Answers modal dialogs and message boxes while code under test runs them
// with exec(). Answers are queued; each is given to the next modal widget that
// becomes active (optionally only to one of a given class), one answer per
// widget. What each answered widget showed is recorded.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

class QWidget;

class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    struct Seen
    {
        QString className;   // e.g. "DlgMessage", "QMessageBox"
        QString title;       // window title
        QStringList texts;   // texts of its visible labels, in child order
    };

    explicit ModalAnswerer(QObject* parent = nullptr);
    ~ModalAnswerer() override;

    // Clicks the enabled button whose text (mnemonic "&" removed) equals text.
    ModalAnswerer& clickButton(const QString& text, const QString& onlyClass = QString());
    // Clicks the enabled button with this object name.
    ModalAnswerer& clickNamedButton(const QString& objectName, const QString& onlyClass = QString());
    // Ends the dialog with done(result) (a non-dialog modal widget is closed).
    ModalAnswerer& done(int result, const QString& onlyClass = QString());
    // Any other answer; it runs once with the modal widget.
    ModalAnswerer& answer(std::function<void(QWidget*)> action, const QString& onlyClass = QString());

    int pending() const { return static_cast<int>(m_actions.size()); }
    const QList<Seen>& seen() const { return m_seen; }

    // Recording of a widget without answering it (the visible label texts).
    static Seen describe(QWidget* widget);

private slots:
    void poll();

private:
    struct Action
    {
        QString onlyClass;
        std::function<void(QWidget*)> run;
    };
    std::deque<Action> m_actions;
    QList<Seen> m_seen;
    QList<QPointer<QWidget>> m_answered;
    QTimer m_timer;
};
