// The appearance observer's portable stand-in.
#include "Appearance.h"
#include "IsolatedEnv.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPalette>
#include <QProcess>
#include <QSignalSpy>
#include <QThread>
#include <memory>
#include <gtest/gtest.h>

TEST(Appearance, DarkOnlyForDarkInAnyLetterCase)
{
    IsolatedEnv env;
    const struct {
        const char* value;
        bool dark;
    } cases[] = {{"", false}, {"Dark", true}, {"dark", true}, {"DARK", true}, {"Light", false}, {"darker", false}};
    CAppearanceObserver observer;
    for (const auto& c : cases) {
        env.set("UPDATER_APPEARANCE", c.value);
        EXPECT_EQ(observer.isDarkMode(), c.dark) << c.value;
    }
}

TEST(Appearance, ChangeReachesEveryLiveObserverWithTheCurrentAnswer)
{
    IsolatedEnv env;
    const int before = Appearance::registeredMonitorCount();
    CAppearanceObserver first;
    auto second = std::make_unique<CAppearanceObserver>();
    QSignalSpy firstSpy(&first, &CAppearanceObserver::signal_appearanceChanged);
    QSignalSpy secondSpy(second.get(), &CAppearanceObserver::signal_appearanceChanged);
    EXPECT_EQ(Appearance::registeredMonitorCount(), before + 2);

    env.set("UPDATER_APPEARANCE", "Dark");
    Appearance::postAppearanceChangedNotification();
    ASSERT_EQ(firstSpy.size(), 1);
    EXPECT_TRUE(firstSpy.at(0).at(0).toBool());
    EXPECT_EQ(secondSpy.size(), 1);

    // A destroyed observer is no longer registered and hears nothing.
    second.reset();
    EXPECT_EQ(Appearance::registeredMonitorCount(), before + 1);
    env.set("UPDATER_APPEARANCE", QByteArray());
    Appearance::postAppearanceChangedNotification();
    ASSERT_EQ(firstSpy.size(), 2);
    EXPECT_FALSE(firstSpy.at(1).at(0).toBool());
}

TEST(Appearance, ObserverDestroyedByAnotherObserversSlotIsSkipped)
{
    IsolatedEnv env;
    // A dialog that closes on the change takes its observer with it.
    auto* a = new CAppearanceObserver;
    auto* b = new CAppearanceObserver;
    int delivered = 0;
    auto destroyOther = [&](CAppearanceObserver*& other) {
        ++delivered;
        delete other;
        other = nullptr;
    };
    QObject::connect(a, &CAppearanceObserver::signal_appearanceChanged, [&] {
        if (b)
            destroyOther(b);
    });
    QObject::connect(b, &CAppearanceObserver::signal_appearanceChanged, [&] {
        if (a)
            destroyOther(a);
    });
    Appearance::postAppearanceChangedNotification();
    EXPECT_EQ(delivered, 1);
    delete a;
    delete b;
}

TEST(Appearance, ChangeFromAnotherThreadArrivesOnTheGuiThread)
{
    IsolatedEnv env;
    CAppearanceObserver observer;
    QThread* seenOn = nullptr;
    QObject::connect(&observer, &CAppearanceObserver::signal_appearanceChanged,
                     [&] { seenOn = QThread::currentThread(); });
    std::unique_ptr<QThread> worker(QThread::create([] { Appearance::postAppearanceChangedNotification(); }));
    worker->start();
    worker->wait();
    EXPECT_EQ(seenOn, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(seenOn, QCoreApplication::instance()->thread());
}

// The process's own start: the application object is made with whatever
// appearance the environment had, and no window or observer exists yet.
TEST(Appearance, ApplicationStartsInTheSystemAppearance)
{
    const bool darkAtStart = qEnvironmentVariable("UPDATER_APPEARANCE").compare(QLatin1String("dark"),
                                                                                Qt::CaseInsensitive) == 0;
    EXPECT_EQ(QApplication::palette().color(QPalette::Window).lightness() < 100, darkAtStart);
}

TEST(Appearance, DarkRunIsDarkBeforeItsFirstWindow)
{
    if (qEnvironmentVariableIsSet("UPDATER_APPEARANCE_CHILD"))
        GTEST_SKIP() << "already the child run";
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("UPDATER_APPEARANCE"), QStringLiteral("dark"));
    environment.insert(QStringLiteral("UPDATER_APPEARANCE_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=Appearance.ApplicationStartsInTheSystemAppearance")});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QByteArray output = child.readAllStandardOutput();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}
