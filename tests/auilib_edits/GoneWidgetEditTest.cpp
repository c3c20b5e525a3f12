// An edit whose widget Qt deleted answers neutrally, and a widget whose
// edit went on living still works as a plain line edit.
#include "AgnosticUIException.h"
#include "Edit.h"
#include "EditQt.h"
#include "PngBytes.h"
#include "PromptsPopup.h"
#include "RecordingPromptsPopup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QPointer>
#include <QTest>

#include <functional>
#include <memory>

using namespace AUILib;

TEST(GoneWidgetEdit, EveryOperationIsNeutral)
{
    auto window = std::make_unique<QWidget>();
    Edit edit;
    ASSERT_TRUE(edit.Create(window.get()));
    edit.SetText(L"text");
    edit.SetSuffix(L" s");
    edit.ShowBalloonTip(L"t", L"x", BalloonTipWarning);
    window.reset();
    ASSERT_EQ(edit.GetWndPtr(), nullptr);

    const QByteArray png = PngBytes();
    const auto* data = reinterpret_cast<const unsigned char*>(png.constData());
    edit.SetTextAlign(TextAlignRight);
    edit.SetSelectAll();
    edit.SetFocus();
    edit.SetLimitText(3);
    edit.SetReadOnly(true);
    EXPECT_FALSE(edit.IsReadOnly());
    edit.OnlyNumbers(true, 0, 10, nullptr, nullptr);
    edit.OnlyNumbers(true, 0.0, 1.0, nullptr, 2);
    edit.OnlyNumbers(true, 0.0, 1.0, nullptr, nullptr, 2);
    edit.SetBackgroundColor(0xff);
    edit.SetTextColor(0xff);
    edit.SetPlaceHolderTextColor(0xff);
    EXPECT_EQ(edit.GetBackgroundColor(), -1);
    EXPECT_EQ(edit.GetTextColor(), -1);
    EXPECT_FALSE(edit.ShowBalloonTip(L"t", L"x", BalloonTipCritical));
    EXPECT_TRUE(edit.HideBalloonTip());
    edit.SetText(L"x");
    EXPECT_EQ(edit.GetText(), L"");
    edit.SetPasswordMode(Edit::PasswordHidden);
    EXPECT_EQ(edit.GetPasswordMode(), 0);
    edit.SetFrameMode(false);
    EXPECT_FALSE(edit.GetFrameMode());
    edit.SetCursorPosition(2);
    EXPECT_EQ(edit.GetCursorPosition(), 0);
    edit.SetSelection(0, 2);
    EXPECT_EQ(edit.SelectionLength(), 0);
    EXPECT_EQ(edit.SelectionStart(), 0);
    edit.SetAutoComplete({L"a"});
    edit.EnableAutoComplete(true);
    edit.SetSuffix(L" kg");
    edit.SetPlaceHolderText(L"p");
    edit.SetBorderColor(0x123456);
    edit.SetBorderRadius(3);
    edit.EnableExtendedButton(L"a.png", L"b.png");
    edit.ExtendedButtonSetImage(L"a.png", L"b.png");
    edit.ExtendedButtonSetImage(data, png.size(), ImagePNG, true);
    EXPECT_EQ(edit.GetText(), L"");

    for (const char* name : {"Create", "IdealSize"}) {
        SCOPED_TRACE(name);
        try {
            if (std::string(name) == "Create")
                edit.Create(nullptr);
            else
                edit.IdealSize();
            ADD_FAILURE() << "no exception";
        } catch (const AgnosticUIException& error) {
            EXPECT_STREQ(error.what(), "Control is not valid.");
        }
    }
}

TEST(GoneWidgetEdit, AWidgetOutlivesItsEdit)
{
    struct Row {
        const char* name;
        std::function<void(EditQt*)> act;
    };
    const Row rows[] = {
        {"type", [](EditQt* w) { QTest::keyClicks(w, QStringLiteral("12")); }},
        {"paste",
         [](EditQt* w) {
             QApplication::clipboard()->setText(QStringLiteral("pasted"));
             QTest::keySequence(w, QKeySequence::Paste);
         }},
        {"focus out", [](EditQt* w) { w->clearFocus(); }},
        {"menu",
         [](EditQt* w) {
             QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
             QApplication::sendEvent(w, &event);
             if (QWidget* popup = QApplication::activePopupWidget())
                 popup->close();
         }},
        {"extended button", [](EditQt* w) { w->actions().value(0)->trigger(); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (bool implHeld : {false, true}) {
            QWidget window;
            auto edit = std::make_unique<Edit>();
            edit->Create(&window);
            window.show();
            auto invalid = std::make_shared<RecordingPromptsPopup>();
            edit->OnlyNumbers(true, 0, 100, invalid, nullptr);
            edit->SetSuffix(L" kg");
            edit->EnableExtendedButton(L"a.png", L"b.png");
            edit->OnTextChanged.Connect([](std::wstring) {});
            QPointer<EditQt> widget = static_cast<EditQt*>(edit->GetWndPtr());
            widget->setFocus();
            // A caller may keep the implementation past the control.
            std::shared_ptr<BaseImpl> impl = implHeld ? edit->GetBaseImpl() : nullptr;
            edit.reset();
            row.act(widget);
            QCoreApplication::processEvents();
            ASSERT_FALSE(widget.isNull());
        }
    }
}

TEST(GoneWidgetEdit, PopupWithAGoneLabel)
{
    auto window = std::make_unique<QWidget>();
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(window.get(), L"text", 0, -1, true));
    window.reset();
    const QByteArray png = PngBytes();
    popup.Show(true, -1, -1);
    popup.Show(false, -1, -1);
    popup.SetTitle(L"t");
    popup.SetTitleIcon(BalloonTipInformation);
    popup.SetTitleIcon(L"/x.png");
    popup.SetTitleIcon(reinterpret_cast<const unsigned char*>(png.constData()), png.size());
    EXPECT_FALSE(popup.IsDisplayed());
}
