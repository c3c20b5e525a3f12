// The download window's own parts: its form, the package path and expected
// size of a module, and the reading of "Setup.xml".
#include "InstallFixture.h"

#include "Screenshot.h"

#include <QLabel>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextEdit>

class Window : public InstallRun
{
};

TEST_F(Window, FormStartsHiddenAndShowsProgress)
{
    DlgDownload window;
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Velto Updater"));
    EXPECT_EQ(window.size(), QSize(604, 222));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    auto* edit = window.findChild<QTextEdit*>(QStringLiteral("descriptionEdit"));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    edit->setText(QStringLiteral("Stamps 2.0: new stamp shapes and faster placement."));

    QSignalSpy progress(&window, &DlgDownload::SignalCurrentProgress);
    window.updateProgress(0, 0);                       // nothing known yet: no division by zero
    window.updateProgress(3 * 1024 * 1024, 8 * 1024 * 1024);
    ASSERT_EQ(progress.size(), 2);
    EXPECT_DOUBLE_EQ(progress.at(1).at(1).toDouble(), 37.5);
    EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 37);
    EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("timeRemainLabel"))
                    ->text()
                    .endsWith(QStringLiteral("seconds ( 3.00/8.00 MB)")));

    EXPECT_FALSE(saveScreenshot(&window, QStringLiteral("DlgDownload")).isEmpty());
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Window, EmptySelectionStartsNothing)
{
    DlgDownload window;
    QSignalSpy current(&window, &DlgDownload::SignalSetCurrentDownloadModule);
    window.startShowDownload();
    EXPECT_EQ(current.size(), 0);
    EXPECT_EQ(window.currentDownloader(), nullptr);
}

TEST_F(Window, PackagePathAndExpectedSize)
{
    struct Case { const char* url; const char* size; const char* file; qint64 expected; };
    const Case cases[] = {
        {"https://cdn.example/pkg/pkg.kzip?sig=abc", "1024", "pkg.kzip", 1024},
        {"https://cdn.example/a/b/Stamp.kzip", "2048B", "Stamp.kzip", 2048},
        {"https://cdn.example/kzip/Pack.kzipkzip", "12 B", "Pack.kzip", 12},
        {"https://cdn.example/js/JSStamp.js", "5000000000B", "JSStamp.js", 5000000000LL},   // 64-bit sizes
        {"/internal/path/Spell.kzip", "unknown", "Spell.kzip", 0},
        {"https://cdn.example/pkg/", "", "", 0},
    };
    for (const Case& c : cases) {
        MODULEINFO m;
        m.url = c.url;
        m.size = c.size;
        EXPECT_EQ(DlgDownload::packagePathFor(m),
                  env.agentDataRoot() + QStringLiteral("updater/") + QLatin1String(c.file)) << c.url;
        EXPECT_EQ(DlgDownload::expectedSizeOf(m), c.expected) << c.size;
    }
}

TEST_F(Window, SetupXmlEntries)
{
    const QString folder = unpackFolder(QStringLiteral("setup"));
    writeFile(folder + QStringLiteral("/Setup.xml"),
              "<?xml version=\"1.0\"?>\n<setup>text\n"
              "  <file name=\"A.pkg\" parameter=\"-q\" iscommon=\"TRUE\"/>\n"
              "  <FILE name=\"Upper.pkg\"/>\n"
              "  <x:file xmlns:x=\"urn:x\" name=\"sub/B.pkg\" iscommon=\"True\"/>\n"
              "  <other name=\"C.pkg\"/>\n"
              "  <file name=\"D.pkg\" iscommon=\"yes\" Name=\"ignored.pkg\"/>\n"
              "  <file name=\"..\\evil.pkg\"/>\n"
              "</setup>\n");
    DlgDownload window;
    QVector<_SetupInfo*> list;
    int refused = -1;
    window.ParseSetupInfo(folder, list, &refused);   // without a trailing "/"
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list[0]->name, folder + QStringLiteral("/A.pkg"));
    EXPECT_EQ(list[0]->parameter, QStringLiteral("-q"));
    EXPECT_TRUE(list[0]->iscommon);
    EXPECT_EQ(list[1]->name, folder + QStringLiteral("/sub/B.pkg"));
    EXPECT_TRUE(list[1]->iscommon);
    EXPECT_EQ(list[2]->name, folder + QStringLiteral("/D.pkg"));
    EXPECT_FALSE(list[2]->iscommon);
    EXPECT_EQ(refused, 1);
    qDeleteAll(list);

    QVector<_SetupInfo*> none;
    window.ParseSetupInfo(QString(), none);
    EXPECT_TRUE(none.isEmpty());
    const QString missing = unpackFolder(QStringLiteral("x")) + QStringLiteral("/new");
    window.ParseSetupInfo(missing, none);
    EXPECT_TRUE(none.isEmpty());
    EXPECT_TRUE(QDir(missing).exists());   // made (one level) on the way
}

TEST_F(Window, ReaderCountsAsRunningOnlyByTheEndOfItsCommandLine)
{
    // The probe looks at every process on the machine: a name of this test
    // process's own keeps a stand-in reader of a test running beside it (or
    // a reader that is really open) from answering for ours.
    const QString name = QStringLiteral("Velto PDF Reader %1").arg(QCoreApplication::applicationPid());
    struct Case
    {
        const char* what;
        QString command;   // run by bash; it becomes the process named `name`
        bool running;
    };
    const Case cases[] = {
        {"started with an argument", QStringLiteral("exec -a '%1' sleep 30").arg(name), false},
        {"nothing after its name", QStringLiteral("exec -a '%1' cat").arg(name), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QProcess named;
        named.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), c.command});
        ASSERT_TRUE(named.waitForStarted(5000));
        QTest::qWait(100);   // until bash has become the named process
        QList<qulonglong> ids;
        const bool running = CheckMacProcessRunning(name, ids);
        named.kill();
        named.waitForFinished(5000);
        EXPECT_EQ(running, c.running);
    }
}
