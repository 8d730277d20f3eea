#include <gtest/gtest.h>

#include "ui/controls/DialogUnits.h"

namespace quillon::dialog_units {
namespace {

TEST(DialogUnits, HalvesRoundUp) {
  EXPECT_EQ(Size(269, 87), QSize(404, 141));  // 403.5 x 141.375
  EXPECT_EQ(ToPixelsY(52), 85);               // 84.5
  EXPECT_EQ(ToPixelsX(4), 6);
  EXPECT_EQ(ToPixelsY(0), 0);
}

TEST(DialogUnits, ControlsThatMeetInUnitsMeetInPixels) {
  EXPECT_EQ(Rect(4, 7, 153, 67), QRect(6, 11, 230, 109));
  // One unit from y = 1 is 1.625 to 3.25 pixels: converting the height alone would give 2 pixels
  // and overlap the next row.
  const QRect upper = Rect(0, 1, 1, 1);
  const QRect lower = Rect(0, 2, 1, 1);
  EXPECT_EQ(upper.bottom() + 1, lower.top());
  const QRect left = Rect(3, 0, 5, 1);
  EXPECT_EQ(left.right() + 1, Rect(8, 0, 1, 1).left());
}

}  // namespace
}  // namespace quillon::dialog_units
