// The edits of the enciphered fixture form, loaded through Dialog: each
// found under its name as its own control type, then dressed (a suffix; a
// placeholder and an extended button from ICO bytes; password entry;
// adaptive height; a bold coloured selection) and pictured under a light and a dark
// palette, with the four balloon forms shown on them.
#include "AUILibConfig.h"
#include "DarkLook.h"
#include "PicturePixels.h"
#include "BaseImpl.h"
#include "Dialog.h"
#include "Edit.h"
#include "IcoBytes.h"
#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"
#include "RichEdit.h"
#include "RichEditQt.h"
#include "PromptsPopupQt.h"
#include "Screenshot.h"
#include "Translator.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

using namespace AUILib;

namespace {

std::wstring EditsForm() { return QString(AUILIB_FIXTURES_ENCIPHERED "/auiresources/ui/edits.ui.kw").toStdWString(); }

void UseFixtureFolder()
{
    SetCurrentLanguage(L"en-US", true);
    SetWorkingDirPath(QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString());
    Translator::GetInstance().ResetStringsTable();
}

TEST(EditsForm, EveryEditIsFoundAsItsOwnType)
{
    UseFixtureFolder();
    Dialog dialog(EditsForm());
    QPointer<QWidget> window = dialog.GetWndPtr();
    const std::pair<const wchar_t*, ControlType> rows[] = {
        {L"editSuffix", ControlTypeEdit},
        {L"editSearch", ControlTypeEdit},
        {L"editPassword", ControlTypeEdit},
        {L"editNotes", ControlTypeMultiLineEdit},
        {L"editRich", ControlTypeRichEdit},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QString::fromWCharArray(row.first).toStdString());
        const std::shared_ptr<BaseGUIObject> control = dialog.GetElementByName(row.first);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetControlType(), row.second);
        EXPECT_EQ(control->GetBaseImpl()->GetWndPtr()->parentWidget(), window.data());
    }
    EXPECT_NE(dialog.GetControlPtr<Edit*>(L"editSuffix"), nullptr);
    EXPECT_NE(dialog.GetControlPtr<MultiLineEdit*>(L"editNotes"), nullptr);
    EXPECT_NE(dialog.GetControlPtr<RichEdit*>(L"editRich"), nullptr);
    // The form's own texts reach the controls.
    EXPECT_EQ(dialog.GetControlPtr<MultiLineEdit*>(L"editNotes")->GetText(), L"First line\nSecond line\nThird line");
    EXPECT_EQ(dialog.GetControlPtr<RichEdit*>(L"editRich")->GetText(), L"Bold red words among plain ones");
    EXPECT_EQ(qobject_cast<QLineEdit*>(dialog.GetElementByName(L"editPassword")->GetBaseImpl()->GetWndPtr())->echoMode(),
              QLineEdit::Password);
    delete window.data();
}

// The four balloon forms, each on one of the form's edits: its picture
// (the popup window alone) under name_<form>.
void SaveBalloons(Dialog& dialog, const QString& name)
{
    struct Form {
        const char* form;
        const wchar_t* control;
        const wchar_t* title;
        BalloonTipIconType icon;
    };
    const Form forms[] = {
        {"title_icon", L"editSuffix", L"Out of range", BalloonTipWarning},
        {"title", L"editPassword", L"Caps Lock is on", BalloonTipNoIcon},
        {"text", L"editNotes", L"", BalloonTipNoIcon},
        {"icon", L"editRich", L"", BalloonTipInformation},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.form);
        BaseImpl& impl = *dialog.GetElementByName(form.control)->GetBaseImpl();
        const std::wstring text = L"The value must lie\nbetween 0 and 100.";
        EXPECT_TRUE(*form.title ? impl.ShowBalloonTipEx(form.title, text, form.icon, false, true)
                                : impl.ShowBalloonTipEx(text, form.icon, false, true));
        const auto labels = impl.GetWndPtr()->findChildren<PromptsPopupQt*>();
        ASSERT_FALSE(labels.isEmpty());
        EXPECT_TRUE(impl.IsBalloonTipDisplayed());
        EXPECT_FALSE(saveScreenshot(labels.last(), name + QLatin1Char('_') + QLatin1String(form.form)).isEmpty());
        const QImage balloon = labels.last()->grab().toImage();
        EXPECT_GT(PixelsAwayFrom(balloon, balloon.rect(), DominantColour(balloon)), 50);   // its text
        impl.HideBalloonTipEx();
    }
}

QString SaveForm(const QString& name)
{
    UseFixtureFolder();
    Dialog dialog(EditsForm());
    QPointer<QWidget> window = dialog.GetWndPtr();

    auto* weight = dialog.GetControlPtr<Edit*>(L"editSuffix");
    weight->SetSuffix(L" kg");
    weight->SetText(L"72");
    EXPECT_EQ(weight->GetText(), L"72 kg");

    auto* search = dialog.GetControlPtr<Edit*>(L"editSearch");
    search->SetPlaceHolderText(L"Search the documents");
    search->EnableExtendedButton(L"", L"");
    const QByteArray ico = IcoBytes({16});
    search->ExtendedButtonSetImage(reinterpret_cast<const unsigned char*>(ico.constData()), ico.size(), ImageICO,
                                   false);
    auto* searchWidget = qobject_cast<QLineEdit*>(search->GetWndPtr());
    EXPECT_EQ(searchWidget->placeholderText(), QStringLiteral("Search the documents"));
    const auto buttons = searchWidget->findChildren<QToolButton*>();
    EXPECT_FALSE(buttons.isEmpty() || buttons.last()->icon().isNull());

    auto* password = dialog.GetControlPtr<Edit*>(L"editPassword");
    password->SetPasswordMode(Edit::PasswordHidden);
    EXPECT_EQ(password->GetPasswordMode(), 1);

    auto* notes = dialog.GetControlPtr<MultiLineEdit*>(L"editNotes");
    auto* notesWidget = qobject_cast<MultiLineEditQt*>(notes->GetBaseImpl()->GetWndPtr());
    const int lineSpacing = QFontMetrics(notesWidget->font()).lineSpacing();
    // The height counts font line spacings, a pixel short of the laid-out
    // lines each; with no scroll bar the field reads as sized to its text.
    notes->SetScrollBarPolicy(MultiLineEdit::ScrollBarAlwaysOff);
    notes->SetAdaptiveHeight(true);
    const int threeLines = notesWidget->height();
    EXPECT_GT(threeLines, 3 * lineSpacing);
    EXPECT_LT(threeLines, 4 * lineSpacing + 20);

    auto* rich = dialog.GetControlPtr<RichEdit*>(L"editRich");
    rich->SetSel({0, 8});
    rich->SetSelectionCharFormat({-1, 0xC02020, RichEdit::CharBold, L""});
    const RichEdit::CharFormat_ format = rich->GetSelectionCharFormat();
    EXPECT_EQ(format.flags, RichEdit::CharBold);
    EXPECT_EQ(format.color, 0xC02020);
    rich->SetSel({31, 31});  // the cursor after the text, the formatted words unselected

    dialog.DoModeless();
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    const QString path = saveScreenshot(window, name);
    // The window in its palette; the rich edit's red bold words.
    const QImage picture = window->grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(1, 1)), window->palette().color(QPalette::Window));
    EXPECT_GT(PixelsNear(picture, RectInWindow(rich->GetBaseImpl()->GetWndPtr()), QColor(0xC0, 0x20, 0x20), 90), 10);
    SaveBalloons(dialog, name + QStringLiteral("_balloon"));
    delete window.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return path;
}

TEST(EditsForm, PicturesLightAndDark)
{
    const QString light = SaveForm(QStringLiteral("auilib_edits_form_light"));
    QString dark;
    {
        DarkLook look;
        dark = SaveForm(QStringLiteral("auilib_edits_form_dark"));
    }
    ASSERT_FALSE(light.isEmpty());
    ASSERT_FALSE(dark.isEmpty());
    EXPECT_GT(QFileInfo(light).size(), 0);
    EXPECT_GT(QFileInfo(dark).size(), 0);
}

} // namespace
