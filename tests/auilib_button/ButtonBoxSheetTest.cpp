// Standard buttons of a library button box: sheets registered by translated
// text, sizes recorded at the first activation, the readdressed sheets.
#include "ButtonTestKit.h"

#include "AUILibConfig.h"
#include "ButtonBoxQt.h"
#include "LanguageFileDir.h"
#include "Translator.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>

namespace {

using AUILib::Button;
using AUILib::ButtonBoxQt;

// The rounded sheet with a 9 px radius, as the editor writes it, readdressed
// to the button of text and opened by the size declarations.
QString RoundedIn(const QString& selector, const QString& sizes)
{
    return selector + QStringLiteral(" {") + sizes +
           QStringLiteral(" color: #000000; background-color: #e5e5e5; border: 1px solid; border-radius: 9px; "
                          "border-color: #afafaf; } ") +
           selector +
           QStringLiteral(":focus { outline: none; background-color: #e5e5e5; border-color: #afafaf; } ") + selector +
           QStringLiteral(":disabled { color: #c3c3c3; background-color: #ececec; border-color: #d6d6d6; } ") +
           selector + QStringLiteral(":hover { background-color: #e5e5e5; border-color: #afafaf; } ") + selector +
           QStringLiteral(":pressed { background-color: #e5e5e5; } ");
}

void Activate(QWidget* box)
{
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(box, &activate);
}

// A box with the given standard buttons wrapped as form loading wraps them,
// each laid out at the given size.
struct Box {
    explicit Box(QDialogButtonBox::StandardButtons buttons, QSize size = QSize(80, 24),
                 Qt::Orientation orientation = Qt::Horizontal)
    {
        widget.setOrientation(orientation);
        widget.setStandardButtons(buttons);
        for (QAbstractButton* b : widget.buttons()) {
            auto* push = qobject_cast<QPushButton*>(b);
            push->setGeometry(0, 0, size.width(), size.height());
            wrapped.push_back(std::make_shared<Button>(push));
        }
    }
    std::shared_ptr<Button> Of(QDialogButtonBox::StandardButton which)
    {
        for (const auto& b : wrapped) {
            if (WidgetOf(*b) == widget.button(which))
                return b;
        }
        return nullptr;
    }

    ButtonBoxQt widget;
    std::vector<std::shared_ptr<Button>> wrapped;
};

class ButtonBoxSheet : public ::testing::Test {
protected:
    void SetUp() override { AUILib::Translator::GetInstance().ResetStringsTable(); }
    void TearDown() override
    {
        AUILib::SetCurrentLanguage(L"en-US", true);
        AUILib::Translator::GetInstance().ResetStringsTable();
    }
};

TEST_F(ButtonBoxSheet, RegisteredByTextStyledOnlyOnceActivated)
{
    Box box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto ok = box.Of(QDialogButtonBox::Ok);
    ASSERT_EQ(WidgetOf(*ok)->text(), QStringLiteral("OK"));
    ok->SetStyle(Button::Rounded);
    const QString applied = ImplOf(*ok).GetAppliedStyleSheet();
    EXPECT_EQ(box.widget.GetRegisteredSheet(QDialogButtonBox::Ok), applied);
    EXPECT_TRUE(applied.contains(QStringLiteral("border-radius: 9px;")));
    // Never activated: nothing on the buttons yet.
    EXPECT_TRUE(WidgetOf(*ok)->styleSheet().isEmpty());
    EXPECT_FALSE(box.widget.IsSized());

    // A mnemonic marker matches no standard text: the sheet is dropped.
    auto cancel = box.Of(QDialogButtonBox::Cancel);
    WidgetOf(*cancel)->setText(QStringLiteral("&Cancel"));
    cancel->SetStyle(Button::Flat);
    EXPECT_TRUE(box.widget.GetRegisteredSheet(QDialogButtonBox::Cancel).isEmpty());
    EXPECT_EQ(ImplOf(*cancel).GetAppliedStyleSheet(), ImplOf(*cancel).Sheets().transparent);

    Box marked(QDialogButtonBox::Ok);
    auto markedOk = marked.Of(QDialogButtonBox::Ok);
    WidgetOf(*markedOk)->setText(QStringLiteral("&OK"));
    markedOk->SetStyle(Button::Flat);
    EXPECT_TRUE(marked.widget.GetRegisteredSheet(QDialogButtonBox::Ok).isEmpty());

    Activate(&box.widget);
    EXPECT_TRUE(box.widget.IsSized());
    EXPECT_EQ(box.widget.GetRecordedSize(QDialogButtonBox::Ok), QSize(80, 24));
    EXPECT_EQ(box.widget.GetRecordedSize(QDialogButtonBox::Cancel), QSize(80, 24));
    EXPECT_EQ(WidgetOf(*ok)->styleSheet(),
              RoundedIn(QStringLiteral("QDialogButtonBox [text='OK']"),
                        QStringLiteral("min-width:66px;min-height:12px;margin-top:2px;")));
    EXPECT_TRUE(WidgetOf(*cancel)->styleSheet().isEmpty());
}

TEST_F(ButtonBoxSheet, PreparedSheetsAreReaddressedWithoutSizes)
{
    Box box(QDialogButtonBox::Cancel);
    auto cancel = box.Of(QDialogButtonBox::Cancel);
    cancel->SetStyle(Button::Flat);
    Activate(&box.widget);
    QString expected = AUILib::DecodeSheetColons(ImplOf(*cancel).Sheets().transparent);
    expected.replace(QStringLiteral("QPushButton"), QStringLiteral("QDialogButtonBox [text='Cancel']"));
    EXPECT_EQ(WidgetOf(*cancel)->styleSheet(), expected);

    // Colons encoded in the registered sheet reach the button decoded.
    cancel->SetStyle(Button::Default);
    ImplOf(*cancel).ApplyStyleSheet(ImplOf(*cancel).Sheets().standard);
    EXPECT_TRUE(box.widget.GetRegisteredSheet(QDialogButtonBox::Cancel).contains(QStringLiteral("\\u3A")));
    EXPECT_FALSE(WidgetOf(*cancel)->styleSheet().contains(QStringLiteral("\\u3A")));
    EXPECT_TRUE(WidgetOf(*cancel)->styleSheet().contains(QStringLiteral("stop:0 #5ca5ff")));
}

TEST_F(ButtonBoxSheet, VerticalBoxAndReregistrationKeepTheRecordedSize)
{
    Box box(QDialogButtonBox::Ok, QSize(90, 30), Qt::Vertical);
    auto ok = box.Of(QDialogButtonBox::Ok);
    ok->SetStyle(Button::Rounded);
    Activate(&box.widget);
    const QString selector = QStringLiteral("QDialogButtonBox [text='OK']");
    EXPECT_EQ(WidgetOf(*ok)->styleSheet(), RoundedIn(selector, QStringLiteral("min-width:76px;min-height:16px;")));

    // Registered again once sized: set at once, with the size first recorded.
    WidgetOf(*ok)->setGeometry(0, 0, 200, 50);
    ok->SetRoundedButtonCornerRadius(4);
    EXPECT_EQ(WidgetOf(*ok)->styleSheet(),
              RoundedIn(selector, QStringLiteral("min-width:76px;min-height:16px;"))
                  .replace(QStringLiteral("border-radius: 9px;"), QStringLiteral("border-radius: 4px;")));
    // A second activation measures nothing.
    Activate(&box.widget);
    EXPECT_EQ(box.widget.GetRecordedSize(QDialogButtonBox::Ok), QSize(90, 30));

    // Empty texts or sheets register nothing but still refresh a sized box.
    WidgetOf(*ok)->setStyleSheet(QString());
    box.widget.SetButtonStyleSheet(QString(), QStringLiteral("QPushButton{color:red;}"));
    box.widget.SetButtonStyleSheet(QStringLiteral("OK"), QString());
    EXPECT_TRUE(WidgetOf(*ok)->styleSheet().contains(QStringLiteral("border-radius: 4px;")));
}

TEST_F(ButtonBoxSheet, TwoBoxesKeepTheirOwnSizes)
{
    Box small(QDialogButtonBox::Ok, QSize(80, 24));
    Box large(QDialogButtonBox::Ok, QSize(120, 40));
    small.Of(QDialogButtonBox::Ok)->SetStyle(Button::Rounded);
    large.Of(QDialogButtonBox::Ok)->SetStyle(Button::Rounded);
    Activate(&small.widget);
    Activate(&large.widget);
    small.Of(QDialogButtonBox::Ok)->SetRoundedButtonCornerRadius(9);
    EXPECT_TRUE(WidgetOf(*small.Of(QDialogButtonBox::Ok))
                    ->styleSheet()
                    .contains(QStringLiteral("{min-width:66px;min-height:12px;margin-top:2px;")));
    EXPECT_TRUE(WidgetOf(*large.Of(QDialogButtonBox::Ok))
                    ->styleSheet()
                    .contains(QStringLiteral("{min-width:106px;min-height:28px;margin-top:2px;")));
}

TEST_F(ButtonBoxSheet, PlainButtonBoxTakesNothing)
{
    QDialogButtonBox plain(QDialogButtonBox::Ok);
    Button ok(plain.button(QDialogButtonBox::Ok));
    ok.SetStyle(Button::Flat);
    ok.SetBackgroundColor(0xFF102030u, true);
    EXPECT_TRUE(ImplOf(ok).GetAppliedStyleSheet().isEmpty());
    EXPECT_TRUE(WidgetOf(ok)->styleSheet().isEmpty());
}

TEST_F(ButtonBoxSheet, TranslatedTextsMatch)
{
    // The library's German table names Cancel "Abbrechen".
    AUILib::SetCurrentLanguage(L"de-DE", true);
    AUILib::SetWorkingDirPath(QString(AUILIB_FIXTURES_ENCIPHERED "/").toStdWString());
    AUILib::Translator::GetInstance().LoadStrings(L"main");
    Box box(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    auto cancel = box.Of(QDialogButtonBox::Cancel);
    WidgetOf(*cancel)->setText(QStringLiteral("Abbrechen"));
    cancel->SetStyle(Button::HoverBorder);
    EXPECT_EQ(box.widget.GetRegisteredSheet(QDialogButtonBox::Cancel), ImplOf(*cancel).Sheets().hoverBorder);
    // The English text no longer matches.
    auto ok = box.Of(QDialogButtonBox::Ok);
    ok->SetStyle(Button::HoverBorder);
    EXPECT_TRUE(box.widget.GetRegisteredSheet(QDialogButtonBox::Ok).isEmpty());
    Activate(&box.widget);
    EXPECT_TRUE(WidgetOf(*cancel)->styleSheet().startsWith(QStringLiteral("QDialogButtonBox [text='Abbrechen']{")));
}

TEST_F(ButtonBoxSheet, QuoteAndBackslashInATextAreEscaped)
{
    LanguageFileDir dir;
    ASSERT_TRUE(dir.WriteEnciphered(
        QStringLiteral("lang/fr-FR/strings_fr-FR.xml.kw"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Strings language=\"fr-FR\"><StringTable>"
                       "<string id=\"AUILib::BBoxCancel\">Annuler l'envoi \\ tout</string>"
                       "</StringTable></Strings>\n")
            .toUtf8()));
    AUILib::SetCurrentLanguage(L"fr-FR", true);
    AUILib::SetWorkingDirPath(dir.Path());
    AUILib::Translator::GetInstance().LoadStrings(L"none");
    Box box(QDialogButtonBox::Cancel);
    auto cancel = box.Of(QDialogButtonBox::Cancel);
    const QString text = QStringLiteral("Annuler l'envoi \\ tout");
    WidgetOf(*cancel)->setText(text);
    cancel->SetStyle(Button::Rounded);
    ASSERT_FALSE(box.widget.GetRegisteredSheet(QDialogButtonBox::Cancel).isEmpty());
    Activate(&box.widget);
    const QString selector = QStringLiteral(R"(QDialogButtonBox [text='Annuler l\'envoi \\ tout'])");
    EXPECT_EQ(WidgetOf(*cancel)->styleSheet(),
              RoundedIn(selector, QStringLiteral("min-width:66px;min-height:12px;margin-top:2px;")));
}

} // namespace
