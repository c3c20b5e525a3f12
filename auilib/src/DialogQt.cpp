#include "DialogQt.h"

#include "Dialog.h"
#include "DialogImplQt.h"

#include <QKeyEvent>
#include <QPointer>

namespace AUILib {

DialogQt::DialogQt(Dialog* owner, QWidget* parent) : QDialog(parent, Qt::WindowFlags()), owner_(owner) {}

void DialogQt::done(int result)
{
    if (!owner_) {
        QDialog::done(result);
        return;
    }
    const int filtered = owner_->FilterDone(result);
    if (filtered == -1)
        return;
    QDialog::done(filtered);
}

void DialogQt::accept()
{
    if (!owner_) {
        QDialog::accept();
        return;
    }
    done(1);
}

void DialogQt::reject()
{
    if (!owner_) {
        QDialog::reject();
        return;
    }
    QWidget* top = window();
    if (top != this) {
        if (auto* dialog = qobject_cast<DialogQt*>(top))
            dialog->reject();
        return;
    }
    QDialog::done(0);
}

void DialogQt::keyPressEvent(QKeyEvent* event)
{
    if (owner_ && event->key() == Qt::Key_Escape) {
        if (windowFlags() & Qt::WindowCloseButtonHint)
            done(0);
        else
            event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void DialogQt::resizeEvent(QResizeEvent* event)
{
    if (owner_) {
        // A handler may delete this window.
        const QPointer<DialogQt> alive(this);
        owner_->OnResize.Emit();
        if (!alive)
            return;
    }
    QDialog::resizeEvent(event);
}

void DialogQt::showEvent(QShowEvent* event)
{
    if (owner_) {
        auto impl = std::dynamic_pointer_cast<Dialog::impl>(owner_->GetBaseImpl());
        if (impl && !impl->GetDefaultButtonFlag())
            impl->SetDefaultButton(nullptr);
    }
    QDialog::showEvent(event);
}

} // namespace AUILib
