#pragma once
// Announces a major upgrade of the product. "More Info" opens the upgrade page
// of the redirect service and records the answer; leaving the prompt any other
// way records the version as turned down and moves the prompt's counter on
// (1, 2, 3, 1, ...) when the prompt is destroyed. Works on the controller's
// selected modules.
#include <QDialog>

class Ui_CDlg_MajorUpdate;
class UpdaterApp;

class CDlg_MajorUpdate : public QDialog
{
    Q_OBJECT
public:
    explicit CDlg_MajorUpdate(QWidget* parent = nullptr);
    ~CDlg_MajorUpdate() override;

    // The page "More Info" opens, for the controller's language, reader
    // version and package type.
    static QString upgradeLink(UpdaterApp* app);

private slots:
    void on_btn_info_clicked();
    void on_pushButton_2_clicked();

private:
    Ui_CDlg_MajorUpdate* ui;
    UpdaterApp* m_pApp;
    bool m_bHandled = false;
};
