// The manager's lists: selection, the current download, removal and the
// purge of deleted records from every list, relays and language name.
#include "QueryFixture.h"

#include <QSignalSpy>

class Manager : public QueryRun
{
protected:
    void SetUp() override
    {
        start(QStringLiteral("-updater -type \"Update List\" -version 11.2"));
        const QString reply = QStringLiteral(
            "<addons><m name=\"OCR_fr_fr\" version=\"1\" result=\"true\"/><m name=\"OCR_fr\" version=\"1\" result=\"true\"/>"
            "<m name=\"Stamp\" version=\"1\" result=\"true\" SilentInstall=\"true\"/>"
            "<m name=\"Spell\" version=\"1\" result=\"true\"/></addons>");
        manager->OnPaserModuleInfo(writeFile(QStringLiteral("reply.xml"), reply.toUtf8()));
        ASSERT_EQ(manager->CountAvailableModule(), 4);
    }
    MODULEINFO* at(int i) { return manager->GetAvailabletModule(i); }
};

TEST_F(Manager, SelectionByNameTable)
{
    struct Case { const char* name; int selectedIndex; };   // -1: nothing selected
    const Case cases[] = {
        {" OCR_fr ", 0},     // first available name containing the trimmed text
        {"OCR_fr", 0},
        {"Spell", 3},
        {"spell", -1},       // letter case counts
        {"", -1},            // an empty text selects nothing
        {"  \t ", -1},
        {"Nothing", -1},
    };
    for (const Case& c : cases) {
        CReaderModuleManager fresh(QStringLiteral("x"));
        const int before = manager->CountSelModules();
        manager->AddSelModule(QString::fromLatin1(c.name));
        if (c.selectedIndex < 0) {
            EXPECT_EQ(manager->CountSelModules(), before) << c.name;
        } else {
            ASSERT_EQ(manager->CountSelModules(), before + 1) << c.name;
            EXPECT_EQ(manager->GetSelModule(before), at(c.selectedIndex)) << c.name;
        }
    }
    EXPECT_EQ(manager->CountSelModules(), 3);   // " OCR_fr " and "OCR_fr" selected the same module twice
}

TEST_F(Manager, SelectionWalkAndCurrentDownload)
{
    manager->AddSelModule(at(2));
    manager->AddSelModule(at(0));
    manager->AddSelModule(at(2));
    EXPECT_EQ(manager->GetModuleSelIndex(at(0)), 1);
    EXPECT_EQ(manager->GetModuleSelIndex(at(3)), -1);
    EXPECT_EQ(manager->GetModuleSelIndex(nullptr), -1);
    EXPECT_EQ(manager->GetNextSelModule(nullptr), at(2));
    EXPECT_EQ(manager->GetNextSelModule(at(0)), at(2));
    EXPECT_EQ(manager->GetNextSelModule(at(3)), at(2));     // never selected: the first
    EXPECT_EQ(manager->GetSelModule(3), nullptr);
    EXPECT_EQ(manager->GetSelModule(-1), nullptr);

    manager->Slot_SetCurrentDownloadModule(QStringLiteral("Stamp"));
    EXPECT_EQ(manager->GetCurDownloadModule(), at(2));
    manager->Slot_SetCurrentDownloadModule(QStringLiteral("Unknown"));
    EXPECT_EQ(manager->GetCurDownloadModule(), at(2));
}

TEST_F(Manager, AvailableListQueries)
{
    EXPECT_EQ(manager->GetAvailabletModule(4), nullptr);
    EXPECT_EQ(manager->GetAvailabletModule(-1), nullptr);
    EXPECT_FALSE(manager->isSilentUpdate());
    manager->RemoveAvailableModule(4);                     // out of range: nothing
    EXPECT_EQ(manager->CountAvailableModule(), 4);

    MODULEINFO* clone = manager->CloneAvailableModuleInfo(at(2));
    EXPECT_EQ(manager->CountAvailableModule(), 5);
    EXPECT_EQ(clone->name, "Stamp");
    EXPECT_FALSE(clone->SilentInstall);                    // only the listed fields are copied
    EXPECT_EQ(manager->CloneAvailableModuleInfo(nullptr), nullptr);

    CReaderModuleManager empty(QStringLiteral("Update List"));
    EXPECT_FALSE(empty.isSilentUpdate());
    EXPECT_FALSE(manager->CheckVersionUpdate());
}

// Every way a record is deleted takes it off the selection and the current
// download first (the sanitizer build catches any later use).
TEST_F(Manager, DeletedRecordsLeaveEveryList)
{
    manager->AddSelModule(at(1));
    manager->AddSelModule(at(3));
    manager->AddSelModule(at(1));
    manager->SetCurDownloadModuleInfo(at(1));
    manager->RemoveAvailableModule(1);
    EXPECT_EQ(manager->CountAvailableModule(), 3);
    EXPECT_EQ(manager->CountSelModules(), 1);
    EXPECT_EQ(manager->GetSelModule(0)->name, "Spell");
    EXPECT_EQ(manager->GetCurDownloadModule(), nullptr);

    // The patch filter (it also runs after every parse).
    manager->OnPaserModuleInfo(writeFile(QStringLiteral("p.xml"), "<addons><m name=\"ReaderPatch\" version=\"1\" result=\"true\"/></addons>"));
    ASSERT_EQ(manager->CountAvailableModule(), 1);
    manager->AddSelModule(at(0));
    manager->SetCurDownloadModuleInfo(at(0));
    manager->CloneAvailableModuleInfo(at(0))->name = "Updater";
    manager->DeletePatchUpdate();
    EXPECT_EQ(availableNames(), QStringList({"Updater"}));
    EXPECT_EQ(manager->CountSelModules(), 0);
    EXPECT_EQ(manager->GetCurDownloadModule(), nullptr);

    // A new parse.
    manager->AddSelModule(at(0));
    manager->SetCurDownloadModuleInfo(at(0));
    manager->OnPaserModuleInfo(writeFile(QStringLiteral("q.xml"), "<addons/>"));
    EXPECT_EQ(manager->CountSelModules(), 0);
    EXPECT_EQ(manager->GetCurDownloadModule(), nullptr);
}

TEST_F(Manager, ListFiltersTable)
{
    struct Case { const char* reply; QStringList left; };
    const Case cases[] = {
        {"<m name=\"Updater\" module_type=\"updater\"/><m name=\"ReaderPatch\"/>", {"Updater"}},
        {"<m name=\"Patch\"/>", {"Patch"}},
        {"<m name=\"UpdaterPatch\"/>", {}},
        {"<m name=\"A\" update_mode=\"2\" isInternalService=\"true\"/><m name=\"B\" update_mode=\"1\" isInternalService=\"TRUE\"/>"
         "<m name=\"C\" update_mode=\"2\" isInternalService=\"TRUEly\"/>", {"A", "B"}},
    };
    for (const Case& c : cases) {
        QString reply = QString::fromLatin1(c.reply);
        reply.replace(QLatin1String("/>"), QLatin1String(" result=\"true\" version=\"99\"/>"));
        manager->OnPaserModuleInfo(writeFile(QStringLiteral("f.xml"), ("<addons>" + reply + "</addons>").toUtf8()));
        EXPECT_EQ(availableNames(), c.left) << c.reply;
    }
}

TEST_F(Manager, RelaysAndDownloadWithoutWindow)
{
    QSignalSpy download(manager.get(), &CReaderModuleManager::sSendDownloadProgress);
    QSignalSpy install(manager.get(), &CReaderModuleManager::sSendInstallProgress);
    QSignalSpy pkg(manager.get(), &CReaderModuleManager::sSendInstallPkg);
    manager->getDownProgress(QStringLiteral("Stamp"), 42.5);
    manager->setInstallProgress(QStringLiteral("Stamp"), 20);
    manager->startInstall(QStringLiteral("Stamp"));
    ASSERT_EQ(download.count(), 1);
    EXPECT_EQ(download.at(0).at(1).toDouble(), 42.5);
    ASSERT_EQ(install.count(), 1);
    EXPECT_EQ(install.at(0).at(1).toInt(), 20);
    EXPECT_EQ(pkg.count(), 1);

    manager->Download(nullptr);
    EXPECT_EQ(install.count(), 1);
    if (!manager->GetDownloadWindow()) {
        // No window to download with: each selected module ends as failed.
        manager->AddSelModule(at(0));
        manager->AddSelModule(at(3));
        manager->Download(at(3));
        ASSERT_EQ(install.count(), 3);
        EXPECT_EQ(install.at(1).at(0).toString(), QStringLiteral("OCR_fr_fr"));
        EXPECT_EQ(install.at(2).at(1).toInt(), -1);
    }
    EXPECT_TRUE(manager->QueryStopDownload());
    EXPECT_FALSE(manager->CanExitThred());
}

TEST_F(Manager, LocalLanguageName)
{
    struct Case { int language; const char* name; };
    for (const Case& c : {Case{31, "en-US"}, Case{42, "de-DE"}, Case{111, "es-419"}, Case{7, "en-US"}}) {
        manager->setLangParm(c.language, 0);
        EXPECT_EQ(manager->GetLocalLangName(), QLatin1String(c.name)) << c.language;
    }
}
