// The window of a Dialog. Closing goes through the owner's FilterDone;
// without an owner (the Dialog is gone) it is a plain QDialog.
#pragma once

#include <QDialog>

namespace AUILib {

class Dialog;

class DialogQt : public QDialog {
    Q_OBJECT

public:
    DialogQt(Dialog* owner, QWidget* parent);

    Dialog* GetOwner() const { return owner_; }
    void SetOwner(Dialog* owner) { owner_ = owner; }

    void done(int result) override;
    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    Dialog* owner_;
};

} // namespace AUILib
