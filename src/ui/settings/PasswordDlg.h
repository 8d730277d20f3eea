// The password prompt: an information line (for instance the card's MAC address), the password
// field with its characters hidden, OK and Cancel.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

namespace quillon {

class PasswordDlg : public QDialog {
  Q_OBJECT

 public:
  // A card takes passwords of up to 15 characters.
  static constexpr int kMaxPasswordLength = 15;

  explicit PasswordDlg(QWidget* parent = nullptr);

  // Empty unless set.
  void SetInformation(const QString& information);
  // The field's initial text.
  void SetPassword(const QString& password);
  QString Password() const;

 private:
  QLabel* information_ = nullptr;
  QLineEdit* password_ = nullptr;
};

}  // namespace quillon
