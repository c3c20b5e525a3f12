#pragma once
// The update list of a visible check: the offered modules as a two-level
// check tree (reader updates; add-ons with an OCR sub-group), the plain-text
// description of the current row's module, "Download and Install", and the
// ways to put the update off or turn it down (remind-later intervals, "Never
// remind me", Close). Modules of only one of the two groups can be checked at a time.
//
// It runs inside the check dialog's finish handler, itself inside the module
// manager's signal delivery, so whenever it releases the manager it does so
// with a deferred deletion. bHandled tells the check dialog that the user's
// choice dealt with the list.
#include "MODULEINFO.h"

#include <QDialog>
#include <QMap>
#include <QModelIndex>
#include <QString>
#include <QVector>
#include <string>

namespace Ui {
class DlgUpdatesTree;
}
class CAppearanceObserver;
class CheckOutlineDelegate;
class CReaderModuleManager;
class QCloseEvent;
class QKeyEvent;
class QStandardItem;
class QStandardItemModel;
class UpdaterApp;

// The two groups of the list, as SetMutexCheckState names them.
enum E_UPDATE_TYPE {
    E_UPDATE_TYPE_ADDONS = 0,
    E_UPDATE_TYPE_READER = 1
};

class DlgUpdatesTree : public QDialog
{
    Q_OBJECT
public:
    DlgUpdatesTree(CReaderModuleManager* manager, UpdaterApp* app, QWidget* parent = nullptr);
    ~DlgUpdatesTree() override;

    void InitDialog();
    void SetChildState(QStandardItem* item, Qt::CheckState state);
    void SetParentState(QStandardItem* item);
    void SetMutexCheckState(E_UPDATE_TYPE type, Qt::CheckState state);

    // "Never remind me": declines every offered module after confirmation.
    void OnNotInstall();

    // Thinning of the available list (kept for the automatic road; no run
    // calls them).
    void FilterUpgrade();
    void CheckZhAutoAvailableModule();
    bool IsModuleNeedUpdate(QVector<_UpdaterInfo*>& infos, std::string name);
    void AddModule(MODULEINFO* module);
    bool CheckMajorVersionUpgrade(std::string version);

    // The tree's model, for callers that inspect the list.
    QStandardItemModel* model() const { return m_pModel; }
    const QVector<MODULEINFO*>& declinedModules() const { return m_vecNotInstall; }

    bool bHandled = false;

public slots:
    void OnComboxResolve(QString text);
    void OnOK();
    void OnSkip();
    void OnCancel();
    void OnTreeViewClicked(QModelIndex index);
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void OnAppearanceSetting(bool isDarkMode);

private slots:
    void OnItemChanged(QStandardItem* item);
    void OnCurrentChanged(const QModelIndex& current);

private:
    // What a changed check box sets off, whoever changed it: the children and
    // parents follow, the other group is cleared, the button follows.
    void ApplyCheckState(QStandardItem* item);
    // The Yes/No box that guards Close, the close button and Escape.
    bool confirmCancel();
    void showDescription(const MODULEINFO* module);
    // Hands the filled model to the view.
    void showModel();
    // The description of the first offered module with this title, if any.
    void describeTitle(const QString& title);
    void releaseModuleManager();
    // Size text of a record for the list ("20.00MB").
    static QString sizeText(const std::string& size);

    CReaderModuleManager* m_pModuleManager;
    UpdaterApp* m_pApp;
    QStandardItemModel* m_pModel = nullptr;
    QStandardItem* m_pReaderGroup = nullptr;
    QStandardItem* m_pOcrGroup = nullptr;
    QStandardItem* m_pAddonsGroup = nullptr;
    bool m_bConfirmOnClose = true;
    bool m_bOcrAttached = false;
    Ui::DlgUpdatesTree* ui;
    QMap<QString, MODULEINFO*> m_mapModules;
    QMap<QString, QStandardItem*> m_mapItems;
    bool m_bHasAddons = false;
    bool m_bHasReaderUpdates = false;
    QVector<MODULEINFO*> m_vecNotInstall;
    CAppearanceObserver* m_pAppearance = nullptr;
    CheckOutlineDelegate* m_pCheckDelegate = nullptr;   // child of the tree view
    bool m_bApplyingCheckState = false;
};
