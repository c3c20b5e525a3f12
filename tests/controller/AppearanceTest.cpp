// The appearance observer's portable stand-in.
#include "Appearance.h"
#include "IsolatedEnv.h"

#include <QCoreApplication>
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
