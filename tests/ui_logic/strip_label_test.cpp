#include "StripLabel.h"

#include <gtest/gtest.h>

using ui::LabelOrigin;
using ui::LabelPass;
using ui::LabelPasses;

TEST(StripLabel, CentredOnTheFrameAndOnTheStripHeight) {
  // Exit button: 106-wide frames of a 30-high strip in a 25-high window; the
  // vertical centre comes from the strip, and the dialog's offset (0, -2).
  auto p = LabelOrigin(106, 30, 20, 13, 0, -2);
  EXPECT_EQ(p.x, 43);
  EXPECT_EQ(p.y, 6);  // (30 - 13) / 2 - 2, not (25 - 13) / 2 - 2
}

TEST(StripLabel, WideLabelOverhangsBothSidesWithANegativeOffset) {
  // A browse button's 25-wide frame with a 35-pixel label.
  EXPECT_EQ(LabelOrigin(25, 23, 35, 13, 0, 0).x, -5);
  // Odd differences truncate toward zero, not toward minus infinity.
  EXPECT_EQ(LabelOrigin(25, 23, 36, 13, 0, 0).x, -5);
  EXPECT_EQ(LabelOrigin(10, 8, 11, 13, 0, 0).y, -2);
  EXPECT_EQ(LabelOrigin(10, 8, 11, 13, 0, 0).x, 0);
}

TEST(StripLabel, PassesByFrame) {
  LabelPass p[2];
  ASSERT_EQ(LabelPasses(ui::kFramePressed, p), 1);
  EXPECT_EQ(p[0].dx, 1);
  EXPECT_EQ(p[0].dy, 1);
  EXPECT_EQ(p[0].colour, LabelPass::Current);

  ASSERT_EQ(LabelPasses(ui::kFrameDisabled, p), 2);
  EXPECT_EQ(p[0].colour, LabelPass::Highlight);
  EXPECT_EQ(p[0].dx, 1);
  EXPECT_EQ(p[0].dy, 1);
  EXPECT_EQ(p[1].colour, LabelPass::Shadow);
  EXPECT_EQ(p[1].dx, 0);
  EXPECT_EQ(p[1].dy, 0);

  for (int f : {0, 1, 2, 5}) {
    ASSERT_EQ(LabelPasses(f, p), 1) << f;
    EXPECT_EQ(p[0].dx, 0);
    EXPECT_EQ(p[0].colour, LabelPass::Current);
  }
}
