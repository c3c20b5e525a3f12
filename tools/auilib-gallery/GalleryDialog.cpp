#include "GalleryDialog.h"

#include "AUILibConfig.h"
#include "Button.h"
#include "ComboBox.h"
#include "ComboBoxFS.h"
#include "ContextMenu.h"
#include "DateEdit.h"
#include "ListBox.h"
#include "ProgressBar.h"
#include "RichEdit.h"
#include "SpinEdit.h"
#include "TreeView.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPainter>

#include <list>
#include <memory>
#include <string>

namespace {

// A small round badge as PNG bytes, the list box's row picture.
QByteArray BadgePng()
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(46, 139, 87));
    painter.drawEllipse(1, 1, 14, 14);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

void FillTree(AUILib::TreeView& tree)
{
    tree.SetHeaderVisible(false);
    tree.SetCheckMode(1);
    QStandardItem* reader = tree.AddItem(L"Velto PDF Reader 12.1.0.2");
    QStandardItem* addOns = tree.AddSubItem(L"Add-ons", AUILib::any(), reader);
    QStandardItem* ocr = tree.AddSubItem(L"OCR pack", AUILib::any(), addOns);
    QStandardItem* stamps = tree.AddSubItem(L"Stamp pack", AUILib::any(), addOns);
    tree.AddSubItem(L"Security update", AUILib::any(), reader);
    tree.SetCheck(ocr, true);
    tree.SetCheck(stamps, false);
    tree.SetExpanded(reader, true);
    tree.SetExpanded(addOns, true);
}

void FillTable(AUILib::ListBox& table)
{
    table.SetColumnsCount(3);
    table.SetColumnName(0, L"Module");
    table.SetColumnName(1, L"Version");
    table.SetColumnName(2, L"Size");
    table.EnableColumnNames(true);
    table.SetCheckMode(AUILib::ListBox::CheckUser);
    const QByteArray badge = BadgePng();
    const wchar_t* rows[][3] = {
        {L"Reader update", L"12.1.0.2", L"180 MB"},
        {L"OCR pack", L"3.2", L"42 MB"},
        {L"Stamp pack", L"1.0.4", L"3 MB"},
    };
    for (const auto& row : rows) {
        std::list<std::wstring> texts(std::begin(row), std::end(row));
        const int index = table.AddItemEx(texts);
        table.SetCheck(index, index != 2);
        table.AddPicture(index, reinterpret_cast<const unsigned char*>(badge.constData()), badge.size(),
                         AUILib::ImagePNG, 16, AUILib::BitmapDefault);
    }
}

void FillList(AUILib::ListBox& list)
{
    for (const wchar_t* text : {L"First entry", L"Second entry", L"Third entry"})
        list.AddItem(text);
    list.SetSel(1, true);
}

void FillCombo(AUILib::ComboBox& combo)
{
    combo.AddSeparator(L"Languages", AUILib::any());
    combo.AddItem(L"English", AUILib::any());
    combo.AddItem(L"Deutsch", AUILib::any());
    combo.AddSeparator(std::wstring(), AUILib::any());
    combo.AddItem(L"More languages", AUILib::any());
    combo.SetCurSel(1);
}

} // namespace

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

    // Every show starts the item controls afresh.
    if (auto* button = GetControlPtr<AUILib::Button*>(L"pushButton")) {
        auto menu = std::make_shared<AUILib::ContextMenu>();
        menu->Create(GetWndPtr());
        menu->AddItem(L"Check for updates", [] {}, 0);
        menu->AddSeparator();
        menu->AddItem(L"Preferences", [] {}, 0);
        button->InsertMenuBar(menu, true);
    }
    if (auto* tree = GetControlPtr<AUILib::TreeView*>(L"treeView")) {
        tree->RemoveAllItems(true);
        FillTree(*tree);
    }
    if (auto* table = GetControlPtr<AUILib::ListBox*>(L"tableWidget")) {
        table->Clear();
        FillTable(*table);
    }
    if (auto* list = GetControlPtr<AUILib::ListBox*>(L"listWidget")) {
        list->Clear();
        FillList(*list);
    }
    if (auto* combo = GetControlPtr<AUILib::ComboBox*>(L"comboBox")) {
        combo->Clear();
        FillCombo(*combo);
    }
    if (auto* folders = GetControlPtr<AUILib::ComboBoxFS*>(L"comboBoxFS"))
        folders->InitComboBoxFS();
    return true;
}
