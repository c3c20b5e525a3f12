// The single-line edit on a real widget: the suffix glued to the text, the
// numbers-only forms, paste from the keyboard and the standard menu, the
// trailing button's pictures and handlers that drop their own edit.
#include "ContextMenu.h"
#include "Edit.h"
#include "EditImplQt.h"
#include "EditQt.h"
#include "IcoBytes.h"
#include "PngBytes.h"
#include "PromptsPopupQt.h"
#include "RecordingPromptsPopup.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QAction>
#include <QClipboard>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QMenu>
#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

using namespace AUILib;

namespace {

struct Form {
    Form()
    {
        window.resize(300, 120);
        edit = std::make_unique<Edit>();
        edit->Create(&window);
        edit->MoveWindow(10, 10, 200, 30, false);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        widget = static_cast<EditQt*>(edit->GetWndPtr());
        widget->setFocus();
    }
    QWidget window;
    std::unique_ptr<Edit> edit;
    QPointer<EditQt> widget;
};

std::wstring Text(const SignalRecorder<std::wstring>& recorder)
{
    return recorder.Count() ? std::get<0>(recorder.Last()) : L"(none)";
}

QAction* PasteAction(QMenu* menu)
{
    for (QAction* action : menu->actions()) {
        if (action->text().startsWith(QLineEdit::tr("&Paste")))
            return action;
    }
    return nullptr;
}

} // namespace

TEST(Edit, SuffixStaysGluedToTheText)
{
    Form f;
    f.edit->SetSuffix(L" kg");
    EXPECT_EQ(f.edit->GetText(), L" kg");
    struct Step {
        const char* name;
        std::function<void(Form&)> act;
        std::wstring text;
        int cursor;  // -1: not checked
    };
    const Step steps[] = {
        {"type 5 before the suffix", [](Form& g) { QTest::keyClick(g.widget, Qt::Key_5); }, L"5 kg", 1},
        {"backspace into the suffix",
         [](Form& g) {
             g.widget->end(false);
             QTest::keyClick(g.widget, Qt::Key_Backspace);
         },
         L"5 kg", -1},
        {"typing behind the suffix", [](Form& g) { QTest::keyClick(g.widget, Qt::Key_3); }, L"5 kg", -1},
        {"SetText without suffix", [](Form& g) { g.edit->SetText(L"7"); }, L"7 kg", 0},
        {"SetText with suffix", [](Form& g) { g.edit->SetText(L"8 kg"); }, L"8 kg", 0},
        {"new suffix replaces the old", [](Form& g) { g.edit->SetSuffix(L" g"); }, L"8 g", 0},
        {"typing in the middle",
         [](Form& g) {
             g.widget->setCursorPosition(1);
             QTest::keyClick(g.widget, Qt::Key_0);
         },
         L"80 g", 2},
        {"select all and type",
         [](Form& g) {
             g.widget->selectAll();
             QTest::keyClick(g.widget, Qt::Key_7);
         },
         L"7 g", 1},
        {"type over a selection into the suffix",
         [](Form& g) {
             g.edit->SetText(L"12 g");
             g.widget->setSelection(1, 2);  // "2 "
             QTest::keyClick(g.widget, Qt::Key_5);
         },
         L"15 g", 2},
        {"delete a selection into the suffix",
         [](Form& g) {
             g.widget->setSelection(1, 3);  // "5 g"
             QTest::keyClick(g.widget, Qt::Key_Delete);
         },
         L"1 g", 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act(f);
        EXPECT_EQ(f.edit->GetText(), step.text);
        if (step.cursor >= 0) {
            EXPECT_EQ(f.edit->GetCursorPosition(), step.cursor);
        }
    }
}

TEST(Edit, IntegerTypingKeepsTheNumberAndTellsTheShownText)
{
    Form f;
    auto invalid = std::make_shared<RecordingPromptsPopup>();
    auto range = std::make_shared<RecordingPromptsPopup>();
    f.edit->OnlyNumbers(true, 0, 100, invalid, range);
    EXPECT_EQ(f.edit->IsSetOnlyNumbers(), 1);
    SignalRecorder<std::wstring> changed(f.edit->OnTextChanged);
    QTest::keyClicks(f.widget, QStringLiteral("12x"));
    EXPECT_EQ(f.edit->GetText(), L"12");
    EXPECT_EQ(Text(changed), L"12");
    for (const auto& record : changed.Records())
        EXPECT_NE(std::get<0>(record), L"12x");
    EXPECT_EQ(invalid->Last(), 1);
    EXPECT_EQ(range->Last(), 0);
    QTest::keyClick(f.widget, Qt::Key_5);
    EXPECT_EQ(f.edit->GetText(), L"100");
    EXPECT_EQ(range->Last(), 1);
    EXPECT_EQ(Text(changed), L"100");

    // The floating forms: with and without a range balloon.
    f.edit->OnlyNumbers(true, 0.0, 5.0, invalid, 1);
    EXPECT_EQ(f.edit->IsSetOnlyNumbers(), 2);
    EXPECT_EQ(f.edit->GetText(), L"100");  // not filtered again
    f.edit->SetText(L"7");
    EXPECT_EQ(f.edit->GetText(), L"5.0");
    auto range2 = std::make_shared<RecordingPromptsPopup>();
    f.edit->OnlyNumbers(true, -1.0, 1.0, invalid, range2, 2);
    f.edit->SetText(L"-3");
    EXPECT_EQ(f.edit->GetText(), L"-1.00");
    EXPECT_EQ(range2->Last(), 1);
    f.edit->OnlyNumbers(false, 0, 1, nullptr, nullptr);
    EXPECT_EQ(f.edit->IsSetOnlyNumbers(), 0);
}

// A mistyped character is refused alone: the digits around it stay, and the
// cursor stays where the user was typing.
TEST(Edit, ACharacterThatCannotBelongIsRefusedAlone)
{
    struct Row {
        const char* name;
        bool integer;
        const wchar_t* text;
        int cursor;
        int selected;  // characters selected from the cursor on
        QString typed;
        const wchar_t* expected;
        int expectedCursor;
        int invalidShown;
    };
    const Row rows[] = {
        {"letter at the start", true, L"425", 0, 0, QStringLiteral("x"), L"425", 0, 1},
        {"letter after the first digit", true, L"425", 1, 0, QStringLiteral("x"), L"425", 1, 1},
        {"letter at the end", true, L"425", 3, 0, QStringLiteral("x"), L"425", 3, 1},
        {"minus without negatives", true, L"425", 2, 0, QStringLiteral("-"), L"425", 2, 1},
        {"a digit, a letter, a digit", true, L"425", 1, 0, QStringLiteral("7x8"), L"47825", 3, 0},
        {"letter over a selection", true, L"425", 1, 1, QStringLiteral("x"), L"425", 1, 1},
        {"digit over a selection", true, L"425", 1, 1, QStringLiteral("9"), L"495", 2, 0},
        {"backspace to empty", true, L"4", 1, 0, QStringLiteral("\b"), L"", 0, 0},
        {"second separator", false, L"4.25", 1, 0, QStringLiteral("."), L"4.25", 1, 1},
        {"digit still fits", false, L"4.25", 1, 0, QStringLiteral("1"), L"41.25", 2, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Form f;
        auto invalid = std::make_shared<RecordingPromptsPopup>();
        if (row.integer)
            f.edit->OnlyNumbers(true, 0, 100000, invalid, nullptr);
        else
            f.edit->OnlyNumbers(true, 0.0, 1000.0, invalid, 2);
        f.edit->SetText(row.text);
        f.edit->SetCursorPosition(row.cursor);
        if (row.selected)
            f.edit->SetSelection(row.cursor, row.selected);
        QTest::keyClicks(f.widget, row.typed);
        EXPECT_EQ(f.edit->GetText(), row.expected);
        EXPECT_EQ(f.edit->GetCursorPosition(), row.expectedCursor);
        EXPECT_EQ(invalid->Last(), row.invalidShown);
    }
}

TEST(Edit, CodeChangesAreNotEdits)
{
    Form f;
    SignalRecorder<std::wstring> changed(f.edit->OnTextChanged);
    SignalRecorder<std::wstring> edited(f.edit->OnTextEdited);
    f.edit->SetText(L"code");
    EXPECT_EQ(changed.Count(), 1u);
    EXPECT_EQ(edited.Count(), 0u);
    EXPECT_EQ(f.edit->GetCursorPosition(), 0);
    EXPECT_EQ(f.edit->SelectionLength(), 0);
    QTest::keyClick(f.widget, Qt::Key_A);
    EXPECT_EQ(Text(edited), L"acode");
    EXPECT_EQ(Text(changed), L"acode");
}

TEST(Edit, PasteRows)
{
    struct Row {
        const char* name;
        QString clipboard;
        bool readOnly;
        std::wstring text;
        size_t pastes;
    };
    const Row rows[] = {
        {"empty clipboard", QString(), false, L"ab", 0},
        {"normal", QStringLiteral("XY"), false, L"aXYb", 1},
        {"read-only", QStringLiteral("XY"), true, L"ab", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (bool fromMenu : {false, true}) {
            SCOPED_TRACE(fromMenu ? "menu" : "keyboard");
            Form f;
            f.edit->SetText(L"ab");
            f.edit->SetCursorPosition(1);
            f.edit->SetReadOnly(row.readOnly);
            QApplication::clipboard()->setText(row.clipboard);
            SignalRecorder<std::wstring> pastes(f.edit->OnPaste);
            if (fromMenu) {
                QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), f.widget->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(f.widget, &event);
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                ASSERT_NE(menu, nullptr);
                // A read-only edit's standard menu offers no Paste.
                QAction* paste = PasteAction(menu);
                ASSERT_EQ(paste == nullptr, row.readOnly);
                if (paste) {
                    EXPECT_EQ(paste->shortcut(), QKeySequence(QKeySequence::Paste));
                    paste->trigger();
                }
                menu->close();
            } else {
                QTest::keySequence(f.widget, QKeySequence::Paste);
            }
            EXPECT_EQ(f.edit->GetText(), row.text);
            ASSERT_EQ(pastes.Count(), row.pastes);
            if (row.pastes) {
                EXPECT_EQ(std::get<0>(pastes.Last()), row.clipboard.toStdWString());
            }
        }
    }
}

TEST(Edit, ExtendedButtonPictures)
{
    Form f;
    SignalRecorder<> clicks(f.edit->OnExtendedButtonClicked);
    f.edit->EnableExtendedButton(L"/no/normal.png", L"/no/hover.png");
    auto* widget = f.widget.data();
    QToolButton* button = widget->ExtendedButton();
    ASSERT_NE(button, nullptr);
    f.edit->EnableExtendedButton(L"/x.png", L"/y.png");  // once only
    EXPECT_EQ(widget->findChildren<QToolButton*>().size(), 1);

    const QByteArray ico = IcoBytes({16, 32});
    f.edit->ExtendedButtonSetImage(reinterpret_cast<const unsigned char*>(ico.constData()), ico.size(), ImageICO,
                                   false);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_FALSE(button->icon().pixmap(16, 16).isNull());

    const QByteArray png = PngBytes(12, 12, Qt::green);
    f.edit->ExtendedButtonSetImage(reinterpret_cast<const unsigned char*>(png.constData()), png.size(), ImagePNG,
                                   true);
    const QImage normal = button->icon().pixmap(16, 16).toImage();
    EXPECT_FALSE(normal.isNull());
    const unsigned char junk[] = {0, 1, 2, 3};
    f.edit->ExtendedButtonSetImage(junk, 4, ImagePNG, false);  // undecodable: unchanged
    EXPECT_EQ(button->icon().pixmap(16, 16).toImage(), normal);
    f.edit->ExtendedButtonSetImage(junk, 4, ImageICO, false);
    EXPECT_EQ(button->icon().pixmap(16, 16).toImage(), normal);
    f.edit->ExtendedButtonSetImage(nullptr, 4, ImagePNG, false);
    EXPECT_EQ(button->icon().pixmap(16, 16).toImage(), normal);

    widget->actions().value(0)->trigger();
    EXPECT_EQ(clicks.Count(), 1u);
}

TEST(Edit, SmallOperations)
{
    Form f;
    f.edit->SetText(L"0123456789");
    f.edit->SetSelection(2, 5);
    EXPECT_EQ(f.edit->SelectionStart(), 2);
    EXPECT_EQ(f.edit->SelectionLength(), 5);
    f.edit->SetSelection(-3, 50);
    EXPECT_EQ(f.edit->SelectionStart(), 0);
    EXPECT_EQ(f.edit->SelectionLength(), 10);
    f.edit->SetCursorPosition(4);
    f.edit->SetCursorPosition(-1);
    EXPECT_EQ(f.edit->GetCursorPosition(), 4);
    f.edit->SetCursorPosition(1000);
    EXPECT_EQ(f.edit->GetCursorPosition(), 10);

    EXPECT_EQ(f.edit->GetBackgroundColor(), -1);
    EXPECT_EQ(f.edit->GetTextColor(), -1);
    f.edit->SetBackgroundColor(0x00FF00);
    EXPECT_EQ(f.edit->GetTextColor(), 0x00FF00);
    EXPECT_EQ(f.widget->palette().color(f.widget->backgroundRole()), QColor(0, 255, 0));
    f.edit->SetBorderColor(0x123456);
    EXPECT_TRUE(f.widget->styleSheet().endsWith(QStringLiteral("border-color:#ff123456;")));
    f.edit->SetPasswordMode(Edit::PasswordHidden);
    EXPECT_EQ(f.edit->GetPasswordMode(), 1);
    f.edit->SetPasswordMode(static_cast<Edit::PasswordMode>(7));
    EXPECT_EQ(f.edit->GetPasswordMode(), 0);
    f.edit->SetTextAlign(TextAlignCenter);
    EXPECT_EQ(f.widget->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    // A new word list replaces the completer, which goes with it.
    f.edit->SetAutoComplete({L"alpha", L"beta"});
    QPointer<QCompleter> first = f.widget->completer();
    ASSERT_FALSE(first.isNull());
    f.edit->SetAutoComplete({L"gamma"});
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(f.widget->completer(), nullptr);
    f.edit->EnableAutoComplete(false);
    EXPECT_EQ(f.widget->completer(), nullptr);

    EXPECT_TRUE(f.edit->ShowBalloonTip(L"Title", L"Text", BalloonTipWarning));
    auto balloons = f.widget->findChildren<PromptsPopupQt*>();
    ASSERT_EQ(balloons.size(), 1);
    EXPECT_TRUE(balloons.first()->isVisible());
    EXPECT_EQ(balloons.first()->DisplayTime(), 3000);
    EXPECT_TRUE(f.edit->HideBalloonTip());
    EXPECT_FALSE(balloons.first()->isVisible());
}

TEST(Edit, AHandlerMayDropItsOwnEdit)
{
    struct Row {
        const char* name;
        std::function<void(Form&)> arm;
        std::function<void(Form&)> act;
    };
    const Row rows[] = {
        {"text changed by code",
         [](Form& f) { f.edit->OnTextChanged.Connect([&f](std::wstring) { f.edit.reset(); }); },
         [](Form& f) { f.edit->SetText(L"x"); }},
        {"text typed with a suffix",
         [](Form& f) {
             f.edit->SetSuffix(L" kg");
             f.edit->OnTextChanged.Connect([&f](std::wstring) { f.edit.reset(); });
         },
         [](Form& f) { QTest::keyClick(f.widget, Qt::Key_5); }},
        {"paste",
         [](Form& f) {
             QApplication::clipboard()->setText(QStringLiteral("p"));
             f.edit->OnPaste.Connect([&f](std::wstring) { f.edit.reset(); });
         },
         [](Form& f) { QTest::keySequence(f.widget, QKeySequence::Paste); }},
        {"context menu",
         [](Form& f) { f.edit->OnContextMenu.Connect([&f] { f.edit.reset(); }); },
         [](Form& f) {
             QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), f.widget->mapToGlobal(QPoint(5, 5)));
             QApplication::sendEvent(f.widget, &event);
         }},
        {"focus lost",
         [](Form& f) { f.edit->OnFocusLost.Connect([&f] { f.edit.reset(); }); },
         [](Form& f) { f.widget->clearFocus(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Form f;
        row.arm(f);
        row.act(f);
        EXPECT_EQ(f.edit, nullptr);
        ASSERT_FALSE(f.widget.isNull());  // placed: its window owns it
        QTest::keyClick(f.widget, Qt::Key_Z);
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QCoreApplication::processEvents();
    }

    // An edit never placed: its widget goes with it, once the emitting code
    // has returned.
    auto edit = std::make_unique<Edit>();
    QPointer<QWidget> widget = edit->GetWndPtr();
    edit->OnTextChanged.Connect([&](std::wstring) { edit.reset(); });
    edit->SetText(L"gone");
    EXPECT_EQ(edit, nullptr);
    QCoreApplication::processEvents();
    EXPECT_TRUE(widget.isNull());
}

namespace {

// A real menu with real entries whose Show records which entries are
// enabled instead of running the menu's own event loop.
class EnabledAtShowMenu : public ContextMenu {
public:
    void Show(bool show) override
    {
        shows.push_back(show);
        enabledAtShow.clear();
        for (int id : ids)
            enabledAtShow.push_back(IsEnabledItem(id));
    }
    std::vector<int> ids;
    std::vector<bool> shows;
    std::vector<bool> enabledAtShow;
};

} // namespace

TEST(Edit, CallerMenuEntriesFollowReadOnlyAndClipboard)
{
    struct Row {
        const char* name;
        bool readOnly;
        bool clipboardEmpty;
        std::vector<bool> enabled;  // read-only entry, clipboard entry, both, plain (disabled by the caller)
    };
    const Row rows[] = {
        {"editable, clipboard full", false, false, {true, true, true, false}},
        {"read-only", true, false, {false, true, false, false}},
        {"empty clipboard", false, true, {true, false, false, false}},
        {"read-only, empty clipboard", true, true, {false, false, false, false}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Form f;
        auto menu = std::make_shared<EnabledAtShowMenu>();
        ASSERT_TRUE(menu->Create(f.widget));
        menu->ids.push_back(menu->AddItem(L"Cut", [] {}, ContextMenu::DisabledIfReadOnly));
        menu->ids.push_back(menu->AddItem(L"Paste", [] {}, ContextMenu::DisabledIfEmptyClipBoard));
        menu->ids.push_back(menu->AddItem(
            L"Paste over", [] {},
            ContextMenu::DisabledIfReadOnly | ContextMenu::DisabledIfEmptyClipBoard));
        menu->ids.push_back(menu->AddItem(L"Plain", [] {}, 0));
        for (int id : menu->ids)
            menu->EnableItem(id, false, false);  // whatever a previous showing left
        f.edit->InsertContextMenu(menu);
        ASSERT_EQ(menu->Count(), 4);
        EXPECT_EQ(f.edit->GetContextMenu(), menu);
        EXPECT_EQ(static_cast<BaseGUIObject&>(*f.edit).GetContextMenu(), nullptr);  // its own store
        f.edit->SetReadOnly(row.readOnly);
        QApplication::clipboard()->setText(row.clipboardEmpty ? QString() : QStringLiteral("clip"));
        SignalRecorder<> asked(f.edit->OnContextMenu);

        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), f.widget->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f.widget, &event);
        EXPECT_EQ(asked.Count(), 1u);
        EXPECT_EQ(menu->shows, std::vector<bool>{true});
        EXPECT_EQ(menu->enabledAtShow, row.enabled);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);  // no standard menu besides
    }

    // An empty menu of the caller's: nothing is shown, the standard menu
    // neither; only the request is told.
    Form f;
    auto empty = std::make_shared<EnabledAtShowMenu>();
    ASSERT_TRUE(empty->Create(f.widget));
    f.edit->InsertContextMenu(empty);
    SignalRecorder<> asked(f.edit->OnContextMenu);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), f.widget->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(f.widget, &event);
    EXPECT_EQ(asked.Count(), 1u);
    EXPECT_TRUE(empty->shows.empty());
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    f.edit->RemoveContextMenu();
    EXPECT_EQ(f.edit->GetContextMenu(), nullptr);
}
