// The language a process starts with, from its environment. One process per
// environment (each its own ctest entry); the expected values come with it.
#include "AUILibConfig.h"
#include "I18N.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <string>

namespace {

std::wstring Expected(const char* variable)
{
    const QByteArray value = qgetenv(variable);
    return std::wstring(value.begin(), value.end());
}

} // namespace

TEST(StartLocale, TheLanguageComesFromTheEnvironment)
{
    ASSERT_FALSE(qEnvironmentVariableIsEmpty("EXPECTED_LANGUAGE"));
    EXPECT_EQ(I18N::GetInstance()->GetLocaleName(), Expected("EXPECTED_LOCALE_NAME"));
    EXPECT_EQ(I18N::GetInstance()->GetLanguage(), Expected("EXPECTED_LANGUAGE"));
    EXPECT_EQ(AUILib::GetCurrentLanguage(), Expected("EXPECTED_LANGUAGE"));
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
