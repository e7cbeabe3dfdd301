#include <gtest/gtest.h>

#include "core/color.h"
#include "core/geometry.h"

TEST(Geometry, RectangleEdgesAreHalfOpen)
{
    const CRect r(10, 20, 30, 40);
    EXPECT_EQ(r.Width(), 20);
    EXPECT_EQ(r.Height(), 20);
    EXPECT_TRUE(r.PtInRect({10, 20}));
    EXPECT_FALSE(r.PtInRect({30, 20}));
    EXPECT_FALSE(r.PtInRect({10, 40}));
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
}

TEST(Geometry, IntersectAndUnion)
{
    CRect out;
    EXPECT_TRUE(out.IntersectRect({0, 0, 10, 10}, {5, 5, 20, 20}));
    EXPECT_EQ(out, CRect(5, 5, 10, 10));
    EXPECT_FALSE(out.IntersectRect({0, 0, 10, 10}, {10, 0, 20, 10}));
    EXPECT_EQ(out, CRect());
    EXPECT_TRUE(out.UnionRect({}, {1, 2, 3, 4}));
    EXPECT_EQ(out, CRect(1, 2, 3, 4));
    EXPECT_TRUE(out.UnionRect({0, 0, 1, 1}, {5, 5, 6, 7}));
    EXPECT_EQ(out, CRect(0, 0, 6, 7));
}

TEST(Color, ByteOrders)
{
    EXPECT_EQ(RGB(0x11, 0x22, 0x33), 0x00332211u);
    EXPECT_EQ(GetRValue(0x00332211u), 0x11);
    EXPECT_EQ(GetBValue(0x00332211u), 0x33);
    EXPECT_EQ(ColorRefToARGB(0x00332211u), 0xFF112233u);
    EXPECT_EQ(ARGBToColorRef(0x80112233u), 0x00332211u);
}
