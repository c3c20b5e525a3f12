#include "DlgUpdatesTree.h"
#include "ui_DlgUpdatesTree.h"

#include "Appearance.h"
#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "CheckOutlineDelegate.h"
#include "DialogStyle.h"
#include "UpdaterApp.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QIcon>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMessageBox>
#include <QStandardItemModel>

namespace {

const QString kLightHeader = QStringLiteral(":/res/about-title@2x.png");
const QString kDarkHeader = QStringLiteral(":/res/about-title-dark@2x.png");
const int kNameColumnWidth = 290;

const CSetup_CommandLine* commandLineOf(const UpdaterApp* app)
{
    return app ? app->GetCommandLine() : nullptr;
}

} // namespace

DlgUpdatesTree::DlgUpdatesTree(CReaderModuleManager* manager, UpdaterApp* app, QWidget* parent)
    : QDialog(parent)
    , m_pModuleManager(manager)
    , m_pApp(app)
    , ui(new Ui::DlgUpdatesTree)
{
    ui->setupUi(this);
    setWindowFlags(Qt::WindowFlags());
    m_pCheckDelegate = new CheckOutlineDelegate(ui->treeView_4);
    ui->treeView_4->setItemDelegate(m_pCheckDelegate);
    ui->textEdit->setReadOnly(true);
    ui->treeView_4->setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWindowTitle(tr(""));
    ui->btn_skip->hide();

    const CSetup_CommandLine* cmd = commandLineOf(m_pApp);
    ui->label_version->setText(tr("Version: ")
                               + QString::fromStdString(cmd ? cmd->GetReaderVersion() : std::string()));
    ui->label_available_updates->setText(tr("Available Updates"));
    ui->button_download->setText(tr("Download and Install"));
    ui->button_cancel->setText(tr("Close"));
    m_bHasAddons = false;
    m_bHasReaderUpdates = false;

    InitDialog();

    connect(ui->button_download, SIGNAL(clicked()), this, SLOT(OnOK()));
    connect(ui->btn_skip, SIGNAL(clicked()), this, SLOT(OnSkip()));
    connect(ui->button_cancel, SIGNAL(clicked()), this, SLOT(OnCancel()));
    connect(ui->treeView_4, SIGNAL(clicked(QModelIndex)), this, SLOT(OnTreeViewClicked(QModelIndex)));
    // A box toggled without a click (Space, or any other source) must keep the
    // groups, the one-group rule and the button as a click does.
    connect(m_pModel, &QStandardItemModel::itemChanged, this, &DlgUpdatesTree::OnItemChanged);
    connect(ui->treeView_4->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DlgUpdatesTree::OnCurrentChanged);
    ui->treeView_4->setAccessibleDescription(tr("table"));

    m_pAppearance = new CAppearanceObserver(this);
    // Sets the header picture of the appearance too.
    OnAppearanceSetting(m_pAppearance->isDarkMode());
    connect(m_pAppearance, SIGNAL(signal_appearanceChanged(bool)), this, SLOT(OnAppearanceSetting(bool)));
}

DlgUpdatesTree::~DlgUpdatesTree()
{
    // Group items that never made it into the model are still ours.
    for (QStandardItem* group : {m_pReaderGroup, m_pOcrGroup, m_pAddonsGroup}) {
        if (group && !group->model())
            delete group;
    }
    delete ui;
    m_mapModules.clear();
    m_mapItems.clear();
    m_vecNotInstall.clear();
}

QString DlgUpdatesTree::sizeText(const std::string& size)
{
    QString digits = QString::fromStdString(size);
    digits.remove(QLatin1Char('B'), Qt::CaseSensitive);
    // Packages can exceed 2 GiB: a 32-bit parse would show them as 0.00MB.
    const qlonglong bytes = digits.toLongLong();
    const double megabytes = bytes / 1024.0 / 1024.0;
    return tr("%1MB").arg(megabytes, 0, 'f', 2, QLatin1Char(' '));
}

void DlgUpdatesTree::InitDialog()
{
    ui->treeView_4->header()->hide();
    ui->treeView_4->header()->setStretchLastSection(true);

    const CSetup_CommandLine* cmd = commandLineOf(m_pApp);
    if (cmd && cmd->GetUpdaterType() == "Auto Updater") {
        ui->combo_remind->addItem(tr("Remind Me Later"));
        ui->combo_remind->addItem(tr("After one hour"));
        ui->combo_remind->addItem(tr("After six hours"));
        ui->combo_remind->addItem(tr("After one day"));
        ui->combo_remind->addItem(tr("Never remind me"));
        ui->button_cancel->show();
        connect(ui->combo_remind, SIGNAL(activated(QString)), this, SLOT(OnComboxResolve(QString)));
    } else {
        ui->combo_remind->hide();
    }

    m_pModel = new QStandardItemModel(ui->treeView_4);
    m_pReaderGroup = new QStandardItem(tr("Velto PDF Reader Updates"));
    m_pOcrGroup = new QStandardItem(tr("OCR"));
    m_pOcrGroup->setCheckable(true);
    m_pAddonsGroup = new QStandardItem(tr("Add-ons"));
    m_pAddonsGroup->setCheckable(true);
    ui->button_download->setEnabled(false);

    const int count = m_pModuleManager ? m_pModuleManager->CountAvailableModule() : 0;
    if (count < 1) {
        showModel();
        return;
    }

    // The rows go under groups that are in no model yet, and the model reaches
    // the view only when full: a long list then costs the view one reset
    // instead of an update, and the groups one sort, per module.
    bool anyListed = false;
    const MODULEINFO* described = nullptr;
    for (int i = 0; i < count; ++i) {
        MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
        if (!module)
            continue;
        const QString title = QString::fromStdString(module->title);
        QStandardItem* group = nullptr;
        if (module->module_type == "service" || module->module_type == "basic") {
            m_bHasAddons = true;
            if (title.isEmpty())
                continue;
            if (module->bOCR) {
                if (!m_bOcrAttached) {
                    m_pAddonsGroup->appendRow(m_pOcrGroup);
                    m_bOcrAttached = true;
                }
                group = m_pOcrGroup;
            } else {
                group = m_pAddonsGroup;
            }
        } else if (module->module_type == "updater") {
            m_bHasReaderUpdates = true;
            group = m_pReaderGroup;
        } else {
            continue;
        }

        m_mapModules[title] = module;
        auto* item = new QStandardItem(title);
        item->setCheckable(true);
        m_mapItems[title] = item;
        // Each listed module's description replaces the one before: the last
        // one listed is what shows.
        described = module;
        group->appendRow(QList<QStandardItem*>{item, new QStandardItem(sizeText(module->size))});
        anyListed = true;
    }

    m_pReaderGroup->setCheckable(true);
    // Sorted once the rows are in (the sort is stable, so the order is the one
    // a sort after every row would give): a sort per row made a long list
    // take quadratic time to open.
    m_pReaderGroup->sortChildren(0, Qt::AscendingOrder);
    m_pOcrGroup->sortChildren(0, Qt::AscendingOrder);
    m_pAddonsGroup->sortChildren(0, Qt::AscendingOrder);
    if (described)
        showDescription(described);

    // A group shows only with a module under it: an add-on without a title,
    // or a module of a type the list does not show, leaves its group empty.
    m_bHasAddons = m_pAddonsGroup->rowCount() > 0;
    m_bHasReaderUpdates = m_pReaderGroup->rowCount() > 0;
    if (m_bHasReaderUpdates)
        m_pModel->appendRow(m_pReaderGroup);
    if (m_bHasAddons)
        m_pModel->appendRow(m_pAddonsGroup);
    // The sizes' column; its cell beside the first group is the reader
    // group's only.
    if (anyListed && m_bHasReaderUpdates)
        m_pModel->setItem(0, 1, new QStandardItem(QString()));
    else if (anyListed)
        m_pModel->setColumnCount(2);
    if (!m_bHasAddons) {
        delete m_pAddonsGroup;       // and the OCR group when it is under it
        m_pAddonsGroup = nullptr;
        m_pOcrGroup = m_bOcrAttached ? nullptr : m_pOcrGroup;
    }
    if (!m_bHasReaderUpdates) {
        delete m_pReaderGroup;
        m_pReaderGroup = nullptr;
    }
    showModel();
    ui->treeView_4->expandAll();
}

void DlgUpdatesTree::showModel()
{
    ui->treeView_4->setModel(m_pModel);
    ui->treeView_4->setColumnWidth(0, kNameColumnWidth);
}

void DlgUpdatesTree::showDescription(const MODULEINFO* module)
{
    // The reply's text, never markup: a description must not bring its own
    // banner, links or pictures (an <img> would load a local file).
    ui->textEdit->setPlainText(QString::fromStdString(module->description));
}

void DlgUpdatesTree::SetChildState(QStandardItem* item, Qt::CheckState state)
{
    if (!item)
        return;
    if (item->isCheckable())
        item->setCheckState(state);
    for (int row = 0; row < item->rowCount(); ++row)
        SetChildState(item->child(row, 0), state);
}

void DlgUpdatesTree::SetParentState(QStandardItem* item)
{
    if (!item)
        return;
    QStandardItem* parent = item->parent();
    if (!parent)
        return;
    if (parent->rowCount() == 1) {
        // The row's check box is in column 0, whichever cell was clicked.
        const QStandardItem* only = parent->child(0, 0);
        if (parent->isCheckable() && only)
            parent->setCheckState(only->checkState());
    } else {
        int checked = 0;
        bool anyMarked = false;
        const int rows = parent->rowCount();
        for (int row = 0; row < rows; ++row) {
            const QStandardItem* child = parent->child(row, 0);
            const Qt::CheckState state = child ? child->checkState() : Qt::Unchecked;
            if (state == Qt::Checked)
                ++checked;
            if (state != Qt::Unchecked)
                anyMarked = true;
        }
        if (checked == rows)
            parent->setCheckState(Qt::Checked);
        else if (anyMarked)
            parent->setCheckState(Qt::PartiallyChecked);
        else
            parent->setCheckState(Qt::Unchecked);
    }
    SetParentState(parent);
}

void DlgUpdatesTree::SetMutexCheckState(E_UPDATE_TYPE type, Qt::CheckState state)
{
    for (auto it = m_mapItems.begin(); it != m_mapItems.end(); ++it) {
        QStandardItem* parent = it.value()->parent();
        if (type == E_UPDATE_TYPE_READER) {
            if (m_bHasReaderUpdates && parent && parent == m_pReaderGroup)
                it.value()->setCheckState(state);
        } else if (m_bHasAddons && parent && (parent == m_pAddonsGroup || parent == m_pOcrGroup)) {
            it.value()->setCheckState(state);
        }
    }
}

void DlgUpdatesTree::OnTreeViewClicked(QModelIndex index)
{
    describeTitle(index.data(Qt::DisplayRole).toString());

    if (QStandardItem* item = m_pModel->itemFromIndex(index))
        ApplyCheckState(item);
}

void DlgUpdatesTree::describeTitle(const QString& title)
{
    if (title.isEmpty() || !m_pModuleManager)
        return;
    for (int i = 0; i < m_pModuleManager->CountAvailableModule(); ++i) {
        const MODULEINFO* module = m_pModuleManager->GetAvailabletModule(i);
        if (module && QString::fromStdString(module->title) == title) {
            showDescription(module);
            return;
        }
    }
}

void DlgUpdatesTree::OnCurrentChanged(const QModelIndex& current)
{
    // Arrows, Home/End and type-ahead move the current row without a click;
    // the description follows the row whatever moved it.
    describeTitle(current.sibling(current.row(), 0).data(Qt::DisplayRole).toString());
}

void DlgUpdatesTree::OnItemChanged(QStandardItem* item)
{
    if (m_bApplyingCheckState || !item || !item->isCheckable())
        return;
    ApplyCheckState(item);
}

void DlgUpdatesTree::ApplyCheckState(QStandardItem* item)
{
    // The changes made here come back through itemChanged; they are this
    // step's own, not the user's.
    const bool nested = m_bApplyingCheckState;
    m_bApplyingCheckState = true;
    SetChildState(item, item->checkState());
    SetParentState(item);

    if (item->checkState() == Qt::Checked && m_bHasReaderUpdates && m_bHasAddons
        && m_pReaderGroup && m_pAddonsGroup) {
        const bool readerSide = item == m_pReaderGroup || item->parent() == m_pReaderGroup;
        if (readerSide)
            SetChildState(m_pAddonsGroup, Qt::Unchecked);
        else
            SetChildState(m_pReaderGroup, Qt::Unchecked);
    }
    m_bApplyingCheckState = nested;

    bool anyChecked = false;
    for (QStandardItem* each : qAsConst(m_mapItems)) {
        if (each->checkState() == Qt::Checked) {
            anyChecked = true;
            break;
        }
    }
    ui->button_download->setEnabled(anyChecked);
}

void DlgUpdatesTree::OnOK()
{
    for (auto it = m_mapItems.constBegin(); it != m_mapItems.constEnd(); ++it) {
        if (it.value()->checkState() == Qt::Checked && m_pModuleManager)
            m_pModuleManager->AddSelModule(m_mapModules.value(it.key()));
    }
    bHandled = true;
    reject();
    m_bConfirmOnClose = false;
    if (m_pModuleManager)
        CReaderModuleManager::ModuleCallback("Update List", m_pModuleManager, true);
}

void DlgUpdatesTree::OnAppearanceSetting(bool isDarkMode)
{
    setStyleSheet(DialogStyle::textColourSheet(isDarkMode));
    m_pCheckDelegate->setDarkMode(isDarkMode);
    ui->treeView_4->viewport()->update();
    ui->label_logo->setPixmap(QIcon(isDarkMode ? kDarkHeader : kLightHeader).pixmap(319, 48));
}

bool DlgUpdatesTree::confirmCancel()
{
    const QString title = QObject::tr("Velto PDF Reader") + tr(" Updater");
    const int answer = QMessageBox::information(this, title,
                                                tr("Are you sure you want to cancel the installation?"),
                                                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    return answer == QMessageBox::Yes;
}

void DlgUpdatesTree::releaseModuleManager()
{
    // The list runs inside the manager's own signal delivery.
    if (m_pModuleManager)
        m_pModuleManager->deleteLater();
    m_pModuleManager = nullptr;
}

void DlgUpdatesTree::closeEvent(QCloseEvent* event)
{
    if (m_bConfirmOnClose && !confirmCancel()) {
        event->ignore();
        return;
    }
    bHandled = true;
    reject();
    releaseModuleManager();
    QDialog::closeEvent(event);
}

void DlgUpdatesTree::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    if (m_bConfirmOnClose && !confirmCancel()) {
        event->ignore();
        return;
    }
    reject();
}
