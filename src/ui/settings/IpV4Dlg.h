// The "IPv4 Address" page: how the card obtains its address (DHCP, BOOTP or static) and the
// address, mask and gateway. It is the sheet's first page and is also shown alone by the hidden
// "&IP Settings..." command. Its members follow every edit; the sheet and the command read them.
#pragma once

#include <QString>
#include <cstdint>

#include "flows/StandaloneFlows.h"
#include "ui/settings/SheetPage.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace quillon {

class IpAddressEdit;

class IpV4Dlg : public SheetPage {
  Q_OBJECT

 public:
  explicit IpV4Dlg(QWidget* parent = nullptr);

  // Opens the page on these values. BOOTP can be chosen only with the firmware variant K at the
  // full IPv4 level; the level also decides what DHCP shows.
  void Open(const Ipv4Entries& entries, bool firmware_k);
  // The members: the mode, the three addresses as last edited, the level and the hidden box.
  Ipv4Entries Entries() const;
  // The address the page showed when it had opened; a changed static address is tested against
  // the addresses in use.
  std::uint32_t OpeningAddress() const { return opening_address_; }

  QString Caption() const override;
  // Address (static mode), mask, gateway, mask contiguity.
  CheckResult LeaveCheck() override;
  QWidget* FieldWidget(SettingsField field) const override;

 private:
  void BuildControls();
  void OnDhcp();
  void OnBootp();
  void OnStatic();
  // The members into the controls: all three, or the address alone (DHCP below the full level).
  void ShowMembers(bool all_three);
  void SetAddressPartEnabled(bool enabled);
  bool FullIpv4Form() const;
  void OnMaskFocused();

  Ipv4Entries entries_;
  std::uint32_t opening_address_ = 0;

  QGroupBox* method_group_ = nullptr;
  QRadioButton* dhcp_ = nullptr;
  QRadioButton* bootp_ = nullptr;
  QRadioButton* static_ = nullptr;
  QGroupBox* address_group_ = nullptr;
  QLabel* address_label_ = nullptr;
  QLabel* mask_label_ = nullptr;
  QLabel* gateway_label_ = nullptr;
  IpAddressEdit* address_ = nullptr;
  IpAddressEdit* mask_ = nullptr;
  IpAddressEdit* gateway_ = nullptr;
  QCheckBox* dhcp_box_ = nullptr;  // never shown
};

}  // namespace quillon
