// The packed size policy against Qt's, and recursive enabling.
#include "BaseImplQt.h"
#include "ChildDialog.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSizePolicy>
#include <QWidget>

#include <cstring>
#include <vector>

using namespace AUILib;

namespace {

uint32_t Word(const SizePolicy& policy)
{
    uint32_t word;
    static_assert(sizeof(word) == sizeof(policy), "one word");
    std::memcpy(&word, &policy, sizeof(word));
    return word;
}

} // namespace

TEST(SizePolicy, RoundTripsThroughTheWidget)
{
    struct Row {
        const char* name;
        QSizePolicy::Policy horizontal;
        QSizePolicy::Policy vertical;
        QSizePolicy::ControlType type;
        int horizontalStretch;
        int verticalStretch;
        bool heightForWidth;
        bool widthForHeight;
        bool retain;
        QSizePolicy::ControlType typeAfter;
    };
    const Row rows[] = {
        {"preferred, no extras", QSizePolicy::Preferred, QSizePolicy::Preferred, QSizePolicy::DefaultType, 0, 0,
         false, false, false, QSizePolicy::DefaultType},
        {"mixed policies and stretches", QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::CheckBox, 3, 200,
         true, false, false, QSizePolicy::CheckBox},
        {"frame type, width for height", QSizePolicy::Ignored, QSizePolicy::MinimumExpanding, QSizePolicy::Frame,
         255, 1, false, true, false, QSizePolicy::Frame},
        {"retained size is not kept", QSizePolicy::Maximum, QSizePolicy::Minimum, QSizePolicy::ButtonBox, 7, 9,
         true, true, true, QSizePolicy::ButtonBox},
        {"type above Frame falls back", QSizePolicy::Fixed, QSizePolicy::Expanding, QSizePolicy::GroupBox, 1, 2,
         false, false, false, QSizePolicy::DefaultType},
        {"highest type falls back", QSizePolicy::Preferred, QSizePolicy::Fixed, QSizePolicy::ToolButton, 0, 0, false,
         false, false, QSizePolicy::DefaultType},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ChildDialog control;
        QWidget* widget = control.GetBaseImpl()->GetWndPtr();
        QSizePolicy qt(row.horizontal, row.vertical, row.type);
        qt.setHorizontalStretch(row.horizontalStretch);
        qt.setVerticalStretch(row.verticalStretch);
        qt.setHeightForWidth(row.heightForWidth);
        qt.setWidthForHeight(row.widthForHeight);
        qt.setRetainSizeWhenHidden(row.retain);
        widget->setSizePolicy(qt);

        const SizePolicy packed = control.GetSizePolicy();
        const uint32_t word = Word(packed);
        EXPECT_EQ(word & 0xFF, static_cast<uint32_t>(row.horizontalStretch));
        EXPECT_EQ((word >> 8) & 0xFF, static_cast<uint32_t>(row.verticalStretch));
        EXPECT_EQ((word >> 16) & 0xF, static_cast<uint32_t>(row.horizontal));
        EXPECT_EQ((word >> 20) & 0xF, static_cast<uint32_t>(row.vertical));
        EXPECT_EQ((word >> 24) & 0x1F, static_cast<uint32_t>(row.type) & 0x1F);
        EXPECT_EQ((word >> 29) & 1, row.heightForWidth ? 1u : 0u);
        EXPECT_EQ((word >> 30) & 1, row.widthForHeight ? 1u : 0u);
        EXPECT_EQ((word >> 31) & 1, row.retain ? 1u : 0u);

        control.SetSizePolicy(packed);
        const QSizePolicy back = widget->sizePolicy();
        EXPECT_EQ(back.horizontalPolicy(), row.horizontal);
        EXPECT_EQ(back.verticalPolicy(), row.vertical);
        EXPECT_EQ(back.horizontalStretch(), row.horizontalStretch);
        EXPECT_EQ(back.verticalStretch(), row.verticalStretch);
        EXPECT_EQ(back.hasHeightForWidth(), row.heightForWidth);
        EXPECT_EQ(back.hasWidthForHeight(), row.widthForHeight);
        EXPECT_FALSE(back.retainSizeWhenHidden());
        EXPECT_EQ(back.controlType(), row.typeAfter);
        delete widget;
    }
}

TEST(SizePolicy, RecursiveEnableOfADeepChainSetsEachWidgetOnce)
{
    // Visiting every widget again per ancestor level costs 2^depth steps:
    // minutes at this depth, against microseconds for one visit each.
    constexpr int kDepth = 24;
    ChildDialog control;
    QWidget* top = control.GetBaseImpl()->GetWndPtr();
    std::vector<QWidget*> chain{top};
    for (int i = 1; i < kDepth; ++i)
        chain.push_back(new QWidget(chain.back()));
    chain.push_back(new QWidget(chain[5]));  // a side branch

    QElapsedTimer clock;
    clock.start();
    control.Enable(false, true);
    EXPECT_LT(clock.elapsed(), 2000);
    for (QWidget* widget : chain) {
        EXPECT_FALSE(widget->isEnabled());
        EXPECT_FALSE(widget->isEnabledTo(widget->parentWidget()));  // set on each, not inherited
    }

    control.Enable(true, true);
    for (QWidget* widget : chain)
        EXPECT_TRUE(widget->isEnabled());

    control.Enable(false, false);
    EXPECT_FALSE(top->isEnabled());
    EXPECT_TRUE(chain[1]->isEnabledTo(top));  // only the widget itself
    delete top;
}
