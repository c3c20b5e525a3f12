// A click shows the attached menu just below the button and then emits
// clicked once; a menu that closes the window or drops the button ends the
// click quietly; the widget outlives its button safely.
#include "ButtonTestKit.h"

#include "ButtonQt.h"
#include "RecordingContextMenu.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <functional>

namespace {

using AUILib::Button;

// A recording menu that runs an action while it is "open".
class ActingMenu : public RecordingContextMenu {
public:
    void Show(int x, int y) override
    {
        RecordingContextMenu::Show(x, y);
        if (action)
            action();
    }
    std::function<void()> action;
};

class ButtonMenu : public ::testing::Test {
protected:
    void SetUp() override
    {
        window_ = new QWidget;
        window_->setGeometry(200, 150, 300, 200);
        button_ = MakeButton(80, 30, window_);
        WidgetOf(*button_)->move(10, 20);
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_));
    }
    void TearDown() override
    {
        button_.reset();
        delete window_.data();
    }

    QPointer<QWidget> window_;
    std::shared_ptr<Button> button_;
};

TEST_F(ButtonMenu, MenuShownBelowTheButtonThenOneClick)
{
    auto menu = std::make_shared<RecordingContextMenu>();
    button_->InsertMenuBar(menu, false);
    EXPECT_FALSE(ImplOf(*button_).HasMenuFlag());
    size_t shownAtEmission = 0;
    button_->clicked.Connect([&] { shownAtEmission = menu->shownAt.size(); });
    SignalRecorder<> clicks(button_->clicked);

    QTest::mouseClick(WidgetOf(*button_), Qt::LeftButton);

    const AUILib::Rect rect = button_->GetWindowRect();
    ASSERT_EQ(menu->shownAt.size(), 1u);
    EXPECT_EQ(menu->shownAt[0], QPoint(rect.left, rect.bottom));
    EXPECT_EQ(menu->shownAt[0].x(), WidgetOf(*button_)->mapToGlobal(QPoint(0, 0)).x());
    EXPECT_EQ(shownAtEmission, 1u);  // the menu had closed before the emission
    EXPECT_EQ(clicks.Count(), 1u);
    EXPECT_TRUE(menu->shows.empty());

    // Another menu replaces it; the arrow flag follows the call.
    auto second = std::make_shared<RecordingContextMenu>();
    button_->InsertMenuBar(second, true);
    EXPECT_TRUE(ImplOf(*button_).HasMenuFlag());
    WidgetOf(*button_)->click();
    EXPECT_EQ(menu->shownAt.size(), 1u);
    EXPECT_EQ(second->shownAt.size(), 1u);
    EXPECT_EQ(clicks.Count(), 2u);

    // Without a menu a click only emits.
    button_->RemoveMenuBar();
    EXPECT_FALSE(ImplOf(*button_).HasMenuFlag());
    EXPECT_EQ(second.use_count(), 1);
    WidgetOf(*button_)->click();
    EXPECT_EQ(second->shownAt.size(), 1u);
    EXPECT_EQ(clicks.Count(), 3u);
}

TEST_F(ButtonMenu, MenuThatClosesTheWindowAndDropsTheButton)
{
    auto menu = std::make_shared<ActingMenu>();
    int clicks = 0;
    button_->clicked.Connect([&] { ++clicks; });
    // As a dialog does: its window deletes itself on close and its controls go.
    menu->action = [&] {
        window_->setAttribute(Qt::WA_DeleteOnClose);
        window_->close();
        button_.reset();
    };
    button_->InsertMenuBar(menu, true);
    QPointer<QPushButton> widget = WidgetOf(*button_);
    QTest::mouseClick(widget, Qt::LeftButton);
    EXPECT_EQ(menu->shownAt.size(), 1u);
    EXPECT_EQ(clicks, 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(widget.isNull());
    EXPECT_TRUE(window_.isNull());
}

TEST_F(ButtonMenu, MenuThatDeletesTheWindowAtOnce)
{
    auto menu = std::make_shared<ActingMenu>();
    int clicks = 0;
    button_->clicked.Connect([&] { ++clicks; });
    menu->action = [&] { delete window_.data(); };
    button_->InsertMenuBar(menu, false);
    WidgetOf(*button_)->click();
    EXPECT_EQ(menu->shownAt.size(), 1u);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(ImplOf(*button_).GetWndPtr(), nullptr);
}

TEST_F(ButtonMenu, WidgetOutlivesItsButton)
{
    QPointer<QPushButton> widget = WidgetOf(*button_);
    auto* buttonWidget = qobject_cast<AUILib::ButtonQt*>(widget.data());
    ASSERT_NE(buttonWidget, nullptr);
    EXPECT_EQ(buttonWidget->GetOwner(), button_.get());
    button_->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);

    // The implementation held elsewhere: its click handler sees no owner.
    std::shared_ptr<AUILib::BaseImpl> kept = button_->GetBaseImpl();
    button_.reset();
    EXPECT_EQ(buttonWidget->GetOwner(), nullptr);
    widget->repaint();
    QTest::mouseClick(widget, Qt::LeftButton);
    kept.reset();

    // Both gone: the connection went with the implementation.
    widget->repaint();
    QTest::mouseClick(widget, Qt::LeftButton);
    widget->click();
    EXPECT_FALSE(widget.isNull());
}

} // namespace
