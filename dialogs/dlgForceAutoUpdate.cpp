#include "dlgForceAutoUpdate.h"
#include "ui_dlgForceAutoUpdate.h"

#include "PromptFit.h"
#include "UpdaterApp.h"

#include <QDebug>

dlgForceAutoUpdate::dlgForceAutoUpdate(CReaderModuleManager* manager, QWidget* parent)
    : QDialog(parent)
    , result(1)
    , ui(new Ui_dlgForceAutoUpdate)
    , m_pModuleManager(manager)
{
    ui->setupUi(this);
    // Each placeholder names the product: the update is the product's, and it
    // is the product that must be closed.
    const QString productName = theApp ? QString::fromStdString(theApp->GetProductName()) : QString();
    QString detail = tr("Your IT administrator has required a %s update. %s must be closed to proceed with the "
                        "installation. Please close %s and then click Retry to continue.");
    detail.replace(QLatin1String("%s"), productName);
    ui->lbl_detail->setText(detail);
    connect(ui->btn_Install, SIGNAL(clicked()), this, SLOT(onBtnInstall()));
    PromptFit::fit(this, size());
}

dlgForceAutoUpdate::~dlgForceAutoUpdate()
{
    delete ui;
}

void dlgForceAutoUpdate::onBtnInstall()
{
    qDebug() << "添加Btn实现";
}
