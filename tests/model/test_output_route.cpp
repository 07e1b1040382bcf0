// Routing toggles: the table, the image byte the limiter item carries, and the change mark.
#include "model/OutputRoute.h"

#include "model/KTV_Data.h"
#include "model/KTV_OutData.h"

#include <gtest/gtest.h>

namespace {

int RouteByte(int c)
{
    std::lock_guard lock(g_csImage);
    return g_CurImage.Item(OBJ_OUTPUT, c, CKTV_OutData::kLimitItem)[7];
}

}  // namespace

TEST(OutputRoute, AToggleReachesTheImageByteOnceAndMarksTheLimiterItem)
{
    ResetDeviceImageGlobals();
    CKTV_Data tree;
    CKTV_OutData &out = *tree.GetOut(3);

    EXPECT_TRUE(SetOutputRouteBit(3, 4, 1));
    EXPECT_TRUE(SetOutputRouteBit(3, 0, 1));
    EXPECT_EQ(RouteByte(3), 0b10001);
    EXPECT_EQ(out.GetLimitChanged(), 1);

    // The same state reported again marks nothing.
    out.SetLimitStamp(0);
    EXPECT_FALSE(SetOutputRouteBit(3, 4, 1));
    EXPECT_EQ(out.GetLimitChanged(), 0);

    EXPECT_TRUE(SetOutputRouteBit(3, 4, 0));
    EXPECT_EQ(RouteByte(3), 0b00001);
    EXPECT_EQ(RouteByte(2), 0) << "only output 3 changes";

    // Indexes from a message outside the table change nothing.
    for (auto [c, e] : {std::pair{8, 0}, {-1, 0}, {3, 8}, {3, -1}})
        EXPECT_FALSE(SetOutputRouteBit(c, e, 1)) << c << "," << e;

    // A device read brings the bits back into the table.
    {
        std::lock_guard lock(g_csImage);
        g_CurImage.Item(OBJ_OUTPUT, 6, CKTV_OutData::kLimitItem)[7] = 0b110;
    }
    LoadOutputRouteBits();
    EXPECT_EQ(g_OutRouteBits[6][1].load(), 1);
    EXPECT_EQ(g_OutRouteBits[6][2].load(), 1);
    EXPECT_EQ(g_OutRouteBits[6][0].load(), 0);
    EXPECT_EQ(g_OutRouteBits[3][0].load(), 1);
    ResetDeviceImageGlobals();
}
