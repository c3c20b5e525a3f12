#pragma once
// Small enumerations the controls exchange with the utilities. All are
// 32-bit; values outside the named ones may be passed and are mapped to a
// neutral answer by the functions that read them.
#include <cstdint>

namespace AUILib {

enum CheckBoxStates : std::int32_t
{
    CheckBoxUnchecked = 0,
    CheckBoxChecked = 1,
    CheckBoxIndeterminate = 2
};

// Horizontal text alignment of the label and the single-line edit.
enum TextAlign : std::int32_t
{
    TextAlignLeft = 0,
    TextAlignCenter = 1,
    TextAlignRight = 2
};

enum ScalePicture : std::int32_t
{
    ScaleKeep = 1,
    ScaleToWidth = 2,
    ScaleToHeight = 3,
    ScaleToSize = 4   // aspect ratio ignored
};

enum ImageTypes : std::int32_t
{
    ImageUnknown = 0,
    ImageBMP = 1,
    ImageGIF = 2,
    ImageJPEG = 3,
    ImagePNG = 4,
    ImageICO = 6,
    ImageCUR = 7
};

enum CursorTypes : std::int32_t
{
    CursorNormal = 0,      // back to the window's own cursor
    CursorCustom = 1,      // the dialog's custom cursor
    CursorWait = 2,
    CursorIBeam = 3,
    CursorCross = 4,
    CursorUpArrow = 5,
    CursorSizeAll = 6,
    CursorArrow = 7,
    CursorSizeNWSE = 8,
    CursorSizeNESW = 9,
    CursorSizeWE = 10,
    CursorSizeNS = 11,
    CursorMove = 12,
    CursorForbidden = 13,
    CursorOpenHand = 14
};

// Picture kind taken by the controls' picture loaders, which accept and
// ignore it.
enum BitmapType : std::int32_t
{
    BitmapDefault = 0
};

} // namespace AUILib
