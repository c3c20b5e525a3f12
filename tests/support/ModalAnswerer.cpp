#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QWidget>

namespace {

QString plainText(QString text)
{
    return text.remove(QLatin1Char('&'));
}

QAbstractButton* findButton(QWidget* widget, const std::function<bool(QAbstractButton*)>& match)
{
    const auto buttons = widget->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->isEnabled() && button->isVisibleTo(widget) && match(button))
            return button;
    }
    for (QAbstractButton* button : buttons) {   // a hidden one as a last resort
        if (button->isEnabled() && match(button))
            return button;
    }
    return nullptr;
}

} // namespace

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start(30);
}

ModalAnswerer::~ModalAnswerer() = default;

ModalAnswerer& ModalAnswerer::clickButton(const QString& text, const QString& onlyClass)
{
    return answer([text](QWidget* w) {
        if (QAbstractButton* b = findButton(w, [&](QAbstractButton* b) { return plainText(b->text()) == text; }))
            b->click();
    }, onlyClass);
}

ModalAnswerer& ModalAnswerer::clickNamedButton(const QString& objectName, const QString& onlyClass)
{
    return answer([objectName](QWidget* w) {
        if (QAbstractButton* b = findButton(w, [&](QAbstractButton* b) { return b->objectName() == objectName; }))
            b->click();
    }, onlyClass);
}

ModalAnswerer& ModalAnswerer::done(int result, const QString& onlyClass)
{
    return answer([result](QWidget* w) {
        if (auto* dialog = qobject_cast<QDialog*>(w))
            dialog->done(result);
        else
            w->close();
    }, onlyClass);
}

ModalAnswerer& ModalAnswerer::answer(std::function<void(QWidget*)> action, const QString& onlyClass)
{
    m_actions.push_back(Action{onlyClass, std::move(action)});
    return *this;
}

ModalAnswerer::Seen ModalAnswerer::describe(QWidget* widget)
{
    Seen seen;
    seen.className = QString::fromLatin1(widget->metaObject()->className());
    seen.title = widget->windowTitle();
    for (QLabel* label : widget->findChildren<QLabel*>()) {
        if (label->isVisibleTo(widget) && !label->text().isEmpty())
            seen.texts << label->text();
    }
    return seen;
}

void ModalAnswerer::poll()
{
    if (m_actions.empty())
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    for (const QPointer<QWidget>& done : m_answered) {
        if (done == modal)
            return;   // already answered; wait for it to close
    }
    const Action& next = m_actions.front();
    if (!next.onlyClass.isEmpty() && !modal->inherits(next.onlyClass.toLatin1().constData()))
        return;
    std::function<void(QWidget*)> run = next.run;
    m_actions.pop_front();
    m_answered << QPointer<QWidget>(modal);
    m_seen << describe(modal);
    // Answer from a fresh event, not from inside this timer: an answer that
    // opens a further modal dialog must not block the timer that answers it.
    QPointer<QWidget> target(modal);
    QTimer::singleShot(0, this, [run, target]() {
        if (target)
            run(target);
    });
}
