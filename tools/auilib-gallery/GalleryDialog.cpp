#include "GalleryDialog.h"

#include "AUILibConfig.h"
#include "Button.h"
#include "ContextMenu.h"
#include "DateEdit.h"
#include "ProgressBar.h"
#include "RichEdit.h"
#include "SpinEdit.h"

#include <memory>

std::wstring GalleryDialog::FormPath() { return AUILib::GetUiDirPath(std::wstring()) + L"gallery.ui.kw"; }

GalleryDialog::GalleryDialog(QWidget* parent) : AUILib::Dialog(FormPath(), parent) {}

bool GalleryDialog::InitializeControls()
{
    if (auto* progress = GetControlPtr<AUILib::ProgressBar*>(L"progressBar"))
        progress->SetValue(70);

    // The integer spin edit keeps a 64-bit range of its own, which the
    // form's Qt properties do not reach.
    if (auto* spin = GetControlPtr<AUILib::SpinEdit*>(L"spinBox")) {
        spin->SetRange(0, 500);
        spin->SetValue(42);
    }

    if (auto* date = GetControlPtr<AUILib::DateEdit*>(L"dateEdit")) {
        AUILib::KwDateTime day;
        day.year = 2024;
        day.month = 2;
        day.day = 29;
        date->SetDateTime(day);
    }

    // The first word bold, the rest plain.
    if (auto* rich = GetControlPtr<AUILib::RichEdit*>(L"textEdit")) {
        rich->SetText(L"Bold rich text beside plain text.");
        rich->SetSel({0, 4});
        AUILib::RichEdit::CharFormat_ bold;
        bold.flags = AUILib::RichEdit::CharBold;
        rich->SetSelectionCharFormat(bold);
        rich->SetSel({0, 0});
    }

    if (auto* button = GetControlPtr<AUILib::Button*>(L"pushButton")) {
        auto menu = std::make_shared<AUILib::ContextMenu>();
        menu->Create(GetWndPtr());
        button->InsertMenuBar(menu, true);
    }
    return true;
}
