#include "ui/settings/IpV4Dlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <initializer_list>

#include "protocol/ConfigSettings.h"
#include "ui/controls/IpAddressEdit.h"

namespace quillon {

namespace {

constexpr std::uint32_t kDefaultMask = 0xFFFFFF00;  // 255.255.255.0

void SetEnabled(std::initializer_list<QWidget*> widgets, bool enabled) {
  for (QWidget* widget : widgets) widget->setEnabled(enabled);
}

template <typename T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

IpV4Dlg::IpV4Dlg(QWidget* parent) : SheetPage(parent) {
  setObjectName(QStringLiteral("ipv4Page"));
  BuildControls();
}

QString IpV4Dlg::Caption() const {
  return QStringLiteral("IPv4 Address");
}

void IpV4Dlg::BuildControls() {
  using dialog_units::Rect;
  method_group_ =
      Named(new QGroupBox(QStringLiteral("Address Configuration"), this), "methodGroup");
  method_group_->setGeometry(Rect(7, 7, 226, 58));
  dhcp_ = Named(new QRadioButton(QStringLiteral("Obtain IP address by &DHCP"), this), "dhcpRadio");
  dhcp_->setGeometry(Rect(16, 20, 208, 10));
  bootp_ =
      Named(new QRadioButton(QStringLiteral("Obtain IP address by &BOOTP"), this), "bootpRadio");
  bootp_->setGeometry(Rect(16, 34, 208, 10));
  static_ = Named(new QRadioButton(QStringLiteral("Use following S&tatic IP address"), this),
                  "staticRadio");
  static_->setGeometry(Rect(16, 48, 208, 10));
  auto* radios = new QButtonGroup(this);
  for (QRadioButton* radio : {dhcp_, bootp_, static_}) radios->addButton(radio);

  address_group_ = Named(new QGroupBox(QStringLiteral("IP Address"), this), "addressGroup");
  address_group_->setGeometry(Rect(7, 71, 226, 70));
  struct Row {
    const char* text;
    const char* label_name;
    const char* edit_name;
    int top;
    QLabel*& label;
    IpAddressEdit*& edit;
  };
  for (const Row& row :
       {Row{"&IP Address:", "addressLabel", "addressEdit", 86, address_label_, address_},
        Row{"&Subnet Mask:", "maskLabel", "maskEdit", 104, mask_label_, mask_},
        Row{"&Gateway:", "gatewayLabel", "gatewayEdit", 122, gateway_label_, gateway_}}) {
    row.label = Named(new QLabel(QString::fromLatin1(row.text), this), row.label_name);
    row.label->setGeometry(Rect(16, row.top + 2, 70, 8));
    row.edit = Named(new IpAddressEdit(this), row.edit_name);
    row.edit->setGeometry(Rect(90, row.top, 100, 13));
    row.label->setBuddy(row.edit);
  }
  // Created like the others, but never shown; its state is kept and has no effect.
  dhcp_box_ =
      Named(new QCheckBox(QStringLiteral("&Obtain an IP address via DHCP"), this), "dhcpBox");
  dhcp_box_->setGeometry(Rect(16, 146, 150, 10));
  dhcp_box_->hide();

  connect(dhcp_, &QRadioButton::clicked, this, &IpV4Dlg::OnDhcp);
  connect(bootp_, &QRadioButton::clicked, this, &IpV4Dlg::OnBootp);
  connect(static_, &QRadioButton::clicked, this, &IpV4Dlg::OnStatic);
  connect(address_, &IpAddressEdit::FieldChanged, this,
          [this] { entries_.address = address_->Value(); });
  connect(mask_, &IpAddressEdit::FieldChanged, this, [this] { entries_.mask = mask_->Value(); });
  connect(gateway_, &IpAddressEdit::FieldChanged, this,
          [this] { entries_.gateway = gateway_->Value(); });
  connect(mask_, &IpAddressEdit::FocusEntered, this, &IpV4Dlg::OnMaskFocused);
}

bool IpV4Dlg::FullIpv4Form() const {
  return HasFullIpv4Form(entries_.level);
}

void IpV4Dlg::Open(const Ipv4Entries& entries, bool firmware_k) {
  entries_ = entries;
  // As the page's members are kept after every exchange with its controls.
  NormaliseIpv4Members(entries_.mask, entries_.gateway);
  dhcp_box_->setChecked(entries_.dhcp_box);
  bootp_->setEnabled(BootpOffered(entries_.level, firmware_k));
  const bool full = FullIpv4Form();
  switch (entries_.mode) {
    case ipv4_mode::kBootp:
      ShowMembers(true);
      SetAddressPartEnabled(true);
      SetEnabled({address_, mask_, gateway_}, false);
      bootp_->setChecked(true);
      break;
    case ipv4_mode::kDhcp:
      ShowMembers(full);
      SetAddressPartEnabled(true);
      if (!full) SetEnabled({mask_, mask_label_, gateway_, gateway_label_}, false);
      // Only the controls: their labels and frame stay as they were.
      SetEnabled({address_, mask_, gateway_}, false);
      dhcp_->setChecked(true);
      break;
    default:
      entries_.mode = ipv4_mode::kStatic;
      ShowMembers(true);
      SetAddressPartEnabled(true);
      static_->setChecked(true);
      break;
  }
  opening_address_ = address_->Value();
}

Ipv4Entries IpV4Dlg::Entries() const {
  Ipv4Entries entries = entries_;
  entries.dhcp_box = dhcp_box_->isChecked();
  return entries;
}

void IpV4Dlg::ShowMembers(bool all_three) {
  address_->SetValue(entries_.address);
  if (!all_three) return;
  mask_->SetValue(entries_.mask);
  gateway_->SetValue(entries_.gateway);
}

void IpV4Dlg::SetAddressPartEnabled(bool enabled) {
  SetEnabled(
      {address_group_, address_label_, mask_label_, gateway_label_, address_, mask_, gateway_},
      enabled);
}

void IpV4Dlg::OnDhcp() {
  entries_.mode = ipv4_mode::kDhcp;
  dhcp_->setFocus();
  const bool full = FullIpv4Form();
  ShowMembers(full);
  SetAddressPartEnabled(false);
}

void IpV4Dlg::OnBootp() {
  entries_.mode = ipv4_mode::kBootp;
  bootp_->setFocus();
  ShowMembers(true);
  SetAddressPartEnabled(false);
}

void IpV4Dlg::OnStatic() {
  entries_.mode = ipv4_mode::kStatic;
  SetAddressPartEnabled(true);
  static_->setFocus();
  ShowMembers(true);
}

// A mask that reads 0.0.0.0 (blank included) becomes the usual one as the person enters it.
void IpV4Dlg::OnMaskFocused() {
  if (mask_->Text() == QStringLiteral("0.0.0.0")) mask_->SetValue(kDefaultMask);
}

CheckResult IpV4Dlg::LeaveCheck() {
  return Ipv4PageLeaveCheck(entries_.mode, entries_.address, entries_.mask, entries_.gateway);
}

QWidget* IpV4Dlg::FieldWidget(SettingsField field) const {
  switch (field) {
    case SettingsField::kAddress:
      return address_;
    case SettingsField::kMask:
      return mask_;
    case SettingsField::kGateway:
      return gateway_;
    default:
      return nullptr;
  }
}

}  // namespace quillon
