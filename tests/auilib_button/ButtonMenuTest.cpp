// A click shows the attached menu just below the button and then emits
// clicked once; a menu that closes the window or drops the button ends the
// click quietly; the widget outlives its button safely.
#include "ButtonTestKit.h"

#include "ButtonQt.h"
#include "RecordingContextMenu.h"
#include "SignalRecorder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cstdlib>
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

// The arrow gets a room of its own below the text: the button grows by it
// and no text pixel reaches the arrow's rows, whatever the height.
TEST_F(ButtonMenu, ArrowHasItsOwnRoomBelowTheText)
{
    auto* widget = qobject_cast<AUILib::ButtonQt*>(WidgetOf(*button_));
    ASSERT_NE(widget, nullptr);
    button_->SetText(L"Push button");
    button_->SetTextColor(0xFF0000, 0xFF0000);   // the arrow's colour; the text stays dark
    const QSize plain = widget->sizeHint();
    button_->InsertMenuBar(std::make_shared<RecordingContextMenu>(), true);
    EXPECT_EQ(widget->sizeHint().height(), plain.height() + widget->ArrowRoom());
    EXPECT_GT(widget->minimumSizeHint().height(), plain.height());

    auto red = [](QRgb pixel) { return qRed(pixel) > 160 && qGreen(pixel) < 110 && qBlue(pixel) < 110; };
    auto dark = [](QRgb pixel) { return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100; };
    for (int height : {widget->sizeHint().height(), plain.height()}) {
        SCOPED_TRACE(height);
        widget->resize(widget->sizeHint().width(), height);
        const QImage image = widget->grab().toImage();
        const int cx = image.width() / 2;
        const int arrowTop = image.height() - 1 - widget->GetArrowMargin() - 4;
        EXPECT_TRUE(red(image.pixel(cx, arrowTop + 2)));   // the arrow
        int textBottom = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (std::abs(x - cx) > 6 && dark(image.pixel(x, y)))
                    textBottom = y;
            }
        }
        EXPECT_GT(textBottom, 0);           // the text is drawn
        EXPECT_LT(textBottom, arrowTop);    // above the arrow
    }
}

} // namespace
