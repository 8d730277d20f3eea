// The About box: the program's picture, name and version, and a link to the maker's site.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

class QLabel;

namespace quillon {

class LinkLabelCl;
class UrlOpener;

class AboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr QSize kPictureSize{230, 92};

  // The maker link opens through `opener` (the desktop's when none is given).
  explicit AboutDlg(std::shared_ptr<UrlOpener> opener = nullptr, QWidget* parent = nullptr);

  // The picture as it is painted; its near-white background becomes the face colour on the first
  // paint.
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
  bool prepared_ = false;
  QLabel* picture_place_ = nullptr;  // hidden: marks where the picture goes
};

// Every pixel whose red, green and blue are all above 240 becomes `face`, so that a picture drawn
// on white sits on the dialog without a box around it.
void BlendNearWhite(QImage& picture, QColor face);

}  // namespace quillon
