#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "ui/controls/HeaderCtrlCl.h"
#include "ui/controls/HoverButtonCl.h"
#include "ui/controls/ListCtrlCl.h"

namespace quillon {
namespace {

using Alignment = HeaderCtrlCl::Alignment;

QImage Grab(QWidget& widget) {
  return widget.grab().toImage();
}

// ---- HeaderCtrlCl

class HeaderTest : public ::testing::Test {
 protected:
  HeaderTest() {
    list.resize(300, 120);
    list.InsertColumn(QStringLiteral("One"), Alignment::kLeft, 100);
    list.InsertColumn(QStringLiteral("Two"), Alignment::kCentre, 100);
    list.show();
  }
  // A pixel of the band, away from the titles: past the last column.
  QColor BandPixel(int y) { return Grab(list.Header()).pixelColor(260, y); }

  ListCtrlCl list;
};

TEST_F(HeaderTest, FlatBandByDefault) {
  const int height = list.Header().height();
  for (int y : {0, height / 2, height - 1}) EXPECT_EQ(BandPixel(y), QColor(240, 240, 240)) << y;
}

TEST_F(HeaderTest, GradientDarkensEachRowUntilBlack) {
  HeaderLook look;
  look.gradient_step = 10;
  list.Header().SetLook(look);
  for (int y : {0, 1, 5, list.Header().height() - 1}) {
    EXPECT_EQ(BandPixel(y), BandRowColour(look, y)) << y;
  }
  EXPECT_EQ(BandRowColour(look, 1), QColor(230, 230, 230));
  EXPECT_EQ(BandRowColour(look, 24), QColor(0, 0, 0));
  EXPECT_EQ(BandRowColour(look, 30), QColor(0, 0, 0));
}

TEST_F(HeaderTest, LeftPixelColumnOfEachColumnIsLeftAsSeparator) {
  const QImage header = Grab(list.Header());
  const int y = list.Header().height() / 2;
  EXPECT_NE(header.pixelColor(100, y), QColor(240, 240, 240));
  EXPECT_EQ(header.pixelColor(101, y), QColor(240, 240, 240));
}

TEST_F(HeaderTest, HeightScaleMakesTheHeaderTallerAndTheRowsStartBelowIt) {
  const int normal = list.Header().sizeHint().height();
  list.SetHeaderHeightScale(1.5);
  QApplication::processEvents();
  EXPECT_EQ(list.Header().sizeHint().height(), static_cast<int>(normal * 1.5));
  EXPECT_EQ(list.viewport()->geometry().top() - list.frameWidth(), list.Header().height());
}

TEST(HeaderTitleFont, FitsTheCellHeight) {
  for (int cell : {12, 15, 22}) {
    const QFont font = TitleFont(cell);
    EXPECT_LE(QFontMetrics(font).height(), cell) << cell;
    EXPECT_TRUE(font.bold());
  }
}

// ---- ListCtrlCl

class ListTest : public ::testing::Test {
 protected:
  ListTest() {
    list.resize(300, 200);
    list.InsertColumn(QStringLiteral("Key"), Alignment::kLeft, 100);
    list.InsertColumn(QStringLiteral("Text"), Alignment::kLeft, 100);
  }
  QStringList Column0() {
    QStringList texts;
    for (int row = 0; row < list.RowCount(); ++row) texts << list.ItemText(row, 0);
    return texts;
  }
  ListCtrlCl list;
};

TEST_F(ListTest, RowKeepsTheTextsItWasAddedWith) {
  const int row = list.AddRow({QStringLiteral("1358954496"), QStringLiteral("a")});
  list.SetItemText(row, 1, QStringLiteral("shown only"));
  EXPECT_EQ(row, 0);
  EXPECT_EQ(list.RowTexts(0), (QStringList{QStringLiteral("1358954496"), QStringLiteral("a")}));
  EXPECT_EQ(list.ItemText(0, 0), QStringLiteral("1358954496"));
  EXPECT_EQ(list.ItemText(0, 1), QStringLiteral("shown only"));
  EXPECT_TRUE(list.RowTexts(5).isEmpty());
}

TEST_F(ListTest, SortsByRecordTextBothWays) {
  for (const char* key : {"1358954498", "1358954496", "1358954497"}) {
    list.AddRow({QString::fromLatin1(key)});
  }
  list.SortRows(0, /*ascending=*/false);
  EXPECT_EQ(Column0(), (QStringList{"1358954498", "1358954497", "1358954496"}));
  list.SortRows(0, /*ascending=*/true);
  EXPECT_EQ(Column0(), (QStringList{"1358954496", "1358954497", "1358954498"}));
}

TEST_F(ListTest, ShownTextThatIsNotInTheRecordIsNoSortKey) {
  list.SetItemText(list.AddRow({QStringLiteral("b")}), 1, QStringLiteral("1"));
  list.SetItemText(list.AddRow({QStringLiteral("a")}), 1, QStringLiteral("2"));
  list.SortRows(1, /*ascending=*/false);
  EXPECT_EQ(Column0(), (QStringList{"b", "a"})) << "every key is empty, so the order stays";
}

TEST_F(ListTest, SelectedRowIsHighlightedWithoutFocus) {
  list.AddRow({QStringLiteral("first")});
  list.AddRow({QStringLiteral("second")});
  list.SelectRow(1, true);
  list.show();
  list.clearFocus();
  ASSERT_FALSE(list.hasFocus());
  const QImage image = list.viewport()->grab().toImage();
  const int x = 250;  // right of the texts
  const int row_height = list.RowHeight();
  EXPECT_EQ(image.pixelColor(x, row_height / 2), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(x, row_height + row_height / 2), QColor(ListCtrlCl::kHighlightColour));
}

TEST_F(ListTest, ClickReportsTheRowOrMinusOneOutsideEveryRow) {
  list.AddRow({QStringLiteral("only")});
  list.show();
  QSignalSpy clicks(&list, &ListCtrlCl::Clicked);
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(20, list.RowHeight() / 2));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(20, 150));
  ASSERT_EQ(clicks.size(), 2);
  EXPECT_EQ(clicks[0][0].toInt(), 0);
  EXPECT_EQ(clicks[1][0].toInt(), -1);
}

// ---- HoverButtonCl

QPixmap Solid(QColor colour) {
  QPixmap picture(126, 67);
  picture.fill(colour);
  return picture;
}

class HoverButtonTest : public ::testing::Test {
 protected:
  using Face = HoverButtonCl::Face;

  HoverButtonTest() {
    ButtonSkin skin;
    skin.normal = Solid(Qt::red);
    skin.hover = Solid(Qt::green);
    skin.pressed = Solid(Qt::blue);
    button.SetSkin(skin);
    button.resize(126, 67);
    button.show();
  }
  void MoveOnto() { QTest::mouseMove(&button, kInside); }
  void Leave() {
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
  }
  QColor Shown() { return Grab(button).pixelColor(60, 30); }

  static constexpr QPoint kInside{60, 30};
  static constexpr QPoint kOutside{300, 30};
  HoverButtonCl button;
};

TEST_F(HoverButtonTest, HoverPictureWhileTheMouseIsOver) {
  EXPECT_EQ(Shown(), QColor(Qt::red));
  MoveOnto();
  EXPECT_EQ(button.CurrentFace(), Face::kHover);
  EXPECT_EQ(Shown(), QColor(Qt::green));
  Leave();
  EXPECT_EQ(Shown(), QColor(Qt::red));
}

TEST_F(HoverButtonTest, DraggingOffAndOnWhilePressedAndReleasingOutsideGivesNoClick) {
  QSignalSpy clicks(&button, &QAbstractButton::clicked);
  QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
  EXPECT_EQ(Shown(), QColor(Qt::blue));
  QTest::mouseMove(&button, kOutside);
  EXPECT_EQ(button.CurrentFace(), Face::kNormal);
  QTest::mouseMove(&button, kInside);
  EXPECT_EQ(button.CurrentFace(), Face::kPressed);
  QTest::mouseMove(&button, kOutside);
  QTest::mouseRelease(&button, Qt::LeftButton, {}, kOutside);
  EXPECT_EQ(clicks.size(), 0);
  EXPECT_EQ(button.CurrentFace(), Face::kNormal);
}

TEST_F(HoverButtonTest, DisabledShowsTheNormalPictureAndNoHover) {
  button.setEnabled(false);
  MoveOnto();
  EXPECT_EQ(button.CurrentFace(), Face::kDisabled);
  EXPECT_EQ(Shown(), QColor(Qt::red));
}

TEST_F(HoverButtonTest, DoubleClickGivesOneClickPerPress) {
  QSignalSpy clicks(&button, &QAbstractButton::clicked);
  // What the window system sends for a fast double click: the second press is a double-click.
  QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
  QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
  QMouseEvent second_press(QEvent::MouseButtonDblClick, QPointF(kInside),
                           QPointF(button.mapToGlobal(kInside)), Qt::LeftButton, Qt::LeftButton,
                           Qt::NoModifier);
  QApplication::sendEvent(&button, &second_press);
  QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
  EXPECT_EQ(clicks.size(), 2);
}

TEST(HoverButtonSkin, FocusInsetWithTheTopBitSetMeansNone) {
  HoverButtonCl button;
  ButtonSkin skin;
  skin.focus_inset = 0x8003;
  button.SetSkin(skin);
  EXPECT_EQ(button.Skin().focus_inset, 0);
  skin.focus_inset = 3;
  button.SetSkin(skin);
  EXPECT_EQ(button.Skin().focus_inset, 3);
}

}  // namespace
}  // namespace quillon
