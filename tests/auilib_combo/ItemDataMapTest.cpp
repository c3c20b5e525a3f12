// The item value store: ids only grow (also across Clear), values are
// copies, missing ids or columns read as empty, setting an unknown id adds.
#include "ItemDataMap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using AUILib::any;
using AUILib::any_cast;
using AUILib::ItemDataMap;

TEST(ItemDataMap, IdsValuesAndColumns)
{
    ItemDataMap map;
    map.SetNextId(1);
    std::string text = "first";
    EXPECT_EQ(map.Add(0, any(text)), 1);
    text = "changed";  // the map holds its own copy
    EXPECT_EQ(any_cast<std::string>(map.Get(1, 0)), "first");
    EXPECT_EQ(map.Add(2, any()), 2);  // id without a column
    EXPECT_TRUE(map.Contains(2));
    EXPECT_FALSE(map.Get(2, 2).has_value());
    EXPECT_FALSE(map.Get(1, 1).has_value());
    EXPECT_FALSE(map.Get(99, 0).has_value());

    EXPECT_EQ(map.Set(1, 1, any(7)), 1);
    EXPECT_EQ(any_cast<int>(map.Get(1, 1)), 7);
    EXPECT_EQ(map.Set(1, 1, any()), 1);  // an empty value removes the column
    EXPECT_FALSE(map.Get(1, 1).has_value());
    EXPECT_EQ(map.Set(42, 0, any(3)), 3);  // unknown id: a new one
    EXPECT_EQ(any_cast<int>(map.Get(3, 0)), 3);

    EXPECT_TRUE(map.Erase(3));
    EXPECT_FALSE(map.Erase(3));
    map.Clear();
    EXPECT_EQ(map.Size(), 0u);
    EXPECT_EQ(map.Add(0, any(1)), 4);  // never reused
}

} // namespace
