#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "support/RecordingOpener.h"
#include "ui/controls/LinkLabelCl.h"
#include "ui/main/AboutDlg.h"

namespace quillon {
namespace {

const QColor kFace(200, 210, 220);

struct BlendCase {
  QRgb before;
  QRgb after;
};

void PrintTo(const BlendCase& c, std::ostream* out) {
  *out << "rgb" << qRed(c.before) << '_' << qGreen(c.before) << '_' << qBlue(c.before);
}

class NearWhiteBlend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(NearWhiteBlend, OnlyPixelsAbove240InEveryComponentTakeTheFace) {
  QImage picture(1, 1, QImage::Format_RGB32);
  picture.setPixel(0, 0, GetParam().before);
  BlendNearWhite(picture, kFace);
  EXPECT_EQ(picture.pixel(0, 0), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Pixels, NearWhiteBlend,
                         ::testing::Values(BlendCase{qRgb(241, 241, 241), kFace.rgb()},
                                           BlendCase{qRgb(255, 255, 255), kFace.rgb()},
                                           BlendCase{qRgb(240, 250, 250), qRgb(240, 250, 250)},
                                           BlendCase{qRgb(250, 250, 240), qRgb(250, 250, 240)},
                                           BlendCase{qRgb(47, 85, 132), qRgb(47, 85, 132)}));

class AboutDlgTest : public ::testing::Test {
 protected:
  AboutDlgTest() { dialog.show(); }

  QString Text(const char* name) {
    auto* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<missing>");
  }
  QRect PicturePlace() {
    return dialog.findChild<QLabel*>(QStringLiteral("aboutPicture"))->geometry();
  }

  std::shared_ptr<RecordingOpener> opener = std::make_shared<RecordingOpener>();
  AboutDlg dialog{opener};
};

TEST_F(AboutDlgTest, TitleTextsAndMakerLink) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About Quillon Utility"));
  EXPECT_EQ(dialog.size(), QSize(404, 141));
  EXPECT_EQ(Text("productLine"), QStringLiteral("Quillon Utility 5.1a"));
  EXPECT_FALSE(Text("descriptionLine").isEmpty());
  EXPECT_EQ(Text("noteText"), QString());
  auto* maker = dialog.findChild<LinkLabelCl*>(QStringLiteral("makerLink"));
  ASSERT_NE(maker, nullptr);
  EXPECT_EQ(maker->text(), QStringLiteral("Quillon Systems"));
  QTest::mouseClick(maker, Qt::LeftButton, {}, QPoint(3, 3));
  EXPECT_EQ(opener->addresses, std::vector<std::string>{"https://quillon.example/"});
}

TEST_F(AboutDlgTest, PictureSitsInThePlaceOfItsHiddenControlOnTheFace) {
  const QRect place = PicturePlace();
  EXPECT_FALSE(dialog.findChild<QLabel*>(QStringLiteral("aboutPicture"))->isVisible());
  EXPECT_EQ(place.topLeft(), QPoint(6, 11));
  const QImage shown = dialog.grab().toImage();
  const QColor face = dialog.palette().color(QPalette::Window);
  // The picture's corner is its near-white background.
  EXPECT_EQ(shown.pixelColor(place.topLeft() + QPoint(1, 1)), face);
  EXPECT_EQ(dialog.Picture().pixelColor(1, 1), face);
  EXPECT_EQ(dialog.Picture().size(), AboutDlg::kPictureSize);
}

TEST_F(AboutDlgTest, BlendedOnTheFirstPaintOnly) {
  const QColor first_face = dialog.palette().color(QPalette::Window);
  dialog.grab();
  QPalette changed = dialog.palette();
  changed.setColor(QPalette::Window, Qt::red);
  dialog.setPalette(changed);
  const QImage shown = dialog.grab().toImage();
  EXPECT_EQ(shown.pixelColor(PicturePlace().topLeft() + QPoint(1, 1)), first_face);
}

TEST_F(AboutDlgTest, OkIsTheDefaultAndCloses) {
  auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->isDefault());
  QSignalSpy accepted(&dialog, &QDialog::accepted);
  QTest::mouseClick(ok, Qt::LeftButton);
  EXPECT_EQ(accepted.size(), 1);
  EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace quillon
