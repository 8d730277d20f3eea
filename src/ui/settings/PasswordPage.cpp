#include "ui/settings/PasswordPage.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <initializer_list>

namespace quillon {

namespace {

QLineEdit* HiddenEdit(QWidget* parent, const char* name, QRect place) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(place);
  edit->setEchoMode(QLineEdit::Password);
  edit->setMaxLength(PasswordPage::kMaxTextLength);
  return edit;
}

QLabel* Label(QWidget* parent, const char* text, const char* name, QRect place) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(place);
  return label;
}

}  // namespace

PasswordPage::PasswordPage(QWidget* parent) : SheetPage(parent) {
  using dialog_units::Rect;
  setObjectName(QStringLiteral("passwordPage"));
  auto* group = new QGroupBox(QStringLiteral("Device Password"), this);
  group->setObjectName(QStringLiteral("passwordGroup"));
  group->setGeometry(Rect(7, 7, 226, 78));
  enable_ = new QCheckBox(QStringLiteral("En&able password setting"), this);
  enable_->setObjectName(QStringLiteral("enableBox"));
  enable_->setGeometry(Rect(16, 22, 200, 10));
  new_label_ = Label(this, "&New password:", "newPasswordLabel", Rect(16, 44, 70, 8));
  new_password_ = HiddenEdit(this, "newPasswordEdit", Rect(90, 42, 120, 12));
  new_label_->setBuddy(new_password_);
  confirm_label_ = Label(this, "&Confirm password:", "confirmLabel", Rect(16, 64, 70, 8));
  confirm_ = HiddenEdit(this, "confirmEdit", Rect(90, 62, 120, 12));
  confirm_label_->setBuddy(confirm_);

  connect(enable_, &QCheckBox::clicked, this, &PasswordPage::OnTicked);
  connect(new_password_, &QLineEdit::textChanged, this,
          [this](const QString& text) { entries_.new_password = text.toStdString(); });
  connect(confirm_, &QLineEdit::textChanged, this,
          [this](const QString& text) { entries_.confirm = text.toStdString(); });
}

QString PasswordPage::Caption() const {
  return QStringLiteral("Password");
}

void PasswordPage::Open(const PasswordEntries& entries) {
  enable_->setChecked(entries.enabled);
  new_password_->setText(QString::fromStdString(entries.new_password));
  confirm_->setText(QString::fromStdString(entries.confirm));
  entries_ = entries;
  // Only the fields: their labels stay as they are until the box is clicked.
  new_password_->setEnabled(entries.enabled);
  confirm_->setEnabled(entries.enabled);
}

void PasswordPage::OnTicked(bool ticked) {
  entries_.enabled = ticked;
  for (QWidget* widget :
       std::initializer_list<QWidget*>{new_label_, confirm_label_, new_password_, confirm_}) {
    widget->setEnabled(ticked);
  }
}

CheckResult PasswordPage::LeaveCheck() {
  return PasswordEntriesCheck(entries_);
}

QWidget* PasswordPage::FieldWidget(SettingsField field) const {
  return field == SettingsField::kNewPassword ? new_password_ : nullptr;
}

}  // namespace quillon
