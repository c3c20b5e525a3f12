// The multi-line and the rich text edit and their widgets going in either
// order: with the widget gone every operation answers neutrally (the
// widget operations throw); with the control gone the widget still takes
// the user's input; and a handler may drop or change its own control.
#include "TextEditsTestKit.h"

#include "BaseImplQt.h"
#include "MultiLineEdit.h"
#include "MultiLineEditQt.h"
#include "RichEdit.h"
#include "RichEditQt.h"

#include <QAbstractScrollArea>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>

using namespace AUILib;

namespace {

struct Row {
    const char* name;
    std::function<Control()> make;
    // Every operation of the control's own, with the widget gone.
    std::function<void(BaseGUIObject&)> callAllGone;
    Signal<>& (*edited)(BaseGUIObject&);
    Signal<>& (*changed)(BaseGUIObject&);
    void (*setText)(BaseGUIObject&, const std::wstring&);
    std::wstring (*getText)(BaseGUIObject&);
};

// The widget's own context menu (a popup that does not block), opened and
// closed again.
void OpenAndCloseMenu(QWidget* widget)
{
    // A right click reaches a scroll area through its viewport.
    QWidget* target = widget;
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
        target = area->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), target->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(target, &event);
    QPointer<QMenu> menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    EXPECT_FALSE(menu->actions().isEmpty());
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Types, pastes, leaves by focus and opens the menu; the widget's text
// afterwards.
QString UseWidget(QWidget* widget, QWidget* elsewhere)
{
    widget->setFocus();
    QApplication::processEvents();
    QTest::keyClicks(widget, QStringLiteral("ab"));
    SetClipboardText(QStringLiteral("cd"));
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    elsewhere->setFocus();
    QApplication::processEvents();
    OpenAndCloseMenu(widget);
    if (auto* plain = qobject_cast<QPlainTextEdit*>(widget))
        return plain->toPlainText();
    return qobject_cast<QTextEdit*>(widget)->toPlainText();
}

const Row kRows[] = {
    {"MultiLineEdit", [] { return std::make_shared<MultiLineEdit>(); },
     [](BaseGUIObject& c) {
         auto& edit = As<MultiLineEdit>(c);
         TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
         edit.SetText(L"text");
         EXPECT_EQ(edit.GetText(), L"");
         edit.SetStyle(MultiLineEdit::ReadOnly, MultiLineEdit::WrapLines);
         edit.SetScrollBarPolicy(MultiLineEdit::ScrollBarAlwaysOn);
         edit.SetSel({1, 2});
         EXPECT_EQ(edit.GetSel().start, 0);
         EXPECT_EQ(edit.GetSel().end, 0);
         edit.SetAdaptiveHeight(true);
         edit.SetLimitText(3);
         EXPECT_EQ(order.Take(), "");
     },
     [](BaseGUIObject& c) -> Signal<>& { return As<MultiLineEdit>(c).OnTextEdited; },
     [](BaseGUIObject& c) -> Signal<>& { return As<MultiLineEdit>(c).OnTextChanged; },
     [](BaseGUIObject& c, const std::wstring& text) { As<MultiLineEdit>(c).SetText(text); },
     [](BaseGUIObject& c) { return As<MultiLineEdit>(c).GetText(); }},
    {"RichEdit", [] { return std::make_shared<RichEdit>(); },
     [](BaseGUIObject& c) {
         auto& edit = As<RichEdit>(c);
         TextSignalOrder order(edit.OnTextEdited, edit.OnTextChanged);
         edit.SetText(L"text");
         EXPECT_EQ(edit.GetText(), L"");
         edit.SetStyle(RichEdit::ReadOnly, RichEdit::WrapLines);
         edit.SetSel({1, 2});
         EXPECT_EQ(edit.GetSel().start, 0);
         EXPECT_EQ(edit.GetSel().end, 0);
         edit.SetSelectionCharFormat({12, 0xFF0000, RichEdit::CharBold, L"Courier"});
         const RichEdit::CharFormat_ format = edit.GetSelectionCharFormat();
         EXPECT_EQ(format.size, -1);
         EXPECT_EQ(format.color, -1);
         EXPECT_EQ(format.flags, 0);
         EXPECT_EQ(format.faceName, L"");
         edit.setAcceptRichText(true);
         EXPECT_FALSE(edit.acceptRichText());
         EXPECT_EQ(order.Take(), "");
     },
     [](BaseGUIObject& c) -> Signal<>& { return As<RichEdit>(c).OnTextEdited; },
     [](BaseGUIObject& c) -> Signal<>& { return As<RichEdit>(c).OnTextChanged; },
     [](BaseGUIObject& c, const std::wstring& text) { As<RichEdit>(c).SetText(text); },
     [](BaseGUIObject& c) { return As<RichEdit>(c).GetText(); }},
};

TEST(GoneWidgetTextEdits, EveryOperationAnswersNeutrallyAndWidgetOperationsThrow)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Control control = row.make();
        QWidget parent;
        control->Create(&parent);
        delete control->GetBaseImpl()->GetWndPtr();
        ASSERT_EQ(control->GetBaseImpl()->GetWndPtr(), nullptr);

        ExpectControlNotValid("Create", [&] { control->Create(&parent); });
        ExpectControlNotValid("MinimumIdealSize", [&] { control->MinimumIdealSize(); });
        ExpectWidgetOperationsRefused(*control);
        row.callAllGone(*control);
        EXPECT_NE(control->GetSkinManager(), nullptr);
    }
}

TEST(GoneWidgetTextEdits, AWidgetWhoseControlIsGoneStillTakesInput)
{
    for (const Row& row : kRows) {
        for (const bool keepImpl : {false, true}) {
            SCOPED_TRACE(std::string(row.name) + (keepImpl ? ", implementation kept" : ""));
            EditWindow window;
            QWidget elsewhere(window.Get());
            elsewhere.setFocusPolicy(Qt::StrongFocus);
            elsewhere.setGeometry(10, 200, 40, 20);
            std::shared_ptr<BaseImpl> impl;
            QPointer<QWidget> widget =
                PlaceAndDropControl(row.make, window.Get(), keepImpl ? &impl : nullptr);
            ASSERT_TRUE(widget);  // the window owns it
            ASSERT_TRUE(window.ShowWith(widget));
            EXPECT_EQ(UseWidget(widget, &elsewhere), QStringLiteral("abcd"));
        }
    }
}

TEST(GoneWidgetTextEdits, AControlDroppedBeforeItIsPlacedTakesItsWidget)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        ExpectUnplacedWidgetGoesWithControl(row.make);
    }
}

TEST(GoneWidgetTextEdits, AHandlerMayDropItsOwnControl)
{
    for (const Row& row : kRows) {
        for (const bool inEdited : {true, false}) {
            for (const bool byUser : {true, false}) {
                SCOPED_TRACE(std::string(row.name) + (inEdited ? ", edited" : ", changed") +
                             (byUser ? ", user change" : ", code change"));
                if (inEdited && !byUser)
                    continue;  // code's changes are no edits
                EditWindow window;
                QWidget elsewhere(window.Get());
                Control control = row.make();
                control->Create(window.Get());
                QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
                ASSERT_TRUE(window.ShowWith(widget));
                int calls = 0;
                Signal<>& signal = inEdited ? row.edited(*control) : row.changed(*control);
                signal.Connect([&] {
                    ++calls;
                    control.reset();
                });
                if (byUser)
                    QTest::keyClicks(widget, QStringLiteral("x"));
                else
                    row.setText(*control, L"by code");
                EXPECT_EQ(control, nullptr);
                EXPECT_EQ(calls, 1);
                ASSERT_TRUE(widget);
                UseWidget(widget, &elsewhere);  // nothing left to tell
                EXPECT_EQ(calls, 1);
            }
        }
    }
}

// A widget that was never placed goes with its control; when a handler
// drops the control in the middle of the widget's own key handling, the
// widget must outlive that handling and go afterwards.
TEST(GoneWidgetTextEdits, AHandlerMayDropItsOwnControlWhoseWidgetWasNeverPlaced)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        Control control = row.make();
        QPointer<QWidget> widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_TRUE(ShowUnplaced(widget, QRect(40, 40, 200, 100)));
        row.changed(*control).Connect([&] { control.reset(); });
        QTest::keyClicks(widget, QStringLiteral("x"));
        EXPECT_EQ(control, nullptr);
        RunPostedAndDeferredDeletes();
        EXPECT_FALSE(widget);
    }
}

TEST(GoneWidgetTextEdits, AHandlerMayDropTheMultiLineEditWhileItsPasteIsCutBack)
{
    EditWindow window;
    auto edit = std::make_shared<MultiLineEdit>();
    edit->Create(window.Get());
    QPointer<MultiLineEditQt> widget = WidgetOf<MultiLineEditQt>(*edit);
    ASSERT_TRUE(window.ShowWith(widget));
    edit->SetLimitText(5);
    edit->OnTextChanged.Connect([&] { edit.reset(); });
    SetClipboardText(QString(1000, QLatin1Char('y')));
    QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit, nullptr);
    ASSERT_TRUE(widget);
    EXPECT_EQ(widget->toPlainText(), QStringLiteral("yyyyy"));
}

TEST(GoneWidgetTextEdits, AHandlerMayChangeItsOwnText)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EditWindow window;
        Control control = row.make();
        control->Create(window.Get());
        QWidget* widget = control->GetBaseImpl()->GetWndPtr();
        ASSERT_TRUE(window.ShowWith(widget));
        int calls = 0;
        row.changed(*control).Connect([&] {
            ++calls;
            row.setText(*control, L"fixed");  // its own emission is dropped, not recursed into
        });
        QTest::keyClicks(widget, QStringLiteral("x"));
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(row.getText(*control), L"fixed");
        EXPECT_FALSE(std::static_pointer_cast<BaseImplQt>(control->GetBaseImpl())->IsChangeInProgress());
    }
}

} // namespace
