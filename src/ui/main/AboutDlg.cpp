#include "ui/main/AboutDlg.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "ui/controls/DialogUnits.h"
#include "ui/controls/FaceColour.h"
#include "ui/controls/LinkLabelCl.h"
#include "ui/controls/Pictures.h"

namespace quillon {

namespace {

constexpr char kMakerName[] = "Quillon Systems";
constexpr char kMakerSite[] = "https://quillon.example/";

QImage LoadPicture() {
  QImage picture(AboutDlg::kPictureSize, QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawPixmap(0, 0,
                     RenderSvg(QStringLiteral(":/pictures/about-box.svg"), AboutDlg::kPictureSize));
  return picture;
}

QLabel* AddText(QWidget* parent, const char* name, const QString& text, QRect place) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(place);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

}  // namespace

void BlendNearWhite(QImage& picture, QColor face) {
  constexpr int kNearWhite = 240;
  const QRgb replacement = face.rgb();
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const QRgb pixel = picture.pixel(x, y);
      if (qRed(pixel) > kNearWhite && qGreen(pixel) > kNearWhite && qBlue(pixel) > kNearWhite) {
        picture.setPixel(x, y, replacement);
      }
    }
  }
}

AboutDlg::AboutDlg(std::shared_ptr<UrlOpener> opener, QWidget* parent)
    : QDialog(parent), picture_(LoadPicture()) {
  using dialog_units::Rect;
  setObjectName(QStringLiteral("aboutDlg"));
  setWindowTitle(QStringLiteral("About Quillon Utility"));
  setFont(dialog_units::Font());
  setFixedSize(dialog_units::Size(269, 87));

  picture_place_ = new QLabel(this);
  picture_place_->setObjectName(QStringLiteral("aboutPicture"));
  picture_place_->setGeometry(Rect(4, 7, 153, 67));
  picture_place_->hide();

  AddText(this, "productLine", QStringLiteral("Quillon Utility 5.1a"), Rect(164, 8, 97, 8));
  AddText(this, "descriptionLine", QStringLiteral("Management card utility"),
          Rect(161, 24, 100, 8));

  auto* maker = new LinkLabelCl(QString::fromLatin1(kMakerName), QString(), this);
  maker->setObjectName(QStringLiteral("makerLink"));
  maker->setGeometry(Rect(163, 39, 98, 8));
  maker->SetOpener(std::move(opener));
  maker->SetUrl(QString::fromLatin1(kMakerSite));

  AddText(this, "noteText", QString(), Rect(217, 52, 35, 12));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setGeometry(Rect(216, 66, 46, 14));
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  if (!prepared_) {
    BlendNearWhite(picture_, FaceColour(*this));
    prepared_ = true;
  }
  QPainter painter(this);
  painter.drawImage(picture_place_->geometry().topLeft(), picture_);
}

}  // namespace quillon
