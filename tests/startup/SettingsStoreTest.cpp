#include "CRegister.h"
#include "IsolatedEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>
#include "ReaderSettings.h"

namespace {

const QString kUpdaterKey =
    QStringLiteral("HKEY_CURRENT_USER\\Software\\Velto Software\\Velto PDF Reader\\plugins\\Updater");

// The value as the reader would find it in the chosen layout.
QVariant stored(bool continuous, const QString& name)
{
    std::unique_ptr<QSettings> s(readerSettings());
    if (continuous)
        return s->value(name);
    EXPECT_FALSE(s->contains(name)) << "Classic layout leaks a top-level " << name.toStdString();
    return s->value(QStringLiteral("Classic")).toMap().value(name);
}

class SettingsLayout : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override { setReaderLayout(GetParam()); }
    IsolatedEnv env;
};

} // namespace

TEST_P(SettingsLayout, WritesReadAndReplaceUnderTheSettingsName)
{
    const bool continuous = GetParam();
    EXPECT_EQ(CheckIsContinue(), continuous);
    ASSERT_TRUE(CRegister::regSetString(kUpdaterKey, QStringLiteral("LastDay"), QStringLiteral("1700000000")));
    ASSERT_TRUE(CRegister::regSetDword(QStringLiteral("HKEY_CURRENT_USER\\Other"), QStringLiteral("Count"), 7));
    ASSERT_TRUE(CRegister::regSetString(kUpdaterKey, QStringLiteral("LastDay"), QStringLiteral("1800000000")));

    EXPECT_EQ(stored(continuous, kLastDayName).toString(), QStringLiteral("1800000000"));
    EXPECT_EQ(stored(continuous, QStringLiteral("HKEY_CURRENT_USER/Other/Count")).toUInt(), 7u);
    EXPECT_EQ(CRegister::regGetString(kUpdaterKey, QStringLiteral("LastDay")), QStringLiteral("1800000000"));
    EXPECT_EQ(CRegister::regGetDword(QStringLiteral("HKEY_CURRENT_USER\\Other"), QStringLiteral("Count")), 7u);
    EXPECT_EQ(CRegister::regGetString(kUpdaterKey, QStringLiteral("Missing")), QString());
    EXPECT_EQ(CRegister::regGetDword(kUpdaterKey, QStringLiteral("Missing")), 0u);

    // An empty value name addresses the key path itself.
    ASSERT_TRUE(CRegister::regSetString(QStringLiteral("Brightleaf_UpdateOldPath"), QString(), QStringLiteral("/old")));
    EXPECT_EQ(stored(continuous, QStringLiteral("Brightleaf_UpdateOldPath")).toString(), QStringLiteral("/old"));
    EXPECT_EQ(CRegister::regGetString(QStringLiteral("Brightleaf_UpdateOldPath"), QString()), QStringLiteral("/old"));
}

TEST_P(SettingsLayout, DwordKeepsTheLowThirtyTwoBits)
{
    const quint64 big = (quint64(1) << 32) + 5;
    WriteSingleKeysPlist(QStringLiteral("K\\Big"), QVariant::fromValue<qulonglong>(big), QString(), QString());
    EXPECT_EQ(CRegister::regGetDword(QStringLiteral("K"), QStringLiteral("Big")), 5u);
}

TEST_P(SettingsLayout, VariantComesFromThePlistFileWhenItExists)
{
    const bool continuous = GetParam();
    const QString plist = env.homeDir() + QStringLiteral("/prefs.plist");
    const QString name = QStringLiteral("Preferences/Languages/nChooseLan");
    {
        QSettings file(plist, QSettings::NativeFormat);
        std::unique_ptr<QSettings> reader(readerSettings());
        if (continuous) {
            file.setValue(name, 42);
            reader->setValue(name, 59);
        } else {
            file.setValue(QStringLiteral("Classic"), QVariantMap{{name, 42}});
            reader->setValue(QStringLiteral("Classic"), QVariantMap{{name, 59}});
        }
    }
    EXPECT_EQ(CRegister::regGetVariant(name, 31, plist, QString(), QString()).toInt(), 42);
    EXPECT_EQ(CRegister::regGetVariant(name, 31, env.homeDir() + QStringLiteral("/none.plist"), QString(), QString())
                  .toInt(), 59);
    EXPECT_EQ(CRegister::regGetVariant(QStringLiteral("Preferences/Other"), 31, plist, QString(), QString()).toInt(), 31);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SettingsLayout, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Continuous" : "Classic");
                         });

TEST(SettingsStore, MissingFlagFileMeansContinuous)
{
    IsolatedEnv env;
    EXPECT_TRUE(CheckIsContinue());
}

TEST(SettingsStore, ClassicWithoutMapReadsNothingNotTheDefault)
{
    IsolatedEnv env;
    setReaderLayout(false);
    {
        std::unique_ptr<QSettings> reader(readerSettings());
        reader->setValue(kLastDayName, QStringLiteral("continuous value is not read"));
    }
    EXPECT_EQ(CRegister::regGetString(kUpdaterKey, QStringLiteral("LastDay")), QString());
    const QVariant v = CRegister::regGetVariant(QStringLiteral("Preferences/Languages/nChooseLan"), 31,
                                                QString(), QString(), QString());
    EXPECT_FALSE(v.isValid());
    EXPECT_EQ(v.toInt(), 0);

    // The first write creates the map with one entry.
    ASSERT_TRUE(CRegister::regSetString(kUpdaterKey, QStringLiteral("LastDay"), QStringLiteral("1")));
    std::unique_ptr<QSettings> reader(readerSettings());
    EXPECT_EQ(reader->value(QStringLiteral("Classic")).toMap(), (QVariantMap{{kLastDayName, QStringLiteral("1")}}));
}

TEST(SettingsStore, ClassicEntryThatIsNotAMapIsNeverOverwritten)
{
    IsolatedEnv env;
    setReaderLayout(false);
    {
        std::unique_ptr<QSettings> reader(readerSettings());
        reader->setValue(QStringLiteral("Classic"), QStringLiteral("reader data we cannot read as a map"));
    }
    EXPECT_FALSE(CRegister::regSetString(kUpdaterKey, QStringLiteral("LastDay"), QStringLiteral("1700000000")));
    EXPECT_FALSE(CRegister::regSetDword(kUpdaterKey, QStringLiteral("Count"), 3));
    std::unique_ptr<QSettings> reader(readerSettings());
    EXPECT_EQ(reader->allKeys(), QStringList{QStringLiteral("Classic")});
    EXPECT_EQ(reader->value(QStringLiteral("Classic")).toString(),
              QStringLiteral("reader data we cannot read as a map"));
}

TEST(SettingsStore, EachEnvironmentHasItsOwnSettings)
{
    {
        IsolatedEnv first;
        ASSERT_TRUE(CRegister::regSetString(kUpdaterKey, QStringLiteral("LastDay"), QStringLiteral("first")));
    }
    IsolatedEnv second;
    EXPECT_EQ(CRegister::regGetString(kUpdaterKey, QStringLiteral("LastDay")), QString());
    const QString file = std::unique_ptr<QSettings>(readerSettings())->fileName();
    EXPECT_TRUE(file.startsWith(second.configHome())) << file.toStdString();
}
