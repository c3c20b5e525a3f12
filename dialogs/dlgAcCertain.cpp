#include "dlgAcCertain.h"
#include "ui_dlgAcCertain.h"

#include "PromptFit.h"

dlgAcCertain::dlgAcCertain(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui_dlgAcCertain)
{
    ui->setupUi(this);
    connect(ui->btn_now, SIGNAL(clicked()), this, SLOT(on_btn_now()));
    PromptFit::fit(this, size());
}

dlgAcCertain::~dlgAcCertain()
{
    delete ui;
}

void dlgAcCertain::on_btn_now()
{
}
