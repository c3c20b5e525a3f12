// Comma and period keys under the locale the process started with. The input
// method takes its locale from the environment once, so each locale is its
// own process: the ctest entry sets LANG, and this main keeps LC_ALL and
// LC_NUMERIC from overriding it.
#include "Event.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QLocale>
#include <gtest/gtest.h>

#include <string>

using AUILib::SysKeyToAUIKey;

TEST(StartLocale, CommaAndPeriod)
{
    struct LocaleCase {
        const char* lang;
        const char* localeName;
        int comma;
        int period;
    };
    const LocaleCase cases[] = {
        {"de_DE.UTF-8", "de_DE", 91, 149},  // decimal comma
        {"en_US.UTF-8", "en_US", 147, 91},  // decimal point
    };
    const std::string lang = qgetenv("LANG").toStdString();
    const LocaleCase* chosen = nullptr;
    for (const LocaleCase& c : cases)
        if (lang == c.lang)
            chosen = &c;
    ASSERT_NE(chosen, nullptr) << "no expectation for LANG=" << lang;

    ASSERT_EQ(QGuiApplication::inputMethod()->locale().name().toStdString(), chosen->localeName);
    EXPECT_EQ(SysKeyToAUIKey(Qt::Key_Comma), chosen->comma);
    EXPECT_EQ(SysKeyToAUIKey(Qt::Key_Period), chosen->period);
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("LC_ALL");
    qunsetenv("LC_NUMERIC");
    // The offscreen platform has no input context of its own, and without one
    // the input method reports the C locale; the compose context reports the
    // system locale, as a desktop session's input method does.
    if (qEnvironmentVariableIsEmpty("QT_IM_MODULE"))
        qputenv("QT_IM_MODULE", "compose");
    ::testing::InitGoogleTest(&argc, argv);
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
