#include "ui/settings/PasswordDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/controls/DialogUnits.h"

namespace quillon {

namespace {

QPushButton* AddButton(QWidget* parent, const char* name, const QString& text, QRect place) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(place);
  return button;
}

}  // namespace

PasswordDlg::PasswordDlg(QWidget* parent) : QDialog(parent) {
  using dialog_units::Rect;
  setObjectName(QStringLiteral("passwordDlg"));
  setWindowTitle(QStringLiteral("Password Input"));
  setFont(dialog_units::Font());
  setFixedSize(dialog_units::Size(190, 70));

  information_ = new QLabel(this);
  information_->setObjectName(QStringLiteral("informationLine"));
  information_->setGeometry(Rect(7, 7, 176, 8));
  information_->setTextFormat(Qt::PlainText);

  auto* label = new QLabel(QStringLiteral("Quillon Utility &Password:"), this);
  label->setObjectName(QStringLiteral("passwordLabel"));
  label->setGeometry(Rect(7, 21, 176, 8));

  password_ = new QLineEdit(this);
  password_->setObjectName(QStringLiteral("passwordEdit"));
  password_->setGeometry(Rect(7, 31, 176, 12));
  password_->setEchoMode(QLineEdit::Password);
  password_->setMaxLength(kMaxPasswordLength);
  label->setBuddy(password_);

  QPushButton* ok = AddButton(this, "okButton", QStringLiteral("OK"), Rect(79, 50, 50, 14));
  ok->setDefault(true);
  QPushButton* cancel =
      AddButton(this, "cancelButton", QStringLiteral("Cancel"), Rect(133, 50, 50, 14));
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  password_->setFocus();
}

void PasswordDlg::SetInformation(const QString& information) {
  information_->setText(information);
}

void PasswordDlg::SetPassword(const QString& password) {
  password_->setText(password);
  password_->selectAll();
}

QString PasswordDlg::Password() const {
  return password_->text();
}

}  // namespace quillon
