// The skin manager: which slots each palette name fills in either binding
// list, name matching, the order of map entries, the skin chosen by each mode
// and copies that keep to their own slots.
#include "SkinManager.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using AUILib::SkinManager;
using AUILib::SkinMap;
using AUILib::SkinMode;

namespace {

constexpr uint32_t kColor = 0x11223344;

struct NameSlots {
    const wchar_t* name;
    std::set<int> first;   // slots bound to the name in list 1
    std::set<int> second;  // in list 2
};

// The binding table regrouped by palette name, in the order of first use.
const std::vector<NameSlots>& PaletteTable()
{
    static const std::vector<NameSlots> table = {
        {L"Primary_text",
         {0, 8, 12, 33, 35, 40, 46, 69, 71, 73, 77, 81, 82, 83, 88, 89, 93, 105, 108, 109, 111, 113, 116, 119, 121},
         {0, 8, 12, 33, 35, 40, 46, 69, 71, 73, 77, 81, 82, 83, 88, 89, 93, 105, 108, 109, 111, 113, 116, 119, 121}},
        {L"Disabled_text", {1, 9, 13, 34, 72, 84, 85, 90, 114}, {1, 9, 13, 34, 72, 84, 85, 90, 114}},
        {L"Input_BG", {2, 23, 26}, {2, 23, 26}},
        {L"Hover_button_border", {3, 27}, {27}},
        {L"Button_border", {4, 30}, {30}},
        {L"Disable_Button_border", {5, 25, 29, 31}, {25, 31}},
        {L"Accent_color", {6, 18, 32, 43, 52, 53, 54, 60, 61, 67, 96, 98},
         {18, 32, 43, 52, 53, 54, 60, 61, 67, 96, 98}},
        {L"Placeholder_text", {7, 19}, {7, 19}},
        {L"Frame_border", {10, 17, 38, 41, 42, 49, 70, 75, 76, 80, 91, 120},
         {10, 17, 38, 41, 42, 49, 70, 75, 76, 80, 91, 120}},
        {L"Content_BG", {11, 14, 15, 36, 55, 86, 92, 94, 117, 118},
         {11, 14, 15, 36, 55, 78, 86, 92, 94, 115, 117, 118}},
        {L"Hover_BG", {16, 39}, {16, 39, 97}},
        {L"Button_text", {20, 22}, {20, 22, 28}},
        {L"Disable_button_text", {21}, {21}},
        {L"Primary_BG", {24, 37}, {24, 37}},
        {L"Check_or_Radio_border", {28}, {}},
        {L"ScrollbarThumb_color", {44, 47, 112}, {44, 47, 112}},
        {L"Scrollbar_BG", {45}, {45}},
        {L"Hover_scrollbarThumb_color", {48}, {48}},
        {L"Accent_button_text", {50, 51, 57, 63, 68}, {50, 51, 57, 63, 68}},
        {L"Press_accent_color", {56, 59, 65, 66}, {56, 59, 65, 66}},
        {L"Hover_accent_color", {58, 79}, {58, 79}},
        {L"Disable_accent_color", {62, 64}, {62, 64}},
        {L"Active_BG", {74, 95}, {74, 95}},
        {L"White_BG", {78, 115}, {}},
        {L"Spacing_line", {87}, {87}},
        {L"Second_BG", {97, 106, 110}, {106, 110}},
        {L"Secondary_text", {99, 104}, {99, 104}},
        {L"Link_rest", {100}, {100}},
        {L"Link_pressed", {101}, {101}},
        {L"Link_hover", {102}, {102}},
        {L"Link_disabled", {103}, {103}},
        {L"Light_spacing_line", {107}, {107}},
        {L"Hover_input_border", {}, {3}},
        {L"Input_border", {}, {4}},
        {L"Disable_input_border", {}, {5}},
        {L"Selected_input_border", {}, {6}},
        {L"Hover_button_BG", {}, {29}},
    };
    return table;
}

std::set<int> SlotsHolding(const SkinManager& manager, uint32_t color)
{
    std::set<int> slots;
    for (int slot = 0; slot < SkinManager::SlotCount; ++slot)
        if (manager.GetColor(slot) == color)
            slots.insert(slot);
    return slots;
}

std::set<int> SlotsOf(const wchar_t* name, bool firstList)
{
    for (const NameSlots& row : PaletteTable())
        if (std::wstring(row.name) == name)
            return firstList ? row.first : row.second;
    return {};
}

std::wstring Lower(std::wstring s)
{
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

} // namespace

TEST(SkinManager, NewManagerHoldsNoColours)
{
    const SkinManager manager(AUILib::SkinModeXML);
    EXPECT_EQ(manager.GetSkinIndex(), SkinManager::XMLSkin);
    EXPECT_EQ(SlotsHolding(manager, 0xFFFFFFFF).size(), 122u);
    EXPECT_FALSE(manager.GetColorChangeFlag());
    EXPECT_FALSE(manager.IsInitialised());
    EXPECT_FALSE(manager.IsCustomMap());
    EXPECT_FALSE(manager.IsGlobalMode());
    EXPECT_EQ(manager.GetOwner(), nullptr);
    EXPECT_EQ(manager.GetSourceManager(), nullptr);
}

TEST(SkinManager, EveryPaletteNameFillsExactlyItsSlotsInEitherList)
{
    // Map value 1 picks the first list; every other value the second.
    const std::vector<std::pair<int, bool>> maps = {{1, true}, {2, false}, {0, false}, {7, false}, {-1, false}};
    for (const auto& map : maps) {
        std::set<int> covered;
        for (const NameSlots& row : PaletteTable()) {
            SkinManager manager(AUILib::SkinModeDefault);
            manager.AssignColor(static_cast<SkinMap>(map.first), row.name, kColor);
            const std::set<int>& expected = map.second ? row.first : row.second;
            EXPECT_EQ(SlotsHolding(manager, kColor), expected) << "map " << map.first << " name " << row.name;
            EXPECT_EQ(SlotsHolding(manager, 0xFFFFFFFF).size(), 122u - expected.size());
            covered.insert(expected.begin(), expected.end());
        }
        EXPECT_EQ(covered.size(), 122u) << "every slot has a name in map " << map.first;
    }
}

TEST(SkinManager, NamesMatchWithoutRegardToAsciiCaseOnly)
{
    const std::set<int> primary = {0,  8,  12, 33, 35, 40,  46,  69,  71,  73,  77,  81, 82,
                                   83, 88, 89, 93, 105, 108, 109, 111, 113, 116, 119, 121};
    struct NameCase {
        int map;
        std::wstring name;
        std::set<int> slots;
    };
    const std::vector<NameCase> cases = {
        {1, L"primary_text", primary},
        {2, L"PRIMARY_TEXT", primary},
        {1, L"pRiMaRy_TeXt", primary},
        {1, L"hover_input_border", {}},      // only in the second list
        {2, L"hover_input_border", {3}},
        {1, L"HOVER_BUTTON_BORDER", {3, 27}},
        {0, L"hover_button_border", {27}},
        {1, L"", {}},
        {1, L"Primary_tex", {}},
        {1, L"Primary_text ", {}},
        {1, std::wstring(L"Primary_text\0x", 14), {}},
        {1, L"Di\u017Fabled_text", {}},      // long s upper-cases to S outside ASCII
        {1, L"Lin\u212A_rest", {}},          // Kelvin sign lower-cases to k outside ASCII
        {1, L"Primary\u00A0text", {}},
        {1, L"Primary-text", {}},
    };
    for (const NameCase& c : cases) {
        SkinManager manager(AUILib::SkinModeDefault);
        manager.AssignColor(static_cast<SkinMap>(c.map), c.name, kColor);
        EXPECT_EQ(SlotsHolding(manager, kColor), c.slots) << "map " << c.map << " name of length " << c.name.size();
    }
}

TEST(SkinManager, EveryMatchingSlotTakesTheLastColour)
{
    SkinManager manager(AUILib::SkinModeDefault);
    manager.AssignColor(AUILib::SkinMapFirst, L"Frame_border", 1);
    manager.AssignColor(AUILib::SkinMapFirst, L"frame_border", 2);
    manager.AssignColor(AUILib::SkinMapFirst, L"Unknown_name", 3);
    EXPECT_EQ(SlotsHolding(manager, 2), SlotsOf(L"Frame_border", true));
    EXPECT_TRUE(SlotsHolding(manager, 1).empty());
    EXPECT_TRUE(SlotsHolding(manager, 3).empty());
}

TEST(SkinManager, MapEntriesApplyInKeyOrder)
{
    // Upper-case letters sort first, so the later key of each pair wins.
    struct OrderCase {
        std::map<std::wstring, uint32_t> colors;
        uint32_t winner;
    };
    const std::vector<OrderCase> cases = {
        {{{L"Accent_color", 0xA}, {L"accent_color", 0xB}}, 0xB},
        {{{L"accent_color", 0xA}, {L"ACCENT_COLOR", 0xB}}, 0xA},
        {{{L"Accent_color", 0xA}, {L"ACCENT_COLOR", 0xB}, {L"Bogus", 0xC}}, 0xA},
    };
    for (const OrderCase& c : cases) {
        SkinManager manager(AUILib::SkinModeDefault);
        manager.InitSkinColorByMap(AUILib::SkinMapFirst, c.colors);
        EXPECT_EQ(SlotsHolding(manager, c.winner), SlotsOf(L"Accent_color", true));
        EXPECT_EQ(SlotsHolding(manager, 0xFFFFFFFF).size(), 122u - 12u);
        EXPECT_TRUE(manager.IsCustomMap());
    }

    // Several names through the second list, and an empty map that only
    // marks the manager.
    SkinManager manager(AUILib::SkinModeDefault);
    manager.InitSkinColorByMap(AUILib::SkinMapSecond, {{L"Input_border", 5}, {L"Hover_BG", 6}, {L"White_BG", 7}});
    EXPECT_EQ(SlotsHolding(manager, 5), (std::set<int>{4}));
    EXPECT_EQ(SlotsHolding(manager, 6), (std::set<int>{16, 39, 97}));
    EXPECT_TRUE(SlotsHolding(manager, 7).empty());

    SkinManager empty(AUILib::SkinModeDark);
    empty.InitSkinColorByMap(AUILib::SkinMapFirst, {});
    EXPECT_TRUE(empty.IsCustomMap());
    EXPECT_EQ(SlotsHolding(empty, 0xFFFFFFFF).size(), 122u);
    EXPECT_EQ(empty.GetSkinIndex(), SkinManager::DarkSkin);
}

TEST(SkinManager, ModeTable)
{
    struct ModeCase {
        int mode;
        bool accepted;
        uint32_t index;  // when accepted
    };
    // Modes are tested unsigned: negative ones are refused as well.
    const std::vector<ModeCase> cases = {
        {0, true, 0}, {1, true, 1}, {2, true, 2}, {3, true, 0},
        {4, false, 0}, {7, false, 0}, {-1, false, 0}, {INT_MAX, false, 0}, {INT_MIN, false, 0},
    };
    for (const ModeCase& c : cases) {
        const SkinMode mode = static_cast<SkinMode>(c.mode);
        // A refused mode leaves the skin in force; start from the custom one
        // so no mode result can be mistaken for it.
        const uint32_t kept = SkinManager::CustomSkin;
        const uint32_t expected = c.accepted ? c.index : kept;
        const SkinManager source(AUILib::SkinModeDefault);

        const SkinManager built(mode);
        EXPECT_EQ(built.GetSkinIndex(), c.accepted ? c.index : 0u) << "constructor, mode " << c.mode;

        SkinManager loaded(AUILib::SkinModeDefault);
        loaded.SetCustomSkin(source);
        EXPECT_EQ(loaded.LoadSkin(mode, true, false), c.accepted) << "LoadSkin, mode " << c.mode;
        EXPECT_EQ(loaded.GetSkinIndex(), expected);
        EXPECT_TRUE(loaded.IsGlobalMode()) << "the flag is stored even for a refused mode";

        loaded.SetCustomSkin(loaded);
        EXPECT_EQ(loaded.SetSkinMode(mode), c.accepted) << "SetSkinMode, mode " << c.mode;
        EXPECT_EQ(loaded.GetSkinIndex(), expected);
        EXPECT_FALSE(loaded.IsGlobalMode());

        SkinManager initialised(AUILib::SkinModeDefault);
        initialised.SetCustomSkin(initialised);
        EXPECT_EQ(initialised.InitSkinManager(&source, mode), c.accepted) << "InitSkinManager, mode " << c.mode;
        EXPECT_EQ(initialised.GetSkinIndex(), expected);
        EXPECT_TRUE(initialised.IsInitialised());
    }

    // The skin loaders set their index and nothing else.
    SkinManager manager(AUILib::SkinModeDefault);
    manager.LoadSkin(AUILib::SkinModeDefault, true, false);
    const std::vector<std::pair<void (SkinManager::*)(bool), uint32_t>> loaders = {
        {&SkinManager::LoadDarkSkin, 1}, {&SkinManager::LoadXMLSkin, 2},
        {&SkinManager::LoadHCMDarkSkin, 3}, {&SkinManager::LoadDefaultSkin, 0}};
    for (const auto& loader : loaders) {
        (manager.*loader.first)(false);
        EXPECT_EQ(manager.GetSkinIndex(), loader.second);
        EXPECT_TRUE(manager.IsGlobalMode());
        EXPECT_FALSE(manager.IsInitialised());
    }
}

TEST(SkinManager, InitSkinManagerSequence)
{
    SkinManager manager(AUILib::SkinModeDefault);
    const SkinManager other(AUILib::SkinModeDark);

    // Initialising from itself applies the mode the first time only.
    EXPECT_TRUE(manager.InitSkinManager(&manager, AUILib::SkinModeDark));
    EXPECT_EQ(manager.GetSkinIndex(), SkinManager::DarkSkin);
    EXPECT_TRUE(manager.IsInitialised());
    EXPECT_EQ(manager.GetSourceManager(), nullptr);

    manager.LoadSkin(AUILib::SkinModeDark, true, false);
    EXPECT_TRUE(manager.InitSkinManager(&manager, AUILib::SkinModeXML));
    EXPECT_EQ(manager.GetSkinIndex(), SkinManager::DarkSkin);
    EXPECT_TRUE(manager.IsGlobalMode()) << "a repeated self initialisation touches nothing";
    EXPECT_TRUE(manager.InitSkinManager(&manager, static_cast<SkinMode>(9))) << "nor checks the mode";

    // Another source always applies the mode; only the pointer is kept.
    manager.AssignColor(AUILib::SkinMapFirst, L"Link_rest", 0x42);
    EXPECT_TRUE(manager.InitSkinManager(&other, AUILib::SkinModeXML));
    EXPECT_EQ(manager.GetSkinIndex(), SkinManager::XMLSkin);
    EXPECT_EQ(manager.GetSourceManager(), &other);
    EXPECT_FALSE(manager.IsGlobalMode());
    EXPECT_EQ(manager.GetColor(100), 0x42u) << "no colours come from the source";
    EXPECT_EQ(other.GetColor(100), 0xFFFFFFFFu);

    EXPECT_FALSE(manager.InitSkinManager(nullptr, static_cast<SkinMode>(5)));
    EXPECT_EQ(manager.GetSkinIndex(), SkinManager::XMLSkin);
    EXPECT_EQ(manager.GetSourceManager(), nullptr);

    // Back to itself: the pointer is dropped and, being initialised, the skin stays.
    manager.InitSkinManager(&other, AUILib::SkinModeXML);
    EXPECT_TRUE(manager.InitSkinManager(&manager, AUILib::SkinModeDark));
    EXPECT_EQ(manager.GetSourceManager(), nullptr);
    EXPECT_EQ(manager.GetSkinIndex(), SkinManager::XMLSkin);

    // A refused first self initialisation still marks the manager.
    SkinManager fresh(AUILib::SkinModeDefault);
    EXPECT_FALSE(fresh.InitSkinManager(&fresh, static_cast<SkinMode>(4)));
    EXPECT_TRUE(fresh.IsInitialised());
    EXPECT_TRUE(fresh.InitSkinManager(&fresh, AUILib::SkinModeDark));
    EXPECT_EQ(fresh.GetSkinIndex(), SkinManager::DefaultSkin);
}

TEST(SkinManager, CopiesWriteTheirOwnSlots)
{
    SkinManager source(AUILib::SkinModeDark);
    source.InitSkinColorByMap(AUILib::SkinMapFirst, {{L"Primary_text", 0x10}, {L"Frame_border", 0x20}});
    source.InitSkinManager(&source, AUILib::SkinModeDark);
    source.SetColorChangeFlag(true);

    SkinManager custom(AUILib::SkinModeDefault);
    EXPECT_TRUE(custom.SetCustomSkin(source));
    EXPECT_EQ(custom.GetSkinIndex(), SkinManager::CustomSkin);
    EXPECT_EQ(source.GetSkinIndex(), SkinManager::DarkSkin);
    for (int slot = 0; slot < SkinManager::SlotCount; ++slot)
        EXPECT_EQ(custom.GetColor(slot), source.GetColor(slot)) << "slot " << slot;
    EXPECT_TRUE(custom.IsCustomMap());
    EXPECT_TRUE(custom.IsInitialised());
    EXPECT_TRUE(custom.GetColorChangeFlag());

    SkinManager copied(source);
    SkinManager assigned(AUILib::SkinModeDefault);
    assigned = source;
    for (SkinManager* copy : {&custom, &copied, &assigned}) {
        copy->AssignColor(AUILib::SkinMapFirst, L"Primary_text", 0x99);
        copy->AssignColor(AUILib::SkinMapSecond, L"Hover_button_BG", 0x98);
        EXPECT_EQ(SlotsHolding(*copy, 0x99), SlotsOf(L"Primary_text", true));
        EXPECT_EQ(SlotsHolding(*copy, 0x98), (std::set<int>{29}));
    }
    EXPECT_EQ(SlotsHolding(source, 0x10), SlotsOf(L"Primary_text", true));
    EXPECT_EQ(SlotsHolding(source, 0x20), SlotsOf(L"Frame_border", true));
    EXPECT_TRUE(SlotsHolding(source, 0x99).empty());
    EXPECT_TRUE(SlotsHolding(source, 0x98).empty());

    // The source's writes stay in the source, too.
    source.AssignColor(AUILib::SkinMapFirst, L"Link_hover", 0x77);
    EXPECT_EQ(copied.GetColor(102), 0xFFFFFFFFu);
    EXPECT_EQ(custom.GetColor(102), 0xFFFFFFFFu);

    // Taking over itself changes only the skin in force.
    custom.SetCustomSkin(custom);
    EXPECT_EQ(custom.GetSkinIndex(), SkinManager::CustomSkin);
    EXPECT_EQ(SlotsHolding(custom, 0x99), SlotsOf(L"Primary_text", true));
}

TEST(SkinManager, ColourChangeFlag)
{
    SkinManager manager(AUILib::SkinModeDefault);
    manager.SetColorChangeFlag(true);  // no owner to tell
    EXPECT_TRUE(manager.GetColorChangeFlag());
    manager.UpdateColorObjects();
    EXPECT_TRUE(manager.GetColorChangeFlag());
    manager.UpdateCustomColors();
    EXPECT_FALSE(manager.GetColorChangeFlag());
    manager.SetColorChangeFlag(true);
    manager.SetColorChangeFlag(false);
    EXPECT_FALSE(manager.GetColorChangeFlag());
}

TEST(SkinManager, ListsAgreeOnTheCountsOfTheMostUsedNames)
{
    // Cross-check of the per-name table against the counts quoted with the
    // binding lists.
    const std::vector<std::tuple<const wchar_t*, size_t, size_t>> counts = {
        {L"Primary_text", 25, 25}, {L"Frame_border", 12, 12}, {L"Accent_color", 12, 11},
        {L"Content_BG", 10, 12},   {L"Disabled_text", 9, 9},
    };
    for (const auto& c : counts) {
        for (int map : {1, 2}) {
            SkinManager manager(AUILib::SkinModeDefault);
            manager.AssignColor(static_cast<SkinMap>(map), Lower(std::get<0>(c)), kColor);
            EXPECT_EQ(SlotsHolding(manager, kColor).size(), map == 1 ? std::get<1>(c) : std::get<2>(c));
        }
    }
}
