// The push buttons of an enciphered fixture form, loaded through
// AUILib::Dialog: every style and setter with its exact sheet, a sheet the
// form gives, the menu click, and the form's button box in English and
// German.
#include "ButtonGoldens.h"
#include "ButtonTestKit.h"

#include "AUILibConfig.h"
#include "ButtonBox.h"
#include "ButtonBoxQt.h"
#include "Dialog.h"
#include "RecordingContextMenu.h"
#include "SignalRecorder.h"
#include "Translator.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>

namespace {

using AUILib::Button;

std::wstring FixtureDir() { return QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString(); }
std::wstring ButtonsForm() { return FixtureDir() + L"auiresources/ui/buttons.ui.kw"; }

// The form's dialog; its window deletes itself on close, or here at the end.
class ButtonsDialog {
public:
    ButtonsDialog() : dialog_(ButtonsForm()), window_(dialog_.GetWndPtr()) {}
    ~ButtonsDialog()
    {
        delete window_.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    AUILib::Dialog& Get() { return dialog_; }
    Button& ButtonNamed(const std::wstring& name)
    {
        Button* button = dialog_.GetControlPtr<Button*>(name);
        EXPECT_NE(button, nullptr);
        return *button;
    }
    QDialogButtonBox* Box()
    {
        auto* box = dialog_.GetControlPtr<AUILib::ButtonBox*>(L"buttonBox");
        return box ? qobject_cast<QDialogButtonBox*>(box->GetBaseImpl()->GetWndPtr()) : nullptr;
    }
    std::shared_ptr<Button> BoxButton(AUILib::StandardButton which)
    {
        return dialog_.GetControlPtr<AUILib::ButtonBox*>(L"buttonBox")->GetButton(which);
    }

    // Shows the window and activates it, as a user's first look does.
    void ShowActive()
    {
        dialog_.DoModeless();
        QApplication::setActiveWindow(window_);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_));
    }

private:
    AUILib::Dialog dialog_;
    QPointer<QWidget> window_;
};

class FormButtons : public ::testing::Test {
protected:
    void SetUp() override
    {
        AUILib::SetCurrentLanguage(L"en-US", true);
        AUILib::SetWorkingDirPath(FixtureDir());
        AUILib::Translator::GetInstance().ResetStringsTable();
    }
    void TearDown() override
    {
        AUILib::SetCurrentLanguage(L"en-US", true);
        AUILib::Translator::GetInstance().ResetStringsTable();
    }
};

TEST_F(FormButtons, EveryStyleWithItsSheet)
{
    for (const StyleCase& c : StyleCases()) {
        SCOPED_TRACE(c.style);
        ButtonsDialog dialog;
        // The table's sheets are those of a 30 px button; btnStyle2 and
        // btnStyle9 are 60 px high, so those styles go on btnStyle1 and
        // btnStyle4, and 10 on btnStyle0.
        const int named = c.style == 2 ? 1 : c.style == 9 ? 4 : c.style == 10 ? 0 : c.style;
        Button& button = dialog.ButtonNamed(L"btnStyle" + std::to_wstring(named));
        ASSERT_EQ(WidgetOf(button)->height(), 30);
        button.SetStyle(static_cast<Button::ButtonStyle>(c.style));
        button.SetText(L"Add");
        EXPECT_EQ(WidgetOf(button)->text(), QString::fromUtf8(c.widgetText));
        EXPECT_EQ(button.GetText(), QString::fromUtf8(c.getText).toStdWString());
        EXPECT_EQ(ImplOf(button).HasLabels(), c.labels);
        EXPECT_EQ(ImplOf(button).GetAppliedStyleSheet(), c.sheet(ImplOf(button).Sheets()));
        EXPECT_EQ(WidgetOf(button)->styleSheet(), AUILib::DecodeSheetColons(c.sheet(ImplOf(button).Sheets())));
    }
}

TEST_F(FormButtons, EverySetterWithItsSheet)
{
    for (const SetterCase& c : SetterCases()) {
        SCOPED_TRACE(c.why);
        ButtonsDialog dialog;
        Button& button = dialog.ButtonNamed(c.height >= 31 ? L"btnGradient" : L"btnStandard");
        ASSERT_EQ(WidgetOf(button)->height(), c.height);
        c.run(button);
        EXPECT_EQ(ImplOf(button).GetAppliedStyleSheet(), c.sheet);
        EXPECT_EQ(WidgetOf(button)->styleSheet(), AUILib::DecodeSheetColons(c.sheet));
    }
    // The radius, focus and font setters on a styled form button.
    ButtonsDialog dialog;
    Button& rounded = dialog.ButtonNamed(L"btnStyle4");
    rounded.SetStyle(Button::Rounded);
    rounded.SetRoundedButtonCornerRadius(6);
    rounded.DisableFocusRect(true);  // the rounded sheet's focus rule has no border width
    EXPECT_EQ(ImplOf(rounded).GetAppliedStyleSheet(),
              AUILib::SetStyleSheetProperty(ImplOf(rounded).Sheets().rounded, "QPushButton", "border-radius", "6px"));
    EXPECT_TRUE(rounded.IsDisableFocusRect());
    AUILib::FontData font;
    font.italic = 1;
    rounded.SetFont(font);
    EXPECT_EQ(rounded.GetFont().italic, 1);
}

TEST_F(FormButtons, TheFormsOwnSheetIsKept)
{
    ButtonsDialog dialog;
    Button& button = dialog.ButtonNamed(L"btnFormSheet");
    const QString own = WidgetOf(button)->styleSheet();
    ASSERT_EQ(own, QStringLiteral("QPushButton{color: #8b0000; font-weight: bold;}"));
    button.SetBackgroundColor(0xFF123456u, true);
    button.SetTextColor(0xFF000000, 0xFF000000);
    button.SetRoundedButtonCornerRadius(3);
    button.DisableFocusRect(false);
    EXPECT_EQ(WidgetOf(button)->styleSheet(), own);
}

TEST_F(FormButtons, ClickWithAMenuShowsItThenEmitsOnce)
{
    ButtonsDialog dialog;
    dialog.ShowActive();
    Button& button = dialog.ButtonNamed(L"btnMenu");
    auto menu = std::make_shared<RecordingContextMenu>();
    button.InsertMenuBar(menu, true);
    size_t shownAtEmission = 0;
    button.clicked.Connect([&] { shownAtEmission = menu->shownAt.size(); });
    SignalRecorder<> clicks(button.clicked);
    QTest::mouseClick(WidgetOf(button), Qt::LeftButton);
    const AUILib::Rect rect = button.GetWindowRect();
    ASSERT_EQ(menu->shownAt.size(), 1u);
    EXPECT_EQ(menu->shownAt[0], QPoint(rect.left, rect.bottom));
    EXPECT_EQ(shownAtEmission, 1u);
    EXPECT_EQ(clicks.Count(), 1u);
}

TEST_F(FormButtons, BoxButtonsSizedAtFirstActivation)
{
    ButtonsDialog dialog;
    auto ok = dialog.BoxButton(AUILib::Ok);
    ASSERT_NE(ok, nullptr);
    ok->SetStyle(Button::Rounded);
    auto cancel = dialog.BoxButton(AUILib::Cancel);
    cancel->SetStyle(Button::Flat);
    EXPECT_TRUE(WidgetOf(*ok)->styleSheet().isEmpty());

    dialog.ShowActive();
    auto* box = qobject_cast<AUILib::ButtonBoxQt*>(dialog.Box());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(box->IsSized());
    const QSize size = box->GetRecordedSize(QDialogButtonBox::Ok);
    ASSERT_TRUE(size.isValid());
    const QString okSheet = WidgetOf(*ok)->styleSheet();
    EXPECT_TRUE(okSheet.startsWith(QStringLiteral("QDialogButtonBox [text='OK'] {min-width:%1px;min-height:%2px;"
                                                  "margin-top:2px; color: #000000;")
                                       .arg(size.width() - 14)
                                       .arg(size.height() - 12)))
        << okSheet.toStdString();
    EXPECT_TRUE(okSheet.contains(QStringLiteral("border-radius: 9px;")));
    EXPECT_TRUE(WidgetOf(*cancel)->styleSheet().startsWith(QStringLiteral("QDialogButtonBox [text='Cancel']{")));
}

TEST_F(FormButtons, GermanBoxTexts)
{
    // Strings first, then the form: the wrapped texts and the box's table agree.
    AUILib::SetCurrentLanguage(L"de-DE", true);
    AUILib::Translator::GetInstance().LoadStrings(L"main");
    ButtonsDialog dialog;
    auto cancel = dialog.BoxButton(AUILib::Cancel);
    ASSERT_EQ(WidgetOf(*cancel)->text(), QStringLiteral("Abbrechen"));
    cancel->SetStyle(Button::HoverBorder);
    auto* box = qobject_cast<AUILib::ButtonBoxQt*>(dialog.Box());
    EXPECT_EQ(box->GetRegisteredSheet(QDialogButtonBox::Cancel), ImplOf(*cancel).Sheets().hoverBorder);
    auto ok = dialog.BoxButton(AUILib::Ok);
    ok->SetStyle(Button::Flat);
    EXPECT_EQ(box->GetRegisteredSheet(QDialogButtonBox::Ok), ImplOf(*ok).Sheets().transparent);
}

} // namespace
