#include "ui/main/SerialNumberDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/controls/DialogUnits.h"

namespace quillon {

SerialNumberDlg::SerialNumberDlg(QWidget* parent) : QDialog(parent) {
  using dialog_units::Rect;
  setObjectName(QStringLiteral("serialNumberDlg"));
  setWindowTitle(QStringLiteral("Set Serial Number"));
  setFont(dialog_units::Font());
  setFixedSize(dialog_units::Size(180, 30));

  auto* label = new QLabel(QStringLiteral("Input &Serial Number:"), this);
  label->setObjectName(QStringLiteral("serialNumberLabel"));
  label->setGeometry(Rect(7, 11, 76, 8));

  number_ = new QLineEdit(this);
  number_->setObjectName(QStringLiteral("serialNumberEdit"));
  number_->setGeometry(Rect(85, 9, 88, 12));
  number_->setMaxLength(kMaxNumberLength);
  label->setBuddy(number_);
  number_->setFocus();
}

void SerialNumberDlg::SetNumberText(const QString& text) {
  number_->setText(text);
  number_->selectAll();
}

QString SerialNumberDlg::NumberText() const {
  return number_->text();
}

// Without a default button a dialog does nothing on Enter; this one has no buttons at all.
void SerialNumberDlg::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      accept();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace quillon
