// The balloon popup on its own: where it lands on the screen, which of its
// four content forms it builds, how long it stays and what hides it, and
// what is left of it once its widgets are gone.
#include "DarkLook.h"
#include "PicturePixels.h"
#include "PngBytes.h"
#include "PromptsPopup.h"
#include "PromptsPopupImplQt.h"
#include "PromptsPopupQt.h"
#include "Screenshot.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTest>

#include <memory>

using namespace AUILib;

namespace {

struct Window {
    Window()
    {
        window.resize(300, 200);
        target = new QWidget(&window);
        target->setGeometry(20, 20, 200, 30);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
        QCoreApplication::processEvents();
    }
    QWidget window;
    QPointer<QWidget> target;
};

PromptsPopupQt* LabelOf(QWidget* target)
{
    const auto labels = target->findChildren<PromptsPopupQt*>();
    return labels.isEmpty() ? nullptr : labels.last();
}

} // namespace

TEST(BalloonPopup, BeforeTheFirstCreateEveryOperationDoesNothing)
{
    PromptsPopup popup;
    popup.Show(true, 10, 10);
    popup.Show(false, -1, -1);
    popup.SetTitle(L"title");
    popup.SetTitleIcon(BalloonTipWarning);
    popup.SetTitleIcon(L"/no/such.png");
    const QByteArray png = PngBytes();
    EXPECT_FALSE(popup.SetTitleIcon(reinterpret_cast<const unsigned char*>(png.constData()), png.size()));
    EXPECT_FALSE(popup.IsDisplayed());
    EXPECT_FALSE(popup.Create(nullptr, L"text", 0, 100, true));
    EXPECT_FALSE(popup.IsDisplayed());
}

TEST(BalloonPopup, PlacementFollowsTheScreenEdges)
{
    Window w;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int right = screen.x() + screen.width();
    const int bottom = screen.y() + screen.height();

    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.target, L"A balloon", 0, -1, false));
    popup.Show(true, 0, 0);
    PromptsPopupQt* label = LabelOf(w.target);
    ASSERT_NE(label, nullptr);
    const int width = label->width();
    const int height = label->height();
    popup.Show(false, -1, -1);

    struct Row {
        const char* name;
        QPoint anchor;
        QPoint expected;
    };
    const QPoint middle(screen.x() + 100, screen.y() + 100);
    const Row rows[] = {
        {"fits", middle, middle + QPoint(2, 21)},
        {"right edge", QPoint(right - 10, middle.y()), QPoint(right - 10 - width - 2, middle.y() + 21)},
        {"bottom edge", QPoint(middle.x(), bottom - 5), QPoint(middle.x() + 2, bottom - 5 - height - 3)},
        {"bottom right corner", QPoint(right - 1, bottom - 1),
         QPoint(right - 1 - width - 2, bottom - 1 - height - 3)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        popup.Show(true, row.anchor.x(), row.anchor.y());
        EXPECT_EQ(label->pos(), row.expected);
        EXPECT_EQ(label->size(), QSize(width, height));
        EXPECT_EQ(label->BodyRect(), QRect(0, 0, width, height));
        popup.Show(false, -1, -1);
    }

    // No position: under the target's top-left corner.
    popup.Show(true, -1, -1);
    EXPECT_EQ(label->pos(), w.target->mapToGlobal(QPoint(0, 0)) + QPoint(2, 21));
}

TEST(BalloonPopup, ContentFormsByTitleAndIcon)
{
    Window w;
    const QByteArray png = PngBytes(4, 4, Qt::blue);
    struct Row {
        const char* name;
        bool title;
        int iconKind;
        int form;
    };
    const Row rows[] = {
        {"text only", false, 0, 3},          {"standard icon", false, 1, 4}, {"image icon", false, 2, 4},
        {"title", true, 0, 2},               {"title, standard icon", true, 1, 1},
        {"title, image icon", true, 2, 1},
    };
    // The frames' own lengths, to catch a changed character in any of them.
    const int kTitleIconFrame = 1221 + 116 + 83;
    const int kTitleFrame = 1106 + 47 + 26;
    const int kIconFrame = 733 + 27;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PromptsPopup popup;
        ASSERT_TRUE(popup.Create(w.target, L"a\nb%0", 0, -1, true));
        if (row.title)
            popup.SetTitle(L"Head");
        if (row.iconKind == 1)
            popup.SetTitleIcon(BalloonTipInformation);
        if (row.iconKind == 2) {
            ASSERT_TRUE(popup.SetTitleIcon(reinterpret_cast<const unsigned char*>(png.constData()), png.size()));
        }
        popup.Show(true, -1, -1);
        PromptsPopupQt* label = LabelOf(w.target);
        ASSERT_NE(label, nullptr);
        const QString text = label->text();
        EXPECT_EQ(text.contains(QStringLiteral("<br>")), row.form == 1 || row.form == 4);
        EXPECT_TRUE(text.contains(QStringLiteral("b%0")));  // the caller's marker is not the image's
        switch (row.form) {
        case 1:
        case 4: {
            EXPECT_TRUE(text.contains(QStringLiteral("src='data:image/png;base64, iVBOR")));
            const int base64 = text.section(QStringLiteral("base64, "), 1).section(QLatin1Char('\''), 0, 0).size();
            EXPECT_GT(base64, 0);
            const int frame = row.form == 1 ? kTitleIconFrame + 4 : kIconFrame;
            EXPECT_EQ(text.size(), frame - 2 + base64 + 8);  // "%0" out; "a<br>b%0" in
            EXPECT_EQ(text.contains(QStringLiteral("<b>Head</b>")), row.form == 1);
            break;
        }
        case 2:
            EXPECT_TRUE(text.startsWith(QStringLiteral("<table ><style>")));
            EXPECT_TRUE(text.contains(QStringLiteral("<b>Head</b>")));
            EXPECT_TRUE(text.contains(QStringLiteral("<b>a\nb%0</b>")));
            EXPECT_EQ(text.size(), kTitleFrame + 4 + 5);
            break;
        case 3:
            EXPECT_EQ(text, QStringLiteral("a\nb%0"));
            break;
        }
    }
}

TEST(BalloonPopup, TitleAndIconRules)
{
    Window w;
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.target, L"text", 0, -1, true));
    popup.SetTitle(L"kept");
    popup.SetTitle(L"");
    popup.SetTitleIcon(BalloonTipWarning);
    popup.Show(true, -1, -1);
    PromptsPopupQt* label = LabelOf(w.target);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains(QStringLiteral("<b>kept</b>")));
    EXPECT_TRUE(label->text().contains(QStringLiteral("base64, iVBOR")));

    // Type 0 or 4 removes the stock icon: the title form without one.
    for (int none : {0, 4}) {
        popup.SetTitleIcon(static_cast<BalloonTipIconType>(none));
        popup.Show(true, -1, -1);
        EXPECT_TRUE(label->text().startsWith(QStringLiteral("<table ><style>")));
    }
    // An unreadable file still counts as an image: an empty one.
    popup.SetTitleIcon(L"/no/such/icon.png");
    popup.Show(true, -1, -1);
    EXPECT_TRUE(label->text().contains(QStringLiteral("base64, '")));
    // Bytes that are no picture change nothing.
    const unsigned char junk[] = {1, 2, 3};
    EXPECT_FALSE(popup.SetTitleIcon(junk, 3));
    EXPECT_FALSE(popup.SetTitleIcon(nullptr, 3));
}

TEST(BalloonPopup, LifeCycle)
{
    Window w;
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.target, L"short", 0, 50, true));
    popup.Show(true, -1, -1);
    PromptsPopupQt* label = LabelOf(w.target);
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(popup.IsDisplayed());
    EXPECT_EQ(label->DisplayTime(), 50);
    EXPECT_EQ(label->styleSheet(), QStringLiteral("QLabel{border-radius: 5px; margin: 10px; margin-top:25px;}"));
    EXPECT_TRUE(label->windowFlags() & Qt::ToolTip);
    EXPECT_TRUE(label->windowFlags() & Qt::FramelessWindowHint);

    // The timer closes it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popup.IsDisplayed(); }, 5000));
    EXPECT_FALSE(label->IsMarkedShown());

    // A second Show while it is up keeps its place and its timer: showing
    // it again and again does not keep it up.
    popup.Show(true, -1, -1);
    const QPoint place = label->pos();
    QElapsedTimer clock;
    clock.start();
    while (popup.IsDisplayed() && clock.elapsed() < 3000) {
        popup.Show(true, 5, 5);
        EXPECT_EQ(label->pos(), place);
        QTest::qWait(5);
    }
    EXPECT_FALSE(popup.IsDisplayed());

    // A key in the target hides it; it still counts as shown (no Close).
    ASSERT_TRUE(popup.Create(w.target, L"long", 0, -1, true));
    popup.Show(true, -1, -1);
    QTest::keyPress(w.target, Qt::Key_A);
    EXPECT_FALSE(popup.IsDisplayed());
    EXPECT_TRUE(label->IsMarkedShown());

    // Moving over the target outside the balloon-sized area hides it too.
    popup.Show(false, -1, -1);
    popup.Show(true, -1, -1);
    QMouseEvent inside(QEvent::MouseMove, QPointF(1, 1), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w.target, &inside);
    EXPECT_TRUE(popup.IsDisplayed());
    QMouseEvent outside(QEvent::MouseMove, QPointF(label->width() + 5, 1), Qt::NoButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w.target, &outside);
    EXPECT_FALSE(popup.IsDisplayed());

    // Without hide-on-activity a key leaves it, and window activity brings
    // back one that was hidden by other means while still marked shown.
    ASSERT_TRUE(popup.Create(w.target, L"stays", 0, -1, false));
    popup.Show(false, -1, -1);
    popup.Show(true, -1, -1);
    QTest::keyPress(w.target, Qt::Key_A);
    EXPECT_TRUE(popup.IsDisplayed());
    label->hide();
    QEvent update(QEvent::UpdateRequest);
    QApplication::sendEvent(&w.window, &update);
    EXPECT_TRUE(popup.IsDisplayed());

    // Deactivating the window closes it.
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&w.window, &deactivate);
    EXPECT_FALSE(popup.IsDisplayed());
    EXPECT_FALSE(label->IsMarkedShown());
}

TEST(BalloonPopup, RetargetingLetsTheOldWidgetGo)
{
    Window w;
    auto* other = new QWidget(&w.window);
    other->setGeometry(20, 80, 200, 30);
    other->show();
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.target, L"first", 0, -1, true));
    ASSERT_TRUE(popup.Create(other, L"second", 0, -1, true));
    QPointer<PromptsPopupQt> label = LabelOf(other);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->WatchedParent(), other);
    EXPECT_EQ(label->WatchedWindow(), &w.window);

    delete w.target.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(label.isNull());
    popup.Show(true, -1, -1);
    EXPECT_TRUE(popup.IsDisplayed());
    EXPECT_EQ(label->text(), QStringLiteral("second"));
}

TEST(BalloonPopup, AGoneParentMakesLaterCallsNoOps)
{
    Window w;
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(w.target, L"text", 0, -1, true));
    popup.Show(true, -1, -1);
    QPointer<PromptsPopupQt> label = LabelOf(w.target);
    ASSERT_FALSE(label.isNull());

    delete w.target.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(label.isNull());

    popup.Show(true, -1, -1);
    popup.Show(true, 10, 10);
    popup.Show(false, -1, -1);
    popup.SetTitle(L"t");
    popup.SetTitleIcon(BalloonTipCritical);
    popup.SetTitleIcon(L"/x.png");
    EXPECT_FALSE(popup.IsDisplayed());
    // Nothing left to show it with: a new target is refused.
    EXPECT_FALSE(popup.Create(&w.window, L"again", 0, -1, true));
    EXPECT_FALSE(popup.IsDisplayed());
}

TEST(BalloonPopup, AGoneWindowTakesTheLabelAlong)
{
    auto* window = new QWidget;
    auto* target = new QWidget(window);
    window->show();
    PromptsPopup popup;
    ASSERT_TRUE(popup.Create(target, L"text", 0, -1, false));
    popup.Show(true, -1, -1);
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    popup.Show(true, -1, -1);
    EXPECT_FALSE(popup.IsDisplayed());
}

TEST(BalloonPopup, PicturesOfTheFourForms)
{
    const QByteArray png = PngBytes(16, 16, QColor(43, 144, 255));
    auto shoot = [&](const QString& look) {
        Window w;
        struct Form {
            const char* name;
            bool title;
            bool icon;
        };
        const Form forms[] = {{"title_icon", true, true}, {"title", true, false}, {"text", false, false},
                              {"icon", false, true}};
        for (const Form& form : forms) {
            SCOPED_TRACE(form.name);
            PromptsPopup popup;
            ASSERT_TRUE(popup.Create(w.target, L"The value must lie\nbetween 0 and 100.", 0, -1, false));
            if (form.title)
                popup.SetTitle(L"Out of range");
            if (form.icon)
                popup.SetTitleIcon(BalloonTipWarning);
            popup.Show(true, -1, -1);
            PromptsPopupQt* label = LabelOf(w.target);
            ASSERT_NE(label, nullptr);
            const QString path =
                saveScreenshot(label, QStringLiteral("balloon_%1_%2").arg(QLatin1String(form.name), look));
            EXPECT_FALSE(path.isEmpty());
            const QImage balloon = label->grab().toImage();
            EXPECT_GT(PixelsAwayFrom(balloon, balloon.rect(), DominantColour(balloon)), 50);   // its text
            popup.Show(false, -1, -1);
        }
    };
    shoot(QStringLiteral("light"));
    DarkLook dark;
    shoot(QStringLiteral("dark"));
}
