// Pictures of the check dialog and of the update list (light and dark, both
// groups offered, one OCR pack checked so its groups show "partly") for people
// to look at: <build>/screenshots/.
#include "Appearance.h"
#include "CheckTestSupport.h"
#include "DlgUpdateChecking.h"
#include "DlgUpdatesTree.h"
#include "Screenshot.h"

#include <QFileInfo>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

class Screenshots : public CheckRun {};

TEST_F(Screenshots, CheckDialogAndUpdateList)
{
    start(QStringLiteral("Update List"));
    DlgUpdateChecking check(QStringLiteral("Update List"), nullptr);
    check.show();
    QTest::qWait(50);
    const QString checkShot = saveScreenshot(&check, QStringLiteral("check-dialog"));
    EXPECT_GT(QFileInfo(checkShot).size(), 0);

    managerFromReply(fixture(QStringLiteral("reply_offers.xml")));
    DlgUpdatesTree list(manager, app.get(), nullptr);
    list.show();
    EXPECT_EQ(list.size(), QSize(650, 571));
    QStandardItem* french = list.model()->findItems(QStringLiteral("French OCR"), Qt::MatchExactly | Qt::MatchRecursive).value(0);
    ASSERT_TRUE(french);
    french->setCheckState(Qt::Checked);
    auto* view = list.findChild<QTreeView*>(QStringLiteral("treeView_4"));
    view->setCurrentIndex(french->index());
    QMetaObject::invokeMethod(view, "clicked", Q_ARG(QModelIndex, french->index()));
    ASSERT_EQ(french->parent()->checkState(), Qt::PartiallyChecked);
    QTest::qWait(50);
    EXPECT_EQ(list.styleSheet(), QStringLiteral("color:rgb(26,26,26);"));
    EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-light"))).size(), 0);

    // The system switches to dark while the list is open.
    env.set("UPDATER_APPEARANCE", "dark");
    Appearance::postAppearanceChangedNotification();
    QTRY_COMPARE_WITH_TIMEOUT(list.styleSheet(), QStringLiteral("color:rgb(222,222,222);"), 5000);
    EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-dark"))).size(), 0);

    env.set("UPDATER_APPEARANCE", "");
    Appearance::postAppearanceChangedNotification();
    QTRY_COMPARE_WITH_TIMEOUT(list.styleSheet(), QStringLiteral("color:rgb(26,26,26);"), 5000);
}

TEST_F(Screenshots, AutomaticCheckListWithRemindLater)
{
    start(QStringLiteral("Auto Updater"));
    managerFromReply(fixture(QStringLiteral("reply_offers.xml")));
    DlgUpdatesTree list(manager, app.get(), nullptr);
    list.show();
    QTest::qWait(50);
    EXPECT_GT(QFileInfo(saveScreenshot(&list, QStringLiteral("update-list-auto"))).size(), 0);
}
