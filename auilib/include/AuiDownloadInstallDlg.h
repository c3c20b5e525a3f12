// CAuiDownloadInstallDlg: the update presentation window built from a
// widget-library form: a picture, title, version and description labels, a
// description edit, a tree of the update's parts, and download and close
// buttons. It only finds its controls and fills the title and version; it
// attaches no handler to any of them.
#pragma once

#include "Dialog.h"

#include <string>

class QWidget;

namespace AUILib {
class Button;
class Edit;
class Label;
class TreeView;
} // namespace AUILib

class CAuiDownloadInstallDlgTestAccess;

class CAuiDownloadInstallDlg : public AUILib::Dialog {
public:
    // Loads the form at uiName; throws AUILib::AgnosticUIException
    // "Create from ui fails" when it cannot be built.
    CAuiDownloadInstallDlg(const std::wstring& uiName, QWidget* parent);
    ~CAuiDownloadInstallDlg() override;

    // Run by the dialog before every show: finds the controls again and
    // resets the title and version texts. Always true.
    bool InitializeControls() override;

private:
    friend class CAuiDownloadInstallDlgTestAccess;

    const wchar_t* closeButtonName_;
    const wchar_t* downloadButtonName_;
    const wchar_t* pictureLabelName_;
    const wchar_t* titleLabelName_;
    const wchar_t* updatesDescriptionLabelName_;
    const wchar_t* versionLabelName_;
    const wchar_t* descriptionLabelName_;
    const wchar_t* treeName_;
    const wchar_t* descriptionEditName_;

    // Owned by the dialog's form; null when the form lacks the control or
    // holds it as another class.
    AUILib::Button* closeButton_ = nullptr;
    AUILib::Button* downloadButton_ = nullptr;
    AUILib::Label* pictureLabel_ = nullptr;
    AUILib::Label* titleLabel_ = nullptr;
    AUILib::Label* updatesDescriptionLabel_ = nullptr;
    AUILib::Label* versionLabel_ = nullptr;
    AUILib::Label* descriptionLabel_ = nullptr;
    AUILib::Edit* descriptionEdit_ = nullptr;
    AUILib::TreeView* tree_ = nullptr;
};
