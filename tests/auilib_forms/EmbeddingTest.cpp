// Dialogs embedded as tab pages in place of a placeholder, and kept on top
// while the application is active.
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLayout>

namespace {

TEST(Embedding, TabWindowReplacesPlaceholder)
{
    GermanStrings strings(false);
    VetoDialog host(FormPath("main"));
    WindowGuard hostGuard(host.GetWndPtr());
    VetoDialog page(FormPath("scroll"));
    QPointer<QWidget> pageWindow = page.GetWndPtr();
    auto placeholder = host.GetElementByName(L"noteLabel");
    QPointer<QWidget> placeholderWidget = placeholder->GetPlatformWindow();

    page.CreateTabWindowEx(nullptr, false);   // nothing to replace
    EXPECT_TRUE(pageWindow->isWindow());
    page.CreateTabWindowEx(placeholder.get(), false);
    ASSERT_TRUE(pageWindow);
    EXPECT_FALSE(pageWindow->isWindow());
    EXPECT_EQ(pageWindow->parentWidget(), host.GetWndPtr());
    EXPECT_GE(host.GetWndPtr()->layout()->indexOf(pageWindow), 0);
    EXPECT_FALSE(page.IsModal());
    RunDeferredDeletes();
    EXPECT_FALSE(placeholderWidget);   // the replaced widget goes

    VetoDialog second(FormPath("scroll"));
    QWidget holder;
    second.CreateTabWindow(&holder, false);
    EXPECT_EQ(second.GetWndPtr()->parentWidget(), &holder);
    EXPECT_FALSE(second.GetWndPtr()->isWindow());
}

TEST(Embedding, StayOnTopFollowsApplicationState)
{
    GermanStrings strings(false);
    QWidget parent;
    VetoDialog dialog(FormPath("main"));
    QWidget* window = dialog.GetWndPtr();
    WindowGuard guard(window);
    dialog.DoModeless(&parent, true);
    EXPECT_TRUE(window->isWindow());
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    auto impl = dialog.Impl();
    impl->applicationStateChanged(Qt::ApplicationInactive);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(window->isVisible());
    impl->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);

    // Without a parent the request is not taken.
    VetoDialog lone(FormPath("main"));
    WindowGuard loneGuard(lone.GetWndPtr());
    lone.DoModeless(true);
    EXPECT_FALSE(lone.GetWndPtr()->windowFlags() & Qt::WindowStaysOnTopHint);
    lone.Impl()->applicationStateChanged(Qt::ApplicationActive);
    EXPECT_FALSE(lone.GetWndPtr()->windowFlags() & Qt::WindowStaysOnTopHint);
}

} // namespace
