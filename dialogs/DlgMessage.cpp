#include "DlgMessage.h"
#include "ui_DlgMessage.h"

DlgMessage::DlgMessage(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DlgMessage)
{
    ui->setupUi(this);
    setFixedSize(size());
    setWindowFlags(windowFlags() | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint
                   | Qt::WindowStaysOnTopHint);
    bOkClicked = false;
    ui->label->setWordWrap(true);
    ui->label->setAlignment(Qt::AlignTop);
    // OK (for instance "Retry") answers Return. Focus starts on it too: the
    // focused button takes Return, and the first in the tab order is Cancel,
    // so Return would otherwise give up what the box waits for.
    ui->pushButton_ok->setDefault(true);
    ui->pushButton_ok->setFocus();
}

DlgMessage::~DlgMessage()
{
    delete ui;
}

void DlgMessage::setInformation(QString text)
{
    ui->label->setText(text);
}

void DlgMessage::setOkButtonText(QString text)
{
    ui->pushButton_cancel->setVisible(true);
    ui->pushButton_ok->setText(text);
}

void DlgMessage::setStandardButtonsOk()
{
    ui->pushButton_cancel->setVisible(false);
    ui->pushButton_ok->setText(tr("OK"));
}

void DlgMessage::on_pushButton_cancel_clicked()
{
    reject();
}

void DlgMessage::on_pushButton_ok_clicked()
{
    bOkClicked = true;
    reject();
}
