#include "DlgAutoUpdate.h"
#include "ui_DlgAutoUpdate.h"

DlgAutoUpdate::DlgAutoUpdate(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_DlgAutoUpdate)
{
    ui->setupUi(this);
}

DlgAutoUpdate::~DlgAutoUpdate()
{
    delete ui;
}
