// Qt key codes to library key codes, the special keys and the text a key
// event carries. Comma and period depend on the start locale and are tested
// by the start-locale entries (start_locale/).
#include "Event.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using AUILib::Event;
using AUILib::KeyEvent;
using AUILib::SysKeyToAUIKey;

namespace {

struct KeyCase {
    int qtKey;
    int code;
};

// Every Qt key the library knows, with its code, written out from the key
// table (ranges listed in full so an off-by-one shows as one row).
std::vector<KeyCase> KnownKeys()
{
    std::vector<KeyCase> keys = {
        {Qt::Key_Backspace, 1},   {Qt::Key_Tab, 2},          {Qt::Key_Clear, 3},
        {Qt::Key_Return, 4},      {Qt::Key_Enter, 4},        {Qt::Key_Shift, 5},
        {Qt::Key_Control, 6},     {Qt::Key_Alt, 7},          {Qt::Key_Pause, 8},
        {Qt::Key_CapsLock, 9},    {Qt::Key_Kana_Lock, 10},   {Qt::Key_Kanji, 15},
        {Qt::Key_Escape, 17},     {Qt::Key_Mode_switch, 21}, {Qt::Key_Space, 22},
        {Qt::Key_PageUp, 23},     {Qt::Key_PageDown, 24},    {Qt::Key_End, 25},
        {Qt::Key_Home, 26},       {Qt::Key_Left, 27},        {Qt::Key_Up, 28},
        {Qt::Key_Right, 29},      {Qt::Key_Down, 30},        {Qt::Key_Select, 31},
        {Qt::Key_Printer, 32},    {Qt::Key_Execute, 33},     {Qt::Key_Print, 34},
        {Qt::Key_Insert, 35},     {Qt::Key_Delete, 36},      {Qt::Key_Help, 37},
        {Qt::Key_Meta, 74},       {Qt::Key_Menu, 75},        {Qt::Key_Sleep, 76},
        {Qt::Key_Asterisk, 87},   {Qt::Key_Plus, 88},        {Qt::Key_Minus, 90},
        {Qt::Key_Slash, 92},      {Qt::Key_NumLock, 117},    {Qt::Key_ScrollLock, 118},
        {Qt::Key_Massyo, 119},    {Qt::Key_Touroku, 120},    {Qt::Key_Back, 127},
        {Qt::Key_Forward, 128},   {Qt::Key_Refresh, 129},    {Qt::Key_Stop, 130},
        {Qt::Key_Search, 131},    {Qt::Key_Favorites, 132},  {Qt::Key_HomePage, 133},
        {Qt::Key_VolumeMute, 134}, {Qt::Key_VolumeDown, 135}, {Qt::Key_VolumeUp, 136},
        {Qt::Key_MediaNext, 137}, {Qt::Key_MediaPrevious, 138}, {Qt::Key_MediaStop, 139},
        {Qt::Key_MediaPlay, 140}, {Qt::Key_LaunchMail, 141}, {Qt::Key_LaunchMedia, 142},
        {Qt::Key_Launch0, 143},   {Qt::Key_Launch1, 144},
        // Letters 48-73.
        {Qt::Key_A, 48}, {Qt::Key_B, 49}, {Qt::Key_C, 50}, {Qt::Key_D, 51}, {Qt::Key_E, 52},
        {Qt::Key_F, 53}, {Qt::Key_G, 54}, {Qt::Key_H, 55}, {Qt::Key_I, 56}, {Qt::Key_J, 57},
        {Qt::Key_K, 58}, {Qt::Key_L, 59}, {Qt::Key_M, 60}, {Qt::Key_N, 61}, {Qt::Key_O, 62},
        {Qt::Key_P, 63}, {Qt::Key_Q, 64}, {Qt::Key_R, 65}, {Qt::Key_S, 66}, {Qt::Key_T, 67},
        {Qt::Key_U, 68}, {Qt::Key_V, 69}, {Qt::Key_W, 70}, {Qt::Key_X, 71}, {Qt::Key_Y, 72},
        {Qt::Key_Z, 73},
        // Digits 77-86, never 38-47.
        {Qt::Key_0, 77}, {Qt::Key_1, 78}, {Qt::Key_2, 79}, {Qt::Key_3, 80}, {Qt::Key_4, 81},
        {Qt::Key_5, 82}, {Qt::Key_6, 83}, {Qt::Key_7, 84}, {Qt::Key_8, 85}, {Qt::Key_9, 86},
        // F1-F24 are 93-116.
        {Qt::Key_F1, 93},   {Qt::Key_F2, 94},   {Qt::Key_F3, 95},   {Qt::Key_F4, 96},
        {Qt::Key_F5, 97},   {Qt::Key_F6, 98},   {Qt::Key_F7, 99},   {Qt::Key_F8, 100},
        {Qt::Key_F9, 101},  {Qt::Key_F10, 102}, {Qt::Key_F11, 103}, {Qt::Key_F12, 104},
        {Qt::Key_F13, 105}, {Qt::Key_F14, 106}, {Qt::Key_F15, 107}, {Qt::Key_F16, 108},
        {Qt::Key_F17, 109}, {Qt::Key_F18, 110}, {Qt::Key_F19, 111}, {Qt::Key_F20, 112},
        {Qt::Key_F21, 113}, {Qt::Key_F22, 114}, {Qt::Key_F23, 115}, {Qt::Key_F24, 116},
    };
    return keys;
}

} // namespace

TEST(KeyCodes, KnownQtKeysMapToTheirCodes)
{
    for (const KeyCase& c : KnownKeys())
        EXPECT_EQ(SysKeyToAUIKey(c.qtKey), c.code) << "Qt key 0x" << std::hex << c.qtKey;
}

TEST(KeyCodes, UnknownQtKeysGiveNoKey)
{
    const std::vector<int> unknown = {
        Qt::Key_Backtab, Qt::Key_SysReq, Qt::Key_F25, Qt::Key_F35, Qt::Key_Super_L, Qt::Key_Super_R,
        Qt::Key_Yes, Qt::Key_Direction_L, Qt::Key_unknown,
        Qt::Key_Exclam, Qt::Key_QuoteDbl, Qt::Key_Colon, Qt::Key_Equal, Qt::Key_At,
        Qt::Key_BracketLeft, Qt::Key_Underscore, Qt::Key_QuoteLeft, 'a', Qt::Key_AsciiTilde,
        Qt::Key_Adiaeresis, Qt::Key_ydiaeresis, 0x20AC /* euro sign */, 0x00FFFFFF,
        0, 0x1F, -1,
    };
    for (int qtKey : unknown)
        EXPECT_EQ(SysKeyToAUIKey(qtKey), Event::Key_None) << "Qt key 0x" << std::hex << qtKey;
}

TEST(KeyCodes, OnlyTheListedCodesAreSpecial)
{
    std::set<int> special = {2, 4, 5, 6, 9, 17, 23, 24, 25, 26, 27, 28, 29, 30, 34, 35, 36,
                             117, 118, 125, 126};
    for (int code = 93; code <= 116; ++code)
        if (code != 102)  // F10 is left to the application
            special.insert(code);
    for (int code = 0; code <= 160; ++code) {
        const KeyEvent event(Event::KeyPress, static_cast<Event::Key>(code), Event::NoModifier, L"", code);
        EXPECT_EQ(event.IsSpecialKey(), special.count(code) == 1) << "code " << code;
    }
}

TEST(KeyCodes, KeyEventTextFollowsTheKey)
{
    struct TextCase {
        int key;
        std::wstring given;
        std::wstring carried;
    };
    const std::vector<TextCase> cases = {
        {Event::Key_Backspace, L"", L"\b"},     // Qt often delivers no text for it
        {Event::Key_Backspace, L"xy", L"\b"},
        {Event::Key_Tab, L"\t", L""},
        {Event::Key_Left, L"", L""},
        {Event::Key_Return, L"\r", L""},
        {Event::Key_F1, L"x", L""},
        {Event::Key_F10, L"x", L"x"},           // not special
        {Event::Key_None, L"\u00e9", L"\u00e9"},  // an unlisted key keeps Qt's text
        {Event::Key_A, L"a", L"a"},
        {Event::Key_Decimal, L",", L","},
        {Event::Key_Space, L" ", L" "},
    };
    for (const TextCase& c : cases) {
        const KeyEvent event(Event::KeyPress, static_cast<Event::Key>(c.key), Event::ShiftModifier, c.given, 7);
        EXPECT_EQ(event.text, c.carried) << "key " << c.key;
        EXPECT_EQ(event.CorrectedText(c.given), c.carried) << "key " << c.key;
    }
}

TEST(KeyCodes, KeyEventKeepsItsFields)
{
    const KeyEvent event(Event::KeyRelease, Event::Key_Z,
                         static_cast<Event::Modifier>(Event::ShiftModifier | Event::AltModifier), L"Z",
                         Qt::Key_Z);
    EXPECT_EQ(event.type, 7);
    EXPECT_EQ(event.key, 73);
    EXPECT_EQ(event.modifiers, 0x0A000000u);
    EXPECT_EQ(event.nativeKey, Qt::Key_Z);
    EXPECT_EQ(event.text, L"Z");
    // A procedure reads the type through the base record.
    const Event* base = &event;
    EXPECT_EQ(base->type, Event::KeyRelease);
}
