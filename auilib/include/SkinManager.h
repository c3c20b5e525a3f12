// The library's named-colour store: 122 colour slots filled by palette name
// through one of two fixed binding lists, the skin in force, and an optional
// owner told when colours change. The manager holds no colours of its own;
// choosing a skin only records which one is in force.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>

namespace AUILib {

class BaseImpl;

enum SkinMode : int32_t {
    SkinModeDefault = 0,
    SkinModeDark = 1,
    SkinModeXML = 2,
    SkinModeHCMDark = 3,  // the default skin unless the system is in high-contrast mode
};

// Which binding list ties palette names to slots: 1 the first, any other
// value the second.
enum SkinMap : int32_t {
    SkinMapFirst = 1,
    SkinMapSecond = 2,
};

class SkinManager {
public:
    static constexpr int SlotCount = 122;
    static constexpr uint32_t UnsetColor = 0xFFFFFFFF;

    // Skin indices: the skin in force.
    enum : uint32_t {
        DefaultSkin = 0,
        DarkSkin = 1,
        XMLSkin = 2,
        HCMDarkSkin = 3,
        CustomSkin = 4,
    };

    // The owner is not owned; it must outlive this manager and every manager
    // that takes it over through SetCustomSkin, as long as they may be given
    // SetColorChangeFlag(true).
    SkinManager(BaseImpl* owner, SkinMode mode);
    explicit SkinManager(SkinMode mode);

    // Mode rule: modes above 3 (negative ones too) are refused and leave the
    // skin as it is.
    bool LoadSkin(SkinMode mode, bool globalMode, bool);
    bool SetSkinMode(SkinMode mode);
    bool InitSkinManager(const SkinManager* source, SkinMode mode);
    void LoadDefaultSkin(bool);
    void LoadDarkSkin(bool);
    void LoadXMLSkin(bool);
    void LoadHCMDarkSkin(bool);

    // Writes the colour into every slot bound to the name in the chosen list;
    // names match regardless of the case of a to z; unknown names change
    // nothing.
    void AssignColor(SkinMap map, const std::wstring& name, uint32_t color);
    // AssignColor for each entry in key order, so of two keys that differ
    // only in case the later one wins.
    void InitSkinColorByMap(SkinMap map, const std::map<std::wstring, uint32_t>& colors);
    // Takes over the colours and state (owner included) of the source and
    // makes the custom skin the one in force.
    bool SetCustomSkin(const SkinManager& source);

    void SetColorChangeFlag(bool changed);
    bool GetColorChangeFlag() const { return colorChanged_; }
    void UpdateCustomColors();
    void UpdateColorObjects();

    // What the application and the library configuration read back.
    uint32_t GetColor(int slot) const { return colors_.at(static_cast<size_t>(slot)); }
    uint32_t GetSkinIndex() const { return skinIndex_; }
    const SkinManager* GetSourceManager() const { return source_; }
    BaseImpl* GetOwner() const { return owner_; }
    bool IsCustomMap() const { return customMap_; }
    bool IsGlobalMode() const { return globalMode_; }
    bool IsInitialised() const { return initialised_; }

private:
    bool ApplyMode(SkinMode mode);

    std::array<uint32_t, SlotCount> colors_;
    const SkinManager* source_ = nullptr;
    bool customMap_ = false;
    uint32_t skinIndex_ = DefaultSkin;
    BaseImpl* owner_ = nullptr;
    bool globalMode_ = false;
    bool initialised_ = false;
    bool colorChanged_ = false;
    // The binding lists are fixed tables shared by every manager (slot i is
    // bound to entry i), so a copied manager always writes its own slots.
};

} // namespace AUILib
