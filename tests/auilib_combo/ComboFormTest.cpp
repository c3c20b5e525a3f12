// A form with both combo boxes, enciphered and loaded through the dialog,
// gives working controls.
#include "ComboTestKit.h"

#include "AUILibConfig.h"
#include "ComboBoxFS.h"
#include "Dialog.h"
#include "PopupPicker.h"
#include "SignalRecorder.h"
#include "Translator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

TEST(ComboForm, BothCombosFromAnEncipheredForm)
{
    AUILib::SetCurrentLanguage(L"en-US", true);
    AUILib::SetWorkingDirPath(QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString());
    AUILib::Translator::GetInstance().ResetStringsTable();
    QPointer<QWidget> window;
    {
        AUILib::Dialog dialog(QString(AUILIB_FIXTURES_ENCIPHERED "/auiresources/ui/combos.ui.kw").toStdWString());
        window = dialog.GetWndPtr();
        auto box = std::dynamic_pointer_cast<AUILib::ComboBox>(dialog.GetElementByName(L"comboBox"));
        auto folders = std::dynamic_pointer_cast<AUILib::ComboBoxFS>(dialog.GetElementByName(L"folderBox"));
        ASSERT_TRUE(box);
        ASSERT_TRUE(folders);
        EXPECT_EQ(box->GetControlType(), 7);
        EXPECT_EQ(folders->GetControlType(), 30);
        EXPECT_EQ(WidgetOf(*box)->parentWidget(), window);
        EXPECT_EQ(WidgetOf(*box)->objectName(), QStringLiteral("comboBox"));

        box->AddItem(L"one", AUILib::any(1));
        box->AddItem(L"two", AUILib::any(2));
        SignalRecorder<int> changed(box->OnCurrentIndexChanged);
        box->SetCurSel(1);
        EXPECT_EQ(AUILib::any_cast<int>(box->GetItemData(box->GetCurSel())), 2);
        EXPECT_EQ(changed.Count(), 1u);
        box->OnlyNumbers(true, 0, 99);
        EXPECT_GE(box->GetCaretPosition(), 0);  // editable from the form

        folders->InitComboBoxFS();
        EXPECT_EQ(folders->Count(), 7);
        AUILib::ComboBoxFS::FSData last;
        EXPECT_TRUE(folders->GetSearchFolderItem(last, 6));
        EXPECT_EQ(last.type, AUILib::ComboBoxFS::BrowseEntry);
    }
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
