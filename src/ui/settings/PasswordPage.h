// The "Password" page: "En&able password setting" and the new password typed twice, hidden. When
// the card has a password, the sheet opens the page ticked with the placeholder "********" in
// both fields, which changes nothing when left in place. Also shown alone by the hidden
// "Set &Password..." command.
#pragma once

#include "ui/settings/SheetPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace quillon {

class PasswordPage : public SheetPage {
  Q_OBJECT

 public:
  // The fields take this many characters; the checks refuse what a card cannot take.
  static constexpr int kMaxTextLength = 30;

  explicit PasswordPage(QWidget* parent = nullptr);

  void Open(const PasswordEntries& entries);
  PasswordEntries Entries() const { return entries_; }

  QString Caption() const override;
  // When ticked: both texts equal, not empty, without a blank.
  CheckResult LeaveCheck() override;
  QWidget* FieldWidget(SettingsField field) const override;

 private:
  void OnTicked(bool ticked);

  PasswordEntries entries_;

  QCheckBox* enable_ = nullptr;
  QLabel* new_label_ = nullptr;
  QLabel* confirm_label_ = nullptr;
  QLineEdit* new_password_ = nullptr;
  QLineEdit* confirm_ = nullptr;
};

}  // namespace quillon
