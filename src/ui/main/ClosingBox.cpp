#include "ui/main/ClosingBox.h"

#include <QGroupBox>
#include <QLabel>
#include <QPainter>

#include "ui/main/StringTable.h"

namespace quillon {

// Laid out as a 174 x 32 dialog-unit box in the "System" font: two pixels a unit.
ClosingBox::ClosingBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), text_(new QLabel(this)) {
  setObjectName(QStringLiteral("closingBox"));
  setModal(false);
  setFixedSize(348, 64);
  auto* frame = new QGroupBox(this);
  frame->setGeometry(12, 4, 324, 50);
  text_->setObjectName(QStringLiteral("closingText"));
  text_->setGeometry(32, 22, 292, 20);
  text_->setText(QString::fromLatin1(strings::kClosing));
  text_->raise();
}

QString ClosingBox::Text() const {
  return text_->text();
}

void ClosingBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), QColor(kFillColour));
}

}  // namespace quillon
