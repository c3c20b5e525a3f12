#pragma once
// The agent's small modal message box: a wrapped text over Cancel and OK.
// Both buttons close the box the same way; callers read bOkClicked.
#include <QDialog>

namespace Ui {
class DlgMessage;
}

class DlgMessage : public QDialog
{
    Q_OBJECT
public:
    explicit DlgMessage(QWidget* parent = nullptr);
    ~DlgMessage() override;

    void setInformation(QString text);
    // Shows Cancel again and renames OK (for instance "Retry").
    void setOkButtonText(QString text);
    // A one-button information box.
    void setStandardButtonsOk();

    bool bOkClicked = false;

private slots:
    void on_pushButton_cancel_clicked();
    void on_pushButton_ok_clicked();

private:
    Ui::DlgMessage* ui;
};
