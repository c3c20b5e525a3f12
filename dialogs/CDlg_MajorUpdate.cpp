#include "CDlg_MajorUpdate.h"
#include "ui_CDlg_MajorUpdate.h"

#include "CReaderModuleManager.h"
#include "CSetup_CommandLine.h"
#include "MODULEINFO.h"
#include "MajorUpgradeRecord.h"
#include "PromptFit.h"
#include "RedirectService.h"
#include "UpdaterApp.h"

#include <QDebug>
#include <QDesktopServices>
#include <QUrl>

namespace {

QVector<MODULEINFO*> selectedModules(UpdaterApp* app)
{
    QVector<MODULEINFO*> modules;
    CReaderModuleManager* manager = app ? app->GetModuleManager() : nullptr;
    if (!manager)
        return modules;
    for (int i = 0; i < manager->CountSelModules(); ++i)
        modules.append(manager->GetSelModule(i));
    return modules;
}

// "11.0.2.1234" -> "11.0.2"; a version without a dot is used whole.
QString withoutBuild(const QString& version)
{
    const int lastDot = version.lastIndexOf(QLatin1Char('.'));
    return lastDot < 0 ? version : version.left(lastDot);
}

} // namespace

CDlg_MajorUpdate::CDlg_MajorUpdate(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_CDlg_MajorUpdate)
    , m_pApp(theApp)
{
    ui->setupUi(this);
    const QSize formSize = size();
    setWindowFlags((windowFlags() | Qt::CustomizeWindowHint) & ~Qt::WindowMaximizeButtonHint);

    // The translated title is text, never a format: only its first "%s" takes
    // the product name, so a catalogue entry holding other conversions cannot
    // misbehave.
    const QString productName = m_pApp ? QString::fromStdString(m_pApp->GetProductName()) : QString();
    QString title = ui->lb_title->text();
    const int placeholder = title.indexOf(QLatin1String("%s"));
    if (placeholder >= 0)
        title.replace(placeholder, 2, productName);
    ui->lb_title->setText(title);

    if (m_pApp) {
        if (!m_pApp->m_strMajorTitle.isEmpty())
            ui->lb_title->setText(m_pApp->m_strMajorTitle);
        if (!m_pApp->m_strMajorContent.isEmpty())
            ui->lb_des->setText(m_pApp->m_strMajorContent);
        if (!m_pApp->m_strMajorButtonText.isEmpty())
            ui->btn_info->setText(m_pApp->m_strMajorButtonText);
    }
    PromptFit::fit(this, formSize);
}

CDlg_MajorUpdate::~CDlg_MajorUpdate()
{
    delete ui;
    if (m_bHandled)
        return;
    if (const MODULEINFO* major = MajorUpgradeRecord::findMajorReaderUpdate(selectedModules(m_pApp)))
        MajorUpgradeRecord::writeRejectedVersion(*major);
    const quint32 seen = MajorUpgradeRecord::checkedCount();
    MajorUpgradeRecord::setCheckedCount(seen < 3 ? seen + 1 : 1);
}

QString CDlg_MajorUpdate::upgradeLink(UpdaterApp* app)
{
    const QString language = app ? QString::fromStdString(app->GetLang()) : QString();
    const QString version = app && app->GetCommandLine()
        ? withoutBuild(QString::fromStdString(app->GetCommandLine()->GetReaderVersion()))
        : QString();
    return RedirectServiceBase()
        + QStringLiteral("/go.php?do=redirect&title=%1&product=%2&language=%3&version=%4&edition=%5")
              .arg(QStringLiteral("glacier4mac-upgrade"))
              .arg(QStringLiteral("Velto GlacierPDF for mac"))
              .arg(language)
              .arg(version)
              .arg(QStringLiteral("Business"));
}

void CDlg_MajorUpdate::on_btn_info_clicked()
{
    m_bHandled = true;
    if (const MODULEINFO* major = MajorUpgradeRecord::findMajorReaderUpdate(selectedModules(m_pApp))) {
        MajorUpgradeRecord::writeRejectedVersion(*major);
        MajorUpgradeRecord::setCheckedCount(3);
    }
    const QString link = upgradeLink(m_pApp);
    qDebug().noquote() << QStringLiteral("url: ") + link;
    QDesktopServices::openUrl(QUrl(link));
    accept();
}

void CDlg_MajorUpdate::on_pushButton_2_clicked()
{
    reject();
}
