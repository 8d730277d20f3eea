#include <gtest/gtest.h>

#include "ui/main/MainLayout.h"
#include "ui/main/SelectionTexts.h"

namespace quillon {
namespace {

using InfoBox = RowChangeTexts::InfoBox;

TEST(SelectionTexts, AfterARowChange) {
  struct Case {
    int selected;
    bool searching;
    const char* count_box;
    InfoBox info_box;
  };
  const Case cases[] = {
      {0, false, "Select 0 of 7", InfoBox::kEmpty},
      {1, false, "Select 1 of 7", InfoBox::kDeviceInfo},
      {3, false, "Select 3 of 7", InfoBox::kEmpty},
      {0, true, "Select 0 item", InfoBox::kUnchanged},
      {1, true, "Select 1 item", InfoBox::kUnchanged},
      {2, true, "Select 2 items", InfoBox::kUnchanged},
  };
  for (const Case& c : cases) {
    const RowChangeTexts texts = TextsAfterRowChange(c.selected, c.searching, 7);
    EXPECT_EQ(texts.count_box, QString::fromLatin1(c.count_box)) << c.selected << c.searching;
    EXPECT_EQ(texts.info_box, c.info_box) << c.selected << c.searching;
  }
}

TEST(MainLayout, ListShowsOnlyWholeRowsUnderItsHeader) {
  struct Case {
    int header;
    int row;
    QRect list;
  };
  const Case cases[] = {
      // (186 - 30) % 17 = 3: one pixel off the top.
      {30, 17, QRect(204, 170, 412, 185)},
      // (186 - 24) % 18 = 0: the list grows by two pixels.
      {24, 18, QRect(204, 167, 412, 188)},
  };
  for (const Case& c : cases) {
    const QRect list = main_layout::ListRect(c.header, c.row);
    EXPECT_EQ(list, c.list) << c.header << " " << c.row;
    EXPECT_EQ(list.bottom(), main_layout::kListArea.bottom());
  }
}

TEST(MainLayout, ColumnsFillTheListBesideTheScrollBar) {
  const main_layout::ColumnWidths normal = main_layout::Columns(110, 16, /*high_dpi=*/false);
  EXPECT_EQ(normal.serial, 92);
  EXPECT_EQ(normal.mac, 135);
  EXPECT_EQ(normal.ipv4, 319 - 16 - 135);
  EXPECT_EQ(main_layout::Columns(110, 16, /*high_dpi=*/true).mac, 122);
}

}  // namespace
}  // namespace quillon
