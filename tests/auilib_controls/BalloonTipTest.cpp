// Balloon tips and prompts popups of a control: made on the control's
// widget, shown for their time, hidden by the user's activity where asked.
#include "BaseImpl.h"
#include "PngBytes.h"
#include "Edit.h"
#include "PromptsPopup.h"
#include "PromptsPopupImplQt.h"
#include "PromptsPopupQt.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTest>

using namespace AUILib;

namespace {

struct Window {
    Window()
    {
        window.resize(300, 200);
        edit.Create(&window);
        edit.MoveWindow(20, 20, 200, 30, false);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        QCoreApplication::processEvents();
    }
    QWidget* Target() { return edit.GetBaseImpl()->GetWndPtr(); }

    QWidget window;
    Edit edit;
};

PromptsPopupQt* BalloonWindow(QWidget* target)
{
    const auto popups = target->findChildren<PromptsPopupQt*>();
    return popups.isEmpty() ? nullptr : popups.last();
}

} // namespace

TEST(BalloonTip, HideAnswersWhetherATipWasEverShown)
{
    Window w;
    EXPECT_FALSE(w.edit.HideBalloonTipEx());
    EXPECT_FALSE(w.edit.IsBalloonTipDisplayed());
    ASSERT_TRUE(w.edit.ShowBalloonTipEx(L"Title", L"Text", BalloonTipInformation, true, false));
    EXPECT_TRUE(w.edit.IsBalloonTipDisplayed());
    EXPECT_TRUE(w.edit.HideBalloonTipEx());
    EXPECT_FALSE(w.edit.IsBalloonTipDisplayed());
    EXPECT_TRUE(w.edit.HideBalloonTipEx());
}

TEST(BalloonTip, EachVariantChoosesItsTimeAndActivityRule)
{
    const QByteArray png = PngBytes();
    const auto* data = reinterpret_cast<const unsigned char*>(png.constData());
    struct Row {
        const char* name;
        std::function<bool(Edit&, bool keepShown)> show;
        bool hidesOnActivity;
    };
    const Row rows[] = {
        {"text, icon path", [](Edit& e, bool k) { return e.ShowBalloonTipEx(L"t", L"/no/such.png", false, k); }, true},
        {"text, icon data",
         [&](Edit& e, bool k) { return e.ShowBalloonTipEx(L"t", data, png.size(), false, k); }, true},
        {"text, icon type", [](Edit& e, bool k) { return e.ShowBalloonTipEx(L"t", BalloonTipWarning, false, k); },
         false},
        {"title, text, icon path",
         [](Edit& e, bool k) { return e.ShowBalloonTipEx(L"T", L"t", L"/no/such.png", false, k); }, true},
        {"title, text, icon data",
         [&](Edit& e, bool k) { return e.ShowBalloonTipEx(L"T", L"t", data, png.size(), false, k); }, true},
        {"title, text, icon type",
         [](Edit& e, bool k) { return e.ShowBalloonTipEx(L"T", L"t", BalloonTipCritical, false, k); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (bool keepShown : {false, true}) {
            Window w;
            ASSERT_TRUE(row.show(w.edit, keepShown));
            PromptsPopupQt* balloon = BalloonWindow(w.Target());
            ASSERT_NE(balloon, nullptr);
            EXPECT_TRUE(balloon->isVisible());
            EXPECT_EQ(balloon->DisplayTime(), keepShown ? 50000 : 3000);
            EXPECT_EQ(balloon->HidesOnActivity(), row.hidesOnActivity);

            QTest::keyPress(w.Target(), Qt::Key_A);
            EXPECT_EQ(w.edit.IsBalloonTipDisplayed(), !row.hidesOnActivity);
        }
    }
}

TEST(BalloonTip, ATipHidesWhenItsTimeIsUp)
{
    Window w;
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.Target(), L"short", 0, 50, false));
    popup.Show(true, -1, -1);
    EXPECT_TRUE(popup.IsDisplayed());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popup.IsDisplayed(); }, 5000));
}

TEST(BalloonTip, APopupNeedsATargetAndFollowsIt)
{
    PromptsPopup unplaced;
    EXPECT_FALSE(unplaced.Create(nullptr, L"x", 0, 100, true));
    unplaced.Show(true, -1, -1);  // nothing to show
    EXPECT_FALSE(unplaced.IsDisplayed());

    Window w;
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.Target(), L"anchored", 0, -1, false));
    popup.SetTitle(L"Title");
    popup.SetTitle(L"");  // keeps the title
    popup.Show(true, -1, -1);
    PromptsPopupQt* balloon = BalloonWindow(w.Target());
    ASSERT_NE(balloon, nullptr);
    // Its tail points at the target's top-left corner from just below it.
    EXPECT_EQ(balloon->pos(), w.Target()->mapToGlobal(QPoint(0, 0)) + QPoint(2, 21));
    EXPECT_TRUE(balloon->text().contains(QStringLiteral("<b>Title</b>")));
    EXPECT_TRUE(balloon->text().contains(QStringLiteral("anchored")));

    popup.Show(false, -1, -1);
    popup.Show(true, 100, 120);
    EXPECT_EQ(balloon->pos(), QPoint(102, 141));

    // It goes with its window, and hides when the window closes.
    w.window.move(w.window.pos() + QPoint(30, 10));
    QCoreApplication::processEvents();
    EXPECT_EQ(balloon->pos(), QPoint(132, 151));
    w.window.close();
    EXPECT_FALSE(popup.IsDisplayed());
}

TEST(BalloonTip, InsertedPromptsPopupsAreNewEachTimeAndNotShown)
{
    Window w;
    std::shared_ptr<PromptsPopup> first = w.edit.InsertPromptsPopup(L"one", 0, 3000, true);
    std::shared_ptr<PromptsPopup> second = w.edit.InsertPromptsPopup(L"two", 0, -1, false);
    ASSERT_TRUE(first && second);
    EXPECT_NE(first, second);
    EXPECT_FALSE(first->IsDisplayed());
    EXPECT_FALSE(second->IsDisplayed());
    w.edit.ShowPromptsPopup(second, true);
    EXPECT_TRUE(second->IsDisplayed());
    w.edit.ShowPromptsPopup(second, false);
    EXPECT_FALSE(second->IsDisplayed());
    w.edit.ShowPromptsPopup(nullptr, true);  // nothing to show
}
