// The "IPv6 Address" page, for cards at level 33: how the card obtains its IPv6 address, and for
// "Manual" the address, prefix length and gateway, as texts in brackets as the card keeps them.
// The page has no leave check; the sheet checks its entries on OK once its tab has been opened.
#pragma once

#include "ui/settings/SheetPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace quillon {

class IpV6Dlg : public SheetPage {
  Q_OBJECT

 public:
  explicit IpV6Dlg(QWidget* parent = nullptr);

  void Open(const Ipv6Entries& entries);
  // The method chosen and the three texts as typed.
  Ipv6Entries Entries() const { return entries_; }

  QString Caption() const override;
  QWidget* FieldWidget(SettingsField field) const override;

 private:
  void BuildControls();
  void BuildHiddenControls();
  void OnMethodChosen(int index);
  void SetManualPartEnabled(bool enabled);

  Ipv6Entries entries_;

  QComboBox* method_ = nullptr;
  QGroupBox* address_group_ = nullptr;
  QLabel* address_label_ = nullptr;
  QLabel* prefix_label_ = nullptr;
  QLabel* gateway_label_ = nullptr;
  QLineEdit* address_ = nullptr;
  QLineEdit* prefix_ = nullptr;
  QLineEdit* gateway_ = nullptr;
};

}  // namespace quillon
