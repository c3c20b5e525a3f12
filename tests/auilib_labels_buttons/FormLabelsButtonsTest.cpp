// The fixture form: every control is found under its name with its type;
// the button box stacks and un-stacks its wrapped buttons; a form link
// takes the form's text.
#include "FormTestSupport.h"
#include "LabelsButtonsKit.h"

#include "Button.h"
#include "ButtonBox.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>

namespace {

TEST(LabelsButtonsForm, EveryControlWithItsType)
{
    LabelsButtonsForm form;
    const std::pair<const wchar_t*, AUILib::ControlType> expected[] = {
        {L"lblParagraph", AUILib::ControlTypeLabel},       {L"lblTruncated", AUILib::ControlTypeLabel},
        {L"lblDisabled", AUILib::ControlTypeLabel},        {L"lblPicture", AUILib::ControlTypeLabel},
        {L"lnkNormal", AUILib::ControlTypeHyperLinkElement}, {L"lnkHover", AUILib::ControlTypeHyperLinkElement},
        {L"lnkVisited", AUILib::ControlTypeHyperLinkElement}, {L"btnRounded", AUILib::ControlTypeButton},
        {L"btnLink", AUILib::ControlTypeButton},           {L"btnMenu", AUILib::ControlTypeButton},
        {L"btnMenuDisabled", AUILib::ControlTypeButton},   {L"chkTristate", AUILib::ControlTypeCheckBox},
        {L"chkWrapped", AUILib::ControlTypeCheckBox},      {L"rdoText", AUILib::ControlTypeRadioButton},
        {L"rdoPicture", AUILib::ControlTypeRadioButton},   {L"bbxRow", AUILib::ControlTypeButtonBox},
        {L"bbxStacked", AUILib::ControlTypeButtonBox},
    };
    for (const auto& [name, type] : expected) {
        SCOPED_TRACE(QString::fromWCharArray(name).toStdString());
        const std::shared_ptr<AUILib::BaseGUIObject> control = form.Get().GetElementByName(name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetControlType(), type);
        QWidget* widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->objectName(), QString::fromWCharArray(name));
        EXPECT_EQ(widget->window(), form.Window());
    }
    EXPECT_NE(dynamic_cast<AUILib::Label*>(form.Get().GetElementByName(L"lblParagraph").get()), nullptr);
    EXPECT_NE(dynamic_cast<AUILib::HyperLinkElement*>(form.Get().GetElementByName(L"lnkNormal").get()), nullptr);
    EXPECT_NE(dynamic_cast<AUILib::CheckBox*>(form.Get().GetElementByName(L"chkWrapped").get()), nullptr);
    EXPECT_NE(dynamic_cast<AUILib::RadioButton*>(form.Get().GetElementByName(L"rdoText").get()), nullptr);
    // The form's texts reach the widgets.
    EXPECT_EQ(form.Named<AUILib::Label>(L"lblDisabled")->GetText(), L"Disabled colour");
    EXPECT_EQ(form.Named<AUILib::CheckBox>(L"chkTristate")->GetText(), L"Tri-state");
    EXPECT_EQ(form.Named<AUILib::RadioButton>(L"rdoText")->GetText(), L"Radio text");
}

TEST(LabelsButtonsForm, ButtonBoxStacksAndFindsItsButtons)
{
    LabelsButtonsForm form;
    auto* box = form.Named<AUILib::ButtonBox>(L"bbxStacked");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(form.ShowActive());
    const auto widgetOf = [](const std::shared_ptr<AUILib::Button>& button) {
        return qobject_cast<QPushButton*>(button->GetBaseImpl()->GetWndPtr());
    };
    const auto boxWidget = qobject_cast<QDialogButtonBox*>(box->GetBaseImpl()->GetWndPtr());
    for (const bool vertical : {true, false, true}) {
        SCOPED_TRACE(vertical ? "stacked" : "row");
        box->SetOrientation(vertical);
        EXPECT_EQ(boxWidget->orientation(), vertical ? Qt::Vertical : Qt::Horizontal);
        QApplication::processEvents();
        const std::shared_ptr<AUILib::Button> ok = box->GetButton(AUILib::Ok);
        const std::shared_ptr<AUILib::Button> cancel = box->GetButton(AUILib::Cancel);
        ASSERT_NE(ok, nullptr);
        ASSERT_NE(cancel, nullptr);
        EXPECT_NE(ok, cancel);
        EXPECT_EQ(box->GetButton(AUILib::Ok), ok);  // the same object each call
        EXPECT_EQ(widgetOf(ok), boxWidget->button(QDialogButtonBox::Ok));
        const QRect okArea = widgetOf(ok)->geometry();
        const QRect cancelArea = widgetOf(cancel)->geometry();
        EXPECT_FALSE(okArea.intersects(cancelArea));
        if (vertical) {
            EXPECT_EQ(okArea.left(), cancelArea.left());
            EXPECT_NE(okArea.top(), cancelArea.top());
        } else {
            EXPECT_EQ(okArea.top(), cancelArea.top());
            EXPECT_NE(okArea.left(), cancelArea.left());
        }
    }
    EXPECT_EQ(box->GetButton(AUILib::Yes), nullptr);
}

TEST(LabelsButtonsForm, FormLinkTakesTheFormsText)
{
    LabelsButtonsForm form;
    auto* link = form.Named<AUILib::HyperLinkElement>(L"lnkNormal");
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->GetText(), L"");  // nothing read before the first show
    ASSERT_TRUE(form.ShowActive());
    EXPECT_EQ(link->GetText(), L"Help");
    EXPECT_EQ(WidgetOf(*link)->text(), QStringLiteral("<a href=\" \" style=\"color: #ff2189f7;\">Help</a>"));
    EXPECT_EQ(WidgetOf(*link)->buddy(), WidgetOf(*link));
}

} // namespace
