#include "SkinManager.h"

#include "AUILibUtils.h"
#include "BaseImpl.h"

#include <cstddef>

namespace AUILib {

namespace {

using NameTable = std::array<const wchar_t*, SkinManager::SlotCount>;

// Palette name of each colour slot, in slot order, for the first list.
constexpr NameTable kFirstList = {
    // 0-7
    L"Primary_text", L"Disabled_text", L"Input_BG", L"Hover_button_border", L"Button_border",
    L"Disable_Button_border", L"Accent_color", L"Placeholder_text",
    // 8-15
    L"Primary_text", L"Disabled_text", L"Frame_border", L"Content_BG", L"Primary_text", L"Disabled_text",
    L"Content_BG", L"Content_BG",
    // 16-23
    L"Hover_BG", L"Frame_border", L"Accent_color", L"Placeholder_text", L"Button_text", L"Disable_button_text",
    L"Button_text", L"Input_BG",
    // 24-31
    L"Primary_BG", L"Disable_Button_border", L"Input_BG", L"Hover_button_border", L"Check_or_Radio_border",
    L"Disable_Button_border", L"Button_border", L"Disable_Button_border",
    // 32-39
    L"Accent_color", L"Primary_text", L"Disabled_text", L"Primary_text", L"Content_BG", L"Primary_BG",
    L"Frame_border", L"Hover_BG",
    // 40-47
    L"Primary_text", L"Frame_border", L"Frame_border", L"Accent_color", L"ScrollbarThumb_color",
    L"Scrollbar_BG", L"Primary_text", L"ScrollbarThumb_color",
    // 48-55
    L"Hover_scrollbarThumb_color", L"Frame_border", L"Accent_button_text", L"Accent_button_text",
    L"Accent_color", L"Accent_color", L"Accent_color", L"Content_BG",
    // 56-63
    L"Press_accent_color", L"Accent_button_text", L"Hover_accent_color", L"Press_accent_color",
    L"Accent_color", L"Accent_color", L"Disable_accent_color", L"Accent_button_text",
    // 64-71
    L"Disable_accent_color", L"Press_accent_color", L"Press_accent_color", L"Accent_color",
    L"Accent_button_text", L"Primary_text", L"Frame_border", L"Primary_text",
    // 72-79
    L"Disabled_text", L"Primary_text", L"Active_BG", L"Frame_border", L"Frame_border", L"Primary_text",
    L"White_BG", L"Hover_accent_color",
    // 80-87
    L"Frame_border", L"Primary_text", L"Primary_text", L"Primary_text", L"Disabled_text", L"Disabled_text",
    L"Content_BG", L"Spacing_line",
    // 88-95
    L"Primary_text", L"Primary_text", L"Disabled_text", L"Frame_border", L"Content_BG", L"Primary_text",
    L"Content_BG", L"Active_BG",
    // 96-103
    L"Accent_color", L"Second_BG", L"Accent_color", L"Secondary_text", L"Link_rest", L"Link_pressed",
    L"Link_hover", L"Link_disabled",
    // 104-111
    L"Secondary_text", L"Primary_text", L"Second_BG", L"Light_spacing_line", L"Primary_text", L"Primary_text",
    L"Second_BG", L"Primary_text",
    // 112-119
    L"ScrollbarThumb_color", L"Primary_text", L"Disabled_text", L"White_BG", L"Primary_text", L"Content_BG",
    L"Content_BG", L"Primary_text",
    // 120-121
    L"Frame_border", L"Primary_text",
};

// The second list differs from the first in input borders, check and radio
// borders and a few backgrounds.
NameTable MakeSecondList()
{
    NameTable names = kFirstList;
    names[3] = L"Hover_input_border";
    names[4] = L"Input_border";
    names[5] = L"Disable_input_border";
    names[6] = L"Selected_input_border";
    names[28] = L"Button_text";
    names[29] = L"Hover_button_BG";
    names[78] = L"Content_BG";
    names[97] = L"Hover_BG";
    names[115] = L"Content_BG";
    return names;
}

const NameTable& Bindings(SkinMap map)
{
    static const NameTable second = MakeSecondList();
    return map == SkinMapFirst ? kFirstList : second;
}

wchar_t UpperAscii(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool SameNameIgnoringAsciiCase(const wchar_t* bound, const std::wstring& name)
{
    size_t i = 0;
    for (; bound[i] != L'\0'; ++i) {
        if (i >= name.size() || UpperAscii(bound[i]) != UpperAscii(name[i]))
            return false;
    }
    return i == name.size();
}

} // namespace

SkinManager::SkinManager(BaseImpl* owner, SkinMode mode) : owner_(owner)
{
    colors_.fill(UnsetColor);
    ApplyMode(mode);
}

SkinManager::SkinManager(SkinMode mode) : SkinManager(nullptr, mode) {}

bool SkinManager::ApplyMode(SkinMode mode)
{
    // Unsigned on purpose: a negative mode is refused too.
    const uint32_t value = static_cast<uint32_t>(mode);
    if (value > SkinModeHCMDark)
        return false;
    if (AUILibUtils::IsSystemHighContrastMode())
        skinIndex_ = HCMDarkSkin;
    else if (value == SkinModeDark)
        skinIndex_ = DarkSkin;
    else if (value == SkinModeXML)
        skinIndex_ = XMLSkin;
    else
        skinIndex_ = DefaultSkin;
    return true;
}

bool SkinManager::LoadSkin(SkinMode mode, bool globalMode, bool)
{
    globalMode_ = globalMode;
    return ApplyMode(mode);
}

bool SkinManager::SetSkinMode(SkinMode mode)
{
    globalMode_ = false;
    return ApplyMode(mode);
}

bool SkinManager::InitSkinManager(const SkinManager* source, SkinMode mode)
{
    bool accepted = true;
    if (source == this) {
        source_ = nullptr;
        // A manager that initialises itself a second time keeps its skin.
        if (!initialised_) {
            globalMode_ = false;
            accepted = ApplyMode(mode);
        }
    } else {
        source_ = source;
        globalMode_ = false;
        accepted = ApplyMode(mode);
    }
    initialised_ = true;
    return accepted;
}

void SkinManager::LoadDefaultSkin(bool) { skinIndex_ = DefaultSkin; }
void SkinManager::LoadDarkSkin(bool) { skinIndex_ = DarkSkin; }
void SkinManager::LoadXMLSkin(bool) { skinIndex_ = XMLSkin; }
void SkinManager::LoadHCMDarkSkin(bool) { skinIndex_ = HCMDarkSkin; }

void SkinManager::AssignColor(SkinMap map, const std::wstring& name, uint32_t color)
{
    const NameTable& names = Bindings(map);
    for (size_t slot = 0; slot < names.size(); ++slot) {
        if (SameNameIgnoringAsciiCase(names[slot], name))
            colors_[slot] = color;
    }
}

void SkinManager::InitSkinColorByMap(SkinMap map, const std::map<std::wstring, uint32_t>& colors)
{
    for (const auto& entry : colors)
        AssignColor(map, entry.first, entry.second);
    customMap_ = true;
}

bool SkinManager::SetCustomSkin(const SkinManager& source)
{
    colors_ = source.colors_;
    source_ = source.source_;
    customMap_ = source.customMap_;
    owner_ = source.owner_;
    globalMode_ = source.globalMode_;
    initialised_ = source.initialised_;
    colorChanged_ = source.colorChanged_;
    skinIndex_ = CustomSkin;
    return true;
}

void SkinManager::SetColorChangeFlag(bool changed)
{
    if (changed && owner_)
        owner_->OnSkinColorChanged();
    colorChanged_ = changed;
}

void SkinManager::UpdateCustomColors() { colorChanged_ = false; }

void SkinManager::UpdateColorObjects() {}

} // namespace AUILib
