#pragma once
// Asks the user, for the enterprise administrator, to update now or next
// time. Neither button acts yet: the prompt ends only through its close
// control.
#include <QDialog>

class Ui_dlgAcCertain;

class dlgAcCertain : public QDialog
{
    Q_OBJECT
public:
    explicit dlgAcCertain(QWidget* parent = nullptr);
    ~dlgAcCertain() override;

private slots:
    void on_btn_now();

private:
    Ui_dlgAcCertain* ui;
};
