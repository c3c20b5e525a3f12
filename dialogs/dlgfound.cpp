#include "dlgfound.h"
#include "ui_dlgfound.h"

#include "Appearance.h"
#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "DialogStyle.h"
#include "DlgDownload.h"
#include "MODULEINFO.h"
#include "UpdaterApp.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QStandardItem>
#include <QStandardItemModel>
#include <QTimer>


namespace {

const QString kLightHeader = QStringLiteral(":/res/about-title@2x.png");
const QString kDarkHeader = QStringLiteral(":/res/about-title-dark@2x.png");
const QSize kHeaderSize(319, 48);
// The rows carry their module's title under this role, so a second fill of
// the list skips modules that already have a row.
const int kTitleRole = Qt::UserRole + 1;

QString productName()
{
    return QCoreApplication::translate("QObject", "Velto PDF Reader");
}

// A size text in bytes ("10485760", "10485760B") as megabytes with two
// decimals. Read as a 64-bit number: packages of 2 GiB and more are shown as
// they are, not as 0.
QString sizeInMegabytes(const std::string& size)
{
    QString digits = QString::fromStdString(size);
    digits.remove(QLatin1Char('B'));
    bool ok = false;
    qint64 bytes = digits.toLongLong(&ok, 10);
    if (!ok)
        bytes = 0;
    return QString::number(static_cast<double>(bytes) / 1024.0 / 1024.0, 'f', 2);
}

} // namespace

dlgfound::dlgfound(std::string mode, bool flag1, bool flag2, bool autoStart, bool flag4,
                   CReaderModuleManager* manager, QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_dlgfound)
{
    Q_UNUSED(flag1)
    Q_UNUSED(flag4)
    ui->setupUi(this);
    setWindowTitle(tr(""));
    setWindowFlags(Qt::Widget);
    m_pManager = manager ? manager : new CReaderModuleManager(QString::fromStdString(mode));
    ui->txt_desc->setReadOnly(true);
    ui->treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->treeView->setAccessibleDescription(tr("table"));
    ui->lbl_Img->setPixmap(QIcon(kLightHeader).pixmap(kHeaderSize, QIcon::Normal, QIcon::Off));

    m_bAutoStart = autoStart;
    m_bSecondFlag = flag2;
    m_strMode = mode;
    m_bUpdaterRow = false;
    m_nDownloadState = StateNone;

    QString version;
    if (theApp && theApp->GetCommandLine())
        version = QString::fromStdString(theApp->GetCommandLine()->GetReaderVersion());
    ui->lbl_version->setText(QStringLiteral("Version: ") + version);

    connect(ui->btn_close, SIGNAL(clicked()), this, SLOT(OnCancel()));
    connect(ui->btn_download, SIGNAL(clicked()), this, SLOT(downloadInstall()));
    connect(ui->treeView, SIGNAL(clicked(QModelIndex)), this, SLOT(OnTreeViewClicked(QModelIndex)));
    connect(m_pManager, SIGNAL(sSendDownloadProgress(QString,double)), this,
            SLOT(showDownloadProgress(QString,double)));
    connect(m_pManager, SIGNAL(sSendInstallProgress(QString,int)), this,
            SLOT(showInstallProgress(QString,int)));
    connect(m_pManager, SIGNAL(sSendInstallPkg(QString)), this, SLOT(startInstallPkg(QString)));

    auto* observer = new CAppearanceObserver(this);
    const bool dark = observer->isDarkMode();
    ui->lbl_Img->setPixmap(QIcon(dark ? kDarkHeader : kLightHeader).pixmap(kHeaderSize));
    OnAppearanceSetting(dark);
    connect(observer, &CAppearanceObserver::signal_appearanceChanged, this, &dlgfound::OnAppearanceSetting);

    InitDialog();
}

dlgfound::~dlgfound()
{
    delete ui;
}

void dlgfound::InitDialog()
{
    m_pModel = new QStandardItemModel(ui->treeView);
    ui->treeView->setModel(m_pModel);
    m_pModel->setHorizontalHeaderLabels({tr("Module Name"), tr("Size"), tr("Progress")});
    ui->treeView->setColumnWidth(0, 220);
    ui->treeView->setColumnWidth(1, 130);

    if (m_strMode == "Update List") {
        OnDownloadQueryResult(QStringLiteral("1"), QStringLiteral("0"));
    } else if (m_strMode == "Auto Updater") {
        OnDownloadQueryResult(QStringLiteral("1"), QStringLiteral("2"));
    } else if (m_pManager->CountSelModules() == 0) {
        // The query is asynchronous already, so it starts here on the GUI
        // thread: its network objects need this thread's event loop.
        ui->btn_download->setEnabled(false);
        QueryUpdateThreadProc();
    }
    OnDownload();
}

void dlgfound::OnDownloadQueryResult(QString first, QString second)
{
    const bool adding = second == QLatin1String("1");
    if (m_pManager && !adding)
        m_pManager->stopDownload();
    if (first.isEmpty()) {
        OnExit();
        return;
    }
    if (!adding) {
        m_pPendingStart = nullptr;   // the list starts over: an old start is not wanted any more
        m_nDownloadState = StateReady;
        ui->btn_download->setText(tr("Download"));
    }

    for (int index = 0; index < m_pManager->CountSelModules(); ++index) {
        MODULEINFO* module = m_pManager->GetSelModule(index);
        if (!module)
            return;
        if (theApp && theApp->bForceUpgrade && !module->forcedUpgrade)
            continue;
        if (CanFindAppointItem(module))
            continue;

        if (!adding)
            ui->btn_download->setEnabled(true);
        const QString title = QString::fromStdString(module->title);
        ui->txt_desc->setPlainText(QString::fromStdString(module->description));

        const int row = m_pModel->rowCount();
        auto* nameItem = new QStandardItem(title);
        nameItem->setData(title, kTitleRole);
        auto* sizeItem = new QStandardItem(tr("%1MB").arg(sizeInMegabytes(module->size)));
        auto* progressItem = new QStandardItem(tr("Waiting"));
        m_pModel->setItem(row, 0, nameItem);
        m_pModel->setItem(row, 1, sizeItem);
        m_pModel->setItem(row, 2, progressItem);

        m_mapModules.insert(title, module);
        m_mapNameItems.insert(title, nameItem);
        m_mapProgressItems.insert(title, progressItem);
        ui->treeView->setColumnWidth(0, 220);
        ui->treeView->setColumnWidth(1, 130);

        if (!second.isEmpty() && m_nDownloadState == StateFinished) {
            ui->btn_download->setEnabled(true);
            m_nDownloadState = StateReady;
            ui->btn_download->setText(tr("Download"));
            OnDownload();
        }
    }

    if (!adding && m_bAutoStart)
        OnDownload();
}

QString dlgfound::progressText(const QString& title) const
{
    const QStandardItem* cell = m_mapProgressItems.value(title, nullptr);
    return cell ? cell->text() : QString();
}

void dlgfound::OnDownload()
{
    switch (m_nDownloadState) {
    case StateReady:
        m_nDownloadState = StateDownloading;
        ui->btn_download->setText(tr("Pause"));
        m_pManager->startDownload();
        DownloadModule(nullptr);
        break;
    case StateDownloading: {
        m_nDownloadState = StateSuspended;
        ui->btn_download->setText(tr("Continue"));
        const MODULEINFO* current = m_pManager->GetCurDownloadModule();
        const QString title = current ? QString::fromStdString(current->title) : QString();
        const QString text = progressText(title);
        if (!text.isEmpty() && !text.contains(tr("Install"))) {
            m_mapProgressItems.value(title)->setText(tr("Suspended"));
            m_pManager->OnDownloadPause();
        }
        break;
    }
    case StateSuspended: {
        m_nDownloadState = StateDownloading;
        const MODULEINFO* current = m_pManager->GetCurDownloadModule();
        const QString title = current ? QString::fromStdString(current->title) : QString();
        const QString text = progressText(title);
        // The same translated word as Pause looks for: an install step is
        // neither paused nor resumed, in any language.
        if (!text.isEmpty() && !text.contains(tr("Install"))) {
            ui->btn_download->setText(tr("Pause"));
            m_mapProgressItems.value(title)->setText(tr("Downloading"));
            if (m_pPendingStart)
                startPendingDownload();   // paused before anything was asked for
            else
                m_pManager->OnDownloadResume();
        }
        break;
    }
    case StateFinished:
        reject();
        break;
    default:
        break;
    }
}

void dlgfound::setStateFinished()
{
    ui->btn_download->setText(tr("OK"));
    ui->btn_download->setEnabled(true);
    ui->btn_close->setEnabled(false);
    m_nDownloadState = StateFinished;
}

void dlgfound::DownloadModule(MODULEINFO* module)
{
    MODULEINFO* next = m_pManager->GetNextSelModule(module);
    if (m_pModel->rowCount() > 0 && next) {
        if (QStandardItem* cell = m_mapProgressItems.value(QString::fromStdString(next->title), nullptr))
            cell->setText(tr("Downloading"));
        m_pManager->SetCurDownloadModuleInfo(next);
        // The manager's download of a silent-install module returns only once
        // that package has arrived and been installed. Asked for from the
        // event loop, after exec() has put this list on screen, the user
        // watches the list instead of nothing while it arrives.
        m_pPendingStart = next;
        QTimer::singleShot(0, this, [this] { startPendingDownload(); });
    } else {
        setStateFinished();
    }
}

void dlgfound::startPendingDownload()
{
    // Suspended before the start: Continue starts it.
    if (!m_pPendingStart || m_nDownloadState != StateDownloading)
        return;
    MODULEINFO* next = m_pPendingStart;
    m_pPendingStart = nullptr;
    m_pManager->Download(next);
}

void dlgfound::OnExit()
{
    m_pManager->OnDownloadPause();
    if (m_pManager->QueryStopDownload())
        m_pManager->stopDownload();
    else if (m_nDownloadState != StateSuspended)
        m_pManager->OnDownloadResume();
}

bool dlgfound::CanFindAppointItem(MODULEINFO* module)
{
    if (!module || !m_pModel)
        return false;
    const QString title = QString::fromStdString(module->title);
    for (int row = 0; row < m_pModel->rowCount(); ++row) {
        const QStandardItem* item = m_pModel->item(row, 0);
        if (item && item->data(kTitleRole).toString() == title)
            return true;
    }
    return false;
}

bool dlgfound::AddModuleToDownloadList(std::string name)
{
    MODULEINFO* found = nullptr;
    QString updaterTitle;
    for (int i = 0; i < m_pManager->CountSelModules(); ++i) {
        MODULEINFO* module = m_pManager->GetSelModule(i);
        if (!module)
            break;
        if (!found && module->name == name)
            found = module;
        if (module->module_type == "updater")
            updaterTitle = QString::fromStdString(module->title);
    }

    bool updaterRowListed = false;
    for (QStandardItem* item : qAsConst(m_mapNameItems)) {
        if (item && item->text() == updaterTitle) {
            updaterRowListed = true;
            break;
        }
    }

    if (!found)
        return false;
    if (updaterRowListed && found->module_type == "updater")
        return false;
    if (found->bChosen) {
        if (!m_bUpdaterRow)
            m_bUpdaterRow = true;
        return false;
    }
    found->bChosen = true;
    m_pManager->AddSelModule(found);
    return true;
}

void dlgfound::QueryUpdateThreadProc()
{
    m_pManager->QueryModuleInfo(nullptr, false);
}

void dlgfound::OnCancel()
{
    if (!ui->btn_download->isEnabled()) {
        reject();
        return;
    }
    if (confirmQuit())
        reject();
}

void dlgfound::downloadInstall()
{
    OnDownload();
}

void dlgfound::OnTreeViewClicked(QModelIndex qmi)
{
    const QString text = qmi.data(Qt::DisplayRole).toString();
    for (auto it = m_mapNameItems.constBegin(); it != m_mapNameItems.constEnd(); ++it) {
        if (it.key() == text && it.value()) {
            if (const MODULEINFO* module = m_mapModules.value(it.key(), nullptr))
                ui->txt_desc->setPlainText(QString::fromStdString(module->description));
            return;
        }
    }
}

void dlgfound::showDownloadProgress(QString name, double percent)
{
    QStandardItem* cell = m_mapProgressItems.value(name, nullptr);
    if (!cell)
        return;
    cell->setText(tr("Download ") + QString::number(static_cast<int>(percent)) + tr("%"));
    ui->btn_download->setEnabled(true);
}

void dlgfound::showInstallProgress(QString name, int percent)
{
    if (QStandardItem* cell = m_mapProgressItems.value(name, nullptr)) {
        cell->setText(tr("Install ") + QString::number(percent) + tr("%"));
        if (percent == -1) {
            cell->setIcon(QIcon(QStringLiteral(":/res/popup_warning.png")));
            cell->setText(QString());
            m_nDownloadState = StateDownloading;
        } else if (percent == 100) {
            cell->setIcon(QIcon(QStringLiteral(":/res/popup_success.png")));
            cell->setText(QString());
            m_nDownloadState = StateDownloading;
        }
        ui->btn_download->setEnabled(false);
    }

    for (const QStandardItem* cell : qAsConst(m_mapProgressItems)) {
        if (cell && !cell->text().isEmpty())
            return;
    }
    ui->btn_download->setText(tr("Pause"));
    ui->btn_download->setEnabled(false);
    ui->btn_close->setText(tr("Close"));
}

void dlgfound::startInstallPkg(QString qsName)
{
    if (DlgDownload* window = m_pManager->GetDownloadWindow()) {
        window->setVisible(false);
        window->installHasDownloadUpdates(qsName);
    }
}

void dlgfound::OnAppearanceSetting(bool isDarkMode)
{
    setStyleSheet(DialogStyle::textColourSheet(isDarkMode));
    ui->lbl_Img->setPixmap(QIcon(isDarkMode ? kDarkHeader : kLightHeader).pixmap(kHeaderSize));
}

bool dlgfound::confirmQuit()
{
    const QString title = productName() + tr(" Updater");
    const QString text = tr("%1 is downloading the latest %2 version now, are you sure you want to quit?")
                             .arg(productName(), productName());
    return QMessageBox::information(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes)
        == QMessageBox::Yes;
}

void dlgfound::closeEvent(QCloseEvent* event)
{
    if (!ui->btn_download->isEnabled()) {
        reject();
        return;
    }
    if (confirmQuit())
        reject();
    else
        event->ignore();
}

void dlgfound::keyPressEvent(QKeyEvent* e)
{
    if (e->key() != Qt::Key_Escape) {
        QDialog::keyPressEvent(e);
        return;
    }
    if (confirmQuit())
        reject();
    else
        e->ignore();
}
