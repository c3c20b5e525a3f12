#pragma once
// A dark application palette under the Fusion style for the pictures of a
// test, the earlier style and palette put back when it goes.
#include "AppLook.h"
#include "DarkPalette.h"

class DarkLook : public FusionLook
{
public:
    DarkLook() : FusionLook(DarkPalette()) {}
};
