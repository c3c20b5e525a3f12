// A skin manager tells its owner implementation about colour changes.
#include "BaseImplQt.h"
#include "SkinManager.h"

#include <gtest/gtest.h>

using namespace AUILib;

namespace {

class CountingImpl : public BaseImplQt {
public:
    QWidget* GetWndPtr() override { return nullptr; }
    void OnSkinColorChanged() override { ++changes; }
    int changes = 0;
};

} // namespace

TEST(SkinOwner, IsToldOncePerColourChange)
{
    CountingImpl owner;
    SkinManager skin(&owner, SkinModeDefault);
    EXPECT_EQ(skin.GetOwner(), &owner);
    skin.SetColorChangeFlag(true);
    EXPECT_EQ(owner.changes, 1);
    skin.SetColorChangeFlag(true);
    EXPECT_EQ(owner.changes, 2);
    skin.SetColorChangeFlag(false);
    EXPECT_EQ(owner.changes, 2);

    // A manager that takes over this skin tells the same owner.
    SkinManager custom(SkinModeDefault);
    custom.SetColorChangeFlag(true);  // no owner: nobody to tell
    custom.SetCustomSkin(skin);
    custom.SetColorChangeFlag(true);
    EXPECT_EQ(owner.changes, 3);

    // The base implementation's own answer does nothing.
    BaseImplQt& base = owner;
    base.BaseImplQt::OnSkinColorChanged();
    EXPECT_EQ(owner.changes, 3);
}
