// Styles, texts and the setters that edit the applied sheet: exact sheets,
// what is changed, what is never added, and what a form's own sheet keeps.
#include "ButtonGoldens.h"
#include "ButtonTestKit.h"

#include "AgnosticUIException.h"
#include "ButtonBoxQt.h"
#include "StyleSheetProperty.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>

#include <cmath>
#include <functional>
#include <limits>

namespace {

using AUILib::Button;

TEST(ButtonStyle, StylesThenSetText)
{
    for (const StyleCase& c : StyleCases()) {
        SCOPED_TRACE(c.style);
        auto button = MakeButton(100, 30);
        button->SetStyle(static_cast<Button::ButtonStyle>(c.style));
        button->SetText(L"Add");
        Button::impl& impl = ImplOf(*button);
        EXPECT_EQ(button->GetStyle(), c.style);
        EXPECT_EQ(WidgetOf(*button)->text(), QString::fromUtf8(c.widgetText));
        EXPECT_EQ(button->GetText(), QString::fromUtf8(c.getText).toStdWString());
        EXPECT_EQ(impl.HasLabels(), c.labels);
        EXPECT_EQ(impl.GetAppliedStyleSheet(), c.sheet(impl.Sheets()));
        EXPECT_TRUE(WidgetOf(*button)->isFlat() || c.sheet(impl.Sheets()).isEmpty());
        EXPECT_FALSE(impl.IsChangeInProgress());
    }
}

TEST(ButtonStyle, LabelStylesPlusTwiceAndLabelsThatStay)
{
    {
        auto button = MakeButton(100, 30);
        button->SetStyle(Button::Plus);
        button->SetText(L"Add");
        button->SetStyle(Button::Plus);
        EXPECT_EQ(WidgetOf(*button)->text(), QStringLiteral("+ + Add"));
        EXPECT_EQ(button->GetText(), L"+ Add");
    }
    {
        // The widget's text moves to the text label; the labels stay after
        // a change to a style without them.
        auto button = MakeButton(100, 30);
        button->SetText(L"Open");
        button->SetStyle(Button::RoundedIconAboveText);
        Button::impl& impl = ImplOf(*button);
        ASSERT_TRUE(impl.HasLabels());
        EXPECT_EQ(impl.GetTextLabel()->text(), QStringLiteral("Open"));
        EXPECT_EQ(impl.GetTextLabel()->styleSheet(), AUILib::DecodeSheetColons(impl.Sheets().label));
        EXPECT_EQ(impl.GetTextLabel()->alignment(), Qt::AlignCenter);
        EXPECT_EQ(impl.GetPictureLabel()->alignment(), Qt::AlignCenter);
        EXPECT_EQ(impl.GetTextLabel()->buddy(), WidgetOf(*button));
        EXPECT_TRUE(WidgetOf(*button)->text().isEmpty());
        EXPECT_TRUE(impl.GetAppliedStyleSheet().startsWith(QStringLiteral("QPushButton { color: #000000;")));

        // Again: the label keeps its text.
        button->SetStyle(Button::RoundedIconAboveText);
        EXPECT_EQ(button->GetText(), L"Open");

        button->SetStyle(Button::Flat);
        EXPECT_EQ(button->GetText(), L"Open");
        button->SetText(L"Close");
        EXPECT_EQ(button->GetText(), L"Close");
        EXPECT_TRUE(WidgetOf(*button)->text().isEmpty());
        EXPECT_EQ(impl.GetAppliedStyleSheet(), impl.Sheets().transparent);
    }
}

TEST(ButtonStyle, LabelsDeletedFromOutsideAreMadeAgainNotUsed)
{
    // The labels are children of the widget, so anyone holding the widget
    // can delete them; the button then treats them as not made yet.
    const struct {
        const char* why;
        bool pictureLabel;
        bool textLabel;
    } cases[] = {
        {"text label", false, true},
        {"picture label", true, false},
        {"both labels", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        for (const Button::ButtonStyle style : {Button::IconAboveText, Button::RoundedIconAboveText}) {
            auto button = MakeButton(100, 30);
            button->SetStyle(style);
            button->SetText(L"Open");
            Button::impl& impl = ImplOf(*button);
            ASSERT_TRUE(impl.HasLabels());
            if (c.pictureLabel)
                delete impl.GetPictureLabel();
            if (c.textLabel)
                delete impl.GetTextLabel();
            EXPECT_FALSE(impl.HasLabels());

            // The text went with the labels; the widget's own text is read.
            EXPECT_EQ(button->GetText(), L"");
            button->SetText(L"Next");
            EXPECT_EQ(button->GetText(), L"Next");
            button->SetTextColor(0x00112233);
            button->SetTextColor(0xFF112233, 0xFF445566);

            // The style makes a fresh pair, alone on the widget.
            button->SetStyle(style);
            ASSERT_TRUE(impl.HasLabels());
            EXPECT_EQ(button->GetText(), L"Next");
            EXPECT_TRUE(WidgetOf(*button)->text().isEmpty());
            EXPECT_EQ(WidgetOf(*button)->findChildren<QLabel*>().size(), 2);
            ASSERT_NE(WidgetOf(*button)->layout(), nullptr);
            EXPECT_GE(WidgetOf(*button)->layout()->indexOf(impl.GetTextLabel()), 0);
            EXPECT_GE(WidgetOf(*button)->layout()->indexOf(impl.GetPictureLabel()), 0);
            button->SetText(L"Last");
            EXPECT_EQ(impl.GetTextLabel()->text(), QStringLiteral("Last"));
            EXPECT_FALSE(impl.IsChangeInProgress());
        }
    }
}

TEST(ButtonStyle, SettersOnTheDefaultSheets)
{
    for (const SetterCase& c : SetterCases()) {
        SCOPED_TRACE(c.why);
        auto button = MakeButton(100, c.height);
        c.run(*button);
        EXPECT_EQ(ImplOf(*button).GetAppliedStyleSheet(), c.sheet);
        // Qt gets the sheet with real colons.
        EXPECT_EQ(WidgetOf(*button)->styleSheet(), AUILib::DecodeSheetColons(c.sheet));
        EXPECT_EQ(WidgetOf(*button)->minimumHeight(), 18);
    }
}

TEST(ButtonStyle, TextColourMembersIgnoreAlpha)
{
    auto button = MakeButton(100, 30);
    button->SetTextColor(0x80AABBCC, 0x10010203);
    EXPECT_EQ(ImplOf(*button).GetTextColour(), QColor(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(ImplOf(*button).GetDisabledTextColour(), QColor(0x01, 0x02, 0x03));
    button->SetTextColor(0x7F654321);
    EXPECT_EQ(ImplOf(*button).GetTextColour(), QColor(0x65, 0x43, 0x21));

    // With labels the text label's own sheet takes the colours; its encoded
    // copy keeps the gradient whole for later edits.
    auto labelled = MakeButton(100, 30);
    labelled->SetStyle(Button::IconAboveText);
    labelled->SetTextColor(0xFF112233, 0xFF445566);
    Button::impl& impl = ImplOf(*labelled);
    EXPECT_EQ(impl.GetLabelStyleSheet(),
              QStringLiteral("QLabel { background-color: transparent; text-align: center; border: 0px; "
                             "color: #ff112233; } QLabel:disabled { color: #ff445566; } "));
    EXPECT_EQ(impl.GetTextLabel()->styleSheet(), impl.GetLabelStyleSheet());
    EXPECT_EQ(impl.GetAppliedStyleSheet(), impl.Sheets().transparent);
    labelled->SetTextColor(0x00ABCDEF);
    EXPECT_TRUE(impl.GetLabelStyleSheet().startsWith(
        QStringLiteral("QLabel { background-color: transparent; text-align: center; border: 0px; color: #abcdef; }")));
}

TEST(ButtonStyle, NothingAddedAndAFormSheetKept)
{
    // The transparent sheet has border colours only under hover and focus.
    auto flat = MakeButton(100, 40);
    flat->SetStyle(Button::Flat);
    flat->SetBorderColor(0xFF010101, 0xFF020202, 0xFF030303);
    const QString sheet = ImplOf(*flat).GetAppliedStyleSheet();
    EXPECT_EQ(sheet.count(QStringLiteral("border-color")), 3);  // hover, focus, pressed as before
    EXPECT_TRUE(sheet.contains(QStringLiteral("QPushButton:hover { background-color: transparent; border: none; "
                                              "border-color: #ff020202; }")));
    EXPECT_TRUE(sheet.contains(QStringLiteral("border-style: dashed; border-color: #ff020202;")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("#ff010101")));
    EXPECT_FALSE(sheet.contains(QStringLiteral("#ff030303")));

    // A sheet the widget has from elsewhere is neither replaced by a default
    // nor wiped by an edit of the empty applied sheet.
    auto formed = MakeButton(100, 40);
    const QString own = QStringLiteral("QPushButton{color:red;}");
    WidgetOf(*formed)->setStyleSheet(own);
    formed->SetBackgroundColor(0xFF112233, 0xFF445566, 0xFF778899, 0xFFFFFFFF, 0xFFFFFFFF);
    formed->SetTextColor(0xFF000000, 0xFF000000);
    formed->SetBorderColor(0xFF000000, 0xFF000000, 0xFF000000);
    formed->SetRoundedButtonCornerRadius(4);
    formed->DisableFocusRect(true);
    EXPECT_EQ(WidgetOf(*formed)->styleSheet(), own);
    EXPECT_TRUE(ImplOf(*formed).GetAppliedStyleSheet().isEmpty());
    EXPECT_TRUE(formed->IsDisableFocusRect());

    // Each style replaces the whole sheet: earlier edits are gone.
    flat->SetStyle(Button::HoverBorder);
    EXPECT_EQ(ImplOf(*flat).GetAppliedStyleSheet(), ImplOf(*flat).Sheets().hoverBorder);
}

TEST(ButtonStyle, DefaultSheetChoice)
{
    AUILib::ButtonBoxQt box;
    const struct {
        const char* why;
        int height;
        QWidget* parent;
        bool gradient;
    } kCases[] = {
        {"30 px", 30, nullptr, false},
        {"31 px, no parent", 31, nullptr, true},
        {"40 px in a button box", 40, &box, false},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        auto button = MakeButton(100, c.height, c.parent);
        Button::impl& impl = ImplOf(*button);
        impl.ApplyDefaultStyleSheet();
        EXPECT_EQ(impl.GetAppliedStyleSheet(), c.gradient ? impl.Sheets().gradient : impl.Sheets().standard);
    }
    // A button that has had a sheet applied keeps it.
    auto styled = MakeButton(100, 40);
    styled->SetStyle(Button::Link);
    ImplOf(*styled).ApplyDefaultStyleSheet();
    EXPECT_EQ(ImplOf(*styled).GetAppliedStyleSheet(), ImplOf(*styled).Sheets().hoverBorderNoFocus);
}

TEST(ButtonStyle, CornerRadiusAndFocusRect)
{
    for (int height : {25, 24}) {
        SCOPED_TRACE(height);
        auto button = MakeButton(100, height);
        button->SetStyle(Button::Rounded);
        button->SetRoundedButtonCornerRadius(0);
        EXPECT_EQ(button->GetRoundedButtonCornerRadius(), 0);
        EXPECT_TRUE(ImplOf(*button).GetAppliedStyleSheet().startsWith(
            QStringLiteral("QPushButton { color: #000000; background-color: #e5e5e5; border: 1px solid; "
                           "border-radius: 12px; border-color: #afafaf; }")));
        button->SetRoundedButtonCornerRadius(-3);
        EXPECT_EQ(button->GetRoundedButtonCornerRadius(), -3);
        button->SetRoundedButtonCornerRadius(7);
        EXPECT_TRUE(ImplOf(*button).GetAppliedStyleSheet().contains(QStringLiteral("border-radius: 7px;")));
        // A later SetStyle uses the stored radius.
        button->SetStyle(Button::RoundedFixed);
        EXPECT_TRUE(ImplOf(*button).GetAppliedStyleSheet().contains(QStringLiteral("border-radius: 7px;")));
    }

    // In a button box the automatic radius is 9, whatever the height.
    AUILib::ButtonBoxQt box;
    auto boxed = MakeButton(100, 40, &box);
    boxed->SetStyle(Button::Rounded);
    EXPECT_TRUE(ImplOf(*boxed).GetAppliedStyleSheet().contains(QStringLiteral("border-radius: 9px;")));

    // The transparent sheet declares no radius: the call only stores it.
    auto flat = MakeButton(100, 30);
    flat->SetStyle(Button::Flat);
    flat->SetRoundedButtonCornerRadius(6);
    EXPECT_EQ(flat->GetRoundedButtonCornerRadius(), 6);
    EXPECT_EQ(AUILib::StyleSheetToJson(ImplOf(*flat).GetAppliedStyleSheet()),
              AUILib::StyleSheetToJson(ImplOf(*flat).Sheets().transparent));

    flat->DisableFocusRect(true);
    EXPECT_TRUE(flat->IsDisableFocusRect());
    EXPECT_TRUE(ImplOf(*flat).GetAppliedStyleSheet().contains(
        QStringLiteral("QPushButton:focus { outline: 0; border-width: 0px;")));
    flat->DisableFocusRect(false);
    EXPECT_FALSE(flat->IsDisableFocusRect());
    EXPECT_TRUE(ImplOf(*flat).GetAppliedStyleSheet().contains(
        QStringLiteral("QPushButton:focus { outline: 0; border-width: 1px;")));
}

TEST(ButtonStyle, FontCheckAndMinimumHeight)
{
    auto button = MakeButton(100, 30);
    AUILib::FontData font;
    font.bold = 1;
    font.pointSize = 12.0;
    button->SetFont(font);
    AUILib::FontData read = button->GetFont();
    EXPECT_EQ(read.bold, 1);
    EXPECT_EQ(read.italic, 0);
    EXPECT_EQ(read.underline, 0);
    EXPECT_NEAR(read.pointSize, 12.0, 0.5);  // the size of the font found, through QFontInfo
    EXPECT_EQ(read.symbolFamily, -1);
    EXPECT_FALSE(read.faceName.empty());

    // Sizes Qt cannot use count as not given; the other fields still apply.
    for (double size : {std::numeric_limits<double>::quiet_NaN(), 0.0, -1.0, -5.5}) {
        AUILib::FontData change;
        change.pointSize = size;
        change.italic = 1;
        change.underline = 1;
        button->SetFont(change);
        EXPECT_DOUBLE_EQ(WidgetOf(*button)->font().pointSizeF(), 12.0) << size;
    }
    read = button->GetFont();
    EXPECT_EQ(read.italic, 1);
    EXPECT_EQ(read.underline, 1);
    EXPECT_EQ(read.bold, 1);

    EXPECT_FALSE(WidgetOf(*button)->isCheckable());
    button->SetChecked(false);
    EXPECT_TRUE(WidgetOf(*button)->isCheckable());
    EXPECT_FALSE(button->GetCheck());
    button->SetChecked(true);
    EXPECT_TRUE(button->GetCheck());

    // The first applied sheet gives a button without a minimum height 18;
    // one with its own minimum keeps it.
    EXPECT_EQ(WidgetOf(*button)->minimumHeight(), 0);
    button->SetStyle(Button::HoverBorder);
    EXPECT_EQ(WidgetOf(*button)->minimumHeight(), 18);
    auto tall = MakeButton(100, 30);
    WidgetOf(*tall)->setMinimumHeight(25);
    tall->SetStyle(Button::HoverBorder);
    EXPECT_EQ(WidgetOf(*tall)->minimumHeight(), 25);
}

TEST(ButtonStyle, WidgetGone)
{
    auto button = MakeButton(100, 30);
    delete WidgetOf(*button);
    EXPECT_EQ(ImplOf(*button).GetWndPtr(), nullptr);
    button->SetChecked(true);
    EXPECT_FALSE(button->GetCheck());
    button->SetText(L"x");
    EXPECT_EQ(button->GetText(), L"");
    for (int style = 0; style <= 9; ++style)
        button->SetStyle(static_cast<Button::ButtonStyle>(style));
    button->SetBackgroundColor(0x123456u, true);
    button->SetTextColor(1);
    button->SetRoundedButtonCornerRadius(3);
    button->DisableFocusRect(true);
    AUILib::FontData font;
    button->SetFont(font);
    button->LoadPicture(L"/nonexistent.png", AUILib::ScaleKeep, 16, false);
    EXPECT_EQ(button->GetFont().pointSize, -1.0);
    EXPECT_THROW(button->IdealSize(), AUILib::AgnosticUIException);
    EXPECT_THROW(button->Create(nullptr), AUILib::AgnosticUIException);
}

} // namespace
