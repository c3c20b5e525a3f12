// The edit field of the combo box: the number filter and the three
// edit-text recorded, caret and inline completion, Up/Down, paste by key and
// by menu, the drop-down state and handlers that drop the control.
#include "ComboTestKit.h"

#include "PopupPicker.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QMenu>

#include <string>
#include <tuple>
#include <vector>

namespace {

using AUILib::any;
using AUILib::ComboBox;

struct EditSignals {
    explicit EditSignals(ComboBox& box)
        : changed(box.OnEditTextChanged), user(box.OnUserEditTextChanged), replaced(box.OnEditTextReplaced)
    {
    }
    std::vector<std::wstring> Changed() const
    {
        std::vector<std::wstring> texts;
        for (const auto& r : changed.Records())
            texts.push_back(std::get<0>(r));
        return texts;
    }
    std::vector<std::wstring> User() const
    {
        std::vector<std::wstring> texts;
        for (const auto& r : user.Records())
            texts.push_back(std::get<0>(r));
        return texts;
    }
    SignalRecorder<std::wstring> changed;
    SignalRecorder<std::wstring> user;
    SignalRecorder<std::wstring, std::wstring> replaced;
};

TEST(ComboEdit, NumberFilterAndEditSignals)
{
    const struct {
        const char* what;
        const char* typed;
        std::wstring shown;
        std::vector<std::wstring> changed;  // every OnEditTextChanged
    } cases[] = {
        {"digit below the minimum stays", "5", L"5", {L"5"}},
        {"two digits", "15", L"15", {L"1", L"15"}},
        // The letter is typed, filtered out and written back: the write-back
        // reports the corrected text, then the letter's change does.
        {"letter removed", "1a", L"1", {L"1", L"1", L"1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComboOnWindow w;
        w.box->SetEditable(true);
        w.box->OnlyNumbers(true, 10, 20);
        EditSignals recorded(*w.box);
        QTest::keyClicks(w.widget(), c.typed);
        EXPECT_EQ(w.box->CurrentText(), c.shown);
        EXPECT_EQ(recorded.Changed(), c.changed);
        EXPECT_EQ(recorded.User(), c.changed);
        ASSERT_EQ(recorded.replaced.Count(), c.changed.size());
        EXPECT_EQ(std::get<1>(recorded.replaced.Last()), c.shown);
    }
}

TEST(ComboEdit, ReplacedCarriesThePreviousText)
{
    ComboOnWindow w;
    w.box->AddItem(L"start", any());
    w.box->SetEditable(true);
    EditSignals recorded(*w.box);
    w.box->SetCurrentText(L"next");
    w.box->SetCurrentText(L"last");
    EXPECT_TRUE(recorded.User().empty());  // code's changes are not the user's
    EXPECT_EQ(recorded.Changed(), (std::vector<std::wstring>{L"next", L"last"}));
    const auto replaced = recorded.replaced.Records();
    ASSERT_EQ(replaced.size(), 2u);
    EXPECT_EQ(replaced[0], std::make_tuple(std::wstring(L"start"), std::wstring(L"next")));
    EXPECT_EQ(replaced[1], std::make_tuple(std::wstring(L"next"), std::wstring(L"last")));
}

TEST(ComboEdit, TypingMidTextKeepsTheCaret)
{
    ComboOnWindow w;
    w.box->SetEditable(true);
    w.box->OnlyNumbers(true, -1000, 100000);
    w.box->SetCurrentText(L"1234");
    w.widget()->setFocus();
    w.box->SetCaretPosition(2);
    QTest::keyClicks(w.widget(), "9");
    EXPECT_EQ(w.box->CurrentText(), L"12934");
    EXPECT_EQ(w.box->GetCaretPosition(), 3);
    // A letter or a misplaced minus mid-text is refused alone: the user's
    // digits stay, and so does the caret.
    QTest::keyClicks(w.widget(), "x");
    EXPECT_EQ(w.box->CurrentText(), L"12934");
    EXPECT_EQ(w.box->GetCaretPosition(), 3);
    w.box->SetCaretPosition(1);
    QTest::keyClicks(w.widget(), "-");
    EXPECT_EQ(w.box->CurrentText(), L"12934");
    EXPECT_EQ(w.box->GetCaretPosition(), 1);
    w.box->SetCaretPosition(0);
    QTest::keyClicks(w.widget(), "a");
    EXPECT_EQ(w.box->CurrentText(), L"12934");
    EXPECT_EQ(w.box->GetCaretPosition(), 0);
}

TEST(ComboEdit, InlineCompletionKeepsItsSelectedTail)
{
    ComboOnWindow w;
    for (const wchar_t* text : {L"Alpha", L"Beta"})
        w.box->AddItem(text, any());
    w.box->SetEditable(true);
    w.box->SetCurrentText(L"");
    EXPECT_FALSE(w.box->IsAutoComplete());
    w.box->SetAutoComplete(true);
    EXPECT_TRUE(w.box->IsAutoComplete());
    w.widget()->setFocus();
    QTest::keyClicks(w.widget(), "al");
    EXPECT_EQ(w.box->CurrentText(), L"alpha");
    EXPECT_EQ(w.box->SelectionStart(), 2);
    EXPECT_EQ(w.box->SelectionLength(), 3);
    // SetEditable takes a completer away.
    w.box->SetEditable(true);
    EXPECT_FALSE(w.box->IsAutoComplete());
}

TEST(ComboEdit, EditFieldOperationsNeedAnEditableBox)
{
    ComboOnWindow w;
    w.box->AddItem(L"a", any());
    EXPECT_EQ(w.box->SelectionLength(), -1);
    EXPECT_EQ(w.box->SelectionStart(), -1);
    EXPECT_EQ(w.box->GetCaretPosition(), -1);
    EXPECT_FALSE(w.box->ShowBalloonTip(L"t", L"x", AUILib::BalloonTipIconType(1)));
    EXPECT_FALSE(w.box->HideBalloonTip());
    w.box->EnableEditListMode(true);
    EXPECT_FALSE(w.widget()->IsEditListMode());
    w.box->SetEditable(true);
    w.box->SetCurrentText(L"hello");
    w.box->SetEditSel(1, 3);
    EXPECT_EQ(w.box->SelectionStart(), 1);
    EXPECT_EQ(w.box->SelectionLength(), 3);
    w.box->EnableEditListMode(true);
    EXPECT_TRUE(w.widget()->IsEditListMode());
    EXPECT_TRUE(w.box->ShowBalloonTip(L"Title", L"Text", AUILib::BalloonTipIconType(2)));
    EXPECT_TRUE(w.box->HideBalloonTip());
    w.box->SetEditable(false);
    EXPECT_FALSE(w.widget()->IsEditListMode());
    w.box->SetAddToListOnEnterKey(true);
    EXPECT_EQ(w.widget()->insertPolicy(), QComboBox::NoInsert);
    w.box->SetEditable(true);
    w.box->SetAddToListOnEnterKey(true);
    EXPECT_EQ(w.widget()->insertPolicy(), QComboBox::InsertAtBottom);
}

TEST(ComboEdit, UpAndDownReportSelectableEntries)
{
    ComboOnWindow w;
    w.box->AddItem(L"a", any());
    w.box->AddItem(L"b", any());
    w.box->InsertSeparator(2, L"Header", any());
    std::vector<std::string> order;
    w.box->OnCurrentIndexChanged.Connect([&](int i) { order.push_back("changed " + std::to_string(i)); });
    w.box->OnCurrentIndexSelected.Connect([&](int i) { order.push_back("selected " + std::to_string(i)); });
    w.widget()->setFocus();
    QTest::keyClick(w.widget(), Qt::Key_Down);
    EXPECT_EQ(order, (std::vector<std::string>{"changed 1", "selected 1"}));
    order.clear();
    QTest::keyClick(w.widget(), Qt::Key_Down);  // the header cannot be chosen
    EXPECT_EQ(order, (std::vector<std::string>{"selected 1"}));
    order.clear();
    w.box->SetCurSel(2);
    order.clear();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(w.widget(), &down);
    EXPECT_TRUE(order.empty());
    EXPECT_FALSE(down.isAccepted());
}

TEST(ComboEdit, PasteByKeyAndByMenuOnce)
{
    QApplication::clipboard()->setText(QStringLiteral("XY"));
    ComboOnWindow w;
    SignalRecorder<std::wstring> pastes(w.box->OnPaste);
    // On a box without edit field a paste key does nothing, and does not
    // make the next menu paste be skipped.
    w.widget()->setFocus();
    QTest::keyClick(w.widget(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(pastes.Count(), 0u);

    w.box->SetEditable(true);
    w.widget()->setFocus();
    const auto pasteFromMenu = [&] {
        PopupPicker picker([&](QWidget* popup) {
            auto* menu = qobject_cast<QMenu*>(popup);
            ASSERT_TRUE(menu);
            for (QAction* action : menu->actions()) {
                if (action->text().startsWith(QStringLiteral("&Paste"))) {
                    ClickAction(menu, action);
                    return;
                }
            }
            ADD_FAILURE() << "no paste entry";
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), w.edit()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w.edit(), &event);
        EXPECT_TRUE(picker.Acted());
    };
    pasteFromMenu();
    EXPECT_EQ(w.box->CurrentText(), L"XY");
    ASSERT_EQ(pastes.Count(), 1u);
    EXPECT_EQ(std::get<0>(pastes.Last()), L"XY");

    QTest::keyClick(w.widget(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.box->CurrentText(), L"XYXY");
    ASSERT_EQ(pastes.Count(), 2u);
    EXPECT_EQ(std::get<0>(pastes.Last()), L"XYXY");

    pasteFromMenu();
    EXPECT_EQ(w.box->CurrentText(), L"XYXYXY");
    EXPECT_EQ(pastes.Count(), 3u);
}

TEST(ComboEdit, DropDownState)
{
    ComboOnWindow w;
    w.box->AddItem(L"a", any());
    w.box->AddItem(L"a much longer entry than the box is wide", any());
    EXPECT_FALSE(w.box->GetDroppedState());
    w.box->ShowDropDown(true);
    EXPECT_TRUE(w.box->GetDroppedState());
    w.box->ShowDropDown(false);
    EXPECT_FALSE(w.box->GetDroppedState());
    w.box->AdjustItemWidth();
    EXPECT_GT(w.widget()->view()->width(), w.widget()->width());
    w.box->SetMaxVisibleItems(4);
    EXPECT_EQ(w.box->GetMaxVisibleItems(), 4);
}

TEST(ComboEdit, HandlersMayDropTheControl)
{
    const struct {
        const char* what;
        std::function<void(ComboOnWindow&)> arm;
        std::function<void(ComboOnWindow&)> act;
    } cases[] = {
        {"index changed",
         [](ComboOnWindow& w) { w.box->OnCurrentIndexChanged.Connect([&w](int) { w.box.reset(); }); },
         [](ComboOnWindow& w) { QTest::keyClick(w.widget(), Qt::Key_Down); }},
        {"index selected",
         [](ComboOnWindow& w) { w.box->OnCurrentIndexSelected.Connect([&w](int) { w.box.reset(); }); },
         [](ComboOnWindow& w) { QTest::keyClick(w.widget(), Qt::Key_Down); }},
        {"user edit",
         [](ComboOnWindow& w) { w.box->OnUserEditTextChanged.Connect([&w](std::wstring) { w.box.reset(); }); },
         [](ComboOnWindow& w) { QTest::keyClicks(w.widget(), "7"); }},
        {"paste",
         [](ComboOnWindow& w) { w.box->OnPaste.Connect([&w](std::wstring) { w.box.reset(); }); },
         [](ComboOnWindow& w) { QTest::keyClick(w.widget(), Qt::Key_V, Qt::ControlModifier); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ComboOnWindow w;
        w.box->AddItem(L"1", any());
        w.box->AddItem(L"2", any());
        w.box->SetEditable(true);
        w.box->OnlyNumbers(true, 0, 99);
        QPointer<AUILib::ComboBoxQt> widget = w.widget();
        w.widget()->setFocus();
        c.arm(w);
        c.act(w);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(w.box);
    }
}

} // namespace
