// Form loading from the build's enciphered fixtures: controls, widgets,
// lines, flags, the wrapped button box and hostile forms.
#include "AgnosticUIException.h"
#include "Button.h"
#include "ButtonBox.h"
#include "ButtonBoxImplQt.h"
#include "Edit.h"
#include "FormTestSupport.h"
#include "KwQUiLoader.h"
#include "Label.h"
#include "LanguageFileDir.h"
#include "Line.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using AUILib::ControlType;

QWidget* WidgetOf(const AUILib::Dialog& dialog, const wchar_t* name)
{
    auto control = dialog.GetElementByName(name);
    return control ? control->GetPlatformWindow() : nullptr;
}

TEST(Forms, MainFixtureControlsWidgetsAndLines)
{
    GermanStrings strings(false);
    VetoDialog dialog(FormPath("main"));
    WindowGuard guard(dialog.GetWndPtr());

    const struct {
        const wchar_t* name;
        ControlType type;
        const char* widgetClass;
    } expected[] = {
        {L"pushButton", AUILib::ControlTypeButton, "AUILib::ButtonQt"},
        {L"lineEdit", AUILib::ControlTypeEdit, "AUILib::EditQt"},
        {L"lineVertical", AUILib::ControlTypeLine, "AUILib::LineQt"},
        {L"lineHorizontal", AUILib::ControlTypeLine, "AUILib::LineQt"},
        {L"lineOddCase", AUILib::ControlTypeLine, "AUILib::LineQt"},
        {L"label", AUILib::ControlTypeLabel, "AUILib::LabelQt"},
        {L"sizeLabel", AUILib::ControlTypeLabel, "AUILib::LabelQt"},
        {L"noteLabel", AUILib::ControlTypeLabel, "AUILib::LabelQt"},
        {L"buttonBox", AUILib::ControlTypeButtonBox, "AUILib::ButtonBoxQt"},
    };
    EXPECT_EQ(dialog.Impl()->GetControls().size(), std::size(expected));
    for (const auto& e : expected) {
        SCOPED_TRACE(QString::fromWCharArray(e.name).toStdString());
        auto control = dialog.GetElementByName(e.name);
        ASSERT_TRUE(control);
        EXPECT_EQ(control->GetControlType(), e.type);
        EXPECT_EQ(control->GetName(), e.name);
        QWidget* widget = control->GetPlatformWindow();
        ASSERT_TRUE(widget);
        EXPECT_STREQ(widget->metaObject()->className(), e.widgetClass);
        EXPECT_EQ(widget->objectName(), QString::fromWCharArray(e.name));
        EXPECT_TRUE(dialog.GetWndPtr()->isAncestorOf(widget));
        EXPECT_TRUE(widget->testAttribute(Qt::WA_MouseTracking));
    }
    EXPECT_TRUE(dialog.GetControlPtr<AUILib::Button*>(L"pushButton"));
    EXPECT_TRUE(dialog.GetControlPtr<AUILib::Edit*>(L"lineEdit"));
    EXPECT_FALSE(dialog.GetControlPtr<AUILib::Button*>(L"lineEdit"));
    EXPECT_FALSE(dialog.GetElementByName(L"MainDialog"));
    EXPECT_FALSE(dialog.GetElementByName(L"nothing"));

    EXPECT_STREQ(dialog.GetWndPtr()->metaObject()->className(), "AUILib::DialogQt");
    EXPECT_EQ(dialog.GetUserValue(), dialog.GetWndPtr());
    EXPECT_EQ(static_cast<QFrame*>(WidgetOf(dialog, L"lineVertical"))->frameShape(), QFrame::VLine);
    EXPECT_EQ(static_cast<QFrame*>(WidgetOf(dialog, L"lineHorizontal"))->frameShape(), QFrame::HLine);
    EXPECT_EQ(static_cast<QFrame*>(WidgetOf(dialog, L"lineOddCase"))->frameShape(), QFrame::NoFrame);

    EXPECT_EQ(static_cast<unsigned>(dialog.GetWndPtr()->windowFlags()), 0x0A003103u);
    EXPECT_EQ(dialog.Impl()->GetWindowFlags(), 0x0A003103u);
    EXPECT_TRUE(dialog.GetWndPtr()->testAttribute(Qt::WA_DeleteOnClose));
    // Untranslated, the multi-line label is read as written.
    EXPECT_EQ(static_cast<QLabel*>(WidgetOf(dialog, L"label"))->text(), "First line\nSecond line");
    EXPECT_EQ(dialog.GetWndPtr()->windowTitle(), "Main form");
}

TEST(Forms, ButtonBoxWrappedInTableOrderAndFormConnectionsGone)
{
    for (bool german : {false, true}) {
        SCOPED_TRACE(german ? "German strings" : "no strings");
        GermanStrings strings(german);
        VetoDialog dialog(FormPath("main"));
        WindowGuard guard(dialog.GetWndPtr());
        auto box = dialog.GetControlPtr<AUILib::ButtonBox*>(L"buttonBox");
        ASSERT_TRUE(box);
        auto* boxImpl = dynamic_cast<AUILib::ButtonBox::impl*>(box->GetBaseImpl().get());
        ASSERT_TRUE(boxImpl);
        QDialogButtonBox* widget = boxImpl->GetWidget();
        const auto& buttons = boxImpl->GetButtons();
        ASSERT_EQ(buttons.size(), 2u);
        EXPECT_EQ(buttons[0]->GetPlatformWindow(), widget->button(QDialogButtonBox::Ok));
        EXPECT_EQ(buttons[1]->GetPlatformWindow(), widget->button(QDialogButtonBox::Cancel));
        EXPECT_EQ(box->GetButton(AUILib::Ok), buttons[0]);
        EXPECT_EQ(widget->button(QDialogButtonBox::Ok)->text(), german ? "Übernehmen" : "OK");
        EXPECT_EQ(widget->button(QDialogButtonBox::Cancel)->text(), german ? "Abbrechen" : "Cancel");

        dialog.DoModeless();
        bool accepted = false;
        QObject::connect(widget, &QDialogButtonBox::accepted, [&accepted]() { accepted = true; });
        QTest::mouseClick(widget->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QTest::mouseClick(widget->button(QDialogButtonBox::Cancel), Qt::LeftButton);
        EXPECT_TRUE(accepted);   // the buttons still reach the box
        EXPECT_TRUE(dialog.GetWndPtr()->isVisible());
        EXPECT_TRUE(dialog.seen.empty());
    }
}

TEST(Forms, GermanFormTextsAndMultiLineLabels)
{
    GermanStrings strings;
    VetoDialog dialog(FormPath("main"));
    WindowGuard guard(dialog.GetWndPtr());
    EXPECT_EQ(dialog.GetWndPtr()->windowTitle(), "Hauptformular");
    EXPECT_EQ(static_cast<QPushButton*>(WidgetOf(dialog, L"pushButton"))->text(), "Drück mich");
    EXPECT_EQ(static_cast<QLineEdit*>(WidgetOf(dialog, L"lineEdit"))->placeholderText(), "Ihr Name");
    EXPECT_EQ(static_cast<QLabel*>(WidgetOf(dialog, L"label"))->text(), "Erste Zeile\nZweite Zeile");
    EXPECT_EQ(static_cast<QLabel*>(WidgetOf(dialog, L"sizeLabel"))->text(), "Größe & Gewicht");
    EXPECT_EQ(static_cast<QLabel*>(WidgetOf(dialog, L"noteLabel"))->text(), "Kept as written,\non two lines");
}

TEST(Forms, WindowFlagsTable)
{
    GermanStrings strings(false);
    const struct {
        unsigned long given;
        unsigned applied;
    } cases[] = {
        {0, 0x0A003103u},
        {0x08003003u, 0x0A003103u},
        {0x80u | Qt::Dialog, Qt::Dialog | Qt::FramelessWindowHint},
        {Qt::Dialog | Qt::WindowSystemMenuHint, 0x02002903u},   // no title: frameless
        {0x80u | Qt::Dialog | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint,
         Qt::Dialog | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        VetoDialog dialog(FormPath("main"), nullptr, c.given);
        WindowGuard guard(dialog.GetWndPtr());
        EXPECT_EQ(dialog.Impl()->GetWindowFlags(), c.applied);
    }
}

void ExpectCreateFails(const std::wstring& path, const char* what)
{
    const int before = QApplication::topLevelWidgets().size();
    try {
        VetoDialog dialog(path);
        ADD_FAILURE() << "built";
    } catch (const AUILib::AgnosticUIException& e) {
        EXPECT_STREQ(e.what(), what);
    }
    RunDeferredDeletes();
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);   // nothing left behind
}

TEST(Forms, HostileFormsThrowAndLeaveNoWindow)
{
    GermanStrings strings(false);
    LanguageFileDir dir;
    QFile source(QString::fromStdWString(FormPath("main")));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    QByteArray corrupt = source.readAll();
    corrupt[corrupt.size() / 2] = static_cast<char>(corrupt[corrupt.size() / 2] ^ 0x01);
    ASSERT_TRUE(dir.WritePlain("corrupt.ui.kw", corrupt));
    ASSERT_TRUE(dir.WriteEnciphered("empty.ui.kw", "   "));

    const char* fromPath = "../src/Dialog.cpp: 65 \"Create from ui fails";
    ExpectCreateFails(FormPath("missing"), fromPath);
    ExpectCreateFails(FormPath("notxml"), fromPath);
    ExpectCreateFails(FormPath("rootwidget"), fromPath);
    ExpectCreateFails(dir.PathOf("corrupt.ui.kw"), fromPath);
    ExpectCreateFails(dir.PathOf("empty.ui.kw"), fromPath);

    // A translated text that does not build reports the other line.
    AUILib::SetWorkingDirPath(dir.Path());
    ASSERT_TRUE(dir.WriteEnciphered("forms/broken.ui.kw",
                                    "<ui version=\"4.0\">\n<widget class=\"QWidget\" name=\"w\">\n"
                                    "<property name=\"windowTitle\">\n<string>x</string>\n</property>\n"
                                    "</widget>\n</ui>\n"));
    ASSERT_TRUE(dir.WriteEnciphered("lang/de-DE/broken_de-DE.ts.kw",
                                    "<TS language=\"de-DE\"><context><message><location filename=\"broken.ui\" "
                                    "line=\"4\"/><translation>y</translation></message></context></TS>"));
    AUILib::Translator::GetInstance().LoadStrings(L"broken");
    ExpectCreateFails(dir.PathOf("forms/broken.ui.kw"), "../src/Dialog.cpp: 69 \"Create from ui fails");

    // The implementation refuses an empty text without loading anything.
    AUILib::Dialog::impl impl(nullptr, 0, nullptr);
    EXPECT_FALSE(impl.CreateFromUI(std::wstring(), 0, nullptr));
    impl.DiscardWindow();
}

TEST(Forms, RepeatedNamesNestedDialogAndUnknownClasses)
{
    GermanStrings strings(false);
    QPointer<QWidget> window;
    QPointer<QLineEdit> secondTwin;
    {
        VetoDialog dialog(FormPath("hostile"));
        window = dialog.GetWndPtr();
        ASSERT_TRUE(window);
        EXPECT_FALSE(window->parent());
        EXPECT_TRUE(dialog.GetControlPtr<AUILib::Button*>(L"twin"));   // the first of the name
        EXPECT_EQ(dialog.Impl()->GetControls().size(), 1u);
        for (const char* gone : {"nestedDialog", "insideNested", "plainFrame", "insideFrame", "toolButton"})
            EXPECT_FALSE(window->findChild<QWidget*>(gone)) << gone;
        secondTwin = window->findChild<QLineEdit*>("twin");
        ASSERT_TRUE(secondTwin);
        // The third "twin" is a box whose name maps to a button: not wrapped.
        auto* box = window->findChild<QDialogButtonBox*>("twin");
        ASSERT_TRUE(box);
        EXPECT_EQ(box->button(QDialogButtonBox::Ok)->text(), "OK");
        dialog.DoModeless();
        QTest::keyClicks(secondTwin, "abc");
        EXPECT_EQ(secondTwin->text(), "abc");
    }
    ASSERT_TRUE(window);
    window->close();
    RunDeferredDeletes();
    EXPECT_FALSE(window);
    EXPECT_FALSE(secondTwin);
}

TEST(Forms, GetControlEnumPropTable)
{
    const struct {
        const char* name;
        QByteArray xml;
        QString expected;   // null: none
    } cases[] = {
        {"direct property",
         "<ui><widget class=\"Line\" name=\"w\"><property name=\"orientation\"><enum>Qt::Vertical</enum></property>"
         "</widget></ui>",
         "Qt::Vertical"},
        {"nested widget not read",
         "<ui><widget class=\"A\" name=\"w\"><widget class=\"B\" name=\"x\"><property name=\"orientation\">"
         "<enum>Qt::Vertical</enum></property></widget></widget></ui>",
         QString()},
        {"first match decides",
         "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>one</enum></property></widget>"
         "<widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>two</enum></property></widget></ui>",
         "one"},
        {"element without class skipped",
         "<ui><widget name=\"w\"><property name=\"orientation\"><enum>one</enum></property></widget>"
         "<widget class=\"A\" name=\"w\"><property name=\"orientation\"><enum>two</enum></property></widget></ui>",
         "two"},
        {"property that is not an enum",
         "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"><string>s</string></property></widget>"
         "</ui>",
         QString()},
        {"other name", "<ui><widget class=\"A\" name=\"v\"><property name=\"orientation\"><enum>e</enum></property>"
                       "</widget></ui>",
         QString()},
        {"malformed", "<ui><widget class=\"A\" name=\"w\"><property name=\"orientation\"></ui>", QString()},
        {"not XML", "plain text", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString value = AUILib::GetControlEnumProp(c.xml, "w", "orientation");
        EXPECT_EQ(value.isNull(), c.expected.isNull());
        EXPECT_EQ(value, c.expected);
    }
}

} // namespace
