// The small box without a caption that says the program is closing while it waits for the
// search to end.
#pragma once

#include <QDialog>

class QLabel;

namespace quillon {

class ClosingBox : public QDialog {
  Q_OBJECT

 public:
  static constexpr QRgb kFillColour = qRgb(169, 189, 213);

  explicit ClosingBox(QWidget* parent = nullptr);
  QString Text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QLabel* text_;
};

}  // namespace quillon
