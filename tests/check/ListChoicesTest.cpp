// The update list's choices: remind-later intervals, "Never remind me", the
// skip values, and the list filters of the automatic road.
#include "CheckTestSupport.h"
#include "CRegister.h"
#include "DlgUpdatesTree.h"
#include "ModalAnswerer.h"

#include <QComboBox>
#include <QDateTime>
#include <QPushButton>
#include <QTemporaryFile>

namespace {

const QString kUpdaterKey = QStringLiteral("Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");
const QString kCurrentUserKey = QStringLiteral("HKEY_CURRENT_USER\\") + kUpdaterKey;

QStringList comboItems(const QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// What choosing an entry of the combo box does (the box emits the text).
void choose(QComboBox* combo, const QString& text)
{
    combo->setCurrentIndex(combo->findText(text));
    QMetaObject::invokeMethod(combo, "activated", Q_ARG(QString, text));
}

} // namespace

class ListChoices : public CheckRun
{
protected:
    std::unique_ptr<DlgUpdatesTree> open(const QString& type, const QByteArray& reply)
    {
        start(type);
        managerFromReply(reply);
        auto list = std::make_unique<DlgUpdatesTree>(manager, app.get(), nullptr);
        list->show();
        return list;
    }
    static QComboBox* combo(DlgUpdatesTree& list)
    {
        return list.findChild<QComboBox*>(QStringLiteral("combo_remind"));
    }
    QStringList availableNames() const
    {
        QStringList names;
        for (int i = 0; i < manager->CountAvailableModule(); ++i)
            names << QString::fromStdString(manager->GetAvailabletModule(i)->name);
        return names;
    }
};

TEST_F(ListChoices, RemindLaterOnlyForTheAutomaticCheck)
{
    auto list = open(QStringLiteral("Update List"), fixture(QStringLiteral("reply_offers.xml")));
    EXPECT_TRUE(combo(*list)->isHidden());
    EXPECT_TRUE(list->findChild<QPushButton*>(QStringLiteral("btn_skip"))->isHidden());
    list.reset();
    delete manager.data();

    list = open(QStringLiteral("Auto Updater"), fixture(QStringLiteral("reply_offers.xml")));
    EXPECT_FALSE(combo(*list)->isHidden());
    EXPECT_EQ(comboItems(combo(*list)), QStringList({"Remind Me Later", "After one hour", "After six hours",
                                                     "After one day", "Never remind me"}));
    EXPECT_TRUE(list->findChild<QPushButton*>(QStringLiteral("btn_skip"))->isHidden());
}

TEST_F(ListChoices, RemindIntervalsStoreTheNextReminder)
{
    struct Case { const char* text; qint64 seconds; };
    const Case cases[] = {
        {"After one hour", 3600},
        {"After six hours", 21600},
        {"After one day", 86400},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        IsolatedEnv world;
        auto list = open(QStringLiteral("Auto Updater"), fixture(QStringLiteral("reply_offers.xml")));
        const QDateTime before = QDateTime::currentDateTime();
        choose(combo(*list), QLatin1String(c.text));
        const QDateTime after = QDateTime::currentDateTime();

        const QString stored = CRegister::regGetString(kCurrentUserKey, QStringLiteral("LastDay"));
        const QDateTime next = QDateTime::fromString(stored, Qt::TextDate);
        ASSERT_TRUE(next.isValid()) << stored.toStdString();
        // The text keeps whole seconds.
        const QDateTime earliest = before.addMSecs(-before.time().msec()).addSecs(c.seconds);
        EXPECT_LE(earliest, next) << stored.toStdString();
        EXPECT_LE(next, after.addSecs(c.seconds)) << stored.toStdString();
        EXPECT_TRUE(list->bHandled);
        EXPECT_FALSE(list->isVisible());
        // Only the full HKEY_CURRENT_USER path holds it.
        EXPECT_TRUE(CRegister::regGetString(kUpdaterKey, QStringLiteral("LastDay")).isEmpty());
        list.reset();
        delete manager.data();
    }
}

TEST_F(ListChoices, RemindMeLaterKeepsTheListOpen)
{
    auto list = open(QStringLiteral("Auto Updater"), fixture(QStringLiteral("reply_offers.xml")));
    choose(combo(*list), QStringLiteral("Remind Me Later"));
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->bHandled);
    EXPECT_TRUE(CRegister::regGetString(kCurrentUserKey, QStringLiteral("LastDay")).isEmpty());
}

TEST_F(ListChoices, NeverRemindMeAnsweredNoThenYes)
{
    auto list = open(QStringLiteral("Auto Updater"), fixture(QStringLiteral("reply_offers.xml")));
    const QStringList offered = availableNames();
    ASSERT_GE(offered.size(), 3);
    ModalAnswerer answerer;
    answerer.clickButton(QStringLiteral("No"), QStringLiteral("QMessageBox"));
    answerer.clickButton(QStringLiteral("Yes"), QStringLiteral("QMessageBox"));

    choose(combo(*list), QStringLiteral("Never remind me"));
    EXPECT_EQ(combo(*list)->currentIndex(), 0);
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(list->bHandled);
    for (const QString& name : offered)
        EXPECT_TRUE(CRegister::regGetString(QStringLiteral("AutoUpdate_") + name, QString()).isEmpty()) << name.toStdString();
    ASSERT_EQ(answerer.seen().size(), 1);
    EXPECT_TRUE(answerer.seen().at(0).texts.contains(
        QStringLiteral("Are you sure you want to cancel the installation? If you don't install it, the system "
                       "will skip this update until the next new version is detected.")));

    // Nothing is checked: every offered module is declined all the same.
    choose(combo(*list), QStringLiteral("Never remind me"));
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(list->bHandled);
    EXPECT_EQ(list->declinedModules().size(), offered.size());
    for (int i = 0; i < manager->CountAvailableModule(); ++i) {
        const MODULEINFO* module = manager->GetAvailabletModule(i);
        EXPECT_EQ(CRegister::regGetString(QStringLiteral("AutoUpdate_") + QString::fromStdString(module->name), QString()),
                  QString::fromStdString(module->version));
        // The manager's own reading of the records recognises the decline.
        EXPECT_TRUE(manager->ParseRejectAutoUpdateInfo(module->name, module->version)) << module->name;
    }
    EXPECT_EQ(CRegister::regGetString(QStringLiteral("currentVersion"), QString()), QStringLiteral("11.0.0.0"));
}

TEST_F(ListChoices, SkipRecordsTheMajorUpgradeUnderTheShortKey)
{
    auto list = open(QStringLiteral("Auto Updater"), fixture(QStringLiteral("reply_offers.xml")));
    QMetaObject::invokeMethod(list.get(), "OnSkip");   // no run shows the button
    EXPECT_TRUE(list->bHandled);
    EXPECT_TRUE(CRegister::regGetString(kUpdaterKey, QStringLiteral("UpdateRejectVersion")).isEmpty());
    list.reset();
    delete manager.data();

    list = open(QStringLiteral("Auto Updater"), fixture(QStringLiteral("reply_offers.xml")));
    for (int i = 0; i < manager->CountAvailableModule(); ++i) {
        if (manager->GetAvailabletModule(i)->module_type == "updater")
            manager->GetAvailabletModule(i)->bMajorUpgrade = true;
    }
    QMetaObject::invokeMethod(list.get(), "OnSkip");
    EXPECT_EQ(CRegister::regGetString(kUpdaterKey, QStringLiteral("UpdateRejectVersion")), QStringLiteral("11.1.0.0"));
    EXPECT_EQ(CRegister::regGetDword(kUpdaterKey, QStringLiteral("MajorUpdateChecked")), 3u);
    EXPECT_TRUE(CRegister::regGetString(kCurrentUserKey, QStringLiteral("UpdateRejectVersion")).isEmpty());
    EXPECT_TRUE(CRegister::settingsName(kUpdaterKey, QStringLiteral("UpdateRejectVersion")).startsWith(QLatin1String("Software/")));
    EXPECT_TRUE(CRegister::settingsName(kCurrentUserKey, QStringLiteral("LastDay")).startsWith(QLatin1String("HKEY_CURRENT_USER/")));
}

TEST_F(ListChoices, FilterUpgradeKeepsTheHighestMajor)
{
    auto list = open(QStringLiteral("Update List"),
                     "<addons><addon name=\"R11\" version=\"11.5.0.0\" result=\"true\" module_type=\"updater\"/>"
                     "<addon name=\"R12\" version=\"12.0.0.0\" result=\"true\" module_type=\"updater\"/>"
                     "<addon name=\"Extra\" title=\"Extra\" version=\"1.0\" result=\"true\" module_type=\"basic\"/></addons>");
    ASSERT_EQ(availableNames(), QStringList({"R11", "R12", "Extra"}));
    for (int i = 0; i < manager->CountAvailableModule(); ++i)
        manager->GetAvailabletModule(i)->bMajorUpgrade = false;
    list->FilterUpgrade();
    EXPECT_EQ(availableNames(), QStringList({"R12", "Extra"}));
}

TEST_F(ListChoices, ChinaAutoFilterKeepsReaderUpdatesAndWantedAddOns)
{
    auto list = open(QStringLiteral("Update List"),
                     "<addons>"
                     "<addon name=\"ReaderUpdate\" version=\"11.1.0.0\" result=\"true\" module_type=\"updater\" SilentInstall=\"true\"/>"
                     "<addon name=\"Stamp\" title=\"Stamps\" version=\"2.0\" result=\"true\" module_type=\"basic\"/>"
                     "<addon name=\"Unknown\" title=\"Unknown\" version=\"1.0\" result=\"true\" module_type=\"basic\"/>"
                     "<addon name=\"Cloudy\" title=\"Cloudy\" version=\"1.0\" result=\"true\" module_type=\"basic\" isInternalService=\"TRUE\"/>"
                     "<addon name=\"Zoom\" title=\"Zoom\" version=\"1.0\" result=\"true\" module_type=\"basic\" SilentInstall=\"true\"/>"
                     "</addons>");
    ASSERT_EQ(availableNames(), QStringList({"ReaderUpdate", "Stamp", "Unknown", "Cloudy", "Zoom"}));
    list->CheckZhAutoAvailableModule();
    EXPECT_EQ(availableNames(), QStringList({"ReaderUpdate", "Stamp", "Cloudy"}));
}

TEST_F(ListChoices, ModuleNeedsUpdateWhenItsFirstPathExists)
{
    auto list = open(QStringLiteral("Update List"), "<addons/>");
    QTemporaryFile present;
    ASSERT_TRUE(present.open());
    _UpdaterInfo noPaths{"A", "1", {}};
    _UpdaterInfo existing{"B", "1", {present.fileName(), QStringLiteral("/nonexistent/x")}};
    _UpdaterInfo missing{"C", "1", {QStringLiteral("/nonexistent/y"), present.fileName()}};
    QVector<_UpdaterInfo*> infos{&noPaths, &existing, &missing};
    QVector<_UpdaterInfo*> none;
    EXPECT_FALSE(list->IsModuleNeedUpdate(none, "A"));
    EXPECT_FALSE(list->IsModuleNeedUpdate(infos, "D"));
    EXPECT_TRUE(list->IsModuleNeedUpdate(infos, "A"));
    EXPECT_TRUE(list->IsModuleNeedUpdate(infos, "B"));
    EXPECT_FALSE(list->IsModuleNeedUpdate(infos, "C"));
}
