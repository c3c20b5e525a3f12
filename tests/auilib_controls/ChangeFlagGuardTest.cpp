// The programmatic-change flag: raised for one change, put back however the
// change ends, kept up by an outer change when changes nest.
#include "BaseImplQt.h"
#include "ChangeFlagGuard.h"
#include "Label.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace AUILib;

TEST(ChangeFlagGuard, RaisesTheFlagForOneChangeAndRestoresWhatItFound)
{
    Label label;
    auto impl = std::dynamic_pointer_cast<BaseImplQt>(label.GetBaseImpl());
    ASSERT_TRUE(impl);
    ASSERT_FALSE(impl->IsChangeInProgress());
    {
        ChangeFlagGuard outer(*impl);
        EXPECT_TRUE(impl->IsChangeInProgress());
        {
            ChangeFlagGuard inner(*impl);
            EXPECT_TRUE(impl->IsChangeInProgress());
        }
        EXPECT_TRUE(impl->IsChangeInProgress());  // the outer change is not over
    }
    EXPECT_FALSE(impl->IsChangeInProgress());

    try {
        ChangeFlagGuard guard(*impl);
        throw std::runtime_error("change failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(impl->IsChangeInProgress());
}
