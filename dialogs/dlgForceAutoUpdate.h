#pragma once
// Tells the user that the IT administrator requires an update and that the
// product must be closed first. Its caller reads `result` after exec(): it is
// 1 from construction on. Neither Install nor the remind choices act yet.
#include <QDialog>

class CReaderModuleManager;
class Ui_dlgForceAutoUpdate;

class dlgForceAutoUpdate : public QDialog
{
    Q_OBJECT
public:
    dlgForceAutoUpdate(CReaderModuleManager* manager, QWidget* parent = nullptr);
    ~dlgForceAutoUpdate() override;

    int result;

private slots:
    void onBtnInstall();

private:
    Ui_dlgForceAutoUpdate* ui;
    CReaderModuleManager* m_pModuleManager;   // kept for the caller's road; unused here
};
