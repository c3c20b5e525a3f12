#pragma once
// The form of an offer of a new update: logo and title line, a version
// comparison, a description, "Skip this version" and "Remind Me Later". It
// fills no text and handles no button; it ends through its close control.
#include <QDialog>

class Ui_DlgAutoUpdate;

class DlgAutoUpdate : public QDialog
{
    Q_OBJECT
public:
    explicit DlgAutoUpdate(QWidget* parent = nullptr);
    ~DlgAutoUpdate() override;

private:
    Ui_DlgAutoUpdate* ui;
};
