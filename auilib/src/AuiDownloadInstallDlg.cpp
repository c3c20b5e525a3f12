#include "AuiDownloadInstallDlg.h"

#include "Button.h"
#include "Edit.h"
#include "Label.h"
#include "TreeView.h"
#include "WideQt.h"

#include <QObject>

CAuiDownloadInstallDlg::CAuiDownloadInstallDlg(const std::wstring& uiName, QWidget* parent)
    : AUILib::Dialog(uiName, parent, 0, 0.95),
      closeButtonName_(L"btn_close"),
      downloadButtonName_(L"btn_download"),
      pictureLabelName_(L"lbl_Img"),
      titleLabelName_(L"lbl_title"),
      updatesDescriptionLabelName_(L"lbl_updates_desc"),
      versionLabelName_(L"lbl_version"),
      descriptionLabelName_(L"lbl_Description"),
      treeName_(L"treeView"),
      descriptionEditName_(L"txt_desc")
{
}

CAuiDownloadInstallDlg::~CAuiDownloadInstallDlg() = default;

bool CAuiDownloadInstallDlg::InitializeControls()
{
    closeButton_ = GetControlPtr<AUILib::Button*>(closeButtonName_);
    downloadButton_ = GetControlPtr<AUILib::Button*>(downloadButtonName_);
    pictureLabel_ = GetControlPtr<AUILib::Label*>(pictureLabelName_);
    titleLabel_ = GetControlPtr<AUILib::Label*>(titleLabelName_);
    updatesDescriptionLabel_ = GetControlPtr<AUILib::Label*>(updatesDescriptionLabelName_);
    versionLabel_ = GetControlPtr<AUILib::Label*>(versionLabelName_);
    descriptionLabel_ = GetControlPtr<AUILib::Label*>(descriptionLabelName_);
    descriptionEdit_ = GetControlPtr<AUILib::Edit*>(descriptionEditName_);
    tree_ = GetControlPtr<AUILib::TreeView*>(treeName_);

    if (titleLabel_)
        titleLabel_->SetText(AUILib::ToWide(QObject::tr("Velto PDF Reader")));
    if (versionLabel_)
        versionLabel_->SetText(std::wstring());
    return true;
}
