// The configuration's global custom skin: the same as the global skin
// manager taking the source over itself.
#include "AUILibConfig.h"
#include "SkinManager.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

using namespace AUILib;

namespace {

void ExpectSameSkin(const SkinManager& actual, const SkinManager& expected)
{
    for (int slot = 0; slot < SkinManager::SlotCount; ++slot)
        ASSERT_EQ(actual.GetColor(slot), expected.GetColor(slot)) << slot;
    EXPECT_EQ(actual.GetSkinIndex(), expected.GetSkinIndex());
    EXPECT_EQ(actual.GetSourceManager(), expected.GetSourceManager());
    EXPECT_EQ(actual.GetOwner(), expected.GetOwner());
    EXPECT_EQ(actual.IsCustomMap(), expected.IsCustomMap());
    EXPECT_EQ(actual.IsGlobalMode(), expected.IsGlobalMode());
    EXPECT_EQ(actual.IsInitialised(), expected.IsInitialised());
    EXPECT_EQ(actual.GetColorChangeFlag(), expected.GetColorChangeFlag());
}

// Puts the global skin back as the test found it.
class GlobalSkinRestorer {
public:
    GlobalSkinRestorer() : mode_(static_cast<SkinMode>(GetGlobalSkinManager()->GetSkinIndex()))
    {
        saved_.SetCustomSkin(*GetGlobalSkinManager());
    }
    ~GlobalSkinRestorer()
    {
        GetGlobalSkinManager()->SetCustomSkin(saved_);
        if (mode_ <= SkinModeHCMDark)
            GetGlobalSkinManager()->SetSkinMode(mode_);
    }

private:
    SkinMode mode_;
    SkinManager saved_{SkinModeDefault};
};

TEST(GlobalCustomSkin, EqualsTheGlobalManagerTakingOverTheSource)
{
    const std::map<std::wstring, uint32_t> colours{{L"Accent_color", 0xFF112233u}, {L"Primary_text", 0xFF445566u}};
    const struct {
        const char* name;
        std::function<std::unique_ptr<SkinManager>()> make;
    } sources[] = {
        {"new dark manager", [] { return std::make_unique<SkinManager>(SkinModeDark); }},
        {"manager with mapped colours",
         [&] {
             auto source = std::make_unique<SkinManager>(SkinModeDefault);
             source->InitSkinColorByMap(SkinMapFirst, colours);
             source->InitSkinManager(source.get(), SkinModeDark);
             return source;
         }},
        {"manager with a colour assigned by name",
         [] {
             auto source = std::make_unique<SkinManager>(SkinModeDefault);
             source->AssignColor(SkinMapSecond, L"Hover_input_border", 0xFF0A0B0Cu);
             source->SetColorChangeFlag(true);
             return source;
         }},
    };
    for (const auto& s : sources) {
        SCOPED_TRACE(s.name);
        GlobalSkinRestorer restore;
        const std::unique_ptr<SkinManager> source = s.make();
        SkinManager expected(SkinModeDefault);
        ASSERT_TRUE(expected.SetCustomSkin(*source));

        EXPECT_TRUE(SetGlobalCustomSkin(*source));
        ExpectSameSkin(*GetGlobalSkinManager(), expected);
        EXPECT_EQ(GetGlobalSkinManager()->GetSkinIndex(), SkinManager::CustomSkin);

        // The global manager's own slots change afterwards, not the source's.
        const uint32_t before = source->GetColor(0);
        GetGlobalSkinManager()->AssignColor(SkinMapFirst, L"Primary_text", 0xFF778899u);
        EXPECT_EQ(GetGlobalSkinManager()->GetColor(0), 0xFF778899u);
        EXPECT_EQ(source->GetColor(0), before);
    }
}

TEST(GlobalCustomSkin, TheGlobalManagerItselfChangesOnlyTheIndex)
{
    GlobalSkinRestorer restore;
    SkinManager* global = GetGlobalSkinManager();
    global->AssignColor(SkinMapFirst, L"Primary_text", 0xFF010203u);
    ASSERT_TRUE(global->SetSkinMode(SkinModeDark));
    SkinManager before(SkinModeDefault);
    before.SetCustomSkin(*global);

    EXPECT_TRUE(SetGlobalCustomSkin(*global));
    ExpectSameSkin(*global, before);
    EXPECT_EQ(global->GetColor(0), 0xFF010203u);
    EXPECT_EQ(GetGlobalSkinMode(), static_cast<SkinMode>(SkinManager::CustomSkin));
}

} // namespace
