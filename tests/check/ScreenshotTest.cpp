// Pictures of the check dialog and of the update list for people to look at
// (<build>/screenshots/), light and dark, with the agent's own look: the
// sizes the dialogs are laid out for, nothing sticking out, dark from the
// first window on, and a disabled button that reads as disabled.
#include "Appearance.h"
#include "CheckTestSupport.h"
#include "DlgUpdateChecking.h"
#include "DlgUpdatesTree.h"
#include "Screenshot.h"
#include "WidgetLooks.h"

#include <QFileInfo>
#include <QPalette>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

namespace {

const struct AppearanceCase {
    const char* name;
    const char* variable;
} kAppearances[] = {{"light", ""}, {"dark", "dark"}};

bool looksDark(const QWidget& w)
{
    return w.palette().color(QPalette::Window).lightness() < 100;
}

} // namespace

class Screenshots : public CheckRun
{
protected:
    // What the agent does at start-up in the given appearance.
    void startIn(const AppearanceCase& a)
    {
        env.set("UPDATER_APPEARANCE", a.variable);
        Appearance::applySystemAppearance();
    }
    ~Screenshots() override
    {
        env.set("UPDATER_APPEARANCE", "");
        Appearance::applySystemAppearance();
    }
    AgentLook look;
};

TEST_F(Screenshots, CheckDialogKeepsItsSizeAndIsDarkFromTheStart)
{
    start(QStringLiteral("Update List"));
    for (const AppearanceCase& a : kAppearances) {
        SCOPED_TRACE(a.name);
        startIn(a);
        DlgUpdateChecking check(QStringLiteral("Update List"), nullptr);
        check.show();
        QTest::qWait(50);
        // 400 wide; as tall as 91 or, where this platform's label and
        // progress bar need more, as its contents need with 32-pixel buttons.
        EXPECT_EQ(check.width(), 400);
        EXPECT_EQ(check.height(), std::max(91, check.minimumSizeHint().height()));
        EXPECT_LE(check.height(), 110);
        EXPECT_EQ(check.findChild<QPushButton*>(QStringLiteral("cancelButton"))->height(), 32);
        EXPECT_EQ(childrenOutside(&check), QStringList());
        EXPECT_EQ(looksDark(check), QLatin1String(a.variable) == QLatin1String("dark"));
        EXPECT_GT(QFileInfo(saveScreenshot(&check, QStringLiteral("check-dialog-%1").arg(a.name))).size(), 0);
    }
}

TEST_F(Screenshots, UpdateListWithADisabledButtonLightAndDark)
{
    start(QStringLiteral("Update List"));
    for (const AppearanceCase& a : kAppearances) {
        SCOPED_TRACE(a.name);
        startIn(a);
        managerFromReply(fixture(QStringLiteral("reply_offers.xml")));
        DlgUpdatesTree list(manager, app.get(), nullptr);
        list.show();
        QTest::qWait(50);
        EXPECT_EQ(list.size(), QSize(650, 571));
        EXPECT_EQ(childrenOutside(&list), QStringList());
        EXPECT_EQ(looksDark(list), QLatin1String(a.variable) == QLatin1String("dark"));

        // Nothing chosen: "Download and Install" is disabled and must look it
        // beside the enabled "Close".
        auto* download = list.findChild<QPushButton*>(QStringLiteral("button_download"));
        auto* close = list.findChild<QPushButton*>(QStringLiteral("button_cancel"));
        ASSERT_FALSE(download->isEnabled());
        ASSERT_TRUE(close->isEnabled());
        EXPECT_EQ(download->height(), 32);
        const int disabledContrast = textContrast(download);
        const int enabledContrast = textContrast(close);
        EXPECT_LT(disabledContrast + 60, enabledContrast) << disabledContrast << " " << enabledContrast;
        EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-disabled-%1").arg(a.name))).size(), 0);

        // One OCR pack chosen: its groups show "partly", the button is enabled.
        QStandardItem* french = list.model()->findItems(QStringLiteral("French OCR"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
        ASSERT_TRUE(french);
        auto* view = list.findChild<QTreeView*>(QStringLiteral("treeView_4"));
        view->setCurrentIndex(french->index());
        QTest::keyClick(view, Qt::Key_Space);
        ASSERT_EQ(french->parent()->checkState(), Qt::PartiallyChecked);
        ASSERT_TRUE(download->isEnabled());
        EXPECT_LT(disabledContrast + 60, textContrast(download));
        EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-%1").arg(a.name))).size(), 0);
        delete manager.data();
    }
}

TEST_F(Screenshots, ListFollowsTheSystemWhileOpen)
{
    start(QStringLiteral("Update List"));
    startIn(kAppearances[0]);
    managerFromReply(fixture(QStringLiteral("reply_offers.xml")));
    DlgUpdatesTree list(manager, app.get(), nullptr);
    list.show();
    const auto textColour = [&] { return list.findChild<QPushButton*>(QStringLiteral("button_cancel"))->palette().color(QPalette::ButtonText); };
    EXPECT_EQ(textColour(), QColor(26, 26, 26));

    env.set("UPDATER_APPEARANCE", "dark");
    Appearance::postAppearanceChangedNotification();
    QTRY_COMPARE_WITH_TIMEOUT(textColour(), QColor(222, 222, 222), 5000);
    EXPECT_TRUE(looksDark(list));

    env.set("UPDATER_APPEARANCE", "");
    Appearance::postAppearanceChangedNotification();
    QTRY_COMPARE_WITH_TIMEOUT(textColour(), QColor(26, 26, 26), 5000);
    EXPECT_FALSE(looksDark(list));
}

TEST_F(Screenshots, AutomaticCheckListWithRemindLater)
{
    start(QStringLiteral("Auto Updater"));
    managerFromReply(fixture(QStringLiteral("reply_offers.xml")));
    DlgUpdatesTree list(manager, app.get(), nullptr);
    list.show();
    QTest::qWait(50);
    EXPECT_EQ(childrenOutside(&list), QStringList());
    EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-auto"))).size(), 0);
}
